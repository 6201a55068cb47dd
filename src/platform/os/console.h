// Where the program's own lines go when it was started from a console. A
// windowed program on Windows gets none of its own; there this attaches
// stdout and stderr to the console it was started from, unless they already
// lead somewhere (a file, a pipe), so that --help, --version and the
// one-line refusals reach the person who typed the command. Elsewhere the
// program keeps the console it has.
#pragma once

namespace platform {

// Called once, first thing in main.
void UseStartingConsole();

} // namespace platform
