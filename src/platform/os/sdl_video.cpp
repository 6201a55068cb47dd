// Starting SDL's video is the same on every system; only the line for a
// display that could not be opened comes from the system's own files.
#include "platform/os/display.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

bool StartSdlVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver == nullptr || (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0) ||
        (chosen != nullptr && chosen[0] != '\0'))
        return true;
    // Nothing has been saved yet, so ending here, as on a lost display, loses
    // nothing, and no failure box tries to open on a display that is not there.
    const std::string line = NoDisplayOpenedProblem() + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(2);
}

} // namespace platform
