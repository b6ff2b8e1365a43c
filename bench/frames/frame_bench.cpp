// The frame-time benchmark: plays the whole show headless through the real
// player (its own clock and swap) and reports what a viewer would feel:
// frame times per 10 s of show, the share of frames over one 60 Hz refresh,
// peak memory and the time from start to the first frame of the show.
//
//   bench_frames [--player PATH] [--show DIR] [--runs N]
//
// Each run starts the player with STILLWATER_FRAME_LOG set; with several
// runs every figure is the median of the runs' figures.
#include "tools/common/frame_stats.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int stretchMs = 10000;

struct Options {
    std::string player = "player";
    std::string show = ".";
    int runs = 3;
};

struct RunResult {
    bool ok = false;
    std::vector<int> demoTimes;
    std::vector<double> frameMs;  // frame i: time from frame i-1 to frame i
    double startToFirstFrameMs = 0.0;
    double peakMegabytes = 0.0;
};

long long monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Starts the player in the show folder and waits for it; the frame log goes
// to logPath. Returns the exit status (-1 when it could not run) and fills
// the peak resident size.
int runPlayer(const Options& options, const std::string& logPath, double& peakMegabytes)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (chdir(options.show.c_str()) != 0)
            _exit(127);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("STILLWATER_FRAME_LOG", logPath.c_str(), 1);
        // The player's loading lines would bury the report.
        if (std::FILE* quiet = std::freopen("/dev/null", "w", stdout))
            static_cast<void>(quiet);
        execl(options.player.c_str(), options.player.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return -1;
    peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RunResult measureRun(const Options& options, int index)
{
    RunResult result;
    const std::string logPath =
        (std::filesystem::temp_directory_path() / ("stillwater-frames-" + std::to_string(getpid()) + "-" +
                                                   std::to_string(index) + ".log"))
            .string();
    const long long started = monotonicNs();
    const int status = runPlayer(options, logPath, result.peakMegabytes);
    std::ifstream log(logPath);
    int time = 0;
    long long ns = 0;
    long long previous = 0;
    while (log >> time >> ns) {
        if (result.demoTimes.empty())
            result.startToFirstFrameMs = static_cast<double>(ns - started) / 1e6;
        else
            result.frameMs.push_back(static_cast<double>(ns - previous) / 1e6);
        result.demoTimes.push_back(time);
        previous = ns;
    }
    std::filesystem::remove(logPath);
    if (status != 0 || result.demoTimes.size() < 2) {
        std::fprintf(stderr, "bench_frames: the player ended with status %d after %zu frames\n", status,
                     result.demoTimes.size());
        return result;
    }
    result.ok = true;
    return result;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

// The summary of each 10 s stretch of one run, by its first ms.
std::map<int, FrameSummary> stretchesOf(const RunResult& run)
{
    std::map<int, std::vector<double>> frames;
    for (size_t i = 0; i < run.frameMs.size(); ++i)
        frames[run.demoTimes[i + 1] / stretchMs * stretchMs].push_back(run.frameMs[i]);
    std::map<int, FrameSummary> summaries;
    for (auto& [start, times] : frames)
        summaries[start] = summariseFrames(std::move(times));
    return summaries;
}

// Field by field, the median over the runs.
FrameSummary medianSummary(const std::vector<FrameSummary>& summaries)
{
    auto field = [&](auto member) {
        std::vector<double> values;
        for (const FrameSummary& s : summaries)
            values.push_back(static_cast<double>(s.*member));
        return median(values);
    };
    FrameSummary m;
    m.frames = static_cast<size_t>(field(&FrameSummary::frames));
    m.medianMs = field(&FrameSummary::medianMs);
    m.p99Ms = field(&FrameSummary::p99Ms);
    m.maxMs = field(&FrameSummary::maxMs);
    m.lateShare = field(&FrameSummary::lateShare);
    return m;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--player")
            options.player = argv[i + 1];
        else if (flag == "--show")
            options.show = argv[i + 1];
        else if (flag == "--runs")
            options.runs = std::max(1, std::atoi(argv[i + 1]));
        else
            return false;
    }
    return argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_frames [--player PATH] [--show DIR] [--runs N]\n");
        return 2;
    }
    options.player = std::filesystem::absolute(options.player).string();
    std::vector<RunResult> runs;
    for (int i = 0; i < options.runs; ++i) {
        RunResult run = measureRun(options, i);
        if (!run.ok)
            return 1;
        std::fprintf(stderr, "run %d: %zu frames, %s\n", i + 1, run.frameMs.size(),
                     formatSummary(summariseFrames(run.frameMs)).c_str());
        runs.push_back(std::move(run));
    }

    std::map<int, std::vector<FrameSummary>> byStretch;
    std::vector<FrameSummary> whole;
    std::vector<double> firstFrame, peak;
    for (const RunResult& run : runs) {
        for (const auto& [start, summary] : stretchesOf(run))
            byStretch[start].push_back(summary);
        whole.push_back(summariseFrames(run.frameMs));
        firstFrame.push_back(run.startToFirstFrameMs);
        peak.push_back(run.peakMegabytes);
    }
    std::printf("%s, %d run%s, median of runs\n", options.player.c_str(), options.runs, options.runs == 1 ? "" : "s");
    std::printf("  show s %s\n", formatSummaryHeader().c_str());
    for (const auto& [start, summaries] : byStretch)
        std::printf("%3d-%-3d %s\n", start / 1000, start / 1000 + stretchMs / 1000,
                    formatSummary(medianSummary(summaries)).c_str());
    std::printf("  whole %s\n", formatSummary(medianSummary(whole)).c_str());
    std::printf("peak resident memory %.1f MB; start to first frame of the show %.1f ms\n", median(peak),
                median(firstFrame));
    return 0;
}
