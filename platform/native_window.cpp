#include "platform/native_window.h"

#include "platform/keys.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace platform {
namespace {

void setPixelFormatAttributes(const WindowRequest& request)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request.colourBits >= 32 ? 8 : 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

bool listHas(const char* list, const char* name)
{
    if (list == nullptr)
        return false;
    const size_t length = std::strlen(name);
    for (const char* p = list; *p != '\0';) {
        while (*p == ' ')
            ++p;
        const char* end = p;
        while (*end != '\0' && *end != ' ')
            ++end;
        if (static_cast<size_t>(end - p) == length && std::strncmp(p, name, length) == 0)
            return true;
        p = end;
    }
    return false;
}

}  // namespace

void requestHeadlessVideo()
{
#ifdef _WIN32
    // Windows has no display-less GL: a hidden window on the desktop gives
    // the context, and every frame is read back from it.
#else
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
#endif
}

bool registerWindowClass()
{
    // SDL counts these calls, so every window owner may hold the subsystem.
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

bool unregisterWindowClass()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return true;
}

bool cursorShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

bool currentDisplayMode(int& width, int& height)
{
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0)
        return false;
    width = mode.w;
    height = mode.h;
    return true;
}

std::unique_ptr<NativeWindow> NativeWindow::create(const WindowRequest& request, WindowFailure& failure)
{
    setPixelFormatAttributes(request);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    flags |= request.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE;
    int width = request.width;
    int height = request.height;
    SDL_DisplayMode desktop{};
    // A window manager makes a fullscreen window cover the desktop; without
    // one (a bare X server) the window keeps the size it was made with, so
    // it is made at the desktop's size from the start.
    if (request.fullscreen && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        width = desktop.w;
        height = desktop.h;
    }
    SDL_Window* window = SDL_CreateWindow(request.title, 0, 0, width, height, flags);
    if (window == nullptr) {
        failure = WindowFailure::windowCreation;
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        SDL_DestroyWindow(window);
        failure = WindowFailure::contextCreation;
        return nullptr;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0) {
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        failure = WindowFailure::makeCurrent;
        return nullptr;
    }
    std::unique_ptr<NativeWindow> result(new NativeWindow);
    result->window_ = window;
    result->context_ = context;
    result->fullscreen_ = request.fullscreen;
    failure = WindowFailure::none;
    return result;
}

NativeWindow::~NativeWindow()
{
    auto* window = static_cast<SDL_Window*>(window_);
    if (cursorHidden_)
        SDL_ShowCursor(SDL_ENABLE);
    if (context_ != nullptr) {
        if (SDL_GL_GetCurrentContext() == context_)
            SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
    if (window != nullptr)
        SDL_DestroyWindow(window);
}

void NativeWindow::show()
{
    auto* window = static_cast<SDL_Window*>(window_);
    // The cursor switch is one for the whole program, not counted: only the
    // window on screen switches it, so that a window replaced before it was
    // ever shown (the multisampled successor's first) cannot turn it back on.
    if (fullscreen_ && !cursorHidden_) {
        SDL_ShowCursor(SDL_DISABLE);
        cursorHidden_ = true;
    }
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void NativeWindow::swapBuffers()
{
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(window_));
    // Without a display nothing paces the swaps, and a software rasteriser
    // would queue frames faster than it draws them: each frame is finished
    // here, so quitting never waits for a backlog of frames to drain.
    glFinish();
}

int NativeWindow::setSwapWait(bool wait)
{
    if (!wait || SDL_GL_SetSwapInterval(-1) != 0)
        SDL_GL_SetSwapInterval(wait ? 1 : 0);
    return SDL_GL_GetSwapInterval();
}

void NativeWindow::setTitle(const std::string& title)
{
    SDL_SetWindowTitle(static_cast<SDL_Window*>(window_), title.c_str());
}

void NativeWindow::drawableSize(int& width, int& height) const
{
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &width, &height);
}

bool pollEvent(Event& event)
{
    SDL_Event sdl;
    if (SDL_PollEvent(&sdl) == 0)
        return false;
    event = Event{};
    event.kind = EventKind::other;
    switch (sdl.type) {
    case SDL_QUIT: event.kind = EventKind::quit; break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        // Keys pressed with Alt, and Alt and F10 themselves, arrive on Windows
        // as system keys, which never reach the key table.
        const SDL_Keycode key = sdl.key.keysym.sym;
        const bool systemKey = (sdl.key.keysym.mod & KMOD_ALT) != 0 || key == SDLK_LALT || key == SDLK_RALT ||
                               key == SDLK_F10;
        const int vk = virtualKeyFromKeycode(key);
        if (!systemKey && vk != 0) {
            event.kind = sdl.type == SDL_KEYDOWN ? EventKind::keyDown : EventKind::keyUp;
            event.virtualKey = vk;
            event.repeat = sdl.key.repeat != 0;
        }
        break;
    }
    case SDL_WINDOWEVENT:
        switch (sdl.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            event.kind = EventKind::resized;
            event.width = sdl.window.data1;
            event.height = sdl.window.data2;
            break;
        case SDL_WINDOWEVENT_MINIMIZED: event.kind = EventKind::minimised; break;
        case SDL_WINDOWEVENT_RESTORED: event.kind = EventKind::restored; break;
        case SDL_WINDOWEVENT_CLOSE: event.kind = EventKind::close; break;
        default: break;
        }
        break;
    default: break;
    }
    return true;
}

void postQuit()
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

bool pushKeyEvent(const char* keyName, bool down, bool altHeld)
{
    const SDL_Keycode key = SDL_GetKeyFromName(keyName);
    if (key == SDLK_UNKNOWN)
        return false;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = altHeld ? KMOD_LALT : KMOD_NONE;
    return SDL_PushEvent(&event) == 1;
}

void pushWindowEvent(EventKind kind, int width, int height)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    switch (kind) {
    case EventKind::resized:
        event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        event.window.data1 = width;
        event.window.data2 = height;
        break;
    case EventKind::minimised: event.window.event = SDL_WINDOWEVENT_MINIMIZED; break;
    case EventKind::restored: event.window.event = SDL_WINDOWEVENT_RESTORED; break;
    case EventKind::close: event.window.event = SDL_WINDOWEVENT_CLOSE; break;
    case EventKind::quit: postQuit(); return;
    default: return;
    }
    SDL_PushEvent(&event);
}

void* glProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

bool glExtensionPresent(const char* name)
{
    return listHas(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

std::string platformExtensionList()
{
    const char* gl = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::string list = "WGL_ARB_pixel_format";
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    glGetError();  // GL_MAX_SAMPLES is unknown before GL 3.0
    if (maxSamples > 1 || listHas(gl, "GL_ARB_multisample"))
        list += " WGL_ARB_multisample";
    const bool framebuffers = listHas(gl, "GL_ARB_framebuffer_object") || listHas(gl, "GL_EXT_framebuffer_object");
    if (framebuffers)
        list += " WGL_ARB_pbuffer WGL_ARB_render_texture";
    if (framebuffers && listHas(gl, "GL_ARB_depth_texture"))
        list += " WGL_NV_render_depth_texture";
    return list;
}

}  // namespace platform
