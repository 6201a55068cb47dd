// GDI glyph rasterising on FreeType. Handles are entries of one table of live
// objects, so a stale or foreign handle is refused rather than dereferenced.
#include "platform/win32/gdi_font.h"

#include "platform/os/files.h"
#include "platform/os/font_files.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct HBITMAP__ {
    int width = 0;
    int height = 0;
    bool topDown = true;
    std::vector<uint32_t> pixels;
    int selections = 0;
    bool deletePending = false;
};

struct HFONT__ {
    FT_Face face = nullptr;
    int ascent = 0;
    int descent = 0;
    bool antialiased = true;
    int selections = 0;
    bool deletePending = false;

    ~HFONT__() { FT_Done_Face(face); }
};

struct HDC__ {
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
    COLORREF textColour = 0x000000;
    COLORREF backColour = 0xFFFFFF;
    UINT align = TA_LEFT | TA_TOP;
    int mapMode = MM_TEXT;
};

namespace {

enum class Kind { Bitmap, Font };

struct Registry {
    std::unordered_map<const void*, Kind> objects;
    std::vector<std::unique_ptr<HDC__>> dcs;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

HDC__* FindDc(HDC dc) {
    for (const auto& known : TheRegistry().dcs) {
        if (known.get() == dc) {
            return dc;
        }
    }
    return nullptr;
}

bool IsObject(const void* object, Kind kind) {
    const auto& objects = TheRegistry().objects;
    const auto found = objects.find(object);
    return found != objects.end() && found->second == kind;
}

void FreeBitmap(HBITMAP bitmap) {
    TheRegistry().objects.erase(bitmap);
    delete bitmap;
}

void FreeFont(HFONT font) {
    TheRegistry().objects.erase(font);
    delete font;
}

// A DC letting go of an object frees it if DeleteObject asked for that.
void Deselect(HBITMAP bitmap) {
    if (bitmap != nullptr && --bitmap->selections == 0 && bitmap->deletePending) {
        FreeBitmap(bitmap);
    }
}

void Deselect(HFONT font) {
    if (font != nullptr && --font->selections == 0 && font->deletePending) {
        FreeFont(font);
    }
}

// Created on first use and kept for the life of the process: faces may live
// in handles that are never deleted.
FT_Library TheFreeType() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        return FT_Init_FreeType(&created) == 0 ? created : nullptr;
    }();
    return library;
}

// The faces shipped with the game, one per weight and slant.
const char* ShippedFace(bool bold, bool italic) {
    if (bold)
        return italic ? "dat\\fonts\\DejaVuSans-BoldOblique.ttf" : "dat\\fonts\\DejaVuSans-Bold.ttf";
    return italic ? "dat\\fonts\\DejaVuSans-Oblique.ttf" : "dat\\fonts\\DejaVuSans.ttf";
}

// The face file is read whole through our own file opening, so that a path
// with letters outside ASCII (a game folder under a user's name) opens on
// every system; FreeType then reads it from memory, as from a mapped file.
struct FaceBytes {
    FT_StreamRec stream{};
    std::vector<uint8_t> bytes;
};

// Large families with every script run to tens of megabytes; nothing a
// face file holds needs more.
constexpr size_t kMaxFaceFileBytes = size_t{256} << 20;

void ReleaseFaceBytes(FT_Stream stream) {
    delete static_cast<FaceBytes*>(stream->descriptor.pointer);
}

FT_Face OpenFace(const std::string& path, long index) {
    auto face = std::make_unique<FaceBytes>();
    if (!platform::ReadWholeFile(path.c_str(), kMaxFaceFileBytes, &face->bytes) || face->bytes.empty())
        return nullptr;
    face->stream.base = face->bytes.data();
    face->stream.size = static_cast<unsigned long>(face->bytes.size());
    face->stream.close = ReleaseFaceBytes;
    face->stream.descriptor.pointer = face.get();
    FT_Open_Args arguments{};
    arguments.flags = FT_OPEN_STREAM;
    arguments.stream = &face.release()->stream; // FreeType closes it with the face, or at once on failure
    FT_Face opened = nullptr;
    return FT_Open_Face(TheFreeType(), &arguments, index, &opened) == 0 ? opened : nullptr;
}

FT_Face OpenScalable(const platform::FontFile& file) {
    FT_Face face = OpenFace(file.path, file.index);
    if (face == nullptr)
        return nullptr;
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

// The system's own face of the family; else the face shipped in dat\fonts,
// so that text looks the same wherever the family is missing; else, with
// the shipped faces missing too, whatever the system offers instead.
FT_Face OpenFace(const char* family, bool bold, bool italic) {
    if (TheFreeType() == nullptr)
        return nullptr;
    platform::FontFile file;
    if (platform::FindInstalledFont(family, bold, italic, &file))
        if (FT_Face face = OpenScalable(file))
            return face;
    if (FT_Face face = OpenScalable(platform::FontFile{platform::ResolvePath(ShippedFace(bold, italic)), 0}))
        return face;
    if (platform::FindFontSubstitute(family, bold, italic, &file))
        return OpenScalable(file);
    return nullptr;
}

// Ascent and descent as Windows reports them: from the OS/2 table's Windows
// metrics when there is one, else from the horizontal header.
void FontMetrics(FT_Face face, double emPixels, double* ascent, double* descent) {
    const double scale = emPixels / face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        *ascent = os2->usWinAscent * scale;
        *descent = os2->usWinDescent * scale;
    } else {
        *ascent = face->ascender * scale;
        *descent = -face->descender * scale;
    }
}

FT_Int32 LoadFlags(const HFONT__& font) {
    return font.antialiased ? FT_LOAD_DEFAULT : FT_LOAD_TARGET_MONO;
}

// The hinted advance of one character in whole pixels; 0 if it cannot load.
int Advance(const HFONT__& font, unsigned char code) {
    if (FT_Load_Char(font.face, code, LoadFlags(font)) != 0) {
        return 0;
    }
    return static_cast<int>((font.face->glyph->advance.x + 32) >> 6);
}

uint32_t& PixelAt(HBITMAP__& bitmap, int x, int y) {
    const int row = bitmap.topDown ? y : bitmap.height - 1 - y;
    return bitmap.pixels[static_cast<size_t>(row) * bitmap.width + x];
}

// DIB words are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
uint32_t DibColour(COLORREF colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

uint32_t Blend(uint32_t under, uint32_t over, uint32_t coverage) {
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t a = (under >> shift) & 0xFF;
        const uint32_t b = (over >> shift) & 0xFF;
        result |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
    }
    return result;
}

void FillBox(HBITMAP__& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t colour) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, bitmap.width);
    bottom = std::min<int64_t>(bottom, bitmap.height);
    for (int64_t y = top; y < bottom; ++y) {
        for (int64_t x = left; x < right; ++x) {
            PixelAt(bitmap, static_cast<int>(x), static_cast<int>(y)) = colour;
        }
    }
}

// Composites the rendered glyph with its top-left at (left, top), inside clip.
void DrawGlyph(HBITMAP__& bitmap, const FT_Bitmap& glyph, int64_t left, int64_t top, const RECT& clip,
               uint32_t colour) {
    for (unsigned row = 0; row < glyph.rows; ++row) {
        const int64_t y = top + row;
        if (y < clip.top || y >= clip.bottom) {
            continue;
        }
        const unsigned char* source = glyph.buffer + static_cast<ptrdiff_t>(row) * glyph.pitch;
        for (unsigned column = 0; column < glyph.width; ++column) {
            const int64_t x = left + column;
            if (x < clip.left || x >= clip.right) {
                continue;
            }
            const uint32_t coverage = glyph.pixel_mode == FT_PIXEL_MODE_MONO
                                          ? ((source[column >> 3] >> (7 - (column & 7))) & 1) * 255u
                                          : source[column];
            if (coverage != 0) {
                uint32_t& pixel = PixelAt(bitmap, static_cast<int>(x), static_cast<int>(y));
                pixel = Blend(pixel, colour, coverage);
            }
        }
    }
}

} // namespace

HDC CreateCompatibleDC(HDC) {
    auto& dcs = TheRegistry().dcs;
    dcs.push_back(std::make_unique<HDC__>());
    return dcs.back().get();
}

BOOL DeleteDC(HDC dc) {
    auto& dcs = TheRegistry().dcs;
    const auto found =
        std::find_if(dcs.begin(), dcs.end(), [dc](const auto& known) { return known.get() == dc; });
    if (found == dcs.end()) {
        return FALSE;
    }
    const std::unique_ptr<HDC__> owned = std::move(*found);
    dcs.erase(found);
    Deselect(owned->bitmap);
    Deselect(owned->font);
    return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits != nullptr) {
        *bits = nullptr;
    }
    if (info == nullptr || bits == nullptr || usage != DIB_RGB_COLORS) {
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const int64_t height = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 32 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biWidth > 16384 || height == 0 ||
        height > 16384) {
        return nullptr;
    }
    auto* bitmap = new HBITMAP__;
    bitmap->width = header.biWidth;
    bitmap->height = static_cast<int>(height);
    bitmap->topDown = header.biHeight < 0;
    bitmap->pixels.assign(static_cast<size_t>(bitmap->width) * bitmap->height, 0);
    TheRegistry().objects.emplace(bitmap, Kind::Bitmap);
    *bits = bitmap->pixels.data();
    return bitmap;
}

HFONT CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD, DWORD,
                  DWORD quality, DWORD, LPCSTR faceName) {
    const bool bold = weight >= 600;
    FT_Face face =
        OpenFace(faceName != nullptr && faceName[0] != '\0' ? faceName : "sans-serif", bold, italic != 0);
    if (face == nullptr) {
        face = OpenFace("sans-serif", bold, italic != 0);
    }
    if (face == nullptr) {
        return nullptr;
    }
    double ascent = 0, descent = 0;
    FontMetrics(face, face->units_per_EM, &ascent, &descent);
    // Positive heights name the cell (ascent + descent), negative ones the em.
    double em = 12.0;
    if (height < 0) {
        em = -static_cast<double>(height);
    } else if (height > 0) {
        em = height * face->units_per_EM / std::max(ascent + descent, 1.0);
    }
    em = std::min(em, 4096.0);
    const auto emPixels = std::max<FT_UInt>(1, static_cast<FT_UInt>(std::lround(em)));
    if (FT_Set_Pixel_Sizes(face, 0, emPixels) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    auto* font = new HFONT__;
    font->face = face;
    FontMetrics(face, emPixels, &ascent, &descent);
    font->ascent = static_cast<int>(std::lround(ascent));
    font->descent = static_cast<int>(std::lround(descent));
    font->antialiased = quality != NONANTIALIASED_QUALITY;
    TheRegistry().objects.emplace(font, Kind::Font);
    return font;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    HDC__* target = FindDc(dc);
    if (target == nullptr || object == nullptr) {
        return nullptr;
    }
    if (IsObject(object, Kind::Bitmap)) {
        auto* bitmap = static_cast<HBITMAP>(object);
        if (bitmap->deletePending) {
            return nullptr;
        }
        HBITMAP previous = target->bitmap;
        ++bitmap->selections;
        target->bitmap = bitmap;
        // The previous handle is returned before it may be freed; a caller
        // that deleted it gets back a handle that is no longer valid.
        Deselect(previous);
        return previous;
    }
    if (IsObject(object, Kind::Font)) {
        auto* font = static_cast<HFONT>(object);
        if (font->deletePending) {
            return nullptr;
        }
        HFONT previous = target->font;
        ++font->selections;
        target->font = font;
        Deselect(previous);
        return previous;
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (IsObject(object, Kind::Bitmap)) {
        auto* bitmap = static_cast<HBITMAP>(object);
        if (bitmap->selections > 0) {
            bitmap->deletePending = true;
        } else {
            FreeBitmap(bitmap);
        }
        return TRUE;
    }
    if (IsObject(object, Kind::Font)) {
        auto* font = static_cast<HFONT>(object);
        if (font->selections > 0) {
            font->deletePending = true;
        } else {
            FreeFont(font);
        }
        return TRUE;
    }
    return FALSE;
}

int SetMapMode(HDC dc, int mode) {
    HDC__* target = FindDc(dc);
    if (target == nullptr || mode != MM_TEXT) {
        return 0;
    }
    const int previous = target->mapMode;
    target->mapMode = mode;
    return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    HDC__* target = FindDc(dc);
    if (target == nullptr) {
        return 0xFFFFFFFFu; // CLR_INVALID
    }
    const COLORREF previous = target->textColour;
    target->textColour = colour & 0xFFFFFF;
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    HDC__* target = FindDc(dc);
    if (target == nullptr) {
        return 0xFFFFFFFFu; // CLR_INVALID
    }
    const COLORREF previous = target->backColour;
    target->backColour = colour & 0xFFFFFF;
    return previous;
}

UINT SetTextAlign(HDC dc, UINT align) {
    HDC__* target = FindDc(dc);
    if (target == nullptr || align != (TA_LEFT | TA_TOP)) {
        return 0xFFFFFFFFu; // GDI_ERROR
    }
    const UINT previous = target->align;
    target->align = align;
    return previous;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
    HDC__* target = FindDc(dc);
    if (target == nullptr || target->font == nullptr || size == nullptr || count < 0 ||
        (text == nullptr && count > 0)) {
        return FALSE;
    }
    LONG width = 0;
    for (int i = 0; i < count; ++i) {
        width += Advance(*target->font, static_cast<unsigned char>(text[i]));
    }
    size->cx = width;
    size->cy = target->font->ascent + target->font->descent;
    return TRUE;
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx) {
    HDC__* target = FindDc(dc);
    if (target == nullptr || target->bitmap == nullptr || target->font == nullptr ||
        (text == nullptr && count > 0) || count > 0x7FFFFFFF) {
        return FALSE;
    }
    HBITMAP__& bitmap = *target->bitmap;
    HFONT__& font = *target->font;
    RECT clip{0, 0, bitmap.width, bitmap.height};
    if ((options & ETO_CLIPPED) != 0 && rect != nullptr) {
        clip = RECT{std::max(clip.left, rect->left), std::max(clip.top, rect->top),
                    std::min(clip.right, rect->right), std::min(clip.bottom, rect->bottom)};
    }
    if ((options & ETO_OPAQUE) != 0) {
        const uint32_t back = DibColour(target->backColour);
        if (rect != nullptr) {
            FillBox(bitmap, rect->left, rect->top, rect->right, rect->bottom, back);
        } else {
            SIZE extent{};
            GetTextExtentPoint32A(dc, text, static_cast<int>(count), &extent);
            FillBox(bitmap, x, y, int64_t{x} + extent.cx, int64_t{y} + extent.cy, back);
        }
    }
    const uint32_t colour = DibColour(target->textColour);
    const int64_t baseline = int64_t{y} + font.ascent;
    int64_t penX = x;
    for (UINT i = 0; i < count; ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        if (FT_Load_Char(font.face, code,
                         LoadFlags(font) | FT_LOAD_RENDER | (font.antialiased ? 0 : FT_LOAD_MONOCHROME)) ==
            0) {
            const FT_GlyphSlot slot = font.face->glyph;
            DrawGlyph(bitmap, slot->bitmap, penX + slot->bitmap_left, baseline - slot->bitmap_top, clip,
                      colour);
            penX += dx != nullptr ? dx[i] : (slot->advance.x + 32) >> 6;
        } else if (dx != nullptr) {
            penX += dx[i];
        }
    }
    return TRUE;
}
