#pragma once
// One line on standard error that tells how far long work has come: frames
// done of the total, frames per second and the time left. Shown only on a
// terminal and when not asked to be quiet.
#include <chrono>
#include <cstddef>

class ProgressLine {
public:
    // total: the frames the work will take; quiet: never show anything.
    ProgressLine(size_t total, bool quiet);
    // Ends the line, so that what follows starts on a fresh one.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Records that `done` frames are finished; redraws a few times a second.
    void update(size_t done);

private:
    void draw(size_t done);

    using Clock = std::chrono::steady_clock;
    const size_t total_;
    const bool shown_;
    const Clock::time_point started_;
    Clock::time_point lastDrawn_;
    bool drawn_ = false;
};
