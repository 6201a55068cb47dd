// Heads-up display and pointer art: the meter bar, the slow-frame turtle,
// the menu pointer and the mouse pointer.

#include <cmath>

#include "hull_kit.h"
#include "jobs.h"

namespace assetgen {

namespace {

// A light glassy bar (the game tints it grey, green or blue): a rounded
// tube with a bright highlight along the top and a darker lower half.
Image Meter() {
    return RenderSupersampled(256, 64, 4, [](float x, float y) {
        float d = SdBox({x, y}, {128, 32}, {124, 26}, 14);
        if (d > 0)
            return Rgba{1, 1, 1, 0};
        float v = (y - 6) / 52; // 0 top .. 1 bottom of the tube
        float body = 0.62f + 0.3f * std::sin(Clamp01(v) * 3.14159f);
        float gloss =
            std::exp(-std::pow((v - 0.2f) / 0.09f, 2.0f)) * 0.55f * SmoothStep(124, 100, std::fabs(x - 128));
        float rim = SmoothStep(-3, 0, d) * 0.3f;
        float c = Clamp01(body + gloss - rim);
        return Rgba{c, c, c, Clamp01(0.92f + gloss * 0.2f)};
    });
}

// A little turtle seen from above: green shell with plates, head up.
Image Turtle() {
    HullPlan s;
    s.width = 64;
    s.height = 48;
    Rgba skin = Hex(0x8DB85A);
    for (V2 leg : {V2{15, -11}, V2{15, 11}})
        s.layers.push_back(Part(
            [leg](V2 p) {
                return SdEllipse(p, leg, {6, 4});
            },
            Paint(skin, 0.3f), 0, 2.5f));
    s.layers.push_back(Part([](V2 p) { return SdEllipse(p, {0, -18}, {5.5f, 5}); }, Paint(skin, 0.4f), 0, 3));
    s.layers.push_back(Part(
        [](V2 p) {
            return SdCapsule(p, {0, 16}, {0, 21}, 1.8f);
        },
        Paint(skin, 0.3f), 0, 1.5f));
    s.layers.push_back(Part(
        [](V2 p) {
            return SdEllipse(p, {0, 1}, {15, 16});
        },
        [](V2 p, float depth) {
            float hx = p.x / 7.5f, hy = (p.y - 1) / 6.5f;
            float edge = std::min(std::fabs(Fract(hx + 0.5f * std::floor(hy)) - 0.5f),
                                  std::fabs(Fract(hy) - 0.5f) * 0.8f);
            Surface s = Plain(depth < 2.0f ? Hex(0xC8A050) : Hex(0x3F7A2C), 0.5f);
            if (edge > 0.42f && depth > 2.0f)
                s.albedo = Hex(0x24461A), s.relief = -0.4f;
            return s;
        },
        1.0f, 9));
    s.layers.push_back(Part(
        [](V2 p) {
            return SdCircle(p, {2.2f, -20}, 1.0f);
        },
        Paint(Hex(0x101010), 1), 3, 0.5f));
    s.rimColour = Hex(0xE0FFC0);
    return RenderHull(s);
}

// The menu pointer: a bright arrow pointing left, on black (the key colour).
// Its darkest pixels stay above black so the key never punches holes in it.
Image MenuPointer() {
    std::vector<V2> arrow = {{3, 16}, {16, 4}, {16, 11}, {29, 11}, {29, 21}, {16, 21}, {16, 28}};
    return RenderSupersampled(32, 32, 4, [&](float x, float y) {
        float d = SdPolygon({x, y}, arrow);
        if (d > 0.6f)
            return Rgba{0, 0, 0, 1};
        if (d > -1.2f)
            return Rgba{0.55f, 0.25f, 0.05f, 1};
        float t = Clamp01((y - 4) / 24);
        float sheen = std::exp(-std::pow((y - 12) / 3.0f, 2.0f)) * 0.4f;
        return Rgba{Clamp01(1.0f + sheen), Clamp01(0.85f - 0.35f * t + sheen), Clamp01(0.3f - 0.2f * t + sheen),
                    1};
    });
}

// The mouse pointer on opaque magenta, the key colour: hard edges (no
// blending with the key, which would leave a pink fringe), tip at the
// top-left corner, white with a black outline.
Image MousePointer() {
    std::vector<V2> arrow = {{0.5f, 0.5f}, {0.5f, 21}, {5.5f, 16.5f}, {9.5f, 25},
                             {13, 23.5f},  {9, 15.5f}, {16, 15.5f}};
    Image image(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            float d = SdPolygon({float(x) + 0.5f, float(y) + 0.5f}, arrow);
            Rgba c = Opaque(1, 0, 1);
            if (d <= 0.7f)
                c = Opaque(0, 0, 0);
            if (d < -0.8f)
                c = Opaque(1, 1, 1);
            image.At(x, y) = c;
        }
    return image;
}

} // namespace

void AddHudJobs(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& sink) {
        sink.Png("meter.png", Meter(), Backing::Alpha);
        sink.Png("turtleIcon.png", Turtle(), Backing::Alpha);
        sink.Bmp("mouse000004.bmp", MenuPointer());
        sink.Png("mouseart.png", MousePointer(), Backing::Opaque);
    });
}

} // namespace assetgen
