#include "effects/blur_warp_filters.h"
#include "effects/unit_square.h"

#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "timeline/reference_rate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void overlayStateOn()
{
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
}

void overlayStateOff()
{
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
}

}  // namespace

RadialBlur::RadialBlur() : working_(TextureManager::createTexture("radialblur", size_, size_, GL_TEXTURE_2D, GL_RGBA))
{
}

RadialBlur::~RadialBlur() { TextureManager::releaseTexture(working_); }

void RadialBlur::start(int32_t time)
{
    previousTime_ = time;
    driveSource_ = true;
    rotate_ = false;
    angle_ = 0.0f;
    angleStep_ = 1.0f;
    alphaStart_ = 0.45f;
    alphaStep_ = 0.01f;
    insetStepU_ = 0.01f;
    insetStepV_ = 0.01f;
    rotationPeriod_ = 1000;
    grabLayers_ = 10;
    drawLayers_ = 6;
    colorR.set(0.7f);
    colorG.set(0.7f);
    colorB.set(1.0f);
}

void RadialBlur::command(Command c)
{
    FrameGrabEffect::command(c);
    const int32_t* a = c.args;
    switch (c.code) {
    case 90: grabLayers_ = a[0]; break;
    case 91: drawLayers_ = a[0]; break;
    case 92:
        alphaStart_ = static_cast<float>(a[0]) / 100.0f;
        alphaStep_ = static_cast<float>(a[1]) / 1000.0f;
        break;
    case 93:
        insetStepU_ = static_cast<float>(a[0]) / 1000.0f;
        insetStepV_ = static_cast<float>(a[1]) / 1000.0f;
        break;
    case 94: driveSource_ = a[0] != 0; break;
    case 95:
        rotate_ = a[0] != 0;
        angleStep_ = static_cast<float>(a[1]) / 100.0f;
        break;
    case 96: rotationPeriod_ = a[0]; break;
    default: break;
    }
}

void RadialBlur::drawLayers(int count, AdditivePasses& passes)
{
    if (working_ == nullptr)
        return;
    passes.begin();
    loadUnitSquare(Axis::yDown);
    overlayStateOn();
    working_->bind();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    float a = alphaStart_;
    float u = 0.0f;
    float v = 0.0f;
    for (int i = 0; i < count && a > 0.0f; ++i) {
        if (rotate_) {
            // Not reset between layers: the turns add up.
            glTranslatef(0.5f, 0.5f, 0.0f);
            glRotatef(angle_ + angleStep_ * static_cast<float>(i), 0.0f, 0.0f, 1.0f);
            glTranslatef(-0.5f, -0.5f, 0.0f);
        }
        glColor4f(colorR.get(), colorG.get(), colorB.get(), a);
        glBegin(GL_QUADS);
        glTexCoord2f(u, v);
        glVertex2f(0.0f, 1.0f);
        glTexCoord2f(1.0f - u, v);
        glVertex2f(1.0f, 1.0f);
        glTexCoord2f(1.0f - u, 1.0f - v);
        glVertex2f(1.0f, 0.0f);
        glTexCoord2f(u, 1.0f - v);
        glVertex2f(0.0f, 0.0f);
        glEnd();
        a += alphaStep_;
        u += insetStepU_;
        v += insetStepV_;
    }
    glDisable(GL_ALPHA_TEST);
    overlayStateOff();
    passes.end();
}

void RadialBlur::prerender(int32_t time)
{
    // Another part of the show may publish a picture under this name; once
    // it exists the blur works in it, where every other user sees it.
    external_ = TextureManager::loadTexture("FireTexture", "", GL_TEXTURE_2D);
    if (external_ != nullptr)
        working_ = external_;
    if (source_ == nullptr || working_ == nullptr)
        return;
    GrabCorner corner(size_, size_);
    source_->update(time, false);
    copyCornerInto(working_, size_, size_);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawLayers(grabLayers_, grabPasses_);
    copyCornerInto(working_, size_, size_);
}

void RadialBlur::update(int32_t time, bool applyViewport)
{
    if (source_ == nullptr && external_ == nullptr)
        return;
    Effect::update(time, applyViewport);
    const int32_t dt = time - previousTime_;
    previousTime_ = time;
    if (driveSource_ && source_ != nullptr)
        source_->update(time, applyViewport);
    if (rotationPeriod_ != 0)
        angle_ += static_cast<float>(dt) / static_cast<float>(rotationPeriod_);
    drawLayers(drawLayers_, screenPasses_);
}

MotionBlur::MotionBlur()
{
    for (int i = 0; i < 6; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "motionblur%i", i);
        Texture* texture = TextureManager::createTexture(name, size_, size_, GL_TEXTURE_2D, GL_RGBA);
        all_.push_back(texture);
        free_.push_back(texture);
    }
}

MotionBlur::~MotionBlur()
{
    for (Texture* texture : all_)
        TextureManager::releaseTexture(texture);
}

void MotionBlur::start(int32_t time)
{
    FrameGrabEffect::start(time);
    alpha_ = 0.5f;
    interval_ = 4;
}

void MotionBlur::command(Command c)
{
    FrameGrabEffect::command(c);
    switch (c.code) {
    case 90: interval_ = c.args[0] < 1 ? 1 : c.args[0]; break;
    case 94: drawSource_ = c.args[0] != 0; break;
    case 95: clearTrail(); break;
    case 118: alpha_ = static_cast<float>(c.args[0]) / 255.0f; break;
    default: break;
    }
}

void MotionBlur::clearTrail()
{
    for (Texture* texture : trail_)
        free_.push_back(texture);
    trail_.clear();
    lastGrab_ = -1;
}

void MotionBlur::rewind()
{
    clearTrail();
    drawSource_ = true;
}

void MotionBlur::prerender(int32_t time)
{
    // Stretches of `interval` steps of the reference rate, counted from
    // time 0 (floor, also before it).
    const int64_t step = referenceStepAt(time);
    const int64_t stretch = step >= 0 ? step / interval_ : -((-step + interval_ - 1) / interval_);
    if (stretch == lastGrab_)
        return;
    lastGrab_ = stretch;
    Texture* taken = nullptr;
    if (!free_.empty()) {
        taken = free_.front();
        free_.pop_front();
    } else if (!trail_.empty()) {
        taken = trail_.back();
        trail_.pop_back();
    }
    if (taken == nullptr)
        return;
    if (source_ != nullptr) {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glViewport(0, 0, size_, size_);
        glScissor(0, 0, size_, size_);
        glEnable(GL_SCISSOR_TEST);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The source as it is where the stretch begins, not at the frame that
        // noticed it: the echoes are then the same at any frame rate.
        source_->update(std::min(time, referenceStepTime(stretch * interval_)), false);
        copyCornerInto(taken, size_, size_);
        markEchoTiles(taken);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, screenWidth, screenHeight);
        glDisable(GL_SCISSOR_TEST);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopAttrib();
    }
    trail_.push_front(taken);
}

void MotionBlur::markEchoTiles(const Texture* texture)
{
    std::vector<uint8_t> alpha(static_cast<size_t>(size_) * size_);
    texture->bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    echoRectangles_[texture] = EchoTiles::fromAlpha(alpha.data(), size_, size_, screenWidth, screenHeight).rectangles();
}

void MotionBlur::drawEcho(const Texture* texture)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const auto rectangles = echoRectangles_.find(texture);
    if (rectangles == echoRectangles_.end() || viewport[2] != screenWidth || viewport[3] != screenHeight) {
        glDisable(GL_SCISSOR_TEST);
        quad_.draw();
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    for (const PixelBox& box : rectangles->second) {
        glScissor(viewport[0] + box.x, viewport[1] + box.y, box.width, box.height);
        quad_.draw();
    }
}

void MotionBlur::render(int32_t time)
{
    if (source_ == nullptr)
        return;
    if (drawSource_)
        source_->render(time);
    if (trail_.empty())
        return;
    loadUnitSquare(Axis::yUp);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    overlayStateOn();
    float a = alpha_;
    const float step = alpha_ / static_cast<float>(trail_.size());
    glPushAttrib(GL_SCISSOR_BIT);
    for (Texture* texture : trail_) {
        glColor4f(1.0f, 1.0f, 1.0f, a);
        if (texture != nullptr)
            texture->bind();
        drawEcho(texture);
        a -= step;
    }
    glPopAttrib();
    glDisable(GL_ALPHA_TEST);
    overlayStateOff();
    glEnable(GL_CULL_FACE);
}

WarpFilter::WarpFilter()
    : grid_(fineGridSize, 1.0f, 1.0f, 0.5f, 0.5f, static_cast<float>(screenWidth) / 1024.0f,
            static_cast<float>(screenHeight) / 1024.0f),
      waveGrid_(waveGridSize, 1.0f, 1.0f, 0.5f, 0.5f, static_cast<float>(screenWidth) / 1024.0f,
                static_cast<float>(screenHeight) / 1024.0f)
{
    target_.create(1024, 1024, false);
    target_.makeRepeatTexture();
    rippleScale_.set(60.0f);
}

void WarpFilter::start(int32_t time)
{
    FrameGrabEffect::start(time);
    target_.begin();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    target_.end();
}

void WarpFilter::command(Command c)
{
    FrameGrabEffect::command(c);
    const auto value = [&](int i) { return static_cast<float>(c.args[i]); };
    switch (c.code) {
    case 90:
        amplitudeX_ = value(0) / 100.0f;
        amplitudeY_ = value(1) / 100.0f;
        break;
    case 91:
        speedX_ = 1.0f / (value(0) / 100.0f);
        speedY_ = 1.0f / (value(1) / 100.0f);
        break;
    case 92:
        frequencyX_ = value(0) / 100.0f;
        frequencyY_ = value(1) / 100.0f;
        break;
    case 93: mode_ = c.args[0]; break;
    case 94: rippleScale_.set(value(0)); break;
    case 95:
        rippleScale_.moveTo(value(0));
        rippleScale_.setStartTime(c.args[1] + c.timeOffset);
        rippleScale_.setDuration(value(2));
        break;
    default: break;
    }
}

void WarpFilter::prerender(int32_t time)
{
    if (viewW.evaluate(time) == 0.0f || viewH.evaluate(time) == 0.0f || source_ == nullptr)
        return;
    target_.begin();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, screenWidth, screenHeight);
    source_->update(time, false);
    target_.end();
}

void WarpFilter::deform(float t)
{
    if (mode_ == 1) {
        // Row i of the coarse grid lies where row i x (fine - 1) / (coarse - 1)
        // of the fine grid would.
        const int n = waveGrid_.size();
        const float fineRowsPerRow = static_cast<float>(fineGridSize - 1) / static_cast<float>(n - 1);
        const float fineSize = fineGridSize;
        for (int i = 0; i < n; ++i) {
            const float row = static_cast<float>(i) * fineRowsPerRow;
            const float dx = std::sin(row * frequencyX_ / fineSize + t * speedX_) * amplitudeX_;
            for (int j = 0; j < n; ++j) {
                const float column = static_cast<float>(j) * fineRowsPerRow;
                GridVertex& v = waveGrid_.vertex(i, j);
                v.x = v.restX + dx;
                v.y = v.restY + std::cos(column * frequencyY_ / fineSize + t * speedY_) * amplitudeY_;
                v.z = v.restZ;
            }
        }
        shown_ = &waveGrid_;
    } else if (mode_ == 2) {
        const int n = grid_.size();
        const auto size = static_cast<float>(n);
        const auto c = static_cast<float>(n / 2);
        const float g = 1.0f / (rippleScale_.get() * size * 0.5f);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                GridVertex& v = grid_.vertex(i, j);
                const float dj = static_cast<float>(j) - c;
                const float di = static_cast<float>(i) - c;
                const float r = (dj * dj + di * di) * g;
                v.x = v.restX + r * r * (std::sin(r * frequencyX_ * 6.28f + t * speedX_) * 0.5f + 0.5f) * amplitudeX_;
                v.y = v.restY + r * r * (std::cos(r * frequencyY_ * 6.28f + t * speedY_) * 0.5f + 0.5f) * amplitudeY_;
            }
        }
        shown_ = &grid_;
    }
}

void WarpFilter::update(int32_t time, bool applyViewport)
{
    Effect::update(time, applyViewport);
    rippleScale_.evaluate(time);
    loadUnitSquare(Axis::yUp);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4f(colorR.get(), colorG.get(), colorB.get(), colorA.get());
    glEnable(GL_TEXTURE_2D);
    target_.bindTexImage(RenderTarget::frontLeft);
    deform(progress_);
    shown_->draw(true);
    target_.releaseTexImage(RenderTarget::frontLeft);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
