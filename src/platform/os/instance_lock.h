// Internal to the platform layer: the per-user single-instance lock behind
// FindWindowA's answer for the game's own window class and title.
#pragma once

#include <string>

namespace platform {

// BACKFIRE_INSTANCE_LOCK, else a per-user file the system provides (on
// POSIX: backfire.lock in $XDG_RUNTIME_DIR, else /tmp/backfire-<uid>.lock).
// On Windows the lock is a mutex of the user's session, and this its name:
// Local\Backfire.Instance, or one made from BACKFIRE_INSTANCE_LOCK.
std::string InstanceLockPath();

// True when another process holds the lock. Otherwise this process takes it
// (if it can) and keeps it until ReleaseInstanceLock or exit.
bool AnotherInstanceRunning();
void ReleaseInstanceLock();

} // namespace platform
