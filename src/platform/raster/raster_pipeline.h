// Internal to the rasterizer: the triangle as both paths receive it once it
// is set up, and the plain per-pixel pipeline of raster.h that defines every
// pixel.
#pragma once

#include "platform/raster/raster.h"

#include <algorithm>
#include <cstdint>

namespace platform {

constexpr int kColourBits = 16;
constexpr int kTexelBits = 32;
constexpr int64_t kTexelOne = int64_t{1} << kTexelBits;
constexpr int64_t kFarEdgeTolerance = kTexelOne >> 8; // 1/256 texel

// a(i, j) = c + dx (i - left) + dy (j - top) in fixed point.
struct Plane {
    int64_t c = 0, dx = 0, dy = 0;
};

inline int64_t At(const Plane& p, int64_t di, int64_t dj) {
    return p.c + p.dx * di + p.dy * dj;
}

// The snapped triangle, clockwise on the screen, and its clipped pixel box.
struct Geometry {
    int64_t X[3], Y[3]; // 1/256 pixel
    double x[3], y[3];  // pixels
    double area;        // twice the area in square pixels, > 0
    int32_t left, top, right, bottom;
};

struct Planes {
    Plane colour[4]; // b, g, r, a (bit shifts 0, 8, 16, 24)
    Plane s, t;
    uint32_t flatColour;
};

struct TexelSource {
    const uint32_t* texels;
    int32_t width, height, pitch;
};

inline uint32_t Channel(uint32_t colour, int shift) {
    return (colour >> shift) & 0xFFu;
}

inline uint32_t ColourChannel(int64_t value) {
    const int64_t rounded = (value + (int64_t{1} << (kColourBits - 1))) >> kColourBits;
    return static_cast<uint32_t>(std::clamp<int64_t>(rounded, 0, 255));
}

// The interpolated diffuse colour from its four channel values.
inline uint32_t GouraudColour(const int64_t (&channel)[4]) {
    return ColourChannel(channel[0]) | ColourChannel(channel[1]) << 8 | ColourChannel(channel[2]) << 16 |
           ColourChannel(channel[3]) << 24;
}

// The interpolated diffuse colour di pixels right of and dj below the corner
// of the triangle's box.
inline uint32_t GouraudColourAt(const Planes& planes, int64_t di, int64_t dj) {
    const int64_t channel[4] = {At(planes.colour[0], di, dj), At(planes.colour[1], di, dj),
                                At(planes.colour[2], di, dj), At(planes.colour[3], di, dj)};
    return GouraudColour(channel);
}

// Both sides of the level are powers of two, so coordinates wrap by a mask.
inline bool PowerOfTwo(const TexelSource& level) {
    return (level.width & (level.width - 1)) == 0 && (level.height & (level.height - 1)) == 0;
}

inline int64_t Wrap(int64_t i, int32_t size, bool pow2) {
    if (pow2) {
        return i & (size - 1);
    }
    const int64_t m = i % size;
    return m < 0 ? m + size : m;
}

// The texel index of a point sample on one axis.
inline int64_t PointIndex(int64_t s, int32_t size, bool pow2) {
    int64_t i = s >> kTexelBits;
    if (i == size && (s & (kTexelOne - 1)) < kFarEdgeTolerance) {
        i = size - 1; // the far edge itself belongs to the last texel
    }
    return Wrap(i, size, pow2);
}

// The four texels around a bilinear sample and its 8-bit weights.
struct BilinearTaps {
    const uint32_t *row0, *row1;
    int64_t x0, x1;
    uint32_t fx, fy;
};

inline BilinearTaps Taps(const TexelSource& level, int64_t s, int64_t t, bool pow2) {
    const int64_t ss = s - kTexelOne / 2, tt = t - kTexelOne / 2;
    BilinearTaps taps;
    taps.fx = static_cast<uint32_t>(ss >> (kTexelBits - 8)) & 0xFFu;
    taps.fy = static_cast<uint32_t>(tt >> (kTexelBits - 8)) & 0xFFu;
    taps.x0 = Wrap(ss >> kTexelBits, level.width, pow2);
    taps.x1 = Wrap((ss >> kTexelBits) + 1, level.width, pow2);
    taps.row0 = level.texels + Wrap(tt >> kTexelBits, level.height, pow2) * level.pitch;
    taps.row1 = level.texels + Wrap((tt >> kTexelBits) + 1, level.height, pow2) * level.pitch;
    return taps;
}

inline uint32_t BilinearPlain(const BilinearTaps& k) {
    const uint32_t c00 = k.row0[k.x0], c10 = k.row0[k.x1], c01 = k.row1[k.x0], c11 = k.row1[k.x1];
    const uint32_t w00 = (256 - k.fx) * (256 - k.fy), w10 = k.fx * (256 - k.fy), w01 = (256 - k.fx) * k.fy,
                   w11 = k.fx * k.fy;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sum = Channel(c00, shift) * w00 + Channel(c10, shift) * w10 +
                             Channel(c01, shift) * w01 + Channel(c11, shift) * w11 + 32768u;
        out |= (sum >> 16) << shift;
    }
    return out;
}

inline uint32_t Combine(RasterOp op, uint32_t a, uint32_t b) {
    switch (op) {
    case RasterOp::SelectArg1:
        return a;
    case RasterOp::SelectArg2:
        return b;
    case RasterOp::Modulate:
        return Mul255(a, b);
    case RasterOp::Add:
        return std::min<uint32_t>(a + b, 255);
    }
    return a;
}

inline uint32_t Argument(RasterArg arg, uint32_t diffuse, uint32_t texel, uint32_t factor) {
    switch (arg) {
    case RasterArg::Diffuse:
        return diffuse;
    case RasterArg::Texture:
        return texel;
    case RasterArg::Factor:
        return factor;
    }
    return diffuse;
}

inline bool AlphaPasses(RasterCompare func, uint32_t alpha, uint32_t ref) {
    switch (func) {
    case RasterCompare::Never:
        return false;
    case RasterCompare::Less:
        return alpha < ref;
    case RasterCompare::Equal:
        return alpha == ref;
    case RasterCompare::LessEqual:
        return alpha <= ref;
    case RasterCompare::Greater:
        return alpha > ref;
    case RasterCompare::NotEqual:
        return alpha != ref;
    case RasterCompare::GreaterEqual:
        return alpha >= ref;
    case RasterCompare::Always:
        return true;
    }
    return true;
}

inline uint32_t BlendFactor(RasterBlend factor, uint32_t src, uint32_t srcAlpha, uint32_t dst) {
    switch (factor) {
    case RasterBlend::Zero:
        return 0;
    case RasterBlend::One:
        return 255;
    case RasterBlend::SrcColour:
        return src;
    case RasterBlend::InvSrcColour:
        return 255 - src;
    case RasterBlend::SrcAlpha:
        return srcAlpha;
    case RasterBlend::InvSrcAlpha:
        return 255 - srcAlpha;
    case RasterBlend::DestAlpha:
        return 255; // the X8R8G8B8 target reads as opaque
    case RasterBlend::InvDestAlpha:
        return 0;
    case RasterBlend::DestColour:
        return dst;
    case RasterBlend::InvDestColour:
        return 255 - dst;
    }
    return 255;
}

// Steps 5 and 6 of the pipeline: the colour channels of src with its alpha
// over dst.
inline uint32_t BlendPixel(const RasterState& st, uint32_t src, uint32_t alpha, uint32_t dst) {
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = Channel(src, shift);
        uint32_t value = c;
        if (st.blend) {
            const uint32_t d = Channel(dst, shift);
            const uint32_t sum =
                c * BlendFactor(st.srcBlend, c, alpha, d) + d * BlendFactor(st.destBlend, c, alpha, d) + 127;
            value = std::min<uint32_t>(sum / 255, 255);
        }
        out |= value << shift;
    }
    return out;
}

// Steps 3 to 6 of the pipeline for one pixel.
inline void ShadePixel(const RasterState& st, uint32_t diffuse, uint32_t texel, uint32_t* pixel) {
    const uint32_t colour1 = Argument(st.colourArg1, diffuse, texel, st.textureFactor);
    const uint32_t colour2 = Argument(st.colourArg2, diffuse, texel, st.textureFactor);
    const uint32_t alpha =
        Combine(st.alphaOp, Channel(Argument(st.alphaArg1, diffuse, texel, st.textureFactor), 24),
                Channel(Argument(st.alphaArg2, diffuse, texel, st.textureFactor), 24));
    if (st.alphaTest && !AlphaPasses(st.alphaFunc, alpha, st.alphaRef)) {
        return; // discarded before blending
    }
    uint32_t src = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        src |= Combine(st.colourOp, Channel(colour1, shift), Channel(colour2, shift)) << shift;
    }
    *pixel = BlendPixel(st, src, alpha, *pixel);
}

} // namespace platform
