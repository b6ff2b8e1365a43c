#pragma once
// A fresh directory per test, removed afterwards, for files a test writes.
// Its name holds the process id, a count within the process and a random
// part, and it is made only if it did not exist: test processes running side
// by side (two checkouts, CI beside a developer) never share one.
#include <filesystem>
#include <string>

class TempDir {
public:
    // Makes the directory under the system's temporary directory; a test
    // that gets none fails at once.
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes bytes to name (relative to the directory) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};
