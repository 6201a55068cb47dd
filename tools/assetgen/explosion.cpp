// The 16-frame explosion, 120 x 120 on black (drawn additively): a white-hot
// core that expands into turbulent orange-red fire and dark-red smoke,
// thinning to nothing by the last frame.

#include <cmath>
#include <cstdio>

#include "jobs.h"
#include "rng.h"
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

// Fireballs thrown out from the centre: each a lumpy glowing blob that
// grows, drifts outward and cools; together with an early white flash and
// a few sparks they make the burst.
struct Fireball {
    float dx, dy, speed, size, heat;
};

std::vector<Fireball> Fireballs() {
    Rng rng(1207);
    std::vector<Fireball> balls;
    for (int i = 0; i < 18; ++i) {
        float a = rng.Range(0, 6.2831853f), spread = i < 4 ? 0.2f : 1.0f;
        balls.push_back({std::sin(a), -std::cos(a), rng.Range(8, 30) * spread,
                         rng.Range(9, 17) * (i < 4 ? 1.4f : 1.0f), rng.Range(0.75f, 1.1f)});
    }
    // Keep the burst centred on the point of impact.
    float mx = 0, my = 0;
    for (const Fireball& b : balls)
        mx += b.dx * b.speed / float(balls.size()), my += b.dy * b.speed / float(balls.size());
    for (Fireball& b : balls) {
        float vx = b.dx * b.speed - mx, vy = b.dy * b.speed - my;
        b.speed = std::hypot(vx, vy);
        b.dx = vx / std::max(b.speed, 1e-3f), b.dy = vy / std::max(b.speed, 1e-3f);
    }
    return balls;
}

Image Frame(int k, const std::vector<Fireball>& balls) {
    float t = float(k) / float(kFrames - 1); // 0..1 through the explosion
    float fade = (k == kFrames - 1) ? 0.0f : std::pow(1 - t, 1.3f);
    return RenderSupersampled(kSide, kSide, 2, [&](float x, float y) {
        float px = x - kSide * 0.5f, py = y - kSide * 0.5f;
        float turb = TorusFbm(x / kSide + t * 0.15f, y / kSide - t * 0.2f, 4, 5, 0.55f, 7) * 0.5f + 0.5f;
        float density = 0, heat = 0;
        for (const Fireball& b : balls) {
            float travel = b.speed * std::sqrt(t) * 1.6f;
            float cx = b.dx * travel, cy = b.dy * travel;
            float radius = b.size * (0.6f + 1.5f * std::sqrt(t));
            float d = std::hypot(px - cx, py - cy) / radius;
            float lump = d - (turb - 0.5f) * 0.9f;
            float body = SmoothStep(1.0f, 0.35f, lump);
            density += body;
            heat = std::max(heat, body * b.heat * (1.15f - 0.5f * d));
        }
        density = Clamp01(density);
        float cool = std::pow(1 - t, 2.2f);
        float temp = heat * cool * (0.55f + 0.6f * turb) + 0.1f * cool;
        float r = std::hypot(px, py);
        float flash = std::exp(-r * r / (2 * std::pow(6 + 26 * t, 2.0f))) * std::pow(1 - t, 3.0f) * 1.6f;
        Rgba c = FireRamp(temp + flash * 0.6f) * (density * (0.55f + 0.7f * turb) * fade);
        c = c + Rgba{flash, flash * 0.95f, flash * 0.85f, 0};
        // Sparks flying straight out in the first frames.
        if (t < 0.5f) {
            float a = std::atan2(py, px);
            float ray = std::pow(std::max(0.0f, std::sin(a * 11 + 1.3f) * std::sin(a * 7 + 0.4f)), 24.0f);
            float front = std::exp(-std::pow((r - (12 + 90 * t)) / 5.0f, 2.0f));
            float spark = ray * front * (0.5f - t) * 3;
            c = c + Rgba{spark, spark * 0.8f, spark * 0.4f, 0};
        }
        return Rgba{Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
    });
}

} // namespace

void AddExplosionJobs(std::vector<Job>& jobs) {
    for (int k = 0; k < kFrames; ++k)
        jobs.push_back([k](AssetSink& sink) {
            static const std::vector<Fireball> balls = Fireballs();
            char name[32];
            std::snprintf(name, sizeof name, "exp120-%04d.bmp", k + 1);
            sink.Bmp(name, Frame(k, balls));
        });
}

} // namespace assetgen
