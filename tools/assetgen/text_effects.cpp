#include "text_effects.h"

#include <cmath>

#include "text_renderer.h"

namespace assetgen {

namespace {

// The mask's coverage grown by `radius` pixels (max over a disc).
Image Dilate(const Image& mask, float radius) {
    Image out(mask.width, mask.height, Rgba{1, 1, 1, 0});
    int r = int(std::ceil(radius));
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float best = 0;
            for (int j = -r; j <= r; ++j)
                for (int i = -r; i <= r; ++i) {
                    int sx = x + i, sy = y + j;
                    if (sx < 0 || sy < 0 || sx >= mask.width || sy >= mask.height)
                        continue;
                    float d = std::sqrt(float(i * i + j * j));
                    float weight = Clamp01(radius + 0.5f - d);
                    best = std::max(best, mask.At(sx, sy).a * weight);
                }
            out.At(x, y).a = best;
        }
    return out;
}

} // namespace

Image StyledText(const std::string& text, const LetterStyle& style, int width, int height) {
    // Shrink the letters until they fit inside the glow and outline margins.
    int pixelHeight = style.pixelHeight;
    int room = width - 2 * int(std::ceil(style.glowRadius * 1.5f + style.outlineWidth + 1));
    Image glyphs = RenderText(text, pixelHeight, 0, style.letterSpacing);
    while (glyphs.width > room && pixelHeight > 6)
        glyphs = RenderText(text, --pixelHeight, 0, style.letterSpacing);
    Image mask(width, height, Rgba{1, 1, 1, 0});
    DrawOver(mask, glyphs, (width - glyphs.width) / 2, (height - glyphs.height) / 2 + pixelHeight / 12);
    Image outline = Dilate(mask, style.outlineWidth);
    Image rounded = Blur(mask, style.bevel, false);
    Image out(width, height);
    if (style.glowRadius > 0) {
        Image glow = Blur(Dilate(mask, style.glowRadius * 0.5f), style.glowRadius, false);
        for (size_t i = 0; i < out.pixels.size(); ++i)
            out.pixels[i] = {style.glow.r, style.glow.g, style.glow.b,
                             Clamp01(glow.pixels[i].a * style.glowStrength)};
    }
    // Face rows span the glyph box; the gradient runs through it.
    int top = (height - glyphs.height) / 2 + pixelHeight / 12, rows = std::max(glyphs.height, 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgba& d = out.At(x, y);
            float o = outline.At(x, y).a;
            d = Mix(d, {style.outline.r, style.outline.g, style.outline.b, 1}, o);
            d.a = std::max(d.a, o);
            float a = mask.At(x, y).a;
            if (a <= 0)
                continue;
            float t = Clamp01((float(y - top) / float(rows) - 0.15f) / 0.7f);
            Rgba face =
                t < 0.5f ? Mix(style.top, style.middle, t * 2) : Mix(style.middle, style.bottom, t * 2 - 1);
            auto h = [&](int i, int j) {
                return rounded.At(std::clamp(i, 0, width - 1), std::clamp(j, 0, height - 1)).a;
            };
            float nx = -(h(x + 1, y) - h(x - 1, y)) * 3, ny = -(h(x, y + 1) - h(x, y - 1)) * 3;
            float len = std::sqrt(nx * nx + ny * ny + 1);
            float light = (-0.6f * nx - 0.7f * ny + 0.4f) / len; // from the upper left
            float shade = 0.75f + 0.45f * light;
            float plan = std::pow(Clamp01(light), 6.0f) * 0.6f;
            Rgba lit = {face.r * shade + plan, face.g * shade + plan, face.b * shade + plan, 1};
            d = Mix(d, lit, a);
        }
    for (Rgba& c : out.pixels)
        c = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), Clamp01(c.a)};
    return out;
}

} // namespace assetgen
