#include "shell/player_options.h"

#include "shell/option_values.h"
#include "timeline/demo.h"

bool readPlayerOptions(int argc, const char* const* argv, PlayerOptions& options, std::string& error)
{
    bool archiveGiven = false;
    for (int i = 0; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--window") {
            options.window = true;
        } else if (flag == "--loop") {
            options.loop = true;
        } else if (flag == "--no-vsync") {
            options.vsync = false;
        } else if (flag == "--help") {
            options.help = true;
        } else if (flag == "--start" || flag == "--end" || flag == "--data" || flag == "--archive" ||
                   flag == "--password" || flag == "--music") {
            if (i + 1 >= argc) {
                error = flag + " needs a value";
                return false;
            }
            const char* value = argv[++i];
            if (flag == "--start" || flag == "--end") {
                int32_t& ms = flag == "--start" ? options.start : options.end;
                if (!readDemoTime(value, ms)) {
                    error = flag + " needs milliseconds, not " + value;
                    return false;
                }
            } else if (*value == '\0') {
                error = flag + " needs a value";
                return false;
            } else if (flag == "--data") {
                options.dataDir = value;
            } else if (flag == "--archive") {
                options.archive = value;
                archiveGiven = true;
            } else if (flag == "--password") {
                options.password = value;
                archiveGiven = true;
            } else {
                options.music = value;
            }
        } else {
            error = "unknown option " + flag;
            return false;
        }
    }
    if (!options.dataDir.empty() && archiveGiven) {
        error = "--data reads loose files; it does not go with --archive or --password";
        return false;
    }
    if (options.end == 0) {
        error = "--end must lie after the show's start";
        return false;
    }
    if (options.start >= 0 && options.end >= 0 && options.end <= options.start) {
        error = "--end must lie after --start";
        return false;
    }
    // Without --end the show ends at its own end: a start there or past it
    // would play one frame and stop.
    if (options.start >= Demo::defaultEndTime && options.end < 0) {
        error = "--start must lie before the show's end (" + std::to_string(Demo::defaultEndTime) + " ms)";
        return false;
    }
    return true;
}

std::string playerUsage(const char* program)
{
    std::string usage = "usage: ";
    usage += program;
    usage += " [options]\n"
             "  --window          play in a window instead of fullscreen\n"
             "  --start MS        begin at demo time MS (picture and music)\n"
             "  --end MS          end the program at demo time MS\n"
             "  --loop            go back to the start at the end instead of ending\n"
             "  --data DIR        read the show from the loose files in DIR (the script\n"
             "                    reloads when it or a file it includes is saved)\n"
             "  --archive FILE    read the show from FILE instead of hoard.dpk\n"
             "  --password PW     the archive's password\n"
             "  --music FILE      play FILE instead of soundtrack.ogg\n"
             "  --no-vsync        do not wait for the vertical blank\n"
             "  --help            print this text\n"
             "keys: Escape ends, Control+Shift reloads and restarts, Space pauses,\n"
             "      Left/Right jump 5 s, Page Up/Page Down 30 s, Home goes to the start\n";
    return usage;
}
