#pragma once
// Where the player finds its show when the command line does not say: the
// archive and the music in the current folder, as it always did, or else the
// show installed beside the program (share/stillwater next to its bin
// folder, so that a moved install still finds it). And where the archive
// reader's debug log goes: the temporary directory while the player plays
// the show of a folder it may write to, the user's state folder otherwise,
// never the install tree.
#include <string>

struct PlayerOptions;

// Name of the program in file system places: share/<name>, the state folder.
inline constexpr const char* installName = "stillwater";

// The installed show's folder, <executable folder>/../share/stillwater with
// the ".." resolved; empty when the executable's folder is unknown. The
// folder need not exist.
std::string installedShowFolder();

// Each of the archive and the music that still has its default name and is
// not in the current folder becomes the installed file of that name, when
// that file exists; the rest of options is left alone. Then places the
// archive reader's log (see above), creating the state folder when it is
// used. Call before the player reads any file.
void findShowFiles(PlayerOptions& options);

// Lines for --help, ending in a newline: which files the player looks for
// without options, the installed folder it falls back to, and where the
// debug log goes.
std::string showFilesHelp();
