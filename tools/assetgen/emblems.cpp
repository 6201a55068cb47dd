// The three intro emblems: abstract marks of our own (a ringed planet, a
// hexagon with a spark, a shield with a rising ship), each with a line of
// lettering.

#include <cmath>

#include "hull_kit.h"
#include "jobs.h"
#include "text_effects.h"

namespace assetgen {

namespace {

LetterStyle Caption(int pixels, Rgba colour, Rgba glow) {
    LetterStyle s;
    s.pixelHeight = pixels;
    s.top = Mix(colour, Opaque(1, 1, 1), 0.6f);
    s.middle = colour;
    s.bottom = Shade(colour, 0.6f);
    s.glow = glow;
    s.glowRadius = 4;
    s.glowStrength = 0.6f;
    s.outlineWidth = 1.5f;
    s.bevel = 1.5f;
    s.letterSpacing = 1.5f;
    return s;
}

Image RingedPlanet(int side) {
    HullPlan s;
    s.width = s.height = side;
    float R = float(side) * 0.5f;
    s.layers.push_back(
        HullLayer{[R](V2 p) {
                      V2 q = Rotate(p, -0.35f);
                      return std::fabs(SdEllipse(q, {0, 0}, {R * 0.95f, R * 0.3f})) - R * 0.05f;
                  },
                  Paint(Hex(0xF0C060), 0.6f), 0, R * 0.05f, false});
    s.layers.push_back(HullLayer{[R](V2 p) {
                                     return SdCircle(p, {0, 0}, R * 0.55f);
                                 },
                                 [R](V2 p, float) {
                                     float band = std::sin(p.y / R * 14) * 0.5f + 0.5f;
                                     return Plain(Mix(Hex(0x3A7BD5), Hex(0x6FD0FF), band), 0.5f);
                                 },
                                 R * 0.05f, R * 0.5f, false});
    // The ring passes in front of the planet's lower half.
    s.layers.push_back(
        HullLayer{[R](V2 p) {
                      V2 q = Rotate(p, -0.35f);
                      float ring = std::fabs(SdEllipse(q, {0, 0}, {R * 0.95f, R * 0.3f})) - R * 0.05f;
                      return Intersect(ring, -q.y);
                  },
                  Paint(Hex(0xF0C060), 0.6f), R * 0.6f, R * 0.05f, false});
    return RenderHull(s);
}

Image HexSpark(int side) {
    HullPlan s;
    s.width = s.height = side;
    float R = float(side) * 0.5f;
    std::vector<V2> hex;
    for (int i = 0; i < 6; ++i)
        hex.push_back({R * 0.92f * std::sin(float(i) * 1.0472f), -R * 0.92f * std::cos(float(i) * 1.0472f)});
    s.layers.push_back(HullLayer{[hex](V2 p) { return SdPolygon(p, hex); },
                                 Trimmed(Hex(0x1C2A4A), Hex(0x8FB8FF), R * 0.12f, 0.6f), 0, R * 0.15f,
                                 false});
    s.layers.push_back(HullLayer{[R](V2 p) {
                                     return SdStar(p, {0, 0}, R * 0.62f, R * 0.16f, 4, 0);
                                 },
                                 Glow(Hex(0xFFE9A0)), R * 0.1f, R * 0.1f, false});
    return RenderHull(s);
}

Image ShieldShip(int side) {
    HullPlan s;
    s.width = s.height = side;
    float R = float(side) * 0.5f;
    s.layers.push_back(
        Part(Outline({{0, -0.95f * R}, {0.8f * R, -0.7f * R}, {0.75f * R, 0.1f * R}, {0, 0.95f * R}}),
             Trimmed(Hex(0x7A1010), Hex(0xF0C050), R * 0.1f, 0.5f), 0, R * 0.12f));
    s.layers.push_back(Part(Outline({{0, -0.65f * R},
                                     {0.12f * R, -0.3f * R},
                                     {0.45f * R, 0.25f * R},
                                     {0.12f * R, 0.2f * R},
                                     {0, 0.35f * R}}),
                            Plated(Hex(0xF2F4F8), R * 0.2f, 0.7f), R * 0.12f, R * 0.08f));
    s.layers.push_back(Part(
        [R](V2 p) {
            return SdEllipse(p, {0, 0.5f * R}, {0.06f * R, 0.18f * R});
        },
        Glow(Hex(0xFFB040)), R * 0.1f, R * 0.05f));
    return RenderHull(s);
}

Image Compose(const Image& emblem, const Image& words, int width, int height, bool emblemAbove) {
    Image out(width, height);
    if (emblemAbove) {
        DrawOver(out, emblem, (width - emblem.width) / 2, 4);
        DrawOver(out, words, (width - words.width) / 2, height - words.height);
    } else {
        DrawOver(out, emblem, 8, (height - emblem.height) / 2);
        DrawOver(out, words, emblem.width + 8, (height - words.height) / 2);
    }
    return out;
}

} // namespace

void AddEmblemJobs(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& sink) {
        Image words = StyledText("ONE-BUTTON ARCADE", Caption(26, Hex(0x8CC8FF), Hex(0x2060FF)), 300, 60);
        sink.Png("WX-logo1.png", Compose(RingedPlanet(84), words, 400, 96, false), Backing::Alpha);
    });
    jobs.push_back([](AssetSink& sink) {
        Image words = StyledText("MADE WITH ONE KEY", Caption(24, Hex(0xFFE08A), Hex(0xFF9020)), 300, 56);
        sink.Png("TJ-logo1.png", Compose(HexSpark(72), words, 390, 84, false), Backing::Alpha);
    });
    jobs.push_back([](AssetSink& sink) {
        Image words = StyledText("PRESS ANY KEY", Caption(28, Hex(0xF0F0F8), Hex(0xFF4020)), 360, 52);
        sink.Png("PMK-logo1.png", Compose(ShieldShip(100), words, 360, 156, true), Backing::Alpha);
    });
}

} // namespace assetgen
