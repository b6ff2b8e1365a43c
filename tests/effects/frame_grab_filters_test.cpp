#include "tests/support/commands.h"
#include "tests/support/gl_test.h"
#include "tests/support/picture_source.h"

#include "effects/ansi_glow_filters.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <string>
#include <vector>

namespace {

constexpr int sourcePlace = 10;

class FrameGrabFiltersTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glViewport(0, 0, 640, 480);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 1);
    }
    void TearDown() override { EffectRegistry::instance().set(sourcePlace, nullptr); }


    // One frame as the registry draws it: background, pre-render, render.
    static std::vector<uint8_t> drawFrame(Effect& filter, int32_t time)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        filter.prerender(time);
        filter.render(time);
        return readFrameRgb();
    }
    static std::vector<uint8_t> drawSourceAlone(Effect& source, int32_t time)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        source.render(time);
        return readFrameRgb();
    }
    static void bindSource(Effect& filter, Effect& source)
    {
        EffectRegistry::instance().set(sourcePlace, &source);
        filter.command(numericCommand(70, {sourcePlace}));
    }
};

TEST_F(FrameGrabFiltersTest, WithoutASourceNothingIsDrawn)
{
    AnsiFilter ansi;
    GlowFilter glow;
    glow.start(0);
    for (Effect* filter : {static_cast<Effect*>(&ansi), static_cast<Effect*>(&glow)}) {
        filter->activate();
        glClearColor(0.5f, 0.5f, 0.5f, 1);
        const std::vector<uint8_t> result = drawFrame(*filter, 100);
        EXPECT_EQ(redAt(result, 10, 10), 128);
        EXPECT_EQ(redAt(result, 320, 240), 128);
    }
    // A place outside the registry or an empty one leaves no source either.
    ansi.command(numericCommand(70, {64}));
    EXPECT_EQ(ansi.source(), nullptr);
    ansi.command(numericCommand(70, {sourcePlace}));
    EXPECT_EQ(ansi.source(), nullptr);
}

TEST_F(FrameGrabFiltersTest, AnsiAtBrightnessZeroShowsTheSourceUnchanged)
{
    PictureSource source(PictureSource::Picture::ramp);
    AnsiFilter ansi;
    bindSource(ansi, source);
    ansi.command(numericCommand(90, {0}));
    EXPECT_EQ(drawFrame(ansi, 0), drawSourceAlone(source, 0));
}

TEST_F(FrameGrabFiltersTest, AnsiAtFullBrightnessAddsBlockyCopies)
{
    PictureSource source(PictureSource::Picture::ramp);
    AnsiFilter ansi;
    bindSource(ansi, source);
    ansi.command(numericCommand(90, {100}));
    EXPECT_FLOAT_EQ(ansi.brightness(), 1.0f);
    const std::vector<uint8_t> plain = drawSourceAlone(source, 0);
    const std::vector<uint8_t> filtered = drawFrame(ansi, 0);
    // What was added is constant over each fine cell (10 pixels wide) and
    // steps up from cell to cell along the ramp.
    const int y = 200;
    int previous = -1;
    for (int cell = 0; cell < 64; ++cell) {
        const int first = redAt(filtered, cell * 10, y) - redAt(plain, cell * 10, y);
        for (int x = cell * 10; x < cell * 10 + 10; ++x)
            ASSERT_EQ(redAt(filtered, x, y) - redAt(plain, x, y), first) << "x " << x;
        EXPECT_GE(first, previous);
        previous = first;
    }
    // Both copies at full strength: about twice the source at the right.
    EXPECT_NEAR(redAt(filtered, 635, y) - redAt(plain, 635, y), 2 * 0.3 * 255, 12);
}

TEST_F(FrameGrabFiltersTest, GrabLeavesViewportScissorAndClearColour)
{
    PictureSource source(PictureSource::Picture::square);
    AnsiFilter ansi;
    GlowFilter glow;
    glow.start(0);
    bindSource(ansi, source);
    bindSource(glow, source);
    for (Effect* filter : {static_cast<Effect*>(&ansi), static_cast<Effect*>(&glow)}) {
        glViewport(20, 30, 400, 300);
        glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
        filter->prerender(0);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 20);
        EXPECT_EQ(viewport[1], 30);
        EXPECT_EQ(viewport[2], 400);
        EXPECT_EQ(viewport[3], 300);
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_FLOAT_EQ(clear[0], 0.25f);
        EXPECT_FLOAT_EQ(clear[2], 0.75f);
    }
    glViewport(0, 0, 640, 480);
}

TEST_F(FrameGrabFiltersTest, GlowWithoutPassesAddsNothing)
{
    PictureSource source(PictureSource::Picture::square);
    GlowFilter glow;
    bindSource(glow, source);
    glow.start(0);
    glow.command(numericCommand(91, {0, -10, 0}));
    EXPECT_EQ(drawFrame(glow, 0), drawSourceAlone(source, 0));
}

TEST_F(FrameGrabFiltersTest, GlowBrightensAroundTheSource)
{
    PictureSource source(PictureSource::Picture::square);
    GlowFilter glow;
    bindSource(glow, source);
    glow.start(0);
    const std::vector<uint8_t> plain = drawSourceAlone(source, 0);
    const std::vector<uint8_t> glowing = drawFrame(glow, 0);
    // Just outside the square (which spans x 256..384) the plain picture is
    // black; the glow spreads light there, most near the edge.
    EXPECT_EQ(redAt(plain, 250, 240), 0);
    EXPECT_GT(redAt(glowing, 250, 240), 20);
    EXPECT_GT(redAt(glowing, 250, 240), redAt(glowing, 200, 240));
    EXPECT_EQ(redAt(glowing, 20, 20), 0);  // far away: nothing
    EXPECT_EQ(redAt(glowing, 320, 240), 255);
}

TEST_F(FrameGrabFiltersTest, GlowNotifiesTheSourceInOrder)
{
    PictureSource source(PictureSource::Picture::square);
    GlowFilter glow;
    bindSource(glow, source);
    glow.start(0);
    glow.command(numericCommand(92, {1}));
    source.commands.clear();
    glow.prerender(0);
    EXPECT_EQ(source.commands, (std::vector<std::string>{"90:0", "302:0", "301:0", "90:1", "301:1"}));
    glow.command(numericCommand(92, {0}));
    source.commands.clear();
    glow.prerender(0);
    EXPECT_TRUE(source.commands.empty());
}

TEST_F(FrameGrabFiltersTest, StartOverwritesGlowTuningAndSourceStarts)
{
    GlowFilter glow;
    glow.command(numericCommand(90, {255}));
    glow.command(numericCommand(91, {9, 0, 0}));
    glow.start(0);
    EXPECT_FLOAT_EQ(glow.startIntensity(), 0.5f);
    EXPECT_EQ(glow.passCount(), 5);

    // Neither filter restarts its source with itself.
    PictureSource source(PictureSource::Picture::square);
    AnsiFilter ansi;
    bindSource(ansi, source);
    ansi.start(700);
    bindSource(glow, source);
    glow.start(800);
    EXPECT_TRUE(source.starts.empty());
}

}  // namespace
