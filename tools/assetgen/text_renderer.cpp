#include "text_renderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>

namespace assetgen {

namespace {

constexpr const char* kFallbackFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::mutex lock;

    Face() {
        std::string file = kFallbackFile;
        if (FcInit()) {
            FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans:style=Bold"));
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result;
            FcPattern* match = FcFontMatch(nullptr, pattern, &result);
            FcChar8* path = nullptr;
            if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
                file = reinterpret_cast<const char*>(path);
            if (match)
                FcPatternDestroy(match);
            FcPatternDestroy(pattern);
        }
        if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, file.c_str(), 0, &face) != 0)
            face = nullptr;
    }
    ~Face() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

Face& TheFace() {
    static Face face;
    return face;
}

} // namespace

bool TextAvailable() {
    return TheFace().face != nullptr;
}

Image RenderText(const std::string& text, int pixelHeight, int margin, float letterSpacing) {
    Face& f = TheFace();
    if (!f.face)
        return Image(1, 1);
    std::lock_guard<std::mutex> guard(f.lock);
    FT_Set_Pixel_Sizes(f.face, 0, FT_UInt(pixelHeight));
    int ascender = int(f.face->size->metrics.ascender >> 6);
    int descender = int(-f.face->size->metrics.descender >> 6);
    // First pass measures, second pass draws.
    float penX = 0;
    int minX = 0, maxX = 1;
    FT_UInt previous = 0;
    auto layout = [&](auto&& place) {
        penX = 0;
        previous = 0;
        for (unsigned char c : text) {
            FT_UInt glyph = FT_Get_Char_Index(f.face, c);
            if (previous && glyph && FT_HAS_KERNING(f.face)) {
                FT_Vector kern;
                FT_Get_Kerning(f.face, previous, glyph, FT_KERNING_DEFAULT, &kern);
                penX += float(kern.x) / 64.0f;
            }
            if (FT_Load_Glyph(f.face, glyph, FT_LOAD_RENDER) != 0)
                continue;
            FT_GlyphSlot slot = f.face->glyph;
            place(int(penX) + slot->bitmap_left, ascender - slot->bitmap_top, slot->bitmap);
            penX += float(slot->advance.x) / 64.0f + letterSpacing;
            previous = glyph;
        }
    };
    layout([&](int x, int, const FT_Bitmap& bitmap) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x + int(bitmap.width));
    });
    Image mask(maxX - minX + 2 * margin, ascender + descender + 2 * margin, Rgba{1, 1, 1, 0});
    layout([&](int x0, int y0, const FT_Bitmap& bitmap) {
        for (unsigned j = 0; j < bitmap.rows; ++j)
            for (unsigned i = 0; i < bitmap.width; ++i) {
                int x = x0 - minX + margin + int(i), y = y0 + margin + int(j);
                if (x < 0 || y < 0 || x >= mask.width || y >= mask.height)
                    continue;
                float a = float(bitmap.buffer[j * unsigned(bitmap.pitch) + i]) / 255.0f;
                Rgba& p = mask.At(x, y);
                p.a = std::min(1.0f, p.a + a);
            }
    });
    return mask;
}

} // namespace assetgen
