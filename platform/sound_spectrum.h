#pragma once
// Magnitude spectra of the music: 1024 mono samples in, 512 magnitudes out.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
// playing it: of the 1024 frames that end at that position, silence before
// the track's start and after its end.
class TrackSpectrum {
public:
    // False when the file cannot be opened as a track.
    bool open(const std::string& path);
    // The 512 values at ms (all 0 where the window holds only silence), or
    // null when no track is open or the file is damaged there. The array
    // stays valid until the next call. Positions asked for in increasing
    // order decode each frame once.
    const float* at(int64_t ms);
    // The open track's length in ms (rounded down); 0 when none is open.
    int64_t lengthMs() const { return decoder_.lengthFrames() * 1000 / soundRate; }

private:
    // Makes mono_ hold the track's frames [begin, end) (both within the
    // track), decoding only what the last call did not; false on a damaged
    // stream.
    bool decodeSpan(int64_t begin, int64_t end);

    OggDecoder decoder_;
    SpectrumAnalyser analyser_;
    std::array<float, spectrumSize> values_{};
    std::vector<float> mono_;  // track frames from monoStart_ on, mono
    int64_t monoStart_ = 0;
};

}  // namespace platform
