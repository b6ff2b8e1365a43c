// close_window TITLE [SECONDS]: waits up to SECONDS (default 30) for a
// top-level window titled TITLE and asks it to close, as its close button
// does (WM_CLOSE). Exit status 0 when the request was posted, 1 when no such
// window appeared.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: close_window TITLE [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    for (int waited = 0; waited <= seconds * 10; ++waited) {
        if (HWND window = FindWindowA(nullptr, argv[1])) {
            if (PostMessageA(window, WM_CLOSE, 0, 0))
                return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "close_window: no window \"%s\" within %d s\n", argv[1], seconds);
    return 1;
}
