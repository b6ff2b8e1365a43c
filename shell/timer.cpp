#include "shell/timer.h"

Timer::Timer(const platform::Clock& clock) : clock_(&clock), frequency_(clock.frequency()) {}

void Timer::start() { startCount_ = clock_->counter(); }

void Timer::setOffset(int32_t ms)
{
    offset_ = ms;
    heldAt_ = ms;
}

void Timer::hold()
{
    if (held_)
        return;
    heldAt_ = now();
    held_ = true;
}

void Timer::resume()
{
    if (!held_)
        return;
    held_ = false;
    offset_ = heldAt_;
    start();
}

int64_t Timer::now() const
{
    if (held_)
        return heldAt_;
    // Splitting off whole seconds keeps the product below 2^63 even for a
    // nanosecond counter that has run for years.
    const int64_t elapsed = clock_->counter() - startCount_;
    const int64_t seconds = elapsed / frequency_;
    const int64_t rest = elapsed % frequency_;
    return seconds * 1000 + (rest * 1000) / frequency_ + offset_;
}
