// The demo clock against a simulated sound device: callbacks with a known
// latency, rate error and jitter, and the listener's true position to
// compare with. No device and no window: the steady clock is a manual one.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "shell/heard_position.h"
#include "shell/show_clock.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A clock in microseconds that tests move by fractions of a millisecond.
class MicroClock final : public platform::Clock {
public:
    int64_t frequency() const override { return 1000000; }
    int64_t counter() const override { return static_cast<int64_t>(std::llround(ms * 1000.0)); }
    double ms = 0.0;
};

// A device playing the track from `startMs` of track time, begun at steady
// time `beganMs`: it asks for 1024 frames every 1024 / 44.1 ms of its own
// clock (rate times the nominal), each callback late by up to `jitterMs`,
// and the listener hears each frame latencyMs after its buffer was asked
// for.
struct SimulatedDevice {
    double beganMs = 0.0;
    double startMs = 0.0;
    double rate = 1.0;
    double latencyMs = 46.0;
    double jitterMs = 0.0;
    double stallFromMs = -1.0;  // the device takes nothing in [stallFrom, stallFrom + stallLength)
    double stallLengthMs = 0.0;
    int64_t next = 0;           // the next callback's number
    std::mt19937 random{7};

    static constexpr int frames = 1024;
    double bufferMs() const { return frames / 44.1 / rate; }
    double stalled(double atMs) const
    {
        return stallFromMs >= 0.0 && atMs >= stallFromMs ? std::min(stallLengthMs, atMs - stallFromMs) : 0.0;
    }
    // When callback n is due on the steady clock (without jitter).
    double dueMs(int64_t n) const
    {
        const double plain = beganMs + static_cast<double>(n) * bufferMs();
        return plain + (stallFromMs >= 0.0 && plain >= stallFromMs ? stallLengthMs : 0.0);
    }
    // The true track position heard at steady time t.
    double truthMs(double t) const
    {
        const double played = std::max(0.0, t - beganMs - latencyMs - stalled(t - latencyMs));
        return startMs + played * rate;
    }
    // Runs every callback due by steady time t into `heard`.
    void runUntil(double t, HeardPosition& heard)
    {
        std::uniform_real_distribution<double> late(0.0, jitterMs);
        while (dueMs(next) <= t) {
            const double at = dueMs(next) + (jitterMs > 0.0 ? late(random) : 0.0);
            const auto first = static_cast<int64_t>(std::llround(startMs * 44.1)) + next * frames;
            heard.addCallback(at, first, frames);
            ++next;
        }
    }
};

// The player's side: a frame loop reading the clock with what is heard.
struct Player {
    MicroClock steady;
    ShowClock clock{steady};
    HeardPosition heard;
    SimulatedDevice device;

    void start(double trackMs, double latencyMs)
    {
        heard.setLatencyMs(latencyMs);
        heard.clear();
        device.startMs = trackMs;
        device.beganMs = steady.ms;
        device.next = 0;
        clock.moveTo(trackMs, false);
    }
    double frame(double frameMs)
    {
        steady.ms += frameMs;
        device.runUntil(steady.ms, heard);
        return clock.tick(heard.at(steady.ms), true, heard.pace());
    }
};

TEST(ShowClockAlone, RunsOnItsClockHoldsWhenPausedAndMovesOnlyByTransport)
{
    MicroClock steady;
    steady.ms = 123456.0;
    ShowClock clock(steady);
    clock.moveTo(5000.0, false);
    EXPECT_EQ(clock.now(), 5000.0);
    steady.ms += 1.0;
    EXPECT_EQ(clock.tick(std::nullopt, false), 5001.0) << "without music the time runs free from the start";
    steady.ms += 0.25;
    EXPECT_DOUBLE_EQ(clock.tick(std::nullopt, false), 5001.25) << "fractions are kept";
    clock.moveTo(5001.25, true);
    steady.ms += 5000.0;
    EXPECT_EQ(clock.tick(std::nullopt, false), 5001.25);
    EXPECT_TRUE(clock.paused());
    clock.moveTo(9000.0, true);  // a jump while paused stays paused there
    steady.ms += 700.0;
    EXPECT_EQ(clock.tick(std::nullopt, false), 9000.0);
    clock.moveTo(9000.0, false);
    steady.ms += 40.0;
    EXPECT_EQ(clock.tick(std::nullopt, false), 9040.0);
    clock.moveTo(-2000.0, false);  // a negative time reads negative until time passes
    steady.ms += 1500.0;
    EXPECT_EQ(clock.tick(std::nullopt, false), -500.0);
}

TEST(ShowClockAlone, WaitsForTheMusicToBeHeardAtTheTargetThenGoesOnFromIt)
{
    MicroClock steady;
    ShowClock clock(steady);
    clock.moveTo(20000.0, false);
    steady.ms += 16.0;
    EXPECT_EQ(clock.tick(std::nullopt, true), 20000.0) << "no callback yet";
    steady.ms += 16.0;
    EXPECT_EQ(clock.tick(19970.0, true), 20000.0) << "still in the latency";
    EXPECT_TRUE(clock.waiting());
    steady.ms += 16.0;
    EXPECT_EQ(clock.tick(20003.0, true), 20003.0) << "released where the music is";
    EXPECT_FALSE(clock.waiting());
    // A device that never plays does not hold the show for good.
    clock.moveTo(30000.0, false);
    for (int i = 0; i < 70; ++i) {
        steady.ms += 16.0;
        clock.tick(std::nullopt, true);
    }
    EXPECT_FALSE(clock.waiting());
    EXPECT_GT(clock.now(), 30000.0);
}

TEST(ShowClockWithDevice, LocksOntoASteadyDeviceWithItsLatency)
{
    Player player;
    player.start(10000.0, 46.0);
    double previous = player.clock.now();
    for (int i = 0; i < 60 * 20; ++i) {
        const double t = player.frame(1000.0 / 60.0);
        ASSERT_GE(t, previous);
        previous = t;
        if (i > 30) {
            ASSERT_LE(std::abs(t - player.device.truthMs(player.steady.ms)), 2.0) << "frame " << i;
        }
    }
}

// A sound card's clock off the system's by 300 ppm either way, over the
// length of the show: the picture stays within 3 ms of the sound and each
// frame's step stays within 1 % of the time elapsed.
TEST(ShowClockWithDevice, FollowsADriftingDeviceOverTheWholeShow)
{
    for (double rate : {1.0003, 0.9997}) {
        Player player;
        player.device.rate = rate;
        player.start(0.0, 46.0);
        double previous = player.clock.now();
        double worst = 0.0;
        const double frameMs = 1000.0 / 60.0;
        for (int i = 0; i < 60 * 287; ++i) {
            const double t = player.frame(frameMs);
            ASSERT_GE(t, previous);
            if (i > 60) {
                ASSERT_LE(std::abs((t - previous) - frameMs), 0.01 * frameMs) << "frame " << i;
                worst = std::max(worst, std::abs(t - player.device.truthMs(player.steady.ms)));
            }
            previous = t;
        }
        EXPECT_LE(worst, 3.0) << "rate " << rate;
    }
}

// A card several per cent off (a disk "card" that takes each buffer late,
// a resampling Bluetooth link): the picture follows its pace, and stays on
// the sound without stepping.
TEST(ShowClockWithDevice, FollowsACardFarOffThePaceOfTheSystemClock)
{
    for (double rate : {0.95, 1.05}) {
        Player player;
        player.device.rate = rate;
        player.device.latencyMs = 23.0;
        player.start(0.0, 23.0);
        double previous = player.clock.now();
        double worst = 0.0;
        for (int i = 0; i < 60 * 60; ++i) {
            const double t = player.frame(1000.0 / 60.0);
            ASSERT_GE(t, previous);
            previous = t;
            // The first callbacks are fitted at the nominal pace; the phase
            // that cost is slewed away within seconds.
            if (i > 60 * 10)
                worst = std::max(worst, std::abs(t - player.device.truthMs(player.steady.ms)));
        }
        EXPECT_LE(worst, 3.0) << "rate " << rate;
        EXPECT_NEAR(player.heard.pace(), rate, 0.001);
    }
}

TEST(ShowClockWithDevice, CallbackJitterDoesNotShakeThePicture)
{
    Player player;
    player.device.jitterMs = 8.0;  // +-4 ms about the mean lateness
    player.start(5000.0, 46.0);
    const double frameMs = 1000.0 / 60.0;
    double previous = player.clock.now();
    for (int i = 0; i < 60 * 30; ++i) {
        const double t = player.frame(frameMs);
        if (i > 60) {
            ASSERT_LE(std::abs((t - previous) - frameMs), 1.0) << "frame " << i;
        }
        previous = t;
    }
    EXPECT_LE(std::abs(previous - player.device.truthMs(player.steady.ms)), 6.0);
}

TEST(ShowClockWithDevice, AStalledDeviceNeverLeavesThePictureFarAheadOrRunsItBack)
{
    Player player;
    player.device.stallFromMs = 3000.0;
    player.device.stallLengthMs = 200.0;
    player.start(0.0, 46.0);
    double previous = player.clock.now();
    double lockedAgainAt = -1.0;
    for (int i = 0; i < 60 * 8; ++i) {
        const double t = player.frame(1000.0 / 60.0);
        ASSERT_GE(t, previous) << "frame " << i;
        previous = t;
        const double ahead = t - player.device.truthMs(player.steady.ms);
        ASSERT_LE(ahead, 150.0 + 1000.0 / 60.0) << "frame " << i;
        if (player.steady.ms > 3200.0 && lockedAgainAt < 0.0 && std::abs(ahead) <= 2.0)
            lockedAgainAt = player.steady.ms;
    }
    ASSERT_GT(lockedAgainAt, 0.0);
    EXPECT_LE(lockedAgainAt - 3200.0, 1000.0);
}

// Pause and resume at random points: each resume is a transport to the held
// time, and the picture is on the sound again right after it.
TEST(ShowClockWithDevice, PauseAndResumeFiftyTimesStayOnTheSound)
{
    Player player;
    player.start(0.0, 46.0);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> frames(5, 200);
    for (int cycle = 0; cycle < 50; ++cycle) {
        for (int i = frames(random); i > 0; --i)
            player.frame(1000.0 / 60.0);
        const double held = player.clock.now();
        player.clock.moveTo(held, true);
        for (int i = frames(random); i > 0; --i)
            EXPECT_EQ(player.frame(1000.0 / 60.0), held);
        player.start(held, 46.0);
        for (int i = 0; i < 20; ++i)
            player.frame(1000.0 / 60.0);
        ASSERT_LE(std::abs(player.clock.now() - player.device.truthMs(player.steady.ms)), 2.0) << "cycle " << cycle;
    }
}

TEST(HeardPositionAlone, AveragesCallbacksSubtractsTheLatencyAndStopsAtWhatWasGiven)
{
    HeardPosition heard;
    EXPECT_FALSE(heard.at(0.0).has_value());
    heard.setLatencyMs(20.0);
    // Callbacks of 441 frames (10 ms) at 1000, 1010 (2 ms late), 1020.
    heard.addCallback(1000.0, 44100, 441);
    heard.addCallback(1012.0, 44541, 441);
    heard.addCallback(1020.0, 44982, 441);
    // Offsets 0, -2, 0 ms: average -2/3; at 1025 the track is at 1025 - 0.67 - 20.
    ASSERT_TRUE(heard.at(1025.0).has_value());
    EXPECT_NEAR(*heard.at(1025.0), 1025.0 - 2.0 / 3.0 - 20.0, 1e-9);
    // Never past the last buffer and one more, whatever the steady time.
    EXPECT_NEAR(*heard.at(5000.0), 1040.0 - 20.0, 1e-9);
    // A callback far off the average (an underrun) starts the average anew.
    heard.addCallback(1230.0, 45423, 441);
    EXPECT_NEAR(*heard.at(1231.0), 1030.0 + 1.0 - 20.0, 1e-9);
    heard.clear();
    EXPECT_FALSE(heard.at(1231.0).has_value());
}

}  // namespace
