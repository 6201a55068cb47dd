// Internal to the rasterizer: texel runs, eight pixels at a time with AVX2,
// for processors that have it. The results equal the SSE2 fetchers' and
// kernels' bit for bit. The source is compiled for AVX2 and shares nothing
// inline with the rest of the program, so none of its code can stand in for
// a function that older processors run.
#pragma once

#include <cstdint>

namespace platform {

struct WideBilinearRun {
    const uint32_t* texels;
    int32_t width, height, pitch; // below 32768; powers of two unless within one repeat
    int64_t s, t, ds, dt;         // 32 fraction bits, as the planes step them
    // Not powers of two: point samples only, every one within one repeat of
    // the image (texel columns and rows in [-size, 2 size)).
    bool withinOneRepeat = false;
};

// Writes n samples rounded up to eight into out (which has room for them),
// sample k taken at (s + k ds, t + k dt); dt is 0 for a row of constant t.
void FillBilinearWide(const WideBilinearRun& run, uint32_t* out, int n);

// One row of a triangle: n >= 1 pixels from pixel on, the first sampled at
// (s, t), all shaded with one diffuse colour. A point-sampled row of
// constant t names the image row it reads; one shown texel for texel that
// stays inside that row also names the texel of its first pixel, read
// straight on.
struct WideSpan {
    uint32_t* pixel;
    const uint32_t* texels; // or null
    const uint32_t* line;   // or null
    int64_t s, t;
    int32_t n;
    uint32_t diffuse;
};

// How the fused scan shades a sample against its span's diffuse colour: each
// of colour and alpha is the texture times the diffuse or the texture alone;
// the alpha test passes alpha in [lo, hi], the verdict inverted if invert.
enum class WideBlend : uint8_t { None, Over, Add };

struct WideShade {
    bool bilinear; // else point sampled
    bool modulateColour, modulateAlpha;
    WideBlend blend;
    bool test, invert;
    int32_t lo, hi;
};

// Samples, shades and writes every span; run.s and run.t are not read.
void ShadeWide(const WideBilinearRun& run, const WideShade& shade, const WideSpan* spans, int count);

} // namespace platform
