#pragma once
// The one top-level window with its OpenGL context, and the event queue.
// Stands in for the window class, CreateWindowEx, the pixel format, WGL
// context calls and the message queue.
#include <memory>
#include <string>

namespace platform {

// Which step of making a window failed; each has its own text in GLWindow.
enum class WindowFailure {
    none,
    windowCreation,
    deviceContext,
    pixelFormat,
    setPixelFormat,
    contextCreation,
    makeCurrent,
};

struct WindowRequest {
    const char* title = "";
    int width = 0;
    int height = 0;
    int colourBits = 32;
    bool fullscreen = false;
};

// Makes the next window on SDL's offscreen driver (a real GL context with no
// display), for rendering without a screen. Call before the first window.
// On Windows the window is an ordinary hidden one.
void requestHeadlessVideo();

// Opens the video subsystem, the stand-in of registering the window class;
// each successful call is paired with one unregisterWindowClass. False when
// no video driver can be had.
bool registerWindowClass();
// Releases one hold on the video subsystem; false when it was not open.
bool unregisterWindowClass();

// Whether the mouse cursor is shown over the program's windows (needs the
// video subsystem).
bool cursorShown();

// Width and height of the first display's current mode; false when it cannot
// be read (needs the video subsystem).
bool currentDisplayMode(int& width, int& height);

class NativeWindow {
public:
    // Makes a window with a GL context (RGBA 8-8-8-8, the widest depth buffer
    // the driver gives, 8 stencil bits, double buffer, compatibility profile)
    // and makes the context current. On failure returns null and says where.
    // A fullscreen window covers the desktop at the desktop's own resolution
    // (the display mode is never changed); another window has the requested
    // size and the user may resize it.
    static std::unique_ptr<NativeWindow> create(const WindowRequest& request, WindowFailure& failure);

    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;
    // Releases the context (not current any more) and the window, and shows
    // the cursor again when show hid it.
    ~NativeWindow();

    // Puts the window on screen; a fullscreen window hides the cursor.
    void show();
    void swapBuffers();
    // With wait, swaps wait for the vertical blank, adaptively (a late frame
    // is shown at once) where the driver offers it; without, they do not
    // wait. Returns the swap interval the driver took: -1 adaptive, 1
    // waiting, 0 not waiting.
    int setSwapWait(bool wait);
    bool fullscreen() const { return fullscreen_; }
    // The size of the window's GL drawable in pixels, as it is now.
    void drawableSize(int& width, int& height) const;
    void setTitle(const std::string& title);

private:
    NativeWindow() = default;
    void* window_ = nullptr;
    void* context_ = nullptr;
    bool fullscreen_ = false;
    bool cursorHidden_ = false;
};

// Events as the window procedure saw them.
enum class EventKind { none, quit, close, keyDown, keyUp, resized, minimised, restored, other };

struct Event {
    EventKind kind = EventKind::none;
    int virtualKey = 0;  // keyDown, keyUp: Windows virtual-key code 0..255
    bool repeat = false; // keyDown: the keyboard repeating a held key
    int width = 0;       // resized
    int height = 0;
};

// Takes one event off the queue without waiting; false when none is pending.
bool pollEvent(Event& event);
// Puts a quit event on the queue (PostQuitMessage).
void postQuit();
// Puts a key event on the queue as the keyboard would, for the key of that
// name ("Escape", "Left Ctrl", "Left Shift", "A"); false for unknown names.
bool pushKeyEvent(const char* keyName, bool down, bool altHeld = false);
// Puts a window event on the queue as the window system would.
void pushWindowEvent(EventKind kind, int width = 0, int height = 0);

// Address of a GL entry point by name, or null (wglGetProcAddress).
void* glProcAddress(const char* name);

// Whether the current context's GL extension list holds name as a whole
// entry. Needs a current context.
bool glExtensionPresent(const char* name);

// The WGL capabilities this layer provides, by their WGL names, separated by
// blanks. Needs a current context.
std::string platformExtensionList();

}  // namespace platform
