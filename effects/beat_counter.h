#pragma once
// The beat detector's counting, without drawing: which steps of the
// reference rate a frame looks at, and what each step's spectrum gives (the
// loudness, the history average, a beat or none). The BeatDetector effect
// and `swtool beats` both count with it, so the tool lists the beats the
// show sees.
#include <cstdint>
#include <deque>

#include "effects/beat_rule.h"

// Steps first to last of the reference rate, both included; empty when
// first > last.
struct StepSpan {
    int64_t first = 0;
    int64_t last = -1;
};

class BeatCounter {
public:
    // After a gap (the effect inactive, a jump) only this many steps before
    // the frame are looked at.
    static constexpr int64_t mostStepsAtOnce = 60;
    // Values in one spectrum.
    static constexpr int spectrumBins = 512;

    BeatCounter() { restart(); }

    // The history holds ten zeros, the beat rule is re-armed and no step
    // has been looked at yet.
    void restart();
    // The steps a frame at demo time `time` looks at: those after the last
    // frame's steps up to the step at `time` (referenceStepAt), at most
    // mostStepsAtOnce of them; the first frame, and a frame after time went
    // back, look at the step at `time` only. The span counts as looked at.
    StepSpan stepsFor(int32_t time);
    // One step's spectrum (spectrumBins values, 0..1): the history advances
    // by its sum and the beat rule is applied to its loudest value and sum.
    // True when a beat fires.
    bool look(const float* spectrum);

    // The sum of the last spectrum looked at (the loudness).
    float lastSum() const { return lastSum_; }
    // The average of the history's sums after the last step.
    float lastAverage() const { return lastAverage_; }
    float threshold() const { return rule_.threshold; }

private:
    static constexpr int historyLength = 10;

    std::deque<float> history_;
    float historyTotal_ = 0.0f;
    BeatRule rule_;
    int64_t lastStep_ = -1;  // the last step looked at, when stepsStarted_
    bool stepsStarted_ = false;
    float lastSum_ = 0.0f;
    float lastAverage_ = 0.0f;
};
