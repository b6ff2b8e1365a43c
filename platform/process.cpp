#include "platform/process.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace platform {

void registerExitHandler(void (*handler)()) { std::atexit(handler); }

std::string temporaryDirectory()
{
    std::error_code error;
    std::filesystem::path dir = std::filesystem::temp_directory_path(error);
    if (error)
        return "/tmp";
    std::string text = dir.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
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
