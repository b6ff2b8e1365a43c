#include "shell/entry.h"

#include "platform/native_window.h"
#include "shell/error_report.h"
#include "shell/extensions.h"
#include "shell/glwindow.h"

#include <GL/gl.h>

namespace {

constexpr int escapeKey = 27;

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

    window.clearKeys();
    window.timerStart();
    bool running = true;
    while (running) {
        platform::Event event;
        if (platform::pollEvent(event)) {
            if (event.kind == platform::EventKind::quit)
                break;
            window.handleEvent(event);
            continue;
        }
        if (window.active()) {
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            window.swapBuffers();
        }
        running = window.keyDown(escapeKey) == 0;
    }
    window.shutdown();
    return 0;
}
