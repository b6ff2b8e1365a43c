#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "effects/screen_basics.h"

#include <GL/gl.h>

#include <set>

namespace {

class ScreenBasicsTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearTo(1.0f);
    }
    static void clearTo(float grey)
    {
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    static Rgba centre() { return readPixelFromTop(320, 240); }
    // Effects leave depth test on, blending off and the colour white.
    static void expectCleanState()
    {
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    }
};

TEST_F(ScreenBasicsTest, ClearEffectClearsWithItsCommandedColour)
{
    ClearEffect clear;
    clear.start(0);
    clear.activate();
    clear.render(0);
    Rgba pixel = centre();
    EXPECT_EQ(pixel.r + pixel.g + pixel.b, 0);
    clear.command(numericCommand(200, {255, 0, 0}));
    clear.render(10);
    pixel = centre();
    EXPECT_EQ(pixel.r, 255);
    EXPECT_EQ(pixel.g, 0);
    clear.command(numericCommand(201, {0, 128, 0, 255}));
    clear.render(20);
    EXPECT_EQ(centre().g, 128);
    EXPECT_EQ(centre().r, 0);
    // start puts the background back to black.
    clear.start(0);
    clear.render(30);
    EXPECT_EQ(centre().g, 0);
}

TEST_F(ScreenBasicsTest, FadeInOverOneSecond)
{
    FadeEffect fade;
    fade.command(numericCommand(6, {1000}));
    fade.start(1000);
    fade.activate();
    const struct {
        int time;
        int expected;
    } steps[] = {{1000, 255}, {1500, 128}, {2000, 0}, {3000, 0}};
    for (const auto& step : steps) {
        clearTo(1.0f);
        fade.render(step.time);
        EXPECT_NEAR(centre().r, step.expected, 1) << step.time;
        expectCleanState();
    }
    EXPECT_FLOAT_EQ(fade.alpha(), 2.0f);  // not clamped; GL clamps the colour
}

TEST_F(ScreenBasicsTest, FadeOutTowardsAnEndTime)
{
    FadeEffect fade;
    fade.start(0);
    fade.command(numericCommand(3, {400}));
    fade.activate();
    clearTo(1.0f);
    fade.render(100);
    EXPECT_NEAR(centre().r, 64, 1);  // 1 - 0.75 covered
    fade.deactivate();
    clearTo(1.0f);
    fade.render(200);
    EXPECT_EQ(centre().r, 255);  // inactive: nothing drawn
}

TEST_F(ScreenBasicsTest, SingleFlashDeactivatesItself)
{
    FlashEffect flash;
    EXPECT_FALSE(flash.isActive());
    flash.start(0);
    flash.command(numericCommand(1, {}));
    EXPECT_TRUE(flash.isActive());
    clearTo(0.0f);
    flash.render(0);
    EXPECT_EQ(centre().r, 255);
    clearTo(0.0f);
    flash.render(250);
    EXPECT_NEAR(centre().r, 128, 1);
    expectCleanState();
    clearTo(0.0f);
    flash.render(600);
    EXPECT_EQ(centre().r, 0);
    EXPECT_FALSE(flash.isActive());
}

TEST_F(ScreenBasicsTest, PeriodicFlashRepeatsInWholePeriodsFromItsDueTime)
{
    FlashEffect flash;
    flash.start(5000);
    Command every = numericCommand(2, {1000});
    every.dueTime = 5000;
    flash.command(every);
    clearTo(0.0f);
    flash.render(5000);
    EXPECT_EQ(centre().r, 255);
    EXPECT_FLOAT_EQ(flash.level(), 1.0f);
    clearTo(0.0f);
    flash.render(5250);
    EXPECT_NEAR(centre().r, 128, 1);
    clearTo(0.0f);
    flash.render(5900);
    EXPECT_EQ(centre().r, 0);
    EXPECT_TRUE(flash.isActive());
    clearTo(0.0f);
    flash.render(6000);
    EXPECT_EQ(centre().r, 255);
    clearTo(0.0f);
    flash.render(6300);
    EXPECT_NEAR(centre().r, 102, 1) << "0.4 of the way: the repeat was at 6000, not at the frame after 5900";
}

// The flash every 937 ms is at full level within one frame after each
// repeat at 30, 60 and 144 frames a second, and after a jump, for 40 s.
TEST_F(ScreenBasicsTest, FlashRepeatsStayOnTheirBeatAtAnyFrameRate)
{
    for (const double fps : {30.0, 60.0, 144.0}) {
        FlashEffect flash;
        Command every = numericCommand(2, {937});
        every.dueTime = 2000;
        flash.command(every);
        const double frameMs = 1000.0 / fps;
        std::set<int32_t> flashes;
        for (double t = 2000.0; t < 42000.0; t += frameMs) {
            const auto time = static_cast<int32_t>(t);
            flash.update(time, false);
            flash.render(time);
            const int32_t sinceRepeat = (time - 2000) % 937;
            if (sinceRepeat < frameMs) {
                flashes.insert((time - 2000) / 937);
                ASSERT_GE(flash.level(), 1.0f - static_cast<float>(frameMs) / 500.0f) << fps << " fps at " << time;
            }
        }
        EXPECT_EQ(flashes.size(), 43u) << fps << " fps: one full flash per repeat";
        // A jump far ahead: the next repeat is where straight play has it.
        flash.render(170000);
        const float jumped = flash.level();
        FlashEffect straight;
        straight.command(every);
        straight.render(169990);
        straight.render(170000);
        EXPECT_FLOAT_EQ(jumped, straight.level());
        EXPECT_NEAR(jumped, 1.0f - static_cast<float>((170000 - 2000) % 937) / 500.0f, 1e-5);
    }
}

TEST_F(ScreenBasicsTest, NoFlashUntilTheNextStart)
{
    FlashEffect flash;
    flash.command(numericCommand(8, {}));
    clearTo(0.0f);
    flash.render(3000);
    EXPECT_EQ(centre().r, 0);
    EXPECT_TRUE(flash.isActive());
    flash.command(numericCommand(10, {1000}));
    flash.start(4000);
    clearTo(0.0f);
    flash.render(4500);
    EXPECT_NEAR(centre().r, 128, 1);
}

TEST_F(ScreenBasicsTest, LoadingBarFrameAndFill)
{
    LoadingBar bar;
    bar.start(0);
    clearTo(0.0f);  // the bar clears with the clear colour, black at start-up
    bar.render(0);
    EXPECT_EQ(readPixelFromTop(320, 100).r, 0);   // cleared
    EXPECT_EQ(readPixelFromTop(320, 385).r, 255);  // the white frame at y 0.802
    EXPECT_EQ(readPixelFromTop(192, 398).r, 0);    // inside: black, no bar at 0 %
    EXPECT_EQ(readPixelFromTop(450, 398).r, 0);

    bar.render(80);
    EXPECT_EQ(readPixelFromTop(192, 398).r, 255);  // x 0.3: filled
    EXPECT_EQ(readPixelFromTop(420, 398).r, 255);  // x 0.656: filled (ends at 0.67)
    EXPECT_EQ(readPixelFromTop(440, 398).r, 0);    // x 0.6875: not yet
    EXPECT_EQ(readPixelFromTop(320, 100).r, 0);
}

}  // namespace
