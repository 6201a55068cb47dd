// The folder the page mounts on IndexedDB for the game's saves, its tuning
// file and its replays (the page's script names the same folder).
#pragma once

namespace platform {

inline constexpr const char* kWebSaveFolder = "/backfire";

} // namespace platform
