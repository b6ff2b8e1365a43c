#include "shell/error_report.h"

#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <string>

void reportError(const char* message, int number, bool fatal)
{
    std::fputs("error!\n", stdout);
    std::fflush(stdout);
    const std::string text = composeErrorText(message, number);
    if (fatal) {
        platform::showMessageBox(text.c_str(), "error", platform::BoxIcon::error);
        std::exit(1);
    }
    platform::showMessageBox(text.c_str(), "error", platform::BoxIcon::none);
}
