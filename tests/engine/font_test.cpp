#include "engine/font.h"

#include "recording_device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using ::testing::ElementsAre;

namespace {

// A font on the recording device with a made-up atlas: every glyph 10 pixels
// wide and 16 high, 'W' 20 wide, so layouts can be checked by hand.
class FontLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        font.device = &device;
        font.textureWidth = font.textureHeight = 256;
        for (int code = 32; code < 127; ++code) {
            const float left = static_cast<float>((code - 32) % 8) * 32.0f / 256.0f;
            const float width = (code == 'W' ? 20.0f : 10.0f) / 256.0f;
            font.glyphCoords[code - 32] = {left, 0.0f, left + width, 16.0f / 256.0f};
        }
        ASSERT_EQ(font.RestoreDeviceObjects(), 0);
        device.calls.clear();
    }
    // Left x of each glyph quad drawn, in order, over all batches.
    std::vector<float> GlyphLefts() const {
        std::vector<float> lefts;
        for (const auto& draw : device.draws)
            for (size_t i = 0; i < draw.vertices.size(); i += 6)
                lefts.push_back(draw.vertices[i].x + 0.5f);
        return lefts;
    }
    std::vector<float> GlyphTops() const {
        std::vector<float> tops;
        for (const auto& draw : device.draws)
            for (size_t i = 0; i < draw.vertices.size(); i += 6)
                tops.push_back(draw.vertices[i + 1].y + 0.5f);
        return tops;
    }

    RecordingDevice device;
    Font font{"Verdana", 12, 0};
};

} // namespace

TEST_F(FontLayout, MeasureTakesWidestLineAndOneSpaceHeightPerLine) {
    SIZE size{};
    EXPECT_EQ(font.MeasureText("AB\nWWW\n", &size), 0);
    EXPECT_EQ(size.cx, 60);
    EXPECT_EQ(size.cy, 48);
    EXPECT_EQ(font.MeasureText("A\t\x80\xff", &size), 0);
    EXPECT_EQ(size.cx, 10);
    EXPECT_EQ(font.MeasureText(nullptr, &size), E_FAIL);
    EXPECT_EQ(font.MeasureText("A", nullptr), E_FAIL);
}

TEST_F(FontLayout, CentredLinesShareTheStartOfTheWidest) {
    font.DrawText(100, 50, 300, 400, nullptr, 0xFFFFFFFFu, "A\nWW", FontCentred);
    // widest line 40: (300 - 100 - 40) / 2 = 80
    EXPECT_THAT(GlyphLefts(), ElementsAre(180, 180, 200));
    EXPECT_THAT(GlyphTops(), ElementsAre(50, 66, 66));
}

TEST_F(FontLayout, RightAlignmentAndItsSumWithCentring) {
    font.DrawText(100, 0, 300, 100, nullptr, 0xFFFFFFFFu, "AAAAA", FontRightAligned);
    EXPECT_EQ(GlyphLefts().front(), 250);

    device.draws.clear();
    // both flags add up, and the halving rounds toward zero: a 50-wide text in
    // a 35-wide box starts at 100 + (-15 / 2) + (-15) = 78
    font.DrawText(100, 0, 135, 100, nullptr, 0xFFFFFFFFu, "AAAAA", FontCentred | FontRightAligned);
    EXPECT_THAT(GlyphLefts(), ElementsAre(100, 108, 118));

    device.draws.clear();
    // vertical centring: (100 - 16) / 2
    font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "A", FontCentredVertical);
    EXPECT_EQ(GlyphTops().front(), 42);
}

TEST_F(FontLayout, LongLinesDrawInBatchesOfFifty) {
    font.DrawText(0, 0, 2000, 100, nullptr, 0xFFFFFFFFu, std::string(120, 'A').c_str(), 0);
    ASSERT_EQ(device.draws.size(), 3u);
    EXPECT_EQ(device.draws[0].type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(device.draws[0].primitives, 100u);
    EXPECT_EQ(device.draws[1].primitives, 100u);
    EXPECT_EQ(device.draws[2].primitives, 40u);
    EXPECT_EQ(GlyphLefts()[119], 1190);
}

TEST_F(FontLayout, HighCodesAndControlsNeitherDrawNorAdvance) {
    font.DrawText(0, 0, 200, 100, nullptr, 0xFFFFFFFFu,
                  "A\x80\xff\t\x01"
                  "B",
                  0);
    EXPECT_THAT(GlyphLefts(), ElementsAre(0, 10));
}

TEST_F(FontLayout, ClippedGlyphsKeepTheirPlaceAndLoseTexture) {
    // 10 glyphs of 10 pixels centred in a 40-pixel box start 30 left of it;
    // only the four inside it are drawn, at their usual places
    RECT clip{0, 0, 1000, 1000};
    font.DrawText(100, 0, 140, 100, &clip, 0xFFFFFFFFu, "AAAAAAAAAA", FontCentred);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].primitives, 8u);
    EXPECT_THAT(GlyphLefts(), ElementsAre(100, 110, 120, 130));
    EXPECT_FLOAT_EQ(device.draws[0].vertices[1].u, font.glyphCoords['A' - 32].left);

    device.draws.clear();
    // a clip rectangle narrower than the box cuts a glyph in half
    RECT half{0, 0, 105, 1000};
    font.DrawText(100, 0, 300, 100, &half, 0xFFFFFFFFu, "AB", 0);
    ASSERT_EQ(device.draws.size(), 1u);
    const auto& cut = device.draws[0].vertices;
    EXPECT_FLOAT_EQ(cut[2].x, 104.5f);
    const GlyphCoords& a = font.glyphCoords['A' - 32];
    EXPECT_NEAR(cut[2].u, a.left + (a.right - a.left) / 2, 1e-6f);
}

TEST_F(FontLayout, GradientRunsFromTopToBottomCorners) {
    font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "A", 0, 0xFF808080u);
    const auto& v = device.draws.at(0).vertices;
    EXPECT_THAT(std::vector<uint32_t>(
                    {v[0].diffuse, v[1].diffuse, v[2].diffuse, v[3].diffuse, v[4].diffuse, v[5].diffuse}),
                ElementsAre(0xFF808080u, 0xFFFFFFFFu, 0xFF808080u, 0xFFFFFFFFu, 0xFF808080u, 0xFFFFFFFFu));
    EXPECT_FLOAT_EQ(v[0].z, 0.9f);

    device.draws.clear();
    font.DrawText(0, 0, 100, 100, nullptr, 0xFF00FF00u, "A", 0, 0);
    EXPECT_EQ(device.draws.at(0).vertices[0].diffuse, 0xFF00FF00u);
}

TEST_F(FontLayout, DrawingLeavesTheDeviceAsItFoundIt) {
    device.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device.SetRenderState(D3DRS_ALPHAREF, 100);
    device.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    const auto renderBefore = device.renderStates;
    const auto stageBefore = device.stageStates;

    font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "Hi", FontFiltered);
    EXPECT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.renderStates[D3DRS_CULLMODE], static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(device.renderStates[D3DRS_ALPHAREF], 100u);
    EXPECT_EQ((device.stageStates[{0, D3DTSS_MINFILTER}]), static_cast<DWORD>(D3DTEXF_LINEAR));
    for (const auto& [state, value] : renderBefore)
        EXPECT_EQ(device.renderStates[state], value) << "render state " << state;
    for (const auto& [key, value] : stageBefore)
        EXPECT_EQ(device.stageStates[key], value) << "stage state " << key.second;

    // only control characters: state captured and restored, nothing drawn
    device.calls.clear();
    device.draws.clear();
    EXPECT_EQ(font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "\n\t", 0), 0);
    EXPECT_TRUE(device.draws.empty());
    EXPECT_EQ(device.calls.front(), "CAPTURE");
    EXPECT_EQ(device.calls.back(), "APPLY");

    // an empty text touches nothing
    device.calls.clear();
    EXPECT_EQ(font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "", 0), 0);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(FontLayout, WithoutDeviceOrBufferNothingIsDrawn) {
    font.InvalidateDeviceObjects();
    EXPECT_EQ(device.liveStateBlocks, 0);
    EXPECT_EQ(font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "A", 0), 0);
    EXPECT_TRUE(device.calls.empty());

    device.vertexBufferResult = D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_EQ(font.RestoreDeviceObjects(), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "A", 0), 0);
    EXPECT_TRUE(device.draws.empty());

    font.DeleteDeviceObjects();
    EXPECT_EQ(font.DrawText(0, 0, 100, 100, nullptr, 0xFFFFFFFFu, "A", 0), E_FAIL);
}

TEST(FontAtlas, SizeFollowsTheFontAndTheDeviceLimit) {
    RecordingDevice device;
    for (auto [size, expected] : {std::pair{7, 256u}, {20, 256u}, {21, 512u}, {40, 512u}, {41, 1024u}}) {
        Font font("Verdana", size, 0);
        font.CreateDeviceObjects(&device);
        EXPECT_EQ(font.textureWidth, expected) << size;
        EXPECT_EQ(font.textureHeight, expected) << size;
        EXPECT_EQ(font.textScale, 1.0f);
        EXPECT_EQ(device.createdTextures.back()->format, D3DFMT_A4R4G4B4);
    }
    device.caps.MaxTextureWidth = 256;
    Font big("Verdana", 50, 0);
    big.CreateDeviceObjects(&device);
    EXPECT_EQ(big.textureWidth, 256u);
    EXPECT_FLOAT_EQ(big.textScale, 0.25f);

    // unreadable caps keep the full size rather than a zero scale
    device.caps.MaxTextureWidth = 0;
    Font unknown("Verdana", 50, 0);
    unknown.CreateDeviceObjects(&device);
    EXPECT_EQ(unknown.textureWidth, 1024u);
    EXPECT_EQ(unknown.textScale, 1.0f);
}

TEST(FontAtlas, GlyphsSitInRowsOnePixelApartAsWhiteCoverage) {
    RecordingDevice device;
    Font font("Verdana", 20, 0);
    ASSERT_EQ(font.CreateDeviceObjects(&device), 0);
    FakeTexture& atlas = *device.createdTextures.back();
    const float w = static_cast<float>(font.textureWidth);
    const float h = static_cast<float>(font.textureHeight);
    int rows = 1;
    for (int code = 33; code <= 126; ++code) {
        const GlyphCoords& previous = font.glyphCoords[code - 33];
        const GlyphCoords& glyph = font.glyphCoords[code - 32];
        EXPECT_GT(glyph.right, glyph.left) << code;
        if (glyph.left == 0.0f && previous.left != 0.0f) {
            ++rows;
            EXPECT_FLOAT_EQ(glyph.top * h, (previous.top + (glyph.bottom - glyph.top)) * h + 1) << code;
        } else {
            EXPECT_FLOAT_EQ(glyph.left * w, previous.right * w + 1) << code;
            EXPECT_FLOAT_EQ(glyph.top, previous.top) << code;
        }
        EXPECT_LE(glyph.right * w, w) << code;
    }
    EXPECT_GT(rows, 1);
    EXPECT_EQ(font.glyphCoords[127 - 32].right, 0.0f);

    int covered = 0;
    for (UINT y = 0; y < atlas.height; ++y)
        for (UINT x = 0; x < atlas.width; ++x) {
            const uint16_t texel = atlas.Texel16(x, y);
            if (texel == 0)
                continue;
            ++covered;
            ASSERT_EQ(texel & 0x0FFF, 0x0FFF) << x << "," << y;
        }
    EXPECT_GT(covered, 500);

    // the letter I's box holds coverage; the space's holds none
    auto coverageIn = [&](const GlyphCoords& g) {
        int count = 0;
        for (UINT y = static_cast<UINT>(g.top * h); y < static_cast<UINT>(g.bottom * h); ++y)
            for (UINT x = static_cast<UINT>(g.left * w); x < static_cast<UINT>(g.right * w); ++x)
                count += atlas.Texel16(x, y) != 0;
        return count;
    };
    EXPECT_GT(coverageIn(font.glyphCoords['I' - 32]), 5);
    EXPECT_EQ(coverageIn(font.glyphCoords[0]), 0);
}

TEST(FontAtlas, RestoreRecordsTwoBlocksAndABatchBuffer) {
    RecordingDevice device;
    Font font("Verdana", 12, 0);
    font.CreateDeviceObjects(&device);
    ASSERT_EQ(font.RestoreDeviceObjects(), 0);
    EXPECT_NE(font.savedState, 0u);
    EXPECT_NE(font.textState, 0u);
    EXPECT_NE(font.savedState, font.textState);
    EXPECT_EQ(device.createdBuffers.back()->data.size(), 8400u);
    EXPECT_EQ(device.liveStateBlocks, 2);

    // a reset cycle leaves exactly two blocks alive
    font.InvalidateDeviceObjects();
    EXPECT_EQ(font.vertexBuffer, nullptr);
    EXPECT_EQ(device.createdBuffers.back()->references, 0);
    font.RestoreDeviceObjects();
    EXPECT_EQ(device.liveStateBlocks, 2);

    // applying the text state binds the atlas with the text states
    device.ApplyStateBlock(font.textState);
    EXPECT_EQ(device.textures[0], font.glyphTexture);
    EXPECT_EQ(device.renderStates[D3DRS_CULLMODE], static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(device.renderStates[D3DRS_ALPHAREF], 8u);
    EXPECT_EQ((device.stageStates[{1, D3DTSS_COLOROP}]), static_cast<DWORD>(D3DTOP_DISABLE));
}
