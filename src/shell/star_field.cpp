#include "shell/star_field.h"

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/bitmap.h"
#include "engine/font.h"

namespace {

constexpr int32_t TileSize = 256;

} // namespace

void DrawStarField(Bitmap* tile, int32_t count) {
    if (!tile || !TheApplication || count < 0)
        return;
    const int32_t offsetX = (count / 2) % TileSize;
    const int32_t offsetY = count % TileSize;
    const int32_t width = TheApplication->GetScreenWidth();
    const int32_t height = TheApplication->GetScreenHeight();
    // Tile centres start one tile before the screen so the field always covers it.
    for (int32_t x = -TileSize - offsetX; x - TileSize / 2 < width; x += TileSize) {
        for (int32_t y = -TileSize - offsetY; y - TileSize / 2 < height; y += TileSize)
            tile->DrawCentered(static_cast<float>(x), static_cast<float>(y));
    }
}

void DrawMenuText(int32_t slot, int32_t red, int32_t green, int32_t blue, int32_t alpha, int32_t left,
                  int32_t top, int32_t right, int32_t bottom, const char* text, uint32_t flags) {
    Font* font = TheApplication ? TheApplication->GetFont(slot) : nullptr;
    if (!font || !text)
        return;
    const uint32_t colour = static_cast<uint32_t>(alpha & 0xFF) << 24 |
                            static_cast<uint32_t>(red & 0xFF) << 16 |
                            static_cast<uint32_t>(green & 0xFF) << 8 | static_cast<uint32_t>(blue & 0xFF);
    font->DrawText(left, top, right, bottom, nullptr, colour, text, flags);
}
