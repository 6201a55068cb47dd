// Styled lettering made from FreeType masks: a bevelled, lit face with a
// vertical colour gradient, a dark outline and a soft outer glow.
#pragma once

#include <string>

#include "image.h"

namespace assetgen {

struct LetterStyle {
    int pixelHeight = 64;
    float letterSpacing = 0;
    Rgba top = Opaque(1, 1, 1), middle = Opaque(0.6f, 0.6f, 0.65f), bottom = Opaque(0.9f, 0.9f, 0.95f);
    Rgba outline = Opaque(0.05f, 0.05f, 0.08f);
    float outlineWidth = 2;
    Rgba glow = Opaque(1, 0.5f, 0.1f);
    float glowRadius = 6; // 0: no glow
    float glowStrength = 0.8f;
    float bevel = 2.5f; // blur radius that rounds the face
};

// The text centred in a width x height picture with transparent surround.
Image StyledText(const std::string& text, const LetterStyle& style, int width, int height);

} // namespace assetgen
