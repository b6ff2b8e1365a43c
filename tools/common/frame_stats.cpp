#include "tools/common/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The value at rank ceil(p * n) of sorted values (1-based), p in 0..1.
double nearestRank(const std::vector<double>& sorted, double p)
{
    const auto rank = static_cast<size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

FrameSummary summariseFrames(std::vector<double> frameMs)
{
    FrameSummary summary;
    if (frameMs.empty())
        return summary;
    std::sort(frameMs.begin(), frameMs.end());
    summary.frames = frameMs.size();
    summary.medianMs = nearestRank(frameMs, 0.5);
    summary.p99Ms = nearestRank(frameMs, 0.99);
    summary.maxMs = frameMs.back();
    const auto late = std::count_if(frameMs.begin(), frameMs.end(), [](double ms) { return ms > frameBudgetMs; });
    summary.lateShare = static_cast<double>(late) / static_cast<double>(frameMs.size());
    return summary;
}

std::string formatSummaryHeader() { return " frames  median     p99     max   late"; }

std::string formatSummary(const FrameSummary& summary)
{
    char line[96];
    std::snprintf(line, sizeof line, "%7zu %7.2f %7.2f %7.2f %5.1f%%", summary.frames, summary.medianMs,
                  summary.p99Ms, summary.maxMs, summary.lateShare * 100.0);
    return line;
}
