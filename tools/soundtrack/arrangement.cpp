#include "tools/soundtrack/arrangement.h"

#include "tools/soundtrack/instruments.h"

#include <algorithm>
#include <cmath>

namespace {

// Body and sizzle of the loud kick: loud enough in the spectrum for a beat
// (loudest bin above 0.92, sum above 10) while the mix stays within -1..1.
constexpr KickSound loudKick{0.75, 60.0, 0.24};
constexpr KickSound softKick{0.35, 1.0, 0.0};

// A minor, F, C, G: two bars each.
constexpr double chords[4][3] = {{220.00, 261.63, 329.63},
                                 {174.61, 220.00, 261.63},
                                 {261.63, 329.63, 392.00},
                                 {196.00, 246.94, 293.66}};
constexpr double bassRoots[4] = {55.00, 43.65, 65.41, 49.00};

double ramp(double t, double from, double to) { return std::clamp((t - from) / (to - from), 0.0, 1.0); }

int chordAt(double t)
{
    const double beats = std::floor((t - firstBeat) / beatSeconds);
    const int bar2 = static_cast<int>(std::floor(beats / 8.0));
    return ((bar2 % 4) + 4) % 4;
}

size_t sampleAt(double t) { return static_cast<size_t>(std::max(0.0, t) * trackRate + 0.5); }

}  // namespace

SectionLevels levelsAt(double t)
{
    SectionLevels l;
    if (t < 16.0) {  // opening: pads out of silence, then hats
        l.pads = ramp(t, 0.0, 8.0);
        l.hats = t >= 8.0 ? 0.5 : 0.0;
    } else if (t < 48.0) {  // the pulse arrives
        l = {1.0, 0.0, 1.0, 1.0, false, 0.8};
    } else if (t < 50.0) {  // a breath before the second movement
        l.pads = 1.0;
        l.hats = 0.5;
    } else if (t < 100.0) {  // second movement
        l = {1.0, 0.0, 1.0, 1.0, false, 0.8};
    } else if (t < 150.0) {  // breath: soft kick under the pads
        l.pads = 1.0;
        l.softKick = t >= 108.0 && t < 146.0 ? 1.0 : 0.0;
        l.hats = t >= 116.0 && t < 146.0 ? 0.4 : 0.0;
        l.bass = t >= 124.0 && t < 146.0 ? 0.5 : 0.0;
    } else if (t < 210.0) {  // third movement, sixteenth hats
        l = {1.0, 0.0, 1.0, 1.0, true, 0.7};
    } else if (t < 215.0) {
        l.pads = 1.0;
    } else {  // coda: still water
        l.pads = 1.0 - ramp(t, 268.0, 289.0);
        l.softKick = t < 245.0 ? 0.8 : 0.0;
        l.hats = t < 245.0 ? 0.3 : 0.0;
    }
    return l;
}

void renderTrack(std::vector<float>& left, std::vector<float>& right)
{
    const size_t n = static_cast<size_t>(trackSeconds * trackRate);
    std::vector<float> kick(n, 0.0f), others(n, 0.0f);
    std::vector<float> duck(n, 1.0f);
    Noise hatNoise(777);

    for (int b = 0;; ++b) {
        const double t = firstBeat + b * beatSeconds;
        if (t >= trackSeconds)
            break;
        const SectionLevels l = levelsAt(t);
        const size_t at = sampleAt(t);
        if (l.loudKick > 0.0) {
            addKick(kick, at, loudKick);
            for (size_t i = at; i < n && i < at + sampleAt(0.4); ++i)
                duck[i] = static_cast<float>(std::min<double>(duck[i], duckAfterKick((i - at) / double(trackRate), 0.9)));
        } else if (l.softKick > 0.0) {
            KickSound soft = softKick;
            soft.level *= l.softKick;
            addKick(kick, at, soft);
        }
        for (int q = 0; q < 4; ++q) {  // quarters of the beat
            const double tq = t + q * beatSeconds / 4.0;
            if (l.hats > 0.0 && (q == 2 || (l.fastHats && q != 0)))
                addHat(others, sampleAt(tq), l.hats * (q == 2 ? 1.0 : 0.5), hatNoise);
        }
        if (l.bass > 0.0) {  // off-beat eighths on the chord's root
            const double root = bassRoots[chordAt(t)];
            addBassNote(others, sampleAt(t + beatSeconds / 2.0), beatSeconds / 2.0, root, 0.5 * l.bass);
        }
    }

    left.assign(n, 0.0f);
    right.assign(n, 0.0f);
    Pad pad;
    int chord = -1;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / trackRate;
        if (chordAt(t) != chord) {
            chord = chordAt(t);
            pad.setChord(chords[chord]);
        }
        float padLeft = 0.0f, padRight = 0.0f;
        pad.next(levelsAt(t).pads, padLeft, padRight);
        for (int side = 0; side < 2; ++side) {
            double v = kick[i] + duck[i] * (others[i] + (side == 0 ? padLeft : padRight));
            // A soft ceiling just under full scale.
            if (std::abs(v) > 0.98)
                v = std::copysign(0.98 + 0.02 * std::tanh((std::abs(v) - 0.98) / 0.02), v);
            (side == 0 ? left : right)[i] = static_cast<float>(v);
        }
    }
}
