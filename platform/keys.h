#pragma once
// Translation of SDL key codes into Windows virtual-key codes.

namespace platform {

// The virtual-key code (1..255) of an SDL keycode, or 0 when it has none.
int virtualKeyFromKeycode(int keycode);

}  // namespace platform
