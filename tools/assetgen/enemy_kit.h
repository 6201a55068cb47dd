// Building blocks for the enemy families: shapes given in units of the
// image's half side (so one design scales from 32 to 64 pixels), and the
// surfaces the families share.
#pragma once

#include <cmath>

#include "hull_kit.h"
#include "torus_noise.h"

namespace assetgen {

using ShapeFn = std::function<float(V2)>;

// A mirrored polygon from its right half, in half-side units.
inline ShapeFn Poly(float R, std::initializer_list<V2> rightHalf) {
    std::vector<V2> v = MirroredOutline(rightHalf);
    for (V2& p : v)
        p = p * R;
    return [v](V2 p) { return SdPolygon(p, v); };
}
inline ShapeFn Disc(float R, V2 c, float r) {
    return [=](V2 p) { return SdCircle(p, c * R, r * R); };
}
inline ShapeFn Oval(float R, V2 c, V2 r) {
    return [=](V2 p) { return SdEllipse(p, c * R, r * R); };
}
inline ShapeFn Bar(float R, V2 a, V2 b, float r) {
    return [=](V2 p) { return SdCapsule(p, a * R, b * R, r * R); };
}
inline ShapeFn Box(float R, V2 c, V2 half, float round = 0) {
    return [=](V2 p) { return SdBox(p, c * R, half * R, round * R); };
}

// Adds a part beneath everything drawn so far.
inline void Under(HullPlan& plan, HullLayer layer) {
    plan.layers.insert(plan.layers.begin(), std::move(layer));
}

// Smooth noise for surface colour; not periodic, just steady.
inline float SurfaceNoise(V2 p, float scale, uint32_t seed) {
    return TorusNoise(p.x * scale + 50, p.y * scale + 50, 4096, seed);
}

// Rivets on a grid of the given spacing.
inline bool OnRivet(V2 p, float spacing, float radius) {
    float fx = Fract(p.x / spacing) - 0.5f, fy = Fract(p.y / spacing) - 0.5f;
    return fx * fx + fy * fy < (radius / spacing) * (radius / spacing);
}

} // namespace assetgen
