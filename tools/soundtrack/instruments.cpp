#include "tools/soundtrack/instruments.h"

#include "tools/soundtrack/arrangement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;
constexpr double kickHz = 2.0 * trackRate / 1024.0;
constexpr double kickDrop = 0.006;  // from the hold's level to the boom
constexpr double boomLevel = 0.4;
constexpr double kickLength = 0.45;

double kickEnvelope(double t)
{
    if (t < 0.002)
        return t / 0.002;
    if (t < kickHold)
        return 1.0;
    if (t < kickHold + kickDrop)
        return 1.0 - (1.0 - boomLevel) * (t - kickHold) / kickDrop;
    return boomLevel * std::exp(-(t - kickHold - kickDrop) / 0.09);
}

// The sizzle rises from half to full over the hold, so that the spectrum
// keeps getting louder while the body is at its loudest and a little
// beyond, then stops fast.
double sizzleEnvelope(double t)
{
    if (t < kickHold)
        return 0.45 + 0.55 * t / kickHold;
    if (t < kickHold + kickDrop)
        return 1.0;
    return std::exp(-(t - kickHold - kickDrop) / 0.003);
}

}  // namespace

void addKick(std::vector<float>& mono, size_t at, const KickSound& kick)
{
    Noise noise(12345);  // every kick sizzles alike
    const double norm = std::tanh(kick.drive);
    double phase = 0.0;
    const size_t length = static_cast<size_t>(kickLength * trackRate);
    for (size_t i = 0; i < length && at + i < mono.size(); ++i) {
        const double t = static_cast<double>(i) / trackRate;
        const double hz = kickHz + (190.0 - kickHz) * std::exp(-t / 0.004);
        phase += twoPi * hz / trackRate;
        // Square while held (many harmonics: a loud spectrum), rounder in
        // the boom.
        const double drive = t < kickHold + kickDrop ? kick.drive : 1.5;
        const double body = std::tanh(drive * std::sin(phase)) / (t < kickHold + kickDrop ? norm : std::tanh(1.5));
        double sample = kick.level * kickEnvelope(t) * body;
        if (kick.sizzle > 0.0)
            sample += kick.sizzle * sizzleEnvelope(t) * (noise.next() < 0.0f ? -1.0 : 1.0);
        mono[at + i] += static_cast<float>(sample);
    }
}

double duckAfterKick(double t, double depth)
{
    if (t < 0.0 || t > 0.4)
        return 1.0;
    const double amount = t < kickHold ? 1.0 : std::exp(-(t - kickHold) / 0.07);
    return 1.0 - depth * amount;
}

void addHat(std::vector<float>& mono, size_t at, double level, Noise& noise)
{
    const size_t length = static_cast<size_t>(0.08 * trackRate);
    float previous = 0.0f, previousDiff = 0.0f;
    for (size_t i = 0; i < length && at + i < mono.size(); ++i) {
        const float n = noise.next();
        const float diff = n - previous;  // twice differentiated: mostly above 8 kHz
        const float high = diff - previousDiff;
        previous = n;
        previousDiff = diff;
        const double t = static_cast<double>(i) / trackRate;
        mono[at + i] += static_cast<float>(level * 0.3 * high * std::exp(-t / 0.018));
    }
}

void addBassNote(std::vector<float>& mono, size_t at, double seconds, double hz, double level)
{
    const size_t length = static_cast<size_t>(seconds * trackRate);
    double phase = 0.0, low = 0.0;
    for (size_t i = 0; i < length && at + i < mono.size(); ++i) {
        const double t = static_cast<double>(i) / trackRate;
        phase += hz / trackRate;
        phase -= std::floor(phase);
        const double saw = 2.0 * phase - 1.0;
        const double cutoff = 0.02 + 0.12 * std::exp(-t / 0.05);  // a filter that closes: a pluck
        low += cutoff * (saw - low);
        const double attack = std::min(1.0, t / 0.004);
        const double release = std::min(1.0, (seconds - t) / 0.01);
        mono[at + i] += static_cast<float>(level * low * attack * release * std::exp(-t / 0.25));
    }
}

void Pad::setChord(const double hz[3])
{
    for (int v = 0; v < 3; ++v)
        hz_[v] = hz[v];
}

void Pad::next(double level, float& left, float& right)
{
    double sum[2] = {};
    for (int v = 0; v < 3; ++v) {
        for (int side = 0; side < 2; ++side) {
            const double detune = side == 0 ? 0.9985 : 1.0015;
            double& p = phase_[v][side];
            p += hz_[v] * detune / trackRate;
            p -= std::floor(p);
            sum[side] += 2.0 * p - 1.0;
        }
    }
    lowLeft_ += 0.06 * (sum[0] - lowLeft_);
    lowRight_ += 0.06 * (sum[1] - lowRight_);
    left = static_cast<float>(level * 0.07 * lowLeft_);
    right = static_cast<float>(level * 0.07 * lowRight_);
}
