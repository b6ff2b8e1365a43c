#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>

namespace {

std::atomic<unsigned> madeInThisProcess{0};

void removeLeftovers();

// The directories not yet removed. A death test's child process ends
// through exit() inside the code under test, past the destructors of the
// test's own objects; its directories are removed at exit instead.
std::set<std::filesystem::path>& liveDirectories()
{
    static std::set<std::filesystem::path> live;
    static const bool removedAtExit = std::atexit(removeLeftovers) == 0;
    (void)removedAtExit;
    return live;
}

void removeLeftovers()
{
    std::error_code ignored;
    for (const std::filesystem::path& path : liveDirectories())
        std::filesystem::remove_all(path, ignored);
}

}  // namespace

TempDir::TempDir()
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            base / ("stillwater-test-" + std::to_string(getpid()) + "-" + std::to_string(madeInThisProcess++) + "-" +
                    std::to_string(random()));
        std::error_code error;
        // create_directory is false for a directory that already exists:
        // someone else's, never to be shared.
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            liveDirectories().insert(path_);
            return;
        }
    }
    ADD_FAILURE() << "no temporary directory of its own under " << base;
}

TempDir::~TempDir()
{
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    liveDirectories().erase(path_);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const
{
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
}
