// Windows whose show frames have and have not samples, and fullscreen
// windows, each made and released in turn; this binary holds no shared
// window so that each test owns the context.
#include <gtest/gtest.h>

#include "platform/native_window.h"
#include "platform/process.h"
#include "shell/error_report.h"
#include "shell/extensions.h"
#include "shell/glwindow.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

namespace {

GLint currentSamples()
{
    GLint samples = -1;
    glGetIntegerv(GL_SAMPLES, &samples);
    return samples;
}

TEST(MultisampleTest, ZeroSamplesMakesOneOrdinaryWindow)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    GLWindow window(false, "stillwater", 640, 480, 0, 0.0f);
    EXPECT_EQ(currentSamples(), 0);
    EXPECT_EQ(window.samples(), 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST(MultisampleTest, FourSamplesGoToTheShowFrameWhenOffered)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    GLWindow window(false, "stillwater", 640, 480, 4, 0.0f);
    ASSERT_TRUE(window.showFrame().created());
    if (Extensions::has("WGL_ARB_multisample")) {
        EXPECT_EQ(currentSamples(), 4);
        EXPECT_EQ(window.samples(), 4);
    } else {
        EXPECT_EQ(currentSamples(), 0);
    }
    // The show is set up as without samples.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

TEST(MultisampleTest, TheCursorStaysHiddenOverTheFullscreenShowWithEitherCount)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    for (int samples : {0, 4}) {
        SCOPED_TRACE(samples);
        {
            GLWindow window(true, "stillwater", 640, 480, samples, 0.0f);
            ASSERT_TRUE(window.fullscreen()) << "the offscreen display offers no 640 x 480 mode";
            EXPECT_FALSE(platform::cursorShown());
        }
        // Shown again once the show's window is gone.
        ASSERT_TRUE(platform::registerWindowClass());
        EXPECT_TRUE(platform::cursorShown());
        platform::unregisterWindowClass();
    }
}

TEST(MultisampleTest, ARefusedSampleCountQuietlyGivesAFrameWithout)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // No driver offers 64 samples: the show frame is made without.
    testing::internal::CaptureStderr();
    GLWindow window(false, "stillwater", 640, 480, 64, 0.0f);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "");
    EXPECT_EQ(window.samples(), 0);
    EXPECT_EQ(currentSamples(), 0);
    EXPECT_TRUE(window.showFrame().created());
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

// The desktop's mode before any window, with the video subsystem held only
// for the reading.
bool readDesktopMode(int& width, int& height)
{
    if (!platform::registerWindowClass())
        return false;
    const bool read = platform::currentDisplayMode(width, height);
    platform::unregisterWindowClass();
    return read;
}

TEST(MultisampleTest, AFullscreenShowCoversTheDesktopWithoutChangingItsMode)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    int desktopWidth = 0;
    int desktopHeight = 0;
    ASSERT_TRUE(readDesktopMode(desktopWidth, desktopHeight));
    ASSERT_NE(desktopWidth, 640) << "the test needs a desktop of another size than the show's";
    for (int samples : {0, 4}) {
        SCOPED_TRACE(samples);
        GLWindow window(true, "stillwater", 640, 480, samples, 0.0f);
        ASSERT_TRUE(window.fullscreen());
        int width = 0;
        int height = 0;
        ASSERT_TRUE(platform::currentDisplayMode(width, height));
        EXPECT_EQ(width, desktopWidth);
        EXPECT_EQ(height, desktopHeight);
        window.windowSize(width, height);
        EXPECT_EQ(width, desktopWidth);
        EXPECT_EQ(height, desktopHeight);
        // The show itself is drawn at its own size.
        EXPECT_EQ(window.showFrame().width(), 640);
        EXPECT_EQ(window.showFrame().height(), 480);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 640);
        EXPECT_EQ(viewport[3], 480);
        window.swapBuffers();
        ASSERT_TRUE(platform::currentDisplayMode(width, height));
        EXPECT_EQ(width, desktopWidth);
        EXPECT_EQ(height, desktopHeight);
    }
}

// Registered before the window exists, so it runs after the window's own
// exit handlers: what the desktop is left with.
void reportDisplayAtExit()
{
    int width = 0;
    int height = 0;
    platform::currentDisplayMode(width, height);
    std::fprintf(stderr, "display at exit: %dx%d\n", width, height);
}

TEST(MultisampleDeathTest, AFatalErrorInTheFullscreenShowLeavesTheDisplayModeAsItWas)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    int desktopWidth = 0;
    int desktopHeight = 0;
    ASSERT_TRUE(readDesktopMode(desktopWidth, desktopHeight));
    ASSERT_NE(desktopWidth, 640) << "the test needs a desktop of another size than the show's";
    const std::string desktop = std::to_string(desktopWidth) + "x" + std::to_string(desktopHeight);
    for (int samples : {0, 4}) {
        EXPECT_EXIT(
            {
                platform::registerExitHandler(reportDisplayAtExit);
                GLWindow window(true, "stillwater", 640, 480, samples, 0.0f);
                int width = 0;
                int height = 0;
                platform::currentDisplayMode(width, height);
                std::fprintf(stderr, "display in the show: %dx%d\n", width, height);
                reportError("Fatal error: could not load music", -1, true);
            },
            testing::ExitedWithCode(1), "display in the show: " + desktop + "\n(.|\n)*display at exit: " + desktop)
            << samples << " samples";
    }
}

}  // namespace
