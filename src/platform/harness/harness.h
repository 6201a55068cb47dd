// The headless harness: environment-driven test mode (BACKFIRE_HEADLESS,
// BACKFIRE_SCRIPT, BACKFIRE_MAX_TICKS, BACKFIRE_AUDIO_OUT, BACKFIRE_INSTANCE_LOCK,
// BACKFIRE_CAPTURE_FRAME, BACKFIRE_FRAME_HASHES) and the input script that
// posts window messages between ticks.
//
// BACKFIRE_FRAME_HASHES=FILE appends one line per tick to FILE, "<tick> <hash>",
// the hash being 16 hex digits over the size and pixels of the frame last
// presented by then (of no frame before the first), so two runs of one script
// can be compared frame by frame without keeping the frames.
#pragma once

namespace platform {

// Reads the environment and the input script. On a malformed script prints
// "FILE:LINE: reason" to stderr (on a malformed variable a line naming it) and
// returns false; the program must then stop. `forceHeadless` runs headless
// whatever BACKFIRE_HEADLESS says (a replay being verified).
bool StartHarness(bool forceHeadless = false);
// Releases what StartHarness took (the instance lock, the script) and forgets
// held keys and mouse state; StartHarness may then run again.
void StopHarness();
// True when a presented frame may still be read back: always headless, and in a
// window while the input script has a screenshot left to take or frame hashes
// are written. StartHarness
// hands it to the device, which skips the copy otherwise.
bool PresentedFrameWanted();
// Called by the main loop after every mode tick: posts the script's events for
// the next tick, saves requested screenshots, posts WM_CLOSE at the tick limit.
void HarnessTickDone();

} // namespace platform
