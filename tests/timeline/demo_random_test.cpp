#include <gtest/gtest.h>

#include "timeline/demo_random.h"

namespace {

TEST(DemoRandomTest, TheClassicSequenceFromSeedOne)
{
    restartDemoRandom();
    // The first numbers of the classic runtime generator, never seeded.
    EXPECT_EQ(demoRand(), 41);
    EXPECT_EQ(demoRand(), 18467);
    EXPECT_EQ(demoRand(), 6334);
    EXPECT_EQ(demoRand(), 26500);
    for (int i = 0; i < 100000; ++i) {
        const int value = demoRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
    restartDemoRandom();
    EXPECT_FLOAT_EQ(demoRandomUnit(), 41.0f / 32767.0f);
}

}  // namespace
