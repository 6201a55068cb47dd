// Internal to the platform layer: Windows virtual-key codes for SDL keys and
// for the key names of input scripts, and the characters keys type.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The virtual-key code of an SDL keycode; 0 for a key the game cannot see.
int VirtualKeyFromSdl(int32_t sdlKeycode);

// An input-script key: a virtual-key code in decimal or 0x hex (1..254), or a
// name (SPACE, ESCAPE, RETURN, LEFT, UP, RIGHT, DOWN, F1..F12, A..Z, 0..9,
// any case). A single digit is the digit key, not a code. 0 when invalid.
int VirtualKeyFromName(const std::string& name);

// The WM_CHAR that TranslateMessage makes of a key press: Escape 27, Return 13,
// Backspace 8, Tab 9; 0 for every other key (printable characters come from
// text input instead).
int TranslatedCharacter(int virtualKey);

// The character an unshifted press of a printable key types (space, a..z,
// 0..9), as text input would report it; 0 for other keys.
int TypedCharacter(int virtualKey);

} // namespace platform
