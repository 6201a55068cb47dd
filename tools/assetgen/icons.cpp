#include "icons.h"

#include <cmath>
#include <filesystem>
#include <numbers>

#include "writers.h"

namespace assetgen {

namespace {

// The ship plan drawn `scale` times larger, turned by `angle` (clockwise on
// the screen). Mirroring happens before the turn, so both wings stay alike.
HullPlan Turned(const HullPlan& plan, float scale, float angle, int size) {
    HullPlan out;
    out.width = out.height = size;
    out.rimColour = plan.rimColour;
    for (const HullLayer& layer : plan.layers) {
        auto local = [=, mirror = layer.mirror](V2 p) {
            V2 q = Rotate(p * (1.0f / scale), -angle);
            if (mirror)
                q.x = std::fabs(q.x);
            return q;
        };
        HullLayer turned;
        turned.mirror = false;
        turned.elevation = layer.elevation * scale;
        turned.bevel = layer.bevel * scale;
        turned.shape = [=, shape = layer.shape](V2 p) { return shape(local(p)) * scale; };
        turned.surface = [=, surface = layer.surface](V2 p, float depth) {
            Surface s = surface(local(p), depth / scale);
            s.relief *= scale;
            return s;
        };
        out.layers.push_back(turned);
    }
    return out;
}

// Deep blue disc, brighter towards the upper left, with a thin blue rim.
Image RenderBadge(int size) {
    float centre = float(size) * 0.5f, radius = float(size) * 0.47f;
    float rim = std::max(1.0f, float(size) * 0.035f);
    return RenderSupersampled(size, size, 4, [=](float x, float y) {
        float d = std::hypot(x - centre, y - centre);
        if (d > radius)
            return Rgba{};
        float glow = Clamp01(1 - std::hypot(x - centre * 0.7f, y - centre * 0.7f) / (radius * 1.6f));
        Rgba space = Mix(Hex(0x050816), Hex(0x1B2F66), glow);
        return d > radius - rim ? Hex(0x2F7BFF) : space;
    });
}

} // namespace

Image RenderIcon(int size) {
    Image icon = RenderBadge(size);
    float scale = float(size) / 48.0f * 0.82f;
    DrawOver(icon, RenderHull(Turned(PlayerShipPlan(0), scale, std::numbers::pi_v<float> / 4, size)), 0, 0);
    return icon;
}

bool WriteIcons(const std::string& buildDir, const std::string& appId) {
    bool ok = true;
    for (int size : kIconSizes) {
        std::string edge = std::to_string(size);
        std::filesystem::path dir =
            std::filesystem::path(buildDir) / "icons/hicolor" / (edge + "x" + edge) / "apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        ok = WritePng((dir / (appId + ".png")).string(), RenderIcon(size), false) && ok;
    }
    return ok;
}

} // namespace assetgen
