#include "shell/heard_position.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double framesPerMs = 44.1;

}  // namespace

void HeardPosition::clear()
{
    samples_.clear();
    offsetTotal_ = 0.0;
}

void HeardPosition::addCallback(double atMs, int64_t firstFrame, int frames)
{
    const double startMs = static_cast<double>(firstFrame) / framesPerMs;
    const double offset = startMs - atMs;
    if (!samples_.empty()) {
        const double average = offsetTotal_ / static_cast<double>(samples_.size());
        if (std::abs(offset - average) > breakMs)
            clear();
    }
    if (samples_.size() == fitLength) {
        offsetTotal_ -= samples_.front().offsetMs;
        samples_.pop_front();
    }
    lastLengthMs_ = frames / framesPerMs;
    samples_.push_back(Sample{offset, startMs + lastLengthMs_});
    offsetTotal_ += offset;
}

std::optional<double> HeardPosition::at(double nowMs) const
{
    if (samples_.empty())
        return std::nullopt;
    const double average = offsetTotal_ / static_cast<double>(samples_.size());
    const double given = samples_.back().endMs + lastLengthMs_;
    return std::min(nowMs + average, given) - latencyMs_;
}
