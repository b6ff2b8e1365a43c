// Entry of the two deliverables; they differ only in STILLWATER_SAMPLES.
#include "platform/message_box.h"
#include "shell/entry.h"
#include "shell/player_options.h"
#include "shell/show_files.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    const char* program = argc > 0 ? argv[0] : "player";
    PlayerOptions options;
    std::string error;
    // Started from Windows' desktop the player has no console: the usage
    // comes in a box there as well.
    if (!readPlayerOptions(argc > 0 ? argc - 1 : 0, argv + (argc > 0 ? 1 : 0), options, error)) {
        const std::string text = std::string(program) + ": " + error + "\n" + playerUsage(program);
        std::fputs(text.c_str(), stderr);
        platform::showWhereNoConsole(text.c_str(), "stillwater", platform::BoxIcon::error);
        return 2;
    }
    if (options.help) {
        const std::string text = playerUsage(program) + showFilesHelp();
        std::fputs(text.c_str(), stdout);
        platform::showWhereNoConsole(text.c_str(), "stillwater", platform::BoxIcon::information);
        return 0;
    }
    findShowFiles(options);
    return runPlayer(STILLWATER_SAMPLES, options);
}
