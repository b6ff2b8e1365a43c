#pragma once
// The record an effect receives through its command operation, and the parsed
// timeline or setup event that carries it.
#include <cstdint>
#include <string>

struct Command {
    int32_t isText = 0;  // 1: the argument is the word in text
    int32_t code = 0;
    int32_t args[10] = {};  // numeric arguments in script order, 0 beyond those stored
    // Always refers to args[0] of this record: a copy refers to its own
    // args[0], which holds the same value as the original's.
    const int32_t* firstArg = args;
    int32_t timeOffset = 0;  // the script's time offset when a timeline SIGNAL was read
    std::string text;        // the word of a text command
    int32_t argCount = 0;    // numeric arguments written, also those beyond the tenth
    // The demo time a timeline SIGNAL was due at (0 for setup commands):
    // what repeats from a command counts its periods from there, whenever
    // the frame that delivers it comes.
    int32_t dueTime = 0;

    Command() = default;
    Command(const Command& other) { *this = other; }
    Command& operator=(const Command& other);

    int32_t first() const { return *firstArg; }
};

enum class EventKind : int32_t { start = 1, end = 2, init = 3, signal = 4 };

struct ScriptEvent {
    int32_t time = 0;
    EventKind kind = EventKind::start;
    int32_t effect = 0;
    Command payload;  // SIGNAL only; zero for the other kinds
};

// The name of a kind as the script writes it ("START", "END", "INIT", "SIGNAL").
const char* eventKindName(EventKind kind);
