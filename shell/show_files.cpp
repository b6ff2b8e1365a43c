#include "shell/show_files.h"

#include "platform/process.h"
#include "resources/archive/unpack_log.h"
#include "shell/player_options.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// Where the install rules put the show, seen from the folder of the programs.
constexpr const char* showFromProgramFolder = "../share/stillwater";

bool isFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Takes the installed file for a name left at its default and missing from
// the current folder. True when it did.
bool takeInstalled(std::string& name, const std::string& defaultName, const std::string& installedFolder)
{
    if (name != defaultName || isFile(name) || installedFolder.empty())
        return false;
    const std::string installed = installedFolder + "/" + name;
    if (!isFile(installed))
        return false;
    name = installed;
    return true;
}

// The state folder, made when missing; empty when there is none to be had.
std::string readyStateFolder()
{
    const std::string folder = platform::userStateFolder(installName);
    if (folder.empty())
        return {};
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "player: cannot make %s for the archive log: %s\n", folder.c_str(),
                     error.message().c_str());
        return {};
    }
    return folder;
}

}  // namespace

std::string installedShowFolder()
{
    const std::string programFolder = platform::executableFolder();
    if (programFolder.empty())
        return {};
    return (std::filesystem::path(programFolder) / showFromProgramFolder).lexically_normal().string();
}

void findShowFiles(PlayerOptions& options)
{
    const PlayerOptions defaults;
    const std::string installed = installedShowFolder();
    bool installedPlays = false;
    if (options.dataDir.empty())
        installedPlays = takeInstalled(options.archive, defaults.archive, installed);
    installedPlays = takeInstalled(options.music, defaults.music, installed) || installedPlays;

    // The log stays in the temporary directory, as it always did, while the
    // show comes from a folder the user works in. An installed show, or a
    // folder the user may not write to, puts it with the user's own state.
    if (installedPlays || !platform::folderWritable(".")) {
        const std::string folder = readyStateFolder();
        if (!folder.empty())
            setUnpackLogFolder(folder);
    }
}

std::string showFilesHelp()
{
    const PlayerOptions defaults;
    const std::string installed = installedShowFolder();
    const std::string state = platform::userStateFolder(installName);
    std::string text = "files: " + defaults.archive + " and " + defaults.music + " from the current folder";
    if (!installed.empty())
        text += ";\n       where one is missing there, the installed one from\n       " + installed;
    text += "\nlog:   the archive reader's log is " + platform::temporaryDirectory() + "/debug_unrar.txt";
    if (!state.empty() && state != platform::temporaryDirectory())
        text += ",\n       or " + state + "/debug_unrar.txt when the installed show plays\n"
                "       or the current folder is not writable";
    text += "\n";
    return text;
}
