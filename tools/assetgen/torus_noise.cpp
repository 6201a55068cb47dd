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
    float px[9], py[9];
    uint32_t hash[9];
    int nearest = 0;
    float f1 = 1e9f, f2 = 1e9f;
    for (int k = 0; k < 9; ++k) {
        int cx = ix + k % 3 - 1, cy = iy + k / 3 - 1;
        hash[k] = Hash(uint32_t(Wrap(cx, period)), uint32_t(Wrap(cy, period)), seed);
        px[k] = float(cx) + HashUnit(hash[k]);
        py[k] = float(cy) + HashUnit(Hash(hash[k]));
        float d = std::hypot(px[k] - x, py[k] - y);
        if (d < f1) {
            f2 = f1, f1 = d, nearest = k;
        } else if (d < f2) {
            f2 = d;
        }
    }
    // Distance to the cell's wall: the nearest bisector to another point.
    float edge = 1e9f;
    for (int k = 0; k < 9; ++k) {
        if (k == nearest)
            continue;
        float dx = px[k] - px[nearest], dy = py[k] - py[nearest];
        float len = std::hypot(dx, dy);
        if (len < 1e-6f)
            continue;
        float mx = (px[k] + px[nearest]) * 0.5f, my = (py[k] + py[nearest]) * 0.5f;
        edge = std::min(edge, ((mx - x) * dx + (my - y) * dy) / len);
    }
    return {f1, f2, edge, hash[nearest]};
}

} // namespace assetgen
