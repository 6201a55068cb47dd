// The XDG rule for the game's save folder on POSIX desktops.
#pragma once

#include <string>

namespace platform {

// <xdgDataHome>/backfire when $XDG_DATA_HOME is absolute, else
// <home>/.local/share/backfire; empty when neither gives an absolute folder.
std::string XdgSaveDirectory(const std::string& xdgDataHome, const std::string& home);

} // namespace platform
