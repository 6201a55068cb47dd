// The browser offers no font files of its own: the game draws with the faces
// shipped in dat/fonts.
#include "platform/os/font_files.h"

namespace platform {

bool FindInstalledFont(const char*, bool, bool, FontFile*) {
    return false;
}

bool FindFontSubstitute(const char*, bool, bool, FontFile*) {
    return false;
}

} // namespace platform
