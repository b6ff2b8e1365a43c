#include "tests/support/gl_test.h"

#include "platform/native_window.h"
#include "shell/extensions.h"

#include <GL/gl.h>

#include <cmath>

namespace {

class WindowTest : public GLTest {
protected:
    // Feeds every pending event to the window, as the frame loop does.
    static int drainEvents(bool* sawQuit = nullptr)
    {
        int count = 0;
        platform::Event event;
        while (platform::pollEvent(event)) {
            if (event.kind == platform::EventKind::quit && sawQuit != nullptr)
                *sawQuit = true;
            window().handleEvent(event);
            ++count;
        }
        return count;
    }
};

TEST_F(WindowTest, SetupLeavesDepthTestAndPerspective)
{
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    EXPECT_EQ(func, GL_LEQUAL);
    GLfloat clearDepth = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    EXPECT_FLOAT_EQ(clearDepth, 1.0f);
    GLint hint = 0;
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
    EXPECT_EQ(hint, GL_NICEST);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

TEST_F(WindowTest, ResizeToHeightZeroUsesHeightOne)
{
    window().resize(320, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(projection[0], f / 320.0, 1e-6);
    EXPECT_NEAR(projection[5], f, 1e-5);
    // Near 1 and far 2000.
    EXPECT_NEAR(projection[10], -(2000.0 + 1.0) / (2000.0 - 1.0), 1e-5);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    window().resize(640, 480);
}

TEST_F(WindowTest, KeyEventsFillTheVirtualKeyTable)
{
    drainEvents();
    window().clearKeys();
    ASSERT_TRUE(platform::pushKeyEvent("Left Ctrl", true));
    ASSERT_TRUE(platform::pushKeyEvent("Right Shift", true));
    ASSERT_TRUE(platform::pushKeyEvent("Escape", true));
    ASSERT_TRUE(platform::pushKeyEvent("Q", true));
    drainEvents();
    EXPECT_EQ(window().keyDown(17), 1);
    EXPECT_EQ(window().keyDown(16), 1);
    EXPECT_EQ(window().keyDown(27), 1);
    EXPECT_EQ(window().keyDown('Q'), 1);
    EXPECT_EQ(window().keyDown('W'), 0);

    // A key that is up again still counts until a frame has seen the keys;
    // keys held down count on.
    ASSERT_TRUE(platform::pushKeyEvent("Escape", false));
    drainEvents();
    EXPECT_EQ(window().keyDown(27), 1);
    window().keysSeen();
    EXPECT_EQ(window().keyDown(27), 0);
    EXPECT_EQ(window().keyDown(17), 1);

    window().clearKeys();
    for (int vk = 0; vk < 256; ++vk)
        ASSERT_EQ(window().keyDown(vk), 0) << vk;
    EXPECT_EQ(window().keyDown(-1), 0);
    EXPECT_EQ(window().keyDown(256), 0);
}

TEST_F(WindowTest, KeysWithAltNeverReachTheTable)
{
    drainEvents();
    window().clearKeys();
    ASSERT_TRUE(platform::pushKeyEvent("Left Alt", true));
    ASSERT_TRUE(platform::pushKeyEvent("X", true, true));
    drainEvents();
    EXPECT_EQ(window().keyDown(18), 0);
    EXPECT_EQ(window().keyDown('X'), 0);
}

TEST_F(WindowTest, MinimiseClearsTheActiveFlagAndCloseQuits)
{
    drainEvents();
    platform::pushWindowEvent(platform::EventKind::minimised);
    drainEvents();
    EXPECT_FALSE(window().active());
    platform::pushWindowEvent(platform::EventKind::restored);
    drainEvents();
    EXPECT_TRUE(window().active());

    bool sawQuit = false;
    platform::pushWindowEvent(platform::EventKind::close);
    // SDL hands out a quit posted during a poll on a later pass.
    for (int pass = 0; pass < 3 && !sawQuit; ++pass)
        drainEvents(&sawQuit);
    EXPECT_TRUE(sawQuit);
}

TEST_F(WindowTest, AResizedWindowLeavesTheShowItsOwnFrame)
{
    drainEvents();
    GLfloat before[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, before);
    platform::pushWindowEvent(platform::EventKind::resized, 200, 100);
    drainEvents();
    // The show draws at 640 x 480 whatever the window's size; only the
    // presentation follows the window.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    GLfloat after[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(after[i], before[i]) << i;
    EXPECT_EQ(window().width(), 640);
    EXPECT_EQ(window().height(), 480);
}

TEST_F(WindowTest, TheShowIsDrawnIntoItsFrameAndShownInTheWindow)
{
    ASSERT_TRUE(window().showFrame().created());
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    EXPECT_NE(drawn, 0);
    int width = 0;
    int height = 0;
    window().windowSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    window().swapBuffers();
    // The frame is still bound and keeps its picture after the swap.
    GLint after = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &after);
    EXPECT_EQ(after, drawn);
    const Rgba kept = readPixel(320, 240);
    EXPECT_EQ(kept.r, 51);
    EXPECT_EQ(kept.g, 102);
    EXPECT_EQ(kept.b, 153);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WindowTest, ExtensionsAreLoadedWithThePlatformList)
{
    EXPECT_TRUE(Extensions::loaded());
    EXPECT_TRUE(Extensions::has("GL_ARB_multitexture"));
    EXPECT_TRUE(Extensions::has("WGL_ARB_pixel_format"));
    EXPECT_FALSE(Extensions::has("GL_ARB_multitextur"));
    EXPECT_GE(Extensions::textureUnits(), 4);
    EXPECT_NE(ext::glActiveTextureARB, nullptr);
    EXPECT_NE(ext::glGenBuffersARB, nullptr);
    EXPECT_NE(ext::glGenQueriesARB, nullptr);
}

TEST_F(WindowTest, TimeRunsOnTheWindowClockOneReadingAFrame)
{
    clock().set(1000);
    window().transport(5000, false);
    EXPECT_EQ(window().timerNow(), 5000);
    clock().advance(250);
    EXPECT_EQ(window().timerNow(), 5000) << "the time moves only when a frame reads it";
    EXPECT_EQ(window().advanceTime(), 5250);
    window().pause(true);
    clock().advance(250);
    EXPECT_EQ(window().advanceTime(), 5250);
    window().pause(false);
    clock().advance(10);
    EXPECT_EQ(window().advanceTime(), 5260);
}

TEST_F(WindowTest, SwapWaitIsSetAndTakenBack)
{
    // Offscreen nothing paces the swaps, but Mesa's EGL takes the interval
    // and reads it back: adaptive (-1) or one blank when waiting, 0 not.
    EXPECT_EQ(window().setSwapWait(false), 0);
    const int waiting = window().setSwapWait(true);
    EXPECT_TRUE(waiting == -1 || waiting == 1) << waiting;
    EXPECT_EQ(window().setSwapWait(false), 0);
}

}  // namespace
