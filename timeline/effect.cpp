#include "timeline/effect.h"

#include <GL/gl.h>

int screenWidth = 640;
int screenHeight = 480;

Effect::Effect()
{
    viewX.set(0.0f);
    viewY.set(0.0f);
    viewW.set(1.0f);
    viewH.set(1.0f);
    for (AnimParam* colour : {&colorR, &colorG, &colorB, &colorA})
        colour->set(1.0f);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    screenWidth = viewport[2];
    screenHeight = viewport[3];
}

void Effect::reset(int32_t time)
{
    viewX.set(0.0f);
    viewY.set(0.0f);
    for (AnimParam* one : {&viewW, &viewH, &colorR, &colorG, &colorB, &colorA})
        one->set(1.0f);
    startTime_ = time;
    lastTime_ = time;
    progress_ = 0.0f;
    localTime_ = 0;
    paused_ = false;
    pauseTime_ = 0;
}

void Effect::update(int32_t time, bool applyViewport)
{
    if (paused_) {
        frameDelta_ = 0;
    } else {
        frameDelta_ = time - lastTime_;
        lastTime_ = time;
        localTime_ = time - startTime_;
        // A duration of 0 would divide by zero; such an effect has no
        // meaningful progress, so it reads as 0.
        progress_ = duration_ != 0 ? static_cast<float>(localTime_) / static_cast<float>(duration_) : 0.0f;
    }
    for (AnimParam* one : {&viewX, &viewY, &viewW, &viewH, &colorR, &colorG, &colorB, &colorA})
        one->evaluate(time);
    if (applyViewport) {
        glViewport(static_cast<GLint>(viewX.get() * static_cast<float>(screenWidth)),
                   static_cast<GLint>(viewY.get() * static_cast<float>(screenHeight)),
                   static_cast<GLsizei>(viewW.get() * static_cast<float>(screenWidth)),
                   static_cast<GLsizei>(viewH.get() * static_cast<float>(screenHeight)));
    }
}

void Effect::pause(int32_t time)
{
    if (paused_)
        return;
    paused_ = true;
    pauseTime_ = time;
}

void Effect::resume(int32_t time)
{
    if (!paused_)
        return;
    paused_ = false;
    startTime_ += time - pauseTime_;
}

const AnimParam& Effect::parameter(Parameter which) const
{
    switch (which) {
    case Parameter::viewX: return viewX;
    case Parameter::viewY: return viewY;
    case Parameter::viewW: return viewW;
    case Parameter::viewH: return viewH;
    case Parameter::colorR: return colorR;
    case Parameter::colorG: return colorG;
    case Parameter::colorB: return colorB;
    case Parameter::colorA: return colorA;
    }
    return colorA;
}
