// swtool render: plays the show offscreen on a manual clock and writes the
// frames at the given demo times as PNG files, or a span of it as a video.
#include "tools/swtool/commands.h"

#include "shell/option_values.h"

#include "timeline/demo.h"
#include "tools/swtool/frame_writer.h"
#include "tools/swtool/offline_show.h"
#include "tools/swtool/progress_line.h"
#include "tools/swtool/render_video.h"
#include "tools/swtool/video_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

struct RenderOptions {
    ShowSource source;
    std::vector<int> times;  // the frames to write, ascending
    long fps = 60;           // the show's frame rate between them
    std::string outDir;
    bool quiet = false;
    VideoJob video;  // with a path: one video file instead of PNG files
    // --from without --to: the span from there to the show's end, which
    // is known once the script is read.
    std::optional<int32_t> fromToEnd;
};

// One frame of a render: drawn at `time`, written when it was asked for.
struct PlannedFrame {
    int time;
    bool written;
};

// The wanted times, written, among the frames a viewer of the show at fps
// frames a second sees from its start up to the last wanted time, drawn but
// not written. Flashes, trails and every other effect that remembers earlier
// frames then look at T as they look in the played show at T.
std::vector<PlannedFrame> planFrames(const std::vector<int>& wanted, int showStart, long fps)
{
    std::vector<PlannedFrame> plan;
    const std::vector<int> between =
        wanted.empty() || wanted.back() < showStart ? std::vector<int>() : stepTimes(showStart, wanted.back(), fps);
    size_t w = 0;
    size_t b = 0;
    while (w < wanted.size() || b < between.size()) {
        if (b == between.size() || (w < wanted.size() && wanted[w] <= between[b])) {
            if (b < between.size() && between[b] == wanted[w])
                ++b;
            plan.push_back({wanted[w++], true});
        } else {
            plan.push_back({between[b++], false});
        }
    }
    return plan;
}

constexpr int32_t maximumFps = 1000;

void printUsage()
{
    std::fprintf(stderr, "usage: swtool render (--data DIR | --archive FILE [--password PW]) [--music OGG] "
                         "[--samples N] ((--at T1,T2,... | --from A [--to B]) [--fps F] --out DIR | --from A "
                         "[--to B] [--fps F] --video FILE [--crf N | --bitrate KBPS]) [--quiet]\n");
}

// Times in ms separated by commas, each as a demo time option is read.
bool parseTimeList(const char* text, std::vector<int>& times)
{
    std::string list = text;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string item = list.substr(start, end - start);
        int32_t value = 0;
        if (!readDemoTime(item.c_str(), value))
            return false;
        times.push_back(value);
        start = end + 1;
    }
    return true;
}

std::optional<RenderOptions> parseOptions(int argc, char** argv)
{
    RenderOptions options;
    std::optional<int32_t> from, to;
    bool timesRead = true;
    std::string badValue;
    const bool read = readLongCommandFlags(argc, argv, "swtool render", options.source, options.quiet,
                                           [&](const std::string& flag, const char* value) {
        if (flag == "--at")
            timesRead = parseTimeList(value, options.times) && timesRead;
        else if (flag == "--from" || flag == "--to") {
            int32_t ms = 0;
            if (!readDemoTime(value, ms))
                badValue = flag + " needs milliseconds, not " + value;
            (flag == "--from" ? from : to) = ms;
        } else if (flag == "--fps") {
            int32_t fps = 0;
            if (!readPositiveCount(value, maximumFps, fps))
                badValue = std::string("--fps needs frames a second from 1 to ") + std::to_string(maximumFps) + ", not " + value;
            options.fps = fps;
        }
        else if (flag == "--out")
            options.outDir = value;
        else if (flag == "--video")
            options.video.path = value;
        else if (flag == "--crf")
            options.video.crf = std::atoi(value);
        else if (flag == "--bitrate")
            options.video.bitrateKbps = std::atoi(value);
        else
            return false;
        return true;
    });
    if (!read)
        return std::nullopt;
    if (!timesRead)
        badValue = "bad time list";
    if (badValue.empty() && from && to && *to < *from)
        badValue = "--to must not lie before --from";
    if (!badValue.empty()) {
        std::fprintf(stderr, "swtool render: %s\n", badValue.c_str());
        printUsage();
        return std::nullopt;
    }
    const bool toVideo = !options.video.path.empty();
    options.video.fps = options.fps;
    options.video.quiet = options.quiet;
    if (toVideo && from && to) {
        options.video.from = *from;
        options.video.to = *to;
    } else if (from && to) {
        const std::vector<int> stepped = stepTimes(*from, *to, options.fps);
        options.times.insert(options.times.end(), stepped.begin(), stepped.end());
    } else if (from && options.times.empty()) {
        options.fromToEnd = *from;
    }
    const bool haveFrames = toVideo ? ((from && to) || options.fromToEnd) && options.times.empty()
                                    : !options.times.empty() || options.fromToEnd;
    if (options.source.dataDir.empty() == options.source.archive.empty() || !haveFrames ||
        options.outDir.empty() == !toVideo || options.fps <= 0) {
        printUsage();
        return std::nullopt;
    }
    std::sort(options.times.begin(), options.times.end());
    options.times.erase(std::unique(options.times.begin(), options.times.end()), options.times.end());
    return options;
}

// Resolves --from without --to against the show's end; false (reported)
// when the start lies after it.
bool spanToShowEnd(RenderOptions& options, OfflineShow& show)
{
    if (!options.fromToEnd)
        return true;
    const int32_t from = *options.fromToEnd;
    const int32_t end = show.demo().endTime();
    if (end < from) {
        std::fprintf(stderr, "swtool render: --from lies after the show's end (%d ms)\n", end);
        return false;
    }
    options.video.from = from;
    options.video.to = end;
    options.times = stepTimes(from, end, options.fps);
    return true;
}

std::string framePath(const std::string& dir, int time)
{
    char name[32];
    std::snprintf(name, sizeof name, "%07d.png", time);
    return dir + "/" + name;
}

}  // namespace

int runRender(int argc, char** argv)
{
    std::optional<RenderOptions> options = parseOptions(argc, argv);
    if (!options)
        return usageStatus;
    std::error_code error;
    if (!options->video.path.empty()) {
        if (!videoFormatKnown(options->video.path)) {
            std::fprintf(stderr, "swtool render: %s: the video must end in .mp4, .mkv, .mov or .webm\n",
                         options->video.path.c_str());
            return 1;
        }
        // Both are named relative to where swtool was started.
        options->video.path = std::filesystem::absolute(options->video.path, error).string();
        if (!options->source.music.empty())
            options->video.music = std::filesystem::absolute(options->source.music, error).string();
        OfflineShow show;
        if (!show.open(options->source, "swtool render"))
            return 1;
        if (!spanToShowEnd(*options, show))
            return usageStatus;
        return renderVideo(show, options->video);
    }
    const std::string outDir = std::filesystem::absolute(options->outDir, error).string();
    std::filesystem::create_directories(outDir, error);
    if (error) {
        std::fprintf(stderr, "swtool render: cannot create %s\n", outDir.c_str());
        return 1;
    }
    OfflineShow show;
    if (!show.open(options->source, "swtool render"))
        return 1;
    if (!spanToShowEnd(*options, show))
        return usageStatus;
    FrameWriter writer(OfflineShow::frameWidth, OfflineShow::frameHeight);
    bool writing = false;
    show.demo().setFrameObserver([&](int32_t time) {
        if (!writing)
            return;
        std::vector<uint8_t> pixels(static_cast<size_t>(OfflineShow::frameWidth) * OfflineShow::frameHeight * 3);
        readFrameRgb(pixels.data());
        writer.submit(framePath(outDir, time), std::move(pixels));
    });
    const std::vector<PlannedFrame> plan = planFrames(options->times, show.demo().startTime(), options->fps);
    ProgressLine progress(plan.size(), options->quiet);
    for (size_t i = 0; i < plan.size(); ++i) {
        writing = plan[i].written;
        show.drawFrameAt(plan[i].time);
        progress.update(i + 1);
    }
    return writer.finish() ? 0 : 1;
}
