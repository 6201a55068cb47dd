// Surfaces and parts shared by the ship and enemy designs.
#pragma once

#include <cmath>

#include "hull_renderer.h"
#include "rng.h"

namespace assetgen {

inline float Fract(float v) {
    return v - std::floor(v);
}
inline Rgba Shade(Rgba c, float f) {
    return {c.r * f, c.g * f, c.b * f, c.a};
}

// Hull plating: the colour with faint panel seams every `spacing` pixels.
inline std::function<Surface(V2, float)> Plated(Rgba colour, float spacing, float gloss = 0.45f) {
    return [=](V2 p, float depth) {
        float seam = std::min(Fract(p.y / spacing), 1 - Fract(p.y / spacing)) * spacing;
        Surface s = Plain(colour, gloss);
        if (seam < 0.35f && depth > 1.2f) {
            s.relief = -0.35f;
            s.albedo = colour * 0.82f;
            s.albedo.a = 1;
        }
        return s;
    };
}

// A colour with a trim band along the outline (within `width` pixels of it).
inline std::function<Surface(V2, float)> Trimmed(Rgba body, Rgba trim, float width, float gloss = 0.45f) {
    return [=](V2, float depth) { return Plain(depth < width ? trim : body, gloss); };
}

// A canopy: dark glass with a bright glint toward the light.
inline std::function<Surface(V2, float)> Canopy(Rgba glass, V2 glint) {
    return [=](V2 p, float) {
        Surface s = Plain(glass, 1.0f);
        float g = std::exp(-Dot(p - glint, p - glint) * 0.9f);
        s.albedo = Mix(glass, Opaque(0.95f, 0.98f, 1.0f), std::min(1.0f, g * 1.6f));
        s.emissive = g * 0.6f;
        return s;
    };
}

// A mirrored polygon outline in pixels from its right half.
inline std::function<float(V2)> Outline(std::initializer_list<V2> rightHalf) {
    std::vector<V2> v = MirroredOutline(rightHalf);
    return [v](V2 p) { return SdPolygon(p, v); };
}

// Layer helpers.
inline HullLayer Part(std::function<float(V2)> shape, std::function<Surface(V2, float)> surface,
                      float elevation, float bevel) {
    return HullLayer{std::move(shape), std::move(surface), elevation, bevel, true};
}

// Engine nozzle pointing down the screen at n: a dark ring with a hot core.
inline void AddNozzle(HullPlan& plan, V2 n, float radius, float elevation, Rgba hot) {
    plan.layers.push_back(Part(
        [=](V2 p) {
            return SdEllipse(p, n, {radius, radius * 0.8f});
        },
        Paint(Opaque(0.18f, 0.18f, 0.2f), 0.5f), elevation, radius * 0.6f));
    plan.layers.push_back(Part(
        [=](V2 p) {
            return SdEllipse(p, n + V2{0, 0.5f}, {radius * 0.55f, radius * 0.45f});
        },
        Glow(hot), elevation + 0.2f, radius * 0.3f));
}

} // namespace assetgen
