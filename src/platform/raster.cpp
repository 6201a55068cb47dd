#include "platform/raster.h"

#include "platform/raster_edges.h"
#include "platform/raster_simd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace platform {
namespace {

constexpr int64_t kSubPixel = 256;
constexpr int kColourBits = 16;
constexpr int kTexelBits = 32;
constexpr int64_t kTexelOne = int64_t{1} << kTexelBits;
constexpr int64_t kFarEdgeTolerance = kTexelOne >> 8; // 1/256 texel
constexpr double kPlaneLimit = 4.0e18;                // below 2^62, so sums never overflow

struct Plane {
    int64_t c = 0, dx = 0, dy = 0;
};

// The snapped triangle, clockwise on the screen, and its clipped pixel box.
struct Geometry {
    int64_t X[3], Y[3]; // 1/256 pixel
    double x[3], y[3];  // pixels
    double area;        // twice the area in square pixels, > 0
    int32_t left, top, right, bottom;
};

void Gradient(const Geometry& g, double a0, double a1, double a2, double* dadx, double* dady) {
    *dadx = ((a1 - a0) * (g.y[2] - g.y[0]) - (a2 - a0) * (g.y[1] - g.y[0])) / g.area;
    *dady = ((a2 - a0) * (g.x[1] - g.x[0]) - (a1 - a0) * (g.x[2] - g.x[0])) / g.area;
}

// False when even the constant fallback is out of range (non-finite a0).
bool MakePlane(const Geometry& g, double a0, double a1, double a2, int bits, Plane* plane) {
    const double scale = std::ldexp(1.0, bits);
    double dadx = 0.0, dady = 0.0;
    Gradient(g, a0, a1, a2, &dadx, &dady);
    const double c = (a0 + dadx * (g.left - g.x[0]) + dady * (g.top - g.y[0])) * scale;
    const double dx = dadx * scale, dy = dady * scale;
    const double extent =
        std::fabs(c) + std::fabs(dx) * (g.right - g.left) + std::fabs(dy) * (g.bottom - g.top);
    if (extent < kPlaneLimit) { // false for NaN too
        *plane = {std::llround(c), std::llround(dx), std::llround(dy)};
        return true;
    }
    const double constant = a0 * scale;
    if (!(std::fabs(constant) < kPlaneLimit)) {
        return false;
    }
    *plane = {std::llround(constant), 0, 0};
    return true;
}

int64_t At(const Plane& p, int64_t di, int64_t dj) {
    return p.c + p.dx * di + p.dy * dj;
}

uint32_t Channel(uint32_t colour, int shift) {
    return (colour >> shift) & 0xFFu;
}

uint32_t ColourChannel(int64_t value) {
    const int64_t rounded = (value + (int64_t{1} << (kColourBits - 1))) >> kColourBits;
    return static_cast<uint32_t>(std::clamp<int64_t>(rounded, 0, 255));
}

int64_t Wrap(int64_t i, int32_t size, bool pow2) {
    if (pow2) {
        return i & (size - 1);
    }
    const int64_t m = i % size;
    return m < 0 ? m + size : m;
}

struct TexelSource {
    const uint32_t* texels;
    int32_t width, height, pitch;
};

struct NoSampler {
    uint32_t Sample(int64_t, int64_t, uint32_t diffuse) const { return diffuse; }
};

template <bool Pow2> struct PointSampler {
    TexelSource level;

    static int64_t Index(int64_t s, int32_t size) {
        int64_t i = s >> kTexelBits;
        if (i == size && (s & (kTexelOne - 1)) < kFarEdgeTolerance) {
            i = size - 1; // the far edge itself belongs to the last texel
        }
        return Wrap(i, size, Pow2);
    }
    [[gnu::always_inline]] uint32_t Sample(int64_t s, int64_t t, uint32_t) const {
        return level.texels[Index(t, level.height) * level.pitch + Index(s, level.width)];
    }
};

// Fast selects the four-channel blend of raster_simd.h where it exists.
template <bool Pow2, bool Fast> struct BilinearSampler {
    TexelSource level;

    [[gnu::always_inline]] uint32_t Sample(int64_t s, int64_t t, uint32_t) const {
        const int64_t ss = s - kTexelOne / 2, tt = t - kTexelOne / 2;
        const uint32_t fx = static_cast<uint32_t>(ss >> (kTexelBits - 8)) & 0xFFu;
        const uint32_t fy = static_cast<uint32_t>(tt >> (kTexelBits - 8)) & 0xFFu;
        const int64_t x0 = Wrap(ss >> kTexelBits, level.width, Pow2);
        const int64_t x1 = Wrap((ss >> kTexelBits) + 1, level.width, Pow2);
        const uint32_t* row0 = level.texels + Wrap(tt >> kTexelBits, level.height, Pow2) * level.pitch;
        const uint32_t* row1 = level.texels + Wrap((tt >> kTexelBits) + 1, level.height, Pow2) * level.pitch;
#if defined(__SSE2__)
        if constexpr (Fast) {
            uint64_t top = 0, bottom = 0;
            if (x1 == x0 + 1) { // the usual case: both texels of a row side by side
                std::memcpy(&top, row0 + x0, sizeof top);
                std::memcpy(&bottom, row1 + x0, sizeof bottom);
            } else {
                top = row0[x0] | uint64_t{row0[x1]} << 32;
                bottom = row1[x0] | uint64_t{row1[x1]} << 32;
            }
            return BlendBilinear(top, bottom, fx, fy);
        }
#endif
        const uint32_t c00 = row0[x0], c10 = row0[x1], c01 = row1[x0], c11 = row1[x1];
        const uint32_t w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy,
                       w11 = fx * fy;
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t sum = Channel(c00, shift) * w00 + Channel(c10, shift) * w10 +
                                 Channel(c01, shift) * w01 + Channel(c11, shift) * w11 + 32768u;
            out |= (sum >> 16) << shift;
        }
        return out;
    }
};

uint32_t Combine(RasterOp op, uint32_t a, uint32_t b) {
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

uint32_t Argument(RasterArg arg, uint32_t diffuse, uint32_t texel, uint32_t factor) {
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

bool AlphaPasses(RasterCompare func, uint32_t alpha, uint32_t ref) {
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

// The alpha test as one unsigned range check: a pixel passes when
// alpha - lo <= span, the verdict inverted for NotEqual and Never.
struct AlphaWindow {
    uint32_t lo = 0, span = 255;
    bool invert = false;

    static AlphaWindow For(const RasterState& st) {
        const uint32_t ref = st.alphaRef;
        constexpr AlphaWindow kNever{0, 255, true};
        if (!st.alphaTest) {
            return {};
        }
        switch (st.alphaFunc) {
        case RasterCompare::Never:
            return kNever;
        case RasterCompare::Less:
            return ref == 0 ? kNever : AlphaWindow{0, ref - 1, false};
        case RasterCompare::Equal:
            return {ref, 0, false};
        case RasterCompare::LessEqual:
            return {0, ref, false};
        case RasterCompare::Greater:
            return ref == 255 ? kNever : AlphaWindow{ref + 1, 254 - ref, false};
        case RasterCompare::NotEqual:
            return {ref, 0, true};
        case RasterCompare::GreaterEqual:
            return {ref, 255 - ref, false};
        case RasterCompare::Always:
            return {};
        }
        return {};
    }
    bool Passes(uint32_t alpha) const { return (alpha - lo <= span) != invert; }
};

uint32_t BlendFactor(RasterBlend factor, uint32_t src, uint32_t srcAlpha, uint32_t dst) {
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

// Steps 3 to 6 of the pipeline for one pixel.
void ShadePixel(const RasterState& st, uint32_t diffuse, uint32_t texel, uint32_t* pixel) {
    const uint32_t colour1 = Argument(st.colourArg1, diffuse, texel, st.textureFactor);
    const uint32_t colour2 = Argument(st.colourArg2, diffuse, texel, st.textureFactor);
    const uint32_t alpha =
        Combine(st.alphaOp, Channel(Argument(st.alphaArg1, diffuse, texel, st.textureFactor), 24),
                Channel(Argument(st.alphaArg2, diffuse, texel, st.textureFactor), 24));
    if (st.alphaTest && !AlphaPasses(st.alphaFunc, alpha, st.alphaRef)) {
        return; // discarded before blending
    }
    uint32_t out = 0xFF000000u;
    const uint32_t dst = *pixel;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t src = Combine(st.colourOp, Channel(colour1, shift), Channel(colour2, shift));
        uint32_t value = src;
        if (st.blend) {
            const uint32_t d = Channel(dst, shift);
            const uint32_t sum = src * BlendFactor(st.srcBlend, src, alpha, d) +
                                 d * BlendFactor(st.destBlend, src, alpha, d) + 127;
            value = std::min<uint32_t>(sum / 255, 255);
        }
        out |= value << shift;
    }
    *pixel = out;
}

// floor(y / 255) in two 16-bit fields at once, exact for field values up to
// 65534; with 127 added first it is the blend's rounding.
constexpr uint32_t Div255Pair(uint32_t y) {
    return ((y + 0x00010001u + ((y >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// min(a + b, 255) in two 16-bit fields holding 8-bit values.
constexpr uint32_t SaturatedPair(uint32_t a, uint32_t b) {
    const uint32_t sum = a + b;
    return (sum | ((sum >> 8) & 0x00010001u) * 0xFFu) & 0x00FF00FFu;
}

// The general pixel pipeline.
struct GenericShader {
    const RasterState& st;
    void operator()(uint32_t diffuse, uint32_t texel, uint32_t* pixel) const {
        ShadePixel(st, diffuse, texel, pixel);
    }
};

enum class BlendKind { None, Over, Add, Other };

// The same pipeline with the game's usual stage set-up resolved at compile
// time: colour = texel x diffuse, alpha = texel alpha (times the diffuse
// alpha when AlphaModulate); results equal GenericShader's bit for bit. White
// marks a constant diffuse of 0xFFFFFFFF, by which Mul255 multiplies exactly.
// The alpha test and blend factors are held by value so that the compiler
// need not reload them after every pixel store.
template <bool AlphaModulate, BlendKind Blend, bool White> struct ModulateShader {
    AlphaWindow test;
    RasterBlend srcBlend, destBlend;
    [[gnu::always_inline]] void operator()(uint32_t diffuse, uint32_t texel, uint32_t* pixel) const {
        uint32_t src = texel & 0x00FFFFFFu, alpha = texel >> 24;
        if constexpr (!White) {
#if defined(__SSE2__)
            const uint32_t product = Modulate4(texel, diffuse);
            src = product & 0x00FFFFFFu;
            alpha = AlphaModulate ? product >> 24 : alpha;
#else
            src = Mul255(Channel(texel, 0), Channel(diffuse, 0)) |
                  Mul255(Channel(texel, 8), Channel(diffuse, 8)) << 8 |
                  Mul255(Channel(texel, 16), Channel(diffuse, 16)) << 16;
            alpha = AlphaModulate ? Mul255(alpha, diffuse >> 24) : alpha;
#endif
        }
        if (!test.Passes(alpha)) {
            return;
        }
        const uint32_t dst = *pixel;
        if constexpr (Blend == BlendKind::None) {
            *pixel = 0xFF000000u | src;
        } else if constexpr (Blend == BlendKind::Over) {
            // Red and blue in one word, green in another; no field exceeds 16 bits.
            const uint32_t rb =
                (src & 0x00FF00FFu) * alpha + (dst & 0x00FF00FFu) * (255 - alpha) + 0x007F007Fu;
            const uint32_t g = Channel(src, 8) * alpha + Channel(dst, 8) * (255 - alpha) + 0x7Fu;
            *pixel = 0xFF000000u | Div255Pair(rb) | Div255Pair(g) << 8;
        } else if constexpr (Blend == BlendKind::Add) {
#if defined(__SSE2__)
            *pixel = 0xFF000000u | AddSaturated4(src, dst);
#else
            *pixel = 0xFF000000u | SaturatedPair(src & 0x00FF00FFu, dst & 0x00FF00FFu) |
                     SaturatedPair(Channel(src, 8), Channel(dst, 8)) << 8;
#endif
        } else {
            uint32_t out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t c = Channel(src, shift), d = Channel(dst, shift);
                const uint32_t sum =
                    c * BlendFactor(srcBlend, c, alpha, d) + d * BlendFactor(destBlend, c, alpha, d) + 127;
                out |= std::min<uint32_t>(sum / 255, 255) << shift;
            }
            *pixel = out;
        }
    }
};

struct Planes {
    Plane colour[4]; // b, g, r, a (bit shifts 0, 8, 16, 24)
    Plane s, t;
    uint32_t flatColour;
};

template <typename Sampler, bool Gouraud, bool Stepped, typename Shader>
int64_t Scan(const Geometry& g, const Edge (&edges)[3], const Planes& planes, const Sampler& sampler,
             const Shader& shade, const RasterTarget& target) {
    constexpr bool kTextured = !std::is_same_v<Sampler, NoSampler>;
    int64_t covered = 0;
    [[maybe_unused]] auto stepper = [&edges] {
        if constexpr (Stepped) {
            return SpanStepper(edges);
        } else {
            return 0;
        }
    }();
    for (int32_t j = g.top; j <= g.bottom; ++j) {
        const int64_t dj = j - g.top;
        int64_t lo = 0, hi = g.right - g.left;
        if constexpr (Stepped) {
            stepper.Next(&lo, &hi);
        } else {
            DividedSpan(edges, dj, &lo, &hi);
        }
        if (lo > hi) {
            continue;
        }
        covered += hi - lo + 1;
        uint32_t* pixel = target.pixels + static_cast<int64_t>(j) * target.pitch + g.left + lo;
        int64_t s = 0, t = 0;
        if constexpr (kTextured) {
            s = At(planes.s, lo, dj);
            t = At(planes.t, lo, dj);
        }
        int64_t channel[4] = {};
        if constexpr (Gouraud) {
            for (int k = 0; k < 4; ++k) {
                channel[k] = At(planes.colour[k], lo, dj);
            }
        }
        for (int64_t i = lo; i <= hi; ++i, ++pixel) {
            uint32_t diffuse = planes.flatColour;
            if constexpr (Gouraud) {
                diffuse = ColourChannel(channel[0]) | ColourChannel(channel[1]) << 8 |
                          ColourChannel(channel[2]) << 16 | ColourChannel(channel[3]) << 24;
                for (int k = 0; k < 4; ++k) {
                    channel[k] += planes.colour[k].dx;
                }
            }
            const uint32_t texel = sampler.Sample(s, t, diffuse);
            if constexpr (kTextured) {
                s += planes.s.dx;
                t += planes.t.dx;
            }
            shade(diffuse, texel, pixel);
        }
    }
    return covered;
}

// The specialised shaders always step their spans; the reference divides.
template <typename Sampler, typename Shader, bool Stepped = true>
int64_t ScanWith(const Geometry& g, const Edge (&edges)[3], const Planes& planes, const Sampler& sampler,
                 const Shader& shade, const RasterTarget& target, bool gouraud) {
    return gouraud ? Scan<Sampler, true, Stepped>(g, edges, planes, sampler, shade, target)
                   : Scan<Sampler, false, Stepped>(g, edges, planes, sampler, shade, target);
}

bool IsTextureTimesDiffuse(RasterArg a, RasterArg b) {
    return (a == RasterArg::Texture && b == RasterArg::Diffuse) ||
           (a == RasterArg::Diffuse && b == RasterArg::Texture);
}

template <bool AlphaModulate, bool White, typename Sampler>
int64_t ScanBlended(const RasterState& st, const Geometry& g, const Edge (&edges)[3], const Planes& planes,
                    const Sampler& sampler, const RasterTarget& target, bool gouraud) {
    const AlphaWindow test = AlphaWindow::For(st);
    if (!st.blend) {
        return ScanWith(
            g, edges, planes, sampler,
            ModulateShader<AlphaModulate, BlendKind::None, White>{test, st.srcBlend, st.destBlend}, target,
            gouraud);
    }
    if (st.srcBlend == RasterBlend::SrcAlpha && st.destBlend == RasterBlend::InvSrcAlpha) {
        return ScanWith(
            g, edges, planes, sampler,
            ModulateShader<AlphaModulate, BlendKind::Over, White>{test, st.srcBlend, st.destBlend}, target,
            gouraud);
    }
    if (st.srcBlend == RasterBlend::One && st.destBlend == RasterBlend::One) {
        return ScanWith(g, edges, planes, sampler,
                        ModulateShader<AlphaModulate, BlendKind::Add, White>{test, st.srcBlend, st.destBlend},
                        target, gouraud);
    }
    return ScanWith(g, edges, planes, sampler,
                    ModulateShader<AlphaModulate, BlendKind::Other, White>{test, st.srcBlend, st.destBlend},
                    target, gouraud);
}

template <bool AlphaModulate, typename Sampler>
int64_t ScanModulated(const RasterState& st, const Geometry& g, const Edge (&edges)[3], const Planes& planes,
                      const Sampler& sampler, const RasterTarget& target, bool gouraud) {
    if (!gouraud && planes.flatColour == 0xFFFFFFFFu) {
        return ScanBlended<AlphaModulate, true>(st, g, edges, planes, sampler, target, false);
    }
    return ScanBlended<AlphaModulate, false>(st, g, edges, planes, sampler, target, gouraud);
}

// Picks the compiled shader for the state; the choice never changes a pixel.
// The reference always takes the general pipeline.
template <typename Sampler>
int64_t ScanShaded(const RasterState& st, const Geometry& g, const Edge (&edges)[3], const Planes& planes,
                   const Sampler& sampler, const RasterTarget& target, bool gouraud, bool reference) {
    if (!reference && st.colourOp == RasterOp::Modulate &&
        IsTextureTimesDiffuse(st.colourArg1, st.colourArg2)) {
        if (st.alphaOp == RasterOp::Modulate && IsTextureTimesDiffuse(st.alphaArg1, st.alphaArg2)) {
            return ScanModulated<true>(st, g, edges, planes, sampler, target, gouraud);
        }
        if ((st.alphaOp == RasterOp::SelectArg1 && st.alphaArg1 == RasterArg::Texture) ||
            (st.alphaOp == RasterOp::SelectArg2 && st.alphaArg2 == RasterArg::Texture)) {
            return ScanModulated<false>(st, g, edges, planes, sampler, target, gouraud);
        }
    }
    if (reference) {
        return ScanWith<Sampler, GenericShader, false>(g, edges, planes, sampler, GenericShader{st}, target,
                                                       gouraud);
    }
    return ScanWith(g, edges, planes, sampler, GenericShader{st}, target, gouraud);
}

bool UsesTexture(const RasterState& st) {
    return st.colourArg1 == RasterArg::Texture || st.colourArg2 == RasterArg::Texture ||
           st.alphaArg1 == RasterArg::Texture || st.alphaArg2 == RasterArg::Texture;
}

// With no texture bound, an operation reading the texture passes the diffuse
// value through.
RasterState WithoutTexture(const RasterState& requested) {
    RasterState st = requested;
    if (st.colourArg1 == RasterArg::Texture || st.colourArg2 == RasterArg::Texture) {
        st.colourOp = RasterOp::SelectArg1;
        st.colourArg1 = RasterArg::Diffuse;
    }
    if (st.alphaArg1 == RasterArg::Texture || st.alphaArg2 == RasterArg::Texture) {
        st.alphaOp = RasterOp::SelectArg1;
        st.alphaArg1 = RasterArg::Diffuse;
    }
    return st;
}

int64_t Draw(bool reference, const RasterState& requested, const RasterTexture& texture,
             const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2,
             const RasterTarget& target) {
    const RasterState state = texture.levelCount > 0 ? requested : WithoutTexture(requested);
    if (target.pixels == nullptr || target.width <= 0 || target.height <= 0) {
        return 0;
    }
    const RasterVertex* vertex[3] = {&v0, &v1, &v2};
    for (const RasterVertex* v : vertex) {
        if (!(std::fabs(v->x) <= kMaxCoordinate) || !(std::fabs(v->y) <= kMaxCoordinate)) {
            return 0; // NaN, infinite or far outside any target
        }
    }
    Geometry g{};
    for (int k = 0; k < 3; ++k) {
        g.X[k] = static_cast<int64_t>(std::nearbyint(static_cast<double>(vertex[k]->x) * kSubPixel));
        g.Y[k] = static_cast<int64_t>(std::nearbyint(static_cast<double>(vertex[k]->y) * kSubPixel));
    }
    const int64_t area = (g.X[1] - g.X[0]) * (g.Y[2] - g.Y[0]) - (g.X[2] - g.X[0]) * (g.Y[1] - g.Y[0]);
    if (area == 0) {
        return 0;
    }
    const bool clockwise = area > 0; // y grows downwards
    if ((state.cull == RasterCull::Clockwise && clockwise) ||
        (state.cull == RasterCull::CounterClockwise && !clockwise)) {
        return 0;
    }
    if (!clockwise) { // keep vertex 0 first (flat colour), make the order clockwise
        std::swap(vertex[1], vertex[2]);
        std::swap(g.X[1], g.X[2]);
        std::swap(g.Y[1], g.Y[2]);
    }
    for (int k = 0; k < 3; ++k) {
        g.x[k] = static_cast<double>(g.X[k]) / kSubPixel;
        g.y[k] = static_cast<double>(g.Y[k]) / kSubPixel;
    }
    g.area = static_cast<double>(clockwise ? area : -area) / (kSubPixel * kSubPixel);
    const int64_t minX = std::min({g.X[0], g.X[1], g.X[2]}), maxX = std::max({g.X[0], g.X[1], g.X[2]});
    const int64_t minY = std::min({g.Y[0], g.Y[1], g.Y[2]}), maxY = std::max({g.Y[0], g.Y[1], g.Y[2]});
    g.left = static_cast<int32_t>(std::max<int64_t>(CeilDiv(minX, kSubPixel), 0));
    g.top = static_cast<int32_t>(std::max<int64_t>(CeilDiv(minY, kSubPixel), 0));
    g.right = static_cast<int32_t>(std::min<int64_t>(FloorDiv(maxX, kSubPixel), target.width - 1));
    g.bottom = static_cast<int32_t>(std::min<int64_t>(FloorDiv(maxY, kSubPixel), target.height - 1));
    if (g.left > g.right || g.top > g.bottom) {
        return 0;
    }

    Edge edges[3];
    for (int k = 0; k < 3; ++k) {
        const int a = k, b = (k + 1) % 3;
        const int64_t dx = g.X[b] - g.X[a], dy = g.Y[b] - g.Y[a];
        const bool topLeft =
            (dy == 0 && dx > 0) || dy < 0; // clockwise on screen: top edges run right, left edges up
        edges[k].stepX = -dy * kSubPixel;
        edges[k].stepY = dx * kSubPixel;
        edges[k].c =
            dx * (g.top * kSubPixel - g.Y[a]) - dy * (g.left * kSubPixel - g.X[a]) - (topLeft ? 0 : 1);
    }

    Planes planes;
    planes.flatColour = vertex[0]->diffuse;
    const bool gouraud = !state.flat && (v0.diffuse != v1.diffuse || v0.diffuse != v2.diffuse);
    if (gouraud) {
        for (int k = 0; k < 4; ++k) {
            MakePlane(g, Channel(vertex[0]->diffuse, 8 * k), Channel(vertex[1]->diffuse, 8 * k),
                      Channel(vertex[2]->diffuse, 8 * k), kColourBits, &planes.colour[k]);
        }
    }

    if (texture.levelCount <= 0 || !UsesTexture(state)) {
        return ScanShaded(state, g, edges, planes, NoSampler{}, target, gouraud, reference);
    }

    const RasterTextureLevel& base = texture.levels[0];
    double dudx = 0, dudy = 0, dvdx = 0, dvdy = 0;
    Gradient(g, vertex[0]->u, vertex[1]->u, vertex[2]->u, &dudx, &dudy);
    Gradient(g, vertex[0]->v, vertex[1]->v, vertex[2]->v, &dvdx, &dvdy);
    const double footprint = std::max(std::hypot(dudx * base.width, dvdx * base.height),
                                      std::hypot(dudy * base.width, dvdy * base.height));
    int32_t levelIndex = 0;
    if (state.mipmaps && std::isfinite(footprint) && footprint > 1.0) {
        const double lod = std::floor(std::log2(footprint) + 0.5);
        levelIndex = static_cast<int32_t>(std::min<double>(lod, texture.levelCount - 1));
    }
    const RasterTextureLevel& level = texture.levels[levelIndex];
    const RasterFilter filter = footprint > 1.0 ? state.minFilter : state.magFilter;
    bool ok = true;
    for (const RasterVertex* v : vertex) {
        ok = ok && std::isfinite(v->u) && std::isfinite(v->v);
    }
    ok = ok && MakePlane(g, double{vertex[0]->u} * level.width, double{vertex[1]->u} * level.width,
                         double{vertex[2]->u} * level.width, kTexelBits, &planes.s);
    ok = ok && MakePlane(g, double{vertex[0]->v} * level.height, double{vertex[1]->v} * level.height,
                         double{vertex[2]->v} * level.height, kTexelBits, &planes.t);
    if (!ok) {
        planes.s = Plane{};
        planes.t = Plane{};
    }
    const TexelSource source{level.texels, level.width, level.height, level.pitch};
    const bool pow2 = (level.width & (level.width - 1)) == 0 && (level.height & (level.height - 1)) == 0;
    if (filter == RasterFilter::Bilinear) {
        if (reference) {
            return pow2 ? ScanShaded(state, g, edges, planes, BilinearSampler<true, false>{source}, target,
                                     gouraud, true)
                        : ScanShaded(state, g, edges, planes, BilinearSampler<false, false>{source}, target,
                                     gouraud, true);
        }
        return pow2 ? ScanShaded(state, g, edges, planes, BilinearSampler<true, true>{source}, target,
                                 gouraud, false)
                    : ScanShaded(state, g, edges, planes, BilinearSampler<false, true>{source}, target,
                                 gouraud, false);
    }
    return pow2
               ? ScanShaded(state, g, edges, planes, PointSampler<true>{source}, target, gouraud, reference)
               : ScanShaded(state, g, edges, planes, PointSampler<false>{source}, target, gouraud, reference);
}

} // namespace

int64_t DrawTriangle(const RasterState& state, const RasterTexture& texture, const RasterVertex& v0,
                     const RasterVertex& v1, const RasterVertex& v2, const RasterTarget& target) {
    return Draw(false, state, texture, v0, v1, v2, target);
}

int64_t DrawTriangleReference(const RasterState& state, const RasterTexture& texture, const RasterVertex& v0,
                              const RasterVertex& v1, const RasterVertex& v2, const RasterTarget& target) {
    return Draw(true, state, texture, v0, v1, v2, target);
}

} // namespace platform
