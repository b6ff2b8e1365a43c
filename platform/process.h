#pragma once
// Process-level services: exit handlers and the temporary directory.
#include <string>

namespace platform {

// Runs handler at every process exit, including exit(1) after a fatal error.
void registerExitHandler(void (*handler)());

// The system's directory for temporary files, with no trailing separator.
std::string temporaryDirectory();

// Makes standard output carry bytes as they are written: Windows would
// otherwise turn each "\n" into "\r\n". Call before the first write.
void useBinaryStandardOutput();

// True when standard error is a terminal (a person watching), false when it
// goes to a file or a pipe.
bool standardErrorIsTerminal();

}  // namespace platform
