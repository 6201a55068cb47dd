// Included by the file that defines main, and only there. On Windows SDL
// supplies the program's entry, hands main its arguments as UTF-8 and calls
// it under the name SDL_main, which its header gives main there; elsewhere
// main is the entry itself.
#pragma once

#if defined(_WIN32)
#include <SDL_main.h>
#endif
