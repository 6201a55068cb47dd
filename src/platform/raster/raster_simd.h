// Internal to the rasterizer: SSE2 arithmetic on four channels of several
// pixels at once, equal bit for bit to the per-channel definitions in
// raster.h and raster_pipeline.h.
//
// The bilinear blend is split into a horizontal step h = c0 (256 - fx) +
// c1 fx (at most 65280) and a vertical step (h0 (256 - fy) + h1 fy + 32768)
// >> 16. Writing h = 256 hi + lo, the vertical step is
// (hi0 (256 - fy) + hi1 fy + ((lo0 (256 - fy) + lo1 fy) >> 8) + 128) >> 8,
// every term of which fits in 16 bits because the result is at most 255.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace platform {

// floor(p / 255) of each 16-bit lane, exact for p + 1 + (p >> 8) below 65536
// (p up to 65279); with 127 added to a product first it is Mul255's rounding.
[[gnu::always_inline]] inline __m128i Div255(__m128i p) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p, _mm_set1_epi16(1)), _mm_srli_epi16(p, 8)), 8);
}

// Mul255 of each 8-bit channel of four pixels.
[[gnu::always_inline]] inline __m128i Modulate4(__m128i a, __m128i b) {
    const __m128i zero = _mm_setzero_si128(), bias = _mm_set1_epi16(127);
    const __m128i lo =
        Div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)), bias));
    const __m128i hi =
        Div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)), bias));
    return _mm_packus_epi16(lo, hi);
}

// Two pixels' colour channels in 16-bit lanes blended over the target's by
// their own alpha (lanes 3 and 7): (s a + d (255 - a) + 127) / 255, which
// never exceeds 255.
[[gnu::always_inline]] inline __m128i Over2(__m128i src, __m128i dst) {
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(src, 0xFF), 0xFF);
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return Div255(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(src, alpha), _mm_mullo_epi16(dst, inverse)),
                                _mm_set1_epi16(127)));
}

// Four pixels blended over the target by their alpha.
[[gnu::always_inline]] inline __m128i Over4(__m128i src, __m128i dst) {
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(Over2(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero)),
                            Over2(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero)));
}

// Each pixel whose 8-bit alpha lies in [lo, hi] as all ones, others zero.
[[gnu::always_inline]] inline __m128i AlphaInside(__m128i pixels, __m128i lo, __m128i hi) {
    const __m128i alpha = _mm_srli_epi32(pixels, 24);
    return _mm_andnot_si128(_mm_or_si128(_mm_cmplt_epi32(alpha, lo), _mm_cmpgt_epi32(alpha, hi)),
                            _mm_set1_epi32(-1));
}

// Weights w0..w3 of four pixels in 32-bit lanes as two registers of 16-bit
// lanes, w0 in lanes 0-3 and w1 in 4-7, then w2 and w3.
[[gnu::always_inline]] inline void SpreadWeights(__m128i w, __m128i* first, __m128i* second) {
    const __m128i pairs = _mm_unpacklo_epi16(_mm_packs_epi32(w, w), _mm_packs_epi32(w, w));
    *first = _mm_shuffle_epi32(pairs, 0x50);
    *second = _mm_shuffle_epi32(pairs, 0xFA);
}

// Two bilinear samples A and B: texelsA = c00 | c10 << 32 | c01 << 64 |
// c11 << 96 (the upper row's pair, then the lower row's), likewise texelsB;
// fx and fy hold A's weight in lanes 0-3 and B's in 4-7, each 0..255.
// Returns A's sample in the low 32 bits, B's in the next.
[[gnu::always_inline]] inline __m128i BlendBilinear2(__m128i texelsA, __m128i texelsB, __m128i fx,
                                                     __m128i fy) {
    const __m128i zero = _mm_setzero_si128();
    // Lanes 0-3 weight the left-hand texel (256 - fx), lanes 4-7 the right (fx).
    const __m128i side = _mm_set_epi16(0, 0, 0, 0, -1, -1, -1, -1);
    const __m128i sideBase = _mm_set_epi16(0, 0, 0, 0, 257, 257, 257, 257);
    const __m128i wxA = _mm_add_epi16(_mm_xor_si128(_mm_unpacklo_epi64(fx, fx), side), sideBase);
    const __m128i wxB = _mm_add_epi16(_mm_xor_si128(_mm_unpackhi_epi64(fx, fx), side), sideBase);
    // Products below 65536; the halves of each register are the two texels of a row.
    const __m128i topRowA = _mm_mullo_epi16(_mm_unpacklo_epi8(texelsA, zero), wxA);
    const __m128i bottomRowA = _mm_mullo_epi16(_mm_unpackhi_epi8(texelsA, zero), wxA);
    const __m128i topRowB = _mm_mullo_epi16(_mm_unpacklo_epi8(texelsB, zero), wxB);
    const __m128i bottomRowB = _mm_mullo_epi16(_mm_unpackhi_epi8(texelsB, zero), wxB);
    const __m128i hA =
        _mm_add_epi16(_mm_unpacklo_epi64(topRowA, bottomRowA), _mm_unpackhi_epi64(topRowA, bottomRowA));
    const __m128i hB =
        _mm_add_epi16(_mm_unpacklo_epi64(topRowB, bottomRowB), _mm_unpackhi_epi64(topRowB, bottomRowB));
    const __m128i h0 = _mm_unpacklo_epi64(hA, hB), h1 = _mm_unpackhi_epi64(hA, hB); // upper rows, lower rows
    const __m128i fy0 = _mm_sub_epi16(_mm_set1_epi16(256), fy);
    const __m128i byteMask = _mm_set1_epi16(0xFF);
    const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(h0, 8), fy0),
                                     _mm_mullo_epi16(_mm_srli_epi16(h1, 8), fy));
    const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(h0, byteMask), fy0),
                                     _mm_mullo_epi16(_mm_and_si128(h1, byteMask), fy));
    const __m128i out =
        _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(hi, _mm_srli_epi16(lo, 8)), _mm_set1_epi16(128)), 8);
    return _mm_packus_epi16(out, out);
}

} // namespace platform

#endif
