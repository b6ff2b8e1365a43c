#pragma once
// A record of when each frame of the show was drawn, for measuring the
// player from outside: one line per frame, "<demo time ms> <steady clock
// ns>" (the platform's steady clock, which on Linux is CLOCK_MONOTONIC and
// so comparable between processes), written to the file that STILLWATER_FRAME_LOG names. Without that
// variable nothing is recorded.
#include <cstdint>
#include <cstdio>

class FrameLog {
public:
    // Opens the file named by STILLWATER_FRAME_LOG, if set; a file that
    // cannot be opened is reported on standard error and nothing is logged.
    FrameLog();
    // Closes the file.
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    bool active() const { return file_ != nullptr; }
    // Records that the frame at demo time `time` is drawn, now.
    void record(int32_t time);

private:
    std::FILE* file_ = nullptr;
};
