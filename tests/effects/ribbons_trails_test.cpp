#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "effects/ribbons_trails.h"
#include "timeline/demo_random.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace {

class RibbonsTrailsTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        // Trails ask for their head sprite by name; without the picture the
        // texture is null and the heads are drawn untextured.
        static ImageCache images;
        TextureManager::setImageLibrary(&images);
        glViewport(0, 0, 640, 480);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    static size_t litCount(const std::vector<uint8_t>& rgb)
    {
        size_t lit = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            lit += (rgb[i] | rgb[i + 1] | rgb[i + 2]) != 0;
        return lit;
    }
};

TEST(CatmullRomTest, RunsFromTheSecondToTheThirdValue)
{
    EXPECT_FLOAT_EQ(catmullRom(7, 1, 3, -5, 0), 1.0f);
    EXPECT_FLOAT_EQ(catmullRom(7, 1, 3, -5, 1), 3.0f);
    // Evenly spaced values give a straight line.
    EXPECT_FLOAT_EQ(catmullRom(0, 1, 2, 3, 0.25f), 1.25f);
}

TEST_F(RibbonsTrailsTest, RibbonsCrossTheScreenInSkyBlue)
{
    RibbonsEffect ribbons;
    ribbons.start(0);
    EXPECT_EQ(ribbons.duration(), 400);
    ribbons.render(200);
    const std::vector<uint8_t> rgb = readFrameRgb();
    // Somewhere along the middle rows the additive ribbons light the screen,
    // bluer than red; the far left and right edges stay dark at the top.
    int bestBlue = 0, redThere = 0;
    for (int y = 0; y < 480; ++y) {
        const int i = (y * 640 + 320) * 3;
        if (rgb[i + 2] > bestBlue) {
            bestBlue = rgb[i + 2];
            redThere = rgb[i];
        }
    }
    EXPECT_GT(bestBlue, 20);
    EXPECT_LT(redThere, bestBlue);
    EXPECT_EQ(rgb[(479 * 640 + 2) * 3 + 2], 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(RibbonsTrailsTest, TrailHeadRunsAlongTheNewestSegment)
{
    Trail trail(20, nullptr);
    trail.scatter();
    // At param 0 the newest segment (through points 2 to 5) is a single
    // vertex where it begins, on point 3.
    trail.advanceAndDraw(0, 500);
    EXPECT_FLOAT_EQ(trail.head().x, trail.point(3).x);
    EXPECT_FLOAT_EQ(trail.head().z, trail.point(3).z);
    trail.advanceAndDraw(500, 500);
    EXPECT_FLOAT_EQ(trail.head().x, trail.point(4).x);
    const Vec3 last = trail.point(5);
    const Vec3 fourth = trail.point(4);
    // Past 1 the points shift down by one, a new far point is placed and
    // the head goes on by what was left over on the new newest segment.
    trail.advanceAndDraw(250, 500);
    EXPECT_FLOAT_EQ(trail.param(), 0.5f);
    EXPECT_FLOAT_EQ(trail.point(4).x, last.x);
    EXPECT_FLOAT_EQ(trail.point(3).x, fourth.x);
    for (int k = 0; k < 6; ++k) {
        EXPECT_LE(std::fabs(trail.point(k).x), 0.5f);
        EXPECT_LE(trail.point(k).z, 0.0f);
        EXPECT_GE(trail.point(k).z, -8.0f);
    }
}

// A trail reaches the same state after 8 s in frames of 16.67 ms, of
// 33.3 ms or in one step: a segment lasts its duration at any rate.
TEST_F(RibbonsTrailsTest, TrailsReachTheSameStateAtAnyFrameRate)
{
    const auto run = [](double frameMs) {
        restartDemoRandom();
        Trail trail(20, nullptr);
        trail.scatter();
        // Frames at whole ms, as the demo time comes, ending at 8000.
        const int frames = static_cast<int>(std::lround(8000.0 / frameMs));
        int previous = 0;
        for (int i = 1; i <= frames; ++i) {
            const int now = static_cast<int>(static_cast<int64_t>(i) * 8000 / frames);
            trail.advanceAndDraw(now - previous, 500);
            previous = now;
        }
        std::vector<float> state{trail.param()};
        for (int k = 0; k < 6; ++k)
            state.push_back(trail.point(k).x);
        return state;
    };
    const std::vector<float> reference = run(1000.0 / 60.0);
    for (const double frameMs : {1000.0 / 30.0, 8000.0}) {
        const std::vector<float> other = run(frameMs);
        EXPECT_EQ(other[0], reference[0]) << frameMs << " ms frames: the head's place";
        for (int k = 1; k <= 6; ++k)
            EXPECT_FLOAT_EQ(other[k], reference[k]) << frameMs << " ms frames, point " << k - 1;
    }
}

TEST_F(RibbonsTrailsTest, TrailsCommandsAndDrawing)
{
    TrailsEffect trails;
    EXPECT_EQ(trails.trailCount(), 40u);
    trails.start(0);
    trails.command(numericCommand(90, {3}));
    EXPECT_EQ(trails.trailCount(), 3u);
    trails.command(numericCommand(90, {5}));
    EXPECT_EQ(trails.trailCount(), 5u);
    trails.command(numericCommand(93, {1, 1, 1}));
    trails.command(numericCommand(91, {10}));
    trails.start(0);
    trails.render(0);
    trails.render(250);
    // 250 ms at the default duration of 500: half a degree of turn.
    EXPECT_FLOAT_EQ(trails.angle(), 0.5f);
    EXPECT_FLOAT_EQ(trails.trail(0).param(), 0.5f);
    EXPECT_GT(litCount(readFrameRgb()), 100u);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_LINE_SMOOTH);

    trails.command(numericCommand(90, {0}));
    EXPECT_EQ(trails.trailCount(), 0u);
    glClear(GL_COLOR_BUFFER_BIT);
    trails.render(500);
    EXPECT_EQ(litCount(readFrameRgb()), 0u);
    glDisable(GL_LINE_SMOOTH);
}

}  // namespace
