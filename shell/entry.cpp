#include "shell/entry.h"

#include "platform/native_window.h"
#include "resources/archive/archive_check.h"
#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "shell/error_report.h"
#include "shell/extensions.h"
#include "shell/file_watch.h"
#include "shell/frame_log.h"
#include "shell/glwindow.h"
#include "shell/music.h"
#include "shell/player_options.h"
#include "shell/status_title.h"
#include "timeline/demo.h"
#include "timeline/effect_table.h"
#include "timeline/missing_data.h"
#include "timeline/registry.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* scriptPath = "data/script.scr";

// Why the music file did not open, for the line that precedes the fatal
// music error: the file looked at is the one that was opened, named as the
// user gave it.
std::string musicFault(const std::string& opened, const std::string& given)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(opened, error))
        return given + " is missing (no such file)";
    return given + " is not an Ogg Vorbis file";
}

// With a watch, reloads the script when one of its files was saved and goes
// on at the same time; a broken script keeps the last good one playing.
void reloadWhenSaved(Demo& demo, FileWatch* watch)
{
    if (watch == nullptr || !watch->changed())
        return;
    std::string failure;
    if (demo.reloadKeepingTime(failure)) {
        watch->watch(demo.script()->files());
        std::fprintf(stderr, "script: reloaded\n");
    } else {
        std::fprintf(stderr, "%s\nscript: the last good script plays on\n", failure.c_str());
    }
}

// Runs frames until the demo asks to quit or reload, or a quit event arrives.
// The title shows the time and frame rate where it can be seen: in a window,
// or while paused. Returns false when the show is to end.
bool runFrames(GLWindow& window, Demo& demo, FileWatch* watch)
{
    StatusTitle title;
    if (watch != nullptr)
        watch->watch(demo.script()->files());
    for (;;) {
        platform::Event event;
        if (platform::pollEvent(event)) {
            if (event.kind == platform::EventKind::quit)
                return false;
            window.handleEvent(event);
            continue;
        }
        reloadWhenSaved(demo, watch);
        demo.frame();
        const auto time = static_cast<int32_t>(window.timerNow());
        if (title.frameDrawn(time, window.paused()) && (!window.fullscreen() || window.paused()))
            window.setTitle(title.text());
        if (demo.reloadRequested())
            return true;
        if (demo.quitRequested())
            return false;
    }
}

}  // namespace

void buildShowEffects(const Script& script, EffectRegistry& registry, ImageCache& imageCache, GLWindow* window,
                      MissingData& missing)
{
    const EffectNeeds needs{addressedEffects(script), &missing};
    buildEffects(registry, &imageCache, window, &needs);
}

void checkGraphicsCard()
{
    if (!Extensions::has("GL_ARB_multitexture"))
        reportError("GL_ARB_multitexture not supported by your gfx card. Piss off!", -1, true);
    if (Extensions::textureUnits() < 4)
        reportError("Warning: Your shitty gfxcard does not support enough (4) texture units to run this demo "
                    "properly. Some features will be disabled",
                    -1, false);
    for (const char* optional : {"GL_ARB_occlusion_query", "GL_ARB_vertex_buffer_object", "WGL_ARB_pbuffer"}) {
        if (!Extensions::has(optional)) {
            reportError("Warning: Your gfxcard does not support all the features we want (and might behave "
                        "strangely)",
                        -1, false);
            break;
        }
    }
}

void startShow(GLWindow& window, Demo& demo, EffectRegistry& registry)
{
    demo.setup(window, registry);
    window.clearKeys();
    demo.begin();
}

int runPlayer(int samples, const PlayerOptions& options)
{
    // Files named on the command line are relative to where the player
    // started, before --data moves the current directory.
    std::error_code error;
    const std::string music = std::filesystem::absolute(options.music, error).string();
    if (!options.dataDir.empty()) {
        std::filesystem::current_path(options.dataDir, error);
        if (error) {
            std::fprintf(stderr, "player: cannot enter %s\n", options.dataDir.c_str());
            return 2;
        }
    }

    GLWindow window(!options.window, "stillwater", 640, 480, samples, 0.0f);
    window.setSwapWait(options.vsync);
    checkGraphicsCard();
    if (!window.initSound())
        reportError("Fatal error: could not init sound", -1, true);
    if (!window.openMusic(music.c_str())) {
        std::fprintf(stderr, "music: %s\n", musicFault(music, options.music).c_str());
        reportError("Fatal error: could not load music", -1, true);
    }

    // Every data file from here on comes from the archive, unless the show
    // is a folder of loose files. An archive that cannot give the script
    // is named with its fault before any effect looks for a file in it.
    if (options.dataDir.empty()) {
        const std::string fault = archiveFault(options.archive.c_str(), options.password.c_str(), scriptPath);
        if (!fault.empty()) {
            const std::string text = "Fatal error: data archive " + options.archive + ": " + fault;
            reportError(text.c_str(), -1, true);
        }
        setDataArchive(options.archive.c_str(), options.password.c_str());
    }

    ImageCache imageCache;
    TextureManager::setImageLibrary(&imageCache);

    EffectRegistry& registry = EffectRegistry::instance();
    Demo demo(scriptPath);
    if (options.end >= 0)
        demo.setEndTime(options.end);
    const Script& script = demo.readScript();
    // Known only now that the script is read: a start after the end would
    // play nothing.
    if (options.start > demo.endTime()) {
        std::fprintf(stderr, "player: --start %d lies after the show's end (%d ms)\n%s", options.start, demo.endTime(),
                     playerUsage("player").c_str());
        window.shutdown();
        return 2;
    }
    MissingData missing;
    buildShowEffects(script, registry, imageCache, &window, missing);
    demo.setStartTime(options.start);
    demo.setLoop(options.loop);
    demo.setLenientReload(!options.dataDir.empty());
    FrameLog frameLog;
    if (frameLog.active())
        demo.setFrameObserver([&frameLog](int32_t time) { frameLog.record(time); });

    // Loose data is being worked on: its script reloads when saved.
    FileWatch watch;
    std::vector<std::string> failedInSetup;
    {
        FailedPictureWatch watch(failedInSetup);
        startShow(window, demo, registry);
    }
    // Data the script uses and the show lacks end it at start-up, every
    // file named in one message, rather than the effects playing without
    // them. Only the setup is watched: frames may ask for names that no
    // file has on purpose (a texture another effect publishes).
    missing.add(failedInSetup);
    if (!missing.empty())
        reportError(missing.message().c_str(), -1, true);
    while (runFrames(window, demo, options.dataDir.empty() ? nullptr : &watch))
        startShow(window, demo, registry);
    if (soundInitialised())
        window.closeSound();
    window.shutdown();
    return 0;
}
