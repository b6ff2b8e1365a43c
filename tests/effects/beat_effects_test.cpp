#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "effects/beat_effects.h"
#include "resources/textures/texture.h"
#include "shell/music.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

// A spectrum the test sets by hand: every bin at `level`, one bin at `peak`.
class FakeSpectrum final : public SpectrumSource {
public:
    void activate() override { ++activations; }
    const float* spectrum(int32_t ms) override
    {
        asked.push_back(ms);
        return silent ? nullptr : values.data();
    }
    void set(float peak, float sum)
    {
        const float rest = (sum - peak) / 511.0f;
        values.fill(rest);
        values[7] = peak;
    }
    std::array<float, 512> values{};
    bool silent = false;
    int activations = 0;
    std::vector<int32_t> asked;
};

// Remembers every command it receives.
class Recorder final : public Effect {
public:
    void start(int32_t) override {}
    void command(Command c) override { received.push_back(c); }
    int count(int code) const
    {
        int n = 0;
        for (const Command& c : received)
            n += c.code == code;
        return n;
    }
    std::vector<Command> received;
};

class BeatTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        registry.set(3, &first);
        registry.set(4, &second);
        detector.start(0);
    }
    // Renders one frame with the given spectrum, at `time` or else at the
    // first time of the next step of the beat rule; true when it was a beat.
    bool frame(float peak, float sum, int32_t time = -1)
    {
        if (time < 0) {
            const int32_t step = last * 60 / 1000 + 1;
            time = (step * 1000 + 59) / 60;
        }
        last = time;
        spectrum.set(peak, sum);
        const int before = first.count(400);
        detector.render(time);
        return first.count(400) > before;
    }
    int32_t last = 0;
    FakeSpectrum spectrum;
    EffectRegistry registry;
    Recorder first, second;
    BeatDetector detector{spectrum, registry};
};

TEST_F(BeatTest, RisingLoudnessFiresOneBeatAndADropRearms)
{
    detector.command(numericCommand(72, {3}));
    EXPECT_TRUE(frame(0.95f, 11.0f, 100));
    EXPECT_FALSE(frame(0.95f, 12.0f));
    EXPECT_FALSE(frame(0.99f, 14.0f));
    EXPECT_FALSE(frame(0.99f, 11.0f)) << "still at or above the beat's sum";
    EXPECT_TRUE(frame(0.99f, 10.9f)) << "below the last beat's sum: re-armed and fired at once";
    EXPECT_FALSE(frame(0.5f, 5.0f)) << "re-armed, but not peaky";
    EXPECT_FALSE(frame(0.95f, 9.0f)) << "not loud";
    EXPECT_TRUE(frame(0.93f, 10.5f));
    EXPECT_EQ(first.received.front().code, 400);
    EXPECT_EQ(first.received.front().args[0], 100);
    EXPECT_EQ(first.received.front().argCount, 1);
}

TEST_F(BeatTest, SendsSumAndHistoryAverageEveryFrameAfterTheBeat)
{
    detector.command(numericCommand(72, {3}));
    frame(0.95f, 20.5f, 5);
    ASSERT_EQ(first.received.size(), 3u);
    EXPECT_EQ(first.received[0].code, 400);
    EXPECT_EQ(first.received[1].code, 402);
    EXPECT_EQ(first.received[1].args[0], 20);
    EXPECT_EQ(first.received[2].code, 401);
    EXPECT_EQ(first.received[2].args[0], 2) << "one sum of 20.5 among ten, truncated";
    for (int i = 0; i < 12; ++i)
        frame(0.1f, 5.5f);
    EXPECT_EQ(first.received.back().args[0], 5) << "the history holds only the last ten sums";
}

TEST_F(BeatTest, SilenceSendsZerosAndNoSpectrumSendsNothing)
{
    detector.command(numericCommand(72, {3}));
    spectrum.values.fill(0.0f);
    detector.render(0);
    ASSERT_EQ(first.received.size(), 2u);
    EXPECT_EQ(first.received[0].args[0], 0);
    EXPECT_EQ(first.received[1].args[0], 0);
    spectrum.silent = true;
    detector.render(50);
    EXPECT_EQ(first.received.size(), 2u);
}

// The rule looks at the music every 1000 / 60 ms of demo time, each look at
// the window ending at its step's time, however the frames fall.
TEST_F(BeatTest, TheRuleStepsAtSixtyAHertzWhateverTheFrames)
{
    detector.command(numericCommand(72, {3}));
    spectrum.set(0.1f, 1.0f);
    detector.render(1000);  // step 60
    spectrum.asked.clear();
    detector.render(1100);  // a 30 fps-like gap and more: steps 61 to 66
    EXPECT_EQ(spectrum.asked, (std::vector<int32_t>{1016, 1033, 1050, 1066, 1083, 1100}));
    spectrum.asked.clear();
    detector.render(1105);  // a 144 fps-like frame inside step 66: no look
    EXPECT_TRUE(spectrum.asked.empty());
    // After a long gap only the last second is looked at.
    detector.render(9000);
    ASSERT_EQ(spectrum.asked.size(), 60u);
    EXPECT_EQ(spectrum.asked.front(), 8016);
    EXPECT_EQ(spectrum.asked.back(), 9000);
    // A beat inside a frame is sent with its step's time.
    spectrum.set(0.95f, 11.0f);
    first.received.clear();
    detector.render(9040);
    ASSERT_FALSE(first.received.empty());
    EXPECT_EQ(first.received.front().code, 400);
    EXPECT_EQ(first.received.front().args[0], 9016);
    EXPECT_EQ(first.count(400), 1) << "a steady loud sound counts once";
    EXPECT_EQ(first.count(402), 1) << "loudness once a frame";
}

TEST_F(BeatTest, TargetsAddedTwiceHearTwiceAndCode73RemovesTheFirst)
{
    for (int slot : {3, 4, 3, 9, 70})
        detector.command(numericCommand(72, {slot}));
    ASSERT_EQ(detector.targets().size(), 3u) << "empty and out-of-range slots add nothing";
    frame(0.95f, 12.0f);
    EXPECT_EQ(first.count(400), 2);
    EXPECT_EQ(first.count(402), 2);
    EXPECT_EQ(second.count(400), 1);
    detector.command(numericCommand(73, {3}));
    EXPECT_EQ(detector.targets(), (std::vector<Effect*>{&second, &first}));
    detector.command(numericCommand(73, {9}));
    EXPECT_EQ(detector.targets().size(), 2u);
    detector.start(0);
    EXPECT_TRUE(detector.targets().empty());
    EXPECT_EQ(spectrum.activations, 2);
}

// A track of 20 ms kicks every 468.75 ms: loud and peaky in the window that
// ends inside a kick, quiet between.
class KickTrack final : public SpectrumSource {
public:
    const float* spectrum(int32_t ms) override
    {
        const double sinceKick = std::fmod(static_cast<double>(ms), 468.75);
        values.fill(sinceKick < 20.0 ? 11.5f / 511.0f : 0.002f);
        values[7] = sinceKick < 20.0 ? 0.97f : 0.1f;
        return values.data();
    }
    std::array<float, 512> values{};
};

// Kicks shorter than a frame at 30 frames a second: the rule on fixed steps
// hears every one at 30, 60 and 144 frames a second.
TEST_F(BeatTest, EveryKickCountsOnceAtAnyFrameRate)
{
    for (const double fps : {30.0, 60.0, 144.0}) {
        KickTrack track;
        BeatDetector kicks(track, registry);
        kicks.start(0);
        kicks.command(numericCommand(72, {3}));
        first.received.clear();
        for (double t = 0.0; t < 30000.0; t += 1000.0 / fps)
            kicks.render(static_cast<int32_t>(t));
        EXPECT_EQ(first.count(400), 64) << fps << " fps: a kick at every 468.75 ms of 30 s";
    }
}

// The rows of a texture that differ between two read-backs.
std::vector<uint8_t> textureBytes(const Texture* texture)
{
    std::vector<uint8_t> bytes(NoiseEffect::size * NoiseEffect::size * 4);
    texture->bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

std::vector<int> changedRows(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after)
{
    std::vector<int> rows;
    const size_t row = NoiseEffect::size * 4;
    for (int y = 0; y < NoiseEffect::size; ++y) {
        if (!std::equal(before.begin() + y * row, before.begin() + (y + 1) * row, after.begin() + y * row))
            rows.push_back(y);
    }
    return rows;
}

class NoiseTest : public GLTest {};

TEST_F(NoiseTest, StreamingRenewsAQuarterPerCallAndAFrameEveryFourth)
{
    NoiseEffect noise;
    noise.command(numericCommand(90, {1}));
    ASSERT_TRUE(noise.streaming());
    const std::array<const Texture*, 4> frames = {noise.frame(0), noise.frame(1), noise.frame(2), noise.frame(3)};
    const Texture* scratch = noise.scratch();
    for (int call = 1; call <= 4; ++call) {
        const std::vector<uint8_t> before = textureBytes(scratch);
        noise.fill();
        const std::vector<int> rows = changedRows(before, textureBytes(scratch));
        const int first = (call % 4) * NoiseEffect::size / 4;
        ASSERT_EQ(rows.size(), 128u) << "call " << call;
        EXPECT_EQ(rows.front(), first) << "call " << call;
        EXPECT_EQ(rows.back(), first + 127) << "call " << call;
        if (call < 4) {
            EXPECT_EQ(noise.index(), call % 4);
            EXPECT_EQ(noise.current(), frames[static_cast<size_t>(call % 4)]);
            EXPECT_EQ(noise.scratch(), scratch);
        }
    }
    // The fourth call completed the scratch picture: it joins the frames at
    // the current slot, whose old texture becomes the next scratch (still
    // shown until the next call moves on).
    EXPECT_EQ(noise.index(), 3);
    EXPECT_EQ(noise.frame(3), scratch);
    EXPECT_EQ(noise.scratch(), frames[3]);
    EXPECT_EQ(noise.current(), frames[3]);
    noise.fill();
    EXPECT_EQ(noise.current(), frames[0]);
}

TEST_F(NoiseTest, OpacityFollowsLoudnessByGainUpToOne)
{
    NoiseEffect noise;
    noise.start(0);
    EXPECT_FLOAT_EQ(noise.alpha(), 0.5f);
    noise.command(numericCommand(402, {300}));
    EXPECT_FLOAT_EQ(noise.alpha(), 1.0f) << "300 x 300 x 1 is far above 1";
    noise.command(numericCommand(91, {1}));
    noise.command(numericCommand(402, {200}));
    EXPECT_FLOAT_EQ(noise.alpha(), 0.5f + 0.4f);
    noise.command(numericCommand(402, {0}));
    EXPECT_FLOAT_EQ(noise.alpha(), 0.5f);
    noise.command(numericCommand(91, {0}));
    for (int loudness : {0, 10, 500, 100000}) {
        noise.command(numericCommand(402, {loudness}));
        EXPECT_FLOAT_EQ(noise.alpha(), 0.5f) << loudness;
    }
    noise.command(numericCommand(118, {51}));
    EXPECT_FLOAT_EQ(noise.alpha(), 0.2f);
    noise.command(numericCommand(402, {77}));
    EXPECT_FLOAT_EQ(noise.alpha(), 0.2f) << "gain 0 keeps colorA's opacity";
}

TEST_F(NoiseTest, DrawsTheNoiseOverTheScreenAtItsOpacity)
{
    NoiseEffect noise;
    noise.start(0);
    noise.command(numericCommand(91, {0}));
    noise.command(numericCommand(118, {255}));
    glViewport(0, 0, 640, 480);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    noise.render(0);
    int grey = 0;
    for (int x = 0; x < 640; x += 16) {
        const Rgba p = readPixelFromTop(x, 200);
        grey += p.r == p.g && p.g == p.b;
    }
    EXPECT_EQ(grey, 40) << "opaque grey noise covers the red";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

class InvertTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        invert.start(0);
    }
    // A screen of known colours, then the effect at `time`.
    Rgba renderAt(int32_t time)
    {
        glViewport(0, 0, 640, 480);
        glClearColor(0.2f, 0.6f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        invert.render(time);
        return readPixelFromTop(320, 240);
    }
    InvertEffect invert;
};

TEST_F(InvertTest, InvertsRightAfterTheBeatAndIsNormalAfter100Ms)
{
    Rgba p = renderAt(1000);
    EXPECT_EQ(p.r, 51);
    EXPECT_EQ(p.g, 153);
    EXPECT_EQ(p.b, 255);
    invert.command(numericCommand(400, {1000}));
    p = renderAt(1001);
    EXPECT_EQ(p.r, 204);
    EXPECT_EQ(p.g, 102);
    EXPECT_EQ(p.b, 0);
    p = renderAt(1090);
    EXPECT_EQ(p.r, 204) << "still inverted late in the flash";
    p = renderAt(1100);
    EXPECT_EQ(p.r, 51);
    EXPECT_EQ(p.g, 153);
    EXPECT_EQ(p.b, 255);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(InvertTest, IgnoresABeatDuringAFlashButFlashesOnTheNext)
{
    invert.command(numericCommand(400, {1000}));
    renderAt(1050);
    invert.command(numericCommand(400, {1050}));
    EXPECT_EQ(renderAt(1100).r, 51) << "the second beat did not extend the flash";
    invert.command(numericCommand(400, {1200}));
    EXPECT_EQ(renderAt(1201).r, 204);
}

}  // namespace
