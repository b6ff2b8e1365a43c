#include "effects/additive_passes.h"
#include "effects/unit_square.h"

#include <GL/glext.h>

AdditivePasses::~AdditivePasses() { release(); }

void AdditivePasses::release()
{
    framebuffer_.release();
    if (texture_ != 0)
        glDeleteTextures(1, &texture_);
    texture_ = 0;
    width_ = height_ = 0;
}

bool AdditivePasses::prepare(int w, int h)
{
    if (texture_ != 0 && w == width_ && h == height_)
        return true;
    release();
    if (w <= 0 || h <= 0 || !platform::framebuffersAvailable())
        return false;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // Read back texel for pixel: nearest keeps every value as it is.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    if (!framebuffer_.create(texture_, 0)) {
        release();
        return false;
    }
    width_ = w;
    height_ = h;
    return true;
}

void AdditivePasses::begin()
{
    collecting_ = false;
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (samples <= 1 || viewport[0] != 0 || viewport[1] != 0 || !prepare(viewport[2], viewport[3]))
        return;
    framebuffer_.bind();
    // The sum starts at zero, whatever the clear colour is; inside the
    // scissor box when there is one, since end adds only that box, and a
    // pixel beyond it: a driver may let part of the samples of the pixels
    // next to the box through (llvmpipe does), which then add zero.
    GLfloat clearColour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    glScissor(box[0] - 1, box[1] - 1, box[2] + 2, box[3] + 2);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glScissor(box[0], box[1], box[2], box[3]);
    collecting_ = true;
}

void AdditivePasses::end()
{
    if (!collecting_)
        return;
    collecting_ = false;
    framebuffer_.unbind();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_LIGHTING_BIT);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    // y up: the texture's first row is the bottom of the viewport.
    pushUnitSquare(Axis::yUp);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    quad_.draw();
    popUnitSquare();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glPopAttrib();
}
