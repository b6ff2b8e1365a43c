#pragma once
// Summaries of frame times: the figures the profiler and the frame-time
// benchmark print (median, 99th percentile, maximum, share of late frames).
#include <string>
#include <vector>

// A frame is late when it takes longer than one refresh at 60 Hz.
constexpr double frameBudgetMs = 1000.0 / 60.0;

struct FrameSummary {
    size_t frames = 0;
    double medianMs = 0.0;
    double p99Ms = 0.0;
    double maxMs = 0.0;
    double lateShare = 0.0;  // 0..1, frames over frameBudgetMs
};

// The summary of the given frame times (milliseconds); all zero when empty.
// Percentiles are nearest-rank.
FrameSummary summariseFrames(std::vector<double> frameMs);

// "frames median p99 max late%" laid out in fixed-width columns, and the
// matching header line.
std::string formatSummaryHeader();
std::string formatSummary(const FrameSummary& summary);
