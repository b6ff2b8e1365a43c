#pragma once
// Process-level services: exit handlers, the temporary directory, and the
// folders a program finds itself in and keeps its logs in.
#include <string>

namespace platform {

// Runs handler at every process exit, including exit(1) after a fatal error.
void registerExitHandler(void (*handler)());

// The system's directory for temporary files, with no trailing separator.
std::string temporaryDirectory();

// The folder that holds the running executable, with no trailing separator
// (symbolic links to the executable resolved); empty when the system cannot
// tell. An installed program finds its data relative to it.
std::string executableFolder();

// The folder where a program of this user keeps its logs and other state:
// on Linux "$XDG_STATE_HOME/<program>" ($XDG_STATE_HOME only when it is an
// absolute path), else "$HOME/.local/state/<program>"; on Windows the
// temporary directory, where Windows programs keep theirs. Empty when no
// such folder is known (no HOME). The folder is not created.
std::string userStateFolder(const std::string& program);

// True when the current user may create files in folder.
bool folderWritable(const std::string& folder);

// Makes standard output carry bytes as they are written: Windows would
// otherwise turn each "\n" into "\r\n". Call before the first write.
void useBinaryStandardOutput();

// True when standard error is a terminal (a person watching), false when it
// goes to a file or a pipe.
bool standardErrorIsTerminal();

}  // namespace platform
