#include "shell/heard_position.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double framesPerMs = 44.1;

}  // namespace

void HeardPosition::clear() { samples_.clear(); }

HeardPosition::Fit HeardPosition::fit() const
{
    // Least squares through the callbacks, centred so that large steady
    // times keep their precision.
    Fit line;
    for (const Sample& s : samples_) {
        line.meanT += s.atMs;
        line.meanY += s.trackMs;
    }
    line.meanT /= static_cast<double>(samples_.size());
    line.meanY /= static_cast<double>(samples_.size());
    if (samples_.size() < paceFromCallbacks)
        return line;
    double tt = 0.0, ty = 0.0;
    for (const Sample& s : samples_) {
        tt += (s.atMs - line.meanT) * (s.atMs - line.meanT);
        ty += (s.atMs - line.meanT) * (s.trackMs - line.meanY);
    }
    if (tt > 0.0)
        line.pace = std::clamp(ty / tt, 0.9, 1.1);
    return line;
}

double HeardPosition::pace() const { return samples_.empty() ? 1.0 : fit().pace; }

void HeardPosition::addCallback(double atMs, int64_t firstFrame, int frames)
{
    const double trackMs = static_cast<double>(firstFrame) / framesPerMs;
    if (!samples_.empty() && std::abs(trackMs - fit().at(atMs)) > breakMs)
        clear();
    if (samples_.size() == fitLength)
        samples_.pop_front();
    samples_.push_back(Sample{atMs, trackMs});
    lastLengthMs_ = frames / framesPerMs;
    givenMs_ = trackMs + lastLengthMs_;
}

std::optional<double> HeardPosition::at(double nowMs) const
{
    if (samples_.empty())
        return std::nullopt;
    return std::min(fit().at(nowMs), givenMs_ + lastLengthMs_) - latencyMs_;
}
