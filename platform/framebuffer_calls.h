#pragma once
// The framebuffer-object entry points, fetched by name once per process
// (Windows' opengl32 exports only GL 1.1, so none is linked directly).
#include <GL/gl.h>
#include <GL/glext.h>

namespace platform {

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
    // Newer than the rest (GL 3.0, ARB_framebuffer_object): may be missing
    // where the calls above exist.
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC bufferStorageMultisample = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blit = nullptr;
    // GL 4.3; null before.
    PFNGLFRAMEBUFFERPARAMETERIPROC parameter = nullptr;

    // Whether every call of framebuffers with textures and renderbuffers is
    // there (the multisample storage and the blit not counted).
    bool complete() const
    {
        return gen && remove && bind && attach && status && genBuffer && removeBuffer && bindBuffer && bufferStorage &&
               attachBuffer;
    }
    // complete, and blits and multisampled storage too.
    bool withBlit() const { return complete() && bufferStorageMultisample && blit; }
};

// The calls of the current context's driver, read the first time (needs a
// current context then).
const FramebufferCalls& framebufferCalls();

}  // namespace platform
