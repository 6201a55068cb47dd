// The eight 256 x 256 backdrops, opaque and seamless: everything is made on
// a torus (periodic noise, wrapped distances), never by blending edges.

#include <cmath>

#include "jobs.h"
#include "rng.h"
#include "torus_noise.h"

namespace assetgen {

namespace {

constexpr int kSide = 256;

// Distance between two points on the 256-pixel torus.
float WrappedDistance(float ax, float ay, float bx, float by) {
    float dx = std::fabs(ax - bx), dy = std::fabs(ay - by);
    dx = std::min(dx, float(kSide) - dx);
    dy = std::min(dy, float(kSide) - dy);
    return std::sqrt(dx * dx + dy * dy);
}

// Stars added into the picture: many faint points and a few bright ones
// with soft halos and, for the brightest, four thin spikes.
void AddStars(Image& image, uint32_t seed, int count, float brightness) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        float x = rng.Range(0, kSide), y = rng.Range(0, kSide);
        float b = rng.Unit();
        b = b * b * b * b * brightness;
        bool big = rng.Unit() < 0.025f;
        if (big)
            b = brightness * rng.Range(0.8f, 1.2f);
        float hue = rng.Unit();
        Rgba tint = hue < 0.3f    ? Rgba{0.75f, 0.85f, 1.0f, 1}
                    : hue > 0.85f ? Rgba{1.0f, 0.85f, 0.7f, 1}
                                  : Rgba{1, 1, 1, 1};
        int reach = big ? 7 : 1;
        float sigma = big ? 0.9f : 0.55f;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                int px = int(std::floor(x)) + dx, py = int(std::floor(y)) + dy;
                float d = WrappedDistance(float(px) + 0.5f, float(py) + 0.5f, x, y);
                float v = b * std::exp(-d * d / (2 * sigma * sigma));
                if (big) {
                    float ax = std::fabs(float(px) + 0.5f - x), ay = std::fabs(float(py) + 0.5f - y);
                    v += b * 0.5f * (std::exp(-ay * ay * 4) + std::exp(-ax * ax * 4)) * std::exp(-d * 0.45f) +
                         b * 0.25f * std::exp(-d * 0.5f);
                }
                Rgba& c = image.At(((px % kSide) + kSide) % kSide, ((py % kSide) + kSide) % kSide);
                c = {c.r + v * tint.r, c.g + v * tint.g, c.b + v * tint.b, 1};
            }
    }
}

template <class F> Image Field(F colour) {
    Image image(kSide, kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            Rgba c = colour((float(x) + 0.5f) / kSide, (float(y) + 0.5f) / kSide);
            c.a = 1;
            image.At(x, y) = c;
        }
    return image;
}

Image Clamped(Image image) {
    for (Rgba& c : image.pixels)
        c = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
    return image;
}

Image Star() {
    Image image = Field([](float u, float v) {
        float n = TorusFbm(u, v, 3, 5, 0.55f, 101) * 0.5f + 0.5f;
        return Rgba{0.01f + 0.02f * n, 0.012f + 0.02f * n, 0.03f + 0.05f * n, 1};
    });
    AddStars(image, 1, 420, 1.0f);
    return Clamped(image);
}

Image Night() {
    Image image = Field([](float u, float v) {
        float n = TorusFbm(u, v, 2, 5, 0.6f, 202) * 0.5f + 0.5f;
        float band = std::pow(Clamp01(n), 3.0f);
        return Rgba{0.02f + 0.05f * band, 0.01f + 0.02f * band, 0.04f + 0.1f * band, 1};
    });
    AddStars(image, 2, 650, 0.85f);
    return Clamped(image);
}

// Nebula clouds: ridged noise warped by fbm, coloured through two hues.
Image Nebula(uint32_t seed, Rgba a, Rgba b, int stars) {
    Image image = Field([=](float u, float v) {
        float wu = TorusFbm(u, v, 2, 4, 0.5f, seed + 1) * 0.12f;
        float wv = TorusFbm(u, v, 2, 4, 0.5f, seed + 2) * 0.12f;
        float n = TorusFbm(u + wu, v + wv, 2, 6, 0.55f, seed) * 0.5f + 0.5f;
        float r = TorusRidged(u + wu, v + wv, 3, 5, seed + 3);
        float density = std::pow(Clamp01(n * 1.25f - 0.2f), 2.2f);
        float filament = std::pow(r, 4.0f) * density;
        Rgba c = Mix(a, b, Clamp01(r * 1.2f - 0.2f)) * (density * 0.55f + filament * 0.6f);
        return Rgba{0.01f + c.r, 0.01f + c.g, 0.025f + c.b, 1};
    });
    AddStars(image, seed, stars, 0.9f);
    return Clamped(image);
}

// A red spiral galaxy, centred in the tile and fading well before its edges.
Image RedGalaxy() {
    Image image = Field([](float u, float v) {
        float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2.4f;
        float r = std::sqrt(x * x + y * y), a = std::atan2(y, x);
        float arms = 0.5f + 0.5f * std::cos(2 * a - 5.5f * std::log(r + 0.05f));
        float n = TorusFbm(u, v, 4, 5, 0.55f, 303) * 0.5f + 0.5f;
        float disc = std::exp(-r * 3.2f) * (0.35f + 0.65f * std::pow(arms, 3.0f) * n);
        float core = std::exp(-r * r * 60.0f);
        float fade = Clamp01(1.2f - r * 1.35f);
        float g = disc * fade;
        float dust = TorusFbm(u, v, 3, 4, 0.5f, 304) * 0.5f + 0.5f;
        return Rgba{0.015f + g * 1.1f + core * 0.9f + 0.03f * dust, 0.008f + g * 0.35f + core * 0.75f,
                    0.02f + g * 0.3f + core * 0.55f + 0.02f * dust, 1};
    });
    AddStars(image, 6, 320, 0.85f);
    return Clamped(image);
}

// A cratered grey surface: craters are wrapped bowls with lit and shaded rims.
Image Moon() {
    Rng rng(44);
    struct Crater {
        float x, y, r;
    };
    std::vector<Crater> craters;
    for (int i = 0; i < 70; ++i) {
        float r = rng.Unit();
        craters.push_back({rng.Range(0, kSide), rng.Range(0, kSide), 3 + r * r * r * 34});
    }
    auto height = [&](float x, float y) {
        float h = TorusFbm(x / kSide, y / kSide, 4, 6, 0.5f, 404) * 3.0f;
        for (const Crater& c : craters) {
            float d = WrappedDistance(x, y, c.x, c.y) / c.r;
            if (d < 1.6f)
                h += c.r * 0.35f *
                     (d < 1 ? (d * d - 1) * 0.9f + 0.3f * d * d * d * d : 0.3f * std::exp(-(d - 1) * 6));
        }
        return h;
    };
    Image image(kSide, kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            float hx = height(float(x) + 1, float(y)) - height(float(x) - 1, float(y));
            float hy = height(float(x), float(y) + 1) - height(float(x), float(y) - 1);
            float light = Clamp01(0.5f + 0.3f * (hx + hy)); // lit where the ground faces the upper left
            float albedo = 0.8f + 0.2f * TorusFbm(float(x) / kSide, float(y) / kSide, 2, 4, 0.5f, 405);
            float v = 0.2f * light * albedo;
            image.At(x, y) = {v * 0.95f, v * 0.95f, v * 1.05f, 1};
        }
    return Clamped(image);
}

// Deep-blue hexagonal grid with a glow on a few cells. The lattice repeats
// 8 cells across and 10 rows down the tile.
Image HexGrid() {
    const float ax = 32, rowH = 25.6f;
    return Clamped(Field([=](float u, float v) {
        float x = u * kSide, y = v * kSide;
        float best = 1e9f, second = 1e9f;
        int bestRow = 0, bestCol = 0;
        int row0 = int(std::floor(y / rowH));
        for (int r = row0 - 1; r <= row0 + 1; ++r) {
            float offset = (((r % 2) + 2) % 2) * ax * 0.5f;
            int col0 = int(std::floor((x - offset) / ax));
            for (int c = col0 - 1; c <= col0 + 1; ++c) {
                float d = std::hypot(x - (float(c) * ax + offset), y - float(r) * rowH);
                if (d < best) {
                    second = best, best = d, bestRow = r, bestCol = c;
                } else if (d < second) {
                    second = d;
                }
            }
        }
        float edge = (second - best) * 0.5f;
        float line = std::exp(-edge * edge * 0.35f);
        uint32_t cell = Hash(uint32_t((bestCol % 8 + 8) % 8), uint32_t((bestRow % 10 + 10) % 10), 55);
        float lit = HashUnit(cell) > 0.88f ? 0.08f * std::exp(-best * 0.08f) : 0;
        float n = TorusFbm(u, v, 2, 4, 0.5f, 505) * 0.5f + 0.5f;
        return Rgba{0.01f + 0.04f * line + lit * 0.3f, 0.02f + 0.1f * line * n + lit * 0.6f,
                    0.06f + 0.25f * line * (0.5f + n) + lit, 1};
    }));
}

// A distant planet surface seen from above: continents and seas with clouds.
Image Land() {
    return Clamped(Field([](float u, float v) {
        float h = TorusFbm(u, v, 3, 6, 0.55f, 606);
        float cloud = Clamp01(TorusFbm(u, v, 4, 5, 0.55f, 607) * 1.6f - 0.2f);
        Rgba sea = {0.02f, 0.05f, 0.12f, 1}, land = {0.1f, 0.12f, 0.06f, 1}, high = {0.18f, 0.15f, 0.1f, 1};
        Rgba c = h < 0.05f ? Mix(sea, Rgba{0.03f, 0.08f, 0.14f, 1}, Clamp01((h + 0.3f) * 3))
                           : Mix(land, high, Clamp01(h * 2.2f));
        return Mix(c, Rgba{0.3f, 0.32f, 0.35f, 1}, cloud * 0.5f);
    }));
}

} // namespace

void AddBackdropJobs(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& s) { s.Png("256Star.png", Star(), Backing::Opaque); });
    jobs.push_back([](AssetSink& s) { s.Png("256Night.png", Night(), Backing::Opaque); });
    jobs.push_back([](AssetSink& s) {
        s.Png("256nebStarCombo.png", Nebula(707, Hex(0x3A6CFF), Hex(0xE040C0), 300), Backing::Opaque);
    });
    jobs.push_back([](AssetSink& s) {
        s.Png("256Storm.png", Nebula(808, Hex(0x20C8B0), Hex(0x6040FF), 160), Backing::Opaque);
    });
    jobs.push_back([](AssetSink& s) { s.Png("256RedGalaxy.png", RedGalaxy(), Backing::Opaque); });
    jobs.push_back([](AssetSink& s) { s.Png("256Moon.png", Moon(), Backing::Opaque); });
    jobs.push_back([](AssetSink& s) { s.Png("256Hex.png", HexGrid(), Backing::Opaque); });
    jobs.push_back([](AssetSink& s) { s.Png("256Land.png", Land(), Backing::Opaque); });
}

} // namespace assetgen
