// The figures the profiler and the frame-time benchmark print.
#include "tools/common/frame_stats.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FrameStatsTest, NearestRankPercentilesAndLateShare)
{
    // 1 to 100 ms in shuffled order: the median is the 50th value, the
    // 99th percentile the 99th; 84 values lie above 16.67 ms.
    std::vector<double> frames;
    for (int i = 0; i < 100; ++i)
        frames.push_back(static_cast<double>((i * 37) % 100 + 1));
    const FrameSummary s = summariseFrames(frames);
    EXPECT_EQ(s.frames, 100u);
    EXPECT_DOUBLE_EQ(s.medianMs, 50.0);
    EXPECT_DOUBLE_EQ(s.p99Ms, 99.0);
    EXPECT_DOUBLE_EQ(s.maxMs, 100.0);
    EXPECT_DOUBLE_EQ(s.lateShare, 0.84);
}

TEST(FrameStatsTest, SmallAndEmptySpans)
{
    const FrameSummary one = summariseFrames({20.0});
    EXPECT_EQ(one.frames, 1u);
    EXPECT_DOUBLE_EQ(one.medianMs, 20.0);
    EXPECT_DOUBLE_EQ(one.p99Ms, 20.0);
    EXPECT_DOUBLE_EQ(one.lateShare, 1.0);

    // A frame exactly at the budget is on time.
    const FrameSummary onTime = summariseFrames({frameBudgetMs, 1.0});
    EXPECT_DOUBLE_EQ(onTime.lateShare, 0.0);
    EXPECT_DOUBLE_EQ(onTime.medianMs, 1.0);

    const FrameSummary none = summariseFrames({});
    EXPECT_EQ(none.frames, 0u);
    EXPECT_DOUBLE_EQ(none.maxMs, 0.0);
}

TEST(FrameStatsTest, SummaryLineLinesUpWithItsHeader)
{
    FrameSummary s;
    s.frames = 600;
    s.medianMs = 5.25;
    s.p99Ms = 15.5;
    s.maxMs = 31.0;
    s.lateShare = 0.125;
    EXPECT_EQ(formatSummary(s), "    600    5.25   15.50   31.00  12.5%");
    EXPECT_EQ(formatSummary(s).size(), formatSummaryHeader().size());
}

}  // namespace
