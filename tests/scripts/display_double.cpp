// A display without fullscreen modes, for the scripts that run the players:
// loaded with LD_PRELOAD, it answers every closest-mode query with "none"
// (as a display that cannot switch to the show's mode does), and writes one
// line per window the program makes, "fullscreen" or "window", to the file
// named by SW_WINDOW_LOG.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

struct SDL_Window;
struct SDL_DisplayMode;

namespace {

// SDL_WINDOW_FULLSCREEN of SDL2's window flags.
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

extern "C" __attribute__((visibility("default"))) SDL_DisplayMode* SDL_GetClosestDisplayMode(int, const SDL_DisplayMode*,
                                                                                              SDL_DisplayMode*)
{
    return nullptr;
}

extern "C" __attribute__((visibility("default"))) SDL_Window* SDL_CreateWindow(const char* title, int x, int y, int w,
                                                                               int h, uint32_t flags)
{
    using CreateFunction = SDL_Window* (*)(const char*, int, int, int, int, uint32_t);
    static const auto real = reinterpret_cast<CreateFunction>(dlsym(RTLD_NEXT, "SDL_CreateWindow"));
    logWindow(flags);
    return real != nullptr ? real(title, x, y, w, h, flags) : nullptr;
}
