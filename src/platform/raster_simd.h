// Internal to the rasterizer: per-pixel arithmetic on all four channels at
// once, equal bit for bit to the per-channel definitions in raster.h. Without
// SSE2 the rasterizer keeps its per-channel code.
//
// The bilinear blend is split into a horizontal step h = c0 (256 - fx) +
// c1 fx (at most 65280) and a vertical step (h0 (256 - fy) + h1 fy + 32768)
// >> 16. Writing h = 256 hi + lo, the vertical step is
// (hi0 (256 - fy) + hi1 fy + ((lo0 (256 - fy) + lo1 fy) >> 8) + 128) >> 8,
// every term of which fits in 16 bits because the result is at most 255.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace platform {

// The four channels of a weight in 16-bit lanes.
constexpr uint64_t kEachLane = 0x0001000100010001ull;

// top = c00 | c10 << 32 from the upper row, bottom = c01 | c11 << 32 from the
// row below; fx, fy in 0..255.
[[gnu::always_inline]] inline uint32_t BlendBilinear(uint64_t top, uint64_t bottom, uint32_t fx,
                                                     uint32_t fy) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wx =
        _mm_set_epi64x(static_cast<int64_t>(fx * kEachLane), static_cast<int64_t>((256 - fx) * kEachLane));
    const __m128i wy =
        _mm_set_epi64x(static_cast<int64_t>(fy * kEachLane), static_cast<int64_t>((256 - fy) * kEachLane));
    // Lanes 0-3 the left-hand texel, 4-7 the right-hand one: products below 65536.
    const __m128i rowTop =
        _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<int64_t>(top)), zero), wx);
    const __m128i rowBottom =
        _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<int64_t>(bottom)), zero), wx);
    const __m128i h = _mm_unpacklo_epi64(_mm_add_epi16(rowTop, _mm_srli_si128(rowTop, 8)),
                                         _mm_add_epi16(rowBottom, _mm_srli_si128(rowBottom, 8)));
    const __m128i hi = _mm_mullo_epi16(_mm_srli_epi16(h, 8), wy);
    const __m128i lo = _mm_mullo_epi16(_mm_and_si128(h, _mm_set1_epi16(0xFF)), wy);
    const __m128i hiSum = _mm_add_epi16(hi, _mm_srli_si128(hi, 8));
    const __m128i loSum = _mm_add_epi16(lo, _mm_srli_si128(lo, 8));
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(hiSum, _mm_srli_epi16(loSum, 8)), _mm_set1_epi16(128));
    const __m128i out = _mm_srli_epi16(sum, 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(out, out)));
}

// min(a + b, 255) of each channel.
[[gnu::always_inline]] inline uint32_t AddSaturated4(uint32_t a, uint32_t b) {
    return static_cast<uint32_t>(_mm_cvtsi128_si32(
        _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b)))));
}

// Mul255 of each channel of a and b: a b + 127 stays below 65535, where
// (p + 1 + (p >> 8)) >> 8 equals p / 255.
[[gnu::always_inline]] inline uint32_t Modulate4(uint32_t a, uint32_t b) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wideA = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a)), zero);
    const __m128i wideB = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(b)), zero);
    const __m128i p = _mm_add_epi16(_mm_mullo_epi16(wideA, wideB), _mm_set1_epi16(127));
    const __m128i q =
        _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p, _mm_set1_epi16(1)), _mm_srli_epi16(p, 8)), 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(q, q)));
}

} // namespace platform

#endif
