// Included by the file that defines main, and only there. On Windows SDL
// supplies the program's entry, hands main its arguments as UTF-8 and calls
// it under the name SDL_main, which its header gives main there. In the
// browser the entry of os/web calls it under the name BackfireMain and ends
// the program with its code: once the game has given the page its turn, its
// main returns to no caller that would. Elsewhere main is the entry itself.
#pragma once

#if defined(_WIN32)
#include <SDL_main.h>
#elif defined(__EMSCRIPTEN__)
int BackfireMain(int argc, char** argv);
#define main BackfireMain
#endif
