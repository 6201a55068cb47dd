#pragma once

#include <cstdint>

#include "core/data_object.h"

// Kinds of queued input events (the event's tag). A character arrives as
// kind InputKeyUp with keyCode 0 and the character set.
constexpr int32_t InputKeyDown = 0;
constexpr int32_t InputKeyUp = 1;
constexpr int32_t InputLeftDown = 2;
constexpr int32_t InputLeftUp = 3;
constexpr int32_t InputRightDown = 4;
constexpr int32_t InputRightUp = 5;
constexpr int32_t InputMouseDelta = 6;

// A keyboard or mouse event waiting in the application's queue. The tag is the
// kind and the name the kind's name ("KEY DOWN", "KEY UP", "LMB DOWN",
// "LMB UP", "RMB DOWN", "RMB UP", "MOUSE_DELTA").
class InputEvent : public DataObject {
  public:
    // Pointer position for button events, raw movement for MOUSE_DELTA, else -1.
    int32_t x;
    int32_t y;
    char character;
    // Windows virtual-key code of a key event; 0 for a character event.
    int32_t keyCode;

    InputEvent(int32_t kind, const char* name);
};

// The name of an event kind, as the queue gives its events ("KEY DOWN" ...);
// an unknown kind is named "INPUT".
const char* InputEventName(int32_t kind);
