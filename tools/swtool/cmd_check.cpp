// swtool check: reads a show's script and its includes as the player would
// and lists every mistake found, each as FILE:LINE: what, with the word.
#include "tools/swtool/commands.h"

#include "resources/archive/archive_check.h"
#include "resources/datafile.h"
#include "tools/swtool/script_check.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* scriptPath = "data/script.scr";
constexpr const char* usage = "usage: swtool check (--data DIR | --archive FILE [--password PW])\n";

struct CheckOptions {
    std::string dataDir;
    std::string archive;
    std::string password;
};

bool parseOptions(int argc, char** argv, CheckOptions& options)
{
    for (int i = 0; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        std::string* target = flag == "--data"       ? &options.dataDir
                              : flag == "--archive"  ? &options.archive
                              : flag == "--password" ? &options.password
                                                     : nullptr;
        if (target == nullptr) {
            std::fprintf(stderr, "swtool check: unknown option %s\n", flag.c_str());
            return false;
        }
        *target = argv[i + 1];
    }
    if (argc % 2 != 0) {
        std::fprintf(stderr, "swtool check: %s needs a value\n", argv[argc - 1]);
        return false;
    }
    if (options.dataDir.empty() == options.archive.empty())
        return false;
    if (!options.dataDir.empty() && !options.password.empty()) {
        std::fprintf(stderr, "swtool check: --data reads loose files; it does not go with --password\n");
        return false;
    }
    return true;
}

// Makes the show's data files readable as the player reads them; false,
// with a message, when they cannot be.
bool openShowData(const CheckOptions& options)
{
    if (!options.dataDir.empty()) {
        std::error_code error;
        std::filesystem::current_path(options.dataDir, error);
        if (error) {
            std::fprintf(stderr, "swtool check: cannot enter %s\n", options.dataDir.c_str());
            return false;
        }
        return true;
    }
    const std::string fault = archiveFault(options.archive.c_str(), options.password.c_str(), scriptPath);
    if (!fault.empty()) {
        std::fprintf(stderr, "swtool check: data archive %s: %s\n", options.archive.c_str(), fault.c_str());
        return false;
    }
    setDataArchive(options.archive.c_str(), options.password.c_str());
    return true;
}

}  // namespace

int runCheck(int argc, char** argv)
{
    CheckOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(usage, stderr);
        return usageStatus;
    }
    if (!openShowData(options))
        return 1;
    const std::vector<ScriptFinding> findings = checkScript(scriptPath);
    for (const ScriptFinding& finding : findings)
        std::printf("%s\n", finding.text().c_str());
    return findings.empty() ? 0 : 1;
}
