// The thirteen colours shared by weapons, exhausts and death effects.
#pragma once

#include <cstdint>

constexpr int32_t PaletteSize = 13;

// r, g, b in 0..255.
extern const int32_t Palette[PaletteSize][3];

// The entry for any integer: the index is taken modulo the palette size, so a
// negative or large index never reads outside the table.
const int32_t* PaletteEntry(int32_t index);
