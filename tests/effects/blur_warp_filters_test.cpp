#include "tests/support/commands.h"
#include "tests/support/gl_test.h"
#include "tests/support/picture_source.h"

#include "effects/blur_warp_filters.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <cmath>

#include <vector>

namespace {

constexpr int sourcePlace = 11;

class BlurWarpFiltersTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        // The radial blur asks the texture manager for "FireTexture" by name.
        static ImageCache images;
        TextureManager::setImageLibrary(&images);
        glViewport(0, 0, 640, 480);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override { EffectRegistry::instance().set(sourcePlace, nullptr); }
    static void bindSource(Effect& filter, Effect& source)
    {
        EffectRegistry::instance().set(sourcePlace, &source);
        filter.command(numericCommand(70, {sourcePlace}));
    }
    static std::vector<uint8_t> drawFrame(Effect& filter, int32_t time)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        filter.prerender(time);
        filter.render(time);
        return readFrameRgb();
    }
};

TEST_F(BlurWarpFiltersTest, RadialBlurSpreadsTheSourceOutwards)
{
    PictureSource source(PictureSource::Picture::square);
    RadialBlur blur;
    bindSource(blur, source);
    blur.start(0);
    const std::vector<uint8_t> blurred = drawFrame(blur, 0);
    // The square spans 256..384; zoomed layers reach beyond it.
    EXPECT_EQ(redAt(blurred, 320, 240), 255);
    EXPECT_GT(redAt(blurred, 250, 240), 0);
    EXPECT_EQ(redAt(blurred, 20, 20), 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(BlurWarpFiltersTest, RadialBlurStopsWhenAlphaRunsOutAndTurns)
{
    PictureSource source(PictureSource::Picture::square);
    RadialBlur blur;
    bindSource(blur, source);
    blur.start(0);
    blur.command(numericCommand(94, {0}));        // the source itself not drawn
    blur.command(numericCommand(92, {0, -100}));  // alpha starts at 0: no layer at all
    const std::vector<uint8_t> none = drawFrame(blur, 0);
    EXPECT_EQ(redAt(none, 320, 240), 0);

    blur.start(1000);  // back to the defaults: a degree per second
    blur.update(1500, true);
    EXPECT_FLOAT_EQ(blur.angle(), 0.5f);
    blur.command(numericCommand(96, {10}));
    blur.update(2000, true);
    EXPECT_FLOAT_EQ(blur.angle(), 50.5f);  // 500 ms more at 10 ms per degree
    blur.command(numericCommand(96, {0}));
    blur.update(2500, true);
    EXPECT_FLOAT_EQ(blur.angle(), 50.5f);
}

TEST_F(BlurWarpFiltersTest, RadialBlurWithoutSourceDrawsNothing)
{
    RadialBlur blur;
    blur.start(0);
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    const std::vector<uint8_t> frame = drawFrame(blur, 0);
    EXPECT_EQ(redAt(frame, 320, 240), 128);
    glClearColor(0, 0, 0, 1);
}

// The demo time of the k-th step of the show's 60 Hz reference rate.
int32_t stepTime(int k) { return (k * 1000 + 59) / 60; }

TEST_F(BlurWarpFiltersTest, MotionBlurTrailRotatesAndClears)
{
    PictureSource source(PictureSource::Picture::square);
    MotionBlur motion;
    bindSource(motion, source);
    motion.start(0);
    motion.command(numericCommand(90, {0}));  // below 1 counts as 1: every step
    std::vector<Texture*> grabbed;
    for (int step = 0; step < 6; ++step) {
        motion.prerender(stepTime(step));
        grabbed.push_back(motion.trail().front());
    }
    EXPECT_EQ(motion.trailLength(), 6u);
    motion.prerender(stepTime(5) + 5);  // the same step again: no grab
    EXPECT_EQ(motion.trailLength(), 6u);
    EXPECT_EQ(motion.trail().front(), grabbed[5]);
    motion.prerender(stepTime(6));
    EXPECT_EQ(motion.trailLength(), 6u);
    EXPECT_EQ(motion.trail().front(), grabbed[0]);  // the oldest came round again

    motion.command(numericCommand(95, {}));
    EXPECT_EQ(motion.trailLength(), 0u);
    motion.command(numericCommand(90, {3}));
    motion.prerender(stepTime(9));  // a cleared trail grabs at once
    EXPECT_EQ(motion.trailLength(), 1u);
    motion.prerender(stepTime(10));
    motion.prerender(stepTime(11));
    EXPECT_EQ(motion.trailLength(), 1u);
    motion.prerender(stepTime(12));  // the next stretch of 3 steps
    EXPECT_EQ(motion.trailLength(), 2u);
    motion.rewind();
    EXPECT_EQ(motion.trailLength(), 0u);
}

// Grabs fall every 4 steps of demo time: 15 a second at 30, 60 and 144
// frames a second alike, so the trail spans the same time.
TEST_F(BlurWarpFiltersTest, MotionBlurGrabsAsOftenInDemoTimeAtAnyFrameRate)
{
    PictureSource source(PictureSource::Picture::square);
    for (const double fps : {30.0, 60.0, 144.0}) {
        MotionBlur motion;
        bindSource(motion, source);
        motion.start(0);
        motion.prerender(0);
        int grabs = 0;
        const Texture* newest = motion.trail().front();
        for (double t = 1000.0 / fps; t < 1000.0; t += 1000.0 / fps) {
            motion.prerender(static_cast<int32_t>(t));
            if (motion.trail().front() != newest)
                ++grabs;
            newest = motion.trail().front();
        }
        EXPECT_EQ(grabs, 14) << fps << " fps: a grab at 67, 133, ... 933 ms";
    }
}

TEST_F(BlurWarpFiltersTest, MotionBlurDrawsTheSourceAndItsTrail)
{
    PictureSource source(PictureSource::Picture::square);
    MotionBlur motion;
    bindSource(motion, source);
    motion.start(0);
    motion.command(numericCommand(94, {0}));
    // The source itself is not drawn; the first frame grabs it at once, and
    // the trail shows it at the trail's alpha, 0.5.
    EXPECT_EQ(redAt(drawFrame(motion, 0), 320, 240), 128);
    motion.command(numericCommand(90, {1}));
    motion.command(numericCommand(118, {255}));
    motion.command(numericCommand(95, {}));
    glDisable(GL_CULL_FACE);  // the trail left culling on; the test's square faces away
    // The grabbed corner (512 wide) holds the square at 0.4..0.6 of 512 px,
    // stretched over the screen by the trail quad.
    const std::vector<uint8_t> trail = drawFrame(motion, stepTime(1));
    EXPECT_EQ(redAt(trail, 320, 240), 255);
    EXPECT_EQ(redAt(trail, 20, 20), 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_CULL_FACE);
}

TEST_F(BlurWarpFiltersTest, WarpWithoutAmplitudeShowsTheSourceUndistorted)
{
    PictureSource source(PictureSource::Picture::square);
    WarpFilter warp;
    bindSource(warp, source);
    warp.start(0);
    warp.command(numericCommand(90, {0, 0}));
    const std::vector<uint8_t> frame = drawFrame(warp, 50);
    EXPECT_EQ(redAt(frame, 320, 240), 255);
    EXPECT_EQ(redAt(frame, 270, 210), 255);
    EXPECT_EQ(redAt(frame, 250, 240), 0);
    EXPECT_EQ(redAt(frame, 320, 180), 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(BlurWarpFiltersTest, WarpWavesMoveTheGrid)
{
    WarpFilter warp;
    warp.start(0);
    warp.command(numericCommand(90, {10, 20}));
    warp.deform(0.0f);
    // Coarse vertex (5, 3) sits where fine row and column 5 and 3 x 127 / 63
    // would, and moves as they would.
    const int n = WarpFilter::waveGridSize;
    ASSERT_EQ(warp.waveGrid().size(), n);
    const GridVertex& v = warp.waveGrid().vertices()[5 * n + 3];
    const float scale = 127.0f / static_cast<float>(n - 1);
    EXPECT_NEAR(v.restY, -0.5f + 5 * scale / 127.0f + 0.5f, 1e-5);
    EXPECT_NEAR(v.x - v.restX, std::sin(5 * scale * 7.0f / 128) * 0.1f, 1e-6);
    EXPECT_NEAR(v.y - v.restY, std::cos(3 * scale * 9.0f / 128) * 0.2f, 1e-6);
    warp.command(numericCommand(93, {7}));  // an unknown mode keeps the last shape
    const float before = v.x;
    warp.deform(10.0f);
    EXPECT_FLOAT_EQ(v.x, before);
}

TEST_F(BlurWarpFiltersTest, WarpRippleMovesTheFineGrid)
{
    WarpFilter warp;
    warp.start(0);
    warp.command(numericCommand(93, {2}));
    warp.command(numericCommand(94, {1}));
    warp.deform(0.0f);
    const int n = WarpFilter::fineGridSize;
    ASSERT_EQ(warp.grid().size(), n);
    // Row and column 60: r = (4 x 4 + 4 x 4) / (1 x 128 x 0.5).
    const GridVertex& v = warp.grid().vertices()[60 * n + 60];
    const float r = 32.0f / 64.0f;
    EXPECT_NEAR(v.x - v.restX, r * r * (std::sin(r * 7.0f * 6.28f) * 0.5f + 0.5f) * 0.05f, 1e-6);
    EXPECT_NEAR(v.y - v.restY, r * r * (std::cos(r * 9.0f * 6.28f) * 0.5f + 0.5f) * 0.05f, 1e-6);
    const GridVertex& centre = warp.grid().vertices()[64 * n + 64];
    EXPECT_FLOAT_EQ(centre.x, centre.restX);
}

TEST_F(BlurWarpFiltersTest, WarpWithAnEmptyViewportNeitherGrabsNorShows)
{
    PictureSource source(PictureSource::Picture::square);
    WarpFilter warp;
    bindSource(warp, source);
    warp.start(0);
    warp.command(numericCommand(202, {0, 0, 0, 100}));
    const std::vector<uint8_t> frame = drawFrame(warp, 0);
    EXPECT_EQ(redAt(frame, 320, 240), 0);
    glViewport(0, 0, 640, 480);
}

}  // namespace
