#include "game/palette.h"

const int32_t Palette[PaletteSize][3] = {
    {0, 0, 255},     {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {255, 0, 255},
    {0, 255, 255},   {180, 180, 255}, {255, 180, 180}, {180, 255, 180}, {255, 255, 180},
    {255, 180, 255}, {180, 255, 255}, {255, 255, 255},
};

const int32_t* PaletteEntry(int32_t index) {
    const int32_t wrapped = ((index % PaletteSize) + PaletteSize) % PaletteSize;
    return Palette[wrapped];
}
