#include "platform/process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <SDL.h>

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

std::string executableFolder()
{
    // SDL_GetBasePath needs no SDL_Init; it answers with a trailing separator.
    char* base = SDL_GetBasePath();
    if (base == nullptr)
        return {};
    std::string folder = base;
    SDL_free(base);
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

std::string userStateFolder(const std::string& program)
{
#ifdef _WIN32
    static_cast<void>(program);
    return temporaryDirectory();
#else
    // The XDG base directory rules: a relative XDG_STATE_HOME is ignored.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/')
        return std::string(state) + "/" + program;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        return {};
    return std::string(home) + "/.local/state/" + program;
#endif
}

bool folderWritable(const std::string& folder)
{
#ifdef _WIN32
    return _access(folder.c_str(), 2) == 0;
#else
    return access(folder.c_str(), W_OK | X_OK) == 0;
#endif
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
