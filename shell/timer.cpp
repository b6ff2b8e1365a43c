#include "shell/timer.h"

Timer::Timer(const platform::Clock& clock) : clock_(&clock), frequency_(clock.frequency()) {}

void Timer::start() { startCount_ = clock_->counter(); }

int64_t Timer::now() const
{
    // Splitting off whole seconds keeps the product below 2^63 even for a
    // nanosecond counter that has run for years.
    const int64_t elapsed = clock_->counter() - startCount_;
    const int64_t seconds = elapsed / frequency_;
    const int64_t rest = elapsed % frequency_;
    return seconds * 1000 + (rest * 1000) / frequency_ + offset_;
}
