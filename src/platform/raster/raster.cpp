#include "platform/raster/raster.h"

#include "platform/raster/raster_fast.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

constexpr int64_t kSubPixel = 256;
constexpr double kPlaneLimit = 4.0e18; // below 2^62, so sums never overflow

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

// The definition itself: every covered pixel evaluates its span, attributes,
// sample and pipeline directly.
int64_t ScanReference(const RasterState& st, const Geometry& g, const Edge (&edges)[3], const Planes& planes,
                      SampleKind kind, const TexelSource& level, bool gouraud, const RasterTarget& target) {
    const bool pow2 = PowerOfTwo(level);
    int64_t covered = 0;
    for (int32_t j = g.top; j <= g.bottom; ++j) {
        const int64_t dj = j - g.top;
        int64_t lo = 0, hi = g.right - g.left;
        DividedSpan(edges, dj, &lo, &hi);
        for (int64_t i = lo; i <= hi; ++i) {
            ++covered;
            const uint32_t diffuse = gouraud ? GouraudColourAt(planes, i, dj) : planes.flatColour;
            const int64_t s = At(planes.s, i, dj), t = At(planes.t, i, dj);
            uint32_t texel = diffuse; // what the texture argument reads with no texture bound
            if (kind == SampleKind::Point) {
                texel = level.texels[PointIndex(t, level.height, pow2) * level.pitch +
                                     PointIndex(s, level.width, pow2)];
            } else if (kind == SampleKind::Bilinear) {
                texel = BilinearPlain(Taps(level, s, t, pow2));
            }
            ShadePixel(st, diffuse, texel,
                       target.pixels + static_cast<int64_t>(j) * target.pitch + g.left + i);
        }
    }
    return covered;
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

    const auto scan = [&](SampleKind kind, const TexelSource& level) {
#if defined(__SSE2__)
        if (!reference) {
            return ScanFast(state, g, edges, planes, kind, level, gouraud, target);
        }
#endif
        return ScanReference(state, g, edges, planes, kind, level, gouraud, target);
    };
    if (texture.levelCount <= 0 || !UsesTexture(state)) {
        return scan(SampleKind::None, TexelSource{});
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
    return scan(filter == RasterFilter::Bilinear ? SampleKind::Bilinear : SampleKind::Point,
                TexelSource{level.texels, level.width, level.height, level.pitch});
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
