#pragma once
// The frame the show is drawn into: a framebuffer object of the show's own
// size (640 x 480), multisampled when asked, with a 24-bit depth and 8-bit
// stencil buffer as the window had. It is shown scaled into the window,
// whatever the window's size, with the picture's aspect kept. Every read of
// what was drawn (frame grabs into textures, pixel read-back) goes through
// it: a multisampled framebuffer object cannot be copied from directly, so
// the region read is resolved into a single-sampled twin first, as the
// window's own framebuffer used to do by itself.
#include <GL/gl.h>

namespace platform {

class ShowFrame {
public:
    ShowFrame() = default;
    // Calls release.
    ~ShowFrame() { release(); }
    ShowFrame(const ShowFrame&) = delete;
    ShowFrame& operator=(const ShowFrame&) = delete;

    // Makes the frame of width x height with samples per pixel (0: one),
    // cleared to transparent black with depth 1; the GL state and bindings
    // are left as they were. False, with nothing made, when the driver has
    // no framebuffer objects, blits or that many samples; the show then
    // draws straight into the window.
    bool create(int width, int height, int samples);
    bool created() const { return drawing_.framebuffer != 0; }
    // Deletes the framebuffers (needs the context that made them); create
    // may be called again.
    void release();
    int width() const { return width_; }
    int height() const { return height_; }
    // Samples per pixel the driver gave (0 without multisampling).
    int samples() const { return samples_; }

    // Drawing and reading go to the show frame from now on (its colour
    // image as draw and read buffer); to the window's back buffer when the
    // frame was not made.
    void bindForDrawing();

    // glCopyTexSubImage2D(target, 0, xOffset, yOffset, x, y, w, h) from the
    // framebuffer being read: when that is this frame with samples, the
    // region is resolved first and copied from the single-sampled twin.
    // Bindings and state are left as they were.
    void grabInto(GLenum target, int xOffset, int yOffset, int x, int y, int w, int h);
    // glCopyTexImage2D(target, 0, GL_DEPTH_COMPONENT, x, y, w, h, 0) of the
    // depth buffer being read, with the same resolve.
    void grabDepthInto(GLenum target, int x, int y, int w, int h);
    // glReadPixels of the show frame's colour (resolved where multisampled),
    // whatever is bound; the window's back buffer when the frame was not
    // made. Bindings and state are left as they were.
    void readPixels(int x, int y, int w, int h, GLenum format, GLenum type, void* pixels);

    // Draws the frame into the window's back buffer of windowWidth x
    // windowHeight: scaled as large as fits with its aspect kept (linear
    // filtering; nearest at scale 1, so the exact pixels), centred, black
    // bars around it. Nothing when the frame was not made. Bindings and
    // state are left as they were; the caller swaps.
    void present(int windowWidth, int windowHeight);

private:
    struct Buffers {
        GLuint framebuffer = 0;
        GLuint colour = 0;        // renderbuffer, RGBA 8-8-8-8
        GLuint depthStencil = 0;  // renderbuffer, depth 24 + stencil 8
    };
    bool makeBuffers(Buffers& buffers, int samples) const;
    static void releaseBuffers(Buffers& buffers);
    // Whether the framebuffer being read is this frame with samples.
    bool readingMultisampled() const;
    // The framebuffer holding the region (buffers: GL_COLOR_BUFFER_BIT or
    // GL_DEPTH_BUFFER_BIT) single-sampled: the twin after resolving the
    // region into it, or the frame itself without samples.
    GLuint resolve(GLbitfield buffers, int x, int y, int w, int h) const;
    // Resolves the region straight into the same place of level 0 of the
    // texture bound to target (2D or a cube face) when that texture has the
    // frame's format; false, with nothing drawn, otherwise.
    bool resolveIntoTexture(GLenum target, int x, int y, int w, int h);

    Buffers drawing_;
    Buffers resolved_;  // only with samples
    GLuint grabbing_ = 0;  // for resolving into textures; made by the first such grab
    int width_ = 0;
    int height_ = 0;
    int samples_ = 0;
};

}  // namespace platform
