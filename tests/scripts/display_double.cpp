// A display that cannot show a fullscreen window, for the scripts that run
// the players: loaded with LD_PRELOAD, it refuses every window asked for
// fullscreen (as a window system that cannot give one does) and writes one
// line per window the program gets, "fullscreen" or "window", to the file
// named by SW_WINDOW_LOG.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

struct SDL_Window;

namespace {

// SDL_WINDOW_FULLSCREEN of SDL2's window flags; fullscreen on the desktop
// (SDL_WINDOW_FULLSCREEN_DESKTOP) includes it.
constexpr uint32_t fullscreenFlag = 0x00000001;

void logWindow(uint32_t flags)
{
    const char* path = std::getenv("SW_WINDOW_LOG");
    if (path == nullptr)
        return;
    if (std::FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "%s\n", (flags & fullscreenFlag) != 0 ? "fullscreen" : "window");
        std::fclose(log);
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) SDL_Window* SDL_CreateWindow(const char* title, int x, int y, int w,
                                                                               int h, uint32_t flags)
{
    using CreateFunction = SDL_Window* (*)(const char*, int, int, int, int, uint32_t);
    static const auto real = reinterpret_cast<CreateFunction>(dlsym(RTLD_NEXT, "SDL_CreateWindow"));
    if ((flags & fullscreenFlag) != 0 || real == nullptr)
        return nullptr;
    SDL_Window* window = real(title, x, y, w, h, flags);
    if (window != nullptr)
        logWindow(flags);
    return window;
}
