// The interference layers and the cloud grid on the headless context: how
// the layers add up, which picture and pattern each command picks, and the
// cloud brightness following the grid's height, read back from the frame.
#include "tests/effects/pattern_files.h"
#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "effects/interference_clouds.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int width = 640, height = 480;

void clearToBlack()
{
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int litPixels(const std::vector<uint8_t>& frame)
{
    int lit = 0;
    for (size_t i = 0; i < frame.size(); i += 4)
        lit += (frame[i] | frame[i + 1] | frame[i + 2]) != 0;
    return lit;
}

// Pictures with known colours: 1 grey 40 (JPEG), 2 green 40, 3 missing,
// 4 black and white stripes. The clouds are plain white.
class PatternEffectsTest : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        GLTest::SetUpTestSuite();
        folder_ = new LooseDataFolder;
        ASSERT_TRUE(writeJpeg(folder_->path("data/images/interf3.jpg"), 16, 16, solidPixels(16, 16, {40, 40, 40}), 100));
        ASSERT_TRUE(writePng(folder_->path("data/images/interf4.png"), 16, 16, solidPixels(16, 16, {0, 40, 0}), 3));
        std::vector<uint8_t> stripes;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                stripes.insert(stripes.end(), 3, (x / 8) % 2 ? 255 : 0);
        ASSERT_TRUE(writePng(folder_->path("data/images/interference2.png"), 64, 64, stripes, 3));
        ASSERT_TRUE(writePng(folder_->path("data/textures/clouds.png"), 16, 16,
                                 solidPixels(16, 16, {255, 255, 255}), 3));
        folder_->enter();
        interference_ = new InterferenceEffect;
        clouds_ = new CloudsEffect;
        folder_->leave();
    }
    static void TearDownTestSuite()
    {
        delete interference_;
        delete clouds_;
        delete folder_;
        GLTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        GLTest::SetUp();
        clearToBlack();
        interference_->start(0);
        clouds_->start(0);
    }

    static std::vector<uint8_t> interferenceFrame(int32_t time)
    {
        clearToBlack();
        interference_->render(time);
        return readFrameRgba();
    }

    static inline LooseDataFolder* folder_ = nullptr;
    static inline InterferenceEffect* interference_ = nullptr;
    static inline CloudsEffect* clouds_ = nullptr;
};

using InterferenceTest = PatternEffectsTest;
using CloudsTest = PatternEffectsTest;

TEST_F(InterferenceTest, PicturesAreLoadedInOrderAndAMissingOneStaysEmpty)
{
    ASSERT_NE(interference_->picture(1), nullptr);
    ASSERT_NE(interference_->picture(2), nullptr);
    EXPECT_EQ(interference_->picture(3), nullptr);
    ASSERT_NE(interference_->picture(4), nullptr);
    EXPECT_EQ(interference_->picture(4)->imageWidth(), 64);
    EXPECT_EQ(interference_->current(), interference_->picture(1));
    EXPECT_EQ(interference_->mode(), 1);
    EXPECT_EQ(interference_->duration(), 30);
}

TEST_F(InterferenceTest, FourLayersAddUpInTheMiddleInTheEffectColour)
{
    // At t = 0 all four squares cover the middle of the screen.
    interference_->render(0);
    Rgba middle = readPixelFromTop(320, 240);
    EXPECT_NEAR(middle.r, 160, 6);
    EXPECT_NEAR(middle.g, 160, 6);
    EXPECT_NEAR(middle.b, 160, 6);

    interference_->command(numericCommand(200, {255, 0, 128}));
    clearToBlack();
    interference_->render(0);
    middle = readPixelFromTop(320, 240);
    EXPECT_NEAR(middle.r, 160, 6);
    EXPECT_EQ(middle.g, 0);
    EXPECT_NEAR(middle.b, 80, 6);

    // Mode 4 is the same pattern.
    interference_->command(numericCommand(90, {4}));
    EXPECT_EQ(interference_->mode(), 4);
    EXPECT_EQ(interference_->picture(4), interference_->current());
    interference_->command(numericCommand(91, {1}));
    clearToBlack();
    interference_->render(0);
    EXPECT_NEAR(readPixelFromTop(320, 240).r, 160, 6);
}

TEST_F(InterferenceTest, ModeTwoDrawsTwoWhiteLayersOfTheSecondPicture)
{
    interference_->command(numericCommand(200, {0, 0, 0}));
    interference_->command(numericCommand(90, {2}));
    EXPECT_EQ(interference_->mode(), 2);
    EXPECT_EQ(interference_->current(), interference_->picture(2));
    interference_->render(0);
    const Rgba middle = readPixelFromTop(320, 240);
    EXPECT_EQ(middle.r, 0);
    EXPECT_NEAR(middle.g, 80, 3);  // white, whatever the effect colour
}

TEST_F(InterferenceTest, ModeThreeAddsThreeHalfLayersAndKeepsThePictureWhenItIsMissing)
{
    interference_->command(numericCommand(90, {3}));
    EXPECT_EQ(interference_->mode(), 3);
    EXPECT_EQ(interference_->current(), interference_->picture(1));
    interference_->render(0);
    EXPECT_NEAR(readPixelFromTop(320, 240).r, 60, 5);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[3], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(InterferenceTest, OtherModesDrawNothingAndBadNumbersSelectNothing)
{
    interference_->command(numericCommand(91, {2}));
    interference_->command(numericCommand(90, {5}));
    EXPECT_EQ(interference_->mode(), 5);
    EXPECT_EQ(interference_->current(), interference_->picture(2));
    EXPECT_EQ(litPixels(interferenceFrame(100)), 0);
    for (int number : {0, -1, 3, 10, 11})
        interference_->command(numericCommand(91, {number}));
    EXPECT_EQ(interference_->current(), interference_->picture(2));
    interference_->command(numericCommand(91, {4}));
    EXPECT_EQ(interference_->current(), interference_->picture(4));
    interference_->start(0);
    EXPECT_EQ(interference_->current(), interference_->picture(1));
}

TEST_F(InterferenceTest, PatternsMoveOneStepPer30MsAndTheDurationSetsTheSpeed)
{
    interference_->command(numericCommand(91, {4}));
    const std::vector<uint8_t> atTen = interferenceFrame(300);
    EXPECT_FLOAT_EQ(interference_->progress(), 10.0f);
    EXPECT_GT(litPixels(atTen), width * height / 4);
    const std::vector<uint8_t> atFive = interferenceFrame(150);
    EXPECT_NE(atFive, atTen);

    interference_->command(numericCommand(10, {60}));
    EXPECT_EQ(interferenceFrame(600), atTen);
    EXPECT_FLOAT_EQ(interference_->progress(), 10.0f);
    EXPECT_EQ(interferenceFrame(300), atFive);
}

TEST_F(InterferenceTest, UpdateDrawsWithoutTouchingTheViewport)
{
    glViewport(0, 0, 320, 240);
    interference_->update(0, false);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_NEAR(readPixel(160, 120).r, 160, 6);
    EXPECT_EQ(readPixel(480, 360).r, 0);
    // Aspect 1, from the integer division of 640 by 480.
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], projection[5]);
}

// Expected vertex of the cloud grid at animation time a.
struct CloudVertex {
    float x, y, z, g;
};

CloudVertex expectedCloud(const GridVertex& v, int i, int j, float a)
{
    const float f = static_cast<float>(i) / 50.0f;
    CloudVertex c;
    c.x = v.restX + std::sin(7 * f + a / 5);
    c.y = v.restY + std::cos(9 * static_cast<float>(j) / 50.0f + a / 9);
    c.z = 1.1f * (v.restX * std::sin(17 * f + a / 7) + v.restY * std::cos(7 * f + std::sin(a / 9)));
    c.g = 0.5f * c.z + 1.0f;
    return c;
}

TEST_F(CloudsTest, GridUndulatesWithTheAnimationTime)
{
    clouds_->render(600);  // a = 10 at 60 ms per unit
    const GridMesh& grid = clouds_->grid();
    ASSERT_EQ(grid.size(), 50);
    auto& vertices = const_cast<GridMesh&>(grid);
    for (int i : {0, 7, 25, 49}) {
        for (int j : {0, 13, 24, 49}) {
            const GridVertex& v = vertices.vertex(i, j);
            const CloudVertex c = expectedCloud(v, i, j, 10.0f);
            EXPECT_NEAR(v.x, c.x, 1e-4f);
            EXPECT_NEAR(v.y, c.y, 1e-4f);
            EXPECT_NEAR(v.z, c.z, 1e-3f);
            EXPECT_NEAR(v.r, c.g, 1e-3f);
            EXPECT_EQ(v.a, 1.0f);
        }
    }
    EXPECT_FLOAT_EQ(vertices.vertex(0, 0).restX, -17.5f);
    EXPECT_NEAR(vertices.vertex(49, 49).restY, 10.0f, 1e-4f);
}

TEST_F(CloudsTest, BrightnessOnScreenFollowsTheHeight)
{
    clouds_->render(1800);
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const std::vector<uint8_t> frame = readFrameRgba();
    auto& grid = const_cast<GridMesh&>(clouds_->grid());
    // Where folds of the grid overlap, a later triangle covers an earlier
    // one (depth writes are off), so hidden vertices disagree; the visible
    // ones show their own brightness, dark, middle and bright alike.
    std::vector<float> expected, seen;
    int matched = 0, dark = 0, middle = 0, bright = 0;
    for (int i = 10; i < 40; ++i) {
        for (int j = 10; j < 40; ++j) {
            const GridVertex& v = grid.vertex(i, j);
            GLdouble wx, wy, wz;
            if (gluProject(v.x, v.y, v.z, modelview, projection, viewport, &wx, &wy, &wz) != GL_TRUE)
                continue;
            const int px = static_cast<int>(wx), py = static_cast<int>(wy);
            if (wz <= 0.0 || wz >= 1.0 || px < 2 || py < 2 || px >= width - 2 || py >= height - 2)
                continue;
            expected.push_back(255.0f * std::clamp(v.r, 0.0f, 1.0f));
            seen.push_back(frame[(static_cast<size_t>(py) * width + px) * 4]);
            if (std::fabs(seen.back() - expected.back()) < 8.0f) {
                ++matched;
                dark += expected.back() < 50.0f;
                middle += expected.back() >= 50.0f && expected.back() <= 200.0f;
                bright += expected.back() > 200.0f;
            }
        }
    }
    const auto considered = static_cast<int>(expected.size());
    ASSERT_GT(considered, 30);
    EXPECT_GT(matched, considered * 6 / 10) << matched << " of " << considered;
    EXPECT_GE(dark, 10);
    EXPECT_GE(middle, 10);
    EXPECT_GE(bright, 10);
    GLfloat textureMatrix[16] = {};
    glGetFloatv(GL_TEXTURE_MATRIX, textureMatrix);
    EXPECT_FLOAT_EQ(textureMatrix[0], 1.0f);
    EXPECT_FLOAT_EQ(textureMatrix[1], 0.0f);
}

TEST_F(CloudsTest, DivisorIsMillisecondsPerUnitAndStartKeepsTheClock)
{
    clouds_->command(numericCommand(10, {120}));
    EXPECT_FLOAT_EQ(clouds_->divisor(), 120.0f);
    EXPECT_EQ(clouds_->duration(), 120);
    clearToBlack();
    clouds_->render(1200);
    const std::vector<uint8_t> slow = readFrameRgba();
    EXPECT_GT(litPixels(slow), width * height / 10);

    const int32_t clockStart = clouds_->startTime();
    clouds_->start(0);
    EXPECT_EQ(clouds_->startTime(), clockStart);
    EXPECT_FLOAT_EQ(clouds_->divisor(), 60.0f);
    clearToBlack();
    clouds_->render(600);
    EXPECT_EQ(readFrameRgba(), slow);
    clearToBlack();
    clouds_->render(1200);
    EXPECT_NE(readFrameRgba(), slow);

    // Animation time counts from the last start.
    clouds_->start(600);
    clearToBlack();
    clouds_->render(1200);
    EXPECT_EQ(readFrameRgba(), slow);
}

TEST_F(CloudsTest, ZeroDivisorFreezesTheCloudsInsteadOfBreakingThem)
{
    clouds_->render(600);
    const std::vector<GridVertex> before = const_cast<GridMesh&>(clouds_->grid()).vertices();
    clouds_->command(numericCommand(10, {0}));
    clearToBlack();
    clouds_->render(900);
    const std::vector<GridVertex>& after = const_cast<GridMesh&>(clouds_->grid()).vertices();
    for (size_t k = 0; k < after.size(); k += 97) {
        EXPECT_TRUE(std::isfinite(after[k].z));
        EXPECT_EQ(after[k].z, before[k].z);
    }
    EXPECT_GT(litPixels(readFrameRgba()), width * height / 10);
}

}  // namespace
