#include "platform/os/run_mode.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

#include <cstdio>

// Headless, or when no box can be shown (no display), the text goes to
// stderr as "caption: text" so a failure is never silent.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const char* body = text != nullptr ? text : "";
    const char* title = caption != nullptr ? caption : "Error";
    if (!platform::Headless()) {
        Uint32 flags = (type & MB_ICONERROR) != 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        if (SDL_ShowSimpleMessageBox(flags, title, body, platform::SdlWindowOf(owner)) == 0)
            return IDOK;
    }
    std::fprintf(stderr, "%s: %s\n", title, body);
    std::fflush(stderr);
    return IDOK;
}
