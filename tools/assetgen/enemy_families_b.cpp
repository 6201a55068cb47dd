// Enemy families 8..15: cloud, mud, purple, slime, spiderFire, steelStars,
// vent, warp.

#include "enemy_families.h"
#include "enemy_kit.h"

namespace assetgen {

namespace {

// Soft white-grey puffs around a dark glowing core.
HullPlan Cloud(int m, float R) {
    HullPlan s;
    int puffs = 4 + m % 3;
    std::vector<std::pair<V2, float>> balls;
    for (int i = 0; i < puffs; ++i) {
        float a = -1.3f + 2.6f * float(i) / float(puffs - 1);
        balls.push_back(
            {{0.55f * std::sin(a), -0.5f * std::cos(a) + 0.15f}, 0.3f + 0.04f * float((i + m) % 3)});
    }
    auto puff = [R](V2 p, float depth) {
        float n = SurfaceNoise(p, 3.0f / R, 77);
        Surface s = Plain(Shade(Hex(0xE6E9EE), 0.85f + 0.15f * n), 0.05f);
        s.relief = Clamp01(depth / (0.3f * R)) * 0.08f * R;
        return s;
    };
    s.layers.push_back(Part(
        [balls, R](V2 p) {
            float d = 1e9f;
            for (auto& [c, r] : balls)
                d = SmoothUnion(d, SdCircle(p, c * R, r * R), 0.15f * R);
            d = SmoothUnion(d, SdCircle(p, {0, 0.1f * R}, 0.45f * R), 0.2f * R);
            d = SmoothUnion(d, SdCircle({std::fabs(p.x), p.y}, {0.28f * R, 0.62f * R}, 0.3f * R), 0.15f * R);
            return SmoothUnion(d, SdCircle(p, {0, -0.68f * R}, 0.28f * R), 0.15f * R);
        },
        puff, 0, 0.3f * R));
    s.layers.push_back(Part(Disc(R, {0, 0.12f}, 0.2f), Paint(Hex(0x2A2D38), 0.6f), 0.12f * R, 0.1f * R));
    s.layers.push_back(Part(Disc(R, {0, 0.12f}, 0.08f), Glow(Hex(0x60E0FF)), 0.18f * R, 0.04f * R));
    if (m >= 3) // dark tendrils below
        Under(s, Part(Bar(R, {0.15f, 0.5f}, {0.3f, 0.97f}, 0.04f), Paint(Hex(0x30343E), 0.5f), 0, 0.03f * R));
    s.rimColour = Hex(0xD0E0FF);
    return s;
}

// Brown organic blobs.
HullPlan Mud(int m, float R) {
    HullPlan s;
    auto mud = [R, m](V2 p, float depth) {
        float n = SurfaceNoise(p, 3.5f / R, 90 + uint32_t(m));
        Surface s = Plain(Mix(Hex(0x4A3020), Hex(0x8A6038), Clamp01(0.5f + n)), 0.35f);
        s.relief = n * 0.05f * R + Clamp01(depth / (0.4f * R)) * 0.1f * R;
        return s;
    };
    float lobe = 0.35f + 0.04f * float(m);
    s.layers.push_back(Part(
        [=](V2 p) {
            V2 q = p * (1.0f / R);
            float d = SdCircle(q, {0, 0.05f}, 0.5f);
            d = SmoothUnion(d, SdCircle(q, {0.5f, 0.35f}, lobe * 0.7f), 0.2f);
            d = SmoothUnion(d, SdCircle(q, {0.35f, -0.45f}, lobe * 0.6f), 0.2f);
            d = SmoothUnion(d, SdCircle(q, {0, -0.75f}, 0.2f), 0.2f);
            return d * R;
        },
        mud, 0, 0.35f * R));
    s.layers.push_back(Part(Disc(R, {0.18f, -0.2f}, 0.07f), Glow(Hex(0xC8FF40)), 0.2f * R, 0.04f * R));
    for (int eye = 0; eye < 1 + m / 2; ++eye)
        s.layers.push_back(Part(Disc(R, {0.1f + 0.12f * float(eye), 0.1f + 0.15f * float(eye)}, 0.05f),
                                Glow(Hex(0xC8FF40)), 0.22f * R, 0.03f * R));
    s.rimColour = Hex(0xFFC080);
    return s;
}

// Violet crystal facets: planar faces make flat shading bands.
HullPlan Purple(int m, float R) {
    HullPlan s;
    auto facets = [R](V2, float depth) {
        Surface s = Plain(Hex(0x9A4DFF), 0.9f);
        s.relief = -depth * 0.4f + std::floor(depth / (0.12f * R)) * 0.12f * R * 0.9f;
        s.emissive = 0.15f;
        return s;
    };
    float tip = 0.95f, span = 0.55f + 0.07f * float(m);
    s.layers.push_back(
        Part(Poly(R, {{0.3f, -0.1f}, {span + 0.3f, 0.2f}, {0.4f, 0.55f}}), facets, 0, 0.25f * R));
    s.layers.push_back(
        Part(Poly(R, {{0, -tip}, {0.35f, -0.1f}, {0.25f, 0.6f}, {0, 0.95f}}), facets, 0.05f * R, 0.4f * R));
    if (m % 2)
        s.layers.push_back(Part(Poly(R, {{0.45f, -0.75f}, {0.6f, -0.4f}, {0.45f, -0.2f}, {0.35f, -0.45f}}),
                                facets, 0.02f * R, 0.15f * R));
    s.layers.push_back(
        Part(Poly(R, {{0, -0.35f}, {0.1f, -0.1f}, {0, 0.15f}}), Glow(Hex(0xF0C8FF)), 0.3f * R, 0.05f * R));
    if (m >= 3) // side crystals
        Under(s, Part(Poly(R, {{0.55f, 0.3f}, {0.75f, 0.55f}, {0.6f, 0.95f}, {0.45f, 0.6f}}), facets, 0,
                      0.12f * R));
    s.rimColour = Hex(0xE0A0FF);
    return s;
}

// Translucent green goo with bubbles.
HullPlan Slime(int m, float R) {
    HullPlan s;
    auto goo = [R, m](V2 p, float depth) {
        Surface s = Plain(Hex(0x4CE05A), 0.9f);
        s.opacity = 0.72f + 0.25f * Clamp01(depth / (0.3f * R));
        for (int i = 0; i < 5; ++i) {
            uint32_t h = Hash(uint32_t(i), uint32_t(m), 314);
            V2 c = {(HashUnit(h) - 0.5f) * 0.9f * R, (HashUnit(Hash(h)) - 0.5f) * 1.2f * R};
            float r = (0.06f + 0.06f * HashUnit(Hash(h + 1))) * R;
            float d = Length(p - c);
            if (d < r) {
                s.albedo = Hex(0xB8FFB0);
                s.relief = std::sqrt(r * r - d * d) * 0.6f;
                s.opacity = 0.85f;
            }
        }
        return s;
    };
    float stretch = 0.75f + 0.05f * float(m);
    s.layers.push_back(Part(
        [=](V2 p) {
            V2 q = p * (1.0f / R);
            float wobble = 0.06f * std::sin(q.y * 7 + float(m));
            float d = SdEllipse({q.x + wobble, q.y}, {0, 0}, {0.55f, stretch});
            d = SmoothUnion(d, SdCapsule(q, {0.3f, 0.4f}, {0.7f, 0.85f}, 0.08f), 0.15f);
            return d * R;
        },
        goo, 0, 0.4f * R));
    s.layers.push_back(Part(Disc(R, {0, -0.2f}, 0.14f), Paint(Hex(0x0C3010), 0.8f), 0.2f * R, 0.1f * R));
    if (m >= 3) // tentacles
        Under(s, Part(Bar(R, {0.2f, -0.5f}, {0.45f, -0.95f}, 0.05f), goo, 0, 0.05f * R));
    s.rimColour = Hex(0xC0FFC0);
    return s;
}

// Spider legs and glowing red eyes.
HullPlan SpiderFire(int m, float R) {
    HullPlan s;
    Rgba carapace = Hex(0x5A2A24);
    for (int leg = 0; leg < 4; ++leg) {
        float y = -0.35f + 0.25f * float(leg), knee = 0.6f + 0.04f * float(m);
        V2 hip = {0.2f, y}, kneeP = {knee, y - 0.25f + 0.1f * float(leg)},
           foot = {0.92f, y + 0.25f + 0.05f * float(leg)};
        if (leg == 0)
            foot = {0.7f, -0.95f};
        s.layers.push_back(Part(Bar(R, hip, kneeP, 0.05f), Paint(carapace, 0.5f), 0, 0.04f * R));
        s.layers.push_back(
            Part(Bar(R, kneeP, foot, 0.035f), Trimmed(carapace, Hex(0xE03010), 0.02f * R), 0, 0.03f * R));
    }
    s.layers.push_back(Part(
        Oval(R, {0, 0.4f}, {0.34f + 0.02f * float(m), 0.42f}),
        [R](V2 p, float) {
            Surface s = Plain(Hex(0x6A2C24), 0.6f);
            if (std::fabs(p.x) < 0.06f * R && p.y > 0.2f * R)
                s.albedo = Hex(0xD02010), s.emissive = 0.7f;
            return s;
        },
        0.06f * R, 0.25f * R));
    s.layers.push_back(
        Part(Oval(R, {0, -0.2f}, {0.25f, 0.25f}), Paint(Hex(0x7A3428), 0.6f), 0.1f * R, 0.15f * R));
    s.layers.push_back(Part(Disc(R, {0.1f, -0.32f}, 0.06f), Glow(Hex(0xFF2010)), 0.2f * R, 0.03f * R));
    s.layers.push_back(Part(Disc(R, {0.2f, -0.22f}, 0.04f), Glow(Hex(0xFF4020)), 0.2f * R, 0.02f * R));
    if (m >= 3) // fangs
        s.layers.push_back(Part(Poly(R, {{0.05f, -0.42f}, {0.12f, -0.45f}, {0.08f, -0.62f}}),
                                Paint(Hex(0xF0E0D0), 0.6f), 0.15f * R, 0.02f * R));
    s.rimColour = Hex(0xFF6040);
    return s;
}

// Polished steel with star emblems.
HullPlan SteelStars(int m, float R) {
    HullPlan s;
    Rgba steel = Hex(0xB8C2CE);
    float span = 0.8f + 0.03f * float(m);
    s.layers.push_back(Part(Poly(R, {{0.15f, -0.45f}, {span, 0.35f}, {span - 0.1f, 0.6f}, {0.3f, 0.5f}}),
                            Plated(steel, 0.2f * R, 0.9f), 0, 0.1f * R));
    s.layers.push_back(Part(Poly(R, {{0, -0.95f}, {0.28f, -0.4f}, {0.3f, 0.7f}, {0.15f, 0.95f}}),
                            Plated(Hex(0xD8DFE8), 0.25f * R, 0.95f), 0.08f * R, 0.2f * R));
    float starR = 0.2f + 0.015f * float(m);
    s.layers.push_back(Part(
        [=](V2 p) {
            return SdStar(p, {0, 0.2f * R}, starR * R, starR * 0.42f * R, 5, 0);
        },
        Paint(Hex(0xD42A2A), 0.7f), 0.18f * R, 0.05f * R));
    s.layers.back().mirror = false;
    s.layers.push_back(Part(
        [=](V2 p) {
            return SdStar(p, {span * 0.62f * R, 0.3f * R}, 0.1f * R, 0.042f * R, 5, 0);
        },
        Paint(Hex(0xF0F4FF), 0.8f), 0.05f * R, 0.03f * R));
    if (m >= 3) // tail fins
        Under(s, Part(Poly(R, {{0.1f, 0.55f}, {0.4f, 0.9f}, {0.35f, 0.98f}, {0.1f, 0.85f}}),
                      Plated(steel, 0.2f * R, 0.9f), 0, 0.05f * R));
    if (m >= 4)
        Under(s, Part(Poly(R, {{0.15f, -0.75f}, {0.5f, -0.45f}, {0.45f, -0.35f}, {0.2f, -0.45f}}),
                      Plated(steel, 0.2f * R, 0.9f), 0, 0.05f * R));
    s.rimColour = Hex(0xC0D8FF);
    return s;
}

// Armour with grilles and vents glowing from inside.
HullPlan Vent(int m, float R) {
    HullPlan s;
    auto grille = [R](V2 p, float depth) {
        bool slot = Fract(p.y / (0.12f * R)) < 0.45f && depth > 0.05f * R;
        Surface s = Plain(Hex(0x3C3F46), 0.45f);
        if (slot)
            s.albedo = Mix(Hex(0xFF6A00), Hex(0xFFE080), Clamp01(depth / (0.2f * R))), s.emissive = 0.9f,
            s.relief = -0.04f * R;
        return s;
    };
    float w = 0.5f + 0.05f * float(m);
    s.layers.push_back(Part(Poly(R, {{0, -0.95f}, {w, -0.55f}, {w + 0.25f, 0.3f}, {w, 0.95f}, {0, 0.8f}}),
                            Plated(Hex(0x55585F), 0.22f * R, 0.4f), 0, 0.12f * R));
    s.layers.push_back(Part(Box(R, {w * 0.6f, 0.15f}, {0.14f, 0.4f}, 0.04f), grille, 0.08f * R, 0.05f * R));
    s.layers.push_back(Part(Box(R, {0, -0.25f}, {0.15f, 0.32f}, 0.05f), grille, 0.1f * R, 0.06f * R));
    s.layers.push_back(Part(Disc(R, {0, 0.55f}, 0.13f), Glow(Hex(0xFF9020)), 0.1f * R, 0.05f * R));
    if (m >= 3) // side vent pods
        Under(s, Part(Box(R, {w + 0.12f, -0.35f}, {0.08f, 0.3f}, 0.05f), grille, 0, 0.05f * R));
    s.rimColour = Hex(0xFFB070);
    return s;
}

// Cyan-magenta energy rings around a dark core.
HullPlan Warp(int m, float R) {
    HullPlan s;
    int rings = 2 + m % 2;
    for (int i = rings - 1; i >= 0; --i) {
        float r = 0.92f - 0.25f * float(i), w = 0.07f;
        Rgba c = i % 2 ? Hex(0xFF3CE0) : Hex(0x30F0FF);
        s.layers.push_back(Part(
            [=](V2 p) {
                return std::fabs(SdCircle(p, {0, 0}, r * R)) - w * R;
            },
            [c, R](V2 p, float) {
                Surface s = Glow(c)(p, 0);
                s.emissive = 0.75f + 0.25f * std::sin(std::atan2(p.x, p.y) * 6);
                (void)R;
                return s;
            },
            0.02f * R * float(i), 0.05f * R));
    }
    float spike = 0.55f + 0.06f * float(m);
    s.layers.push_back(
        Part(Poly(R, {{0, -spike - 0.3f}, {0.16f, -0.2f}, {0.3f, 0.1f}, {0.12f, spike}, {0, 0.4f}}),
             Plated(Hex(0x28203A), 0.15f * R, 0.8f), 0.12f * R, 0.12f * R));
    s.layers.push_back(Part(Disc(R, {0, 0}, 0.13f), Glow(Hex(0xF0F8FF)), 0.2f * R, 0.05f * R));
    if (m >= 4) // energy spikes
        for (float a : {0.6f, 1.6f, 2.5f})
            Under(s, Part(Bar(R, {0.8f * std::sin(a), -0.8f * std::cos(a)},
                              {0.98f * std::sin(a), -0.98f * std::cos(a)}, 0.04f),
                          Glow(Hex(0x30F0FF)), 0, 0.02f * R));
    s.rimColour = Hex(0xFF80FF);
    return s;
}

} // namespace

HullPlan EnemyFamilyB(int family, int member, int side) {
    float R = float(side) * 0.5f;
    switch (family) {
    case 8:
        return Cloud(member, R);
    case 9:
        return Mud(member, R);
    case 10:
        return Purple(member, R);
    case 11:
        return Slime(member, R);
    case 12:
        return SpiderFire(member, R);
    case 13:
        return SteelStars(member, R);
    case 14:
        return Vent(member, R);
    default:
        return Warp(member, R);
    }
}

} // namespace assetgen
