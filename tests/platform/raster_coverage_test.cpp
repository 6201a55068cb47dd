#include "platform/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

} // namespace
