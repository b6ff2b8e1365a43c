// swtool: the command-line tool for show makers and tests.
#include "tools/swtool/commands.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// Keep in the order `swtool help` should list them.
const SwtoolCommand commands[] = {
    {"help", "help", runHelp},
    {"new", "new DIR", runNew},
    {"check", "check (--data DIR | --archive FILE [--password PW])", runCheck},
    {"script", "script FILE", runScript},
    {"render", "render (--data DIR | --archive FILE [--password PW]) [--music OGG] [--samples N] ((--at T1,T2,... | --from A [--to B]) [--fps F] --out DIR | --from A [--to B] [--fps F] --video FILE [--crf N | --bitrate KBPS]) [--quiet]", runRender},
    {"profile", "profile (--data DIR | --archive FILE [--password PW]) [--music OGG] [--samples N] [--from A --to B] [--fps F] [--csv FILE] [--quiet]", runProfile},
    {"list", "list ARCHIVE", runList},
    {"extract", "extract ARCHIVE MEMBER [--password PW] [-o FILE]", runExtract},
    {"pack", "pack DIR ARCHIVE [--password PW]", runPack},
    {"compare", "compare DIR_A DIR_B [--edges DIR_4 DIR_0]", runCompare},
    {"image", "image FILE [--to32] [--scale WxH] [--raw OUT]", runImage},
    {"scene", "scene FILE [--textures DIR]", runScene},
    {"beats", "beats --music OGG [--from A --to B]", runBeats},
};

}  // namespace

int runHelp(int, char**)
{
    std::printf("usage: swtool <command> [arguments]\n\ncommands:\n");
    for (const SwtoolCommand& command : commands)
        std::printf("  %s\n", command.usage);
    return 0;
}

namespace {

bool asksForHelp(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        runHelp(0, nullptr);
        return 1;
    }
    if (std::strcmp(argv[1], "--help") == 0)
        return runHelp(0, nullptr);
    for (const SwtoolCommand& command : commands) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        // Answered here for every command, before its own parsing of the
        // arguments would take --help for an option it does not know.
        if (asksForHelp(argc - 2, argv + 2)) {
            std::printf("usage: swtool %s\n", command.usage);
            return 0;
        }
        return command.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "swtool: unknown command \"%s\" (try swtool help)\n", argv[1]);
    return 1;
}
