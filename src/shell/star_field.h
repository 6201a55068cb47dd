// The drifting star backdrop of the menus and the intro: a 256-pixel tile
// repeated over the screen, moved down by `count` mod 256 and right by
// (count / 2) mod 256 pixels, so the stars drift diagonally.
#pragma once

#include <cstdint>

class Bitmap;

void DrawStarField(Bitmap* tile, int32_t count);

// Font slot, colour and box of one line of menu text; the text's own
// newlines break it. Nothing without the font.
void DrawMenuText(int32_t slot, int32_t red, int32_t green, int32_t blue, int32_t alpha, int32_t left,
                  int32_t top, int32_t right, int32_t bottom, const char* text, uint32_t flags);
