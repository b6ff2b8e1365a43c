#include "shell/file_watch.h"

#include <chrono>
#include <filesystem>

FileWatch::Seen FileWatch::look(const std::string& path)
{
    Seen seen;
    seen.path = path;
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error)
        return seen;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return seen;
    seen.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    seen.size = static_cast<int64_t>(size);
    return seen;
}

void FileWatch::watch(const std::vector<std::string>& paths)
{
    seen_.clear();
    for (const std::string& path : paths)
        seen_.push_back(look(path));
}

bool FileWatch::changed()
{
    bool any = false;
    for (Seen& seen : seen_) {
        const Seen now = look(seen.path);
        if (now.modified != seen.modified || now.size != seen.size) {
            seen = now;
            any = true;
        }
    }
    return any;
}
