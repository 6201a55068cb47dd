#include "platform/raster/raster_bilinear_wide.h"

#if defined(__x86_64__)
#if !defined(__AVX2__)
#error "this file is built with -mavx2 and called only where the processor has AVX2"
#endif
#include <immintrin.h>

#include <array>
#include <utility>

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

// The level as the fetch reads it.
struct Level {
    const uint32_t* texels;
    int32_t width;
    __m256i columns, rows, rowStep;
    __m256i farS, farT; // the far edges, 32 fraction bits
    __m256i widths, heights;
    bool withinOneRepeat;
};

Level LevelOf(const WideBilinearRun& run) {
    return {run.texels,
            run.width,
            _mm256_set1_epi32(run.width - 1),
            _mm256_set1_epi32(run.height - 1),
            _mm256_set1_epi32(run.pitch << 16 | 1),
            _mm256_set1_epi64x(int64_t{run.width} << 32),
            _mm256_set1_epi64x(int64_t{run.height} << 32),
            _mm256_set1_epi32(run.width),
            _mm256_set1_epi32(run.height),
            run.withinOneRepeat};
}

// Where the next eight samples lie, less half a texel: samples 0, 1, 4, 5 in
// the A registers and 2, 3, 6, 7 in the B ones, so that Low32 lists them in
// order.
struct Steps {
    __m256i sA, sB, tA, tB;
};

// The offsets of samples 0 to 7 from the first, and the step to the next eight.
struct Offsets {
    Steps lanes;
    __m256i sStep, tStep;
};

Offsets OffsetsOf(int64_t ds, int64_t dt) {
    return {{_mm256_set_epi64x(5 * ds, 4 * ds, ds, 0), _mm256_set_epi64x(7 * ds, 6 * ds, 3 * ds, 2 * ds),
             _mm256_set_epi64x(5 * dt, 4 * dt, dt, 0), _mm256_set_epi64x(7 * dt, 6 * dt, 3 * dt, 2 * dt)},
            _mm256_set1_epi64x(8 * ds),
            _mm256_set1_epi64x(8 * dt)};
}

// Bilinear samples are taken half a texel back, from the four texels round them.
template <bool Bilinear>
[[gnu::always_inline]] inline Steps StartAt(const Offsets& off, int64_t s, int64_t t) {
    const int64_t back = Bilinear ? int64_t{1} << 31 : 0;
    const __m256i s0 = _mm256_set1_epi64x(s - back), t0 = _mm256_set1_epi64x(t - back);
    return {_mm256_add_epi64(s0, off.lanes.sA), _mm256_add_epi64(s0, off.lanes.sB),
            _mm256_add_epi64(t0, off.lanes.tA), _mm256_add_epi64(t0, off.lanes.tB)};
}

// Point samples at v (four 64-bit lanes, 32 fraction bits) less one texel
// where they lie on the far edge's own 1/256 texel, which belongs to the
// last texel: (v - edge) below the tolerance, compared without sign.
[[gnu::always_inline]] inline __m256i OffFarEdge(__m256i v, __m256i edge) {
    const __m256i sign = _mm256_set1_epi64x(INT64_MIN);
    const __m256i tolerance = _mm256_set1_epi64x(INT64_MIN + (int64_t{1} << 24));
    const __m256i onEdge = _mm256_cmpgt_epi64(tolerance, _mm256_xor_si256(_mm256_sub_epi64(v, edge), sign));
    return _mm256_add_epi64(v, _mm256_and_si256(onEdge, _mm256_set1_epi64x(-(int64_t{1} << 32))));
}

// Signed texel columns or rows in [-size, 2 size) brought into [0, size).
// Others, as the lanes past a span's end may hold, are held to the image.
[[gnu::always_inline]] inline __m256i IntoRepeat(__m256i i, __m256i size, __m256i last) {
    i = _mm256_add_epi32(i, _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), i), size));
    i = _mm256_sub_epi32(i, _mm256_andnot_si256(_mm256_cmpgt_epi32(size, i), size));
    return _mm256_min_epi32(_mm256_max_epi32(i, _mm256_setzero_si256()), last);
}

// The next eight point samples' columns (from s) or rows (from t), in order,
// stepping them on.
[[gnu::always_inline]] inline __m256i Whole8(__m256i& a, __m256i& b, __m256i step, __m256i farEdge,
                                             __m256i size, __m256i last, bool withinOneRepeat) {
    const __m256i v = Low32(OffFarEdge(a, farEdge), OffFarEdge(b, farEdge));
    a = _mm256_add_epi64(a, step);
    b = _mm256_add_epi64(b, step);
    if (withinOneRepeat) { // the whole texel numbers, signed, as they are below 2^23
        return IntoRepeat(_mm256_srai_epi32(v, 8), size, last);
    }
    return _mm256_and_si256(_mm256_srli_epi32(v, 8), last);
}

// The eight texels at the given offsets from texels, in one gather.
[[gnu::always_inline]] inline __m256i Load8(const uint32_t* texels, __m256i offsets) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), offsets, 4);
}

// The next eight point samples in order.
[[gnu::always_inline]] inline __m256i Point8(const Level& level, const Offsets& off, Steps& at) {
    const __m256i x =
        Whole8(at.sA, at.sB, off.sStep, level.farS, level.widths, level.columns, level.withinOneRepeat);
    const __m256i y =
        Whole8(at.tA, at.tB, off.tStep, level.farT, level.heights, level.rows, level.withinOneRepeat);
    return Load8(level.texels,
                 _mm256_madd_epi16(_mm256_or_si256(x, _mm256_slli_epi32(y, 16)), level.rowStep));
}

// The next eight point samples of a row of constant t, from its image row.
[[gnu::always_inline]] inline __m256i Row8(const Level& level, const Offsets& off, Steps& at,
                                           const uint32_t* line) {
    return Load8(line, Whole8(at.sA, at.sB, off.sStep, level.farS, level.widths, level.columns,
                              level.withinOneRepeat));
}

// The next eight bilinear samples in order, [0..3 | 4..7].
[[gnu::always_inline]] inline __m256i Bilinear8(const Level& level, const Offsets& off, Steps& at) {
    const __m256i sx = Low32(at.sA, at.sB), ty = Low32(at.tA, at.tB);
    at.sA = _mm256_add_epi64(at.sA, off.sStep);
    at.sB = _mm256_add_epi64(at.sB, off.sStep);
    at.tA = _mm256_add_epi64(at.tA, off.tStep);
    at.tB = _mm256_add_epi64(at.tB, off.tStep);
    const __m256i byteMask = _mm256_set1_epi32(0xFF);
    const __m256i x0 = _mm256_and_si256(_mm256_srli_epi32(sx, 8), level.columns);
    const __m256i y0 = _mm256_and_si256(_mm256_srli_epi32(ty, 8), level.rows);
    const __m256i y1 = _mm256_and_si256(_mm256_add_epi32(y0, _mm256_set1_epi32(1)), level.rows);
    // y pitch + x as one multiply-add of the 16-bit pairs (x, y) and (1, pitch)
    alignas(32) uint32_t top[8], bottom[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(top),
                       _mm256_madd_epi16(_mm256_or_si256(x0, _mm256_slli_epi32(y0, 16)), level.rowStep));
    _mm256_store_si256(reinterpret_cast<__m256i*>(bottom),
                       _mm256_madd_epi16(_mm256_or_si256(x0, _mm256_slli_epi32(y1, 16)), level.rowStep));
    __m128i texels[8];
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(x0, level.columns)) == 0) { // no right-hand texel wraps
        for (int p = 0; p < 8; ++p) {
            texels[p] = _mm_unpacklo_epi64(
                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(level.texels + top[p])),
                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(level.texels + bottom[p])));
        }
    } else {
        alignas(32) uint32_t column[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(column), x0);
        for (int p = 0; p < 8; ++p) {
            texels[p] =
                _mm_unpacklo_epi64(Pair(level.texels + top[p] - column[p], column[p], level.width),
                                   Pair(level.texels + bottom[p] - column[p], column[p], level.width));
        }
    }
    __m256i fx01, fx23, fy01, fy23;
    SpreadWeights(_mm256_and_si256(sx, byteMask), &fx01, &fx23);
    SpreadWeights(_mm256_and_si256(ty, byteMask), &fy01, &fy23);
    const __m256i first =
        Blend(_mm256_set_m128i(texels[4], texels[0]), _mm256_set_m128i(texels[5], texels[1]), fx01, fy01);
    const __m256i second =
        Blend(_mm256_set_m128i(texels[6], texels[2]), _mm256_set_m128i(texels[7], texels[3]), fx23, fy23);
    return _mm256_unpacklo_epi64(first, second);
}

// floor(p / 255) of each 16-bit lane, exact for p up to 65279; with 127
// added to a product first it rounds as Mul255 does.
[[gnu::always_inline]] inline __m256i Div255(__m256i p) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(p, _mm256_set1_epi16(1)), _mm256_srli_epi16(p, 8)), 8);
}

// Mul255 of each 8-bit channel of eight pixels.
[[gnu::always_inline]] inline __m256i Modulate8(__m256i a, __m256i b) {
    const __m256i zero = _mm256_setzero_si256(), bias = _mm256_set1_epi16(127);
    const __m256i lo = Div255(_mm256_add_epi16(
        _mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero)), bias));
    const __m256i hi = Div255(_mm256_add_epi16(
        _mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero)), bias));
    return _mm256_packus_epi16(lo, hi);
}

// Pixels in 16-bit lanes blended over the target's by their own alpha:
// (s a + d (255 - a) + 127) / 255.
[[gnu::always_inline]] inline __m256i OverHalf(__m256i src, __m256i dst) {
    const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(src, 0xFF), 0xFF);
    const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255), alpha);
    return Div255(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(src, alpha), _mm256_mullo_epi16(dst, inverse)),
                         _mm256_set1_epi16(127)));
}

[[gnu::always_inline]] inline __m256i Over8(__m256i src, __m256i dst) {
    const __m256i zero = _mm256_setzero_si256();
    return _mm256_packus_epi16(OverHalf(_mm256_unpacklo_epi8(src, zero), _mm256_unpacklo_epi8(dst, zero)),
                               OverHalf(_mm256_unpackhi_epi8(src, zero), _mm256_unpackhi_epi8(dst, zero)));
}

// The alpha test's constants, broadcast.
struct Shading {
    __m256i lo, hi, invert;
    bool opaquePasses; // an alpha of 255 passes the test, or there is none
};

template <bool ModulateColour, bool ModulateAlpha, WideBlend Mode, bool Test>
[[gnu::always_inline]] inline __m256i Shade8(const Shading& c, __m256i diffuse, __m256i texels,
                                             __m256i target) {
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    __m256i src = texels;
    if constexpr (ModulateColour || ModulateAlpha) {
        const __m256i m = Modulate8(texels, diffuse);
        if constexpr (ModulateColour && ModulateAlpha) {
            src = m;
        } else if constexpr (ModulateColour) {
            src = _mm256_blendv_epi8(m, texels, opaque);
        } else {
            src = _mm256_blendv_epi8(texels, m, opaque);
        }
    }
    __m256i out = src;
    if constexpr (Mode == WideBlend::Over) {
        // Whole runs of opaque or clear texels, as backdrops and text are
        // mostly made of, blend to exactly the source or the target.
        if (_mm256_testc_si256(src, opaque) != 0) {
            out = src;
        } else if (_mm256_testz_si256(src, opaque) != 0) {
            out = target;
        } else {
            out = Over8(src, target);
        }
    } else if constexpr (Mode == WideBlend::Add) {
        out = _mm256_adds_epu8(src, target);
    }
    out = _mm256_or_si256(out, opaque);
    if constexpr (Test) {
        // pixels failing the test keep the target's value
        const __m256i alpha = _mm256_srli_epi32(src, 24);
        const __m256i fail = _mm256_xor_si256(
            _mm256_or_si256(_mm256_cmpgt_epi32(c.lo, alpha), _mm256_cmpgt_epi32(alpha, c.hi)), c.invert);
        out = _mm256_blendv_epi8(out, target, fail);
    }
    return out;
}

template <bool Bilinear, bool ModulateColour, bool ModulateAlpha, WideBlend Mode, bool Test>
void ShadeSpans(const Level& level, const Offsets& off, const Shading& c, const WideSpan* spans, int count) {
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    for (const WideSpan* span = spans; span < spans + count; ++span) {
        Steps at = StartAt<Bilinear>(off, span->s, span->t);
        const uint32_t* row = span->texels;
        const uint32_t* line = span->line;
        const __m256i diffuse = _mm256_set1_epi32(static_cast<int>(span->diffuse));
        const auto fetch = [&level, &off, &at, &row, line]() {
            if constexpr (Bilinear) {
                return Bilinear8(level, off, at);
            }
            if (row == nullptr) {
                return line != nullptr ? Row8(level, off, at, line) : Point8(level, off, at);
            }
            const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row));
            row += 8;
            return eight;
        };
        uint32_t* pixel = span->pixel;
        int n = span->n;
        for (; n >= 8; n -= 8, pixel += 8) {
            __m256i* eight = reinterpret_cast<__m256i*>(pixel);
            const __m256i texels = fetch();
            if constexpr (Mode == WideBlend::Over && !ModulateColour && !ModulateAlpha) {
                // eight opaque texels cover the target whatever it holds
                if (c.opaquePasses && _mm256_testc_si256(texels, opaque) != 0) {
                    _mm256_storeu_si256(eight, texels);
                    continue;
                }
            }
            _mm256_storeu_si256(eight, Shade8<ModulateColour, ModulateAlpha, Mode, Test>(
                                           c, diffuse, texels, _mm256_loadu_si256(eight)));
        }
        if (n > 0) { // the last one to seven pixels, through a mask
            int* rest = reinterpret_cast<int*>(pixel);
            const __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(n), lane);
            // a row read straight on ends with the span, so its texels come through the mask too
            const __m256i texels = Bilinear || row == nullptr
                                       ? fetch()
                                       : _mm256_maskload_epi32(reinterpret_cast<const int*>(row), mask);
            _mm256_maskstore_epi32(rest, mask,
                                   Shade8<ModulateColour, ModulateAlpha, Mode, Test>(
                                       c, diffuse, texels, _mm256_maskload_epi32(rest, mask)));
        }
    }
}

using SpanShader = void (*)(const Level&, const Offsets&, const Shading&, const WideSpan*, int);

// Index bit 0: modulated colour, bit 1: modulated alpha, then the blend, the
// test and the filter.
template <int I> constexpr SpanShader ShaderAt() {
    return &ShadeSpans<I / 24 == 1, (I & 1) != 0, (I & 2) != 0, static_cast<WideBlend>(I / 4 % 3),
                       I / 12 % 2 == 1>;
}

template <int... I>
constexpr std::array<SpanShader, sizeof...(I)> ShaderTable(std::integer_sequence<int, I...>) {
    return {ShaderAt<I>()...};
}

constexpr auto kShaders = ShaderTable(std::make_integer_sequence<int, 48>{});

} // namespace

void FillBilinearWide(const WideBilinearRun& run, uint32_t* out, int n) {
    const Level level = LevelOf(run);
    const Offsets off = OffsetsOf(run.ds, run.dt);
    Steps at = StartAt<true>(off, run.s, run.t);
    for (int k = 0; k < n; k += 8) {
        const __m256i texels = Bilinear8(level, off, at);
        // Two plain stores of four, as the shading kernels load them.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm256_castsi256_si128(texels));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 4), _mm256_extracti128_si256(texels, 1));
    }
}

void ShadeWide(const WideBilinearRun& run, const WideShade& shade, const WideSpan* spans, int count) {
    const bool opaquePasses = !shade.test || ((shade.lo <= 255 && shade.hi >= 255) != shade.invert);
    const Shading c{_mm256_set1_epi32(shade.lo), _mm256_set1_epi32(shade.hi),
                    _mm256_set1_epi32(shade.invert ? -1 : 0), opaquePasses};
    const int index = (shade.modulateColour ? 1 : 0) + (shade.modulateAlpha ? 2 : 0) +
                      4 * static_cast<int>(shade.blend) + (shade.test ? 12 : 0) + (shade.bilinear ? 24 : 0);
    kShaders[static_cast<size_t>(index)](LevelOf(run), OffsetsOf(run.ds, run.dt), c, spans, count);
}

} // namespace platform

#endif
