#include "tests/support/commands.h"
#include "tests/support/gl_test.h"
#include "tests/support/picture_source.h"

#include "effects/additive_passes.h"
#include "effects/ansi_glow_filters.h"
#include "effects/glow_box.h"
#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "timeline/registry.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Whether a linear, clamped sample at coordinate u of a size-texel axis
// reads a texel in first..last with a weight above zero: the brute-force
// answer the box must contain.
bool sampleReaches(double u, int size, int first, int last)
{
    const double position = u * size - 0.5;
    const int low = static_cast<int>(std::floor(position));
    const double weightHigh = position - low;
    for (int tap : {low, low + 1}) {
        const double weight = tap == low ? 1.0 - weightHigh : weightHigh;
        if (weight <= 0.0)
            continue;
        const int texel = std::clamp(tap, 0, size - 1);  // clamping repeats the edge
        if (texel >= first && texel <= last)
            return true;
    }
    return false;
}

// Every pixel whose centre any pass samples from the bounded texels lies in
// the box; returns how many pixels were reached, to show the case is real.
int expectBoxHoldsEveryReachedPixel(const TexelBounds& texels, int passes, float zoomStep)
{
    constexpr int size = 128, width = 640, height = 480;
    const PixelBox box = glowPassBox(texels, size, width, height, passes, zoomStep);
    int reached = 0;
    float z = 0.0f;
    for (int pass = 0; pass < passes; ++pass, z += zoomStep) {
        const double extent = 1.0 + 2.0 * z;
        for (int y = 0; y < height; ++y) {
            const double v = -z + (y + 0.5) / height * extent;
            if (!sampleReaches(v, size, texels.bottom, texels.top))
                continue;
            for (int x = 0; x < width; ++x) {
                const double u = -z + (x + 0.5) / width * extent;
                if (!sampleReaches(u, size, texels.left, texels.right))
                    continue;
                ++reached;
                const bool inside = x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
                if (!inside) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " of pass " << pass << " outside the box";
                    return reached;
                }
            }
        }
    }
    return reached;
}

TEST(GlowBoxTest, HoldsEveryPixelThePassesReach)
{
    const TexelBounds cases[] = {
        {60, 60, 60, 60},      // one texel in the middle
        {0, 0, 3, 2},          // a corner: reaches the viewport's edge
        {120, 40, 127, 90},    // the right edge
        {0, 0, 127, 127},      // everything
        {30, 100, 97, 127},    // the top
    };
    for (const TexelBounds& texels : cases)
        for (int passes : {1, 5, 8})
            for (float zoom : {-0.02f, -0.01f, -0.001f, 0.0f, 0.001f, 0.01f}) {
                SCOPED_TRACE(testing::Message() << "texels " << texels.left << "," << texels.bottom << "-"
                                                << texels.right << "," << texels.top << " passes " << passes
                                                << " zoom " << zoom);
                EXPECT_GT(expectBoxHoldsEveryReachedPixel(texels, passes, zoom), 0);
            }
}

TEST(GlowBoxTest, OneTexelGivesASmallBoxAndFoldedZoomsTheWholeViewport)
{
    const TexelBounds middle{64, 64, 64, 64};
    const PixelBox one = glowPassBox(middle, 128, 640, 480, 5, -0.01f);
    EXPECT_GT(one.width, 0);
    EXPECT_LT(one.width, 640 / 8);
    EXPECT_LT(one.height, 480 / 8);
    const PixelBox none = glowPassBox(middle, 128, 640, 480, 0, -0.01f);
    EXPECT_EQ(none.width * none.height, 0);
    // Pass 60 of step -0.01 runs its coordinates from 0.6 down to 0.4.
    const PixelBox folded = glowPassBox(middle, 128, 640, 480, 60, -0.01f);
    EXPECT_EQ(folded.x, 0);
    EXPECT_EQ(folded.width, 640);
    EXPECT_EQ(folded.height, 480);
}

TEST(GlowBoxTest, NonZeroTexelsLooksAtEveryChannel)
{
    std::vector<uint8_t> rgba(16 * 8 * 4, 0);
    EXPECT_FALSE(nonZeroTexels(rgba.data(), 16, 8).has_value());
    rgba[(2 * 16 + 5) * 4 + 3] = 1;  // alpha only, row 2
    rgba[(6 * 16 + 11) * 4 + 1] = 7;  // green, row 6
    rgba[(4 * 16 + 3) * 4 + 0] = 1;   // red, row 4
    const auto bounds = nonZeroTexels(rgba.data(), 16, 8);
    ASSERT_TRUE(bounds.has_value());
    EXPECT_EQ(bounds->left, 3);
    EXPECT_EQ(bounds->right, 11);
    EXPECT_EQ(bounds->bottom, 2);
    EXPECT_EQ(bounds->top, 6);
}

constexpr int sourcePlace = 11;

class BoxedGlowTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glViewport(0, 0, 640, 480);
        glClearColor(0, 0, 0, 1);
    }
    void TearDown() override { EffectRegistry::instance().set(sourcePlace, nullptr); }

    // The glow passes as they are drawn without a box: each over the whole
    // viewport, from the blur texture the filter left, summed as the filter
    // sums them on a frame with samples.
    static void drawUnboxedPasses(int passes, float zoomStep, float intensity)
    {
        Texture* blur = TextureManager::loadTexture("GlowFilter1", "", GL_TEXTURE_2D);
        ASSERT_NE(blur, nullptr);
        AdditivePasses sum;
        sum.begin();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 1, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        blur->bind();
        float z = 0.0f;
        for (int pass = 0; pass < passes; ++pass, z += zoomStep) {
            glColor3f(intensity, intensity, intensity);
            glBegin(GL_QUADS);
            glTexCoord2f(-z, -z);
            glVertex2f(0, 1);
            glTexCoord2f(1 + z, -z);
            glVertex2f(1, 1);
            glTexCoord2f(1 + z, 1 + z);
            glVertex2f(1, 0);
            glTexCoord2f(-z, 1 + z);
            glVertex2f(0, 0);
            glEnd();
        }
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glColor3f(1, 1, 1);
        sum.end();
        TextureManager::releaseTexture(blur);
    }
};

TEST_F(BoxedGlowTest, EqualsTheUnboxedGlowByteForByte)
{
    struct Case {
        const char* name;
        PictureSource::Picture picture;
        float grey;
    };
    const Case pictures[] = {
        {"sparse", PictureSource::Picture::square, 1.0f},
        {"empty", PictureSource::Picture::ramp, 0.0f},
        {"full", PictureSource::Picture::flat, 0.4f},
    };
    for (const Case& picture : pictures) {
        PictureSource source(picture.picture, picture.grey);
        GlowFilter glow;
        EffectRegistry::instance().set(sourcePlace, &source);
        glow.command(numericCommand(70, {sourcePlace}));
        glow.start(0);
        for (int passes : {0, 1, 5, 8})
            for (int zoom : {-10, -1, 0, 1, 10}) {
                SCOPED_TRACE(testing::Message() << picture.name << " passes " << passes << " zoom " << zoom);
                glow.command(numericCommand(91, {passes, zoom, 0}));
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glow.prerender(0);
                glow.render(0);
                const std::vector<uint8_t> boxed = readFrameRgba();

                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                source.render(0);
                drawUnboxedPasses(passes, static_cast<float>(zoom) / 1000.0f, glow.startIntensity());
                const std::vector<uint8_t> unboxed = readFrameRgba();
                ASSERT_EQ(boxed.size(), unboxed.size());
                size_t differing = 0;
                for (size_t i = 0; i < boxed.size(); ++i)
                    differing += boxed[i] != unboxed[i] ? 1 : 0;
                EXPECT_EQ(differing, 0u);
                EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
            }
    }
}

}  // namespace
