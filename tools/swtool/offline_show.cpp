#include "tools/swtool/offline_show.h"

#include "platform/native_window.h"
#include "resources/archive/archive_check.h"
#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "shell/entry.h"
#include "shell/glwindow.h"
#include "shell/music.h"
#include "timeline/demo.h"
#include "timeline/effect_table.h"
#include "timeline/missing_data.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

bool readShowSourceFlag(const std::string& flag, const char* value, ShowSource& source)
{
    if (flag == "--data")
        source.dataDir = value;
    else if (flag == "--archive")
        source.archive = value;
    else if (flag == "--password")
        source.password = value;
    else if (flag == "--music")
        source.music = value;
    else if (flag == "--samples")
        source.samples = std::atoi(value);
    else
        return false;
    return true;
}

bool readLongCommandFlags(int argc, char** argv, const char* tool, ShowSource& source, bool& quiet,
                          const std::function<bool(const std::string& flag, const char* value)>& other)
{
    for (int i = 0; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--quiet") {
            quiet = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s: %s needs a value\n", tool, flag.c_str());
            return false;
        }
        const char* value = argv[++i];
        if (!readShowSourceFlag(flag, value, source) && !other(flag, value)) {
            std::fprintf(stderr, "%s: bad option %s %s\n", tool, flag.c_str(), value);
            return false;
        }
    }
    return true;
}

OfflineShow::OfflineShow() = default;

OfflineShow::~OfflineShow()
{
    if (window_ != nullptr)
        window_->shutdown();
}

EffectRegistry& OfflineShow::registry() { return EffectRegistry::instance(); }

bool OfflineShow::open(const ShowSource& source, const char* tool)
{
    std::error_code error;
    // The music is named relative to where the tool was started, before
    // --data moves the current directory.
    const std::string music =
        source.music.empty() ? std::string() : std::filesystem::absolute(source.music, error).string();
    if (!source.archive.empty()) {
        const std::string archive = std::filesystem::absolute(source.archive, error).string();
        // Named with its fault (a password missing or wrong, a damaged file)
        // before an effect asks it for a file it cannot give.
        const std::string fault = archiveFault(archive.c_str(), source.password.c_str(), "data/script.scr");
        if (!fault.empty()) {
            std::fprintf(stderr, "%s: data archive %s: %s\n", tool, source.archive.c_str(), fault.c_str());
            return false;
        }
        setDataArchive(archive.c_str(), source.password.c_str());
    } else {
        std::filesystem::current_path(source.dataDir, error);
        if (error) {
            std::fprintf(stderr, "%s: cannot enter %s\n", tool, source.dataDir.c_str());
            return false;
        }
    }

    platform::requestHeadlessVideo();
    window_ = std::make_unique<GLWindow>(false, "stillwater", frameWidth, frameHeight, source.samples, 0.0f, clock_);
    checkGraphicsCard();
    // With music the beat detector exists and hears the track at each
    // frame's time; nothing is played.
    if (!music.empty() && !openOfflineMusic(music.c_str())) {
        std::fprintf(stderr, "%s: cannot open music %s\n", tool, source.music.c_str());
        return false;
    }
    imageCache_ = std::make_unique<ImageCache>();
    TextureManager::setImageLibrary(imageCache_.get());
    demo_ = std::make_unique<Demo>("data/script.scr");
    MissingData missing;
    buildShowEffects(demo_->readScript(), registry(), *imageCache_, nullptr, missing);
    // Started as the player starts it: the first frame at the start drawn
    // before the time moves.
    clock_.set(0);
    std::vector<std::string> failedInSetup;
    {
        FailedPictureWatch watch(failedInSetup);
        demo_->setup(*window_, registry());
    }
    // The player's start-up check, with its message.
    missing.add(failedInSetup);
    if (!missing.empty()) {
        std::fprintf(stderr, "%s: the show's data lack files its script uses:\n%s\n", tool, missing.message().c_str());
        return false;
    }
    demo_->begin();
    return true;
}

void OfflineShow::drawFrameAt(int32_t time)
{
    clock_.set(static_cast<int64_t>(time) - demo_->startTime());
    demo_->frame();
}

void OfflineShow::restartAt(int32_t time)
{
    clock_.set(static_cast<int64_t>(time) - demo_->startTime());
    demo_->restartAt(time);
}

std::vector<int> stepTimes(long from, long to, long fps)
{
    std::vector<int> times;
    if (fps <= 0)
        return times;
    for (long i = 0;; ++i) {
        const long time = from + i * 1000 / fps;
        if (time > to)
            break;
        times.push_back(static_cast<int>(time));
    }
    return times;
}

void readFrameRgb(uint8_t* pixels)
{
    constexpr int w = OfflineShow::frameWidth;
    constexpr int h = OfflineShow::frameHeight;
    constexpr size_t row = static_cast<size_t>(w) * 3;
    std::vector<uint8_t> bottomUp(row * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (GLWindow* window = currentWindow())
        window->showFrame().readPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < h; ++y)
        std::memcpy(pixels + static_cast<size_t>(y) * row, bottomUp.data() + static_cast<size_t>(h - 1 - y) * row, row);
}
