#include "golden_scene.h"

#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
constexpr uint32_t kBackground = 0xFF202020u;

class SpriteGolden : public GoldenScene {
  protected:
    // An arrow pointing up: a yellow head over a blue shaft, transparent around.
    IDirect3DTexture8* Arrow() {
        return MakeTexture(16, 16, [](UINT x, UINT y) -> uint32_t {
            const int dx = std::abs(static_cast<int>(x) * 2 + 1 - 16);
            if (y < 8 && dx <= static_cast<int>(y) * 2 + 1)
                return 0xFFFFD000u;
            if (y >= 8 && x >= 6 && x < 10)
                return 0xFF3070FFu;
            return 0x00000000u;
        });
    }
    // Quadrants red, green / blue, white.
    IDirect3DTexture8* Checker() {
        return MakeTexture(8, 8, [](UINT x, UINT y) -> uint32_t {
            static const uint32_t colours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
            return colours[(y >= 4 ? 2 : 0) + (x >= 4 ? 1 : 0)];
        });
    }
    // A soft white disc fading to black, opaque: glow art.
    IDirect3DTexture8* Glow() {
        return MakeTexture(16, 16, [](UINT x, UINT y) -> uint32_t {
            const float dx = static_cast<float>(x) - 7.5f;
            const float dy = static_cast<float>(y) - 7.5f;
            const float level = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) / 8.0f);
            const auto v = static_cast<uint32_t>(level * 255.0f);
            return 0xFF000000u | (v << 16) | (v << 8) | v;
        });
    }
};

} // namespace

TEST_F(SpriteGolden, TextureRectAtNaturalSizeAndFlatBoxes) {
    Start(64, 64, kBackground);
    app.DrawTextureRect(Checker(), 4, 4, 12, 12, 0xFFFFFFFFu);
    app.DrawTextureRect(Arrow(), 20, 4, 36, 20, 0xFFFFFFFFu);
    app.DrawTextureRect(Arrow(), 40, 4, 56, 20, 0x00FF8080u); // tinted; the vertex alpha is ignored
    app.DrawTextureRect(nullptr, 4, 28, 60, 40, 0xFF008000u);
    app.DrawTextureRect(nullptr, 20, 34, 44, 60, 0x64FFFFFFu); // translucent white box
    ExpectMatchesGolden("texture_rect");
}

TEST_F(SpriteGolden, SpriteTurnsScalesAndFades) {
    Start(64, 64, kBackground);
    IDirect3DTexture8* arrow = Arrow();
    app.DrawSprite(arrow, 16, 16, 0.0f, 1.0f, 0xFFFFFFFFu, false);
    app.DrawSprite(arrow, 48, 16, kPi / 2, 1.0f, 0xFFFFFFFFu, false); // points left
    app.DrawSprite(arrow, 16, 46, 0.0f, 1.5f, 0xFFFF6060u, false);
    app.DrawSprite(arrow, 48, 48, -kPi / 4, 1.0f, 0x80FFFFFFu, false); // half faded, points up-right
    ExpectMatchesGolden("sprite");
}

TEST_F(SpriteGolden, AdditiveSpriteAddsLightAndBlackAddsNothing) {
    Start(64, 64, kBackground);
    app.DrawTextureRect(nullptr, 0, 0, 32, 64, 0xFF0000A0u);
    IDirect3DTexture8* glow = Glow();
    app.DrawSprite(glow, 32, 20, 0.0f, 2.0f, 0xFFFFFFFFu, true);
    app.DrawSprite(glow, 32, 46, 0.0f, 1.5f, 0xFFFF8000u, true);
    ExpectMatchesGolden("sprite_additive");
}

TEST_F(SpriteGolden, QuadTakesAnyFourCornersAndFlatColour) {
    Start(64, 64, kBackground);
    const float trapezoid[8] = {20, 4, 44, 4, 4, 30, 60, 30};
    app.DrawTextureQuad(Checker(), trapezoid, 0xFFFFFFFFu, false);
    const float flat[8] = {10, 36, 54, 40, 10, 60, 54, 56};
    app.DrawTextureQuad(nullptr, flat, 0x80FF0000u, false);
    ExpectMatchesGolden("quad");
}

TEST_F(SpriteGolden, AdditiveQuadsBrightenWhereTheyOverlap) {
    Start(64, 64, kBackground);
    // an alpha-blended draw first, as every frame has: additive drawing keeps
    // the blending switch as it finds it
    app.DrawTextureRect(nullptr, 0, 0, 64, 64, kBackground);
    IDirect3DTexture8* glow = Glow();
    const float left[8] = {4, 8, 40, 8, 4, 56, 40, 56};
    const float right[8] = {24, 8, 60, 8, 24, 56, 60, 56};
    app.DrawTextureQuad(glow, left, 0xFF40FF40u, true);
    app.DrawTextureQuad(glow, right, 0xFFFF4040u, true);
    ExpectMatchesGolden("quad_additive");
}

TEST_F(SpriteGolden, MappedQuadShowsTheChosenPartOfTheTexture) {
    Start(64, 64, kBackground);
    IDirect3DTexture8* checker = Checker();
    const float top[8] = {4, 4, 60, 4, 4, 28, 60, 28};
    const float greenOnly[8] = {0.5f, 0.0f, 1.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.5f};
    app.DrawMappedQuad(checker, top, greenOnly, 0xFFFFFFFFu);
    const float bottom[8] = {4, 34, 60, 34, 4, 60, 60, 60};
    const float twice[8] = {0, 0, 2, 0, 0, 1, 2, 1};
    app.DrawMappedQuad(checker, bottom, twice, 0xC0FFFFFFu);
    ExpectMatchesGolden("mapped_quad");
}

TEST_F(SpriteGolden, PointerSitsAtTheMouseWithItsOffset) {
    Start(64, 64, kBackground);
    IDirect3DTexture8* arrow = Arrow();
    app.mouseX = 10;
    app.mouseY = 6;
    app.DrawPointer(arrow, 0, 0);
    app.DrawPointer(arrow, 28, 30);
    ExpectMatchesGolden("pointer");
}

TEST_F(SpriteGolden, AlphaTestStillDiscardsAfterAnAdditiveDraw) {
    Start(64, 64, kBackground);
    app.DrawTextureRect(Checker(), 0, 0, 8, 8, 0xFFFFFFFFu);
    app.DrawSprite(Glow(), 40, 12, 0.0f, 1.0f, 0xFFFFFFFFu, true);
    // left half opaque green, right half bright red with alpha 4: never shown
    IDirect3DTexture8* split =
        MakeTexture(16, 16, [](UINT x, UINT) { return x < 8 ? 0xFF00C000u : 0x04FF0000u; });
    const float quad[8] = {8, 28, 56, 28, 8, 60, 56, 60};
    app.DrawTextureQuad(split, quad, 0xFFFFFFFFu, true);
    ExpectMatchesGolden("alpha_after_additive");
}

TEST_F(SpriteGolden, OversizedRectangleRepeatsTheTexture) {
    Start(64, 64, kBackground);
    app.DrawTextureRect(Checker(), 4, 4, 60, 36, 0xFFFFFFFFu);
    app.DrawTextureRect(Checker(), 4, 44, 8, 48, 0xFFFFFFFFu); // smaller: cropped to the red quadrant
    ExpectMatchesGolden("texture_wrap");
}

TEST_F(SpriteGolden, CounterClockwiseQuadIsCulledUnderCcwCulling) {
    Start(64, 64, kBackground);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    const float clockwise[8] = {4, 16, 28, 16, 4, 48, 28, 48};
    const float counterClockwise[8] = {60, 16, 36, 16, 60, 48, 36, 48};
    app.DrawTextureQuad(nullptr, clockwise, 0xFF00FF00u, false);
    app.DrawTextureQuad(nullptr, counterClockwise, 0xFFFF0000u, false);
    ExpectMatchesGolden("cull_ccw");
}
