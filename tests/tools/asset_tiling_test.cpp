// Backdrops and tiles repeat across the screen, so the step from the last
// column (row) to the first must look like any step between neighbours.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "asset_test_files.h"
#include "platform/image/image_decode.h"

using namespace asset_test;

namespace {

double Channel(uint32_t argb, int c) {
    return double((argb >> (8 * c)) & 255);
}

double Step(const platform::DecodedImage& image, int x0, int y0, int x1, int y1) {
    uint32_t a = image.argb[size_t(y0 * image.width + x0)], b = image.argb[size_t(y1 * image.width + x1)];
    double sum = 0;
    for (int c = 0; c < 3; ++c)
        sum += std::fabs(Channel(a, c) - Channel(b, c));
    return sum / 3;
}

struct SeamStats {
    double seam, interior; // mean step across the wrap, and between the columns beside it and in general
};

// Structure may run along the seam (bands, ripples), so the wrap step is
// compared with the steps just beside it as well as the image's average.
SeamStats HorizontalSeam(const platform::DecodedImage& image) {
    double seam = 0, beside = 0, interior = 0;
    int w = image.width;
    for (int y = 0; y < image.height; ++y) {
        seam += Step(image, w - 1, y, 0, y);
        beside += (Step(image, w - 2, y, w - 1, y) + Step(image, 0, y, 1, y)) / 2;
        for (int x = 0; x + 1 < w; ++x)
            interior += Step(image, x, y, x + 1, y);
    }
    return {seam / image.height,
            std::max(beside / image.height, interior / (double(image.height) * (w - 1)))};
}

platform::DecodedImage Transposed(const platform::DecodedImage& image) {
    platform::DecodedImage t;
    t.width = image.height;
    t.height = image.width;
    t.argb.resize(image.argb.size());
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            t.argb[size_t(x * t.width + y)] = image.argb[size_t(y * image.width + x)];
    return t;
}

// A seam is visible when the wrap step clearly exceeds the typical step.
bool Seamless(const SeamStats& s) {
    return s.seam <= 1.6 * s.interior + 0.6;
}

class AssetTiling : public InBuildDir {};

} // namespace

TEST_F(AssetTiling, MeasureFindsASeamInAPictureThatDoesNotRepeat) {
    platform::DecodedImage ramp;
    ramp.width = ramp.height = 64;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ramp.argb.push_back(0xFF000000u | uint32_t(x * 2) << 16 | uint32_t(y) << 8);
    EXPECT_FALSE(Seamless(HorizontalSeam(ramp)));
    EXPECT_FALSE(Seamless(HorizontalSeam(Transposed(ramp))));
}

TEST_F(AssetTiling, BackdropsAndTilesWrapWithoutASeam) {
    std::vector<std::string> names = BackdropNames();
    names.insert(names.end(), TileNames().begin(), TileNames().end());
    for (const std::string& name : names) {
        platform::DecodedImage image;
        ASSERT_TRUE(platform::DecodeImage(Resolve(name), &image)) << name;
        SeamStats across = HorizontalSeam(image), down = HorizontalSeam(Transposed(image));
        EXPECT_TRUE(Seamless(across))
            << name << ": left/right seam " << across.seam << " vs " << across.interior;
        EXPECT_TRUE(Seamless(down)) << name << ": top/bottom seam " << down.seam << " vs " << down.interior;
    }
}
