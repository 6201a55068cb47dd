#include "core/input_event.h"

InputEvent::InputEvent(int32_t kind, const char* name)
    : DataObject(kind, name), x(-1), y(-1), character(0), keyCode(0) {}
