// A font on a test device whose glyphs are all 10 x `height` pixel cells of a
// 256-pixel atlas, so where a text lands follows from its box and length alone.
#pragma once

#include "engine/font.h"

#include <gtest/gtest.h>

#include <memory>

inline std::unique_ptr<Font> MakeCellFont(IDirect3DDevice8* device, int32_t height) {
    auto font = std::make_unique<Font>("Verdana", height, 0);
    font->device = device;
    font->textureWidth = font->textureHeight = 256;
    for (int32_t code = 32; code < 127; ++code)
        font->glyphCoords[code - 32] = {0.0f, 0.0f, 10.0f / 256.0f, static_cast<float>(height) / 256.0f};
    EXPECT_EQ(font->RestoreDeviceObjects(), 0);
    return font;
}
