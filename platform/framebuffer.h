#pragma once
// Off-screen drawing into textures: the stand-in for pbuffers bound as
// textures. A framebuffer object renders into a colour texture and,
// optionally, a depth texture or a depth buffer of its own.
#include <GL/gl.h>

namespace platform {

// Whether the driver has framebuffer objects (needs a current context).
bool framebuffersAvailable();

class Framebuffer {
public:
    Framebuffer() = default;
    // Calls release.
    ~Framebuffer() { release(); }
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    // Attaches colourTexture (and depthTexture when not 0), both already
    // holding storage of the same size. False, with nothing left made, when
    // the driver cannot render into them.
    bool create(GLuint colourTexture, GLuint depthTexture);
    // Attaches colourTexture, holding storage of width x height, and a
    // 24-bit depth buffer of that size that only the framebuffer uses. False,
    // with nothing left made, when the driver cannot render into them.
    bool createWithDepthBuffer(GLuint colourTexture, int width, int height);
    bool created() const { return name_ != 0; }
    // Deletes the framebuffer object and its own depth buffer (not the
    // textures, which the caller owns); create may be called again. Needs
    // the context that made it.
    void release();
    // Draws into the textures from now on; remembers what was bound.
    void bind();
    // Draws where drawing went before bind.
    void unbind();

private:
    // create's work; a depth buffer is made when depthTexture is 0 and the
    // size is given.
    bool attach(GLuint colourTexture, GLuint depthTexture, int depthBufferWidth, int depthBufferHeight);

    GLuint name_ = 0;
    GLuint depthBuffer_ = 0;
    GLint previous_ = 0;
};

}  // namespace platform
