// The nine 256 x 256 tile layers, drawn additively over the backdrop: mostly
// black with sparse, dim structure, seamless because they are made on a torus.

#include <cmath>

#include "jobs.h"
#include "rng.h"
#include "torus_noise.h"

namespace assetgen {

namespace {

constexpr int kSide = 256;

template <class F> Image Tile(F colour) {
    Image image(kSide, kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            Rgba c = colour((float(x) + 0.5f) / kSide, (float(y) + 0.5f) / kSide);
            image.At(x, y) = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
        }
    return image;
}

// Thin bright lines where v crosses a level, fading with distance.
float Line(float value, float width) {
    return std::exp(-value * value / (width * width));
}

Image Bands() {
    return Tile([](float u, float v) {
        float warp = TorusFbm(u, v, 2, 4, 0.5f, 11) * 0.6f;
        float phase = std::sin((v * 4 + warp) * 6.2831853f);
        float band = std::pow(Clamp01(phase), 8.0f);
        float grain = TorusFbm(u, v, 8, 3, 0.5f, 12) * 0.5f + 0.5f;
        float k = band * (0.25f + 0.2f * grain);
        return Rgba{k * 0.35f, k * 0.55f, k * 0.9f, 1};
    });
}

// Cell walls from cellular noise: the edge where the two nearest distances meet.
Image Cells(int period, uint32_t seed, Rgba tint, float width) {
    return Tile([=](float u, float v) {
        CellSample c = TorusCells(u, v, period, seed);
        float wall = Line(c.edge, width * 0.5f);
        float glow = HashUnit(c.cell) > 0.8f ? 0.3f * std::exp(-c.f1 * c.f1 * 30) : 0; // a lit nucleus
        float n = TorusFbm(u, v, 4, 3, 0.5f, seed + 1) * 0.5f + 0.5f;
        float k = wall * (0.13f + 0.2f * n) + glow;
        return tint * k;
    });
}

Image Clouds(uint32_t seed, Rgba tint, int period) {
    return Tile([=](float u, float v) {
        float n = TorusFbm(u, v, period, 6, 0.55f, seed) * 0.5f + 0.5f;
        float k = std::pow(Clamp01(n * 1.6f - 0.5f), 1.6f) * 0.5f;
        return tint * k;
    });
}

Image Flames() {
    return Tile([](float u, float v) {
        float wu = TorusFbm(u, v, 3, 4, 0.5f, 31) * 0.15f;
        float r = TorusRidged(u + wu, v, 2, 5, 32);
        float k = std::pow(r, 6.0f) * 0.45f;
        return Rgba{k * 1.0f, k * 0.45f, k * 0.12f, 1};
    });
}

Image Marble() {
    return Tile([](float u, float v) {
        float warp = TorusFbm(u, v, 2, 5, 0.55f, 41);
        float vein = std::fabs(std::sin((u + v + warp * 0.8f) * 6.2831853f * 2));
        float k = Line(vein, 0.08f) * 0.3f + Line(vein, 0.25f) * 0.06f;
        return Rgba{k * 0.8f, k * 0.7f, k * 0.95f, 1};
    });
}

Image Sand() {
    return Tile([](float u, float v) {
        float warp = TorusFbm(u, v, 2, 4, 0.5f, 51) * 0.25f;
        float ripple = 0.5f + 0.5f * std::sin((v * 10 + u * 2 + warp * 4) * 6.2831853f);
        float grain = TorusFbm(u, v, 16, 2, 0.5f, 52) * 0.5f + 0.5f;
        float k = std::pow(ripple, 6.0f) * 0.22f * (0.6f + 0.4f * grain);
        return Rgba{k * 0.95f, k * 0.75f, k * 0.45f, 1};
    });
}

} // namespace

void AddTileJobs(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& s) { s.Png("bandTile.png", Bands(), Backing::Additive); });
    jobs.push_back([](AssetSink& s) {
        s.Png("cellsATile.png", Cells(5, 61, Rgba{0.3f, 0.8f, 1.0f, 1}, 0.05f), Backing::Additive);
    });
    jobs.push_back([](AssetSink& s) {
        s.Png("cellsBTile.png", Cells(8, 62, Rgba{0.5f, 1.0f, 0.5f, 1}, 0.04f), Backing::Additive);
    });
    jobs.push_back([](AssetSink& s) {
        s.Png("cellsCTile.png", Cells(3, 63, Rgba{1.0f, 0.5f, 0.9f, 1}, 0.06f), Backing::Additive);
    });
    jobs.push_back([](AssetSink& s) {
        s.Png("cloudTile.png", Clouds(71, Rgba{0.55f, 0.65f, 0.9f, 1}, 2), Backing::Additive);
    });
    jobs.push_back([](AssetSink& s) {
        s.Png("cloud2Tile.png", Clouds(72, Rgba{0.9f, 0.6f, 0.45f, 1}, 3), Backing::Additive);
    });
    jobs.push_back([](AssetSink& s) { s.Png("flameTile.png", Flames(), Backing::Additive); });
    jobs.push_back([](AssetSink& s) { s.Png("marbleTile.png", Marble(), Backing::Additive); });
    jobs.push_back([](AssetSink& s) { s.Png("sandTile.png", Sand(), Backing::Additive); });
}

} // namespace assetgen
