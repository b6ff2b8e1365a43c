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

bool TrackSpectrum::open(const std::string& path)
{
    mono_.clear();
    monoStart_ = 0;
    return decoder_.open(path);
}

bool TrackSpectrum::decodeSpan(int64_t begin, int64_t end)
{
    const int64_t monoEnd = monoStart_ + static_cast<int64_t>(mono_.size());
    const bool continues = !mono_.empty() && begin >= monoStart_ && begin <= monoEnd &&
                           decoder_.positionFrame() == monoEnd;
    if (continues) {
        mono_.erase(mono_.begin(), mono_.begin() + (begin - monoStart_));
    } else {
        mono_.clear();
        if (!decoder_.seekFrame(begin))
            return false;
    }
    monoStart_ = begin;
    const int64_t have = monoStart_ + static_cast<int64_t>(mono_.size());
    if (end <= have)
        return true;
    const long wanted = static_cast<long>(end - have);
    std::vector<int16_t> frames(static_cast<size_t>(wanted) * 2);
    const long got = decoder_.read(frames.data(), wanted);
    if (got != wanted) {
        mono_.clear();
        return false;
    }
    const size_t old = mono_.size();
    mono_.resize(old + static_cast<size_t>(got));
    mixToMono(frames.data(), got, mono_.data() + old);
    return true;
}

const float* TrackSpectrum::at(int64_t ms)
{
    if (!decoder_.isOpen())
        return nullptr;
    const int64_t end = ms * soundRate / 1000;
    const int64_t begin = end - spectrumWindow;
    // The part of the window inside the track; the rest is silence.
    const int64_t first = std::clamp<int64_t>(begin, 0, decoder_.lengthFrames());
    const int64_t last = std::clamp<int64_t>(end, 0, decoder_.lengthFrames());
    std::array<float, spectrumWindow> window{};
    if (last > first) {
        if (!decodeSpan(first, last))
            return nullptr;
        std::copy(mono_.begin(), mono_.begin() + (last - first), window.begin() + (first - begin));
    }
    analyser_.compute(window.data(), values_.data());
    return values_.data();
}

}  // namespace platform
