#include "shell/glwindow.h"

#include "platform/message_box.h"
#include "resources/textures/texture_manager.h"
#include "shell/error_report.h"
#include "shell/extensions.h"

#include <GL/glu.h>

#include <cstring>

namespace {

GLWindow* current = nullptr;

const char* failureText(platform::WindowFailure failure)
{
    switch (failure) {
    case platform::WindowFailure::windowCreation: return "window creation error";
    case platform::WindowFailure::deviceContext: return "can't get DC for GL";
    case platform::WindowFailure::pixelFormat: return "can't find a suitable pixel format";
    case platform::WindowFailure::setPixelFormat: return "can't set the pixel format";
    case platform::WindowFailure::contextCreation: return "can't create GL rendering context";
    case platform::WindowFailure::makeCurrent: return "can't active rendering context";
    case platform::WindowFailure::none: break;
    }
    return "window creation error";
}

}  // namespace

GLWindow* currentWindow() { return current; }

void copyFrameInto(GLenum target, int xOffset, int yOffset, int x, int y, int w, int h)
{
    if (current != nullptr)
        current->showFrame().grabInto(target, xOffset, yOffset, x, y, w, h);
    else
        glCopyTexSubImage2D(target, 0, xOffset, yOffset, x, y, w, h);
}

void copyFrameDepthInto(GLenum target, int x, int y, int w, int h)
{
    if (current != nullptr)
        current->showFrame().grabDepthInto(target, x, y, w, h);
    else
        glCopyTexImage2D(target, 0, GL_DEPTH_COMPONENT, x, y, w, h, 0);
}

GLWindow::GLWindow(bool fullscreen, const char* title, int width, int height, int samples, float anisotropy,
                   const platform::Clock& clock)
    : width_(width), height_(height), title_(title), clock_(clock), followsMusic_(clock.readsSteadyTime())
{
    current = this;
    prepareSound();
    if (!create(title, width, height, 32, fullscreen, samples))
        reportError("OpenGL init failed", -1, true);
    Extensions::load();
    if (Extensions::has("GL_EXT_texture_filter_anisotropic")) {
        GLfloat maximum = 0.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
        if (anisotropy > maximum)
            anisotropy = maximum;
        anisotropy_ = anisotropy;
        TextureManager::setTextureAnisotropy(anisotropy_);
    }
}

GLWindow::~GLWindow()
{
    shutdown();
    if (current == this)
        current = nullptr;
}

bool GLWindow::create(const char* title, int width, int height, int bits, bool fullscreen, int samples)
{
    if (!createWindow(title, width, height, bits, fullscreen))
        return false;
    const int frameSamples = samples > 0 && chooseMultisampleFormat(samples) ? samples : 0;
    // A sample count the driver refuses is no error: the show is drawn
    // without multisampling, as on a card without it.
    if (!showFrame_.create(width, height, frameSamples) && frameSamples > 0)
        showFrame_.create(width, height, 0);
    showFrame_.bindForDrawing();
    native_->show();
    resize(width, height);
    return setupGL();
}

bool GLWindow::createWindow(const char* title, int width, int height, int bits, bool fullscreen)
{
    if (!classRegistered_ && !platform::registerWindowClass()) {
        platform::showMessageBox("could not register window class", "error", platform::BoxIcon::information);
        return false;
    }
    classRegistered_ = true;
    platform::WindowRequest request;
    request.title = title;
    request.width = width;
    request.height = height;
    request.colourBits = bits;
    request.fullscreen = fullscreen;
    platform::WindowFailure failure = platform::WindowFailure::none;
    std::unique_ptr<platform::NativeWindow> window = platform::NativeWindow::create(request, failure);
    if (window == nullptr && fullscreen && failure == platform::WindowFailure::windowCreation) {
        if (!platform::askYesNo("requested fullscreen mode not supported, run window?", "error")) {
            platform::showMessageBox("program closes", "error", platform::BoxIcon::warning);
            return false;
        }
        request.fullscreen = false;
        window = platform::NativeWindow::create(request, failure);
    }
    if (window == nullptr) {
        shutdown();
        platform::showMessageBox(failureText(failure), "error", platform::BoxIcon::warning);
        return false;
    }
    native_ = std::move(window);
    fullscreen_ = request.fullscreen;
    return true;
}

bool GLWindow::chooseMultisampleFormat(int samples)
{
    Extensions::load();
    return samples > 0 && Extensions::has("WGL_ARB_multisample");
}

void GLWindow::resize(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<GLdouble>(width) / static_cast<GLdouble>(height), 1.0, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool GLWindow::setupGL()
{
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void GLWindow::shutdown()
{
    // The frame's framebuffers belong to the context, which goes with the
    // window.
    if (native_ != nullptr)
        showFrame_.release();
    native_.reset();
    fullscreen_ = false;
    if (classRegistered_)
        platform::unregisterWindowClass();
    classRegistered_ = false;
}

void GLWindow::swapBuffers()
{
    if (native_ == nullptr)
        return;
    int windowWidth = 0;
    int windowHeight = 0;
    windowSize(windowWidth, windowHeight);
    showFrame_.present(windowWidth, windowHeight);
    native_->swapBuffers();
}

void GLWindow::windowSize(int& width, int& height) const
{
    width = height = 0;
    if (native_ != nullptr)
        native_->drawableSize(width, height);
}

int GLWindow::setSwapWait(bool wait) { return native_ != nullptr ? native_->setSwapWait(wait) : 0; }

void GLWindow::setTitle(const std::string& title)
{
    if (native_ != nullptr)
        native_->setTitle(title);
}

void GLWindow::handleEvent(const platform::Event& event)
{
    switch (event.kind) {
    case platform::EventKind::minimised: active_ = 0; break;
    case platform::EventKind::restored: active_ = 1; break;
    case platform::EventKind::close: platform::postQuit(); break;
    case platform::EventKind::keyDown:
        keys_[event.virtualKey & 0xFF] = 1;
        if (!event.repeat)
            pressed_[event.virtualKey & 0xFF] = 1;
        break;
    case platform::EventKind::keyUp: keys_[event.virtualKey & 0xFF] = 0; break;
    default: break;
    }
}

uint8_t GLWindow::keyDown(int vk) const { return vk >= 0 && vk < 256 ? (keys_[vk] | pressed_[vk]) : 0; }

uint8_t GLWindow::keyPressed(int vk) const { return vk >= 0 && vk < 256 ? pressed_[vk] : 0; }

void GLWindow::keysSeen() { std::memset(pressed_, 0, sizeof pressed_); }

void GLWindow::clearKeys()
{
    std::memset(keys_, 0, sizeof keys_);
    keysSeen();
}

int GLWindow::samples() const { return showFrame_.samples(); }
