#pragma once
// Death tests match the child's standard error against a regular
// expression; messages hold dots, brackets and parentheses.
#include <string>

// A death-test pattern that matches text literally.
inline std::string literally(const std::string& text)
{
    std::string pattern;
    for (char c : text) {
        if (std::string(".[]()*+?{}|^$\\").find(c) != std::string::npos)
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}
