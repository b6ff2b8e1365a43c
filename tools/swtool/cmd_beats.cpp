// swtool beats: the demo times at which the show's beat detector fires for a
// track, counted as the player counts them (the same steps, window and rule).
#include "tools/swtool/commands.h"

#include "effects/beat_counter.h"
#include "platform/sound_spectrum.h"
#include "shell/option_values.h"
#include "timeline/reference_rate.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

struct BeatsOptions {
    std::string music;
    std::optional<int32_t> from;
    std::optional<int32_t> to;
};

constexpr const char* usage = "usage: swtool beats --music OGG [--from A --to B]\n";

// False, with a message, on an unknown flag, a missing value or a time that
// is not whole milliseconds.
bool parseOptions(int argc, char** argv, BeatsOptions& options)
{
    for (int i = 0; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "swtool beats: %s needs a value\n", flag.c_str());
            return false;
        }
        const char* value = argv[++i];
        int32_t ms = 0;
        if (flag == "--music") {
            options.music = value;
        } else if (flag == "--from" || flag == "--to") {
            if (!readDemoTime(value, ms)) {
                std::fprintf(stderr, "swtool beats: %s needs milliseconds, not %s\n", flag.c_str(), value);
                return false;
            }
            (flag == "--from" ? options.from : options.to) = ms;
        } else {
            std::fprintf(stderr, "swtool beats: unknown option %s\n", flag.c_str());
            return false;
        }
    }
    if (options.music.empty()) {
        std::fprintf(stderr, "swtool beats: --music is needed\n");
        return false;
    }
    return true;
}

}  // namespace

int runBeats(int argc, char** argv)
{
    BeatsOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(usage, stderr);
        return usageStatus;
    }
    platform::TrackSpectrum track;
    if (!track.open(options.music)) {
        std::fprintf(stderr, "swtool beats: cannot open %s as an OGG Vorbis track\n", options.music.c_str());
        return 1;
    }
    const int32_t from = options.from.value_or(0);
    const int32_t to = options.to.value_or(static_cast<int32_t>(track.lengthMs()));
    if (to < from) {
        std::fprintf(stderr, "swtool beats: --to must not lie before --from\n");
        std::fputs(usage, stderr);
        return usageStatus;
    }
    // The detector started at `from` and played straight on to `to`: every
    // step in between is looked at once, in order.
    BeatCounter counter;
    for (int64_t step = referenceStepAt(from); step <= referenceStepAt(to); ++step) {
        const int32_t time = referenceStepTime(step);
        const float* spectrum = track.at(time);
        if (spectrum == nullptr) {
            std::fprintf(stderr, "swtool beats: %s is damaged at %d ms\n", options.music.c_str(), time);
            return 1;
        }
        if (counter.look(spectrum) && time >= from)
            std::printf("%d %.2f\n", time, counter.lastSum());
    }
    return 0;
}
