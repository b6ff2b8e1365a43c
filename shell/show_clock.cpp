#include "shell/show_clock.h"

#include <algorithm>
#include <cmath>

ShowClock::ShowClock(const platform::Clock& steady) : steady_(&steady), lastSteadyMs_(steadyMs()) {}

double ShowClock::steadyMs() const
{
    const int64_t frequency = steady_->frequency();
    const int64_t count = steady_->counter();
    // Whole seconds apart from the rest keep a nanosecond count exact.
    return static_cast<double>(count / frequency) * 1000.0 +
           static_cast<double>(count % frequency) * 1000.0 / static_cast<double>(frequency);
}

void ShowClock::moveTo(double ms, bool paused)
{
    time_ = ms;
    paused_ = paused;
    waiting_ = !paused;
    waitedMs_ = 0.0;
    lastSteadyMs_ = steadyMs();
}

double ShowClock::tick(std::optional<double> heardMs, bool musicPlays, double pace)
{
    const double nowMs = steadyMs();
    const double elapsed = std::max(0.0, nowMs - lastSteadyMs_);
    lastSteadyMs_ = nowMs;
    if (paused_)
        return time_;
    if (waiting_) {
        waitedMs_ += elapsed;
        const bool notYetHeard = !heardMs.has_value() || *heardMs < time_;
        if (musicPlays && notYetHeard && waitedMs_ < waitLimitMs)
            return time_;
        waiting_ = false;
        if (!musicPlays)
            time_ += elapsed;  // nothing to wait for: the time runs free
        else if (!notYetHeard)
            time_ = *heardMs;  // where the music is, which may be a little past the point waited for
        return time_;
    }
    if (!musicPlays || !heardMs.has_value()) {
        time_ += elapsed;
        return time_;
    }
    time_ = approach(elapsed, *heardMs, pace);
    return time_;
}

double ShowClock::approach(double elapsed, double heard, double pace)
{
    const double free = time_ + elapsed * pace;
    const double error = heard - free;
    if (error > stepMs)
        return heard;
    if (error < -stepMs) {
        waiting_ = true;
        waitedMs_ = 0.0;
        return time_;
    }
    if (std::abs(error) < toleranceMs)
        return free;
    const double most = slewShare * elapsed;
    return free + std::clamp(error, -most, most);
}
