#include "engine/bitmap.h"
#include "engine/video_list.h"

#include "sprite_test_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::FloatNear;
using ::testing::Pointwise;

namespace {

using RD = RecordingDevice;

class SpriteDrawing : public SpriteTestApp {
  protected:
    // A bitmap showing a texture of the given size; the texture is the test's.
    Bitmap& Art(UINT width, UINT height) {
        if (bitmap)
            bitmap->texture = nullptr;
        texture = std::make_unique<FakeTexture>(width, height, D3DFMT_A8R8G8B8);
        bitmap = std::make_unique<Bitmap>("dat\\missing.png");
        bitmap->texture = texture.get();
        return *bitmap;
    }
    void TearDown() override {
        if (bitmap)
            bitmap->texture = nullptr;
        SpriteTestApp::TearDown();
    }
    std::unique_ptr<FakeTexture> texture;
    std::unique_ptr<Bitmap> bitmap;
};

std::vector<float> Near(std::initializer_list<float> values) {
    return values;
}

} // namespace

TEST_F(SpriteDrawing, DrawCenteredTruncatesThenRoundsHalvesDown) {
    Art(33, 20).DrawCentered(100.9f, 50.2f, 7);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_THAT(Corners(), ElementsAre(84, 40, 117, 40, 84, 60, 117, 60));
    // the last texel column and row sit at u, v = 1 one pixel before the edge
    EXPECT_THAT(Uvs(), Pointwise(FloatNear(1e-6f),
                                 Near({0, 0, 33.0f / 32, 0, 0, 20.0f / 19, 33.0f / 32, 20.0f / 19})));
    for (const ScreenVertex& v : device.draws[0].vertices) {
        EXPECT_EQ(v.diffuse, 0xFFFFFFFFu);
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_EQ(v.rhw, 1.0f);
    }

    // truncation goes toward zero on the left of the screen too
    Art(10, 10).DrawCentered(-0.7f, -3.9f);
    EXPECT_THAT(Corners(), ElementsAre(-5, -8, 5, -8, -5, 2, 5, 2));
}

TEST_F(SpriteDrawing, NonFinitePositionsAndMissingTexturesDrawNothing) {
    Bitmap& art = Art(16, 16);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    art.DrawCentered(nan, 10);
    art.DrawCentered(10, -inf);
    art.DrawRotated(inf, 0, 0, 1, 255, 255, 255, 255);
    art.DrawRotatedGlow(0, nan, 0, 1, 255, 255, 255, 255);
    EXPECT_TRUE(device.draws.empty());

    // huge but finite positions are clamped, not overflowed
    art.DrawCentered(1e30f, -1e30f);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_GT(Corners()[0], 1e9f);
    EXPECT_LT(Corners()[1], -1e9f);

    device.draws.clear();
    Bitmap empty("dat\\missing.png");
    int32_t width = -1;
    int32_t height = -1;
    EXPECT_FALSE(empty.GetSize(&width, &height));
    EXPECT_EQ(width, -1);
    EXPECT_EQ(height, -1);
    empty.DrawCentered(50, 50);
    empty.DrawRotated(50, 50, 0, 1, 255, 255, 255, 255);
    app.DrawPointer(nullptr, 0, 0);
    EXPECT_TRUE(device.draws.empty());

    // flat quads need no texture
    const float points[8] = {0, 0, 10, 0, 0, 10, 10, 10};
    empty.DrawQuad(points, 255, 0, 0, 100, false);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].vertices[0].diffuse, 0x64FF0000u);
}

TEST_F(SpriteDrawing, DrawRotatedTurnsCounterClockwiseAboutTheCentre) {
    Bitmap& art = Art(40, 20);
    art.DrawRotated(100.6f, 100.2f, 0.0f, 1.0f, 255, 255, 255, 255);
    EXPECT_THAT(Corners(), Pointwise(FloatNear(1e-4f), Near({80, 90, 120, 90, 80, 110, 120, 110})));
    art.DrawCentered(100.6f, 100.2f);
    EXPECT_THAT(Corners(), ElementsAre(80, 90, 120, 90, 80, 110, 120, 110));

    // upright: the former top edge (corners 0 and 1) now runs down the left side
    art.DrawRotated(100, 100, 3.1415927f / 2, 1.0f, 255, 255, 255, 255);
    EXPECT_THAT(Corners(), Pointwise(FloatNear(1e-4f), Near({90, 120, 90, 80, 110, 120, 110, 80})));
    EXPECT_THAT(Uvs(), ElementsAre(0, 0, 1, 0, 0, 1, 1, 1));

    art.DrawRotated(100, 100, 0.0f, 0.5f, 255, 255, 255, 255);
    EXPECT_THAT(Corners(), Pointwise(FloatNear(1e-4f), Near({90, 95, 110, 95, 90, 105, 110, 105})));

    art.DrawRotated(100, 100, 1.0f, 0.0f, 255, 255, 255, 255);
    for (float coordinate : Corners())
        EXPECT_FLOAT_EQ(coordinate, 100.0f);
}

TEST_F(SpriteDrawing, ColoursPackWithOnlyTheLowByteOfEachChannel) {
    EXPECT_EQ(PackColour(255, 128, 1, 255), 0xFFFF8001u);
    EXPECT_EQ(PackColour(-1, 256, 0x1AB, 0x107), 0x07FF00ABu);
    Bitmap& art = Art(8, 8);
    art.DrawRotated(10, 10, 0, 1, 10, 20, 30, 0);
    EXPECT_EQ(device.draws.back().vertices[3].diffuse, 0x000A141Eu);
}

TEST_F(SpriteDrawing, TextureRectMapsOneTexelPerPixelAndRepeatsBeyond) {
    FakeTexture art(16, 8, D3DFMT_A8R8G8B8);
    app.DrawTextureRect(&art, 10, 20, 10 + 46, 20 + 15, 0xFF808080u);
    EXPECT_THAT(Corners(), ElementsAre(10, 20, 56, 20, 10, 35, 56, 35));
    EXPECT_THAT(
        Uvs(), Pointwise(FloatNear(1e-6f), Near({0, 0, 46.0f / 15, 0, 0, 15.0f / 7, 46.0f / 15, 15.0f / 7})));

    // a smaller rectangle crops at the right and bottom
    app.DrawTextureRect(&art, 0, 0, 4, 2, 0xFFFFFFFFu);
    EXPECT_THAT(Uvs(),
                Pointwise(FloatNear(1e-6f), Near({0, 0, 4.0f / 15, 0, 0, 2.0f / 7, 4.0f / 15, 2.0f / 7})));

    // without a texture the rectangle is exactly filled with the colour
    app.DrawTextureRect(nullptr, 3, 4, 30, 40, 0x64102030u);
    EXPECT_THAT(Corners(), ElementsAre(3, 4, 30, 4, 3, 40, 30, 40));
    EXPECT_EQ(device.draws.back().vertices[2].diffuse, 0x64102030u);
    EXPECT_EQ(device.textures[0], nullptr);
}

TEST_F(SpriteDrawing, QuadsCopyCornersAndPointerSitsAtTheMouse) {
    FakeTexture art(12, 6, D3DFMT_A8R8G8B8);
    const float points[8] = {1.5f, 2, 30, 3, 4, 40, 50, 60};
    const float uvs[8] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f};
    app.DrawTextureQuad(&art, points, 0xFFFFFFFFu, true);
    EXPECT_THAT(Corners(), ElementsAreArray(points));
    EXPECT_THAT(Uvs(), ElementsAre(0, 0, 1, 0, 0, 1, 1, 1));
    app.DrawMappedQuad(&art, points, uvs, 0xFFFFFFFFu);
    EXPECT_THAT(Uvs(), ElementsAreArray(uvs));

    app.mouseX = 200;
    app.mouseY = 150;
    app.DrawPointer(&art, -2, 3);
    EXPECT_THAT(Corners(), ElementsAre(198, 153, 210, 153, 198, 159, 210, 159));
    EXPECT_EQ(device.draws.back().vertices[0].diffuse, 0xFFFFFFFFu);
}

TEST_F(SpriteDrawing, EveryOperationFollowsTheCommonSequence) {
    FakeTexture art(8, 8, D3DFMT_A8R8G8B8);
    app.material.Diffuse = {0.5f, 0.5f, 0.5f, 0.5f};
    app.DrawTextureRect(&art, 0, 0, 8, 8, 0xFFFFFFFFu);
    ASSERT_GE(device.calls.size(), 6u);
    EXPECT_EQ(device.calls[0], "MAT");
    EXPECT_EQ(device.calls[1], "TEX 0 texture");
    EXPECT_FLOAT_EQ(device.lastMaterial.Diffuse.a, 0.5f);
    const std::vector<std::string> tail(device.calls.end() - 6, device.calls.end());
    EXPECT_THAT(tail, ElementsAre("STREAM 0 28", "VS 324", RD::TSS(0, D3DTSS_MINFILTER, D3DTEXF_POINT),
                                  RD::TSS(0, D3DTSS_MAGFILTER, D3DTEXF_POINT),
                                  RD::TSS(0, D3DTSS_MIPFILTER, D3DTEXF_NONE), "DRAW 5 0 2"));
    EXPECT_EQ(device.stream, app.spriteQuad->vertexBuffer);
}

TEST_F(SpriteDrawing, StateTablePerOperation) {
    FakeTexture art(8, 8, D3DFMT_A8R8G8B8);
    const float points[8] = {0, 0, 8, 0, 0, 8, 8, 8};
    using S = std::vector<std::string>;
    const S alphaBlend = {RD::RS(D3DRS_ALPHABLENDENABLE, TRUE),
                          RD::RS(D3DRS_ALPHATESTENABLE, TRUE),
                          RD::RS(D3DRS_ALPHAREF, 8),
                          RD::RS(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL),
                          RD::RS(D3DRS_EDGEANTIALIAS, FALSE),
                          RD::RS(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
                          RD::RS(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA)};
    const S additive = {RD::RS(D3DRS_SRCBLEND, D3DBLEND_ONE), RD::RS(D3DRS_DESTBLEND, D3DBLEND_ONE),
                        RD::RS(D3DRS_LIGHTING, FALSE), RD::RS(D3DRS_SHADEMODE, D3DSHADE_FLAT)};
    const S filters = {RD::TSS(0, D3DTSS_MINFILTER, D3DTEXF_POINT),
                       RD::TSS(0, D3DTSS_MAGFILTER, D3DTEXF_POINT),
                       RD::TSS(0, D3DTSS_MIPFILTER, D3DTEXF_NONE)};
    const S plainCoordinates = {RD::TSS(0, D3DTSS_TEXCOORDINDEX, 0),
                                RD::TSS(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE)};
    const S stage1Off = {RD::TSS(1, D3DTSS_COLOROP, D3DTOP_DISABLE),
                         RD::TSS(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE)};
    const S opsOnly = {RD::TSS(0, D3DTSS_COLOROP, D3DTOP_MODULATE),
                       RD::TSS(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE)};
    auto stage0 = [](DWORD alphaOp) {
        return S{RD::TSS(0, D3DTSS_COLOROP, D3DTOP_MODULATE), RD::TSS(0, D3DTSS_COLORARG1, D3DTA_TEXTURE),
                 RD::TSS(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE), RD::TSS(0, D3DTSS_ALPHAOP, alphaOp),
                 RD::TSS(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE), RD::TSS(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE)};
    };
    auto join = [](std::initializer_list<S> parts) {
        S all;
        for (const S& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const S restoreAfterGlow = {RD::RS(D3DRS_LIGHTING, TRUE), RD::RS(D3DRS_CULLMODE, D3DCULL_NONE),
                                RD::RS(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
                                RD::RS(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA),
                                RD::RS(D3DRS_SHADEMODE, D3DSHADE_GOURAUD)};

    app.DrawTextureRect(&art, 0, 0, 8, 8, 0xFFFFFFFFu);
    EXPECT_EQ(device.StatesOfLastDraw(), join({stage0(D3DTOP_SELECTARG1), alphaBlend, filters})) << "rect";
    app.DrawSprite(&art, 4, 4, 0, 1, 0xFFFFFFFFu, false);
    EXPECT_EQ(device.StatesOfLastDraw(),
              join({stage0(D3DTOP_MODULATE), alphaBlend, plainCoordinates, stage1Off, filters}))
        << "sprite";
    app.DrawSprite(&art, 4, 4, 0, 1, 0xFFFFFFFFu, true);
    EXPECT_EQ(device.StatesOfLastDraw(), join({opsOnly, additive, stage1Off, filters, restoreAfterGlow}))
        << "glow sprite";
    app.DrawTextureQuad(&art, points, 0xFFFFFFFFu, false);
    EXPECT_EQ(device.StatesOfLastDraw(), join({stage0(D3DTOP_SELECTARG1), alphaBlend, filters})) << "quad";
    app.DrawTextureQuad(&art, points, 0xFFFFFFFFu, true);
    EXPECT_EQ(device.StatesOfLastDraw(), join({opsOnly, additive, stage1Off, filters})) << "glow quad";
    app.DrawMappedQuad(&art, points, points, 0xFFFFFFFFu);
    EXPECT_EQ(device.StatesOfLastDraw(),
              join({stage0(D3DTOP_MODULATE), alphaBlend, plainCoordinates, stage1Off, filters}))
        << "mapped";
    app.DrawPointer(&art, 0, 0);
    EXPECT_EQ(device.StatesOfLastDraw(),
              (S{RD::TSS(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), RD::TSS(0, D3DTSS_COLORARG1, D3DTA_TEXTURE),
                 RD::TSS(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), RD::TSS(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE),
                 RD::TSS(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE), RD::RS(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
                 RD::RS(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA), RD::RS(D3DRS_ALPHABLENDENABLE, TRUE)}))
        << "pointer";
}

TEST_F(SpriteDrawing, NoSpriteQuadMeansNoDeviceCalls) {
    FakeTexture art(8, 8, D3DFMT_A8R8G8B8);
    const float points[8] = {0, 0, 8, 0, 0, 8, 8, 8};
    auto drawAll = [&] {
        app.DrawTextureRect(&art, 0, 0, 8, 8, 0xFFFFFFFFu);
        app.DrawSprite(&art, 4, 4, 0, 1, 0xFFFFFFFFu, true);
        app.DrawTextureQuad(nullptr, points, 0xFFFFFFFFu, false);
        app.DrawMappedQuad(&art, points, points, 0xFFFFFFFFu);
        app.DrawPointer(&art, 0, 0);
    };
    app.spriteQuad->created = 0;
    drawAll();
    EXPECT_TRUE(device.calls.empty());
    app.spriteQuad->created = 1;

    VideoDataObject* quad = app.spriteQuad;
    app.spriteQuad = nullptr;
    drawAll();
    EXPECT_TRUE(device.calls.empty());
    app.spriteQuad = quad;
}
