// swtool profile: plays the show on the manual clock as the player would and
// reports, for each stretch where the same effects are active, the frame
// times and each effect's share of them.
#include "tools/swtool/commands.h"

#include "shell/option_values.h"

#include "timeline/effect_table.h"
#include "tools/common/frame_stats.h"
#include "tools/swtool/effect_timer.h"
#include "timeline/demo.h"
#include "tools/swtool/offline_show.h"
#include "tools/swtool/progress_line.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ProfileOptions {
    ShowSource source;
    long from = 0;
    std::optional<long> to;  // without --to: the show's end
    long fps = 60;
    std::string csv;
    bool quiet = false;
};

struct FrameRecord {
    int time = 0;
    double totalMs = 0.0;
    double processorMs = 0.0;  // processor time of every thread of the process
    uint64_t active = 0;
    std::array<double, EffectTimer::places> effectMs{};
};

struct Stretch {
    size_t first = 0;  // index of its first frame
    size_t end = 0;    // one past its last frame
};

void printUsage()
{
    std::fprintf(stderr, "usage: swtool profile (--data DIR | --archive FILE [--password PW]) [--music OGG] "
                         "[--samples N] [--from A --to B] [--fps F] [--csv FILE] [--quiet]\n");
}

std::optional<ProfileOptions> parseOptions(int argc, char** argv)
{
    ProfileOptions options;
    const bool read = readLongCommandFlags(argc, argv, "swtool profile", options.source, options.quiet,
                                           [&](const std::string& flag, const char* value) {
        int32_t number = 0;
        if (flag == "--csv")  // named from where swtool started, before --data moves it
            options.csv = std::filesystem::absolute(value).string();
        else if (flag == "--from" || flag == "--to")
            (flag == "--from" ? options.from : options.to.emplace()) = readDemoTime(value, number) ? number : -1;
        else if (flag == "--fps")
            options.fps = readPositiveCount(value, 1000, number) ? number : 0;
        else
            return false;
        return true;
    });
    if (!read)
        return std::nullopt;
    if (options.from < 0 || options.to.value_or(0) < 0 || options.fps <= 0) {
        std::fprintf(stderr, "swtool profile: --from and --to need milliseconds, --fps frames a second\n");
        printUsage();
        return std::nullopt;
    }
    if (options.to && *options.to < options.from) {
        std::fprintf(stderr, "swtool profile: --to must not lie before --from\n");
        printUsage();
        return std::nullopt;
    }
    if (options.source.dataDir.empty() == options.source.archive.empty()) {
        printUsage();
        return std::nullopt;
    }
    return options;
}

std::vector<Stretch> splitIntoStretches(const std::vector<FrameRecord>& frames)
{
    std::vector<Stretch> stretches;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (stretches.empty() || frames[i].active != frames[stretches.back().first].active)
            stretches.push_back({i, i});
        stretches.back().end = i + 1;
    }
    return stretches;
}

// "glow 61% gang 30% ..." for the effects active in the stretch, by share of
// the stretch's frame time, largest first.
std::string describeShares(const std::vector<FrameRecord>& frames, const Stretch& stretch)
{
    std::array<double, EffectTimer::places> spent{};
    double total = 0.0;
    for (size_t i = stretch.first; i < stretch.end; ++i) {
        total += frames[i].totalMs;
        for (size_t n = 0; n < spent.size(); ++n)
            spent[n] += frames[i].effectMs[n];
    }
    std::vector<int> order;
    for (int n = 0; n < EffectTimer::places; ++n) {
        if ((frames[stretch.first].active >> n) & 1U)
            order.push_back(n);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return spent[a] > spent[b]; });
    std::string text;
    for (const int n : order) {
        char part[48];
        const double share = total > 0.0 ? spent[static_cast<size_t>(n)] / total * 100.0 : 0.0;
        std::snprintf(part, sizeof part, "%s%s %.0f%%", text.empty() ? "" : ", ", effectName(n), share);
        text += part;
    }
    return text;
}

void printTable(const std::vector<FrameRecord>& frames)
{
    std::printf("   from ms     to ms %s  effects (share of frame time)\n", formatSummaryHeader().c_str());
    std::vector<double> all;
    for (const Stretch& stretch : splitIntoStretches(frames)) {
        std::vector<double> times;
        for (size_t i = stretch.first; i < stretch.end; ++i)
            times.push_back(frames[i].totalMs);
        all.insert(all.end(), times.begin(), times.end());
        std::printf("%10d %9d %s  %s\n", frames[stretch.first].time, frames[stretch.end - 1].time,
                    formatSummary(summariseFrames(times)).c_str(), describeShares(frames, stretch).c_str());
    }
    std::printf("%20s %s  whole span\n", "", formatSummary(summariseFrames(all)).c_str());
}

bool writeCsv(const std::string& path, const std::vector<FrameRecord>& frames)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "w"), std::fclose);
    if (file == nullptr) {
        std::fprintf(stderr, "swtool profile: cannot write %s\n", path.c_str());
        return false;
    }
    uint64_t everActive = 0;
    for (const FrameRecord& frame : frames)
        everActive |= frame.active;
    std::fprintf(file.get(), "time_ms,frame_ms,cpu_ms");
    for (int n = 0; n < EffectTimer::places; ++n) {
        if ((everActive >> n) & 1U)
            std::fprintf(file.get(), ",%s_ms", effectName(n));
    }
    std::fputc('\n', file.get());
    for (const FrameRecord& frame : frames) {
        std::fprintf(file.get(), "%d,%.3f,%.3f", frame.time, frame.totalMs, frame.processorMs);
        for (int n = 0; n < EffectTimer::places; ++n) {
            if (((everActive >> n) & 1U) == 0)
                continue;
            if ((frame.active >> n) & 1U)
                std::fprintf(file.get(), ",%.3f", frame.effectMs[static_cast<size_t>(n)]);
            else
                std::fputc(',', file.get());
        }
        std::fputc('\n', file.get());
    }
    return std::ferror(file.get()) == 0;
}

}  // namespace

int runProfile(int argc, char** argv)
{
    const std::optional<ProfileOptions> options = parseOptions(argc, argv);
    if (!options)
        return usageStatus;
    OfflineShow show;
    if (!show.open(options->source, "swtool profile"))
        return 1;
    EffectTimer timer;
    show.registry().setProbe(&timer);

    const long to = options->to.value_or(show.demo().endTime());
    if (to < options->from) {
        std::fprintf(stderr, "swtool profile: --from lies after the show's end (%ld ms)\n", to);
        return usageStatus;
    }
    const std::vector<int> times = stepTimes(options->from, to, options->fps);
    std::vector<FrameRecord> frames;
    frames.reserve(times.size());
    ProgressLine progress(times.size(), options->quiet);
    for (const int time : times) {
        timer.beginFrame();
        glFinish();
        const auto started = std::chrono::steady_clock::now();
        const std::clock_t processorStarted = std::clock();
        show.drawFrameAt(time);
        glFinish();
        const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - started;
        FrameRecord& frame = frames.emplace_back();
        frame.time = time;
        frame.totalMs = spent.count();
        frame.processorMs = static_cast<double>(std::clock() - processorStarted) * 1000.0 / CLOCKS_PER_SEC;
        frame.active = timer.activeMask();
        for (int n = 0; n < EffectTimer::places; ++n)
            frame.effectMs[static_cast<size_t>(n)] = timer.millisecondsOf(n);
        progress.update(frames.size());
    }
    show.registry().setProbe(nullptr);
    printTable(frames);
    if (!options->csv.empty() && !writeCsv(options->csv, frames))
        return 1;
    return 0;
}
