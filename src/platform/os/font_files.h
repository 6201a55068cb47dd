// Internal to the platform layer: where the system keeps a font face. The
// GDI font stand-in uses the system's own face of the family the game asks
// for where there is one, else the face shipped in dat\fonts, so that text
// looks the same on every machine without the family.
#pragma once

#include <string>

namespace platform {

struct FontFile {
    std::string path;
    int index = 0; // the face within the file
};

// The system's own face of `family` (in that weight and slant, or the
// nearest the family has); false when no installed face is of that family,
// whatever stands in for it.
bool FindInstalledFont(const char* family, bool bold, bool italic, FontFile* found);
// The face the system offers for `family`, stand-ins included; false when it
// offers none.
bool FindFontSubstitute(const char* family, bool bold, bool italic, FontFile* found);

} // namespace platform
