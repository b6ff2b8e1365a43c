#include "shell/status_title.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusTitleTest, ShowsTimeAndFramesPerSecondTwiceASecond)
{
    platform::ManualClock clock;
    StatusTitle title(clock);
    EXPECT_FALSE(title.frameDrawn(60000, false));  // starts the count
    EXPECT_EQ(title.text(), "stillwater");
    // 25 frames in half a second: 50 per second.
    for (int i = 1; i < 25; ++i) {
        clock.advance(20);
        EXPECT_FALSE(title.frameDrawn(60000 + 20 * i, false)) << i;
    }
    clock.advance(20);
    EXPECT_TRUE(title.frameDrawn(60500, false));
    EXPECT_EQ(title.text(), "stillwater 60.50 s 50 fps");
    clock.advance(100);
    EXPECT_FALSE(title.frameDrawn(61234, false));
}

TEST(StatusTitleTest, PausingChangesTheTitleAtOnce)
{
    platform::ManualClock clock;
    StatusTitle title(clock);
    title.frameDrawn(1000, false);
    clock.advance(100);
    EXPECT_TRUE(title.frameDrawn(1100, true));
    EXPECT_EQ(title.text(), "stillwater 1.10 s 10 fps paused");
    clock.advance(100);
    EXPECT_FALSE(title.frameDrawn(1100, true));
    clock.advance(100);
    EXPECT_TRUE(title.frameDrawn(1100, false));
    EXPECT_EQ(title.text(), "stillwater 1.10 s 10 fps");
}

}  // namespace
