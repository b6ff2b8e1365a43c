#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

void echoToStandardError(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

// A box needs a real display. Without one SDL may block trying to reach a
// server that does not exist, so the headless drivers never try.
bool canShowBoxes()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr)
        driver = SDL_getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
#ifdef _WIN32
    return true;  // a Windows program always has its desktop
#else
    return SDL_getenv("DISPLAY") != nullptr || SDL_getenv("WAYLAND_DISPLAY") != nullptr;
#endif
}

Uint32 flagsFor(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::error: return SDL_MESSAGEBOX_ERROR;
    case BoxIcon::warning: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

}  // namespace

void showMessageBox(const char* text, const char* caption, BoxIcon icon)
{
    echoToStandardError(caption, text);
    if (canShowBoxes())
        SDL_ShowSimpleMessageBox(flagsFor(icon), caption, text, nullptr);
}

void showWhereNoConsole(const char* text, const char* caption, BoxIcon icon)
{
#ifdef _WIN32
    if (canShowBoxes())
        SDL_ShowSimpleMessageBox(flagsFor(icon), caption, text, nullptr);
#else
    static_cast<void>(text);
    static_cast<void>(caption);
    static_cast<void>(icon);
#endif
}

bool askYesNo(const char* text, const char* caption)
{
    echoToStandardError(caption, text);
    if (const char* preset = SDL_getenv("SW_QUESTION_ANSWER")) {
        if (std::strcmp(preset, "yes") == 0 || std::strcmp(preset, "no") == 0)
            return preset[0] == 'y';
    }
    if (!canShowBoxes())
        return false;
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    const SDL_MessageBoxData box = {SDL_MESSAGEBOX_WARNING, nullptr, caption, text, 2, buttons, nullptr};
    int chosen = 0;
    if (SDL_ShowMessageBox(&box, &chosen) != 0)
        return false;
    return chosen == 1;
}

}  // namespace platform
