// A desktop system runs its own loop around the game and keeps files on
// disk: nothing to do.
#include "platform/os/host_turn.h"

namespace platform {

void GiveHostItsTurn() {}

bool WaitInHost(int) {
    return false;
}

void NoteFileWritten(const std::string&) {}

void NoteFrameShown() {}

} // namespace platform
