#pragma once
// Why a data archive cannot give the show its files, in words a show maker
// can act on. The reader itself only says so in its debug log; the player
// asks here once at start-up, before any effect needs a file.
#include <string>

// Empty when member can be extracted from the archive at archivePath with
// password. Otherwise the first fault found, in this order: the file cannot
// be opened; it is not a RAR archive; a member's data run past the end of
// the file (cut short); member is not in it; member is enciphered and the
// password is empty; member does not extract to its checksum (a wrong
// password, or damaged data).
std::string archiveFault(const char* archivePath, const char* password, const char* member);
