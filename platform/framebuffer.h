#pragma once
// Off-screen drawing into textures: the stand-in for pbuffers bound as
// textures. A framebuffer object renders into a colour texture and,
// optionally, a depth texture.
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
    bool created() const { return name_ != 0; }
    // Deletes the framebuffer object (not the textures, which the caller
    // owns); create may be called again. Needs the context that made it.
    void release();
    // Draws into the textures from now on; remembers what was bound.
    void bind();
    // Draws where drawing went before bind.
    void unbind();

private:
    GLuint name_ = 0;
    GLint previous_ = 0;
};

}  // namespace platform
