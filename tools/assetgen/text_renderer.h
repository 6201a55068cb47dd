// Text as coverage masks, rasterised by FreeType from the bold sans face that
// fontconfig finds (DejaVu Sans Bold).
#pragma once

#include <string>

#include "image.h"

namespace assetgen {

// A white mask (alpha = coverage) just large enough for the text plus
// `margin` pixels on every side; an empty 1 x 1 image when the face is
// missing. Text is one line.
Image RenderText(const std::string& text, int pixelHeight, int margin, float letterSpacing = 0);

// True once the face has been found and opened.
bool TextAvailable();

} // namespace assetgen
