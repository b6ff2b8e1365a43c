#pragma once
// The one window of the program with its GL context, the keyboard state, the
// window's reaction to resizing and minimising, and the demo timer.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/native_window.h"
#include "platform/show_frame.h"
#include "platform/sound.h"
#include "shell/heard_position.h"
#include "shell/show_clock.h"

// The show is drawn into its frame (platform::ShowFrame) of width x height,
// multisampled when asked, and each swap shows that frame scaled into the
// window, whatever size the window has: fullscreen covers the desktop at its
// own resolution, and a window may be resized.
class GLWindow {
public:
    // Makes the window and its context (fullscreen when asked and possible),
    // the show frame (multisampled when samples > 0 and the platform can),
    // loads the extension lists and hands the anisotropy to the texture
    // manager. Reports "OpenGL init failed" as fatal when no window can be
    // made.
    GLWindow(bool fullscreen, const char* title, int width, int height, int samples, float anisotropy,
             const platform::Clock& clock = platform::steadyClock());
    // Calls shutdown.
    ~GLWindow();
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;

    // createWindow, then the show frame of width x height, with samples when
    // samples > 0 and chooseMultisampleFormat allows (a sample count the
    // driver refuses quietly gives a frame without). Binds the frame for
    // drawing, shows the window, sizes the viewport and sets the GL
    // defaults. False when no window could be made.
    bool create(const char* title, int width, int height, int bits, bool fullscreen, int samples);
    // One window with the ordinary pixel format. When a fullscreen window
    // cannot be made, asks whether to run in a window instead. Returns false
    // on failure, after a box.
    bool createWindow(const char* title, int width, int height, int bits, bool fullscreen);
    // Whether the show frame may be multisampled; false when the platform
    // has no "WGL_ARB_multisample".
    bool chooseMultisampleFormat(int samples);
    // The show's viewport to the size (height 0 counts as 1) and a 45-degree
    // perspective projection from 1 to 2000; modelview identity.
    void resize(int width, int height);
    // Depth test LEQUAL with clear depth 1, nicest perspective hint.
    bool setupGL();
    // Releases the show frame, the context, the window and the video
    // subsystem; safe twice.
    void shutdown();
    // Shows the show frame scaled into the window as it is sized now (see
    // platform::ShowFrame::present) and swaps.
    void swapBuffers();
    // Whether swaps wait for the vertical blank (see NativeWindow); returns
    // the interval the driver took, 0 without a window.
    int setSwapWait(bool wait);
    void setTitle(const std::string& title);

    // The window procedure: applies one event to the key table and the
    // active flag; a close request posts a quit event. A new window size
    // changes only how the frame is shown, never the show's own viewport.
    void handleEvent(const platform::Event& event);

    // Key table byte of virtual-key code vk (1 down, 0 up); 0 outside 0..255.
    // A key pressed since the last keysSeen reads 1 even when it is up again:
    // a tap whose down and up both arrive while a frame draws still counts
    // for the next frame.
    uint8_t keyDown(int vk) const;
    // 1 when vk was pressed (not repeated by the keyboard) since the last
    // keysSeen, else 0: one toggle or jump per press, however long held.
    uint8_t keyPressed(int vk) const;
    // A frame has looked at the keys: presses of keys that are up again are
    // forgotten.
    void keysSeen();
    void clearKeys();
    // False while the window is minimised.
    bool active() const { return active_ != 0; }

    // The demo time of the frame being drawn: the last advanceTime (or
    // transport since), in whole ms.
    int64_t timerNow() const;
    // Reads the clock for a new frame and returns its demo time: the steady
    // time kept on the music being heard (see ShowClock), when the window's
    // clock is the steady clock and music plays; the clock alone otherwise
    // (the offline renderer's manual clock gives exact times).
    int64_t advanceTime();
    // The one operation on time and music together: both move to ms, held
    // there when paused; playing, the time waits at ms until the music is
    // heard there.
    void transport(int32_t ms, bool paused);
    // Holds or resumes the demo time and the music together where they
    // stand (a resume is a transport to the held time).
    void pause(bool paused);
    bool paused() const { return clock_.paused(); }

    // Music stream (shell/music.cpp). initSound: opens the sound device at
    // 44100 Hz stereo; the result becomes soundInitialised. openMusic: the
    // file from disk (not the archive) as the stream, not yet playing, and
    // as the source of the music's spectrum; false when it cannot be
    // played. closeSound: closes the stream and the device.
    bool initSound();
    bool openMusic(const char* file);
    void closeSound();

    bool fullscreen() const { return fullscreen_; }
    // The show's size (the show frame's).
    int width() const { return width_; }
    int height() const { return height_; }
    // The window's drawable in pixels as it is now (the desktop's size when
    // fullscreen); 0 x 0 without a window.
    void windowSize(int& width, int& height) const;
    // Samples per pixel of the show frame (0 without multisampling).
    int samples() const;
    // What the show draws into; every read of a drawn picture goes through
    // it.
    platform::ShowFrame& showFrame() { return showFrame_; }
    // Anisotropy for new textures: the requested value capped at the card's
    // maximum, 0 without the anisotropic filtering extension.
    float anisotropy() const { return anisotropy_; }

private:
    // Registers the exit handler that closes the sound system; no stream,
    // sound not initialised.
    void prepareSound();

    std::unique_ptr<platform::NativeWindow> native_;
    platform::ShowFrame showFrame_;
    bool fullscreen_ = false;
    int width_;
    int height_;
    std::string title_;
    ShowClock clock_;
    HeardPosition heard_;
    std::vector<platform::PlaybackReport> reports_;
    bool followsMusic_ = false;  // the clock reads the time the device reports in
    float anisotropy_ = 0.0f;
    bool classRegistered_ = false;
    uint8_t active_ = 1;
    uint8_t keys_[256] = {};
    uint8_t pressed_[256] = {};  // pressed since the last keysSeen
    bool musicOpen_ = false;
};

// The program's window (the last GLWindow made); null before the first.
GLWindow* currentWindow();

// Copies of what was drawn, for effects that read the frame back, as
// glCopyTexSubImage2D(target, 0, xOffset, yOffset, x, y, w, h) and
// glCopyTexImage2D(target, 0, GL_DEPTH_COMPONENT, x, y, w, h, 0) would from
// the framebuffer being read: through the current window's show frame,
// which resolves a multisampled frame first (see platform::ShowFrame), or
// straight from GL without a window.
void copyFrameInto(GLenum target, int xOffset, int yOffset, int x, int y, int w, int h);
void copyFrameDepthInto(GLenum target, int x, int y, int w, int h);
