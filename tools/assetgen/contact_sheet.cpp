#include "contact_sheet.h"

#include <string>

#include "text_renderer.h"

namespace assetgen {

namespace {

constexpr int kColumns = 12;
constexpr int kCell = 136;
constexpr int kLabel = 26;

// Alpha art sits on a dark checkerboard so its edges show; additive art on
// black, as the game draws it.
void FillBacking(Image& sheet, int x0, int y0, Backing backing) {
    for (int y = 0; y < kCell - 4; ++y)
        for (int x = 0; x < kCell - 4; ++x) {
            Rgba c = Opaque(0, 0, 0);
            if (backing == Backing::Alpha)
                c = ((x / 8 + y / 8) % 2) ? Opaque(0.16f, 0.17f, 0.2f) : Opaque(0.24f, 0.25f, 0.29f);
            sheet.At(x0 + x, y0 + y) = c;
        }
}

void DrawLabel(Image& sheet, const std::string& text, int x0, int y0, int height, Rgba colour) {
    Image mask = RenderText(text, height, 0);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < std::min(mask.width, kCell - 4); ++x) {
            int sx = x0 + x, sy = y0 + y;
            if (sx >= sheet.width || sy >= sheet.height)
                continue;
            float a = mask.At(x, y).a;
            Rgba& d = sheet.At(sx, sy);
            d = Mix(d, colour, a);
        }
}

} // namespace

Image BuildContactSheet(const std::vector<SheetEntry>& entries) {
    int rows = int((entries.size() + kColumns - 1) / kColumns);
    Image sheet(kColumns * kCell, rows * (kCell + kLabel) + 8, Opaque(0.08f, 0.08f, 0.1f));
    for (size_t i = 0; i < entries.size(); ++i) {
        const SheetEntry& e = entries[i];
        int x0 = int(i % kColumns) * kCell + 2, y0 = int(i / kColumns) * (kCell + kLabel) + 4;
        FillBacking(sheet, x0, y0, e.backing);
        const Image& t = e.thumbnail;
        int tx = x0 + (kCell - 4 - t.width) / 2, ty = y0 + (kCell - 4 - t.height) / 2;
        if (e.backing == Backing::Additive)
            DrawAdd(sheet, t, tx, ty);
        else
            DrawOver(sheet, t, tx, ty);
        std::string name = e.name.substr(e.name.rfind('/') == std::string::npos ? 0 : e.name.rfind('/') + 1);
        DrawLabel(sheet, name, x0, y0 + kCell - 3, 11, Opaque(0.9f, 0.9f, 0.92f));
        DrawLabel(sheet, std::to_string(e.width) + " x " + std::to_string(e.height), x0, y0 + kCell + 10, 9,
                  Opaque(0.55f, 0.6f, 0.7f));
    }
    for (Rgba& c : sheet.pixels)
        c = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
    return sheet;
}

} // namespace assetgen
