// Internal to the platform layer: the thread's message queue itself (posted
// messages in order, the quit request, the keys held). The window code and
// the input script post to it; the message pump in messages.cpp reads it.
#pragma once

#include "platform/win32/win32.h"

namespace platform {

// A message stamped with the current time.
MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whether a message passes PeekMessageA's window and range filters.
bool MessageMatches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax);
// The first posted message that passes the filters, removed when `remove`.
bool TakeQueuedMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove);
// WM_QUIT once PostQuitMessage was called, for an unfiltered look only.
bool TakeQuitMessage(MSG* msg, UINT filterMin, UINT filterMax, bool remove);

// lParam of a key message, keeping the set of keys held: a down for a key
// already down is an auto-repeat and gets bit 30.
LPARAM KeyMessageLParam(int virtualKey, bool down);
// Drops the queued messages of a window that is going away.
void DropMessagesFor(HWND window);
// Forgets which keys are held (a new run of the harness, a destroyed window).
void ReleaseAllKeys();
// Posts WM_KEYUP for every key held now (the window lost the focus); the
// stray releases that may follow for them are dropped by KeyUpIsStale.
void ReleaseHeldKeys(HWND window);
// True, once, for the release of a key that ReleaseHeldKeys already released
// and that has not been pressed since.
bool KeyUpIsStale(int virtualKey);

// The events stamped for tick 0 are posted by whoever drives the run (the
// harness registers itself as it starts); the queue asks for them before each
// look and as the main window is made. Null: nothing to post.
void SetStartEventPoster(void (*poster)());
void PostStartEvents();

} // namespace platform
