// Windows with and without multisampling, each made and released in turn;
// this binary holds no shared window so that each test owns the context.
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

TEST(MultisampleTest, FourSamplesReplaceTheFirstWindowWhenOffered)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    GLWindow window(false, "stillwater", 640, 480, 4, 0.0f);
    if (Extensions::has("WGL_ARB_multisample")) {
        EXPECT_EQ(currentSamples(), 4);
        EXPECT_EQ(window.samples(), 4);
    } else {
        EXPECT_EQ(currentSamples(), 0);
    }
    // The successor window is set up like the first.
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

TEST(MultisampleTest, ARefusedMultisampledWindowQuietlyKeepsTheFirst)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // No driver offers 64 samples: the successor window is refused.
    testing::internal::CaptureStderr();
    GLWindow window(false, "stillwater", 640, 480, 64, 0.0f);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "");
    EXPECT_EQ(window.samples(), 0);
    EXPECT_EQ(currentSamples(), 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
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

TEST(MultisampleDeathTest, AFatalErrorAfterFullscreenLeavesTheDisplayModeAsItWas)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    int desktopWidth = 0;
    int desktopHeight = 0;
    ASSERT_TRUE(platform::registerWindowClass());
    ASSERT_TRUE(platform::currentDisplayMode(desktopWidth, desktopHeight));
    platform::unregisterWindowClass();
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
            testing::ExitedWithCode(1), "display in the show: 640x480\n(.|\n)*display at exit: " + desktop)
            << samples << " samples";
    }
}

}  // namespace
