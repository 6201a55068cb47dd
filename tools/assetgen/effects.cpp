// Glows, rings, shots, beams and debris. The additive ones are white (the
// game tints them) on black; the particle textures put their picture in the
// top-left quarter, because a particle's triangle maps texture coordinate
// (0.25, 0.25) onto the particle and spans half the texture on each side.

#include <cmath>

#include "hull_kit.h"
#include "jobs.h"
#include "torus_noise.h"

namespace assetgen {

namespace {

// Opaque where it adds light, so the alpha test never cuts a faint glow;
// black stays black (adds nothing).
Image Additive(int w, int h, const std::function<float(float, float)>& value, Rgba tint = {1, 1, 1, 1}) {
    return RenderSupersampled(w, h, 4, [&](float x, float y) {
        float v = value(x, y);
        return Rgba{Clamp01(v * tint.r), Clamp01(v * tint.g), Clamp01(v * tint.b), 1};
    });
}

float SoftDot(float x, float y, float cx, float cy, float radius) {
    float d = std::hypot(x - cx, y - cy) / radius;
    if (d >= 1)
        return 0;
    float fall = (1 - d) * (1 - d);
    return Clamp01(fall * 0.75f + std::exp(-d * d * 18) * 0.6f);
}

Image FlareParticle() {
    return Additive(64, 64, [](float x, float y) { return SoftDot(x, y, 16, 16, 15.5f); });
}

Image FlareFull() {
    return Additive(64, 64, [](float x, float y) { return SoftDot(x, y, 32, 32, 31.5f); });
}

// A lens-flare glow: soft core, faint halo ring with a hint of colour.
Image Flare6() {
    return RenderSupersampled(64, 64, 4, [](float x, float y) {
        float d = std::hypot(x - 32, y - 32) / 31.5f;
        float core = d < 1 ? std::pow(1 - d, 3.0f) : 0;
        float halo = std::exp(-std::pow((d - 0.78f) / 0.06f, 2.0f)) * 0.35f;
        float edge = d < 1 ? 1.0f : 0.0f;
        float r = core + halo * 1.0f, g = core + halo * 0.85f, b = core + halo * 1.15f;
        return Rgba{Clamp01(r * edge), Clamp01(g * edge), Clamp01(b * edge), 1};
    });
}

// Ring textures: bright across the ring's width (v, outer edge at the top),
// and repeating along it (u), so 24 segments join without a seam.
Image Ring1() {
    return Additive(64, 32, [](float, float y) {
        float v = y / 32;
        return std::exp(-std::pow((v - 0.5f) / 0.16f, 2.0f)) * 0.95f +
               std::exp(-std::pow((v - 0.5f) / 0.05f, 2.0f)) * 0.3f;
    });
}

Image Ring3() {
    return Additive(64, 64, [](float x, float y) {
        float u = x / 64, v = y / 64;
        float band = SmoothStep(0.0f, 0.25f, v) * SmoothStep(1.0f, 0.7f, v);
        float n = TorusFbm(u, v, 4, 4, 0.55f, 88) * 0.5f + 0.5f;
        return band * (0.35f + 0.75f * n * n);
    });
}

Image StandardShot() {
    return Additive(24, 24, [](float x, float y) {
        float d = std::hypot(x - 12, y - 12);
        return Clamp01(std::exp(-d * d / 10) * 1.2f + std::exp(-d * d / 40) * 0.35f) *
               (d < 11.5f ? 1.0f : 0.0f);
    });
}

// A crescent wave front bulging toward the direction of travel (up).
Image Cone() {
    return Additive(180, 22, [](float x, float y) {
        float u = (x - 90) / 90; // -1..1 across
        float crest = 4 + 13 * u * u;
        float d = (y - crest) / (2.2f + 1.5f * (1 - u * u));
        float taper = std::pow(Clamp01(1 - u * u), 0.6f);
        return Clamp01((std::exp(-d * d) * 1.1f + std::exp(-std::fabs(d) * 0.8f) * 0.25f) * taper);
    });
}

// The beam runs along v; its bright core across u.
Image Laser() {
    return Additive(32, 32, [](float x, float) {
        float u = (x - 16) / 16;
        return Clamp01(std::exp(-u * u * 30) * 1.1f + std::exp(-u * u * 4) * 0.35f);
    });
}

HullPlan MissileSpec() {
    HullPlan s;
    s.width = 12;
    s.height = 24;
    s.layers.push_back(
        Part(Outline({{1, 3}, {5.5f, 10}, {5.5f, 12}, {2, 10}}), Paint(Hex(0xB02020), 0.4f), 0, 1));
    s.layers.push_back(Part(
        [](V2 p) {
            return SdCapsule(p, {0, -8}, {0, 7}, 2.6f);
        },
        Plated(Hex(0xD8D8DC), 3.0f, 0.7f), 0.5f, 1.6f));
    s.layers.push_back(Part(
        [](V2 p) {
            return SdEllipse(p, {0, -8.5f}, {2.2f, 2.5f});
        },
        Paint(Hex(0xE03030), 0.6f), 1, 1));
    s.layers.push_back(Part(
        [](V2 p) {
            return SdEllipse(p, {0, 10.2f}, {2.2f, 1.4f});
        },
        Glow(Hex(0xFFC060)), 0.6f, 0.5f));
    return s;
}

// A light grey spiked sphere: the game lights it red.
HullPlan MineSpec() {
    HullPlan s;
    s.width = s.height = 32;
    s.layers.push_back(Part(
        [](V2 p) {
            float d = 1e9f;
            for (int i = 0; i < 8; ++i) {
                float a = float(i) * 0.785398f;
                d = std::min(d, SdCapsule(p, {0, 0}, {14.5f * std::sin(a), -14.5f * std::cos(a)}, 1.3f));
            }
            return d;
        },
        Paint(Hex(0xC8C8C8), 0.6f), 0, 1));
    s.layers.back().mirror = false;
    s.layers.push_back(Part(
        [](V2 p) {
            return SdCircle(p, {0, 0}, 9.5f);
        },
        Plated(Hex(0xE6E6E6), 4, 0.8f), 1, 5));
    s.layers.push_back(Part([](V2 p) { return SdCircle(p, {0, 0}, 3); }, Glow(Hex(0xFFFFFF)), 5, 1));
    return s;
}

// Dark rock with a lit edge, in a lumpy outline.
Image Rock(int w, int h, V2 centre, float radius, uint32_t seed) {
    HullPlan s;
    s.width = w;
    s.height = h;
    V2 c = {centre.x - float(w) * 0.5f, centre.y - float(h) * 0.5f};
    s.layers.push_back(HullLayer{[=](V2 p) {
                                     V2 q = p - c;
                                     float a = std::atan2(q.y, q.x);
                                     float lump = TorusNoise(a / 6.2831853f * 7 + 7, 0.5f, 7, seed) * 0.14f;
                                     return Length(q) - radius * (0.78f + lump);
                                 },
                                 [=](V2 p, float) {
                                     float n = TorusNoise(p.x * 0.4f + 20, p.y * 0.4f + 20, 64, seed + 1);
                                     Surface s = Plain(Shade(Hex(0x5A5048), 0.8f + 0.3f * n), 0.2f);
                                     s.relief = n * radius * 0.08f;
                                     return s;
                                 },
                                 0, radius * 0.6f, false});
    s.rimColour = Hex(0xFFB070);
    return RenderHull(s);
}

Image Smoke() {
    return RenderSupersampled(128, 128, 2, [](float x, float y) {
        float d = std::hypot(x - 32, y - 32) / 31.5f;
        float n = TorusFbm(x / 128, y / 128, 4, 4, 0.55f, 99) * 0.5f + 0.5f;
        float a = d < 1 ? std::pow(1 - d, 1.5f) * (0.45f + 0.7f * n) : 0;
        float g = 0.45f + 0.3f * n;
        return Rgba{g, g, g * 1.04f, Clamp01(a * 0.85f)};
    });
}

} // namespace

void AddEffectJobs(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& s) {
        s.Bmp("flare-white.bmp", FlareParticle());
        s.Bmp("flare-white-full.bmp", FlareFull());
        s.Png("flare6.png", Flare6(), Backing::Additive);
        s.Png("ring1.png", Ring1(), Backing::Additive);
        s.Png("ring3.png", Ring3(), Backing::Additive);
        s.Png("standardShot.png", StandardShot(), Backing::Additive);
        s.Png("cone2.png", Cone(), Backing::Additive);
        s.Png("laser.png", Laser(), Backing::Additive);
    });
    jobs.push_back([](AssetSink& s) {
        s.Png("missile.png", RenderHull(MissileSpec()), Backing::Alpha);
        s.Png("bomb1.png", RenderHull(MineSpec()), Backing::Alpha);
        s.Png("shrapnel.png", Rock(16, 16, {8, 8}, 7.5f, 5), Backing::Alpha);
        s.Png("asteroidBit.png", Rock(64, 64, {16, 16}, 15.5f, 6), Backing::Alpha);
        s.Png("smoke128.png", Smoke(), Backing::Alpha);
    });
}

} // namespace assetgen
