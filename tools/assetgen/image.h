// Floating-point RGBA pictures with straight alpha, and the few operations
// the generators share: supersampled rendering, box downsampling, blurring,
// compositing and fitting into a thumbnail.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace assetgen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

inline Rgba operator+(Rgba x, Rgba y) {
    return {x.r + y.r, x.g + y.g, x.b + y.b, x.a + y.a};
}
inline Rgba operator*(Rgba x, float s) {
    return {x.r * s, x.g * s, x.b * s, x.a * s};
}
inline Rgba Mix(Rgba x, Rgba y, float t) {
    return x * (1 - t) + y * t;
}
inline Rgba Opaque(float r, float g, float b) {
    return {r, g, b, 1};
}
// A colour from 0xRRGGBB.
inline Rgba Hex(uint32_t rgb, float a = 1) {
    return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f, float(rgb & 255) / 255.0f,
            a};
}

struct Image {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;

    Image() = default;
    Image(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    Rgba& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgba& At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgba& Wrapped(int x, int y) const {
        return At(((x % width) + width) % width, ((y % height) + height) % height);
    }
};

// 8 bits per channel, straight alpha, clamped and rounded; rgb only when
// withAlpha is false.
std::vector<uint8_t> ToBytes(const Image& image, bool withAlpha);

// Box filter over factor x factor blocks, averaging premultiplied colour so
// that transparent samples do not darken the edges.
Image Downsample(const Image& big, int factor);

// Renders shade(x, y) (straight alpha, x and y in output pixels, pixel centres
// at +0.5) on a factor x factor grid per pixel and downsamples it.
template <class Shade> Image RenderSupersampled(int width, int height, int factor, Shade shade) {
    Image big(width * factor, height * factor);
    float step = 1.0f / float(factor);
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            big.At(x, y) = shade((float(x) + 0.5f) * step, (float(y) + 0.5f) * step);
    return Downsample(big, factor);
}

// Separable Gaussian blur of every channel (premultiplied); edges clamp, or
// wrap for tiles.
Image Blur(const Image& image, float sigma, bool wrap);

// src drawn over dst with its top-left corner at (x, y).
void DrawOver(Image& dst, const Image& src, int x, int y);
// src added to dst's colour (alpha takes the larger of the two).
void DrawAdd(Image& dst, const Image& src, int x, int y);

// Scaled down (never up) to fit inside maxWidth x maxHeight.
Image FitInto(const Image& image, int maxWidth, int maxHeight);

// Each pixel repeated factor x factor times.
Image Enlarge(const Image& image, int factor);

inline float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
inline float SmoothStep(float e0, float e1, float v) {
    float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

} // namespace assetgen
