#include "shell/entry.h"

#include "platform/native_window.h"
#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "shell/error_report.h"
#include "shell/extensions.h"
#include "shell/frame_log.h"
#include "shell/glwindow.h"
#include "shell/music.h"
#include "timeline/demo.h"
#include "timeline/effect_table.h"
#include "timeline/registry.h"

namespace {

constexpr int showEndTime = 287000;

// Runs frames until the demo asks to quit or reload, or a quit event arrives.
// Returns false when the show is to end.
bool runFrames(GLWindow& window, Demo& demo)
{
    for (;;) {
        platform::Event event;
        if (platform::pollEvent(event)) {
            if (event.kind == platform::EventKind::quit)
                return false;
            window.handleEvent(event);
            continue;
        }
        demo.frame();
        if (demo.reloadRequested())
            return true;
        if (demo.quitRequested())
            return false;
    }
}

}  // namespace

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

int runPlayer(int samples)
{
    GLWindow window(true, "stillwater", 640, 480, samples, 0.0f);
    checkGraphicsCard();
    if (!window.initSound())
        reportError("Fatal error: could not init sound", -1, true);
    if (!window.openMusic("soundtrack.ogg"))
        reportError("Fatal error: could not load music", -1, true);

    // Every data file from here on comes from the archive beside the player.
    setDataArchive("hoard.dpk", "quill");

    ImageCache imageCache;
    TextureManager::setImageLibrary(&imageCache);

    EffectRegistry& registry = EffectRegistry::instance();
    buildEffects(registry, &imageCache, &window);
    Demo demo("data/script.scr");
    demo.setEndTime(showEndTime);
    FrameLog frameLog;
    if (frameLog.active())
        demo.setFrameObserver([&frameLog](int32_t time) { frameLog.record(time); });

    bool again = true;
    while (again) {
        demo.setup(window, registry);
        window.setMusicTime(demo.startTime());
        window.playMusic();
        window.clearKeys();
        window.timerStart();
        again = runFrames(window, demo);
    }
    if (soundInitialised())
        window.closeSound();
    window.shutdown();
    return 0;
}
