#include "core/input_event.h"

InputEvent::InputEvent(int32_t kind, const char* name)
    : DataObject(kind, name), x(-1), y(-1), character(0), keyCode(0) {}

const char* InputEventName(int32_t kind) {
    static const char* const names[] = {"KEY DOWN", "KEY UP", "LMB DOWN", "LMB UP", "RMB DOWN", "RMB UP", "MOUSE_DELTA"};
    return kind >= InputKeyDown && kind <= InputMouseDelta ? names[kind] : "INPUT";
}
