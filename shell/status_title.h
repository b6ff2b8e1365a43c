#pragma once
// The window title while a show plays: the demo time, the frames drawn per
// second, and whether the show is paused, renewed twice a second.
#include <cstdint>
#include <string>

#include "platform/clock.h"

class StatusTitle {
public:
    // The clock must outlive the title.
    explicit StatusTitle(const platform::Clock& clock = platform::steadyClock());

    // Counts one frame drawn at demo time `time`. True when the title is
    // due to change: half a second since it last changed, or the paused
    // state turned. The first frame only starts the count.
    bool frameDrawn(int32_t time, bool paused);
    // "stillwater 61.25 s 58 fps", with " paused" while paused.
    const std::string& text() const { return text_; }

private:
    const platform::Clock* clock_;
    int64_t since_ = -1;  // clock reading when the count began; -1 before
    int frames_ = 0;
    int fps_ = 0;
    bool paused_ = false;
    std::string text_ = "stillwater";
};
