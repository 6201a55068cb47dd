#include "torus_noise.h"

#include <cmath>

#include "rng.h"

namespace assetgen {

namespace {

int Wrap(int i, int period) {
    return ((i % period) + period) % period;
}

// Octaves are shifted against each other so their lattice lines do not line
// up into a visible grid; a shift keeps the period.
float Shift(int octave, float step) {
    return step * float(octave + 1);
}

float Fade(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

float Gradient(int ix, int iy, int period, uint32_t seed, float dx, float dy) {
    uint32_t h = Hash(uint32_t(Wrap(ix, period)), uint32_t(Wrap(iy, period)), seed);
    float angle = HashUnit(h) * 6.2831853f;
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

} // namespace

float TorusNoise(float x, float y, int period, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float dx = x - fx, dy = y - fy;
    float n00 = Gradient(ix, iy, period, seed, dx, dy);
    float n10 = Gradient(ix + 1, iy, period, seed, dx - 1, dy);
    float n01 = Gradient(ix, iy + 1, period, seed, dx, dy - 1);
    float n11 = Gradient(ix + 1, iy + 1, period, seed, dx - 1, dy - 1);
    float u = Fade(dx), v = Fade(dy);
    float a = n00 + (n10 - n00) * u, b = n01 + (n11 - n01) * u;
    return (a + (b - a) * v) * 1.41f;
}

float TorusFbm(float u, float v, int basePeriod, int octaves, float gain, uint32_t seed) {
    float sum = 0, amplitude = 1, norm = 0;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * TorusNoise(u * float(period) + Shift(i, 0.37f),
                                      v * float(period) + Shift(i, 0.61f), period, seed + uint32_t(i) * 977u);
        norm += amplitude;
        amplitude *= gain;
        period *= 2;
    }
    return sum / norm;
}

float TorusRidged(float u, float v, int basePeriod, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, norm = 0;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i) {
        float n =
            1 - std::fabs(TorusNoise(u * float(period) + Shift(i, 0.29f), v * float(period) + Shift(i, 0.53f),
                                     period, seed + uint32_t(i) * 131u));
        sum += amplitude * n * n;
        norm += amplitude;
        amplitude *= 0.5f;
        period *= 2;
    }
    return sum / norm;
}

CellSample TorusCells(float u, float v, int period, uint32_t seed) {
    float x = u * float(period), y = v * float(period);
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    CellSample best{1e9f, 1e9f, 0};
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            uint32_t h = Hash(uint32_t(Wrap(cx, period)), uint32_t(Wrap(cy, period)), seed);
            float px = float(cx) + HashUnit(h), py = float(cy) + HashUnit(Hash(h));
            float d = std::hypot(px - x, py - y);
            if (d < best.f1) {
                best.f2 = best.f1;
                best.f1 = d;
                best.cell = h;
            } else if (d < best.f2) {
                best.f2 = d;
            }
        }
    return best;
}

} // namespace assetgen
