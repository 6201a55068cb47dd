#include "platform/os/display.h"

namespace platform {

// A Windows session always has its desktop; StartSdlVideo finds out when no
// window can be opened there.
std::string MissingDisplayProblem(bool) {
    return "";
}

std::string NoDisplayOpenedProblem() {
    return "no display to show the game on: SDL could open no window on the Windows desktop; "
           "BACKFIRE_HEADLESS=1 runs the game without one";
}

// Nothing on Windows ends the process when a display goes away.
void EndAtOnceOnLostDisplay() {}

} // namespace platform
