#include <gtest/gtest.h>

#include "shell/error_report.h"
#include "shell/extensions.h"
#include "shell/timer.h"

#include <limits>

namespace {

TEST(TimerTest, OffsetIsReadRightAfterStart)
{
    platform::ManualClock clock;
    clock.set(123456);
    Timer timer(clock);
    timer.setOffset(5000);
    timer.start();
    EXPECT_EQ(timer.now(), 5000);
    clock.advance(1);
    EXPECT_EQ(timer.now(), 5001);
}

TEST(TimerTest, NegativeOffsetReadsNegativeUntilTimePasses)
{
    platform::ManualClock clock;
    Timer timer(clock);
    timer.setOffset(-2000);
    timer.start();
    EXPECT_EQ(timer.now(), -2000);
    clock.advance(1500);
    EXPECT_EQ(timer.now(), -500);
    clock.advance(600);
    EXPECT_EQ(timer.now(), 100);
}

// A counter of any frequency that moves only when told.
class TickClock final : public platform::Clock {
public:
    explicit TickClock(int64_t perSecond) : perSecond_(perSecond) {}
    int64_t frequency() const override { return perSecond_; }
    int64_t counter() const override { return ticks; }
    int64_t ticks = 0;

private:
    int64_t perSecond_;
};

// A counter of 3 ticks per second: readings truncate, never round.
TEST(TimerTest, ReadingsTruncate)
{
    TickClock clock(3);
    Timer timer(clock);
    timer.start();
    clock.ticks = 1;
    EXPECT_EQ(timer.now(), 333);
    clock.ticks = 2;
    EXPECT_EQ(timer.now(), 666);
    clock.ticks = 3;
    EXPECT_EQ(timer.now(), 1000);
}

TEST(TimerTest, HeldTimeStandsStillAndGoesOnFromWhereItStood)
{
    platform::ManualClock clock;
    Timer timer(clock);
    timer.setOffset(1000);
    timer.start();
    clock.advance(250);
    timer.hold();
    timer.hold();  // holding twice is holding
    EXPECT_TRUE(timer.held());
    clock.advance(5000);
    EXPECT_EQ(timer.now(), 1250);
    timer.resume();
    EXPECT_FALSE(timer.held());
    EXPECT_EQ(timer.now(), 1250);
    clock.advance(100);
    EXPECT_EQ(timer.now(), 1350);
    timer.resume();  // not held: nothing
    EXPECT_EQ(timer.now(), 1350);

    // A jump while held reads the new time at once and goes on from it.
    timer.hold();
    timer.setOffset(9000);
    timer.start();
    clock.advance(700);
    EXPECT_EQ(timer.now(), 9000);
    timer.resume();
    clock.advance(40);
    EXPECT_EQ(timer.now(), 9040);
}

TEST(TimerTest, SteadyClockDoesNotOverflowAfterLongRuns)
{
    constexpr int64_t top = std::numeric_limits<int64_t>::max();
    constexpr int64_t nsPerMinute = 60'000'000'000;
    constexpr int64_t nsPerDay = 24 * 60 * nsPerMinute;
    // The steady clock a minute below the top of its range: the counter
    // itself is far beyond what a product with 1000 can hold.
    platform::SteadyClock steady(top - nsPerMinute);
    EXPECT_GE(steady.counter(), top - nsPerMinute);
    Timer timer(steady);
    timer.start();
    EXPECT_GE(timer.now(), 0);
    EXPECT_LT(timer.now(), 10000);

    // A run of 200 days on a nanosecond counter that started high: the
    // elapsed count times 1000 would pass 2^63.
    TickClock clock(1000000000);
    clock.ticks = top - 250 * nsPerDay;
    Timer longRun(clock);
    longRun.setOffset(7);
    longRun.start();
    clock.ticks += 200 * nsPerDay + 123'999'999;
    EXPECT_EQ(longRun.now(), 200LL * 24 * 60 * 60 * 1000 + 123 + 7);
}

TEST(ErrorReportTest, NumberIsAppendedUnlessMinusOne)
{
    EXPECT_EQ(composeErrorText("script: event not recognized in timeline line #", 12),
              "script: event not recognized in timeline line # 12");
    EXPECT_EQ(composeErrorText("OpenGL init failed", -1), "OpenGL init failed");
    EXPECT_EQ(composeErrorText("x", 0), "x 0");
    const std::string longMessage(500, 'm');
    EXPECT_EQ(composeErrorText(longMessage.c_str(), 7), longMessage + " 7");
}

TEST(ErrorReportDeathTest, FatalReportExitsWithStatusOne)
{
    EXPECT_EXIT(reportError("Fatal error: could not init sound", -1, true), testing::ExitedWithCode(1),
                "Fatal error: could not init sound");
}

TEST(ErrorReportTest, WarningReturnsAndPrintsErrorLine)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    reportError("Warning: something", 3, false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error!\n");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Warning: something 3"), std::string::npos);
}

TEST(ExtensionListsTest, OnlyWholeNamesMatch)
{
    ExtensionLists lists;
    lists.setGL("GL_ARB_multitextureX GL_ARB_multi GL_EXT_foo");
    lists.setPlatform(nullptr);
    EXPECT_FALSE(lists.has("GL_ARB_multitexture"));
    EXPECT_FALSE(lists.has("GL_EXT_fo"));
    EXPECT_FALSE(lists.has("ARB_multi"));
    EXPECT_FALSE(lists.has(""));
    EXPECT_TRUE(lists.has("GL_ARB_multi"));
    EXPECT_TRUE(lists.has("GL_EXT_foo"));  // last name, no trailing blank
}

TEST(ExtensionListsTest, PlatformListIsSearchedAfterTheGLList)
{
    ExtensionLists lists;
    lists.setGL("GL_ARB_multitexture ");
    EXPECT_TRUE(lists.has("GL_ARB_multitexture"));
    EXPECT_FALSE(lists.has("WGL_ARB_pbuffer"));
    lists.setPlatform("WGL_ARB_pixel_format WGL_ARB_pbuffer");
    EXPECT_TRUE(lists.has("WGL_ARB_pbuffer"));
    EXPECT_FALSE(lists.has("WGL_ARB_pbuffe"));
    EXPECT_FALSE(lists.has("GL_ARB_multitexture WGL_ARB_pixel_format"));
}

}  // namespace
