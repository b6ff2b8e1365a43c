/* Preloaded into the sanitized test runs (test.sh --sanitize builds it
 * without the sanitizers): libraries are never unloaded. SDL and Mesa unload
 * the GL driver when a window goes, and LeakSanitizer, which reports at
 * exit, then shows that driver's allocations as "<unknown module>", which no
 * suppression can name. With every library still mapped, lsan.supp matches
 * them by library and leaks from our own code stay reported. */
#include <stddef.h>

int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
