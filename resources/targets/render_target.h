#pragma once
// An off-screen drawable whose colour (or depth) image is used as a 2D
// texture. Drawing into it between begin and end never leaks GL state into
// the show frame: begin saves all state and end restores it, as a drawable
// with a context of its own would.
#include <GL/gl.h>

#include "platform/framebuffer.h"

class RenderTarget {
public:
    // Which image bindTexImage binds, by the names the effects use.
    static constexpr int frontLeft = 0x2083;       // the colour image
    static constexpr int depthComponent = 0x20A7;  // the depth image

    RenderTarget() = default;
    // Calls destroy.
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Makes the drawable of width x height: a colour image and a 24-bit
    // depth buffer, which is the depth image (a texture) when withDepth;
    // nothing when already created. A failure (no
    // framebuffer support, a size beyond the driver's textures) leaves it
    // not created, silently; create may be tried again.
    void create(int width, int height, bool withDepth);
    bool isCreated() const { return created_; }
    // The colour texture with clamp-to-edge wrapping and linear filters;
    // once.
    void makeTexture();
    // The same with repeat wrapping, linear minification and nearest
    // magnification.
    void makeRepeatTexture();
    // Only when created: draws into the target from now on, over the whole
    // target, with the GL state of the frame being drawn saved.
    void begin();
    // Back to the framebuffer drawn into before begin (the show frame, or
    // an outer target) with its GL state as before; nothing when begin did
    // not switch.
    void end();
    // Only when created: binds the colour (frontLeft) or depth
    // (depthComponent) image as the 2D texture of the active unit.
    void bindTexImage(int buffer);
    // Ends a bindTexImage; the images stay intact.
    void releaseTexImage(int buffer);
    // Releases the drawable and its textures; back to not created.
    void destroy();

    int width() const { return width_; }
    int height() const { return height_; }
    GLuint texture() const { return texture_; }

private:
    void makeTextureWith(GLint wrap, GLint minFilter, GLint magFilter);

    GLuint texture_ = 0;
    GLuint depthTexture_ = 0;
    platform::Framebuffer framebuffer_;
    int width_ = 0;
    int height_ = 0;
    bool created_ = false;
    bool textureMade_ = false;
    bool begun_ = false;
};
