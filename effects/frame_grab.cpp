#include "effects/frame_grab.h"
#include "effects/unit_square.h"

#include "resources/textures/texture.h"
#include "shell/glwindow.h"
#include "timeline/registry.h"

void FrameGrabEffect::start(int32_t time)
{
    reset(time);
    if (source_ != nullptr)
        source_->start(time);
}

void FrameGrabEffect::command(Command c)
{
    Effect::command(c);
    if (c.code == 70)
        source_ = EffectRegistry::instance().get(c.args[0]);
}

GrabCorner::GrabCorner(int w, int h)
{
    glGetIntegerv(GL_VIEWPORT, viewport_);
    glViewport(0, 0, w, h);
    glScissor(0, 0, w, h);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

GrabCorner::~GrabCorner()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    glDisable(GL_SCISSOR_TEST);
}

void copyCornerInto(const Texture* texture, int w, int h)
{
    glEnable(GL_TEXTURE_2D);
    texture->bind();
    copyFrameInto(GL_TEXTURE_2D, 0, 0, 0, 0, w, h);
}

void FrameGrabEffect::grab(int w, int h, const Texture* target, int32_t time)
{
    if (source_ == nullptr)
        return;
    GrabCorner corner(w, h);
    source_->update(time, false);
    copyCornerInto(target, w, h);
}

void addOverlay(const Texture* texture, float k)
{
    pushUnitSquare();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    texture->bind();
    glColor3f(k, k, k);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glEnd();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    popUnitSquare();
    glColor3f(1.0f, 1.0f, 1.0f);
}
