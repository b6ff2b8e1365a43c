#include "effects/beat_counter.h"

#include "timeline/reference_rate.h"

#include <algorithm>

void BeatCounter::restart()
{
    historyTotal_ = 0.0f;
    rule_ = BeatRule{};
    history_.assign(static_cast<size_t>(historyLength), 0.0f);
    stepsStarted_ = false;
}

StepSpan BeatCounter::stepsFor(int32_t time)
{
    const int64_t now = referenceStepAt(time);
    int64_t first = stepsStarted_ ? lastStep_ + 1 : now;
    first = std::max(first, now - mostStepsAtOnce + 1);
    if (stepsStarted_ && now < lastStep_)
        first = now;  // time went back without a restart: look at now only
    if (first <= now) {
        lastStep_ = now;
        stepsStarted_ = true;
    }
    return {first, now};
}

bool BeatCounter::look(const float* spectrum)
{
    float peak = 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < spectrumBins; ++i) {
        peak = std::max(peak, spectrum[i]);
        sum += spectrum[i];
    }
    historyTotal_ -= history_.front();
    history_.pop_front();
    historyTotal_ += sum;
    history_.push_back(sum);
    lastSum_ = sum;
    lastAverage_ = historyTotal_ / static_cast<float>(historyLength);
    return rule_.apply(peak, sum);
}
