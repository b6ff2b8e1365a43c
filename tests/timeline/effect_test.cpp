#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "timeline/blend_effect.h"
#include "timeline/effect.h"

#include <GL/gl.h>

#include <cmath>

namespace {

class PlainEffect : public Effect {
public:
    void start(int32_t time) override { reset(time); }
};

float value(const Effect& e, Effect::Parameter p) { return e.parameter(p).get(); }

using P = Effect::Parameter;
using EffectTest = GLTest;

TEST_F(EffectTest, ConstructionAndReset)
{
    glViewport(0, 0, 640, 480);
    PlainEffect e;
    EXPECT_FALSE(e.isActive());
    EXPECT_EQ(e.duration(), 100);
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(screenHeight, 480);
    EXPECT_FLOAT_EQ(value(e, P::viewW), 1.0f);
    EXPECT_FLOAT_EQ(value(e, P::colorA), 1.0f);
    e.command(numericCommand(201, {10, 20, 30, 40}));
    e.start(500);
    EXPECT_FLOAT_EQ(value(e, P::colorR), 1.0f);
    EXPECT_FLOAT_EQ(value(e, P::colorA), 1.0f);
    EXPECT_EQ(e.startTime(), 500);
}

TEST_F(EffectTest, ClockUpdatePauseAndResume)
{
    PlainEffect e;
    e.start(1000);
    e.update(1250, false);
    EXPECT_EQ(e.localTime(), 250);
    EXPECT_EQ(e.frameDelta(), 250);
    EXPECT_FLOAT_EQ(e.progress(), 2.5f);

    e.command(numericCommand(12, {1, 1300}));
    e.command(numericCommand(12, {1, 1400}));  // the first pause time stays
    e.update(1500, false);
    EXPECT_EQ(e.frameDelta(), 0);
    EXPECT_EQ(e.localTime(), 250);
    e.command(numericCommand(12, {0, 1600}));
    EXPECT_EQ(e.startTime(), 1300);
    e.update(1700, false);
    // lastTime did not move while paused, so the delta spans the pause.
    EXPECT_EQ(e.frameDelta(), 450);
    EXPECT_EQ(e.localTime(), 400);
    e.command(numericCommand(12, {0, 5000}));  // resume without pause: nothing
    EXPECT_EQ(e.startTime(), 1300);

    e.command(numericCommand(13, {100}));
    EXPECT_EQ(e.startTime(), 1400);
    e.command(numericCommand(10, {0}));
    e.update(1800, false);
    EXPECT_FLOAT_EQ(e.progress(), 0.0f);
}

TEST_F(EffectTest, TimeArgumentsGetTheCommandsOffset)
{
    PlainEffect e;
    e.start(0);
    e.command(numericCommand(124, {0, 100, 1000}, 5000));
    e.update(5099, false);
    EXPECT_FLOAT_EQ(value(e, P::colorA), 1.0f);
    e.update(5100, false);
    EXPECT_FLOAT_EQ(value(e, P::colorA), 1.0f);
    e.update(5600, false);
    EXPECT_FLOAT_EQ(value(e, P::colorA), 0.5f);
}

TEST_F(EffectTest, ViewportCommandsSetTheGLViewport)
{
    PlainEffect e;
    e.start(0);
    e.command(numericCommand(202, {10, 20, 50, 25}));
    e.update(0, true);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 64);
    EXPECT_EQ(viewport[1], 96);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 120);

    e.command(numericCommand(203, {0, 0, 100, 100, 1000, 1000, 2, 0, 100}));
    e.update(1500, true);
    EXPECT_FLOAT_EQ(value(e, P::viewW), 0.5f + 0.5f * 0.25f);
    EXPECT_EQ(e.parameter(P::viewX).curve(), 2);
    glViewport(0, 0, 640, 480);
}

TEST_F(EffectTest, ColourTransitionsAndTheirCurves)
{
    PlainEffect e;
    e.start(0);
    e.command(numericCommand(205, {0, 0, 0, 100, 100, 3}));
    EXPECT_EQ(e.parameter(P::colorA).curve(), 3);  // 205 sets the curve of alpha too
    EXPECT_FALSE(e.parameter(P::colorA).moving());  // but does not move it
    e.update(200, false);
    EXPECT_FLOAT_EQ(value(e, P::colorR), 0.0f);

    e.command(numericCommand(206, {255, 255, 255, 0, 300, 100}));
    EXPECT_EQ(e.parameter(P::colorG).curve(), 3);  // fewer than 7 arguments: curve kept
    e.update(350, false);
    EXPECT_NEAR(value(e, P::colorA), 1.0f - std::sin(M_PI / 4), 1e-5);
    e.command(numericCommand(118, {51}));
    EXPECT_FLOAT_EQ(value(e, P::colorA), 0.2f);
    e.command(numericCommand(999, {1, 2, 3}));  // unknown: ignored
    EXPECT_FLOAT_EQ(value(e, P::colorA), 0.2f);
}

class PlainBlend : public BlendEffect {};

TEST_F(EffectTest, BlendEffectCodesAndBlendState)
{
    PlainBlend e;
    e.start(0);
    e.command(numericCommand(204, {10, 17}));
    e.command(numericCommand(100, {255}));
    e.beginBlend();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_DST_COLOR);
    e.endBlend();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    e.command(numericCommand(101, {}));
    e.beginBlend();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    e.command(numericCommand(118, {128}));  // passed on to the base table
    e.beginBlend();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_NEAR(colour[3], 128.0f / 255.0f, 1e-6);
    e.endBlend();
    EXPECT_EQ(blendFactor(42), static_cast<GLenum>(GL_ZERO));
    EXPECT_EQ(blendFactor(19), static_cast<GLenum>(GL_ONE_MINUS_DST_COLOR));
}

TEST(CommandTest, FirstArgFollowsEveryCopy)
{
    Command a;
    a.args[0] = 42;
    Command b = a;
    a.args[0] = 7;
    EXPECT_EQ(b.first(), 42);
    EXPECT_EQ(b.firstArg, b.args);
    Command c;
    c = a;
    EXPECT_EQ(c.first(), 7);
}

}  // namespace
