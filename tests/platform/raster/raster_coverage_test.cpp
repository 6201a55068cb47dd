#include "platform/raster/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

namespace {

using platform::DrawTriangle;
using platform::RasterCull;
using platform::RasterState;
using platform::RasterTexture;
using platform::RasterVertex;

// A target where every draw adds 1 to each covered pixel (additive blend of a
// flat colour 0x010101), so a pixel drawn twice reads 2.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0xFF000000u) {
        state.blend = true;
        state.srcBlend = platform::RasterBlend::One;
        state.destBlend = platform::RasterBlend::One;
        state.cull = RasterCull::None;
    }
    int64_t Draw(float x0, float y0, float x1, float y1, float x2, float y2) {
        const RasterVertex a{x0, y0, 0xFF010101u, 0, 0}, b{x1, y1, 0xFF010101u, 0, 0},
            c{x2, y2, 0xFF010101u, 0, 0};
        return DrawTriangle(state, RasterTexture{}, a, b, c, {pixels.data(), width, height, width});
    }
    int At(int x, int y) const { return static_cast<int>(pixels[static_cast<size_t>(y) * width + x] & 0xFF); }
    int Total() const {
        int sum = 0;
        for (uint32_t p : pixels) {
            sum += static_cast<int>(p & 0xFF);
        }
        return sum;
    }

    int width, height;
    std::vector<uint32_t> pixels;
    RasterState state;
};

TEST(RasterCoverage, QuadFromOriginCoversExactlyWidthByHeightPixels) {
    Canvas canvas(12, 9);
    canvas.Draw(0, 0, 7, 0, 0, 5);
    canvas.Draw(7, 0, 7, 5, 0, 5);
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            EXPECT_EQ(canvas.At(x, y), x < 7 && y < 5 ? 1 : 0) << x << "," << y;
        }
    }
}

TEST(RasterCoverage, CentresOnLeftAndTopEdgesAreInsideRightAndBottomOutside) {
    Canvas canvas(10, 10);
    // Right triangle with a vertical left edge at x = 2 and a top edge at y = 1.
    canvas.Draw(2, 1, 6, 1, 2, 5);
    EXPECT_EQ(canvas.At(2, 1), 1);
    EXPECT_EQ(canvas.At(5, 1), 1);
    EXPECT_EQ(canvas.At(6, 1), 0); // the vertex on the right end of the top edge
    EXPECT_EQ(canvas.At(2, 4), 1);
    EXPECT_EQ(canvas.At(2, 5), 0); // the bottom vertex
    EXPECT_EQ(canvas.At(4, 3), 0); // on the hypotenuse, a right edge
    EXPECT_EQ(canvas.At(3, 3), 1);
}

TEST(RasterCoverage, SharedEdgesAreDrawnExactlyOnce) {
    // A fan of triangles around an off-grid centre, closing on itself, plus a
    // second pair meeting along a diagonal through pixel centres.
    Canvas canvas(40, 40);
    const float cx = 19.37f, cy = 20.5f;
    const int spokes = 11;
    for (int k = 0; k < spokes; ++k) {
        const float a0 = 6.2831853f * k / spokes, a1 = 6.2831853f * (k + 1) / spokes;
        canvas.Draw(cx, cy, cx + 15 * std::cos(a0), cy + 15 * std::sin(a0), cx + 15 * std::cos(a1),
                    cy + 15 * std::sin(a1));
    }
    int covered = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            EXPECT_LE(canvas.At(x, y), 1) << x << "," << y;
            covered += canvas.At(x, y);
        }
    }
    EXPECT_GT(covered, 600); // the 11-gon of radius 15 has an area of about 680
    EXPECT_EQ(canvas.At(19, 20), 1) << "the centre";

    Canvas diagonal(8, 8);
    diagonal.Draw(0, 0, 8, 0, 8, 8);
    diagonal.Draw(0, 0, 8, 8, 0, 8);
    EXPECT_EQ(diagonal.Total(), 64);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(diagonal.At(i, i), 1);
    }
}

TEST(RasterCoverage, CullingJudgesWindingOnTheScreen) {
    // (0,0) -> (8,0) -> (0,8) turns clockwise with y pointing down.
    Canvas canvas(8, 8);
    canvas.state.cull = RasterCull::CounterClockwise;
    EXPECT_GT(canvas.Draw(0, 0, 8, 0, 0, 8), 0);
    EXPECT_EQ(canvas.Draw(0, 0, 0, 8, 8, 0), 0);
    canvas.state.cull = RasterCull::Clockwise;
    EXPECT_EQ(canvas.Draw(0, 0, 8, 0, 0, 8), 0);
    EXPECT_GT(canvas.Draw(0, 0, 0, 8, 8, 0), 0);
    canvas.state.cull = RasterCull::None;
    EXPECT_EQ(canvas.Draw(0, 0, 8, 0, 0, 8), canvas.Draw(0, 0, 0, 8, 8, 0));
}

TEST(RasterCoverage, DegenerateAndUnsafePositionsDrawNothing) {
    Canvas canvas(16, 16);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(canvas.Draw(1, 1, 9, 9, 5, 5), 0);           // collinear
    EXPECT_EQ(canvas.Draw(3, 3, 3, 3, 3, 3), 0);           // a point
    EXPECT_EQ(canvas.Draw(1, 1, 1.001f, 1, 1, 1.001f), 0); // covers no centre
    EXPECT_EQ(canvas.Draw(nan, 0, 8, 0, 0, 8), 0);
    EXPECT_EQ(canvas.Draw(0, 0, inf, 0, 0, 8), 0);
    EXPECT_EQ(canvas.Draw(0, 0, 8, -inf, 0, 8), 0);
    EXPECT_EQ(canvas.Draw(0, 0, 1e30f, 0, 0, 1e30f), 0);
    EXPECT_EQ(canvas.Total(), 0);
}

TEST(RasterCoverage, LargeTrianglesAreClippedToTheTarget) {
    Canvas canvas(16, 16);
    EXPECT_EQ(canvas.Draw(-30000, -30000, 32000, -30000, -30000, 32000), 256);
    EXPECT_EQ(canvas.Total(), 256);
    EXPECT_EQ(canvas.Draw(100, 100, 200, 100, 100, 200), 0); // beyond the right and bottom
    EXPECT_EQ(canvas.Draw(-50, -50, -10, -50, -50, -10), 0); // beyond the left and top
    // One thin sliver crossing the whole target.
    const int64_t sliver = canvas.Draw(-20000, 8, 20000, 8.6f, -20000, 8.3f);
    EXPECT_LE(sliver, 16);
    EXPECT_EQ(canvas.Total(), 256 + sliver);
}

TEST(RasterCoverage, SubPixelOffsetsMoveCoverageWithThePixelCentres) {
    Canvas canvas(8, 4);
    canvas.Draw(0.5f, 0, 3.5f, 0, 0.5f, 2);
    canvas.Draw(3.5f, 0, 3.5f, 2, 0.5f, 2);
    // Centres 1, 2 and 3 lie in [0.5, 3.5).
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(canvas.At(x, 0), x >= 1 && x <= 3 ? 1 : 0) << x;
    }
}

using DrawFunction = int64_t (*)(const RasterState&, const RasterTexture&, const RasterVertex&,
                                 const RasterVertex&, const RasterVertex&, const platform::RasterTarget&);

struct NamedPath {
    const char* name;
    DrawFunction draw;
};

const NamedPath kPaths[] = {{"fast", &platform::DrawTriangle},
                            {"reference", &platform::DrawTriangleReference}};

TEST(RasterCoverage, RandomMeshesCoverEveryPixelExactlyOnce) {
    // Jittered point grids whose outer rows and columns lie beyond the target,
    // each cell split along a random diagonal with random winding: every
    // pixel of the target lies in exactly one triangle.
    const uint32_t seed = 8121;
    std::printf("raster mesh seed %u\n", seed);
    std::mt19937 random(seed);
    constexpr int kW = 53, kH = 37;
    for (int mesh = 0; mesh < 24; ++mesh) {
        const int columns = 2 + static_cast<int>(random() % 14), rows = 2 + static_cast<int>(random() % 10);
        const float cellW = (kW + 6.0f) / static_cast<float>(columns);
        const float cellH = (kH + 6.0f) / static_cast<float>(rows);
        // small enough that no cell folds over, even after snapping
        const float reach = 0.15f * std::min(cellW, cellH);
        std::uniform_real_distribution<float> jitter(-reach, reach);
        std::vector<RasterVertex> points;
        for (int r = 0; r <= rows; ++r) {
            for (int c = 0; c <= columns; ++c) {
                float x = -3.0f + c * cellW, y = -3.0f + r * cellH;
                if (c > 0 && c < columns && r > 0 && r < rows) {
                    x += jitter(random);
                    y += jitter(random);
                    if (random() % 3 == 0) { // on a pixel centre or a pixel edge
                        x = std::round(x * 2.0f) / 2.0f;
                        y = std::round(y * 2.0f) / 2.0f;
                    }
                }
                points.push_back({x, y, 0xFF010101u, 0, 0});
            }
        }
        std::vector<int> corners;
        const auto triangle = [&](int a, int b, int c) {
            const bool reversed = random() % 2 == 1;
            corners.insert(corners.end(), {a, reversed ? c : b, reversed ? b : c});
        };
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const int a = r * (columns + 1) + c, b = a + 1, d = a + columns + 1, e = d + 1;
                if (random() % 2 == 0) {
                    triangle(a, b, e);
                    triangle(a, e, d);
                } else {
                    triangle(a, b, d);
                    triangle(b, e, d);
                }
            }
        }
        for (const NamedPath& path : kPaths) {
            Canvas canvas(kW, kH);
            for (size_t k = 0; k < corners.size(); k += 3) {
                path.draw(canvas.state, RasterTexture{}, points[corners[k]], points[corners[k + 1]],
                          points[corners[k + 2]], {canvas.pixels.data(), kW, kH, kW});
            }
            int wrong = 0;
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x) {
                    wrong += canvas.At(x, y) != 1;
                }
            }
            EXPECT_EQ(wrong, 0) << path.name << " mesh " << mesh << " of seed " << seed;
        }
    }
}

TEST(RasterCoverage, NothingIsWrittenOutsideTheTarget) {
    // The target sits inside a larger buffer; every pixel around it is a
    // canary that no draw may change.
    constexpr int kW = 23, kH = 17, kMargin = 8, kPitch = kW + 2 * kMargin;
    constexpr uint32_t kCanary = 0x5A5A5A5Au;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const float wild[] = {0.0f,    -0.5f,    11.5f,     kW,       kH,        kW + 0.5f,
                          -1.0e6f, 1.0e6f,   -32768.0f, 32768.0f, -31000.0f, 30000.0f,
                          1.0e30f, -1.0e30f, nan,       inf,      -inf};
    std::vector<uint32_t> texels(8 * 8, 0xFF808080u);
    RasterTexture texture;
    texture.levelCount = 1;
    texture.levels[0] = {texels.data(), 8, 8, 8};
    std::mt19937 random(5);
    for (const NamedPath& path : kPaths) {
        std::vector<uint32_t> buffer(static_cast<size_t>(kPitch) * (kH + 2 * kMargin), kCanary);
        uint32_t* origin = buffer.data() + kMargin * kPitch + kMargin;
        const platform::RasterTarget target{origin, kW, kH, kPitch};
        for (int k = 0; k < 20000; ++k) {
            RasterState st;
            st.cull = RasterCull::None;
            st.blend = k % 2 == 0;
            st.srcBlend = platform::RasterBlend::One;
            st.destBlend = platform::RasterBlend::One;
            st.minFilter = st.magFilter =
                k % 3 == 0 ? platform::RasterFilter::Bilinear : platform::RasterFilter::Point;
            RasterVertex v[3];
            for (RasterVertex& vertex : v) {
                const auto value = [&](float span) {
                    return random() % 2 == 0 ? wild[random() % std::size(wild)]
                                             : std::uniform_real_distribution<float>(-span, span)(random);
                };
                vertex = {value(40.0f), value(40.0f), static_cast<uint32_t>(random()), value(3.0f),
                          value(3.0f)};
            }
            if (k % 5 == 0) { // zero area: a repeated vertex or three on a line
                v[2] = k % 10 == 0
                           ? v[0]
                           : RasterVertex{2 * v[1].x - v[0].x, 2 * v[1].y - v[0].y, v[2].diffuse, 0, 0};
            }
            path.draw(st, k % 4 == 0 ? RasterTexture{} : texture, v[0], v[1], v[2], target);
        }
        int drawn = 0, damaged = 0;
        for (int y = 0; y < kH + 2 * kMargin; ++y) {
            for (int x = 0; x < kPitch; ++x) {
                const bool inside = x >= kMargin && x < kMargin + kW && y >= kMargin && y < kMargin + kH;
                const uint32_t pixel = buffer[static_cast<size_t>(y) * kPitch + x];
                (inside ? drawn : damaged) += pixel != kCanary;
            }
        }
        EXPECT_EQ(damaged, 0) << path.name;
        EXPECT_GT(drawn, kW * kH / 2) << path.name << ": the draws reached the target";
    }
}

} // namespace
