// Entry of the two deliverables; they differ only in STILLWATER_SAMPLES.
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
    if (!readPlayerOptions(argc > 0 ? argc - 1 : 0, argv + (argc > 0 ? 1 : 0), options, error)) {
        std::fprintf(stderr, "%s: %s\n%s", program, error.c_str(), playerUsage(program).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs((playerUsage(program) + showFilesHelp()).c_str(), stdout);
        return 0;
    }
    findShowFiles(options);
    return runPlayer(STILLWATER_SAMPLES, options);
}
