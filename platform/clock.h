#pragma once
// Time sources standing in for the performance counter and the tick count.
#include <cstdint>

namespace platform {

// A counter with a fixed frequency, read by the Timer. The player uses the
// steady clock; tests and the offline renderer step a ManualClock instead so
// that every run sees the same times.
class Clock {
public:
    virtual ~Clock() = default;
    // Ticks per second; never 0.
    virtual int64_t frequency() const = 0;
    // Current tick count; monotonic.
    virtual int64_t counter() const = 0;
    // Whether the count is the steady clock's own nanoseconds, the time the
    // sound device's reports are stamped with.
    virtual bool readsSteadyTime() const { return false; }
};

// std::chrono::steady_clock in nanoseconds.
class SteadyClock final : public Clock {
public:
    // Counts from the steady clock's own epoch.
    SteadyClock() = default;
    // Reads startNs now and moves on with the steady clock from there (tests
    // put the counter where a long-running machine would have it).
    explicit SteadyClock(int64_t startNs);
    int64_t frequency() const override;
    int64_t counter() const override;
    bool readsSteadyTime() const override { return shift_ == 0; }

private:
    int64_t shift_ = 0;
};

// A clock that only moves when told to; 1000 ticks per second.
class ManualClock final : public Clock {
public:
    int64_t frequency() const override { return 1000; }
    int64_t counter() const override { return now_; }
    // Sets the reading to ms milliseconds.
    void set(int64_t ms) { now_ = ms; }
    // Moves the reading forward (or back, for negative ms).
    void advance(int64_t ms) { now_ += ms; }

private:
    int64_t now_ = 0;
};

// The process-wide steady clock the player reads.
Clock& steadyClock();

// Milliseconds since an arbitrary fixed point, like the tick count of the OS.
uint32_t tickCountMs();

}  // namespace platform
