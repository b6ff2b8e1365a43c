#include "platform/framebuffer_calls.h"

#include "platform/native_window.h"

namespace platform {
namespace {

template <typename Pointer>
Pointer entry(const char* name)
{
    return reinterpret_cast<Pointer>(glProcAddress(name));
}

}  // namespace

const FramebufferCalls& framebufferCalls()
{
    static const FramebufferCalls loaded = [] {
        FramebufferCalls c;
        c.gen = entry<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
        c.remove = entry<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
        c.bind = entry<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
        c.attach = entry<PFNGLFRAMEBUFFERTEXTURE2DPROC>("glFramebufferTexture2D");
        c.status = entry<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
        c.genBuffer = entry<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
        c.removeBuffer = entry<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");
        c.bindBuffer = entry<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
        c.bufferStorage = entry<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
        c.attachBuffer = entry<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
        c.bufferStorageMultisample =
            entry<PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC>("glRenderbufferStorageMultisample");
        c.blit = entry<PFNGLBLITFRAMEBUFFERPROC>("glBlitFramebuffer");
        c.parameter = entry<PFNGLFRAMEBUFFERPARAMETERIPROC>("glFramebufferParameteri");
        return c;
    }();
    return loaded;
}

}  // namespace platform
