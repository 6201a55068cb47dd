// Whether this run uses the desktop's services (a window, an audio device,
// the real clock) or their headless stand-ins (BACKFIRE_HEADLESS=1). The
// harness decides as it starts; the window, the Direct3D object, the sound
// device and the message box read the choice as they are made.
#pragma once

namespace platform {

bool Headless();
// Sets the choice without reading the environment (tests that exercise both
// kinds of backend in one process).
void UseHeadless(bool headless);
// Reads BACKFIRE_HEADLESS again on the next Headless().
void ForgetRunMode();

} // namespace platform
