// Renders hulls of ships and enemies: a stack of shapes, each a signed
// distance with a bevelled height and a surface; lit from the upper left
// with a soft rim light from the lower right, supersampled 4 x 4.
#pragma once

#include <functional>
#include <vector>

#include "image.h"
#include "sdf.h"

namespace assetgen {

struct Surface {
    Rgba albedo = Opaque(0.7f, 0.7f, 0.7f);
    float gloss = 0.3f; // 0 matte .. 1 mirror-like highlight
    float emissive = 0; // part of albedo that glows regardless of light
    float relief = 0;   // extra height in pixels (panel lines, rivets)
    float opacity = 1;  // below 1 for translucent matter
};

// Coordinates given to shapes and surfaces: pixels from the image centre,
// x to the right, y down (the nose points to negative y). Mirrored layers
// see |x|, so both sides are the same.
struct HullLayer {
    std::function<float(V2)> shape;
    std::function<Surface(V2, float depth)> surface; // depth: pixels inside the outline
    float elevation = 0;
    float bevel = 3;
    bool mirror = true;
};

struct HullPlan {
    int width = 48, height = 48;
    std::vector<HullLayer> layers; // later layers lie on top
    Rgba rimColour = Opaque(0.55f, 0.7f, 1.0f);
};

Image RenderHull(const HullPlan& plan);

inline Surface Plain(Rgba colour, float gloss = 0.3f) {
    return {colour, gloss, 0, 0};
}
inline std::function<Surface(V2, float)> Paint(Rgba colour, float gloss = 0.3f) {
    return [colour, gloss](V2, float) { return Plain(colour, gloss); };
}
inline std::function<Surface(V2, float)> Glow(Rgba colour) {
    return [colour](V2, float) { return Surface{colour, 0.2f, 1.0f, 0}; };
}

} // namespace assetgen
