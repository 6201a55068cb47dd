#include "platform/raster_bilinear_wide.h"

#if defined(__x86_64__)
#if !defined(__AVX2__)
#error "this file is built with -mavx2 and called only where the processor has AVX2"
#endif
#include <immintrin.h>

namespace platform {
namespace {

// The eight pixels' 8-bit weights in 32-bit lanes, [w0..w3 | w4..w7], as two
// registers of 16-bit lanes: [w0 x4, w1 x4 | w4 x4, w5 x4] and likewise for
// w2, w3, w6, w7.
[[gnu::always_inline]] inline void SpreadWeights(__m256i w, __m256i* first, __m256i* second) {
    const __m256i packed = _mm256_packs_epi32(w, w);
    const __m256i pairs = _mm256_unpacklo_epi16(packed, packed);
    *first = _mm256_shuffle_epi32(pairs, 0x50);
    *second = _mm256_shuffle_epi32(pairs, 0xFA);
}

// The SSE2 two-sample blend in each 128-bit half: texelsA holds samples p and
// q (c00 | c10 << 32 | c01 << 64 | c11 << 96 each), texelsB samples p + 1 and
// q + 1; fx and fy hold [p x4, p+1 x4 | q x4, q+1 x4]. Returns p, p + 1 in
// the low 64 bits of the lower half and q, q + 1 in those of the upper.
[[gnu::always_inline]] inline __m256i Blend(__m256i texelsA, __m256i texelsB, __m256i fx, __m256i fy) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i side = _mm256_set_epi16(0, 0, 0, 0, -1, -1, -1, -1, 0, 0, 0, 0, -1, -1, -1, -1);
    const __m256i sideBase = _mm256_set_epi16(0, 0, 0, 0, 257, 257, 257, 257, 0, 0, 0, 0, 257, 257, 257, 257);
    const __m256i wxA = _mm256_add_epi16(_mm256_xor_si256(_mm256_unpacklo_epi64(fx, fx), side), sideBase);
    const __m256i wxB = _mm256_add_epi16(_mm256_xor_si256(_mm256_unpackhi_epi64(fx, fx), side), sideBase);
    const __m256i topRowA = _mm256_mullo_epi16(_mm256_unpacklo_epi8(texelsA, zero), wxA);
    const __m256i bottomRowA = _mm256_mullo_epi16(_mm256_unpackhi_epi8(texelsA, zero), wxA);
    const __m256i topRowB = _mm256_mullo_epi16(_mm256_unpacklo_epi8(texelsB, zero), wxB);
    const __m256i bottomRowB = _mm256_mullo_epi16(_mm256_unpackhi_epi8(texelsB, zero), wxB);
    const __m256i hA = _mm256_add_epi16(_mm256_unpacklo_epi64(topRowA, bottomRowA),
                                        _mm256_unpackhi_epi64(topRowA, bottomRowA));
    const __m256i hB = _mm256_add_epi16(_mm256_unpacklo_epi64(topRowB, bottomRowB),
                                        _mm256_unpackhi_epi64(topRowB, bottomRowB));
    const __m256i h0 = _mm256_unpacklo_epi64(hA, hB), h1 = _mm256_unpackhi_epi64(hA, hB);
    const __m256i fy0 = _mm256_sub_epi16(_mm256_set1_epi16(256), fy);
    const __m256i byteMask = _mm256_set1_epi16(0xFF);
    const __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(h0, 8), fy0),
                                        _mm256_mullo_epi16(_mm256_srli_epi16(h1, 8), fy));
    const __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(h0, byteMask), fy0),
                                        _mm256_mullo_epi16(_mm256_and_si256(h1, byteMask), fy));
    const __m256i out = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(hi, _mm256_srli_epi16(lo, 8)), _mm256_set1_epi16(128)), 8);
    return _mm256_packus_epi16(out, out);
}

// Bits 24..55 of the 64-bit values [a0, a1 | a2, a3] and [b0, b1 | b2, b3] as
// [a0, a1, b0, b1 | a2, a3, b2, b3].
[[gnu::always_inline]] inline __m256i Low32(__m256i a, __m256i b) {
    return _mm256_unpacklo_epi64(_mm256_shuffle_epi32(_mm256_srli_epi64(a, 24), 0x08),
                                 _mm256_shuffle_epi32(_mm256_srli_epi64(b, 24), 0x08));
}

// One row's two texels at column x0 and the next one round the row.
[[gnu::always_inline]] inline __m128i Pair(const uint32_t* row, uint32_t x0, int32_t width) {
    const uint32_t x1 = (x0 + 1) & static_cast<uint32_t>(width - 1);
    return _mm_cvtsi64_si128(static_cast<int64_t>(row[x0] | uint64_t{row[x1]} << 32));
}

} // namespace

void FillBilinearWide(const WideBilinearRun& run, uint32_t* out, int n) {
    const int64_t s = run.s - (int64_t{1} << 31), t = run.t - (int64_t{1} << 31), ds = run.ds, dt = run.dt;
    // Samples 0, 1, 4, 5 and 2, 3, 6, 7, so that Low32 lists them in order.
    __m256i sA = _mm256_set_epi64x(s + 5 * ds, s + 4 * ds, s + ds, s);
    __m256i sB = _mm256_set_epi64x(s + 7 * ds, s + 6 * ds, s + 3 * ds, s + 2 * ds);
    __m256i tA = _mm256_set_epi64x(t + 5 * dt, t + 4 * dt, t + dt, t);
    __m256i tB = _mm256_set_epi64x(t + 7 * dt, t + 6 * dt, t + 3 * dt, t + 2 * dt);
    const __m256i sStep = _mm256_set1_epi64x(8 * ds), tStep = _mm256_set1_epi64x(8 * dt);
    const __m256i byteMask = _mm256_set1_epi32(0xFF);
    const __m256i columns = _mm256_set1_epi32(run.width - 1), rows = _mm256_set1_epi32(run.height - 1);
    const __m256i one = _mm256_set1_epi32(1), rowStep = _mm256_set1_epi32(run.pitch << 16 | 1);
    for (int k = 0; k < n; k += 8) {
        const __m256i sx = Low32(sA, sB), ty = Low32(tA, tB);
        sA = _mm256_add_epi64(sA, sStep);
        sB = _mm256_add_epi64(sB, sStep);
        tA = _mm256_add_epi64(tA, tStep);
        tB = _mm256_add_epi64(tB, tStep);
        const __m256i x0 = _mm256_and_si256(_mm256_srli_epi32(sx, 8), columns);
        const __m256i y0 = _mm256_and_si256(_mm256_srli_epi32(ty, 8), rows);
        const __m256i y1 = _mm256_and_si256(_mm256_add_epi32(y0, one), rows);
        // y pitch + x as one multiply-add of the 16-bit pairs (x, y) and (1, pitch)
        alignas(32) uint32_t top[8], bottom[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(top),
                           _mm256_madd_epi16(_mm256_or_si256(x0, _mm256_slli_epi32(y0, 16)), rowStep));
        _mm256_store_si256(reinterpret_cast<__m256i*>(bottom),
                           _mm256_madd_epi16(_mm256_or_si256(x0, _mm256_slli_epi32(y1, 16)), rowStep));
        __m128i texels[8];
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(x0, columns)) == 0) { // no right-hand texel wraps
            for (int p = 0; p < 8; ++p) {
                texels[p] =
                    _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(run.texels + top[p])),
                                       _mm_loadl_epi64(reinterpret_cast<const __m128i*>(run.texels + bottom[p])));
            }
        } else {
            alignas(32) uint32_t column[8];
            _mm256_store_si256(reinterpret_cast<__m256i*>(column), x0);
            for (int p = 0; p < 8; ++p) {
                texels[p] = _mm_unpacklo_epi64(Pair(run.texels + top[p] - column[p], column[p], run.width),
                                               Pair(run.texels + bottom[p] - column[p], column[p], run.width));
            }
        }
        __m256i fx01, fx23, fy01, fy23;
        SpreadWeights(_mm256_and_si256(sx, byteMask), &fx01, &fx23);
        SpreadWeights(_mm256_and_si256(ty, byteMask), &fy01, &fy23);
        const __m256i first = Blend(_mm256_set_m128i(texels[4], texels[0]), _mm256_set_m128i(texels[5], texels[1]),
                                    fx01, fy01);
        const __m256i second = Blend(_mm256_set_m128i(texels[6], texels[2]),
                                     _mm256_set_m128i(texels[7], texels[3]), fx23, fy23);
        // Two plain stores of four, as the shading kernels load them.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                         _mm_unpacklo_epi64(_mm256_castsi256_si128(first), _mm256_castsi256_si128(second)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 4),
                         _mm_unpacklo_epi64(_mm256_extracti128_si256(first, 1), _mm256_extracti128_si256(second, 1)));
    }
}

} // namespace platform

#endif
