#include "timeline/command.h"

#include <algorithm>

Command& Command::operator=(const Command& other)
{
    isText = other.isText;
    code = other.code;
    std::copy(std::begin(other.args), std::end(other.args), args);
    firstArg = args;
    timeOffset = other.timeOffset;
    text = other.text;
    argCount = other.argCount;
    dueTime = other.dueTime;
    return *this;
}

const char* eventKindName(EventKind kind)
{
    switch (kind) {
    case EventKind::start: return "START";
    case EventKind::end: return "END";
    case EventKind::init: return "INIT";
    case EventKind::signal: return "SIGNAL";
    }
    return "?";
}
