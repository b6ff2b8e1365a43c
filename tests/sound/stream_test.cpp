// Decoding, seeking and playing a track through the sound device, with the
// disk driver writing what would be heard.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/sound.h"
#include "platform/sound_decoder.h"
#include "platform/sound_spectrum.h"
#include "shell/glwindow.h"
#include "shell/music.h"
#include "tests/support/gl_test.h"
#include "tests/support/temp_dir.h"
#include "tools/soundtrack/ogg_writer.h"

namespace {

constexpr int rate = 44100;
constexpr int toneBin = 100;  // 100 x 44100 / 1024 Hz, on a bin of the spectrum
constexpr int trackSeconds = 62;

// A steady tone at half scale under a quieter rising chirp, so that no
// stretch of the track repeats another.
const std::string& testTrack()
{
    static TempDir dir;
    static std::string path;
    if (path.empty()) {
        const size_t n = static_cast<size_t>(trackSeconds) * rate;
        std::vector<float> left(n), right(n);
        const double toneHz = toneBin * static_cast<double>(rate) / platform::spectrumWindow;
        for (size_t i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double tone = 0.5 * std::sin(2.0 * std::numbers::pi * toneHz * t);
            const double chirp = 0.2 * std::sin(2.0 * std::numbers::pi * (200.0 * t + 40.0 * t * t));
            left[i] = static_cast<float>(tone + chirp);
            right[i] = static_cast<float>(tone - chirp);
        }
        path = (dir.path() / "track.ogg").string();
        if (!writeOgg(path, left, right, 0.6f, 7))
            path.clear();
    }
    return path;
}

std::vector<int16_t> decodeFromStart(const std::string& path, int64_t firstFrame, long frames)
{
    platform::OggDecoder decoder;
    EXPECT_TRUE(decoder.open(path));
    std::vector<int16_t> skipped(8192 * 2);
    for (int64_t left = firstFrame; left > 0;) {
        const long n = static_cast<long>(std::min<int64_t>(left, 8192));
        EXPECT_EQ(decoder.read(skipped.data(), n), n);
        left -= n;
    }
    std::vector<int16_t> wanted(static_cast<size_t>(frames) * 2);
    EXPECT_EQ(decoder.read(wanted.data(), frames), frames);
    return wanted;
}

TEST(Decoder, SeekingIsSampleExact)
{
    const std::string& path = testTrack();
    ASSERT_FALSE(path.empty());
    platform::OggDecoder decoder;
    ASSERT_TRUE(decoder.open(path));
    EXPECT_EQ(decoder.lengthFrames(), static_cast<int64_t>(trackSeconds) * rate);
    ASSERT_TRUE(decoder.seekMilliseconds(60000));
    std::vector<int16_t> sought(4096 * 2);
    ASSERT_EQ(decoder.read(sought.data(), 4096), 4096);
    EXPECT_EQ(sought, decodeFromStart(path, 60000LL * rate / 1000, 4096));
}

TEST(Decoder, RefusesWhatIsNotATrack)
{
    TempDir dir;
    platform::OggDecoder decoder;
    EXPECT_FALSE(decoder.open((dir.path() / "missing.ogg").string()));
    EXPECT_FALSE(decoder.open(dir.write("noise.ogg", std::string(5000, 'x'))));
    EXPECT_FALSE(decoder.isOpen());
    int16_t frames[4];
    EXPECT_EQ(decoder.read(frames, 2), 0);
}

TEST(TrackSpectrum, ShowsTheToneAtAnyPositionAndNothingPastTheEnd)
{
    platform::TrackSpectrum track;
    ASSERT_TRUE(track.open(testTrack()));
    for (int64_t ms : {1000, 30000, 60000}) {
        const float* s = track.at(ms);
        ASSERT_NE(s, nullptr);
        int loudest = 0;
        for (int k = 1; k < platform::spectrumSize; ++k)
            if (s[k] > s[loudest])
                loudest = k;
        EXPECT_EQ(loudest, toneBin) << ms;
        EXPECT_NEAR(s[toneBin], 0.5f, 0.05f) << ms;
    }
    // At 0 ms nothing has been heard yet; past the end the window holds
    // silence: zeros, not "no music".
    for (int64_t ms : {int64_t{0}, int64_t{-500}, int64_t{trackSeconds * 1000 + 24}, int64_t{trackSeconds * 1000 + 5000}}) {
        const float* silent = track.at(ms);
        ASSERT_NE(silent, nullptr) << ms;
        EXPECT_EQ(*std::max_element(silent, silent + platform::spectrumSize), 0.0f) << ms;
    }
}

// Windows asked for in increasing order reuse what was decoded; the values
// are those of a window decoded afresh, at any step.
TEST(TrackSpectrum, StepsInOrderGiveTheSameValuesAsFreshWindows)
{
    platform::TrackSpectrum stepped;
    ASSERT_TRUE(stepped.open(testTrack()));
    for (int64_t ms = 9990; ms < 10400; ms += 7) {
        const float* s = stepped.at(ms);
        ASSERT_NE(s, nullptr);
        const std::vector<float> values(s, s + platform::spectrumSize);
        platform::TrackSpectrum fresh;
        ASSERT_TRUE(fresh.open(testTrack()));
        const float* f = fresh.at(ms);
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(values, std::vector<float>(f, f + platform::spectrumSize)) << ms;
    }
}

// Finds where `wanted` starts in `heard` (stereo frames) at or after frame
// `from`, or -1.
long findFrames(const std::vector<int16_t>& heard, const std::vector<int16_t>& wanted, size_t compared,
                size_t from = 0)
{
    for (size_t at = from * 2; at + compared <= heard.size(); at += 2) {
        if (std::equal(wanted.begin(), wanted.begin() + static_cast<long>(compared), heard.begin() + static_cast<long>(at)))
            return static_cast<long>(at / 2);
    }
    return -1;
}

// What the disk driver wrote, as 16-bit samples.
std::vector<int16_t> readHeard(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<int16_t> heard;
    int16_t sample;
    while (file.read(reinterpret_cast<char*>(&sample), sizeof sample))
        heard.push_back(sample);
    return heard;
}

TEST(Device, PlaysTheDecoderSamplesFromTheSetTime)
{
    TempDir dir;
    const std::string heardPath = (dir.path() / "heard.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heardPath.c_str(), 1);
    std::vector<platform::PlaybackReport> reports;
    ASSERT_TRUE(platform::soundInit());
    EXPECT_FALSE(platform::soundTakeReports(reports)) << "nothing plays yet";
    ASSERT_TRUE(platform::soundOpenStream(testTrack()));
    ASSERT_TRUE(platform::soundTransport(60000, true));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(platform::soundTakeReports(reports)) << "held";
    EXPECT_TRUE(reports.empty()) << "a held stream hands the device nothing";
    ASSERT_TRUE(platform::soundTransport(60000, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_TRUE(platform::soundTakeReports(reports));
    // Each callback reports the frames it took, one after the other from
    // the set time, at increasing steady times.
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().firstFrame, 60000LL * rate / 1000);
    for (size_t i = 1; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].firstFrame, reports[i - 1].firstFrame + reports[i - 1].frames);
        EXPECT_GT(reports[i].steadyNs, reports[i - 1].steadyNs);
    }
    EXPECT_EQ(platform::soundOutputLatencyMs(), 0.0) << "the disk driver writes each buffer at once";
    platform::soundClose();
    EXPECT_FALSE(platform::soundReady());

    const std::vector<int16_t> heard = readHeard(heardPath);
    const long frames = 8192;
    const std::vector<int16_t> wanted = decodeFromStart(testTrack(), 60000LL * rate / 1000, frames);
    const long start = findFrames(heard, wanted, 512);
    ASSERT_GE(start, 0) << "the track at 60 s is not in what was heard (" << heard.size() / 2 << " frames)";
    ASSERT_GE(heard.size(), static_cast<size_t>(start + frames) * 2);
    const std::vector<int16_t> played(heard.begin() + start * 2, heard.begin() + (start + frames) * 2);
    EXPECT_EQ(played, wanted);
    // Before playback started the device was given silence.
    for (long i = 0; i < start * 2; ++i)
        ASSERT_EQ(heard[static_cast<size_t>(i)], 0) << "frame " << i / 2;
}

// Closes the device at the end of a test, however it ends.
struct DeviceClosed {
    ~DeviceClosed() { platform::soundClose(); }
};

// Waits up to five seconds for the stream to stop playing; false if it
// plays on.
bool playbackEnds()
{
    std::vector<platform::PlaybackReport> reports;
    for (int i = 0; i < 250; ++i) {
        if (!platform::soundTakeReports(reports))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// A track shorter than the show: playback stops at its end and the device
// goes on with silence; the spectrum says that nothing plays. A new time,
// even one past the end, is accepted, and the start plays again without
// reopening the stream.
TEST(Device, ATrackThatEndsBeforeTheShowLeavesSilence)
{
    TempDir dir;
    const size_t trackFrames = rate / 2;
    std::vector<float> tone(trackFrames);
    for (size_t i = 0; i < trackFrames; ++i)
        tone[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * static_cast<double>(i) / rate));
    const std::string track = (dir.path() / "short.ogg").string();
    ASSERT_TRUE(writeOgg(track, tone, tone, 0.6f, 11));
    const std::string heardPath = (dir.path() / "heard.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heardPath.c_str(), 1);
    ASSERT_TRUE(platform::soundInit());
    DeviceClosed closeAtEnd;
    ASSERT_TRUE(platform::soundOpenStream(track));
    ASSERT_TRUE(platform::soundTransport(0, false));
    ASSERT_TRUE(playbackEnds()) << "a half-second track still plays after five seconds";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // Past the end there is nothing to play, and nothing fails.
    EXPECT_TRUE(platform::soundTransport(60000, false));
    EXPECT_TRUE(playbackEnds());
    // The start again, on the same stream (heard below).
    ASSERT_TRUE(platform::soundTransport(0, false));
    EXPECT_TRUE(playbackEnds());
    platform::soundClose();

    const std::vector<int16_t> heard = readHeard(heardPath);
    const std::vector<int16_t> whole = decodeFromStart(track, 0, static_cast<long>(trackFrames));
    const long first = findFrames(heard, whole, whole.size());
    ASSERT_GE(first, 0) << "the whole track is not in what was heard";
    const size_t end = static_cast<size_t>(first) + trackFrames;
    const long again = findFrames(heard, whole, 1024, end);
    ASSERT_GT(again, static_cast<long>(end)) << "the start was not heard a second time";
    // Between the end and the replay, silence.
    for (size_t i = end * 2; i < static_cast<size_t>(again) * 2; ++i)
        ASSERT_EQ(heard[i], 0) << "frame " << i / 2 << " after the end of the track";
}

TEST(Device, RefusesStreamsWithoutADevice)
{
    EXPECT_FALSE(platform::soundOpenStream(testTrack()));
    EXPECT_FALSE(platform::soundTransport(0, false));
}

using PlayerMusic = GLTest;

TEST_F(PlayerMusic, PauseHoldsTimeAndMusicAndAJumpMovesTheMusicThere)
{
    TempDir dir;
    const std::string heardPath = (dir.path() / "heard.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heardPath.c_str(), 1);
    std::vector<platform::PlaybackReport> reports;
    ASSERT_TRUE(window().initSound());
    ASSERT_TRUE(window().openMusic(testTrack().c_str()));
    window().transport(10000, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(platform::soundTakeReports(reports));

    window().pause(true);
    EXPECT_TRUE(window().paused());
    clock().advance(3000);
    window().advanceTime();
    EXPECT_EQ(window().timerNow(), 10000);
    reports.clear();
    EXPECT_FALSE(platform::soundTakeReports(reports)) << "paused music plays nothing";
    // A jump while paused is one operation: not a buffer of the new place
    // reaches the device.
    window().transport(30000, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(platform::soundTakeReports(reports)) << "a jump while paused stays paused";
    EXPECT_TRUE(reports.empty());
    window().pause(false);
    EXPECT_FALSE(window().paused());
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(platform::soundTakeReports(reports));

    // The beats of the played music read the track's window at the frame's
    // time, as a render does: the same values as a spectrum of the file.
    platform::TrackSpectrum offline;
    ASSERT_TRUE(offline.open(testTrack()));
    for (int32_t ms : {30000, 30017, 45000, trackSeconds * 1000 + 100}) {
        const float* live = musicSpectrum().spectrum(ms);
        ASSERT_NE(live, nullptr);
        const std::vector<float> heard(live, live + platform::spectrumSize);
        const float* file = offline.at(ms);
        ASSERT_NE(file, nullptr);
        for (int k = 0; k < platform::spectrumSize; ++k)
            ASSERT_NEAR(heard[static_cast<size_t>(k)], file[k], 1e-5f) << ms << " ms, bin " << k;
    }
    window().closeSound();
    EXPECT_EQ(musicSpectrum().spectrum(30000), nullptr) << "no music, no spectrum";
    const std::vector<int16_t> heard = readHeard(heardPath);
    const long frames = 8192;
    const long start = findFrames(heard, decodeFromStart(testTrack(), 30000LL * rate / 1000, frames), 512);
    ASSERT_GE(start, 0) << "the track at 30 s is not in what was heard";
    // While paused the device was given silence: a tenth of a second at least
    // right before the music went on at the jump's time.
    const long silent = rate / 10;
    ASSERT_GE(start, silent);
    for (long i = (start - silent) * 2; i < start * 2; ++i)
        ASSERT_EQ(heard[static_cast<size_t>(i)], 0) << "frame " << i / 2;
}

}  // namespace
