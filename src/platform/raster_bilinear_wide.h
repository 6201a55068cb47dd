// Internal to the rasterizer: bilinear texel runs from power-of-two levels,
// eight pixels at a time with AVX2, for processors that have it. The
// results equal the SSE2 fetcher's bit for bit. The source is compiled for
// AVX2 and shares nothing inline with the rest of the program, so none of
// its code can stand in for a function that older processors run.
#pragma once

#include <cstdint>

namespace platform {

struct WideBilinearRun {
    const uint32_t* texels;
    int32_t width, height, pitch; // powers of two below 32768, pitch below 32768
    int64_t s, t, ds, dt;         // 32 fraction bits, as the planes step them
};

// Writes n samples rounded up to eight into out (which has room for them),
// sample k taken at (s + k ds, t + k dt); dt is 0 for a row of constant t.
void FillBilinearWide(const WideBilinearRun& run, uint32_t* out, int n);

} // namespace platform
