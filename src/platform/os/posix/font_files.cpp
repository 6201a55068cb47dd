// Font faces through fontconfig.
#include "platform/os/font_files.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

namespace platform {
namespace {

// Loaded once and kept for the life of the process.
FcConfig* TheFontConfig() {
    static FcConfig* config = FcInitLoadConfigAndFonts();
    return config;
}

// fontconfig's best face for the family, its own substitution rules
// included; null when there is none. The caller destroys it.
FcPattern* BestMatch(const char* family, bool bold, bool italic) {
    FcConfig* config = TheFontConfig();
    FcPattern* pattern = config != nullptr ? FcPatternCreate() : nullptr;
    if (pattern == nullptr)
        return nullptr;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

bool IsOfFamily(FcPattern* match, const char* family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (name != nullptr && strcasecmp(reinterpret_cast<const char*>(name), family) == 0)
            return true;
    return false;
}

bool Find(const char* family, bool bold, bool italic, bool sameFamilyOnly, FontFile* found) {
    FcPattern* match = BestMatch(family, bold, italic);
    if (match == nullptr)
        return false;
    FcChar8* path = nullptr;
    int index = 0;
    const bool ok = (!sameFamilyOnly || IsOfFamily(match, family)) &&
                    FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
    if (ok) {
        found->path = reinterpret_cast<const char*>(path);
        found->index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
    }
    FcPatternDestroy(match);
    return ok;
}

} // namespace

bool FindInstalledFont(const char* family, bool bold, bool italic, FontFile* found) {
    return Find(family, bold, italic, true, found);
}

bool FindFontSubstitute(const char* family, bool bold, bool italic, FontFile* found) {
    return Find(family, bold, italic, false, found);
}

} // namespace platform
