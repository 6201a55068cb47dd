// What a system that hosts the game in its own loop needs of it. In the
// browser the game runs on the page's one thread: the canvas is shown, input
// and sound are served, and written files reach IndexedDB only while the
// game has given control back to the page. A desktop system needs none of
// it: there the calls are empty and inline, off the message loop's path.
#pragma once

#include <string>

namespace platform {

#if defined(__EMSCRIPTEN__)
// Called at the end of every pass through the message queue: hands control
// to the page when the game has held it for a display frame's time, and
// copies the saves written since the last call to lasting storage.
void GiveHostItsTurn();

// Where the host runs the loop (the browser), gives it control for up to
// waitMs milliseconds, in which it gathers the input events, and returns
// true; false where SDL waits for events itself.
bool WaitInHost(int waitMs);

// Called after the file at `path` (as given to the C library) was written,
// so that the next turn keeps it if it is one of the saves.
void NoteFileWritten(const std::string& path);

// Called when a frame was shown: a page that asks for it is told each
// frame's time and the time the game spent on it since it last had control
// back (its pace figures).
void NoteFrameShown();

#else

inline void GiveHostItsTurn() {}
inline bool WaitInHost(int) {
    return false;
}
inline void NoteFileWritten(const std::string&) {}
inline void NoteFrameShown() {}

#endif

} // namespace platform
