#include "platform/raster/raster_fast.h"

#include "platform/raster/raster_bilinear_wide.h"
#include "platform/raster/raster_simd.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace platform {

#if defined(__SSE2__)
namespace {

constexpr int kRun = 64; // pixels fetched before they are shaded, a multiple of eight
static_assert(kRun % 8 == 0);

// Only x86-64 has the eight-wide fetcher; WebAssembly's vectors are 128 bits.
bool HasWideVectors() {
#if defined(__x86_64__)
    __builtin_cpu_init(); // this runs during static initialisation, perhaps before the runtime's own
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
}

bool wideVectors = HasWideVectors();

// Where a stage takes its colour or its alpha from.
enum class Sel : uint8_t { Modulate, Texture, Diffuse, Other };
enum class BlendKind : uint8_t { None, Over, Add, Other };

// The alpha test as a window: a pixel passes when lo <= alpha <= hi, the
// verdict inverted for NotEqual and Never.
struct ShadeParams {
    const RasterState* st;
    int32_t lo = 0, hi = 255;
    bool invert = false;
};

ShadeParams ParamsFor(const RasterState& st) {
    ShadeParams p{&st};
    const int32_t ref = st.alphaRef;
    const auto window = [&p](int32_t lo, int32_t hi, bool invert) {
        p.lo = lo, p.hi = hi, p.invert = invert;
    };
    switch (st.alphaFunc) {
    case RasterCompare::Never:
        window(0, 255, true);
        break;
    case RasterCompare::Less:
        window(0, ref - 1, false); // empty for a reference of 0
        break;
    case RasterCompare::Equal:
        window(ref, ref, false);
        break;
    case RasterCompare::LessEqual:
        window(0, ref, false);
        break;
    case RasterCompare::Greater:
        window(ref + 1, 255, false);
        break;
    case RasterCompare::NotEqual:
        window(ref, ref, true);
        break;
    case RasterCompare::GreaterEqual:
        window(ref, 255, false);
        break;
    case RasterCompare::Always:
        break;
    }
    return p;
}

template <Sel Source>
[[gnu::always_inline]] inline __m128i Pick(__m128i modulated, __m128i texels, __m128i diffuse) {
    if constexpr (Source == Sel::Modulate) {
        return modulated;
    } else if constexpr (Source == Sel::Texture) {
        return texels;
    } else {
        return diffuse;
    }
}

template <Sel Colour, Sel Alpha, BlendKind Blend, bool Test>
[[gnu::always_inline]] inline __m128i Shade4(const ShadeParams& p, __m128i t, __m128i d, __m128i target) {
    __m128i m = t;
    if constexpr (Colour == Sel::Modulate || Alpha == Sel::Modulate) {
        m = Modulate4(t, d);
    }
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    __m128i src = Pick<Colour>(m, t, d);
    if constexpr (Colour != Alpha) {
        src = _mm_or_si128(_mm_andnot_si128(opaque, src), _mm_and_si128(opaque, Pick<Alpha>(m, t, d)));
    }
    __m128i out = src;
    if constexpr (Blend == BlendKind::Over) {
        // Opaque fours (backdrops, most of a sprite) come out as the source
        // and clear ones as the target, exactly what the blend gives them.
        const __m128i alpha = _mm_and_si128(src, opaque);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) != 0xFFFF) {
            const bool clear = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF;
            out = clear ? target : Over4(src, target);
        }
    } else if constexpr (Blend == BlendKind::Add) {
        out = _mm_adds_epu8(src, target);
    }
    out = _mm_or_si128(out, opaque);
    if constexpr (Test) {
        // pixels failing the test keep the target's value
        __m128i pass = AlphaInside(src, _mm_set1_epi32(p.lo), _mm_set1_epi32(p.hi));
        pass = _mm_xor_si128(pass, _mm_set1_epi32(p.invert ? -1 : 0));
        out = _mm_or_si128(_mm_and_si128(pass, out), _mm_andnot_si128(pass, target));
    }
    return out;
}

inline __m128i Load4(const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Shades n pixels; texels and diffuse hold at least n rounded up to four,
// each four written by one store, so their loads here are forwarded whole.
using Kernel = void (*)(const ShadeParams&, const uint32_t*, const uint32_t*, uint32_t*, int);

template <Sel Colour, Sel Alpha, BlendKind Blend, bool Test>
void Shade(const ShadeParams& p, const uint32_t* texels, const uint32_t* diffuse, uint32_t* dst, int n) {
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        const __m128i out =
            Shade4<Colour, Alpha, Blend, Test>(p, Load4(texels + k), Load4(diffuse + k), Load4(dst + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), out);
    }
    const int rest = n - k; // the last one to three pixels, read and written one by one
    if (rest > 0) {
        const uint32_t* end = dst + k;
        const __m128i target =
            _mm_setr_epi32(static_cast<int>(end[0]), static_cast<int>(rest > 1 ? end[1] : 0),
                           static_cast<int>(rest > 2 ? end[2] : 0), 0);
        alignas(16) uint32_t out[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(out),
                        Shade4<Colour, Alpha, Blend, Test>(p, Load4(texels + k), Load4(diffuse + k), target));
        for (int r = 0; r < rest; ++r) {
            dst[k + r] = out[r];
        }
    }
}

void ShadeGeneric(const ShadeParams& p, const uint32_t* texels, const uint32_t* diffuse, uint32_t* dst,
                  int n) {
    for (int k = 0; k < n; ++k) {
        ShadePixel(*p.st, diffuse[k], texels[k], dst + k);
    }
}

constexpr int kSels = 3, kBlends = 3;

template <size_t I> constexpr Kernel KernelAt() {
    return &Shade<static_cast<Sel>(I / (2 * kBlends * kSels)), static_cast<Sel>(I / (2 * kBlends) % kSels),
                  static_cast<BlendKind>(I / 2 % kBlends), I % 2 == 1>;
}

template <size_t... I> constexpr std::array<Kernel, sizeof...(I)> KernelTable(std::index_sequence<I...>) {
    return {KernelAt<I>()...};
}

constexpr auto kKernels = KernelTable(std::make_index_sequence<kSels * kSels * kBlends * 2>{});

bool IsTextureTimesDiffuse(RasterArg a, RasterArg b) {
    return (a == RasterArg::Texture && b == RasterArg::Diffuse) ||
           (a == RasterArg::Diffuse && b == RasterArg::Texture);
}

Sel SelOf(RasterArg arg) {
    return arg == RasterArg::Texture ? Sel::Texture : arg == RasterArg::Diffuse ? Sel::Diffuse : Sel::Other;
}

// white: a constant diffuse of 255 in every channel this stage reads, by
// which Mul255 multiplies exactly.
Sel StageSel(RasterOp op, RasterArg arg1, RasterArg arg2, bool white) {
    switch (op) {
    case RasterOp::Modulate:
        return IsTextureTimesDiffuse(arg1, arg2) ? (white ? Sel::Texture : Sel::Modulate) : Sel::Other;
    case RasterOp::SelectArg1:
        return SelOf(arg1);
    case RasterOp::SelectArg2:
        return SelOf(arg2);
    case RasterOp::Add:
        return Sel::Other;
    }
    return Sel::Other;
}

BlendKind BlendOf(const RasterState& st) {
    if (!st.blend || (st.srcBlend == RasterBlend::One && st.destBlend == RasterBlend::Zero)) {
        return BlendKind::None; // (c 255 + 127) / 255 is c
    }
    if (st.srcBlend == RasterBlend::SrcAlpha && st.destBlend == RasterBlend::InvSrcAlpha) {
        return BlendKind::Over;
    }
    if (st.srcBlend == RasterBlend::One && st.destBlend == RasterBlend::One) {
        return BlendKind::Add;
    }
    return BlendKind::Other;
}

// What a kernel is specialised for; Other in any field means none is.
struct KernelChoice {
    Sel colour, alpha;
    BlendKind blend;
    bool test;

    bool Specialised() const {
        return colour != Sel::Other && alpha != Sel::Other && blend != BlendKind::Other;
    }
};

KernelChoice ChoiceFor(const RasterState& st, bool gouraud, uint32_t flatColour) {
    return {StageSel(st.colourOp, st.colourArg1, st.colourArg2,
                     !gouraud && (flatColour | 0xFF000000u) == 0xFFFFFFFFu),
            StageSel(st.alphaOp, st.alphaArg1, st.alphaArg2, !gouraud && flatColour >> 24 == 0xFFu),
            BlendOf(st), st.alphaTest && st.alphaFunc != RasterCompare::Always};
}

Kernel KernelFor(const KernelChoice& k) {
    if (!k.Specialised()) {
        return &ShadeGeneric;
    }
    return kKernels[((static_cast<size_t>(k.colour) * kSels + static_cast<size_t>(k.alpha)) * kBlends +
                     static_cast<size_t>(k.blend)) *
                        2 +
                    (k.test ? 1 : 0)];
}

// Fetchers give a run of texels, filled into the buffer offered or found in
// the texture itself, and step s and t past it; RowFixed marks a span along
// which t does not change, so its rows are found once.
struct NoFetch {
    const uint32_t* Fill(uint32_t*, const uint32_t* diffuse, int, int64_t&, int64_t&) const {
        return diffuse;
    }
};

template <bool Pow2, bool RowFixed> struct PointFetch {
    TexelSource level;
    int64_t ds, dt;

    [[gnu::always_inline]] uint32_t Next(const uint32_t* row, int64_t farEdge, int64_t& s, int64_t& t) const {
        if constexpr (!RowFixed) {
            row = level.texels + PointIndex(t, level.height, Pow2) * level.pitch;
            t += dt;
        }
        const int64_t at = s;
        s += ds;
        if constexpr (Pow2) {
            // the far edge's own 1/256 texel belongs to the last texel
            const int64_t onFarEdge = static_cast<uint64_t>(at - farEdge) < uint64_t{kFarEdgeTolerance};
            return row[((at >> kTexelBits) - onFarEdge) & (level.width - 1)];
        } else {
            return row[PointIndex(at, level.width, false)];
        }
    }

    // True when every sample of the run, up to three past it, takes the
    // texel its integer part names: with power-of-two sizes none lies in a
    // far edge's own 1/256 texel, otherwise all lie inside the level.
    bool Plain(int n, int64_t s, int64_t t) const {
        const int64_t steps = (n + 3) / 4 * 4 - 1;
        const auto clear = [](int64_t lo, int64_t hi, int32_t size) {
            const int64_t edge = int64_t{size} << kTexelBits;
            if constexpr (Pow2) {
                return hi < edge || lo >= edge + kFarEdgeTolerance;
            } else {
                return lo >= 0 && hi < edge;
            }
        };
        const auto along = [&clear, steps](int64_t first, int64_t step, int32_t size) {
            const int64_t last = first + step * steps;
            return clear(std::min(first, last), std::max(first, last), size);
        };
        return along(s, ds, level.width) &&
               (RowFixed ? clear(t, t, level.height) : along(t, dt, level.height));
    }

    [[gnu::always_inline]] int64_t Index(int64_t at, int32_t size) const {
        const int64_t i = at >> kTexelBits;
        return Pow2 ? i & (size - 1) : i;
    }

    const uint32_t* Fill(uint32_t* out, const uint32_t*, int n, int64_t& s, int64_t& t) const {
        const int64_t sEnd = s + ds * n, tEnd = t + dt * n;
        const uint32_t* row = level.texels + PointIndex(t, level.height, Pow2) * level.pitch;
        if constexpr (RowFixed) {
            // One texel per pixel along a row (text, backdrops at their own
            // size): consecutive texels of the row.
            if (ds == kTexelOne) {
                const int64_t first = s >> kTexelBits, count = (n + 3) / 4 * 4; // up to three past the run
                if (first >= 0 && first + count <= level.width) {
                    s = sEnd;
                    return row + first; // the stretch of the row itself
                }
                if (Pow2 && Plain(n, s, t)) { // wrapping round the row, no sample on its far edge
                    for (int64_t k = 0, at = first & (level.width - 1); k < count; at = 0) {
                        const int64_t part = std::min<int64_t>(count - k, level.width - at);
                        std::memcpy(out + k, row + at, static_cast<size_t>(part) * sizeof(uint32_t));
                        k += part;
                    }
                    s = sEnd;
                    return out;
                }
            }
        }
        if (Plain(n, s, t)) {
            for (int k = 0; k < n; k += 4) {
                uint32_t four[4];
                for (uint32_t& texel : four) {
                    if constexpr (!RowFixed) {
                        row = level.texels + Index(t, level.height) * level.pitch;
                        t += dt;
                    }
                    texel = row[Index(s, level.width)];
                    s += ds;
                }
                _mm_store_si128(reinterpret_cast<__m128i*>(out + k), Load4(four));
            }
            s = sEnd;
            t = tEnd;
            return out;
        }
        const int64_t farEdge = int64_t{level.width} << kTexelBits;
        for (int k = 0; k < n; k += 4) { // up to three samples past the run, all inside the level
            const uint32_t a = Next(row, farEdge, s, t), b = Next(row, farEdge, s, t),
                           c = Next(row, farEdge, s, t), d = Next(row, farEdge, s, t);
            _mm_store_si128(reinterpret_cast<__m128i*>(out + k),
                            _mm_setr_epi32(static_cast<int>(a), static_cast<int>(b), static_cast<int>(c),
                                           static_cast<int>(d)));
        }
        s = sEnd;
        t = tEnd;
        return out;
    }
};

// Both texels of a row at x0 and x1, x0's in the low half.
inline uint64_t Pair(const uint32_t* row, int64_t x0, int64_t x1) {
    uint64_t pair;
    if (x1 == x0 + 1) { // side by side in memory, the usual case
        std::memcpy(&pair, row + x0, sizeof pair);
    } else {
        pair = row[x0] | uint64_t{row[x1]} << 32;
    }
    return pair;
}

// Four bilinear samples from their taps, one at a time.
inline __m128i BlendTaps(const BilinearTaps (&k)[4]) {
    __m128i texels[4];
    for (int p = 0; p < 4; ++p) {
        const __m128i top = _mm_cvtsi64_si128(static_cast<int64_t>(Pair(k[p].row0, k[p].x0, k[p].x1)));
        const __m128i bottom = _mm_cvtsi64_si128(static_cast<int64_t>(Pair(k[p].row1, k[p].x0, k[p].x1)));
        texels[p] = _mm_unpacklo_epi64(top, bottom);
    }
    __m128i fx01, fx23, fy01, fy23;
    SpreadWeights(_mm_setr_epi32(static_cast<int>(k[0].fx), static_cast<int>(k[1].fx),
                                 static_cast<int>(k[2].fx), static_cast<int>(k[3].fx)),
                  &fx01, &fx23);
    SpreadWeights(_mm_setr_epi32(static_cast<int>(k[0].fy), static_cast<int>(k[1].fy),
                                 static_cast<int>(k[2].fy), static_cast<int>(k[3].fy)),
                  &fy01, &fy23);
    return _mm_unpacklo_epi64(BlendBilinear2(texels[0], texels[1], fx01, fy01),
                              BlendBilinear2(texels[2], texels[3], fx23, fy23));
}

// Column and row of every texel fit the signed 16-bit pairs that the
// multiply-add row step (x + y pitch) takes.
bool PairsFit(const TexelSource& level) {
    return level.pitch < 32768 && level.height <= 32768;
}

template <bool Pow2, bool RowFixed> struct BilinearFetch {
    TexelSource level;
    int64_t ds, dt;

    const uint32_t* Fill(uint32_t* out, const uint32_t*, int n, int64_t& s, int64_t& t) const {
        const int64_t sEnd = s + ds * n, tEnd = t + dt * n;
        if constexpr (Pow2) {
            if (PairsFit(level)) {
                if (wideVectors) {
                    FillBilinearWide({level.texels, level.width, level.height, level.pitch, s, t, ds, dt},
                                     out, n);
                } else {
                    FillPow2(out, n, s, t);
                }
                s = sEnd;
                t = tEnd;
                return out;
            }
        }
        for (int k = 0; k < n; k += 4) { // up to three samples past the run, all inside the level
            BilinearTaps taps[4];
            for (BilinearTaps& tap : taps) {
                tap = Taps(level, s, t, Pow2);
                s += ds;
                if constexpr (!RowFixed) {
                    t += dt;
                }
            }
            _mm_store_si128(reinterpret_cast<__m128i*>(out + k), BlendTaps(taps));
        }
        s = sEnd;
        t = tEnd;
        return out;
    }

    // Four pixels' taps at once. With power-of-two sizes below 32768 only bits
    // 24 and up of s - 1/2 and t - 1/2 matter: the low 32 bits of (s - 1/2) >> 24
    // hold fx and the column, and likewise for t.
    void FillPow2(uint32_t* out, int n, int64_t s, int64_t t) const {
        const __m128i half = _mm_set1_epi64x(kTexelOne / 2);
        __m128i s01 = _mm_sub_epi64(_mm_set_epi64x(s + ds, s), half);
        __m128i s23 = _mm_sub_epi64(_mm_set_epi64x(s + 3 * ds, s + 2 * ds), half);
        __m128i t01 = _mm_sub_epi64(_mm_set_epi64x(t + dt, t), half);
        __m128i t23 = _mm_sub_epi64(_mm_set_epi64x(t + 3 * dt, t + 2 * dt), half);
        const __m128i sStep = _mm_set1_epi64x(4 * ds), tStep = _mm_set1_epi64x(4 * dt);
        const __m128i byteMask = _mm_set1_epi32(0xFF);
        const __m128i columns = _mm_set1_epi32(level.width - 1), rows = _mm_set1_epi32(level.height - 1);
        const __m128i one = _mm_set1_epi32(1), rowStep = _mm_set1_epi32(level.pitch << 16 | 1);
        const auto low32 = [](__m128i a, __m128i b) { // bits 24..55 of four 64-bit values
            return _mm_unpacklo_epi64(_mm_shuffle_epi32(_mm_srli_epi64(a, 24), 0x08),
                                      _mm_shuffle_epi32(_mm_srli_epi64(b, 24), 0x08));
        };
        for (int k = 0; k < n; k += 4) { // up to three samples past the run, all inside the level
            const __m128i sx = low32(s01, s23), ty = low32(t01, t23);
            s01 = _mm_add_epi64(s01, sStep);
            s23 = _mm_add_epi64(s23, sStep);
            if constexpr (!RowFixed) {
                t01 = _mm_add_epi64(t01, tStep);
                t23 = _mm_add_epi64(t23, tStep);
            }
            const __m128i x0 = _mm_and_si128(_mm_srli_epi32(sx, 8), columns);
            const __m128i y0 = _mm_and_si128(_mm_srli_epi32(ty, 8), rows);
            const __m128i y1 = _mm_and_si128(_mm_add_epi32(y0, one), rows);
            // y pitch + x as one multiply-add of the 16-bit pairs (x, y) and (1, pitch)
            alignas(16) uint32_t offset[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(offset),
                            _mm_madd_epi16(_mm_or_si128(x0, _mm_slli_epi32(y0, 16)), rowStep));
            _mm_store_si128(reinterpret_cast<__m128i*>(offset + 4),
                            _mm_madd_epi16(_mm_or_si128(x0, _mm_slli_epi32(y1, 16)), rowStep));
            __m128i fx01, fx23, fy01, fy23;
            SpreadWeights(_mm_and_si128(sx, byteMask), &fx01, &fx23);
            SpreadWeights(_mm_and_si128(ty, byteMask), &fy01, &fy23);
            __m128i texels[4];
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(x0, columns)) == 0) { // no right-hand texel wraps
                for (int p = 0; p < 4; ++p) {
                    texels[p] = _mm_unpacklo_epi64(
                        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(level.texels + offset[p])),
                        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(level.texels + offset[4 + p])));
                }
            } else {
                alignas(16) uint32_t column[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(column), x0);
                for (int p = 0; p < 4; ++p) {
                    const int64_t x1 = (column[p] + 1) & (level.width - 1);
                    const uint32_t* row0 = level.texels + offset[p] - column[p];
                    const uint32_t* row1 = level.texels + offset[4 + p] - column[p];
                    texels[p] = _mm_unpacklo_epi64(
                        _mm_cvtsi64_si128(static_cast<int64_t>(Pair(row0, column[p], x1))),
                        _mm_cvtsi64_si128(static_cast<int64_t>(Pair(row1, column[p], x1))));
                }
            }
            _mm_store_si128(reinterpret_cast<__m128i*>(out + k),
                            _mm_unpacklo_epi64(BlendBilinear2(texels[0], texels[1], fx01, fy01),
                                               BlendBilinear2(texels[2], texels[3], fx23, fy23)));
        }
    }
};

// Calls span(dj, lo, n, pixel) for each row the triangle covers: dj rows
// below its top, n pixels from column g.left + lo, the first at pixel.
// Returns the pixels covered.
template <typename Span>
int64_t ForEachSpan(const Geometry& g, const Edge (&edges)[3], const RasterTarget& target, Span&& span) {
    SpanStepper stepper(edges);
    int64_t covered = 0;
    for (int32_t j = g.top; j <= g.bottom; ++j) {
        int64_t lo = 0, hi = g.right - g.left;
        stepper.Next(&lo, &hi);
        if (lo > hi) {
            continue;
        }
        const int64_t n = hi - lo + 1;
        covered += n;
        span(j - g.top, lo, n, target.pixels + static_cast<int64_t>(j) * target.pitch + g.left + lo);
    }
    return covered;
}

template <typename Fetch>
int64_t Scan(const Geometry& g, const Edge (&edges)[3], const Planes& planes, const Fetch& fetch,
             Kernel kernel, const ShadeParams& params, bool gouraud, const RasterTarget& target) {
    alignas(16) uint32_t texels[kRun] = {};
    alignas(16) uint32_t diffuse[kRun];
    std::fill(std::begin(diffuse), std::end(diffuse), planes.flatColour);
    const int64_t lastRow = g.bottom - g.top;
    return ForEachSpan(g, edges, target, [&](int64_t dj, int64_t lo, int64_t n, uint32_t* pixel) {
        if (dj < lastRow && n <= 96) { // a short span: ask early for about the same stretch below
            const uint32_t* below = pixel + target.pitch;
            _mm_prefetch(reinterpret_cast<const char*>(below), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(below + (n - 1)), _MM_HINT_T0);
        }
        int64_t s = At(planes.s, lo, dj), t = At(planes.t, lo, dj);
        int64_t channel[4] = {};
        if (gouraud) {
            for (int k = 0; k < 4; ++k) {
                channel[k] = At(planes.colour[k], lo, dj);
            }
        }
        for (int64_t done = 0; done < n; done += kRun) {
            const int run = static_cast<int>(std::min<int64_t>(kRun, n - done));
            if (gouraud) {
                for (int k = 0; k < run; k += 4) {
                    uint32_t four[4];
                    for (uint32_t& colour : four) {
                        colour = GouraudColour(channel);
                        for (int c = 0; c < 4; ++c) {
                            channel[c] += planes.colour[c].dx;
                        }
                    }
                    _mm_store_si128(reinterpret_cast<__m128i*>(diffuse + k), Load4(four));
                }
            }
            kernel(params, fetch.Fill(texels, diffuse, run, s, t), diffuse, pixel, run);
            pixel += run;
        }
    });
}

template <template <bool, bool> class Fetch>
int64_t ScanSampled(const Geometry& g, const Edge (&edges)[3], const Planes& planes, const TexelSource& level,
                    Kernel kernel, const ShadeParams& params, bool gouraud, const RasterTarget& target) {
    const int64_t ds = planes.s.dx, dt = planes.t.dx;
    if (PowerOfTwo(level)) {
        return dt == 0
                   ? Scan(g, edges, planes, Fetch<true, true>{level, ds, dt}, kernel, params, gouraud, target)
                   : Scan(g, edges, planes, Fetch<true, false>{level, ds, dt}, kernel, params, gouraud,
                          target);
    }
    return dt == 0
               ? Scan(g, edges, planes, Fetch<false, true>{level, ds, dt}, kernel, params, gouraud, target)
               : Scan(g, edges, planes, Fetch<false, false>{level, ds, dt}, kernel, params, gouraud, target);
}

// True when every point sample of the triangle's pixel box lies within one
// repeat of the image either side of it, so the eight-wide scan can bring it
// into the image with one step instead of a division. An affine coordinate is
// at its extremes on the box's corners.
bool WithinOneRepeat(const Geometry& g, const Planes& planes, const TexelSource& level) {
    const auto inside = [&g](const Plane& p, int32_t size) {
        const int64_t di = g.right - g.left, dj = g.bottom - g.top;
        const int64_t corners[] = {At(p, 0, 0), At(p, di, 0), At(p, 0, dj), At(p, di, dj)};
        const auto [low, high] = std::minmax_element(std::begin(corners), std::end(corners));
        return *low >= -int64_t{size} * kTexelOne && *high < 2 * int64_t{size} * kTexelOne;
    };
    return inside(planes.s, level.width) && inside(planes.t, level.height);
}

// True when the diffuse colour does not change along a row, as in text
// shaded from a top to a bottom colour.
bool RowsOfOneColour(const Planes& planes) {
    return std::all_of(std::begin(planes.colour), std::end(planes.colour),
                       [](const Plane& channel) { return channel.dx == 0; });
}

// The fused eight-wide scan takes sampled levels whose (x, y) fit its signed
// 16-bit pairs, shaded from a diffuse colour that is the same along each row
// by the texture alone or times the diffuse; levels that are not powers of
// two only point-sampled and within one repeat.
bool WideScanFits(SampleKind kind, const KernelChoice& k, const Geometry& g, const Planes& planes,
                  const TexelSource& level, bool gouraud) {
    const auto sampled = [](Sel sel) { return sel == Sel::Modulate || sel == Sel::Texture; };
    return wideVectors && kind != SampleKind::None && (!gouraud || RowsOfOneColour(planes)) &&
           PairsFit(level) && sampled(k.colour) && sampled(k.alpha) && k.blend != BlendKind::Other &&
           (PowerOfTwo(level) || (kind == SampleKind::Point && WithinOneRepeat(g, planes, level)));
}

WideShade WideShadeOf(SampleKind kind, const KernelChoice& k, const ShadeParams& p) {
    const WideBlend blend = k.blend == BlendKind::Over  ? WideBlend::Over
                            : k.blend == BlendKind::Add ? WideBlend::Add
                                                        : WideBlend::None;
    return {kind == SampleKind::Bilinear,
            k.colour == Sel::Modulate,
            k.alpha == Sel::Modulate,
            blend,
            k.test,
            p.invert,
            p.lo,
            p.hi};
}

// Walks the spans and hands them to the fused scan in batches, asking early
// for the target memory of each short span as it is found.
int64_t ScanWide(const Geometry& g, const Edge (&edges)[3], const Planes& planes, const TexelSource& level,
                 const WideShade& shade, bool gouraud, const RasterTarget& target) {
    constexpr int kBatch = 32;
    const bool pow2 = PowerOfTwo(level);
    const WideBilinearRun run{level.texels, level.width, level.height, level.pitch, 0, 0,
                              planes.s.dx,  planes.t.dx, !pow2};
    const bool rowFixed = !shade.bilinear && planes.t.dx == 0;
    const bool texelForTexel = rowFixed && planes.s.dx == kTexelOne;
    WideSpan spans[kBatch];
    int count = 0;
    const int64_t covered =
        ForEachSpan(g, edges, target, [&](int64_t dj, int64_t lo, int64_t n, uint32_t* pixel) {
            if (n <= 96) {
                _mm_prefetch(reinterpret_cast<const char*>(pixel), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(pixel + (n - 1)), _MM_HINT_T0);
            }
            const int64_t s = At(planes.s, lo, dj), t = At(planes.t, lo, dj);
            const uint32_t* line =
                rowFixed ? level.texels + PointIndex(t, level.height, pow2) * level.pitch : nullptr;
            const uint32_t* texels = nullptr;
            if (const int64_t first = s >> kTexelBits;
                texelForTexel && first >= 0 && first + n <= level.width) {
                texels = line + first;
            }
            const uint32_t diffuse = gouraud ? GouraudColourAt(planes, lo, dj) : planes.flatColour;
            spans[count++] = {pixel, texels, line, s, t, static_cast<int32_t>(n), diffuse};
            if (count == kBatch) {
                ShadeWide(run, shade, spans, count);
                count = 0;
            }
        });
    ShadeWide(run, shade, spans, count);
    return covered;
}

} // namespace

void UseWideVectors(bool on) {
    wideVectors = on && HasWideVectors();
}

bool WideVectorsInUse() {
    return wideVectors;
}

int64_t ScanFast(const RasterState& st, const Geometry& g, const Edge (&edges)[3], const Planes& planes,
                 SampleKind kind, const TexelSource& level, bool gouraud, const RasterTarget& target) {
    const KernelChoice choice = ChoiceFor(st, gouraud, planes.flatColour);
    const ShadeParams params = ParamsFor(st);
    if (WideScanFits(kind, choice, g, planes, level, gouraud)) {
        return ScanWide(g, edges, planes, level, WideShadeOf(kind, choice, params), gouraud, target);
    }
    const Kernel kernel = KernelFor(choice);
    switch (kind) {
    case SampleKind::None:
        break;
    case SampleKind::Point:
        return ScanSampled<PointFetch>(g, edges, planes, level, kernel, params, gouraud, target);
    case SampleKind::Bilinear:
        return ScanSampled<BilinearFetch>(g, edges, planes, level, kernel, params, gouraud, target);
    }
    return Scan(g, edges, planes, NoFetch{}, kernel, params, gouraud, target);
}

#endif

} // namespace platform
