#include "effects/bars_ring.h"
#include "effects/unit_square.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "resources/textures/texture_manager.h"
#include "timeline/demo_random.h"

namespace {

// A count from the script beyond this would only exhaust memory.
constexpr int32_t largestBarCount = 65536;

// Both overlays draw in the unit square with y pointing down.
void beginOverlay()
{
    loadUnitSquare();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

}  // namespace

BarsEffect::BarsEffect() : bars_(40, Bar{0.0f, 0.0f, 0.0f, 0.0f}) {}

void BarsEffect::refill()
{
    for (Bar& bar : bars_) {
        const float r1 = demoRandomUnit();
        const float r2 = demoRandomUnit();
        const float r3 = demoRandomUnit();
        const float r4 = demoRandomUnit();
        bar.alpha = colorA.get() * r1;
        bar.position = r2;
        bar.width = r3 * widthScale_;
        bar.speed = r4 * 2.0f - 1.1f;
    }
}

void BarsEffect::move(int32_t dt)
{
    // A divisor of 0 would turn every position into infinity or NaN and the
    // bars would never come back; such bars hold still instead.
    if (speedDivisor_ == 0)
        return;
    const float step = static_cast<float>(dt) / static_cast<float>(speedDivisor_);
    // A bar leaving one edge comes back at the other by as much as it went
    // past: the span it wraps over is the screen and a bar's width beyond
    // each edge, whatever the length of the step.
    const float low = -widthScale_;
    const float span = 1.0f + 2.0f * widthScale_;
    for (Bar& bar : bars_) {
        float p = bar.position + step * bar.speed;
        if ((p > low + span || p < low) && span > 0.0f)
            p = low + std::fmod(std::fmod(p - low, span) + span, span);
        bar.position = p;
    }
}

void BarsEffect::start(int32_t time)
{
    moveTime_ = time;
    refill();
}

void BarsEffect::render(int32_t time)
{
    Effect::render(time);
    beginOverlay();
    glDisable(GL_TEXTURE_2D);
    if (!flicker_) {
        move(time - moveTime_);
        moveTime_ = time;
    } else if (time - moveTime_ > interval_) {
        // New bars every interval from the start, however the frames fall:
        // the next interval is counted from the last one's end, not from
        // the frame that saw it pass.
        refill();
        moveTime_ = interval_ > 0 ? moveTime_ + (time - moveTime_) / interval_ * interval_ : time;
    }
    drawBars();
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void BarsEffect::drawBars() const
{
    if (bars_.empty())
        return;
    const float r = colorR.get(), g = colorG.get(), b = colorB.get();
    glBegin(GL_QUADS);
    for (const Bar& bar : bars_) {
        glColor4f(r, g, b, bar.alpha);
        const float nearEdge = bar.position, farEdge = bar.position + bar.width;
        if (horizontal_) {
            glVertex2f(0.0f, nearEdge);
            glVertex2f(1.0f, nearEdge);
            glVertex2f(1.0f, farEdge);
            glVertex2f(0.0f, farEdge);
        } else {
            glVertex2f(nearEdge, 0.0f);
            glVertex2f(farEdge, 0.0f);
            glVertex2f(farEdge, 1.0f);
            glVertex2f(nearEdge, 1.0f);
        }
    }
    glEnd();
}

void BarsEffect::command(Command c)
{
    Effect::command(c);
    const int32_t a0 = c.args[0];
    switch (c.code) {
    case 10:
        speedDivisor_ = a0;
        break;
    case 90:
        bars_.assign(static_cast<size_t>(std::clamp(a0, 0, largestBarCount)), Bar{0.0f, 0.0f, 0.0f, 0.0f});
        refill();
        break;
    case 91:
        interval_ = a0;
        break;
    case 92:
        widthScale_ = static_cast<float>(a0) / 100.0f;
        refill();
        break;
    case 93:
        horizontal_ = (a0 == 0);
        break;
    case 94:
        flicker_ = (a0 == 0);
        break;
    case 201:
        refill();
        break;
    default:
        break;
    }
}

SpriteRing::SpriteRing()
    : texture_(TextureManager::loadTexture("particle_black2.png", "data/textures/", GL_TEXTURE_2D)),
      sprites_(std::make_unique<QuadBatch>(capacity_))
{
}

SpriteRing::~SpriteRing()
{
    if (texture_ != nullptr)
        TextureManager::releaseTexture(texture_);
}

void SpriteRing::start(int32_t time)
{
    reset(time);
    size_ = 0.1f;
    radius_ = 0.4f;
    centreX_ = 1.0f;
    centreY_ = 1.0f;
}

void SpriteRing::render(int32_t time)
{
    Effect::render(time);
    beginOverlay();
    glEnable(GL_TEXTURE_2D);
    if (texture_ != nullptr)
        texture_->bind();
    const float alpha = colorA.get();
    for (int i = 0; i < count_; ++i) {
        const float a = static_cast<float>(i) * 6.2831855f / static_cast<float>(count_) + progress_;
        sprites_->setQuad(i, std::sin(a) * radius_ + centreX_, std::cos(a) * radius_ + centreY_, size_, size_, 0.0f,
                          alpha);
    }
    sprites_->draw(count_, 0, true);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
}

void SpriteRing::command(Command c)
{
    Effect::command(c);
    const float a0 = static_cast<float>(c.args[0]) / 100.0f;
    const float a1 = static_cast<float>(c.args[1]) / 100.0f;
    switch (c.code) {
    case 90:
        size_ = a0;
        radius_ = a1;
        break;
    case 91:
        centreX_ = a0;
        centreY_ = a1;
        break;
    case 92:
        count_ = std::clamp(c.args[0], 0, capacity_);
        break;
    default:
        break;
    }
}
