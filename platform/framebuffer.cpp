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

    bool complete() const { return gen && remove && bind && attach && status; }
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
        return c;
    }();
    return loaded;
}

}  // namespace

bool framebuffersAvailable() { return calls().complete(); }

void Framebuffer::release()
{
    if (name_ != 0 && calls().complete())
        calls().remove(1, &name_);
    name_ = 0;
}

bool Framebuffer::create(GLuint colourTexture, GLuint depthTexture)
{
    const FramebufferCalls& gl = calls();
    if (name_ != 0 || !gl.complete())
        return name_ != 0;
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    gl.gen(1, &name_);
    gl.bind(GL_FRAMEBUFFER, name_);
    gl.attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
    if (depthTexture != 0)
        gl.attach(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    const bool complete = gl.status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl.bind(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (!complete) {
        gl.remove(1, &name_);
        name_ = 0;
    }
    return complete;
}

void Framebuffer::bind()
{
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous_);
    calls().bind(GL_FRAMEBUFFER, name_);
}

void Framebuffer::unbind() { calls().bind(GL_FRAMEBUFFER, static_cast<GLuint>(previous_)); }

}  // namespace platform
