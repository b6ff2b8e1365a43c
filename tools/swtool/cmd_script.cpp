// swtool script FILE: parses a script and prints what the player would see.
#include "tools/swtool/commands.h"

#include "timeline/script.h"

#include <cstdio>
#include <string>

namespace {

void printCommand(const Command& c)
{
    std::printf(" %d %d %d %d", c.code, c.isText, c.argCount, c.timeOffset);
    if (c.isText != 0) {
        std::printf(" %s", c.text.c_str());
        return;
    }
    const int stored = c.argCount < 10 ? c.argCount : 10;
    for (int i = 0; i < stored; ++i)
        std::printf(" %d", c.args[i]);
}

}  // namespace

int runScript(int argc, char** argv)
{
    if (argc != 1) {
        std::fprintf(stderr, "usage: swtool script FILE\n");
        return 1;
    }
    const Script script(argv[0]);
    std::printf("demostart %d\n", script.demoStart());
    // Only a script that sets its end says so: the lines of every other
    // script stay as they were.
    if (script.demoEnd() >= 0)
        std::printf("demoend %d\n", script.demoEnd());
    for (const auto& event : script.setupEvents()) {
        std::printf("setup %d", event->effect);
        printCommand(event->payload);
        std::printf("\n");
    }
    for (const auto& event : script.timelineEvents()) {
        std::printf("event %d %s %d", event->time, eventKindName(event->kind), event->effect);
        if (event->kind == EventKind::signal)
            printCommand(event->payload);
        std::printf("\n");
    }
    return 0;
}
