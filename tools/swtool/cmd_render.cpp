// swtool render: plays the show offscreen on a manual clock and writes the
// frames at the given demo times as PNG files.
#include "tools/swtool/commands.h"

#include "platform/clock.h"
#include "platform/native_window.h"
#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "shell/entry.h"
#include "shell/glwindow.h"
#include "shell/music.h"
#include "timeline/demo.h"
#include "timeline/effect_table.h"
#include "timeline/registry.h"
#include "tools/common/png_writer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int frameWidth = 640;
constexpr int frameHeight = 480;
constexpr int showEndTime = 287000;

struct RenderOptions {
    std::string dataDir;
    std::string archive;
    std::string password;
    std::string music;
    int samples = 0;
    std::vector<int> times;
    std::string outDir;
};

bool parseTimeList(const char* text, std::vector<int>& times)
{
    std::string list = text;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string item = list.substr(start, end - start);
        char* rest = nullptr;
        const long value = std::strtol(item.c_str(), &rest, 10);
        if (item.empty() || *rest != '\0')
            return false;
        times.push_back(static_cast<int>(value));
        start = end + 1;
    }
    return true;
}

std::optional<RenderOptions> parseOptions(int argc, char** argv)
{
    RenderOptions options;
    std::optional<long> from, to, fps;
    for (int i = 0; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "swtool render: %s needs a value\n", flag.c_str());
            return std::nullopt;
        }
        const char* value = argv[++i];
        if (flag == "--data") {
            options.dataDir = value;
        } else if (flag == "--archive") {
            options.archive = value;
        } else if (flag == "--password") {
            options.password = value;
        } else if (flag == "--music") {
            options.music = value;
        } else if (flag == "--samples") {
            options.samples = std::atoi(value);
        } else if (flag == "--at") {
            if (!parseTimeList(value, options.times)) {
                std::fprintf(stderr, "swtool render: bad time list \"%s\"\n", value);
                return std::nullopt;
            }
        } else if (flag == "--from") {
            from = std::atol(value);
        } else if (flag == "--to") {
            to = std::atol(value);
        } else if (flag == "--fps") {
            fps = std::atol(value);
        } else if (flag == "--out") {
            options.outDir = value;
        } else {
            std::fprintf(stderr, "swtool render: unknown option %s\n", flag.c_str());
            return std::nullopt;
        }
    }
    if (from && to && fps && *fps > 0) {
        for (long i = 0;; ++i) {
            const long time = *from + i * 1000 / *fps;
            if (time > *to)
                break;
            options.times.push_back(static_cast<int>(time));
        }
    }
    if (options.dataDir.empty() == options.archive.empty() || options.times.empty() || options.outDir.empty()) {
        std::fprintf(stderr, "usage: swtool render (--data DIR | --archive FILE [--password PW]) [--music OGG] "
                             "[--samples N] (--at T1,T2,... | --from A --to B --fps F) --out DIR\n");
        return std::nullopt;
    }
    std::sort(options.times.begin(), options.times.end());
    options.times.erase(std::unique(options.times.begin(), options.times.end()), options.times.end());
    return options;
}

// The back buffer as RGB rows, top row first. The window shows no alpha, so
// the frames carry none either.
std::vector<uint8_t> readFrame()
{
    std::vector<uint8_t> bottomUp(static_cast<size_t>(frameWidth) * frameHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, frameWidth, frameHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    const size_t row = static_cast<size_t>(frameWidth) * 3;
    for (int y = 0; y < frameHeight; ++y)
        std::memcpy(topDown.data() + static_cast<size_t>(y) * row,
                    bottomUp.data() + static_cast<size_t>(frameHeight - 1 - y) * row, row);
    return topDown;
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
    const std::optional<RenderOptions> options = parseOptions(argc, argv);
    if (!options)
        return 1;
    std::error_code error;
    const std::string outDir = std::filesystem::absolute(options->outDir, error).string();
    std::filesystem::create_directories(outDir, error);
    if (error) {
        std::fprintf(stderr, "swtool render: cannot create %s\n", outDir.c_str());
        return 1;
    }
    // The music is named relative to where swtool was started, before --data
    // moves the current directory.
    const std::string music =
        options->music.empty() ? std::string() : std::filesystem::absolute(options->music, error).string();
    if (!options->archive.empty()) {
        const std::string archive = std::filesystem::absolute(options->archive, error).string();
        setDataArchive(archive.c_str(), options->password.c_str());
    } else {
        std::filesystem::current_path(options->dataDir, error);
        if (error) {
            std::fprintf(stderr, "swtool render: cannot enter %s\n", options->dataDir.c_str());
            return 1;
        }
    }

    platform::requestHeadlessVideo();
    platform::ManualClock clock;
    GLWindow window(false, "stillwater", frameWidth, frameHeight, options->samples, 0.0f, clock);
    checkGraphicsCard();
    // With music the beat detector exists and hears the track at each
    // frame's time; nothing is played.
    if (!music.empty() && !openOfflineMusic(music.c_str())) {
        std::fprintf(stderr, "swtool render: cannot open music %s\n", options->music.c_str());
        return 1;
    }
    ImageCache imageCache;
    TextureManager::setImageLibrary(&imageCache);
    EffectRegistry& registry = EffectRegistry::instance();
    buildEffects(registry, &imageCache, nullptr);

    Demo demo("data/script.scr");
    demo.setEndTime(showEndTime);
    demo.setup(window, registry);
    clock.set(0);
    window.timerStart();

    bool written = true;
    demo.setFrameObserver([&](int32_t time) {
        written = writePng(framePath(outDir, time), frameWidth, frameHeight, readFrame()) && written;
    });
    for (const int time : options->times) {
        clock.set(static_cast<int64_t>(time) - demo.startTime());
        setOfflineMusicTime(time);
        demo.frame();
    }
    window.shutdown();
    return written ? 0 : 1;
}
