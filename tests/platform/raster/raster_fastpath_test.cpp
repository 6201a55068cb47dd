#include "platform/raster/raster.h"
#include "platform/raster/raster_fast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using platform::RasterArg;
using platform::RasterBlend;
using platform::RasterCompare;
using platform::RasterCull;
using platform::RasterFilter;
using platform::RasterOp;
using platform::RasterState;
using platform::RasterTexture;
using platform::RasterVertex;

constexpr int kWidth = 61, kHeight = 47; // odd sizes, so spans end at every alignment

// A texture with a few mip levels and texels covering the alpha extremes.
struct Texture {
    Texture(std::mt19937& random, int width, int height, int levels) {
        for (int k = 0; k < levels; ++k) {
            const int w = std::max(1, width >> k), h = std::max(1, height >> k);
            std::vector<uint32_t> texels(static_cast<size_t>(w) * h);
            for (uint32_t& texel : texels) {
                texel = random();
                switch (random() % 4) {
                case 0:
                    texel &= 0x00FFFFFFu;
                    break;
                case 1:
                    texel |= 0xFF000000u;
                    break;
                default:
                    break;
                }
            }
            storage.push_back(std::move(texels));
            view.levels[k] = {storage.back().data(), w, h, w};
        }
        view.levelCount = levels;
    }
    std::vector<std::vector<uint32_t>> storage;
    RasterTexture view;
};

template <typename T> T Pick(std::mt19937& random, std::initializer_list<T> choices) {
    return choices.begin()[random() % choices.size()];
}

// The states the game draws with, enumerated: filter, blend, alpha test,
// colour and alpha operations, culling and shading.
constexpr uint32_t kFilters = 2, kBlends = 3, kTests = 2, kColourOps = 3, kAlphaOps = 3, kCulls = 3,
                   kShades = 2;
constexpr uint32_t kGameStates = kFilters * kBlends * kTests * kColourOps * kAlphaOps * kCulls * kShades;

RasterState GameState(uint32_t index) {
    RasterState st;
    st.minFilter = st.magFilter = index % kFilters ? RasterFilter::Bilinear : RasterFilter::Point;
    index /= kFilters;
    switch (index % kBlends) {
    case 0:
        st.blend = false;
        break;
    case 1:
        st.blend = true;
        st.srcBlend = RasterBlend::SrcAlpha;
        st.destBlend = RasterBlend::InvSrcAlpha;
        break;
    default:
        st.blend = true;
        st.srcBlend = RasterBlend::One;
        st.destBlend = RasterBlend::One;
        break;
    }
    index /= kBlends;
    st.alphaTest = index % kTests == 1;
    st.alphaFunc = RasterCompare::GreaterEqual;
    st.alphaRef = 8;
    index /= kTests;
    switch (index % kColourOps) {
    case 0:
        st.colourOp = RasterOp::Modulate;
        st.colourArg1 = RasterArg::Texture;
        st.colourArg2 = RasterArg::Diffuse;
        break;
    case 1:
        st.colourOp = RasterOp::SelectArg1;
        st.colourArg1 = RasterArg::Texture;
        break;
    default: // a disabled stage 0 passes the diffuse colour
        st.colourOp = RasterOp::SelectArg1;
        st.colourArg1 = RasterArg::Diffuse;
        break;
    }
    index /= kColourOps;
    switch (index % kAlphaOps) {
    case 0:
        st.alphaOp = RasterOp::Modulate;
        st.alphaArg1 = RasterArg::Texture;
        st.alphaArg2 = RasterArg::Diffuse;
        break;
    case 1:
        st.alphaOp = RasterOp::SelectArg1;
        st.alphaArg1 = RasterArg::Texture;
        break;
    default:
        st.alphaOp = RasterOp::SelectArg1;
        st.alphaArg1 = RasterArg::Diffuse;
        break;
    }
    index /= kAlphaOps;
    st.cull = static_cast<RasterCull>(index % kCulls);
    index /= kCulls;
    st.flat = index % kShades == 1;
    return st;
}

// Anything else the device can be asked for: other operations, arguments,
// factors, comparisons and blend pairs.
RasterState OddState(std::mt19937& random) {
    RasterState st = GameState(random() % kGameStates);
    st.colourOp = static_cast<RasterOp>(random() % 4);
    st.colourArg1 = static_cast<RasterArg>(random() % 3);
    st.colourArg2 = static_cast<RasterArg>(random() % 3);
    if (random() % 2 == 0) {
        st.alphaOp = static_cast<RasterOp>(random() % 4);
        st.alphaArg1 = static_cast<RasterArg>(random() % 3);
        st.alphaArg2 = static_cast<RasterArg>(random() % 3);
    }
    st.textureFactor = random();
    st.alphaTest = random() % 2 == 0;
    st.alphaFunc = static_cast<RasterCompare>(random() % 8);
    st.alphaRef = static_cast<uint8_t>(
        Pick<uint32_t>(random, {0, 1, 8, 128, 254, 255, static_cast<uint32_t>(random() % 256)}));
    if (random() % 2 == 0) {
        st.blend = true;
        st.srcBlend = static_cast<RasterBlend>(random() % 10);
        st.destBlend = static_cast<RasterBlend>(random() % 10);
    }
    if (random() % 8 == 0) {
        st.magFilter = Pick(random, {RasterFilter::Point, RasterFilter::Bilinear});
    }
    st.mipmaps = random() % 4 == 0;
    return st;
}

uint32_t MakeColour(std::mt19937& random, uint32_t shared) {
    switch (random() % 5) {
    case 0:
        return 0xFFFFFFFFu;
    case 1:
        return shared;
    case 2:
        return shared | 0xFF000000u;
    default:
        return random();
    }
}

float Coordinate(std::mt19937& random, float centre, float reach) {
    std::uniform_real_distribution<float> spread(-reach, reach);
    float value = centre + spread(random);
    if (random() % 4 == 0) {
        value = std::round(value * 2.0f) / 2.0f; // on pixel centres and edges
    }
    return value;
}

// An upright triangle 16 pixels on a side showing a 16-texel-wide image
// texel for texel, from anywhere in it.
void TexelForTexel(RasterVertex (&v)[3]) {
    v[0].u = std::round(v[0].u * 64.0f) / 64.0f;
    v[1].x = v[0].x + 16.0f, v[1].y = v[0].y;
    v[2].x = v[0].x, v[2].y = v[0].y + 16.0f;
    v[1].u = v[0].u + 1.0f, v[1].v = v[0].v;
    v[2].u = v[0].u, v[2].v = v[0].v + 1.0f;
}

// One triangle, mostly a few pixels across, now and then larger than the
// target; often crossing the target's edges.
void MakeTriangle(std::mt19937& random, RasterVertex (&v)[3]) {
    std::uniform_real_distribution<float> place(-10.0f, kWidth + 10.0f);
    const float cx = place(random), cy = place(random) * kHeight / kWidth;
    const float reach = random() % 64 == 0 ? 150.0f : Pick(random, {2.0f, 5.0f, 10.0f, 24.0f});
    const uint32_t shared = random();
    std::uniform_real_distribution<float> texture(-1.5f, 2.5f);
    for (RasterVertex& vertex : v) {
        vertex.x = Coordinate(random, cx, reach);
        vertex.y = Coordinate(random, cy, reach);
        vertex.diffuse = MakeColour(random, shared);
        vertex.u = texture(random);
        vertex.v = texture(random);
    }
    switch (random() % 16) {
    case 0: // an axis-aligned image mapped texel for texel
        v[1].x = v[0].x + 16.0f, v[1].y = v[0].y;
        v[2].x = v[0].x, v[2].y = v[0].y + 16.0f;
        v[0].u = v[0].v = 0.0f;
        v[1].u = 16.0f / 15.0f, v[1].v = 0.0f;
        v[2].u = 0.0f, v[2].v = 16.0f / 15.0f;
        break;
    case 4: // texel for texel on a 16-texel-wide image, from anywhere in it
        TexelForTexel(v);
        break;
    case 5: // one colour along each row, as text shaded from top to bottom has
        v[1].y = v[0].y;
        v[1].diffuse = v[0].diffuse;
        break;
    case 6: // the same, texel for texel, as a glyph is drawn
        TexelForTexel(v);
        v[1].diffuse = v[0].diffuse;
        break;
    case 1:
        v[random() % 3].u = std::numeric_limits<float>::quiet_NaN();
        break;
    case 2:
        v[random() % 3].v = 3.0e30f;
        break;
    case 3: // rows of constant v, as sprites drawn upright have
        v[1].v = v[0].v;
        v[2].v = v[0].v + (v[2].y - v[0].y) / 16.0f;
        v[1].y = v[0].y;
        break;
    default:
        break;
    }
}

uint64_t Hash(const std::vector<uint32_t>& pixels) {
    uint64_t hash = 14695981039346656037ull;
    for (uint32_t pixel : pixels) {
        hash = (hash ^ pixel) * 1099511628211ull;
    }
    return hash;
}

// Every comparison runs with the SSE2 fetchers alone and again with the wide
// ones where the processor has them.
class RasterFastPath : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override { platform::UseWideVectors(GetParam()); }
    void TearDown() override { platform::UseWideVectors(true); }
};

INSTANTIATE_TEST_SUITE_P(Vectors, RasterFastPath, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Wide" : "Sse2";
                         });

TEST_P(RasterFastPath, RandomTrianglesMatchTheReferencePixelForPixel) {
    const uint32_t seed = 20261208;
    std::printf("raster fast path seed %u\n", seed);
    std::mt19937 random(seed);
    Texture a4r4g4b4(random, 16, 16, 1);
    for (uint32_t& texel : a4r4g4b4.storage[0]) {
        texel = platform::WidenA4R4G4B4(static_cast<uint16_t>(texel));
    }
    const Texture textures[] = {Texture(random, 16, 16, 3), Texture(random, 32, 8, 4),
                                Texture(random, 12, 10, 1), Texture(random, 1, 1, 1),
                                Texture(random, 64, 64, 1)};
    const RasterTexture none;
    std::vector<uint32_t> fast(static_cast<size_t>(kWidth) * kHeight), reference;
    for (uint32_t& pixel : fast) {
        pixel = random() | 0xFF000000u;
    }
    reference = fast;
    const platform::RasterTarget fastTarget{fast.data(), kWidth, kHeight, kWidth};
    const platform::RasterTarget referenceTarget{reference.data(), kWidth, kHeight, kWidth};
    int64_t drawn = 0;
    for (uint32_t k = 0; k < 100000; ++k) {
        const RasterState st = k % 8 == 7 ? OddState(random) : GameState(k % kGameStates);
        const uint32_t pick = random() % 7;
        const RasterTexture& texture = pick == 0 ? none : pick == 1 ? a4r4g4b4.view : textures[pick - 2].view;
        RasterVertex v[3];
        MakeTriangle(random, v);
        const int64_t covered = platform::DrawTriangle(st, texture, v[0], v[1], v[2], fastTarget);
        ASSERT_EQ(covered, platform::DrawTriangleReference(st, texture, v[0], v[1], v[2], referenceTarget))
            << "seed " << seed << " triangle " << k;
        drawn += covered > 0;
        if (covered > 0 && std::memcmp(fast.data(), reference.data(), fast.size() * sizeof(uint32_t)) != 0) {
            for (size_t p = 0; p < fast.size(); ++p) {
                ASSERT_EQ(fast[p], reference[p]) << "seed " << seed << " triangle " << k << " pixel ("
                                                 << p % kWidth << ", " << p / kWidth << ")";
            }
        }
    }
    EXPECT_EQ(Hash(fast), Hash(reference));
    EXPECT_GT(drawn, 40000); // most triangles reach the target, so the comparison is not vacuous
}

TEST_P(RasterFastPath, AlphaTestAgreesAtEveryReferenceAndFunction) {
    // An untextured quad per alpha value, so every alpha meets every reference.
    std::vector<uint32_t> fast(16), reference(16);
    std::mt19937 random(1);
    Texture white(random, 1, 1, 1);
    white.storage[0][0] = 0xFFFFFFFFu;
    for (int func = 0; func < 8; ++func) {
        for (uint32_t ref : {0u, 1u, 127u, 128u, 254u, 255u}) {
            for (uint32_t alpha = 0; alpha < 256; ++alpha) {
                RasterState st;
                st.cull = RasterCull::None;
                st.alphaTest = true;
                st.alphaFunc = static_cast<RasterCompare>(func);
                st.alphaRef = static_cast<uint8_t>(ref);
                st.blend = true;
                st.srcBlend = RasterBlend::One;
                st.destBlend = RasterBlend::One;
                st.alphaOp = RasterOp::Modulate;
                const uint32_t colour = alpha << 24 | 0x102030u;
                const RasterVertex a{0, 0, colour, 0, 0}, b{4, 0, colour, 1, 0}, c{0, 4, colour, 0, 1};
                std::fill(fast.begin(), fast.end(), 0xFF000000u);
                std::fill(reference.begin(), reference.end(), 0xFF000000u);
                platform::DrawTriangle(st, white.view, a, b, c, {fast.data(), 4, 4, 4});
                platform::DrawTriangleReference(st, white.view, a, b, c, {reference.data(), 4, 4, 4});
                ASSERT_EQ(fast, reference)
                    << "function " << func << " reference " << ref << " alpha " << alpha;
            }
        }
    }
}

TEST_P(RasterFastPath, WideRowsOfRepeatedImagesMatchTheReference) {
    // Long spans that wrap several times and pass the far edge's own 1/256
    // texel: backdrops repeated across the screen, upright and sheared, and
    // shown texel for texel from just before, at and after a texel's edge.
    // One texture is opaque throughout, one clear throughout; each is drawn
    // with no alpha test, one that passes opaque texels and one that fails them.
    constexpr int kWide = 700, kRows = 9;
    std::mt19937 random(7);
    Texture opaque(random, 64, 16, 1), clear(random, 32, 8, 1);
    for (uint32_t& texel : opaque.storage[0]) {
        texel |= 0xFF000000u;
    }
    for (uint32_t& texel : clear.storage[0]) {
        texel &= 0x00FFFFFFu;
    }
    const Texture textures[] = {Texture(random, 64, 16, 1), Texture(random, 48, 12, 1),
                                Texture(random, 256, 8, 1), opaque, clear};
    for (const Texture& texture : textures) {
        const RasterTexture& view = texture.view;
        const float w = static_cast<float>(view.levels[0].width),
                    h = static_cast<float>(view.levels[0].height);
        for (int shape = 0; shape < 6; ++shape) {
            for (float left : {-37.0f, -0.5f, 0.0f, 3.25f}) {
                std::vector<uint32_t> fast(static_cast<size_t>(kWide) * kRows, 0xFF000000u), reference = fast;
                RasterState st;
                st.cull = RasterCull::None;
                st.blend = true;
                st.srcBlend = RasterBlend::SrcAlpha;
                st.destBlend = RasterBlend::InvSrcAlpha;
                const float right = left + kWide + 40.0f, repeats = (right - left) / w;
                const float u1 = shape == 0 ? repeats * w / (w - 1.0f) : shape == 1 ? -repeats : repeats;
                const float v1 = kRows / (h - 1.0f), shear = shape == 2 ? 2.5f : 0.0f; // v along the rows
                // shapes 3 to 5: one texel per pixel, starting a little before,
                // exactly at and a little after the first texel's left edge
                const float u0 = shape == 3 ? -0.3f / w : shape == 5 ? 0.4f / w : 0.0f;
                const RasterVertex a{left, 0, 0xFFFFFFFFu, u0, 0}, b{right, 0, 0xFFFFFFFFu, u0 + u1, shear},
                    c{left, kRows, 0xFFFFFFFFu, u0, v1}, d{right, kRows, 0xFFFFFFFFu, u0 + u1, v1 + shear};
                const platform::RasterTarget fastTarget{fast.data(), kWide, kRows, kWide};
                const platform::RasterTarget referenceTarget{reference.data(), kWide, kRows, kWide};
                for (RasterFilter filter : {RasterFilter::Point, RasterFilter::Bilinear}) {
                    for (RasterCompare test :
                         {RasterCompare::Always, RasterCompare::Greater, RasterCompare::Less}) {
                        // the texture's colour as it is and times the (white) diffuse
                        st.colourOp =
                            test == RasterCompare::Greater ? RasterOp::Modulate : RasterOp::SelectArg1;
                        st.minFilter = st.magFilter = filter;
                        st.alphaTest = test != RasterCompare::Always;
                        st.alphaFunc = test;
                        st.alphaRef = test == RasterCompare::Less ? 255 : 0;
                        std::fill(fast.begin(), fast.end(), 0xFF204060u); // a fresh target each time
                        std::fill(reference.begin(), reference.end(), 0xFF204060u);
                        platform::DrawTriangle(st, view, a, b, c, fastTarget);
                        platform::DrawTriangle(st, view, b, d, c, fastTarget);
                        platform::DrawTriangleReference(st, view, a, b, c, referenceTarget);
                        platform::DrawTriangleReference(st, view, b, d, c, referenceTarget);
                        ASSERT_EQ(fast, reference) << "width " << w << " shape " << shape << " left " << left
                                                   << " test " << static_cast<int>(test);
                    }
                }
            }
        }
    }
}

} // namespace
