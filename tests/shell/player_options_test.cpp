#include "shell/player_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool read(const std::vector<const char*>& args, PlayerOptions& options, std::string& error)
{
    return readPlayerOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(PlayerOptionsTest, NoOptionsPlayTheShowAsAlways)
{
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(read({}, options, error));
    EXPECT_FALSE(options.window);
    EXPECT_EQ(options.start, -1);
    EXPECT_EQ(options.end, -1);
    EXPECT_TRUE(options.dataDir.empty());
    EXPECT_EQ(options.archive, "hoard.dpk");
    EXPECT_EQ(options.password, "quill");
    EXPECT_EQ(options.music, "soundtrack.ogg");
    EXPECT_FALSE(options.loop);
    EXPECT_TRUE(options.vsync);
    EXPECT_FALSE(options.help);
}

TEST(PlayerOptionsTest, EveryOptionIsRead)
{
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(read({"--window", "--start", "60000", "--end", "90000", "--archive", "a.dpk", "--password", "pw",
                      "--music", "m.ogg", "--loop", "--no-vsync", "--help"},
                     options, error))
        << error;
    EXPECT_TRUE(options.window);
    EXPECT_EQ(options.start, 60000);
    EXPECT_EQ(options.end, 90000);
    EXPECT_EQ(options.archive, "a.dpk");
    EXPECT_EQ(options.password, "pw");
    EXPECT_EQ(options.music, "m.ogg");
    EXPECT_TRUE(options.loop);
    EXPECT_FALSE(options.vsync);
    EXPECT_TRUE(options.help);

    PlayerOptions loose;
    ASSERT_TRUE(read({"--data", "show", "--start", "0"}, loose, error)) << error;
    EXPECT_EQ(loose.dataDir, "show");
    EXPECT_EQ(loose.start, 0);
}

TEST(PlayerOptionsTest, BadOptionsAndValuesAreRefusedWithAReason)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--fullscreen"},
        {"window"},
        {"--start"},
        {"--start", "-5"},
        {"--start", "12x"},
        {"--start", ""},
        {"--end", "99999999999"},
        {"--start", "5000", "--end", "5000"},
        {"--start", "6000", "--end", "5000"},
        {"--end", "0"},
        {"--start", "999999"},
        {"--start", "287000"},
        {"--start", "290000", "--loop"},
        {"--data"},
        {"--data", ""},
        {"--music", ""},
        {"--data", "show", "--archive", "a.dpk"},
        {"--password", "pw", "--data", "show"},
    };
    for (const auto& args : bad) {
        PlayerOptions options;
        std::string error;
        EXPECT_FALSE(read(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
    // A start past the show's own end is fine when the end is given.
    PlayerOptions late;
    std::string error;
    EXPECT_TRUE(read({"--start", "290000", "--end", "300000"}, late, error)) << error;
    EXPECT_TRUE(read({"--start", "286999"}, late, error)) << error;
}

TEST(PlayerOptionsTest, UsageNamesEveryOptionAndKey)
{
    const std::string usage = playerUsage("player");
    for (const char* word : {"usage: player", "--window", "--start MS", "--end MS", "--data DIR", "--archive FILE",
                             "--password PW", "--music FILE", "--loop", "--no-vsync", "--help", "Space",
                             "Page Up", "Home"})
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
