#include <gtest/gtest.h>

#include "shell/error_report.h"
#include "shell/extensions.h"
#include "shell/show_clock.h"

#include <limits>

namespace {

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

// The steady clock high in its range and a run of 200 days: the demo time
// still moves by exactly what passed.
TEST(ShowClockCounterTest, LongRunsOnHighCountersStayExact)
{
    constexpr int64_t top = std::numeric_limits<int64_t>::max();
    constexpr int64_t nsPerMinute = 60'000'000'000;
    constexpr int64_t nsPerDay = 24 * 60 * nsPerMinute;
    platform::SteadyClock steady(top - nsPerMinute);
    EXPECT_GE(steady.counter(), top - nsPerMinute);
    ShowClock nearTheTop(steady);
    nearTheTop.moveTo(0.0, false);
    EXPECT_GE(nearTheTop.tick(std::nullopt, false), 0.0);
    EXPECT_LT(nearTheTop.now(), 10000.0);

    TickClock clock(1000000000);
    clock.ticks = top - 250 * nsPerDay;
    ShowClock longRun(clock);
    longRun.moveTo(7.0, false);
    clock.ticks += 200 * nsPerDay + 123'999'999;
    EXPECT_NEAR(longRun.tick(std::nullopt, false), 200.0 * 24 * 60 * 60 * 1000 + 123.999999 + 7, 0.01);

    // A counter of 3 ticks a second reads in thirds of a second.
    TickClock coarse(3);
    ShowClock thirds(coarse);
    thirds.moveTo(0.0, false);
    coarse.ticks = 1;
    EXPECT_NEAR(thirds.tick(std::nullopt, false), 1000.0 / 3.0, 1e-9);
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
