#pragma once
// The show's soundtrack: an original piece at 128 beats per minute in
// sections that the show's script follows.
#include <vector>

constexpr int trackRate = 44100;
constexpr double trackSeconds = 290.0;
constexpr double beatSeconds = 60.0 / 128.0;
// The beat grid is placed so that the second movement (50 s) starts on a
// kick.
constexpr double firstBeat = 50.0 - 107 * beatSeconds;

// How loud each part plays at a time of the track; 0 silences a part.
struct SectionLevels {
    double loudKick = 0.0;  // the kick the beat detector fires on
    double softKick = 0.0;  // a kick well below the beat rule
    double bass = 0.0;
    double hats = 0.0;
    bool fastHats = false;  // sixteenths instead of off-beat eighths
    double pads = 0.0;
};

// The arrangement at time t in seconds.
SectionLevels levelsAt(double t);

// Synthesises the whole track, stereo, in -1..1. Always the same samples.
void renderTrack(std::vector<float>& left, std::vector<float>& right);
