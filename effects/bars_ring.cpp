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

// What a set of bars is made for: the occasions that may fall at one time.
constexpr uint32_t startOccasion = 1;
constexpr uint32_t flickerOccasion = 2;

BarsEffect::BarsEffect(uint32_t seed) : bars_(40, Bar{0.0f, 0.0f, 0.0f, 0.0f}), seed_(seed) {}

void BarsEffect::refill(int32_t time, uint32_t occasion)
{
    RandomSequence random = RandomSequence::keyed(seed_, static_cast<uint32_t>(time), occasion);
    for (Bar& bar : bars_) {
        const float r1 = random.nextUnit();
        const float r2 = random.nextUnit();
        const float r3 = random.nextUnit();
        const float r4 = random.nextUnit();
        bar.alpha = colorA.get() * r1;
        bar.position = r2;
        bar.width = r3 * widthScale_;
        bar.speed = r4 * 2.0f - 1.1f;
    }
    anchorGlide(time);
}

int32_t BarsEffect::commandTime(const Command& c) const
{
    // A command is due at or after the last frame; one given outside the
    // timeline (a setup command, due at 0) acts at the last frame.
    return std::max(c.dueTime, moveTime_);
}

void BarsEffect::anchorGlide(int32_t time)
{
    origins_.resize(bars_.size());
    for (size_t i = 0; i < bars_.size(); ++i)
        origins_[i] = bars_[i].position;
    glideFrom_ = time;
}

void BarsEffect::glideTo(int32_t time)
{
    // A divisor of 0 would turn every position into infinity or NaN and the
    // bars would never come back; such bars hold still instead.
    if (speedDivisor_ == 0 || origins_.size() != bars_.size())
        return;
    // From where the glide began, not from the last frame: the bars are at
    // the same place at a time whatever the frames in between. A bar
    // leaving one edge comes back at the other by as much as it went past:
    // the span it wraps over is the screen and a bar's width beyond each
    // edge.
    const double step = static_cast<double>(time - glideFrom_) / speedDivisor_;
    const double low = -widthScale_;
    const double span = 1.0 + 2.0 * widthScale_;
    for (size_t i = 0; i < bars_.size(); ++i) {
        double p = origins_[i] + step * bars_[i].speed;
        if ((p > low + span || p < low) && span > 0.0)
            p = low + std::fmod(std::fmod(p - low, span) + span, span);
        bars_[i].position = static_cast<float>(p);
    }
}

void BarsEffect::rewind()
{
    bars_.assign(40, Bar{0.0f, 0.0f, 0.0f, 0.0f});
    origins_.clear();
    glideFrom_ = 0;
    moveTime_ = 0;
    interval_ = 200;
    widthScale_ = 0.05f;
    speedDivisor_ = 2000;
    flicker_ = false;
    horizontal_ = true;
}

void BarsEffect::start(int32_t time)
{
    moveTime_ = time;
    refill(time, startOccasion);
}

void BarsEffect::render(int32_t time)
{
    Effect::render(time);
    beginOverlay();
    glDisable(GL_TEXTURE_2D);
    if (!flicker_) {
        glideTo(time);
        moveTime_ = time;
    } else if (time - moveTime_ > interval_) {
        // New bars every interval from the start, however the frames fall:
        // the next interval is counted from the last one's end, not from
        // the frame that saw it pass.
        moveTime_ = interval_ > 0 ? moveTime_ + (time - moveTime_) / interval_ * interval_ : time;
        refill(moveTime_, flickerOccasion);
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
        // The bars go on from where they are when the command is due.
        glideTo(commandTime(c));
        anchorGlide(commandTime(c));
        speedDivisor_ = a0;
        break;
    case 90:
        bars_.assign(static_cast<size_t>(std::clamp(a0, 0, largestBarCount)), Bar{0.0f, 0.0f, 0.0f, 0.0f});
        refill(commandTime(c), 100 + static_cast<uint32_t>(c.code));
        break;
    case 91:
        interval_ = a0;
        break;
    case 92:
        widthScale_ = static_cast<float>(a0) / 100.0f;
        refill(commandTime(c), 100 + static_cast<uint32_t>(c.code));
        break;
    case 93:
        horizontal_ = (a0 == 0);
        break;
    case 94:
        flicker_ = (a0 == 0);
        break;
    case 201:
        refill(commandTime(c), 100 + static_cast<uint32_t>(c.code));
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
