#pragma once
// Script commands built by hand, as the parser would make them.
#include <initializer_list>

#include "timeline/command.h"

// A numeric command with the given arguments (argCount = their number).
inline Command numericCommand(int code, std::initializer_list<int> args, int timeOffset = 0)
{
    Command c;
    c.code = code;
    int i = 0;
    for (int a : args) {
        if (i < 10)
            c.args[i] = a;
        ++i;
    }
    c.argCount = i;
    c.timeOffset = timeOffset;
    return c;
}
