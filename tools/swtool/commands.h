#pragma once
// The subcommands of swtool. Each takes the arguments after its own name and
// returns the process exit status (0 success, 1 failure); errors go to stderr.

// The long commands (render, profile) end a usage error, a bad time or rate
// among them, with this status, as the player does.
constexpr int usageStatus = 2;

struct SwtoolCommand {
    const char* name;
    const char* usage;
    int (*run)(int argc, char** argv);
};

int runHelp(int argc, char** argv);
int runScript(int argc, char** argv);
int runRender(int argc, char** argv);
int runProfile(int argc, char** argv);
int runList(int argc, char** argv);
int runExtract(int argc, char** argv);
int runPack(int argc, char** argv);
int runImage(int argc, char** argv);
int runScene(int argc, char** argv);
int runBeats(int argc, char** argv);
int runCheck(int argc, char** argv);
int runCompare(int argc, char** argv);
int runNew(int argc, char** argv);
