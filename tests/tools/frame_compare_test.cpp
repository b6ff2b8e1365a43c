#include "tools/swtool/frame_compare.h"

#include <gtest/gtest.h>

namespace {

RgbFrame filled(int width, int height, uint8_t value)
{
    return {width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3, value)};
}

void setPixel(RgbFrame& frame, int x, int y, uint8_t r, uint8_t g, uint8_t b)
{
    uint8_t* at = &frame.rgb[(size_t(y) * size_t(frame.width) + size_t(x)) * 3];
    at[0] = r;
    at[1] = g;
    at[2] = b;
}

}  // namespace

TEST(FrameCompare, EdgeMaskGrowsEachDifferenceByOnePixelInEightDirections)
{
    RgbFrame multisampled = filled(5, 5, 0);
    const RgbFrame plain = filled(5, 5, 0);
    setPixel(multisampled, 2, 2, 0, 0, 1);
    const std::vector<uint8_t> mask = edgeMask(multisampled, plain);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(mask[size_t(y) * 5 + size_t(x)], (x >= 1 && x <= 3 && y >= 1 && y <= 3) ? 1 : 0)
                << x << "," << y;
}

TEST(FrameCompare, EdgeMaskStopsAtTheBorder)
{
    RgbFrame multisampled = filled(3, 2, 7);
    const RgbFrame plain = filled(3, 2, 7);
    setPixel(multisampled, 0, 1, 8, 7, 7);
    EXPECT_EQ(edgeMask(multisampled, plain), (std::vector<uint8_t>{1, 1, 0, 1, 1, 0}));
}

TEST(FrameCompare, CountsDifferingPixelsOnAndOffTheEdges)
{
    const RgbFrame a = filled(4, 1, 100);
    RgbFrame b = a;
    setPixel(b, 0, 0, 103, 100, 100);
    setPixel(b, 3, 0, 100, 90, 101);
    const std::vector<uint8_t> edges = {1, 0, 0, 0};
    const DifferenceSums sums = compareFrames(a, b, &edges);
    EXPECT_EQ(sums.pixels, 4u);
    EXPECT_EQ(sums.differing, 2u);
    EXPECT_EQ(sums.maxAbs, 10);
    EXPECT_EQ(sums.sumAbs, 14u);
    EXPECT_EQ(sums.sumSigned, -6);
    EXPECT_EQ(sums.edgeDiffering, 1u);
    EXPECT_DOUBLE_EQ(meanAbsDifference(sums), 14.0 / 12.0);
    EXPECT_DOUBLE_EQ(meanSignedDifference(sums), -6.0 / 12.0);
    EXPECT_DOUBLE_EQ(edgeShare(sums), 0.5);
    EXPECT_EQ(compareFrames(a, b, nullptr).edgeDiffering, 0u);
}

TEST(FrameCompare, TotalsAreTakenOverEveryPixelNotAveragedFromFrames)
{
    const RgbFrame small = filled(1, 1, 0);
    const RgbFrame smallBrighter = filled(1, 1, 3);
    const RgbFrame large = filled(3, 1, 0);
    DifferenceSums total;
    addSums(total, compareFrames(small, smallBrighter, nullptr));
    addSums(total, compareFrames(large, large, nullptr));
    EXPECT_EQ(total.pixels, 4u);
    EXPECT_EQ(total.differing, 1u);
    EXPECT_EQ(total.maxAbs, 3);
    EXPECT_DOUBLE_EQ(meanAbsDifference(total), 9.0 / 12.0);
    EXPECT_DOUBLE_EQ(edgeShare(DifferenceSums{}), 1.0);
    EXPECT_DOUBLE_EQ(meanAbsDifference(DifferenceSums{}), 0.0);
}
