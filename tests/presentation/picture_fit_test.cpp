// Where the 640 x 480 show goes in windows of other shapes: the whole
// picture, as large as fits, centred, with its 4:3 kept.
#include <gtest/gtest.h>

#include "platform/picture_fit.h"

namespace {

void expectRect(const platform::PictureRect& rect, int x, int y, int width, int height)
{
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

TEST(PictureFitTest, WindowsOfTheSameShapeAreFilled)
{
    expectRect(platform::fitPicture(640, 480, 640, 480), 0, 0, 640, 480);
    expectRect(platform::fitPicture(640, 480, 1024, 768), 0, 0, 1024, 768);
    expectRect(platform::fitPicture(640, 480, 320, 240), 0, 0, 320, 240);
}

TEST(PictureFitTest, AWiderWindowGetsBarsLeftAndRight)
{
    // 1080 / 480 = 2.25: 1440 wide, 240 on each side.
    expectRect(platform::fitPicture(640, 480, 1920, 1080), 240, 0, 1440, 1080);
    // 16:10, and a height that does not scale to whole pixels: 1050 * 4 / 3
    // = 1400, (1680 - 1400) / 2 = 140.
    expectRect(platform::fitPicture(640, 480, 1680, 1050), 140, 0, 1400, 1050);
    // 4 * 401 / 3 = 534.67 rounds to 535; the odd pixel left over goes right.
    expectRect(platform::fitPicture(640, 480, 800, 401), 132, 0, 535, 401);
}

TEST(PictureFitTest, ATallerWindowGetsBarsAboveAndBelow)
{
    expectRect(platform::fitPicture(640, 480, 800, 1000), 0, 200, 800, 600);
    expectRect(platform::fitPicture(640, 480, 1080, 1920), 0, 555, 1080, 810);
}

TEST(PictureFitTest, NothingToFitGivesAnEmptyRectangle)
{
    expectRect(platform::fitPicture(640, 480, 0, 480), 0, 0, 0, 0);
    expectRect(platform::fitPicture(640, 480, 640, -1), 0, 0, 0, 0);
    expectRect(platform::fitPicture(0, 480, 640, 480), 0, 0, 0, 0);
}

TEST(PictureFitTest, TheRectangleNeverLeavesTheWindow)
{
    for (int width = 1; width < 300; width += 7) {
        for (int height = 1; height < 300; height += 5) {
            const platform::PictureRect rect = platform::fitPicture(640, 480, width, height);
            ASSERT_GE(rect.x, 0);
            ASSERT_GE(rect.y, 0);
            ASSERT_LE(rect.x + rect.width, width);
            ASSERT_LE(rect.y + rect.height, height);
            // One side always touches the window's edges.
            ASSERT_TRUE(rect.width == width || rect.height == height) << width << "x" << height;
        }
    }
}

}  // namespace
