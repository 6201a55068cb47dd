#include "platform/os/display.h"

#include <SDL.h>

#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

const char* const kRunWithoutDisplay = "; BACKFIRE_HEADLESS=1 runs the game without one";

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

std::string Described(const char* variable) {
    return IsSet(variable) ? std::string(variable) + "=" + std::getenv(variable)
                           : std::string(variable) + " (not set)";
}

// Xlib ends the process with exit() when its connection to the X server
// dies, whatever the game was doing at that moment: the game's static
// objects would then be destroyed in the middle of a frame or of its own
// shutdown, and some of them refer to others already gone. The game's files
// are written whole or not at all and its log is closed after every line, so
// ending at once loses nothing.
int EndAtOnce(void*) {
    static const char message[] = "Backfire: the connection to the X server was lost; the game ends.\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}

} // namespace

namespace platform {

std::string MissingDisplayProblem(bool headless) {
    if (headless || IsSet("SDL_VIDEODRIVER") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"))
        return "";
    return std::string("no display to show the game on: neither DISPLAY nor WAYLAND_DISPLAY is set") +
           kRunWithoutDisplay;
}

std::string NoDisplayOpenedProblem() {
    return "no display to show the game on: none could be opened from " + Described("DISPLAY") + " or " +
           Described("WAYLAND_DISPLAY") + kRunWithoutDisplay;
}

void EndAtOnceOnLostDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || SDL_strcmp(driver, "x11") != 0) {
        return;
    }
    // SDL loaded Xlib itself, so it is looked up rather than linked.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr) {
        return;
    }
    using Handler = int (*)(void*);
    using SetHandler = Handler (*)(Handler);
    if (const auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler")); set != nullptr) {
        set(&EndAtOnce);
    }
    dlclose(xlib); // SDL's own handle keeps the library loaded
    // A write to a connection the server has closed would otherwise end the
    // game by SIGPIPE before Xlib sees the failure and calls the handler.
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace platform
