// Counts the frames a program shows, for the scripts that run the players:
// loaded with LD_PRELOAD, it stands between the program and SDL's buffer
// swap and, after every swap, writes the count so far to the file named by
// SW_FRAME_COUNT_FILE (a fixed-width line rewritten in place, so a reader
// never sees it half written or empty).
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

struct SDL_Window;

namespace {

using SwapFunction = void (*)(SDL_Window*);

void record(long frames)
{
    static int file = -2;
    if (file == -2) {
        const char* path = std::getenv("SW_FRAME_COUNT_FILE");
        file = path != nullptr ? open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644) : -1;
    }
    if (file < 0)
        return;
    char line[24];
    const int length = std::snprintf(line, sizeof line, "%20ld\n", frames);
    if (pwrite(file, line, static_cast<size_t>(length), 0) != length)
        std::fprintf(stderr, "frame counter: cannot write the count\n");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(SDL_Window* window)
{
    static const auto real = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static long frames = 0;
    if (real != nullptr)
        real(window);
    record(++frames);
}
