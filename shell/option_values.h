#pragma once
// The values of command-line options that the player and swtool share:
// read strictly, so that a typing mistake is an error and never a silent 0.
#include <cstdint>

// A demo time in ms: decimal digits only (no sign, no spaces, no unit),
// 0 to 2147483647. False, ms untouched, otherwise.
bool readDemoTime(const char* text, int32_t& ms);

// A whole number from 1 to `most` (frames a second, samples): decimal
// digits only. False, value untouched, otherwise.
bool readPositiveCount(const char* text, int32_t most, int32_t& value);
