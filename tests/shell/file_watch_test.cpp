#include "shell/file_watch.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

TEST(FileWatchTest, SavingRemovingAndCreatingAreNoticedOnce)
{
    TempDir dir;
    const std::string script = dir.write("script.scr", "SETUP\n");
    const std::string part = (dir.path() / "part.scr").string();  // not there yet
    FileWatch watch;
    watch.watch({script, part});
    EXPECT_FALSE(watch.changed());

    dir.write("script.scr", "SETUP\nTIMELINE\n");  // another size
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.changed());

    // The same size, written later: the time tells.
    const auto before = std::filesystem::last_write_time(script);
    dir.write("script.scr", "SETUP\nTIMELINX\n");
    std::filesystem::last_write_time(script, before + std::chrono::seconds(1));
    EXPECT_TRUE(watch.changed());

    dir.write("part.scr", "x");
    EXPECT_TRUE(watch.changed());
    std::filesystem::remove(part);
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.changed());

    watch.watch({});
    dir.write("script.scr", "gone from the watch");
    EXPECT_FALSE(watch.changed());
}

}  // namespace
