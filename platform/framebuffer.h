#pragma once
// Off-screen drawing into textures: the stand-in for pbuffers bound as
// textures. A framebuffer object renders into a colour texture and a depth
// texture, or, where no depth texture is wanted, a depth buffer of its own:
// a pbuffer always had a 24-bit depth buffer.
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

    // Attaches colourTexture and depthTexture, both already holding storage
    // of width x height; when depthTexture is 0, a 24-bit depth buffer of
    // that size that only the framebuffer uses. False, with nothing left
    // made, when the driver cannot render into them.
    bool create(GLuint colourTexture, GLuint depthTexture, int width, int height);
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
    GLuint name_ = 0;
    GLuint depthBuffer_ = 0;
    GLint previous_ = 0;
};

}  // namespace platform
