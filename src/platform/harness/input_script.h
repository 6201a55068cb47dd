// Internal to the platform layer: the input script of the headless harness,
// one event per line, "<tick> <kind> <arguments>", '#' to the end of a line
// is a comment. Kinds: down KEY, up KEY, char C, hold KEY N, lmb down|up,
// rmb down|up, move DX DY, shot FILE, close, pad down|up BUTTON. For `char`,
// a single character stands for itself and anything longer is a decimal code
// 0..255. A pad BUTTON is A, B, X, Y, BACK, GUIDE, START (any case) or a
// controller button number 0..14.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class ScriptAction { KeyDown, KeyUp, Char, LeftButton, RightButton, Move, Shot, Close, Pad };

struct ScriptEvent {
    uint32_t tick = 0;
    ScriptAction action = ScriptAction::Close;
    int32_t key = 0;    // virtual-key code (KeyDown, KeyUp); controller button (Pad)
    int32_t value = 0;  // character (Char); 1 down, 0 up (buttons, Pad); dx (Move)
    int32_t value2 = 0; // dy (Move)
    bool typed = false; // KeyDown of a hold: also post the character the key types
    std::string file;   // Shot
    int line = 0;       // source line, for messages
};

// Parses a whole script. Events come out ordered by tick and, within a tick,
// in file order (the release of a hold counts at its hold's line). On the
// first malformed line sets `error` to "NAME:LINE: reason" and returns false.
bool ParseInputScript(const std::string& text, const std::string& name, std::vector<ScriptEvent>* events,
                      std::string* error);

// Reads and parses a script file; a file that cannot be read is an error too.
bool LoadInputScript(const std::string& path, std::vector<ScriptEvent>* events, std::string* error);

} // namespace platform
