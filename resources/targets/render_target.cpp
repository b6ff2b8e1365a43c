#include "resources/targets/render_target.h"

#include <GL/glext.h>

#include <vector>

RenderTarget::~RenderTarget() { destroy(); }

void RenderTarget::create(int width, int height, bool withDepth)
{
    if (created_)
        return;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (width <= 0 || height <= 0 || width > largest || height > largest || !platform::framebuffersAvailable())
        return;
    width_ = width;
    height_ = height;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    // The colour image is the texture itself; makeTexture only sets how it
    // is sampled, so a texture made before create keeps its name.
    if (texture_ == 0)
        glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    if (!textureMade_) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    if (withDepth) {
        glGenTextures(1, &depthTexture_);
        glBindTexture(GL_TEXTURE_2D, depthTexture_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT,
                     nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    // Without a depth image the target still gets a depth buffer of its own
    // (4 bytes a pixel: 4 MiB for the warp filter's 1024 x 1024), so 3D
    // scenes drawn through it keep their depth test.
    created_ = depthTexture_ != 0 ? framebuffer_.create(texture_, depthTexture_)
                                  : framebuffer_.createWithDepthBuffer(texture_, width, height);
    if (!created_) {
        glDeleteTextures(1, &depthTexture_);
        depthTexture_ = 0;
    }
    glGetError();
}

void RenderTarget::makeTextureWith(GLint wrap, GLint minFilter, GLint magFilter)
{
    if (textureMade_)
        return;
    if (texture_ == 0)
        glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    textureMade_ = true;
}

void RenderTarget::makeTexture() { makeTextureWith(GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR); }

void RenderTarget::makeRepeatTexture() { makeTextureWith(GL_REPEAT, GL_LINEAR, GL_NEAREST); }

void RenderTarget::begin()
{
    if (!created_ || begun_)
        return;
    if (!textureMade_)
        makeTexture();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW, GL_TEXTURE}) {
        glMatrixMode(mode);
        glPushMatrix();
    }
    glMatrixMode(GL_MODELVIEW);
    framebuffer_.bind();
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width_, height_);
    glGetError();
    begun_ = true;
}

void RenderTarget::end()
{
    if (!begun_)
        return;
    framebuffer_.unbind();
    for (GLenum mode : {GL_TEXTURE, GL_MODELVIEW, GL_PROJECTION}) {
        glMatrixMode(mode);
        glPopMatrix();
    }
    glPopClientAttrib();
    // Restores the draw buffer, viewport, matrix mode and every switch.
    glPopAttrib();
    begun_ = false;
}

void RenderTarget::bindTexImage(int buffer)
{
    if (!created_)
        return;
    if (!textureMade_)
        makeTexture();
    glBindTexture(GL_TEXTURE_2D, buffer == depthComponent && depthTexture_ != 0 ? depthTexture_ : texture_);
    glGetError();
}

void RenderTarget::releaseTexImage(int) {}

void RenderTarget::destroy()
{
    if (!created_)
        return;
    end();
    framebuffer_.release();
    glDeleteTextures(1, &texture_);
    if (depthTexture_ != 0)
        glDeleteTextures(1, &depthTexture_);
    texture_ = 0;
    depthTexture_ = 0;
    textureMade_ = false;
    created_ = false;
}
