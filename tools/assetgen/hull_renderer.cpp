#include "hull_renderer.h"

#include <cmath>

namespace assetgen {

namespace {

constexpr int kFactor = 4;

struct Texel {
    float height = -1e9f;
    Surface surface;
    bool inside = false;
};

float BevelProfile(float depth, float bevel) {
    float t = std::min(depth / std::max(bevel, 1e-3f), 1.0f);
    return bevel * std::sqrt(1 - (1 - t) * (1 - t));
}

struct V3 {
    float x, y, z;
};
V3 Normalize(V3 v) {
    float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
float Dot3(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

Image RenderHull(const HullPlan& plan) {
    int w = plan.width * kFactor, h = plan.height * kFactor;
    std::vector<Texel> grid(size_t(w) * size_t(h));
    float step = 1.0f / kFactor;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            V2 p = {(float(x) + 0.5f) * step - float(plan.width) * 0.5f,
                    (float(y) + 0.5f) * step - float(plan.height) * 0.5f};
            V2 m = {std::fabs(p.x), p.y};
            Texel& t = grid[size_t(y) * size_t(w) + size_t(x)];
            for (auto layer = plan.layers.rbegin(); layer != plan.layers.rend(); ++layer) {
                V2 q = layer->mirror ? m : p;
                float d = layer->shape(q);
                if (d < 0) {
                    t.inside = true;
                    t.surface = layer->surface(q, -d);
                    t.height = layer->elevation + BevelProfile(-d, layer->bevel) + t.surface.relief;
                    break;
                }
            }
        }
    const V3 light = Normalize({-0.62f, -0.72f, 0.85f});
    const V3 rim = Normalize({0.7f, 0.75f, 0.25f});
    const V3 half = Normalize({light.x, light.y, light.z + 1});
    Image big(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Texel& t = grid[size_t(y) * size_t(w) + size_t(x)];
            if (!t.inside)
                continue;
            auto heightAt = [&](int i, int j) {
                i = std::clamp(i, 0, w - 1);
                j = std::clamp(j, 0, h - 1);
                const Texel& n = grid[size_t(j) * size_t(w) + size_t(i)];
                return n.inside ? n.height : 0.0f;
            };
            float dx = (heightAt(x + 1, y) - heightAt(x - 1, y)) * 0.5f * kFactor;
            float dy = (heightAt(x, y + 1) - heightAt(x, y - 1)) * 0.5f * kFactor;
            V3 n = Normalize({-dx, -dy, 1.0f});
            float diffuse = std::max(0.0f, Dot3(n, light));
            float rimLight = std::pow(std::max(0.0f, Dot3(n, rim)), 2.0f) * 0.45f;
            float highlight = std::pow(std::max(0.0f, Dot3(n, half)), 12.0f + 60.0f * t.surface.gloss) *
                              t.surface.gloss * 0.9f;
            const Surface& s = t.surface;
            float lit = 0.22f + 0.95f * diffuse;
            float e = s.emissive;
            auto channel = [&](float albedo, float rimTint) {
                return albedo * (lit * (1 - e) + e * 1.15f) + highlight + rimLight * rimTint * (1 - e);
            };
            big.At(x, y) = {channel(s.albedo.r, plan.rimColour.r), channel(s.albedo.g, plan.rimColour.g),
                            channel(s.albedo.b, plan.rimColour.b), s.opacity};
        }
    return Downsample(big, kFactor);
}

} // namespace assetgen
