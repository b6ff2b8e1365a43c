#include "shell/heard_position.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double framesPerMs = 44.1;

}  // namespace

void HeardPosition::clear() { samples_.clear(); }

double HeardPosition::pace() const
{
    if (samples_.size() < paceFromCallbacks)
        return 1.0;
    // Least squares through the callbacks, centred so that large steady
    // times keep their precision.
    double meanT = 0.0, meanY = 0.0;
    for (const Sample& s : samples_) {
        meanT += s.atMs;
        meanY += s.trackMs;
    }
    meanT /= static_cast<double>(samples_.size());
    meanY /= static_cast<double>(samples_.size());
    double tt = 0.0, ty = 0.0;
    for (const Sample& s : samples_) {
        tt += (s.atMs - meanT) * (s.atMs - meanT);
        ty += (s.atMs - meanT) * (s.trackMs - meanY);
    }
    if (tt <= 0.0)
        return 1.0;
    return std::clamp(ty / tt, 0.9, 1.1);
}

double HeardPosition::fitted(double t) const
{
    double meanT = 0.0, meanY = 0.0;
    for (const Sample& s : samples_) {
        meanT += s.atMs;
        meanY += s.trackMs;
    }
    meanT /= static_cast<double>(samples_.size());
    meanY /= static_cast<double>(samples_.size());
    return meanY + pace() * (t - meanT);
}

void HeardPosition::addCallback(double atMs, int64_t firstFrame, int frames)
{
    const double trackMs = static_cast<double>(firstFrame) / framesPerMs;
    if (!samples_.empty() && std::abs(trackMs - fitted(atMs)) > breakMs)
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
    return std::min(fitted(nowMs), givenMs_ + lastLengthMs_) - latencyMs_;
}
