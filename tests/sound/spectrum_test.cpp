// The spectrum analyser against signals whose spectrum is known.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/sound_spectrum.h"

namespace {

std::vector<float> sine(double bin, double amplitude)
{
    std::vector<float> samples(platform::spectrumWindow);
    for (int i = 0; i < platform::spectrumWindow; ++i)
        samples[i] = static_cast<float>(amplitude *
                                        std::sin(2.0 * std::numbers::pi * bin * i / platform::spectrumWindow + 0.3));
    return samples;
}

TEST(Spectrum, FullScaleSinePeaksAtItsBinNearOne)
{
    platform::SpectrumAnalyser analyser;
    std::vector<float> out(platform::spectrumSize, -1.0f);
    for (int bin : {2, 40, 300, 500}) {
        analyser.compute(sine(bin, 1.0).data(), out.data());
        EXPECT_NEAR(out[bin], 1.0f, 0.01f) << "bin " << bin;
        EXPECT_NEAR(out[bin - 1], 0.5f, 0.01f);
        EXPECT_NEAR(out[bin + 1], 0.5f, 0.01f);
        for (int k = 0; k < platform::spectrumSize; ++k) {
            if (std::abs(k - bin) > 1) {
                EXPECT_LT(out[k], 0.001f) << "bin " << bin << " leaks into " << k;
            }
        }
    }
}

TEST(Spectrum, ScalesWithAmplitudeAndClampsToOne)
{
    platform::SpectrumAnalyser analyser;
    std::vector<float> out(platform::spectrumSize);
    analyser.compute(sine(64, 0.25).data(), out.data());
    EXPECT_NEAR(out[64], 0.25f, 0.005f);
    // A sampled square wave of period 16 has odd harmonics n of amplitude
    // 1 / (4 sin(n pi / 16)): the fundamental (1.28) is clamped to 1.
    std::vector<float> square(platform::spectrumWindow);
    for (int i = 0; i < platform::spectrumWindow; ++i)
        square[i] = (i / 8) % 2 == 0 ? 1.0f : -1.0f;
    analyser.compute(square.data(), out.data());
    EXPECT_EQ(out[64], 1.0f);
    EXPECT_NEAR(out[3 * 64], 1.0 / (4.0 * std::sin(3.0 * std::numbers::pi / 16.0)), 0.005);
}

TEST(Spectrum, SilenceGivesZeros)
{
    platform::SpectrumAnalyser analyser;
    std::vector<float> silence(platform::spectrumWindow, 0.0f);
    std::vector<float> out(platform::spectrumSize, 1.0f);
    analyser.compute(silence.data(), out.data());
    for (float v : out)
        EXPECT_EQ(v, 0.0f);
}

TEST(Spectrum, MonoMixAveragesTheChannels)
{
    const int16_t frames[] = {32767, 32767, -32768, 0, 1000, -1000};
    float mono[3];
    platform::mixToMono(frames, 3, mono);
    EXPECT_NEAR(mono[0], 1.0f, 1e-4f);
    EXPECT_NEAR(mono[1], -0.5f, 1e-4f);
    EXPECT_EQ(mono[2], 0.0f);
}

}  // namespace
