#pragma once
// The demo clock: milliseconds from a counter, shifted by an offset so that a
// show started in the middle of its script reads the script's time directly.
#include <cstdint>

#include "platform/clock.h"

class Timer {
public:
    // Reads the clock's frequency; offset 0. The clock must outlive the timer.
    explicit Timer(const platform::Clock& clock = platform::steadyClock());

    // offset := ms.
    void setOffset(int32_t ms) { offset_ = ms; }
    // Remembers the counter as the new zero point.
    void start();
    // ((counter - startCount) * 1000) / frequency + offset, truncated.
    int64_t now() const;

private:
    const platform::Clock* clock_;
    int64_t frequency_;
    int64_t startCount_ = 0;
    int64_t offset_ = 0;
};
