#include "platform/raster/raster.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using platform::DrawTriangle;
using platform::RasterArg;
using platform::RasterBlend;
using platform::RasterCompare;
using platform::RasterCull;
using platform::RasterFilter;
using platform::RasterOp;
using platform::RasterState;
using platform::RasterTexture;
using platform::RasterVertex;

// Texel (x, y) of a test image: a distinct opaque colour.
uint32_t Pattern(int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(x * 7 + 1) << 16 | (y * 11 + 3) << 8 | 0x40;
}

struct Image {
    Image(int w, int h) : width(w), height(h), texels(static_cast<size_t>(w) * h) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                texels[static_cast<size_t>(y) * w + x] = Pattern(x, y);
            }
        }
    }
    RasterTexture View() const {
        RasterTexture view;
        view.levelCount = 1;
        view.levels[0] = {texels.data(), width, height, width};
        return view;
    }
    int width, height;
    std::vector<uint32_t> texels;
};

struct Target {
    Target(int w, int h, uint32_t fill = 0xFF000000u)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    platform::RasterTarget View() { return {pixels.data(), width, height, width}; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int width, height;
    std::vector<uint32_t> pixels;
};

// The state of an alpha-blended sprite draw: texture x diffuse, alpha from
// the texture, blend over, alpha test >= 8.
RasterState SpriteState() {
    RasterState st;
    st.colourOp = RasterOp::Modulate;
    st.alphaOp = RasterOp::SelectArg1;
    st.cull = RasterCull::None;
    st.blend = true;
    st.srcBlend = RasterBlend::SrcAlpha;
    st.destBlend = RasterBlend::InvSrcAlpha;
    st.alphaTest = true;
    st.alphaFunc = RasterCompare::GreaterEqual;
    st.alphaRef = 8;
    return st;
}

// A quad as a strip's two triangles (the second one reversed, as the device
// passes it), with texture coordinates per corner.
void DrawQuad(const RasterState& st, const RasterTexture& texture, Target& target, float left, float top,
              float right, float bottom, float u0, float v0, float u1, float v1,
              uint32_t colour = 0xFFFFFFFFu) {
    const RasterVertex a{left, top, colour, u0, v0}, b{right, top, colour, u1, v0},
        c{left, bottom, colour, u0, v1}, d{right, bottom, colour, u1, v1};
    DrawTriangle(st, texture, a, b, c, target.View());
    DrawTriangle(st, texture, b, d, c, target.View());
}

TEST(RasterSampling, RectangleOfTheTextureSizeMapsTexelIToPixelIIncludingTheLastColumn) {
    for (const auto& [w, h] : {std::pair{5, 3}, std::pair{16, 8}, std::pair{33, 20}, std::pair{256, 4}}) {
        const Image image(w, h);
        Target target(w + 4, h + 3);
        const int left = 2, top = 1;
        // Texture coordinates as the application computes them: size / (size - 1).
        const float u1 = static_cast<float>(w) / static_cast<float>(w - 1);
        const float v1 = static_cast<float>(h) / static_cast<float>(h - 1);
        DrawQuad(SpriteState(), image.View(), target, left, top, left + w, top + h, 0, 0, u1, v1);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(target.At(left + x, top + y), Pattern(x, y))
                    << w << "x" << h << " texel " << x << "," << y;
            }
        }
        EXPECT_EQ(target.At(left + w, top), 0xFF000000u);
    }
}

TEST(RasterSampling, UnitSquareMappingAndWrapRepeat) {
    const Image image(8, 4);
    Target target(20, 10);
    DrawQuad(SpriteState(), image.View(), target, 0, 0, 8, 4, 0, 0, 1, 1);
    // Twice the size with coordinates 0..2 repeats the image.
    DrawQuad(SpriteState(), image.View(), target, 0, 4, 16, 12, 0, 0, 2, 2);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(target.At(x, 0), Pattern(x, 0));
        EXPECT_EQ(target.At(x, 3), Pattern(x, 3));
        if (x > 0) {
            EXPECT_EQ(target.At(x + 8, 5), Pattern(x, 1));
        }
    }
    // u = 1 exactly at a pixel centre is the far edge of the first copy.
    EXPECT_EQ(target.At(8, 5), Pattern(7, 1));
    // Negative coordinates wrap too.
    Target shifted(8, 4);
    DrawQuad(SpriteState(), image.View(), shifted, 0, 0, 8, 4, -0.5f, -1, 0.5f, 0);
    EXPECT_EQ(shifted.At(0, 0), Pattern(4, 0));
    EXPECT_EQ(shifted.At(7, 3), Pattern(3, 3));
}

TEST(RasterSampling, BilinearAtTexelCentresReturnsTheTexelAndBlendsBetween) {
    Image image(2, 1);
    image.texels = {0xFF000000u, 0xFFFFFFFFu};
    RasterState st = SpriteState();
    st.minFilter = st.magFilter = RasterFilter::Bilinear;
    Target target(4, 1);
    // Half a pixel off the grid: pixel i samples texel coordinate i + 0.5.
    DrawQuad(st, image.View(), target, -0.5f, -0.5f, 1.5f, 0.5f, 0, 0, 1, 1);
    EXPECT_EQ(target.At(0, 0), 0xFF000000u);
    EXPECT_EQ(target.At(1, 0), 0xFFFFFFFFu);
    // On the grid: pixel 1 sits on the boundary between the texels.
    Target between(2, 1);
    DrawQuad(st, image.View(), between, 0, -0.5f, 2, 0.5f, 0, 0, 1, 1);
    EXPECT_EQ(between.At(1, 0), 0xFF808080u);
    EXPECT_EQ(between.At(0, 0), 0xFF808080u) << "wraps around to the white texel";
}

TEST(RasterSampling, MipLevelIsChosenPerTriangleOnlyWhenAsked) {
    const std::vector<uint32_t> red(64, 0xFFFF0000u), green(16, 0xFF00FF00u), blue(4, 0xFF0000FFu);
    RasterTexture texture;
    texture.levelCount = 3;
    texture.levels[0] = {red.data(), 8, 8, 8};
    texture.levels[1] = {green.data(), 4, 4, 4};
    texture.levels[2] = {blue.data(), 2, 2, 2};
    RasterState st = SpriteState();
    Target target(4, 4);
    DrawQuad(st, texture, target, 0, 0, 4, 4, 0, 0, 1, 1); // two texels per pixel
    EXPECT_EQ(target.At(1, 1), 0xFFFF0000u);
    st.mipmaps = true;
    DrawQuad(st, texture, target, 0, 0, 4, 4, 0, 0, 1, 1);
    EXPECT_EQ(target.At(1, 1), 0xFF00FF00u);
    DrawQuad(st, texture, target, 0, 0, 2, 2, 0, 0, 1, 1);
    EXPECT_EQ(target.At(1, 1), 0xFF0000FFu);
    DrawQuad(st, texture, target, 0, 0, 1, 1, 0, 0, 1, 1); // beyond the last level
    EXPECT_EQ(target.At(0, 0), 0xFF0000FFu);
}

TEST(RasterSampling, NonFiniteTextureCoordinatesSampleTheFirstTexel) {
    const Image image(4, 4);
    Target target(4, 4);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    DrawQuad(SpriteState(), image.View(), target, 0, 0, 4, 4, 0, 0, inf, nan);
    for (uint32_t p : target.pixels) {
        EXPECT_EQ(p, Pattern(0, 0));
    }
    Target huge(4, 4);
    DrawQuad(SpriteState(), image.View(), huge, 0, 0, 4, 4, -3e37f, 0, 3e37f, 1);
    for (uint32_t p : huge.pixels) {
        EXPECT_EQ(p & 0xFF000000u, 0xFF000000u); // something defined, inside the texture
    }
}

TEST(RasterStages, UnboundTextureShowsTheVertexColourWithItsAlpha) {
    Target target(4, 4, 0xFF000000u);
    RasterState st = SpriteState(); // colour MODULATE(TEXTURE, DIFFUSE), alpha SELECTARG1(TEXTURE)
    DrawQuad(st, RasterTexture{}, target, 0, 0, 4, 4, 0, 0, 1, 1, 0x64C86432u);
    // 100/255 of (200, 100, 50) over black.
    EXPECT_EQ(target.At(2, 2), 0xFF4E2714u);
    st.alphaOp = RasterOp::Modulate;
    Target sprite(4, 4, 0xFF000000u);
    DrawQuad(st, RasterTexture{}, sprite, 0, 0, 4, 4, 0, 0, 1, 1, 0x64C86432u);
    EXPECT_EQ(sprite.At(2, 2), 0xFF4E2714u);
}

TEST(RasterStages, OperationsArgumentsAndTextureFactor) {
    Image image(1, 1);
    image.texels = {0x80808080u};
    Target target(4, 1);
    RasterState st;
    st.cull = RasterCull::None;
    st.colourOp = RasterOp::Modulate; // 128 x 128 / 255 = 64.25
    DrawQuad(st, image.View(), target, 0, 0, 1, 1, 0, 0, 1, 1, 0xFF808080u);
    EXPECT_EQ(target.At(0, 0), 0xFF404040u);
    st.colourOp = RasterOp::Add; // clamps
    DrawQuad(st, image.View(), target, 1, 0, 2, 1, 0, 0, 1, 1, 0xFF90A0F0u);
    EXPECT_EQ(target.At(1, 0), 0xFFFFFFFFu);
    st.colourOp = RasterOp::SelectArg2;
    st.colourArg2 = RasterArg::Factor;
    st.textureFactor = 0xFF123456u;
    DrawQuad(st, image.View(), target, 2, 0, 3, 1, 0, 0, 1, 1);
    EXPECT_EQ(target.At(2, 0), 0xFF123456u);
    st.colourOp = RasterOp::SelectArg1;
    st.colourArg1 = RasterArg::Diffuse;
    DrawQuad(st, image.View(), target, 3, 0, 4, 1, 0, 0, 1, 1, 0x00ABCDEFu);
    EXPECT_EQ(target.At(3, 0), 0xFFABCDEFu) << "the target keeps no alpha";
}

TEST(RasterStages, A4R4G4B4WidensEachChannelBySeventeen) {
    EXPECT_EQ(platform::WidenA4R4G4B4(0xF8C1), 0xFF88CC11u);
    EXPECT_EQ(platform::WidenA4R4G4B4(0x0000), 0x00000000u);
    EXPECT_EQ(platform::WidenA4R4G4B4(0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(platform::WidenA4R4G4B4(0x1FFF), 0x11FFFFFFu);
}

TEST(RasterPixels, AlphaTestComparesWithTheReferenceBeforeBlending) {
    Image image(4, 1);
    image.texels = {0x07FFFFFFu, 0x08FFFFFFu, 0x09FFFFFFu, 0x00FFFFFFu};
    RasterState st = SpriteState();
    st.blend = false;
    Target target(4, 1, 0xFF000000u);
    DrawQuad(st, image.View(), target, 0, 0, 4, 1, 0, 0, 1, 1);
    EXPECT_EQ(target.At(0, 0), 0xFF000000u) << "7 < 8 is discarded";
    EXPECT_EQ(target.At(1, 0), 0xFFFFFFFFu) << "an equal alpha passes GREATEREQUAL";
    EXPECT_EQ(target.At(2, 0), 0xFFFFFFFFu);
    const std::pair<RasterCompare, uint32_t> cases[] = {
        {RasterCompare::Never, 0x0},        {RasterCompare::Less, 0x9},    {RasterCompare::Equal, 0x2},
        {RasterCompare::LessEqual, 0xB},    {RasterCompare::Greater, 0x4}, {RasterCompare::NotEqual, 0xD},
        {RasterCompare::GreaterEqual, 0x6}, {RasterCompare::Always, 0xF},
    };
    for (const auto& [func, passing] : cases) {
        st.alphaFunc = func;
        Target row(4, 1, 0xFF000000u);
        DrawQuad(st, image.View(), row, 0, 0, 4, 1, 0, 0, 1, 1);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(row.At(x, 0) != 0xFF000000u, ((passing >> x) & 1) != 0)
                << "function " << static_cast<int>(func) << " texel " << x;
        }
    }
}

TEST(RasterPixels, BlendArithmeticRoundsOnceAndClamps) {
    Image image(1, 1);
    image.texels = {0x80C86432u}; // alpha 128, colour (200, 100, 50)
    RasterState st = SpriteState();
    Target target(3, 1, 0xFF646464u);
    DrawQuad(st, image.View(), target, 0, 0, 1, 1, 0, 0, 1, 1);
    // (src x 128 + 100 x 127 + 127) / 255 per channel.
    EXPECT_EQ(target.At(0, 0), 0xFF96644Bu);
    st.srcBlend = RasterBlend::One;
    st.destBlend = RasterBlend::One;
    DrawQuad(st, image.View(), target, 1, 0, 2, 1, 0, 0, 1, 1);
    EXPECT_EQ(target.At(1, 0), 0xFFFFC896u);
    st.srcBlend = RasterBlend::Zero;
    st.destBlend = RasterBlend::SrcColour;
    DrawQuad(st, image.View(), target, 2, 0, 3, 1, 0, 0, 1, 1);
    EXPECT_EQ(target.At(2, 0), 0xFF4E2714u);
}

// The shaders compiled for common states must match the general pipeline; a
// texture-factor alpha of 255 gives the same alpha through the general path.
TEST(RasterPixels, CompiledShadersMatchTheGeneralPipeline) {
    const uint32_t seed = 20240601u;
    uint32_t state = seed;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state;
    };
    Image image(16, 16);
    for (uint32_t& texel : image.texels) {
        texel = next();
    }
    const std::pair<RasterBlend, RasterBlend> blends[] = {
        {RasterBlend::SrcAlpha, RasterBlend::InvSrcAlpha},
        {RasterBlend::One, RasterBlend::One},
        {RasterBlend::DestColour, RasterBlend::InvSrcColour}};
    for (const auto& [src, dest] : blends) {
        for (int variant = 0; variant < 4; ++variant) {
            RasterState fast = SpriteState();
            fast.srcBlend = src;
            fast.destBlend = dest;
            fast.blend = variant != 3;
            fast.alphaRef = static_cast<uint8_t>(next() & 0x7F);
            fast.flat = variant == 1 || variant == 2;
            fast.magFilter = variant == 0 || variant == 3 ? RasterFilter::Bilinear : RasterFilter::Point;
            RasterState general = fast;
            general.alphaOp = RasterOp::Modulate;
            general.alphaArg2 = RasterArg::Factor;
            general.textureFactor = 0xFFFFFFFFu;
            Target background(24, 24);
            for (uint32_t& p : background.pixels) {
                p = next() | 0xFF000000u;
            }
            Target a = background, b = background;
            const uint32_t first = variant == 1 ? 0xFFFFFFFFu : next();
            const uint32_t colours[4] = {first, next(), next(), first};
            const RasterVertex v0{1.3f, 0.2f, colours[0], 0.1f, 0.0f},
                v1{23.1f, 3.7f, colours[1], 1.3f, 0.2f}, v2{4.4f, 22.9f, colours[2], -0.2f, 1.1f},
                v3{21.0f, 21.5f, colours[3], 0.9f, 0.9f};
            DrawTriangle(fast, image.View(), v0, v1, v2, a.View());
            DrawTriangle(fast, image.View(), v1, v3, v2, a.View());
            DrawTriangle(general, image.View(), v0, v1, v2, b.View());
            DrawTriangle(general, image.View(), v1, v3, v2, b.View());
            ASSERT_EQ(a.pixels, b.pixels)
                << "seed " << seed << " blend " << static_cast<int>(src) << " variant " << variant;
        }
    }
}

TEST(RasterShading, GouraudHitsVertexColoursAndFlatUsesTheFirstVertex) {
    RasterState st;
    st.cull = RasterCull::None;
    st.colourOp = RasterOp::SelectArg1;
    st.colourArg1 = RasterArg::Diffuse;
    const RasterVertex a{0, 0, 0xFFFF0000u, 0, 0}, b{8, 0, 0xFF00FF00u, 0, 0}, c{0, 8, 0xFF0000FFu, 0, 0};
    Target gouraud(8, 8);
    DrawTriangle(st, RasterTexture{}, a, b, c, gouraud.View());
    EXPECT_EQ(gouraud.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(gouraud.At(4, 0), 0xFF808000u); // halfway red to green: 127.5 rounds up
    EXPECT_EQ(gouraud.At(0, 4), 0xFF800080u);
    st.flat = true;
    Target flat(8, 8);
    DrawTriangle(st, RasterTexture{}, b, c, a, flat.View()); // counter-clockwise order, first vertex green
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x + y < 8; ++x) {
            ASSERT_EQ(flat.At(x, y), 0xFF00FF00u) << x << "," << y;
        }
    }
}

} // namespace
