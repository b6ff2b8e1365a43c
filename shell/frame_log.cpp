#include "shell/frame_log.h"

#include "platform/clock.h"

#include <cstdlib>

FrameLog::FrameLog()
{
    const char* path = std::getenv("STILLWATER_FRAME_LOG");
    if (path == nullptr || *path == '\0')
        return;
    file_ = std::fopen(path, "w");
    if (file_ == nullptr)
        std::fprintf(stderr, "FRAMELOG: cannot write %s\n", path);
}

FrameLog::~FrameLog()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

void FrameLog::record(int32_t time)
{
    if (file_ == nullptr)
        return;
    std::fprintf(file_, "%d %lld\n", time, static_cast<long long>(platform::steadyClock().counter()));
    // Written at once: a test watches the log while the show plays.
    std::fflush(file_);
}
