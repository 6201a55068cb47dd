// Enemy families 0..7: bloodWhite, brown, industrial, flame, concrete,
// blueBrick, greenCamo, hive.

#include "enemy_families.h"
#include "enemy_kit.h"

namespace assetgen {

namespace {

// White hulls with blood-red trim; curved claws forward.
HullPlan BloodWhite(int m, float R) {
    HullPlan s;
    float sweep = 0.15f * float(m % 3), claw = 0.55f + 0.08f * float(m);
    Rgba white = Hex(0xF1EEEA), red = Hex(0xB3121F);
    s.layers.push_back(
        Part(Poly(R, {{0.15f, -0.2f}, {0.95f, 0.2f + sweep}, {0.9f, 0.55f + sweep}, {0.3f, 0.45f}}),
             Trimmed(white, red, 0.16f * R), 0, 0.12f * R));
    if (m >= 2)
        s.layers.push_back(
            Part(Bar(R, {0.55f, -0.1f}, {0.45f, -claw}, 0.09f), Paint(red, 0.5f), 0.05f * R, 0.08f * R));
    s.layers.push_back(Part(Poly(R, {{0, -0.95f}, {0.22f, -0.5f}, {0.32f, 0.4f}, {0.18f, 0.9f}, {0, 0.8f}}),
                            Plated(white, 0.22f * R, 0.55f), 0.1f * R, 0.2f * R));
    s.layers.push_back(
        Part(Poly(R, {{0, -0.55f}, {0.12f, -0.25f}, {0, -0.1f}}), Paint(red, 0.6f), 0.2f * R, 0.05f * R));
    s.layers.push_back(Part(Oval(R, {0.0f, 0.2f}, {0.11f, 0.2f}),
                            Canopy(Hex(0x3A0508), {-0.03f * R, 0.12f * R}), 0.22f * R, 0.08f * R));
    if (m >= 4) // tail fins
        Under(s, Part(Poly(R, {{0.12f, 0.5f}, {0.45f, 0.85f}, {0.42f, 0.98f}, {0.1f, 0.85f}}),
                      Paint(red, 0.5f), 0, 0.06f * R));
    if (m % 2)
        Under(s, Part(Bar(R, {0.2f, -0.4f}, {0.3f, -0.9f}, 0.05f), Paint(white, 0.6f), 0, 0.05f * R));
    s.rimColour = Hex(0xFFB0B0);
    return s;
}

// Rusty riveted plates on a blocky hull.
HullPlan Brown(int m, float R) {
    HullPlan s;
    float wide = 0.7f + 0.05f * float(m);
    auto rust = [R](V2 p, float depth) {
        float n = SurfaceNoise(p, 0.35f / R * 8, 11);
        Rgba c = Mix(Hex(0x7A4A2A), Hex(0xB5652B), Clamp01(n * 0.8f + 0.5f));
        Surface s = Plain(c, 0.15f);
        if (OnRivet(p, 0.25f * R, 0.045f * R) && depth > 0.08f * R) {
            s.relief = 0.06f * R;
            s.albedo = Hex(0x9C7B5A);
        }
        return s;
    };
    s.layers.push_back(
        Part(Box(R, {wide * 0.75f, 0.2f}, {0.22f, 0.5f + 0.05f * float(m % 2)}, 0.06f), rust, 0, 0.1f * R));
    s.layers.push_back(Part(Box(R, {0, 0.1f}, {wide * 0.6f, 0.32f}, 0.05f), rust, 0.05f * R, 0.1f * R));
    s.layers.push_back(
        Part(Poly(R, {{0, -0.95f}, {0.3f, -0.6f}, {0.38f, 0.7f}, {0.2f, 0.92f}}), rust, 0.1f * R, 0.14f * R));
    s.layers.push_back(Part(Box(R, {0, -0.3f}, {0.12f, 0.14f}, 0.04f),
                            Canopy(Hex(0x2A1608), {-0.03f * R, -0.36f * R}), 0.2f * R, 0.06f * R));
    if (m >= 3) // side guns
        Under(s,
              Part(Bar(R, {0.5f, -0.2f}, {0.5f, -0.85f}, 0.07f), Paint(Hex(0x3A2A20), 0.5f), 0, 0.05f * R));
    if (m % 2)
        s.layers.push_back(Part(Disc(R, {0, 0.35f}, 0.16f), rust, 0.2f * R, 0.1f * R));
    s.rimColour = Hex(0xFFC890);
    return s;
}

// Grey girders with yellow-black hazard stripes.
HullPlan Industrial(int m, float R) {
    HullPlan s;
    Rgba grey = Hex(0x8A9099);
    auto girder = [grey, R](V2 p, float depth) {
        Surface s = Plain(grey, 0.35f);
        float t = Fract((p.x + p.y) / (0.28f * R));
        if (depth > 0.05f * R && t < 0.5f)
            s.relief = -0.04f * R, s.albedo = Shade(grey, 0.6f);
        return s;
    };
    auto hazard = [R](V2 p, float) {
        bool yellow = Fract((p.x * 1.0f - p.y) / (0.22f * R)) < 0.5f;
        return Plain(yellow ? Hex(0xF2C230) : Hex(0x1E1E20), 0.3f);
    };
    float arm = 0.7f + 0.05f * float(m);
    s.layers.push_back(
        Part(Bar(R, {0, -0.2f - 0.05f * float(m % 2)}, {arm, 0.35f}, 0.1f), girder, 0, 0.06f * R));
    s.layers.push_back(
        Part(Box(R, {arm, 0.1f}, {0.14f, 0.5f}, 0.04f), Plated(grey, 0.18f * R), 0.04f * R, 0.08f * R));
    s.layers.push_back(
        Part(Box(R, {0, 0.15f}, {0.3f, 0.6f}, 0.08f), Plated(Hex(0x6B7079), 0.2f * R), 0.08f * R, 0.12f * R));
    s.layers.push_back(Part(Box(R, {0, -0.55f}, {0.24f, 0.3f}, 0.06f), hazard, 0.1f * R, 0.08f * R));
    s.layers.push_back(Part(Disc(R, {0, 0.25f}, 0.12f), Glow(Hex(0xFFD040)), 0.15f * R, 0.05f * R));
    if (m >= 2) // lower girder pair
        Under(s, Part(Bar(R, {0, 0.55f}, {arm, 0.75f}, 0.08f), girder, 0, 0.05f * R));
    if (m >= 4) // grapples forward
        Under(s, Part(Poly(R, {{0.6f, -0.35f}, {0.78f, -0.95f}, {0.86f, -0.35f}}), hazard, 0, 0.05f * R));
    s.rimColour = Hex(0xFFE8A0);
    return s;
}

// Orange-red hulls with flame-shaped fins.
HullPlan Flame(int m, float R) {
    HullPlan s;
    int tongues = 2 + m % 3;
    auto fire = [R](V2, float depth) {
        float t = Clamp01(depth / (0.25f * R));
        Surface s = Plain(Mix(Hex(0xFFD23F), Hex(0xD8320F), t), 0.3f);
        s.emissive = 0.5f * (1 - t);
        return s;
    };
    for (int i = 0; i < tongues; ++i) {
        float a = float(i) / float(tongues), len = 0.95f - 0.12f * float(i);
        float bx = 0.3f + 0.5f * a;
        s.layers.push_back(Part(
            [=](V2 p) {
                V2 q = p * (1.0f / R);
                float wave = 0.06f * std::sin(q.y * 9.0f + float(i));
                return SdCapsule({q.x + wave, q.y}, {bx, 0.55f}, {bx + 0.3f * a + 0.1f, 0.55f - len}, 0.09f) *
                       R;
            },
            fire, 0, 0.08f * R));
    }
    s.layers.push_back(Part(Oval(R, {0, 0.15f}, {0.34f, 0.72f}),
                            Trimmed(Hex(0xC0360E), Hex(0xFF8A1E), 0.1f * R, 0.5f), 0.08f * R, 0.2f * R));
    s.layers.push_back(Part(Oval(R, {0, -0.1f}, {0.14f, 0.26f}), Glow(Hex(0xFFE27A)), 0.2f * R, 0.08f * R));
    if (m >= 3) // tail flame
        Under(s, Part(Poly(R, {{0, 0.6f}, {0.16f, 0.75f}, {0, 0.99f}}), fire, 0, 0.06f * R));
    s.rimColour = Hex(0xFFB060);
    return s;
}

// Heavy grey concrete slabs.
HullPlan Concrete(int m, float R) {
    HullPlan s;
    auto slab = [R](uint32_t seed) {
        return [R, seed](V2 p, float depth) {
            float n = SurfaceNoise(p, 1.6f / R, seed) * 0.5f + SurfaceNoise(p, 5.0f / R, seed + 1) * 0.25f;
            Surface s = Plain(Shade(Hex(0x9B9A95), 0.85f + 0.3f * n), 0.08f);
            s.relief = n * 0.03f * R;
            if (depth < 0.04f * R)
                s.albedo = Shade(s.albedo, 0.8f);
            return s;
        };
    };
    float w = 0.45f + 0.06f * float(m);
    s.layers.push_back(Part(Box(R, {w + 0.15f, 0.25f}, {0.22f, 0.55f}, 0.03f), slab(3), 0, 0.1f * R));
    s.layers.push_back(Part(Poly(R, {{0.2f, -0.95f}, {w, -0.7f}, {w, 0.75f}, {0.3f, 0.95f}}), slab(7),
                            0.06f * R, 0.12f * R));
    s.layers.push_back(Part(Box(R, {0, -0.05f}, {0.2f, 0.5f}, 0.02f), slab(9), 0.14f * R, 0.1f * R));
    s.layers.push_back(Part(Box(R, {0, -0.65f}, {0.1f, 0.05f}), Glow(Hex(0xFF5030)), 0.2f * R, 0.03f * R));
    if (m >= 2) // forward bunkers
        s.layers.push_back(
            Part(Box(R, {w * 0.6f, -0.55f}, {0.12f, 0.12f}, 0.02f), slab(11), 0.12f * R, 0.06f * R));
    if (m >= 4)
        s.layers.push_back(
            Part(Box(R, {w + 0.15f, 0.85f}, {0.14f, 0.1f}, 0.02f), Glow(Hex(0xFF8030)), 0.1f * R, 0.03f * R));
    s.rimColour = Hex(0xC8D0E0);
    return s;
}

// Blue tiled armour in brick courses.
HullPlan BlueBrick(int m, float R) {
    HullPlan s;
    auto bricks = [R](V2 p, float depth) {
        float h = 0.16f * R, w = 0.3f * R;
        float row = std::floor(p.y / h);
        float x = p.x + (int(row) % 2 ? w * 0.5f : 0);
        float fx = Fract(x / w) * w, fy = Fract(p.y / h) * h;
        float seam = std::min({fx, w - fx, fy, h - fy});
        uint32_t id = Hash(uint32_t(int(std::floor(x / w)) + 100), uint32_t(int(row) + 100), 5);
        Surface s = Plain(Shade(Hex(0x2F5FC8), 0.8f + 0.35f * HashUnit(id)), 0.4f);
        if (seam < 0.025f * R && depth > 0.05f * R)
            s.relief = -0.03f * R, s.albedo = Hex(0x0F1E45);
        return s;
    };
    float shoulder = 0.65f + 0.06f * float(m);
    s.layers.push_back(
        Part(Poly(R, {{0, -0.92f}, {shoulder, -0.45f}, {shoulder + 0.1f, 0.35f}, {0.45f, 0.95f}, {0, 0.75f}}),
             bricks, 0, 0.14f * R));
    s.layers.push_back(Part(Poly(R, {{0, -0.6f}, {0.18f, -0.3f}, {0.18f, 0.5f}, {0, 0.62f}}),
                            Plated(Hex(0x9FC0FF), 0.2f * R, 0.6f), 0.12f * R, 0.1f * R));
    s.layers.push_back(Part(Disc(R, {0.38f, 0.05f}, 0.09f), Glow(Hex(0x8CF0FF)), 0.1f * R, 0.04f * R));
    if (m >= 3) // forward prongs
        Under(s, Part(Bar(R, {0.45f, -0.3f}, {0.5f, -0.95f}, 0.06f), bricks, 0, 0.05f * R));
    if (m % 2)
        Under(s, Part(Poly(R, {{0.6f, 0.0f}, {0.98f, 0.3f}, {0.95f, 0.5f}, {0.6f, 0.45f}}), bricks, 0,
                      0.06f * R));
    s.rimColour = Hex(0xA0C8FF);
    return s;
}

// Olive camouflage on bomber shapes.
HullPlan GreenCamo(int m, float R) {
    HullPlan s;
    auto camo = [R, m](V2 p, float depth) {
        float n = SurfaceNoise(p, 2.6f / R, 40 + uint32_t(m));
        Rgba c = n > 0.25f ? Hex(0x3E4A23) : n > -0.15f ? Hex(0x6B7A3A) : Hex(0x8C8A5A);
        Surface s = Plain(c, 0.15f);
        if (depth < 0.05f * R)
            s.albedo = Shade(c, 0.75f);
        return s;
    };
    float span = 0.85f + 0.03f * float(m), sweep = 0.1f * float(m % 3);
    s.layers.push_back(
        Part(Poly(R, {{0.1f, 0.55f}, {0.42f, 0.7f}, {0.42f, 0.9f}, {0.1f, 0.85f}}), camo, 0, 0.06f * R));
    s.layers.push_back(
        Part(Poly(R, {{0.1f, -0.3f + sweep}, {span, 0.05f + sweep}, {span, 0.25f + sweep}, {0.15f, 0.3f}}),
             camo, 0.02f * R, 0.08f * R));
    s.layers.push_back(Part(Oval(R, {0, 0}, {0.2f, 0.92f}), camo, 0.06f * R, 0.16f * R));
    s.layers.push_back(Part(Disc(R, {0.45f + 0.1f * float(m % 2), 0.08f + sweep}, 0.08f),
                            Paint(Hex(0x2A2F1A), 0.4f), 0.08f * R, 0.05f * R));
    s.layers.push_back(Part(Oval(R, {0, -0.55f}, {0.09f, 0.17f}),
                            Canopy(Hex(0x1A2410), {-0.03f * R, -0.6f * R}), 0.15f * R, 0.06f * R));
    if (m >= 3) // wing engines
        s.layers.push_back(Part(Bar(R, {0.6f, -0.05f + sweep}, {0.6f, 0.35f + sweep}, 0.08f),
                                Paint(Hex(0x4A5430), 0.4f), 0.08f * R, 0.06f * R));
    if (m >= 5)
        Under(s, Part(Poly(R, {{0.05f, 0.3f}, {0.25f, 0.5f}, {0.05f, 0.6f}}), camo, 0, 0.04f * R));
    s.rimColour = Hex(0xD8E8A0);
    return s;
}

// Amber insectoid with a honeycomb shell.
HullPlan Hive(int m, float R) {
    HullPlan s;
    auto comb = [R](V2 p, float depth) {
        // Nearest centre of a hexagonal lattice, then the hexagon distance to it.
        float size = 0.16f * R;
        V2 period = {size * 1.7320508f, size};
        auto local = [](float v, float step) { return v - step * std::floor(v / step) - step * 0.5f; };
        V2 a = {local(p.x, period.x), local(p.y, period.y)};
        V2 b = {local(p.x - period.x * 0.5f, period.x), local(p.y - period.y * 0.5f, period.y)};
        V2 g = Dot(a, a) < Dot(b, b) ? a : b;
        float edge =
            std::max(std::fabs(g.y), std::fabs(g.x) * 0.8660254f + std::fabs(g.y) * 0.5f) / (size * 0.5f);
        Surface s = Plain(Hex(0xE0A020), 0.55f);
        if (edge > 0.82f && depth > 0.04f * R)
            s.albedo = Hex(0x6A3C05), s.relief = -0.025f * R;
        return s;
    };
    for (int leg = 0; leg < 3; ++leg) {
        float y = -0.2f + 0.3f * float(leg), reach = 0.8f + 0.05f * float(m % 3);
        s.layers.push_back(Part(Bar(R, {0.2f, y}, {reach, y + 0.15f * float(leg - 1) - 0.2f}, 0.045f),
                                Paint(Hex(0x4A2A08), 0.4f), 0, 0.04f * R));
    }
    float abdomen = 0.4f + 0.04f * float(m);
    s.layers.push_back(Part(Oval(R, {0, 0.45f}, {abdomen * 0.8f, abdomen}), comb, 0.04f * R, 0.25f * R));
    s.layers.push_back(Part(Oval(R, {0, -0.15f}, {0.28f, 0.3f}), comb, 0.08f * R, 0.18f * R));
    s.layers.push_back(
        Part(Oval(R, {0, -0.62f}, {0.2f, 0.2f}), Paint(Hex(0x8A5210), 0.5f), 0.1f * R, 0.1f * R));
    s.layers.push_back(Part(Disc(R, {0.1f, -0.68f}, 0.06f), Glow(Hex(0xFF3A10)), 0.18f * R, 0.03f * R));
    if (m >= 3)
        s.layers.push_back(
            Part(Bar(R, {0.08f, -0.75f}, {0.2f, -0.97f}, 0.025f), Paint(Hex(0x4A2A08)), 0.1f * R, 0.02f * R));
    if (m >= 4) // veined wings
        Under(s, Part(
                     Oval(R, {0.45f, 0.1f}, {0.4f, 0.16f}),
                     [](V2, float) {
                         Surface w = Plain(Hex(0xE8F4FF), 0.9f);
                         w.opacity = 0.55f;
                         return w;
                     },
                     0.03f * R, 0.05f * R));
    s.rimColour = Hex(0xFFE090);
    return s;
}

} // namespace

HullPlan EnemyFamilyA(int family, int member, int side) {
    float R = float(side) * 0.5f;
    switch (family) {
    case 0:
        return BloodWhite(member, R);
    case 1:
        return Brown(member, R);
    case 2:
        return Industrial(member, R);
    case 3:
        return Flame(member, R);
    case 4:
        return Concrete(member, R);
    case 5:
        return BlueBrick(member, R);
    case 6:
        return GreenCamo(member, R);
    default:
        return Hive(member, R);
    }
}

} // namespace assetgen
