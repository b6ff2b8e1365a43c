#pragma once
// The instruments of the soundtrack, each adding its sound into a buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

// A small deterministic noise source (a linear congruential generator), so
// that the track is the same on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    // Uniform in -1..1.
    float next()
    {
        state_ = state_ * 1664525u + 22695477u;
        return static_cast<float>(state_ >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }

private:
    uint32_t state_;
};

struct KickSound {
    double level = 1.0;    // amplitude of the body
    double drive = 3.0;    // saturation of the body: higher is squarer
    double sizzle = 0.0;   // amplitude of the noise that swells over the body
};

// Length of the body at full level, in seconds. The beat detector sees the
// kick during this time, while the sizzle rises.
constexpr double kickHold = 0.070;

// A kick drum starting at sample `at`: a pitch drop onto 86.13 Hz (a bin
// of the spectrum) held at full level, then a short boom. mono += sound.
void addKick(std::vector<float>& mono, size_t at, const KickSound& kick);
// How far the other parts duck under a kick begun `t` seconds ago (1: not).
double duckAfterKick(double t, double depth);
// A closed hi-hat: high-passed noise with a short decay.
void addHat(std::vector<float>& mono, size_t at, double level, Noise& noise);
// One bass note of `seconds` length: a filtered saw with a plucked envelope.
void addBassNote(std::vector<float>& mono, size_t at, double seconds, double hz, double level);

// A sustained detuned-saw chord pad whose notes change at chord changes
// without clicks.
class Pad {
public:
    // The chord from now on: three frequencies in Hz.
    void setChord(const double hz[3]);
    // The next sample of the left and right channel at the given level.
    void next(double level, float& left, float& right);

private:
    double hz_[3] = {220.0, 261.63, 329.63};
    double phase_[3][2] = {};
    double lowLeft_ = 0.0, lowRight_ = 0.0;
};
