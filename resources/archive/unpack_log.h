#pragma once
// The archive reader's debug log: "debug_unrar.txt" in the temporary
// directory (or the folder the program chooses before the first extraction),
// created on the first extraction of the run and appended to by
// every later entry. It is the only place where the reader says why an
// extraction failed.
#include <string>

// Creates the log file on the first call of the run (title, build stamp);
// later calls do nothing. When the file cannot be created logging stays off.
void startUnpackLog();

// Appends one entry with the milliseconds since the log was started and the
// source position of the caller (the builtins, unlike std::source_location,
// exist in every compiler we build with). Does nothing while logging is off.
void unpackLog(const std::string& message, unsigned line = __builtin_LINE(), const char* file = __builtin_FILE());

// printf-style formatting into a string, for log messages.
std::string logFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Switches logging on or off for the rest of the run (it starts on). Fuzzing
// turns it off so that millions of runs do not each touch the file.
void setUnpackLogEnabled(bool enabled);

// Puts the log file into folder (which must exist) instead of the temporary
// directory. Takes effect for a log not yet started.
void setUnpackLogFolder(const std::string& folder);

// Full path of the log file.
std::string unpackLogPath();
