#pragma once
// The show's reference rate: its look is the look at 60 frames a second.
// Rules that once ran once a frame (the beat rule, grabs every few frames,
// streamed noise) run on these steps of demo time instead, so that the
// show looks the same whatever rate the frames come at.
#include <cstdint>

constexpr int referenceStepsPerSecond = 60;

// The step at or before demo time ms: floor(ms x 60 / 1000), also below 0.
constexpr int64_t referenceStepAt(int32_t ms)
{
    const int64_t scaled = static_cast<int64_t>(ms) * referenceStepsPerSecond;
    return scaled >= 0 ? scaled / 1000 : -((-scaled + 999) / 1000);
}

// Where step `step` begins, in whole ms: floor(step x 1000 / 60).
constexpr int32_t referenceStepTime(int64_t step)
{
    const int64_t scaled = step * 1000;
    return static_cast<int32_t>(scaled >= 0 ? scaled / referenceStepsPerSecond
                                            : -((-scaled + referenceStepsPerSecond - 1) / referenceStepsPerSecond));
}
