#include "resources/archive/unpack_log.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "platform/process.h"

namespace {

struct LogState {
    bool enabled = true;
    bool started = false;
    bool fileReady = false;
    uint32_t startTick = 0;
    std::string folder;  // empty: the temporary directory
};

LogState& state()
{
    static LogState s;
    return s;
}

const char* baseName(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

}  // namespace

std::string unpackLogPath()
{
    const std::string& folder = state().folder;
    return (folder.empty() ? platform::temporaryDirectory() : folder) + "/debug_unrar.txt";
}

void setUnpackLogFolder(const std::string& folder) { state().folder = folder; }

void setUnpackLogEnabled(bool enabled) { state().enabled = enabled; }

void startUnpackLog()
{
    LogState& s = state();
    if (s.started || !s.enabled)
        return;
    s.started = true;
    s.startTick = platform::tickCountMs();
    std::FILE* file = std::fopen(unpackLogPath().c_str(), "w");
    if (!file)
        return;
    std::fprintf(file, "Stillwater archive reader - debug log\n");
    std::fprintf(file, "~^~^~^~^~^~^~^~^~^~^~^~^~^~^~^~^~^~^~^~\n");
    std::fprintf(file, "(executable compiled on %s at %s)\n\n", __DATE__, __TIME__);
    std::fclose(file);
    s.fileReady = true;
}

void unpackLog(const std::string& message, unsigned line, const char* sourceFile)
{
    const LogState& s = state();
    if (!s.enabled || !s.fileReady)
        return;
    std::FILE* file = std::fopen(unpackLogPath().c_str(), "a");
    if (!file)
        return;
    std::fprintf(file, " %8u ms (line %u in %s):\n              - %s\n", platform::tickCountMs() - s.startTick,
                 line, baseName(sourceFile), message.c_str());
    std::fclose(file);
}

std::string logFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}
