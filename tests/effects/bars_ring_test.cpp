// Bars and the sprite ring drawn on the headless context, pixels read back
// and compared with the bars' own records and the ring's geometry.
#include "tests/effects/pattern_files.h"
#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "effects/bars_ring.h"
#include "timeline/demo_random.h"

#include <GL/gl.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int width = 640, height = 480;

// Red channel of the pixel counted from the top-left corner.
int redFromTop(const std::vector<uint8_t>& frame, int x, int y)
{
    return frame[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
}

void clearToBlack()
{
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

struct BarCheck {
    int covered = 0;     // sample lines inside at least one bar
    int mismatches = 0;  // sample lines whose red differs from the bars' blend
};

// Walks across the bars (down the middle column for horizontal bars, along
// the middle row for vertical ones) and blends the bars in drawing order
// over black, as GL should have, skipping lines on a bar's edge.
BarCheck compareWithBars(const BarsEffect& effect, float red)
{
    const std::vector<uint8_t> frame = readFrameRgba();
    const int lines = effect.horizontal() ? height : width;
    BarCheck check;
    for (int k = 0; k < lines; ++k) {
        const float centre = (static_cast<float>(k) + 0.5f) / static_cast<float>(lines);
        const float margin = 1.0f / static_cast<float>(lines);
        float value = 0.0f;
        bool edge = false, inside = false;
        for (const BarsEffect::Bar& bar : effect.bars()) {
            const float near = bar.position, far = bar.position + bar.width;
            if (std::fabs(centre - near) < margin || std::fabs(centre - far) < margin)
                edge = true;
            if (centre > near && centre < far) {
                value = red * bar.alpha + value * (1.0f - bar.alpha);
                inside = true;
            }
        }
        if (edge)
            continue;
        const int seen = effect.horizontal() ? redFromTop(frame, width / 2, k) : redFromTop(frame, k, height / 2);
        if (inside && value * 255.0f > 2.0f)
            ++check.covered;
        if (std::abs(seen - static_cast<int>(std::lround(value * 255.0f))) > 3)
            ++check.mismatches;
    }
    return check;
}

// Where a bar at p ends up on the span from -widthScale to 1 + widthScale,
// entering at one edge by as much as it left the other.
float wrapped(float p, float widthScale)
{
    const double span = 1.0 + 2.0 * widthScale;
    const double from = static_cast<double>(p) + widthScale;
    return static_cast<float>(std::fmod(std::fmod(from, span) + span, span) - widthScale);
}

class BarsTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearToBlack();
        bars_ = std::make_unique<BarsEffect>();
        bars_->start(0);
    }

    std::unique_ptr<BarsEffect> bars_;
};

TEST_F(BarsTest, StartFillsFortyRandomBarsWithinTheirRanges)
{
    ASSERT_EQ(bars_->bars().size(), 40u);
    float lowestSpeed = 1.0f, highestSpeed = -1.0f;
    for (const BarsEffect::Bar& bar : bars_->bars()) {
        EXPECT_GE(bar.alpha, 0.0f);
        EXPECT_LE(bar.alpha, 1.0f);
        EXPECT_GE(bar.position, 0.0f);
        EXPECT_LE(bar.position, 1.0f);
        EXPECT_GE(bar.width, 0.0f);
        EXPECT_LE(bar.width, 0.05f);
        EXPECT_GE(bar.speed, -1.1f);
        EXPECT_LE(bar.speed, 0.9f);
        lowestSpeed = std::min(lowestSpeed, bar.speed);
        highestSpeed = std::max(highestSpeed, bar.speed);
    }
    EXPECT_LT(lowestSpeed, -0.5f);
    EXPECT_GT(highestSpeed, 0.3f);
}

TEST_F(BarsTest, BarsGlideByElapsedTimeOverSpeedDivisorAndAreDrawnWhereTheyAre)
{
    bars_->command(numericCommand(90, {6}));
    bars_->command(numericCommand(92, {30}));
    const std::vector<BarsEffect::Bar> before = bars_->bars();
    bars_->render(500);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_NEAR(bars_->bars()[i].position, wrapped(before[i].position + 0.25f * before[i].speed, 0.3f), 1e-5f);
    BarCheck check = compareWithBars(*bars_, 1.0f);
    EXPECT_GT(check.covered, 20);
    EXPECT_EQ(check.mismatches, 0);

    // Code 10 changes the divisor (and the base duration): 400 ms over 1000.
    bars_->command(numericCommand(10, {1000}));
    EXPECT_EQ(bars_->duration(), 1000);
    const std::vector<BarsEffect::Bar> middle = bars_->bars();
    clearToBlack();
    bars_->render(900);
    for (size_t i = 0; i < middle.size(); ++i)
        EXPECT_NEAR(bars_->bars()[i].position, wrapped(middle[i].position + 0.4f * middle[i].speed, 0.3f), 1e-5f);
    check = compareWithBars(*bars_, 1.0f);
    EXPECT_EQ(check.mismatches, 0);
}

TEST_F(BarsTest, BarsLeavingOneSideComeBackOnTheOther)
{
    const std::vector<BarsEffect::Bar> before = bars_->bars();
    bars_->render(200000);  // a hundred screens at the default divisor
    for (size_t i = 0; i < before.size(); ++i) {
        const float p = bars_->bars()[i].position;
        EXPECT_NEAR(p, wrapped(before[i].position + 100.0f * before[i].speed, 0.05f), 1e-4f);
        EXPECT_GE(p, -0.05f);
        EXPECT_LE(p, 1.05f);
    }
    // Wrapped bars lie just off screen: the middle column stays black there.
    clearToBlack();
    bars_->command(numericCommand(90, {0}));
    bars_->render(200001);
    EXPECT_EQ(readPixelFromTop(320, 0).r, 0);
}

TEST_F(BarsTest, VerticalBarsSpanTheHeightAtTheirPositions)
{
    bars_->command(numericCommand(93, {1}));
    EXPECT_FALSE(bars_->horizontal());
    bars_->command(numericCommand(90, {5}));
    bars_->command(numericCommand(92, {20}));
    bars_->command(numericCommand(200, {0, 255, 0}));
    bars_->render(0);
    // Green only, the same blend on every row of a column.
    for (const BarsEffect::Bar& bar : bars_->bars()) {
        const float middle = bar.position + bar.width / 2.0f;
        if (bar.width * width < 4.0f || middle <= 0.0f || middle >= 1.0f)
            continue;
        const int x = static_cast<int>(middle * width);
        const Rgba top = readPixelFromTop(x, 5), bottom = readPixelFromTop(x, 474);
        EXPECT_EQ(top.r, 0);
        EXPECT_EQ(top.g, bottom.g);
    }
    // The check reads the red channel, so read green by swapping colours.
    clearToBlack();
    bars_->command(numericCommand(200, {255, 0, 0}));
    bars_->render(0);
    const BarCheck check = compareWithBars(*bars_, 1.0f);
    EXPECT_GT(check.covered, 10);
    EXPECT_EQ(check.mismatches, 0);
    bars_->command(numericCommand(93, {0}));
    EXPECT_TRUE(bars_->horizontal());
}

// Gliding bars and their wrapping reach the same places whether 8 s pass in
// frames of 16.67 ms, of 33.3 ms or in one step; flickering bars are renewed
// as often (every 200 ms from the start) at 30, 60 and 144 frames a second.
TEST_F(BarsTest, BarsReachTheSameStateAtAnyFrameRate)
{
    const auto glide = [&](double frameMs) {
        restartDemoRandom();
        BarsEffect bars;
        bars.start(0);
        for (double t = frameMs; t < 8000.0; t += frameMs)
            bars.render(static_cast<int32_t>(t));
        bars.render(8000);
        return bars.bars();
    };
    const std::vector<BarsEffect::Bar> reference = glide(1000.0 / 60.0);
    for (const double frameMs : {1000.0 / 30.0, 8000.0}) {
        const std::vector<BarsEffect::Bar> other = glide(frameMs);
        ASSERT_EQ(other.size(), reference.size());
        for (size_t i = 0; i < other.size(); ++i)
            EXPECT_NEAR(other[i].position, reference[i].position, 2e-4f) << frameMs << " ms frames, bar " << i;
    }
    for (const double fps : {30.0, 60.0, 144.0}) {
        BarsEffect bars;
        bars.start(0);
        bars.command(numericCommand(94, {0}));
        int renewals = 0;
        std::vector<BarsEffect::Bar> shown = bars.bars();
        for (double t = 1000.0 / fps; t <= 4000.0; t += 1000.0 / fps) {
            bars.render(static_cast<int32_t>(t));
            if (bars.bars()[0].position != shown[0].position)
                ++renewals;
            shown = bars.bars();
        }
        EXPECT_EQ(renewals, 19) << fps << " fps: every 200 ms past 200 up to 4 s";
    }
}

TEST_F(BarsTest, FlickerRenewsTheBarsEveryIntervalAndHoldsThemStillBetween)
{
    bars_->command(numericCommand(94, {0}));
    ASSERT_TRUE(bars_->flicker());
    const std::vector<BarsEffect::Bar> first = bars_->bars();
    bars_->render(150);
    EXPECT_EQ(bars_->bars()[0].position, first[0].position);
    bars_->render(200);  // not beyond the interval yet
    EXPECT_EQ(bars_->bars()[0].position, first[0].position);
    clearToBlack();
    bars_->render(201);
    const std::vector<BarsEffect::Bar> second = bars_->bars();
    EXPECT_NE(second[0].position, first[0].position);
    EXPECT_EQ(compareWithBars(*bars_, 1.0f).mismatches, 0);
    clearToBlack();
    bars_->render(400);
    for (size_t i = 0; i < second.size(); ++i)
        EXPECT_EQ(bars_->bars()[i].position, second[i].position);
    EXPECT_EQ(compareWithBars(*bars_, 1.0f).mismatches, 0);

    // Code 91 shortens the interval.
    bars_->command(numericCommand(91, {50}));
    bars_->render(451);
    EXPECT_NE(bars_->bars()[0].position, second[0].position);

    bars_->command(numericCommand(94, {1}));
    EXPECT_FALSE(bars_->flicker());
}

TEST_F(BarsTest, CountWidthAndColourCommandsRefillTheBars)
{
    bars_->command(numericCommand(90, {7}));
    EXPECT_EQ(bars_->bars().size(), 7u);
    bars_->command(numericCommand(90, {-3}));
    EXPECT_TRUE(bars_->bars().empty());
    bars_->render(100);
    EXPECT_EQ(readPixelFromTop(320, 240).r, 0);

    bars_->command(numericCommand(90, {30}));
    bars_->command(numericCommand(92, {2}));
    for (const BarsEffect::Bar& bar : bars_->bars())
        EXPECT_LE(bar.width, 0.02f);

    // 201 sets colour and opacity, then refills with alphas under the new one.
    const std::vector<BarsEffect::Bar> before = bars_->bars();
    bars_->command(numericCommand(201, {255, 0, 0, 51}));
    EXPECT_NE(bars_->bars()[0].position, before[0].position);
    for (const BarsEffect::Bar& bar : bars_->bars())
        EXPECT_LE(bar.alpha, 0.2f + 1e-6f);
    bars_->command(numericCommand(92, {40}));
    clearToBlack();
    bars_->render(100);
    const BarCheck check = compareWithBars(*bars_, 1.0f);
    EXPECT_GT(check.covered, 0);
    EXPECT_EQ(check.mismatches, 0);
    EXPECT_EQ(readPixelFromTop(320, 240).g, 0);
}

TEST_F(BarsTest, ZeroSpeedDivisorHoldsTheBarsInsteadOfLosingThem)
{
    bars_->command(numericCommand(10, {0}));
    const std::vector<BarsEffect::Bar> before = bars_->bars();
    bars_->render(0);
    bars_->render(300);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(bars_->bars()[i].position, before[i].position);
    bars_->command(numericCommand(10, {2000}));
    bars_->render(700);
    EXPECT_NEAR(bars_->bars()[0].position, wrapped(before[0].position + 0.2f * before[0].speed, 0.05f), 1e-5f);
}

TEST_F(BarsTest, RenderLeavesTheCommonState)
{
    bars_->render(10);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[3], 1.0f);
}

// The ring's sprite: an opaque orange square, so every covered pixel is
// orange scaled by the ring's opacity.
class SpriteRingTest : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        GLTest::SetUpTestSuite();
        folder_ = new LooseDataFolder;
        ASSERT_TRUE(writePng(folder_->path("data/textures/particle_black2.png"), 8, 8,
                                 solidPixels(8, 8, {255, 128, 0, 255}), 4));
        folder_->enter();
        ring_ = new SpriteRing;
        folder_->leave();
    }
    static void TearDownTestSuite()
    {
        delete ring_;
        delete folder_;
        GLTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        GLTest::SetUp();
        clearToBlack();
        ring_->start(0);
    }

    // One sprite of 0.1 on a circle of 0.3 around (0.45, 0.45): its quad's
    // centre runs round (0.5, 0.5).
    void singleSprite()
    {
        ring_->command(numericCommand(92, {1}));
        ring_->command(numericCommand(90, {10, 30}));
        ring_->command(numericCommand(91, {45, 45}));
    }

    static inline LooseDataFolder* folder_ = nullptr;
    static inline SpriteRing* ring_ = nullptr;
};

TEST_F(SpriteRingTest, StartSetsTheDefaults)
{
    ring_->command(numericCommand(90, {5, 6}));
    ring_->command(numericCommand(91, {7, 8}));
    EXPECT_FLOAT_EQ(ring_->size(), 0.05f);
    EXPECT_FLOAT_EQ(ring_->radius(), 0.06f);
    EXPECT_FLOAT_EQ(ring_->centreX(), 0.07f);
    EXPECT_FLOAT_EQ(ring_->centreY(), 0.08f);
    ring_->start(10);
    EXPECT_FLOAT_EQ(ring_->size(), 0.1f);
    EXPECT_FLOAT_EQ(ring_->radius(), 0.4f);
    EXPECT_FLOAT_EQ(ring_->centreX(), 1.0f);
    EXPECT_FLOAT_EQ(ring_->centreY(), 1.0f);
    EXPECT_EQ(ring_->localTime(), 0);
}

TEST_F(SpriteRingTest, TheRingTurnsOneRadianPerDuration)
{
    singleSprite();
    ring_->render(0);  // angle 0: below the centre (y down)
    Rgba below = readPixelFromTop(320, 384);
    EXPECT_EQ(below.r, 255);
    EXPECT_NEAR(below.g, 128, 2);
    EXPECT_EQ(below.b, 0);
    EXPECT_EQ(readPixelFromTop(512, 240).r, 0);

    clearToBlack();
    ring_->render(157);  // a quarter turn at the default duration of 100 ms
    EXPECT_EQ(readPixelFromTop(320, 384).r, 0);
    EXPECT_EQ(readPixelFromTop(512, 240).r, 255);

    // With a duration of 200 ms the same quarter turn takes twice as long.
    ring_->command(numericCommand(10, {200}));
    clearToBlack();
    ring_->render(157);
    const float a = 157.0f / 200.0f;
    const int x = static_cast<int>((std::sin(a) * 0.3f + 0.5f) * width);
    const int y = static_cast<int>((std::cos(a) * 0.3f + 0.5f) * height);
    EXPECT_EQ(readPixelFromTop(x, y).r, 255);
    EXPECT_EQ(readPixelFromTop(512, 240).r, 0);
}

TEST_F(SpriteRingTest, SpritesAreSpreadEvenlyAndTakeTheRingOpacity)
{
    singleSprite();
    ring_->command(numericCommand(92, {4}));
    ring_->command(numericCommand(118, {128}));
    ring_->render(0);
    const float alpha = 128.0f / 255.0f;
    // Angles 0, 90, 180 and 270 degrees: below, right, above, left.
    const int spots[4][2] = {{320, 384}, {512, 240}, {320, 96}, {128, 240}};
    for (const auto& spot : spots) {
        const Rgba pixel = readPixelFromTop(spot[0], spot[1]);
        EXPECT_NEAR(pixel.r, 255.0f * alpha, 2.0f);
        EXPECT_NEAR(pixel.g, 128.0f * alpha, 2.0f);
    }
    EXPECT_EQ(readPixelFromTop(320, 240).r, 0);
    EXPECT_FLOAT_EQ(ring_->sprites().vertex(4 * 3).a, alpha);
}

TEST_F(SpriteRingTest, CountIsClampedToTheBatchAndZeroDrawsNothing)
{
    ring_->command(numericCommand(92, {150}));
    EXPECT_EQ(ring_->count(), 100);
    ring_->command(numericCommand(92, {-4}));
    EXPECT_EQ(ring_->count(), 0);
    ring_->command(numericCommand(91, {50, 50}));
    ring_->render(40);
    const std::vector<uint8_t> frame = readFrameRgba();
    int lit = 0;
    for (size_t i = 0; i < frame.size(); i += 4)
        lit += frame[i] != 0;
    EXPECT_EQ(lit, 0);

    // A hundred sprites overlap into a closed ring whose quads' centres lie
    // on a circle of 0.4 around (0.55, 0.55); its middle stays black.
    ring_->command(numericCommand(92, {100}));
    ring_->render(40);
    for (int degrees = 0; degrees < 360; degrees += 30) {
        const float a = static_cast<float>(degrees) * 3.14159265f / 180.0f;
        const int x = static_cast<int>((std::sin(a) * 0.4f + 0.55f) * width);
        const int y = static_cast<int>((std::cos(a) * 0.4f + 0.55f) * height);
        EXPECT_EQ(readPixelFromTop(x, y).r, 255) << degrees;
    }
    EXPECT_EQ(readPixelFromTop(352, 264).r, 0);
}

TEST_F(SpriteRingTest, RenderLeavesTheCommonState)
{
    ring_->render(10);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
