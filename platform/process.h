#pragma once
// Process-level services: exit handlers and the temporary directory.
#include <string>

namespace platform {

// Runs handler at every process exit, including exit(1) after a fatal error.
void registerExitHandler(void (*handler)());

// The system's directory for temporary files, with no trailing separator.
std::string temporaryDirectory();

}  // namespace platform
