#pragma once
// The demo clock: milliseconds from a counter, shifted by an offset so that a
// show started in the middle of its script reads the script's time directly.
#include <cstdint>

#include "platform/clock.h"

class Timer {
public:
    // Reads the clock's frequency; offset 0. The clock must outlive the timer.
    explicit Timer(const platform::Clock& clock = platform::steadyClock());

    // offset := ms; while held, also the time now reads.
    void setOffset(int32_t ms);
    // Remembers the counter as the new zero point.
    void start();
    // ((counter - startCount) * 1000) / frequency + offset, truncated; while
    // held, the time at which it was held (or set since).
    int64_t now() const;
    // Stops the time where it stands until resume; holding twice is holding.
    void hold();
    // Goes on from the held time; nothing when not held.
    void resume();
    bool held() const { return held_; }

private:
    const platform::Clock* clock_;
    int64_t frequency_;
    int64_t startCount_ = 0;
    int64_t offset_ = 0;
    bool held_ = false;
    int64_t heldAt_ = 0;
};
