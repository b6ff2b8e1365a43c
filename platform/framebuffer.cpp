#include "platform/framebuffer.h"

#include "platform/native_window.h"

#include <GL/glext.h>

namespace platform {
namespace {

struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC gen = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC remove = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bind = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC attach = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC status = nullptr;
    PFNGLGENRENDERBUFFERSPROC genBuffer = nullptr;
    PFNGLDELETERENDERBUFFERSPROC removeBuffer = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindBuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC bufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC attachBuffer = nullptr;

    bool complete() const
    {
        return gen && remove && bind && attach && status && genBuffer && removeBuffer && bindBuffer && bufferStorage &&
               attachBuffer;
    }
};

const FramebufferCalls& calls()
{
    static const FramebufferCalls loaded = [] {
        FramebufferCalls c;
        c.gen = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(glProcAddress("glGenFramebuffers"));
        c.remove = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(glProcAddress("glDeleteFramebuffers"));
        c.bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(glProcAddress("glBindFramebuffer"));
        c.attach = reinterpret_cast<PFNGLFRAMEBUFFERTEXTURE2DPROC>(glProcAddress("glFramebufferTexture2D"));
        c.status = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(glProcAddress("glCheckFramebufferStatus"));
        c.genBuffer = reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(glProcAddress("glGenRenderbuffers"));
        c.removeBuffer = reinterpret_cast<PFNGLDELETERENDERBUFFERSPROC>(glProcAddress("glDeleteRenderbuffers"));
        c.bindBuffer = reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(glProcAddress("glBindRenderbuffer"));
        c.bufferStorage = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(glProcAddress("glRenderbufferStorage"));
        c.attachBuffer =
            reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(glProcAddress("glFramebufferRenderbuffer"));
        return c;
    }();
    return loaded;
}

}  // namespace

bool framebuffersAvailable() { return calls().complete(); }

void Framebuffer::release()
{
    if (calls().complete()) {
        if (name_ != 0)
            calls().remove(1, &name_);
        if (depthBuffer_ != 0)
            calls().removeBuffer(1, &depthBuffer_);
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
    const FramebufferCalls& gl = calls();
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
    calls().bind(GL_FRAMEBUFFER, name_);
}

void Framebuffer::unbind() { calls().bind(GL_FRAMEBUFFER, static_cast<GLuint>(previous_)); }

}  // namespace platform
