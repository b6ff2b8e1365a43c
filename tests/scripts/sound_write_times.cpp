// Records when a program hands each buffer of sound to SDL's disk audio
// driver: loaded with LD_PRELOAD, it stands between the driver and the C
// library's fwrite and, for every write of one device buffer (1024 stereo
// frames of 16 bits, 4096 bytes), appends "<buffer number> <steady clock
// ns>" to the file named by SW_SOUND_WRITE_LOG. The disk driver writes what
// would be heard the moment it would be heard, so these are the times the
// listener hears each buffer begin.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using WriteFunction = size_t (*)(const void*, size_t, size_t, FILE*);

void record(long buffer)
{
    static int file = -2;
    if (file == -2) {
        const char* path = std::getenv("SW_SOUND_WRITE_LOG");
        file = path != nullptr ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    if (file < 0)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[48];
    const int length = std::snprintf(line, sizeof line, "%ld %lld\n", buffer,
                                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (write(file, line, static_cast<size_t>(length)) != length)
        std::fprintf(stderr, "sound write times: cannot write\n");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) size_t fwrite(const void* data, size_t size, size_t count,
                                                                 FILE* stream)
{
    static const auto real = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "fwrite"));
    static long buffers = 0;
    if (size * count == 4096)
        record(buffers++);
    return real != nullptr ? real(data, size, count, stream) : 0;
}
