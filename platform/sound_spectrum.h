#pragma once
// Magnitude spectra of the music: 1024 mono samples in, 512 magnitudes out.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sound_decoder.h"

namespace platform {

constexpr int spectrumWindow = 1024;
constexpr int spectrumSize = 512;

// Hann-windowed real FFT scaled so that a full-scale sine centred on bin k
// gives 1.0 at k; values clamped to 0..1, bin 0 (DC) first.
class SpectrumAnalyser {
public:
    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // samples: spectrumWindow values in -1..1, oldest first; out: spectrumSize.
    void compute(const float* samples, float* out);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Mono mix of interleaved 16-bit stereo frames as -1..1 floats.
void mixToMono(const int16_t* frames, long count, float* out);

// The spectrum of a track at any position, decoded from the file without
// playing it: what the device spectrum would show when playback has reached
// that position (the 1024 frames before it; silence before the start).
class TrackSpectrum {
public:
    // False when the file cannot be opened as a track.
    bool open(const std::string& path);
    // The 512 values at ms, or null past the end of the track or when no
    // track is open. The array stays valid until the next call.
    const float* at(int64_t ms);

private:
    OggDecoder decoder_;
    SpectrumAnalyser analyser_;
    std::array<float, spectrumSize> values_{};
};

}  // namespace platform
