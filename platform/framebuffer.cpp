#include "platform/framebuffer.h"

#include "platform/framebuffer_calls.h"

namespace platform {

bool framebuffersAvailable() { return framebufferCalls().complete(); }

void Framebuffer::release()
{
    if (framebufferCalls().complete()) {
        if (name_ != 0)
            framebufferCalls().remove(1, &name_);
        if (depthBuffer_ != 0)
            framebufferCalls().removeBuffer(1, &depthBuffer_);
    }
    name_ = 0;
    depthBuffer_ = 0;
}

bool Framebuffer::create(GLuint colourTexture, GLuint depthTexture)
{
    return attach(colourTexture, depthTexture, 0, 0);
}

bool Framebuffer::createWithDepthBuffer(GLuint colourTexture, int width, int height)
{
    return attach(colourTexture, 0, width, height);
}

bool Framebuffer::attach(GLuint colourTexture, GLuint depthTexture, int depthBufferWidth, int depthBufferHeight)
{
    const FramebufferCalls& gl = framebufferCalls();
    if (name_ != 0 || !gl.complete())
        return name_ != 0;
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    gl.gen(1, &name_);
    gl.bind(GL_FRAMEBUFFER, name_);
    gl.attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
    if (depthTexture != 0) {
        gl.attach(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    } else if (depthBufferWidth > 0 && depthBufferHeight > 0) {
        GLint boundBuffer = 0;
        glGetIntegerv(GL_RENDERBUFFER_BINDING, &boundBuffer);
        gl.genBuffer(1, &depthBuffer_);
        gl.bindBuffer(GL_RENDERBUFFER, depthBuffer_);
        gl.bufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, depthBufferWidth, depthBufferHeight);
        gl.bindBuffer(GL_RENDERBUFFER, static_cast<GLuint>(boundBuffer));
        gl.attachBuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    }
    const bool complete = gl.status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl.bind(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (!complete)
        release();
    return complete;
}

void Framebuffer::bind()
{
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous_);
    framebufferCalls().bind(GL_FRAMEBUFFER, name_);
}

void Framebuffer::unbind() { framebufferCalls().bind(GL_FRAMEBUFFER, static_cast<GLuint>(previous_)); }

}  // namespace platform
