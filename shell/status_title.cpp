#include "shell/status_title.h"

#include <cstdio>

StatusTitle::StatusTitle(const platform::Clock& clock) : clock_(&clock) {}

bool StatusTitle::frameDrawn(int32_t time, bool paused)
{
    const int64_t now = clock_->counter();
    const int64_t frequency = clock_->frequency();
    if (since_ < 0) {
        since_ = now;
        paused_ = paused;
        return false;
    }
    ++frames_;
    const int64_t elapsed = now - since_;
    if (elapsed * 2 < frequency && paused == paused_)
        return false;
    if (elapsed > 0)
        fps_ = static_cast<int>((frames_ * frequency + elapsed / 2) / elapsed);
    since_ = now;
    frames_ = 0;
    paused_ = paused;
    char text[80];
    std::snprintf(text, sizeof text, "stillwater %d.%02d s %d fps%s", time / 1000, (time % 1000) / 10, fps_,
                  paused ? " paused" : "");
    text_ = text;
    return true;
}
