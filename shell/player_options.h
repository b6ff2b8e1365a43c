#pragma once
// The player's command line: where the show comes from, which stretch of it
// plays, and how it is shown. With no options the show plays as it always did.
#include <cstdint>
#include <string>

struct PlayerOptions {
    bool window = false;   // --window: a window instead of fullscreen
    int32_t start = -1;    // --start MS; -1: the script's DEMOSTART
    int32_t end = -1;      // --end MS; -1: the show's own end
    std::string dataDir;   // --data DIR: loose files instead of an archive
    std::string archive = "hoard.dpk";
    std::string password = "quill";
    std::string music = "soundtrack.ogg";
    bool loop = false;     // --loop: from the end back to the start
    bool vsync = true;     // --no-vsync turns the wait for the vertical blank off
    bool help = false;     // --help: print the usage and end
};

// Reads the arguments after the program name. False with a one-line reason
// in error for an unknown option, a missing or bad value, an end of 0 or
// not after the start, a start at or past the show's own end without
// --end, or --data together with --archive or --password.
bool readPlayerOptions(int argc, const char* const* argv, PlayerOptions& options, std::string& error);

// The usage text, several lines, ending in a newline.
std::string playerUsage(const char* program);
