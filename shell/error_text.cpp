#include "shell/error_report.h"

std::string composeErrorText(const char* message, int number)
{
    std::string text = message != nullptr ? message : "";
    if (number != -1) {
        text += ' ';
        text += std::to_string(number);
    }
    return text;
}
