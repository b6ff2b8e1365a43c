#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "effects/blur_warp_filters.h"
#include "effects/echo_tiles.h"
#include "effects/unit_square.h"
#include "resources/draw/screen_quad.h"
#include "resources/textures/texture.h"
#include "timeline/reference_rate.h"
#include "timeline/registry.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr int textureSize = 512, width = 640, height = 480;

// The texels a linear, repeating sample at pixel centre p of an axis reads
// with a weight above zero.
std::vector<int> tapsAt(int pixel, int length, int size)
{
    const double position = (pixel + 0.5) * size / length - 0.5;
    const int low = static_cast<int>(std::floor(position));
    std::vector<int> taps;
    if (position - low < 1.0)
        taps.push_back(((low % size) + size) % size);
    if (position - low > 0.0)
        taps.push_back(((low + 1) % size + size) % size);
    return taps;
}

// How often each pixel of the viewport is covered by the rectangles.
std::vector<int> coverage(const std::vector<PixelBox>& boxes)
{
    std::vector<int> covered(static_cast<size_t>(width) * height, 0);
    for (const PixelBox& box : boxes)
        for (int y = box.y; y < box.y + box.height; ++y)
            for (int x = box.x; x < box.x + box.width; ++x)
                ++covered[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
    return covered;
}

TEST(EchoTilesTest, RectanglesCoverEveryMarkedTileOnceAndStayATileApart)
{
    // Texels at tile corners (32 px = 25.6 texels), on the texture's edges
    // (read across the wrap by the opposite edge's pixels) and the smallest
    // alpha above zero.
    const std::vector<std::pair<int, int>> lit = {{0, 0},     {25, 25},  {26, 26}, {51, 0},
                                                  {511, 300}, {200, 511}, {300, 479}, {256, 128}};
    std::vector<uint8_t> alpha(static_cast<size_t>(textureSize) * textureSize, 0);
    for (const auto& [x, y] : lit)
        alpha[static_cast<size_t>(y) * textureSize + static_cast<size_t>(x)] = 1;
    const EchoTiles tiles = EchoTiles::fromAlpha(alpha.data(), textureSize, textureSize, width, height);
    const std::vector<int> covered = coverage(tiles.rectangles());

    int reaching = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(y) * width + static_cast<size_t>(x);
            ASSERT_LE(covered[at], 1) << "pixel " << x << "," << y << " drawn twice";
            if (tiles.marked(x / EchoTiles::tileSize, y / EchoTiles::tileSize)) {
                EXPECT_EQ(covered[at], 1) << "pixel " << x << "," << y << " of a marked tile not drawn";
            }
            bool reads = false;
            for (int tv : tapsAt(y, height, textureSize))
                for (int tu : tapsAt(x, width, textureSize))
                    reads = reads || alpha[static_cast<size_t>(tv) * textureSize + static_cast<size_t>(tu)] != 0;
            if (!reads)
                continue;
            ++reaching;
            EXPECT_EQ(covered[at], 1) << "pixel " << x << "," << y << " reads alpha but is not drawn";
        }
    EXPECT_GE(reaching, static_cast<int>(lit.size()));
    // A whole tile between any two rectangles: the pixels next to one (which
    // a scissor may let through in part) belong to no other.
    const std::vector<PixelBox> boxes = tiles.rectangles();
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            const PixelBox& a = boxes[i];
            const PixelBox& b = boxes[j];
            const bool apartAcross = a.x + a.width + EchoTiles::tileSize <= b.x || b.x + b.width + EchoTiles::tileSize <= a.x;
            const bool apartUp = a.y + a.height + EchoTiles::tileSize <= b.y || b.y + b.height + EchoTiles::tileSize <= a.y;
            EXPECT_TRUE(apartAcross || apartUp) << "rectangles " << i << " and " << j << " touch";
        }
    EXPECT_GT(boxes.size(), 1u);
    // The texels are sparse: most of the screen is skipped.
    int marked = 0;
    for (int row = 0; row < tiles.rows(); ++row)
        for (int column = 0; column < tiles.columns(); ++column)
            marked += tiles.marked(column, row) ? 1 : 0;
    EXPECT_LT(marked, tiles.rows() * tiles.columns() / 3);
}

TEST(EchoTilesTest, NothingOrEverythingLit)
{
    std::vector<uint8_t> alpha(static_cast<size_t>(textureSize) * textureSize, 0);
    EXPECT_TRUE(EchoTiles::fromAlpha(alpha.data(), textureSize, textureSize, width, height).rectangles().empty());
    alpha.assign(alpha.size(), 200);
    const std::vector<PixelBox> all =
        EchoTiles::fromAlpha(alpha.data(), textureSize, textureSize, width, height).rectangles();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].x, 0);
    EXPECT_EQ(all[0].y, 0);
    EXPECT_EQ(all[0].width, width);
    EXPECT_EQ(all[0].height, height);
}

// Small opaque spots in the grab corner, some on the tiles' corners, moving
// a pixel a grab so that every echo differs.
class SpotSource : public Effect {
public:
    void start(int32_t time) override { reset(time); }
    void update(int32_t time, bool applyViewport) override
    {
        Effect::update(time, applyViewport);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, textureSize, 0, textureSize, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        const float shift = static_cast<float>(time / 17);
        const float spots[][2] = {{25.6f, 25.6f}, {51.2f, 76.8f}, {256, 200}, {0, 0}, {509, 100}, {300, 470}};
        glBegin(GL_QUADS);
        for (const auto& spot : spots) {
            const float x = spot[0] + shift, y = spot[1];
            glColor4f(0.9f, 0.6f, 0.3f, 1.0f);
            glVertex2f(x, y);
            glVertex2f(x + 3, y);
            glVertex2f(x + 3, y + 2);
            glVertex2f(x, y + 2);
        }
        glEnd();
        glColor4f(1, 1, 1, 1);
        glEnable(GL_DEPTH_TEST);
    }
};

constexpr int sourcePlace = 12;

class TiledEchoTest : public GLTest {
protected:
    void TearDown() override { EffectRegistry::instance().set(sourcePlace, nullptr); }

    // The trail drawn as every layer over the whole viewport.
    static void drawWholeEchoes(const MotionBlur& motion, float alpha)
    {
        loadUnitSquare(Axis::yUp);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.1f);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        UnitQuad quad;
        float a = alpha;
        const float step = alpha / static_cast<float>(motion.trail().size());
        for (const Texture* texture : motion.trail()) {
            glColor4f(1, 1, 1, a);
            texture->bind();
            quad.draw();
            a -= step;
        }
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glColor4f(1, 1, 1, 1);
    }
};

TEST_F(TiledEchoTest, TiledEchoesEqualWholeEchoesByteForByte)
{
    SpotSource source;
    MotionBlur motion;
    EffectRegistry::instance().set(sourcePlace, &source);
    motion.command(numericCommand(70, {sourcePlace}));
    motion.start(0);
    motion.command(numericCommand(90, {1}));
    motion.command(numericCommand(94, {0}));
    glViewport(0, 0, width, height);
    glClearColor(0.2f, 0.1f, 0.3f, 0.0f);  // the grabs' background: alpha 0
    for (int step = 0; step < 9; ++step) {
        const int32_t time = referenceStepTime(step);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        motion.prerender(time);
        motion.render(time);
        const std::vector<uint8_t> tiled = readFrameRgba();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawWholeEchoes(motion, 0.5f);
        const std::vector<uint8_t> whole = readFrameRgba();
        size_t differing = 0, drawn = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            differing += tiled[i] != whole[i] ? 1 : 0;
            drawn += i % 4 == 0 && whole[i] != 51 ? 1 : 0;  // not the clear colour's red
        }
        EXPECT_EQ(differing, 0u) << "step " << step;
        EXPECT_GT(drawn, 6u) << "step " << step;
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    }
    glDisable(GL_CULL_FACE);
}

}  // namespace
