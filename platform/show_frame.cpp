#include "platform/show_frame.h"

#include "platform/framebuffer_calls.h"
#include "platform/native_window.h"
#include "platform/picture_fit.h"

#include <initializer_list>

#ifndef GL_FRAMEBUFFER_FLIP_Y_MESA
#define GL_FRAMEBUFFER_FLIP_Y_MESA 0x8BBB
#endif

namespace platform {
namespace {

// Mesa keeps a window's framebuffer upside down and rasterises into it that
// way, which mirrors the sample positions of a multisampled one and the
// tie-break at pixel centres. A framebuffer object drawn the same way gives
// the very pixels the window gave; elsewhere the frame is drawn as the
// driver draws framebuffer objects.
void drawLikeTheWindow()
{
    if (framebufferCalls().parameter != nullptr && glExtensionPresent("GL_MESA_framebuffer_flip_y"))
        framebufferCalls().parameter(GL_FRAMEBUFFER, GL_FRAMEBUFFER_FLIP_Y_MESA, GL_TRUE);
}

// The framebuffer bindings and the switches a blit or a clear obeys, put
// back as they were when it goes out of scope.
class SavedBindings {
public:
    SavedBindings()
    {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw_);
        scissor_ = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
    }
    ~SavedBindings()
    {
        framebufferCalls().bind(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_));
        framebufferCalls().bind(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw_));
        if (scissor_)
            glEnable(GL_SCISSOR_TEST);
    }
    SavedBindings(const SavedBindings&) = delete;
    SavedBindings& operator=(const SavedBindings&) = delete;

private:
    GLint read_ = 0;
    GLint draw_ = 0;
    GLboolean scissor_ = GL_FALSE;
};

}  // namespace

bool ShowFrame::create(int width, int height, int samples)
{
    release();
    const FramebufferCalls& gl = framebufferCalls();
    if (width <= 0 || height <= 0 || samples < 0 || !gl.withBlit())
        return false;
    if (samples > 0) {
        GLint most = 0;
        glGetIntegerv(GL_MAX_SAMPLES, &most);
        if (samples > most)
            return false;
    }
    width_ = width;
    height_ = height;
    GLint renderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    bool made = false;
    {
        SavedBindings saved;
        made = makeBuffers(drawing_, samples) && (samples == 0 || makeBuffers(resolved_, 0));
        if (made) {
            gl.bind(GL_FRAMEBUFFER, drawing_.framebuffer);
            GLint given = 0;
            glGetIntegerv(GL_SAMPLES, &given);
            samples_ = given;
            glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            glDepthMask(GL_TRUE);
            glStencilMask(0xFF);
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClearDepth(1.0);
            glClearStencil(0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glPopAttrib();
        }
    }
    gl.bindBuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer));
    glGetError();
    if (!made)
        release();
    return made;
}

bool ShowFrame::makeBuffers(Buffers& buffers, int samples) const
{
    const FramebufferCalls& gl = framebufferCalls();
    gl.genBuffer(1, &buffers.colour);
    gl.genBuffer(1, &buffers.depthStencil);
    const struct {
        GLuint name;
        GLenum format;
    } images[] = {{buffers.colour, GL_RGBA8}, {buffers.depthStencil, GL_DEPTH24_STENCIL8}};
    for (const auto& image : images) {
        gl.bindBuffer(GL_RENDERBUFFER, image.name);
        if (samples > 0)
            gl.bufferStorageMultisample(GL_RENDERBUFFER, samples, image.format, width_, height_);
        else
            gl.bufferStorage(GL_RENDERBUFFER, image.format, width_, height_);
    }
    gl.gen(1, &buffers.framebuffer);
    gl.bind(GL_FRAMEBUFFER, buffers.framebuffer);
    gl.attachBuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers.colour);
    gl.attachBuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, buffers.depthStencil);
    drawLikeTheWindow();
    return gl.status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void ShowFrame::releaseBuffers(Buffers& buffers)
{
    const FramebufferCalls& gl = framebufferCalls();
    if (gl.complete()) {
        if (buffers.framebuffer != 0)
            gl.remove(1, &buffers.framebuffer);
        for (GLuint* image : {&buffers.colour, &buffers.depthStencil}) {
            if (*image != 0)
                gl.removeBuffer(1, image);
        }
    }
    buffers = Buffers{};
}

void ShowFrame::release()
{
    releaseBuffers(drawing_);
    releaseBuffers(resolved_);
    if (grabbing_ != 0 && framebufferCalls().complete())
        framebufferCalls().remove(1, &grabbing_);
    grabbing_ = 0;
    width_ = height_ = samples_ = 0;
}

void ShowFrame::bindForDrawing()
{
    if (!created()) {
        if (framebufferCalls().complete())
            framebufferCalls().bind(GL_FRAMEBUFFER, 0);
        return;
    }
    framebufferCalls().bind(GL_FRAMEBUFFER, drawing_.framebuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
}

bool ShowFrame::readingMultisampled() const
{
    if (samples_ == 0)
        return false;
    GLint read = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    return static_cast<GLuint>(read) == drawing_.framebuffer;
}

GLuint ShowFrame::resolve(GLbitfield buffers, int x, int y, int w, int h) const
{
    if (samples_ == 0)
        return drawing_.framebuffer;
    const FramebufferCalls& gl = framebufferCalls();
    SavedBindings saved;
    gl.bind(GL_READ_FRAMEBUFFER, drawing_.framebuffer);
    gl.bind(GL_DRAW_FRAMEBUFFER, resolved_.framebuffer);
    gl.blit(x, y, x + w, y + h, x, y, x + w, y + h, buffers, GL_NEAREST);
    return resolved_.framebuffer;
}

bool ShowFrame::resolveIntoTexture(GLenum target, int x, int y, int w, int h)
{
    const bool cubeFace = target >= GL_TEXTURE_CUBE_MAP_POSITIVE_X && target <= GL_TEXTURE_CUBE_MAP_NEGATIVE_Z;
    if (target != GL_TEXTURE_2D && !cubeFace)
        return false;
    GLint texture = 0;
    glGetIntegerv(cubeFace ? GL_TEXTURE_BINDING_CUBE_MAP : GL_TEXTURE_BINDING_2D, &texture);
    GLint format = 0;
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    // A multisampled blit needs the frame's own format on both sides.
    if (texture == 0 || (format != GL_RGBA8 && format != GL_RGBA))
        return false;
    const FramebufferCalls& gl = framebufferCalls();
    if (grabbing_ == 0)
        gl.gen(1, &grabbing_);
    SavedBindings saved;
    gl.bind(GL_DRAW_FRAMEBUFFER, grabbing_);
    gl.attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, target, static_cast<GLuint>(texture), 0);
    const bool complete = gl.status(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        gl.bind(GL_READ_FRAMEBUFFER, drawing_.framebuffer);
        gl.blit(x, y, x + w, y + h, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    // The texture is not held by the framebuffer between grabs.
    gl.attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, target, 0, 0);
    return complete;
}

void ShowFrame::grabInto(GLenum target, int xOffset, int yOffset, int x, int y, int w, int h)
{
    if (!readingMultisampled()) {
        glCopyTexSubImage2D(target, 0, xOffset, yOffset, x, y, w, h);
        return;
    }
    // A region that keeps its place is resolved straight into the texture,
    // in one pass, as the driver did for a multisampled window.
    if (xOffset == x && yOffset == y && resolveIntoTexture(target, x, y, w, h))
        return;
    const GLuint source = resolve(GL_COLOR_BUFFER_BIT, x, y, w, h);
    SavedBindings saved;
    framebufferCalls().bind(GL_READ_FRAMEBUFFER, source);
    glCopyTexSubImage2D(target, 0, xOffset, yOffset, x, y, w, h);
}

void ShowFrame::grabDepthInto(GLenum target, int x, int y, int w, int h)
{
    if (!readingMultisampled()) {
        glCopyTexImage2D(target, 0, GL_DEPTH_COMPONENT, x, y, w, h, 0);
        return;
    }
    const GLuint source = resolve(GL_DEPTH_BUFFER_BIT, x, y, w, h);
    SavedBindings saved;
    framebufferCalls().bind(GL_READ_FRAMEBUFFER, source);
    glCopyTexImage2D(target, 0, GL_DEPTH_COMPONENT, x, y, w, h, 0);
}

void ShowFrame::readPixels(int x, int y, int w, int h, GLenum format, GLenum type, void* pixels)
{
    const FramebufferCalls& gl = framebufferCalls();
    if (!gl.complete()) {
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, w, h, format, type, pixels);
        return;
    }
    const GLuint source = created() ? resolve(GL_COLOR_BUFFER_BIT, x, y, w, h) : 0;
    SavedBindings saved;
    gl.bind(GL_READ_FRAMEBUFFER, source);
    GLint readBuffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glReadBuffer(source != 0 ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glReadPixels(x, y, w, h, format, type, pixels);
    glReadBuffer(static_cast<GLenum>(readBuffer));
}

void ShowFrame::present(int windowWidth, int windowHeight)
{
    const PictureRect picture = fitPicture(width_, height_, windowWidth, windowHeight);
    if (!created() || picture.width <= 0)
        return;
    const FramebufferCalls& gl = framebufferCalls();
    const bool fillsWindow = picture.width == windowWidth && picture.height == windowHeight;
    const bool exact = picture.width == width_ && picture.height == height_;
    // A window of the frame's own size takes the frame in one blit, resolving
    // it on the way; otherwise the resolved frame is scaled.
    const GLuint source =
        exact && fillsWindow ? drawing_.framebuffer : resolve(GL_COLOR_BUFFER_BIT, 0, 0, width_, height_);
    SavedBindings saved;
    gl.bind(GL_READ_FRAMEBUFFER, source);
    gl.bind(GL_DRAW_FRAMEBUFFER, 0);
    if (!fillsWindow) {
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
    }
    gl.blit(0, 0, width_, height_, picture.x, picture.y, picture.x + picture.width, picture.y + picture.height,
            GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
}

}  // namespace platform
