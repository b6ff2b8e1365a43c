// Tracks of other sample rates and channel counts than the device's 44100 Hz
// stereo: decoded at the device's rate, at the right speed and pitch, with
// the spectrum showing what is heard.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "tests/support/temp_dir.h"
#include "tools/soundtrack/ogg_writer.h"

namespace {

constexpr int deviceRate = 44100;
constexpr int toneBin = 100;  // a tone on bin 100 of the device-rate spectrum
constexpr int trackSeconds = 4;
const double toneHz = toneBin * static_cast<double>(deviceRate) / platform::spectrumWindow;

struct Format {
    int rate;
    int channels;
};

void PrintTo(const Format& format, std::ostream* os) { *os << format.rate << " Hz, " << format.channels << " channels"; }

// The tone at half scale in every channel but a 5.1 track's LFE (the last),
// which carries a loud low hum that the stereo mix leaves out.
std::string writeTone(const TempDir& dir, Format format)
{
    const size_t n = static_cast<size_t>(trackSeconds) * static_cast<size_t>(format.rate);
    std::vector<std::vector<float>> channels(static_cast<size_t>(format.channels), std::vector<float>(n));
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / format.rate;
        for (size_t c = 0; c < channels.size(); ++c) {
            const bool lfe = format.channels == 6 && c == 5;
            channels[c][i] = static_cast<float>(lfe ? 0.9 * std::sin(2.0 * std::numbers::pi * 50.0 * t)
                                                    : 0.5 * std::sin(2.0 * std::numbers::pi * toneHz * t));
        }
    }
    const std::string path =
        (dir.path() / ("tone" + std::to_string(format.rate) + "x" + std::to_string(format.channels) + ".ogg")).string();
    return writeOggChannels(path, channels, format.rate, 0.6f, 11) ? path : std::string();
}

// Sign changes of the left channel of interleaved stereo frames.
int zeroCrossings(const std::vector<int16_t>& frames)
{
    int count = 0;
    for (size_t i = 2; i < frames.size(); i += 2)
        count += (frames[i] >= 0) != (frames[i - 2] >= 0) ? 1 : 0;
    return count;
}

class TrackFormats : public ::testing::TestWithParam<Format> {
protected:
    TempDir dir_;
};

TEST_P(TrackFormats, DecodeAtTheDeviceRateWithTheirPitchAndLength)
{
    const std::string path = writeTone(dir_, GetParam());
    ASSERT_FALSE(path.empty()) << "the encoder refused the format";
    platform::OggDecoder decoder;
    ASSERT_TRUE(decoder.open(path));
    EXPECT_NEAR(static_cast<double>(decoder.lengthFrames()), trackSeconds * deviceRate, 1.0);

    // One second from 1 s on: the tone's frequency and level, in both channels.
    ASSERT_TRUE(decoder.seekMilliseconds(1000));
    std::vector<int16_t> second(static_cast<size_t>(deviceRate) * 2);
    ASSERT_EQ(decoder.read(second.data(), deviceRate), deviceRate);
    EXPECT_NEAR(zeroCrossings(second), 2.0 * toneHz, 3.0);
    int16_t peakLeft = 0;
    int16_t peakRight = 0;
    for (size_t i = 0; i < second.size(); i += 2) {
        peakLeft = std::max(peakLeft, second[i]);
        peakRight = std::max(peakRight, second[i + 1]);
    }
    EXPECT_NEAR(peakLeft, 16384, 1500);
    EXPECT_NEAR(peakRight, 16384, 1500);

    // Reading on to the end gives exactly the length.
    long total = deviceRate * 2;
    for (long got = 1; got > 0; total += got)
        got = decoder.read(second.data(), deviceRate);
    EXPECT_EQ(total, decoder.lengthFrames());

    platform::TrackSpectrum spectrum;
    ASSERT_TRUE(spectrum.open(path));
    for (int64_t ms : {1000, 2500}) {
        const float* s = spectrum.at(ms);
        ASSERT_NE(s, nullptr);
        int loudest = 1;
        for (int k = 1; k < platform::spectrumSize; ++k)
            if (s[k] > s[loudest])
                loudest = k;
        EXPECT_EQ(loudest, toneBin) << ms;
        EXPECT_NEAR(s[toneBin], 0.5f, 0.05f) << ms;
    }
}

INSTANTIATE_TEST_SUITE_P(RatesAndChannels, TrackFormats,
                         ::testing::Values(Format{48000, 1}, Format{22050, 2}, Format{48000, 2}, Format{44100, 6},
                                           Format{32000, 3}),
                         [](const auto& info) {
                             return std::to_string(info.param.rate) + "Hz" + std::to_string(info.param.channels) +
                                    "ch";
                         });

TEST(TrackFormatsDevice, A48kHzTrackPlaysWhatTheDecoderGives)
{
    TempDir dir;
    const std::string path = writeTone(dir, {48000, 1});
    ASSERT_FALSE(path.empty());
    const std::string heardPath = (dir.path() / "heard.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heardPath.c_str(), 1);
    ASSERT_TRUE(platform::soundInit());
    ASSERT_TRUE(platform::soundOpenStream(path));
    ASSERT_TRUE(platform::soundTransport(1000, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    std::vector<platform::PlaybackReport> reports;
    ASSERT_TRUE(platform::soundTakeReports(reports));
    platform::soundClose();

    std::ifstream file(heardPath, std::ios::binary);
    std::vector<int16_t> heard;
    int16_t sample;
    while (file.read(reinterpret_cast<char*>(&sample), sizeof sample))
        heard.push_back(sample);
    platform::OggDecoder decoder;
    ASSERT_TRUE(decoder.open(path));
    ASSERT_TRUE(decoder.seekMilliseconds(1000));
    const long frames = deviceRate / 10;
    std::vector<int16_t> wanted(static_cast<size_t>(frames) * 2);
    ASSERT_EQ(decoder.read(wanted.data(), frames), frames);
    const auto start = std::search(heard.begin(), heard.end(), wanted.begin(), wanted.begin() + 512);
    ASSERT_NE(start, heard.end()) << "the track at 1 s is not in what was heard";
    ASSERT_EQ((start - heard.begin()) % 2, 0);
    ASSERT_GE(heard.end() - start, static_cast<long>(wanted.size()));
    EXPECT_TRUE(std::equal(wanted.begin(), wanted.end(), start));
}

}  // namespace
