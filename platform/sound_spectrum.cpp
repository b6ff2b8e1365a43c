#include "platform/sound_spectrum.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace platform {

struct SpectrumAnalyser::State {
    kiss_fftr_cfg config = nullptr;
    std::vector<float> window;
    std::vector<float> input;
    std::vector<kiss_fft_cpx> output;
    float scale = 0.0f;
};

SpectrumAnalyser::SpectrumAnalyser() : state_(std::make_unique<State>())
{
    state_->config = kiss_fftr_alloc(spectrumWindow, 0, nullptr, nullptr);
    state_->window.resize(spectrumWindow);
    state_->input.resize(spectrumWindow);
    state_->output.resize(spectrumWindow / 2 + 1);
    double windowSum = 0.0;
    for (int i = 0; i < spectrumWindow; ++i) {
        // Periodic Hann: a sine centred on a bin leaks only into its two
        // neighbours, so the loudest bin reads the sine's amplitude.
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / spectrumWindow);
        state_->window[i] = static_cast<float>(w);
        windowSum += w;
    }
    state_->scale = static_cast<float>(2.0 / windowSum);
}

SpectrumAnalyser::~SpectrumAnalyser() { kiss_fftr_free(state_->config); }

void SpectrumAnalyser::compute(const float* samples, float* out)
{
    for (int i = 0; i < spectrumWindow; ++i)
        state_->input[i] = samples[i] * state_->window[i];
    kiss_fftr(state_->config, state_->input.data(), state_->output.data());
    for (int k = 0; k < spectrumSize; ++k) {
        const kiss_fft_cpx c = state_->output[k];
        const float magnitude = std::sqrt(c.r * c.r + c.i * c.i) * state_->scale;
        out[k] = std::clamp(magnitude, 0.0f, 1.0f);
    }
}

void mixToMono(const int16_t* frames, long count, float* out)
{
    for (long i = 0; i < count; ++i)
        out[i] = (static_cast<float>(frames[2 * i]) + static_cast<float>(frames[2 * i + 1])) / 65536.0f;
}

bool TrackSpectrum::open(const std::string& path) { return decoder_.open(path); }

const float* TrackSpectrum::at(int64_t ms)
{
    if (!decoder_.isOpen())
        return nullptr;
    const int64_t end = ms * soundRate / 1000;
    if (end < 0 || end > decoder_.lengthFrames())
        return nullptr;
    const int64_t begin = std::max<int64_t>(0, end - spectrumWindow);
    const long wanted = static_cast<long>(end - begin);
    std::vector<int16_t> frames(static_cast<size_t>(spectrumWindow) * 2, 0);
    std::vector<float> mono(spectrumWindow, 0.0f);
    if (wanted > 0) {
        if (!decoder_.seekFrame(begin))
            return nullptr;
        const long got = decoder_.read(frames.data(), wanted);
        if (got < 0)
            return nullptr;
        // Right-aligned: the window ends at the position, silence before it.
        mixToMono(frames.data(), got, mono.data() + (spectrumWindow - wanted));
    }
    analyser_.compute(mono.data(), values_.data());
    return values_.data();
}

}  // namespace platform
