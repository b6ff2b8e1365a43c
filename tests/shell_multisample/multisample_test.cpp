// Windows with and without multisampling, each made and released in turn;
// this binary holds no shared window so that each test owns the context.
#include <gtest/gtest.h>

#include "platform/native_window.h"
#include "shell/extensions.h"
#include "shell/glwindow.h"

#include <GL/gl.h>

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

}  // namespace
