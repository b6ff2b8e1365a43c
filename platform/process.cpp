#include "platform/process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace platform {

void registerExitHandler(void (*handler)()) { std::atexit(handler); }

std::string temporaryDirectory()
{
#ifdef _WIN32
    // GetTempPath's folder (TMP, TEMP or the user's), given with a trailing
    // backslash; the Windows folder when even that fails.
    const char* fallback = "C:\\Windows\\Temp";
    const auto isSeparator = [](char c) { return c == '/' || c == '\\'; };
    constexpr size_t rootLength = 3;  // "C:\"
#else
    const char* fallback = "/tmp";
    const auto isSeparator = [](char c) { return c == '/'; };
    constexpr size_t rootLength = 1;
#endif
    std::error_code error;
    std::filesystem::path dir = std::filesystem::temp_directory_path(error);
    if (error)
        return fallback;
    std::string text = dir.string();
    while (text.size() > rootLength && isSeparator(text.back()))
        text.pop_back();
    return text;
}

void useBinaryStandardOutput()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

bool standardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(2) != 0;
#else
    return isatty(2) != 0;
#endif
}

}  // namespace platform
