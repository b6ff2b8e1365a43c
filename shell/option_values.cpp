#include "shell/option_values.h"

#include <charconv>
#include <cstring>

bool readDemoTime(const char* text, int32_t& ms)
{
    const char* end = text + std::strlen(text);
    if (text == end || *text < '0' || *text > '9')
        return false;
    int32_t value = 0;
    const auto [last, failure] = std::from_chars(text, end, value);
    if (failure != std::errc() || last != end)
        return false;
    ms = value;
    return true;
}

bool readPositiveCount(const char* text, int32_t most, int32_t& value)
{
    int32_t read = 0;
    if (!readDemoTime(text, read) || read < 1 || read > most)
        return false;
    value = read;
    return true;
}
