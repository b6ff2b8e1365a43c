#include <gtest/gtest.h>

#include "timeline/anim_param.h"

#include <cmath>

namespace {

AnimParam transition(int curve, float from, float to, int start, float duration)
{
    AnimParam p;
    p.set(from);
    p.moveTo(to);
    p.setStartTime(start);
    p.setDuration(duration);
    p.setCurve(curve);
    return p;
}

TEST(AnimParamTest, ValueWaitsForTheStartTime)
{
    AnimParam p = transition(AnimParam::linear, 2.0f, 4.0f, 1000, 100);
    EXPECT_FLOAT_EQ(p.get(), 2.0f);
    EXPECT_FLOAT_EQ(p.evaluate(999), 2.0f);
    EXPECT_FLOAT_EQ(p.evaluate(1050), 3.0f);
    EXPECT_FLOAT_EQ(p.getTarget(), 4.0f);
}

TEST(AnimParamTest, LinearAndQuadraticEndExactlyOnTarget)
{
    AnimParam linear = transition(AnimParam::linear, 0.0f, 1.0f, 0, 1000);
    EXPECT_FLOAT_EQ(linear.evaluate(250), 0.25f);
    EXPECT_FLOAT_EQ(linear.evaluate(5000), 1.0f);
    EXPECT_FALSE(linear.moving());
    EXPECT_FLOAT_EQ(linear.evaluate(10), 1.0f);  // over: later times change nothing

    AnimParam quadratic = transition(AnimParam::quadratic, 1.0f, 0.0f, 0, 100);
    EXPECT_FLOAT_EQ(quadratic.evaluate(50), 0.75f);
    EXPECT_FLOAT_EQ(quadratic.evaluate(150), 0.0f);
    EXPECT_FALSE(quadratic.moving());
}

// Whatever the frames, a transition is at its target once its time is past:
// a sine or a Catmull-Rom curve that would turn back past its end settles
// even when no frame falls on the end itself.
TEST(AnimParamTest, EveryCurveSettlesOnceItsTimeHasPassed)
{
    AnimParam p = transition(AnimParam::sine, 0.0f, 1.0f, 0, 1000);
    EXPECT_NEAR(p.evaluate(500), std::sin(M_PI / 4), 1e-6);
    EXPECT_FLOAT_EQ(p.evaluate(1500), 1.0f);
    EXPECT_FALSE(p.moving());
    for (const double fps : {30.0, 50.0, 60.0, 144.0}) {
        for (const int curve : {AnimParam::sine, AnimParam::catmullRom}) {
            AnimParam fade = transition(curve, 1.0f, 0.0f, 0, 1010);
            fade.setTangents(0.0f, -1.0f);
            float last = 1.0f;
            for (double t = 0.0; t < 1200.0; t += 1000.0 / fps)
                last = fade.evaluate(static_cast<int32_t>(t));
            EXPECT_EQ(last, 0.0f) << "curve " << curve << " at " << fps << " fps";
            EXPECT_FALSE(fade.moving());
        }
    }
}

TEST(AnimParamTest, CatmullRomWithDefaultTangentsHasHalfSlopeAtBothEnds)
{
    AnimParam p = transition(AnimParam::catmullRom, 0.0f, 10.0f, 0, 1000);
    EXPECT_NEAR(p.evaluate(0), 0.0f, 1e-6);
    EXPECT_NEAR(p.evaluate(10), 10.0f * 0.5f * 0.01f, 3e-3);
    EXPECT_NEAR(p.evaluate(500), 5.0f, 1e-5);
    AnimParam q = transition(AnimParam::catmullRom, 0.0f, 10.0f, 0, 1000);
    const float nearEnd = q.evaluate(990);
    EXPECT_NEAR(10.0f - nearEnd, 10.0f * 0.5f * 0.01f, 3e-3);
    EXPECT_FLOAT_EQ(q.evaluate(1000), 10.0f);
}

TEST(AnimParamTest, CatmullRomTangentsShapeTheCurve)
{
    AnimParam p = transition(AnimParam::catmullRom, 0.0f, 1.0f, 0, 100);
    p.setTangents(-1.0f, 2.0f);
    // s(0.5) = (-0.125 * t0 + 1.125 - 0.125 * t1) / 2 with t0 = -1, t1 = 2.
    EXPECT_NEAR(p.evaluate(50), (0.125f + 1.125f - 0.25f) / 2.0f, 1e-6);
    AnimParam q = transition(AnimParam::catmullRom, 0.0f, 1.0f, 0, 100);
    q.setTangents(0.0f, 0.0f);
    EXPECT_NEAR(q.evaluate(50), (1.125f) / 2.0f, 1e-6);
}

TEST(AnimParamTest, UnknownCurveLeavesTheValue)
{
    AnimParam p = transition(7, 3.0f, 5.0f, 0, 100);
    EXPECT_FLOAT_EQ(p.evaluate(50), 3.0f);
    EXPECT_TRUE(p.moving());
}

TEST(AnimParamTest, DownwardTransitionEndsWhenItReachesTheTarget)
{
    AnimParam p = transition(AnimParam::linear, 1.0f, 0.5f, 100, 100);
    EXPECT_FLOAT_EQ(p.evaluate(150), 0.75f);
    EXPECT_FLOAT_EQ(p.evaluate(200), 0.5f);
    EXPECT_FALSE(p.moving());
}

TEST(AnimParamTest, ZeroDurationReachesTheTargetAtOnceOnEveryCurve)
{
    for (int curve : {AnimParam::linear, AnimParam::quadratic, AnimParam::sine, AnimParam::catmullRom}) {
        SCOPED_TRACE(curve);
        AnimParam p = transition(curve, 0.2f, 0.8f, 1000, 0.0f);
        EXPECT_FLOAT_EQ(p.evaluate(999), 0.2f);
        // At the start time itself (0 / 0) and after it (x / 0).
        EXPECT_FLOAT_EQ(p.evaluate(1000), 0.8f);
        EXPECT_FALSE(p.moving());
        EXPECT_FLOAT_EQ(p.evaluate(1500), 0.8f);

        AnimParam later = transition(curve, 1.0f, 0.0f, 1000, 0.0f);
        EXPECT_FLOAT_EQ(later.evaluate(1200), 0.0f);
        EXPECT_FALSE(later.moving());
    }
}

}  // namespace
