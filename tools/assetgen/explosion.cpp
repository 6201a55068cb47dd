// The 16-frame explosion, 120 x 120 on black (drawn additively): a white-hot
// core that expands into turbulent orange-red fire and dark-red smoke,
// thinning to nothing by the last frame.

#include <cmath>
#include <cstdio>

#include "jobs.h"
#include "torus_noise.h"

namespace assetgen {

namespace {

constexpr int kSide = 120;
constexpr int kFrames = 16;

// Fire colour by temperature 0..1: dark red, red, orange, yellow, white.
Rgba FireRamp(float t) {
    t = Clamp01(t);
    const Rgba stops[5] = {{0.25f, 0.02f, 0.01f, 1},
                           {0.8f, 0.12f, 0.02f, 1},
                           {1.0f, 0.45f, 0.05f, 1},
                           {1.0f, 0.8f, 0.3f, 1},
                           {1.0f, 1.0f, 0.92f, 1}};
    float x = t * 4;
    int i = std::min(int(x), 3);
    return Mix(stops[i], stops[i + 1], x - float(i));
}

Image Frame(int k) {
    float t = float(k) / float(kFrames - 1); // 0..1 through the explosion
    float radius = 14 + 44 * std::sqrt(t);   // fire front
    float heat = std::pow(1 - t, 1.6f);      // cools as it spreads
    float fade = (k == kFrames - 1) ? 0.0f : std::pow(1 - t, 1.2f);
    return RenderSupersampled(kSide, kSide, 2, [=](float x, float y) {
        float dx = x - kSide * 0.5f, dy = y - kSide * 0.5f;
        float r = std::sqrt(dx * dx + dy * dy);
        float a = std::atan2(dy, dx);
        float u = 0.5f + 0.5f * a / 3.14159265f;
        // Turbulence that drifts outward as the frames advance.
        float turb = TorusFbm(u, r / 160.0f - t * 0.35f, 6, 5, 0.55f, 7) * 0.5f + 0.5f;
        float billow =
            TorusFbm(dx / 200.0f + 0.5f, dy / 200.0f + 0.5f + t * 0.1f, 5, 4, 0.5f, 9) * 0.5f + 0.5f;
        float edge = radius * (0.75f + 0.5f * turb);
        float body = SmoothStep(edge, edge * 0.55f, r);
        float hollow = t > 0.45f ? SmoothStep(0.0f, edge * (t - 0.3f), r) : 1.0f; // smoke ring opens up late
        float density = body * hollow * (0.45f + 0.75f * billow);
        float temp = heat * (1.1f - r / (edge + 1)) + 0.35f * billow * heat;
        float core = std::exp(-r * r / (2 * std::pow(10.0f * (1 - t) + 2, 2.0f))) * (1 - t) * 1.3f;
        Rgba c = FireRamp(temp + core) * (density * fade * 1.1f);
        c = c + Rgba{core, core * 0.95f, core * 0.8f, 0} * fade;
        // A thin shock ring early on.
        float ring = std::exp(-std::pow((r - radius * 1.15f) / 2.5f, 2.0f)) * std::max(0.0f, 0.6f - t) * 0.8f;
        c = c + Rgba{ring, ring * 0.8f, ring * 0.55f, 0};
        return Rgba{Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
    });
}

} // namespace

void AddExplosionJobs(std::vector<Job>& jobs) {
    for (int k = 0; k < kFrames; ++k)
        jobs.push_back([k](AssetSink& sink) {
            char name[32];
            std::snprintf(name, sizeof name, "exp120-%04d.bmp", k + 1);
            sink.Bmp(name, Frame(k));
        });
}

} // namespace assetgen
