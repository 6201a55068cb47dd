#include "platform/os/console.h"

namespace platform {

// A POSIX program keeps the terminal it was started from.
void UseStartingConsole() {}

} // namespace platform
