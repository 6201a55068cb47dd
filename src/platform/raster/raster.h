// Internal to the platform layer: the software rasterizer behind the Direct3D 8
// device. One call draws one pre-transformed triangle into a 32-bit target
// with the fixed-function pipeline state decoded once per draw. This is the
// reference path; any faster path must reproduce it bit for bit, so every
// rounding is defined here.
//
// Coverage
// - Pixel (i, j) has its centre at (i, j). Positions are snapped to 1/256
//   pixel (round to nearest, ties to even); coverage is decided on the snapped
//   positions with exact 64-bit edge functions.
// - Top-left fill rule: a pixel centre exactly on a top edge (horizontal, the
//   triangle below it) or a left edge (the triangle to its right) is inside;
//   on a right or bottom edge it is outside. Triangles sharing an edge draw
//   each pixel on it exactly once; a quad from (0, 0) to (W, H) covers exactly
//   pixels 0..W-1 by 0..H-1.
// - Winding is judged on the screen (x right, y down). RasterCull::Clockwise
//   discards clockwise triangles, CounterClockwise the counter-clockwise ones.
//   Zero-area triangles (after snapping) draw nothing.
// - Safety: a triangle with a NaN, infinite or larger than kMaxCoordinate
//   position draws nothing. Only pixels inside the target are visited, whatever
//   the coordinates, and texel addresses are always wrapped into the level.
//
// Interpolation
// - Every attribute is a plane a(i, j) = c + dx (i - i0) + dy (j - j0) over
//   the pixels, where (i0, j0) is the first pixel of the clipped bounding box.
//   c, dx and dy are computed in double from the snapped positions and rounded
//   once to fixed point; per-pixel values are then exact integer sums, so
//   stepping and direct evaluation agree.
// - Colour channels carry 16 fraction bits and round to nearest 0..255 with
//   clamping. Flat shading, or three equal vertex colours, gives the first
//   vertex's colour exactly. A plane whose values would leave the 62-bit range
//   (slivers with enormous gradients) is taken as constant at vertex 0.
// - Texture coordinates become texel coordinates s = u N, t = v M with 32
//   fraction bits. A non-finite or huge texture coordinate makes the whole
//   triangle sample at s = t = 0.
//
// Sampling (wrap addressing on both axes, the only mode the game uses)
// - Texel i of an axis of size N covers [i, i + 1) in texel coordinates. Point
//   sampling takes the texel containing the coordinate, except that a
//   coordinate within 1/256 texel above the far edge (N <= s < N + 1/256)
//   takes texel N - 1: the game maps an image onto a rectangle of its own size
//   with u = 1 exactly at the centre of the last pixel, and that pixel must
//   show the last texel, not the wrapped-around first one.
// - Bilinear sampling blends the four texels around (s - 0.5, t - 0.5) with
//   8-bit weights fx, fy (the top 8 fraction bits):
//   (c00 (256-fx)(256-fy) + c10 fx (256-fy) + c01 (256-fx) fy + c11 fx fy
//   + 32768) >> 16 per channel; at a texel centre it returns that texel.
// - Level 0 is sampled unless the state asks for mipmaps. With mipmaps one
//   level per triangle is chosen: the nearest to log2 of the larger of the
//   two screen-axis texel footprints (triangles are affine, so the footprint
//   is constant). The minification filter applies when that footprint is
//   above one texel per pixel, else the magnification filter. A mip filter of
//   linear is treated as point (no blending between levels).
//
// Pipeline per covered pixel
// 1. Diffuse colour (interpolated or flat).
// 2. The texel.
// 3. Stage 0 computes colour and alpha separately: SelectArg1, SelectArg2,
//    Modulate (Mul255) or Add (clamped); arguments are the diffuse colour
//    (also standing for CURRENT at stage 0), the texel or the texture factor.
//    With no texture bound, a colour or alpha operation that reads the texture
//    yields the diffuse colour or alpha unchanged, so untextured quads show
//    their vertex colour with its alpha.
// 4. Alpha test: the 8-bit alpha is compared with the reference; a failing
//    pixel is discarded before blending.
// 5. Blending: target = min(255, (src x srcFactor + dst x destFactor + 127) / 255)
//    per channel, factors 0..255; the target has no alpha of its own, so
//    destination alpha reads 255. Without blending the source is written.
// 6. The target pixel is written as 0xFFRRGGBB.
//
// Depth: every vertex the game draws has z = 0 and the depth buffer is
// cleared to 1.0 with the LESSEQUAL test, so depth never hides a pixel; the
// rasterizer keeps no depth buffer and performs no depth test.
#pragma once

#include <cstdint>

namespace platform {

// Positions whose magnitude exceeds this draw nothing.
constexpr float kMaxCoordinate = 32768.0f;
constexpr int32_t kMaxTextureLevels = 13; // 4096 x 4096 down to 1 x 1

struct RasterVertex {
    float x, y;
    uint32_t diffuse; // 0xAARRGGBB
    float u, v;
};

enum class RasterOp : uint8_t { SelectArg1, SelectArg2, Modulate, Add };
enum class RasterArg : uint8_t { Diffuse, Texture, Factor };
enum class RasterBlend : uint8_t {
    Zero,
    One,
    SrcColour,
    InvSrcColour,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColour,
    InvDestColour,
};
enum class RasterCompare : uint8_t { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class RasterCull : uint8_t { None, Clockwise, CounterClockwise };
enum class RasterFilter : uint8_t { Point, Bilinear };

// The pipeline state, decoded from the device's render and stage states.
struct RasterState {
    RasterOp colourOp = RasterOp::Modulate;
    RasterArg colourArg1 = RasterArg::Texture;
    RasterArg colourArg2 = RasterArg::Diffuse;
    RasterOp alphaOp = RasterOp::SelectArg1;
    RasterArg alphaArg1 = RasterArg::Texture;
    RasterArg alphaArg2 = RasterArg::Diffuse;
    uint32_t textureFactor = 0xFFFFFFFFu;
    bool alphaTest = false;
    RasterCompare alphaFunc = RasterCompare::Always;
    uint8_t alphaRef = 0;
    bool blend = false;
    RasterBlend srcBlend = RasterBlend::One;
    RasterBlend destBlend = RasterBlend::Zero;
    bool flat = false;
    RasterCull cull = RasterCull::CounterClockwise;
    RasterFilter minFilter = RasterFilter::Point;
    RasterFilter magFilter = RasterFilter::Point;
    bool mipmaps = false;
};

// One mip level as 0xAARRGGBB texels; pitch in texels.
struct RasterTextureLevel {
    const uint32_t* texels = nullptr;
    int32_t width = 0, height = 0, pitch = 0;
};

// levelCount 0 means no texture is bound.
struct RasterTexture {
    int32_t levelCount = 0;
    RasterTextureLevel levels[kMaxTextureLevels];
};

// 0xFFRRGGBB pixels; pitch in pixels.
struct RasterTarget {
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0, pitch = 0;
};

// a x b / 255 rounded to nearest, for 8-bit a and b.
constexpr uint32_t Mul255(uint32_t a, uint32_t b) {
    return (a * b + 127) / 255;
}

// A4R4G4B4 to A8R8G8B8: each 4-bit channel times 17.
constexpr uint32_t WidenA4R4G4B4(uint16_t texel) {
    uint32_t out = 0;
    for (int shift = 0; shift < 16; shift += 4) {
        out |= ((texel >> shift) & 0xFu) * 17u << (shift * 2);
    }
    return out;
}

// Draws one triangle; returns the number of pixels covered (before the alpha
// test), 0 when it was culled, degenerate, unsafe or outside the target.
int64_t DrawTriangle(const RasterState& state, const RasterTexture& texture, const RasterVertex& v0,
                     const RasterVertex& v1, const RasterVertex& v2, const RasterTarget& target);

// The same triangle through the plain per-pixel pipeline alone, the
// definition the specialised shaders and samplers behind DrawTriangle are held
// to: both leave identical pixels and return the same count.
int64_t DrawTriangleReference(const RasterState& state, const RasterTexture& texture, const RasterVertex& v0,
                              const RasterVertex& v1, const RasterVertex& v2, const RasterTarget& target);

} // namespace platform
