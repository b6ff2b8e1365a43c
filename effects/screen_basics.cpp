#include "effects/screen_basics.h"
#include "effects/unit_square.h"

#include <GL/gl.h>

#include <cmath>

namespace {

void drawUnitQuad()
{
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
}

void drawRectangle(float left, float top, float right, float bottom)
{
    glBegin(GL_QUADS);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glEnd();
}

// The full-screen quad of the fade and the flash, in a unit square of its
// own; leaves depth test on, blending off and the colour white.
void drawCover(float r, float g, float b, float opacity, bool yDown)
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (yDown)
        glDisable(GL_CULL_FACE);
    pushUnitSquare(yDown ? Axis::yDown : Axis::yUp);
    glColor4f(r, g, b, opacity);
    drawUnitQuad();
    popUnitSquare();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

}  // namespace

void ClearEffect::start(int32_t)
{
    for (AnimParam* colour : {&colorR, &colorG, &colorB, &colorA})
        colour->set(0.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

void ClearEffect::render(int32_t) { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT); }

void ClearEffect::command(Command c)
{
    Effect::command(c);
    glClearColor(colorR.get(), colorG.get(), colorB.get(), colorA.get());
}

FadeEffect::FadeEffect()
{
    colorR.set(0.0f);
    colorG.set(0.0f);
    colorB.set(0.0f);
}

void FadeEffect::rewind()
{
    fadeStart_ = 0;
    startAlpha_ = 0.0f;
    rate_ = 0.0f;
    alpha_ = 0.0f;
}

void FadeEffect::start(int32_t time)
{
    fadeStart_ = time;
    startAlpha_ = 0.0f;
}

void FadeEffect::render(int32_t time)
{
    if (!active_)
        return;
    Effect::render(time);
    alpha_ = static_cast<float>(time - fadeStart_) * rate_ + startAlpha_;
    if (alpha_ > 0.0f)
        drawCover(colorR.get(), colorG.get(), colorB.get(), alpha_, false);
}

void FadeEffect::command(Command c)
{
    Effect::command(c);
    const auto a0 = static_cast<float>(c.args[0]);
    const auto sinceStart = static_cast<float>(c.args[0] - fadeStart_);
    switch (c.code) {
    case 3:
        startAlpha_ = 1.0f;
        rate_ = -1.0f / sinceStart;
        break;
    case 4:
        startAlpha_ = 0.0f;
        rate_ = 1.0f / sinceStart;
        break;
    case 6:
        startAlpha_ = 0.0f;
        rate_ = 1.0f / a0;
        break;
    case 7:
        startAlpha_ = 1.0f;
        rate_ = -1.0f / a0;
        break;
    default: break;
    }
}

FlashEffect::FlashEffect()
{
    active_ = false;
    colorR.set(1.0f);
    colorG.set(1.0f);
    colorB.set(1.0f);
}

void FlashEffect::start(int32_t time) { flashStart_ = time; }

void FlashEffect::rewind()
{
    flashStart_ = 0;
    periodStart_ = 0;
    period_ = 0.0f;
    fadeLength_ = 500;
    level_ = 0.0f;
}

void FlashEffect::render(int32_t time)
{
    if (!active_)
        return;
    Effect::render(time);
    if (period_ > 0.0f && time >= periodStart_) {
        // The latest repeat at or before the frame, counted in whole periods
        // from the start, so that no frame rate or jump moves the beat.
        const double repeats = std::floor(static_cast<double>(time - periodStart_) / period_);
        flashStart_ = periodStart_ + static_cast<int32_t>(repeats * period_);
    }
    level_ = 1.0f - static_cast<float>(time - flashStart_) / static_cast<float>(fadeLength_);
    if (level_ > 1.0f)
        level_ = 1.0f;
    if (level_ < 0.0f) {
        level_ = 0.0f;
        if (period_ < 0.0f)
            active_ = false;
    }
    if (active_ && level_ != 0.0f)
        drawCover(colorR.get(), colorG.get(), colorB.get(), level_, true);
}

void FlashEffect::command(Command c)
{
    Effect::command(c);
    switch (c.code) {
    case 1:
        active_ = true;
        period_ = -1.0f;
        break;
    case 2:
        active_ = true;
        period_ = static_cast<float>(c.args[0]);
        periodStart_ = c.dueTime;
        flashStart_ = 0;
        break;
    case 8:
        active_ = true;
        period_ = 0.0f;
        flashStart_ = 0;
        break;
    case 10: fadeLength_ = c.args[0]; break;
    default: break;
    }
}

void LoadingBar::start(int32_t time)
{
    reset(time);
    fraction_ = 0.0f;
}

void LoadingBar::update(int32_t value, bool)
{
    fraction_ = static_cast<float>(value) / 100.0f;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadUnitSquare();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawRectangle(0.2f, 0.8f, 0.8f, 0.86f);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    drawRectangle(0.205f, 0.805f, 0.795f, 0.855f);
    if (fraction_ != 0.0f) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        drawRectangle(0.21f, 0.81f, fraction_ * 0.6f + 0.2f - 0.01f, 0.85f);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
