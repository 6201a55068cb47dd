// The presenter's scaler against a plain implementation of its rule, which
// really enlarges the frame by the whole factor, then samples that image
// across and down; and the look the rule promises.
#include "platform/d3d8/frame_scaler.h"
#include "platform/raster/raster_fast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using platform::FrameScaler;
using platform::FrameScaling;

namespace {

uint32_t Mix(uint32_t a, uint32_t b, int weight) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t channel =
            (((a >> shift) & 0xFF) * (256 - weight) + ((b >> shift) & 0xFF) * weight + 128) >> 8;
        result |= channel << shift;
    }
    return result;
}

// Where output pixel x falls in a line of `size` pixels shown as `output`:
// the pixel to its left and the 1/256ths towards the next.
void Sample(int x, int size, int output, int* left, int* weight) {
    const double at = (x + 0.5) * size / output - 0.5;
    int fixed = static_cast<int>(std::floor(at * 256.0 + 1e-9));
    *left = fixed >= 0 ? fixed / 256 : -((-fixed + 255) / 256);
    *weight = fixed - 256 * *left;
}

std::vector<uint32_t> Reference(const std::vector<uint32_t>& frame, int width, int height, int toWidth,
                                int toHeight, FrameScaling scaling) {
    int factor = 1;
    while (scaling != FrameScaling::Smooth && (factor * width < toWidth || factor * height < toHeight))
        ++factor;
    const int bigWidth = width * factor, bigHeight = height * factor;
    std::vector<uint32_t> big(static_cast<size_t>(bigWidth) * bigHeight);
    for (int y = 0; y < bigHeight; ++y)
        for (int x = 0; x < bigWidth; ++x)
            big[static_cast<size_t>(y) * bigWidth + x] =
                frame[static_cast<size_t>(y / factor) * width + x / factor];
    auto at = [&](int x, int y) {
        return big[static_cast<size_t>(std::clamp(y, 0, bigHeight - 1)) * bigWidth +
                   std::clamp(x, 0, bigWidth - 1)];
    };
    std::vector<uint32_t> across(static_cast<size_t>(toWidth) * bigHeight);
    for (int y = 0; y < bigHeight; ++y)
        for (int x = 0; x < toWidth; ++x) {
            int left = 0, weight = 0;
            Sample(x, bigWidth, toWidth, &left, &weight);
            across[static_cast<size_t>(y) * toWidth + x] = Mix(at(left, y), at(left + 1, y), weight);
        }
    std::vector<uint32_t> out(static_cast<size_t>(toWidth) * toHeight);
    for (int y = 0; y < toHeight; ++y) {
        int top = 0, weight = 0;
        Sample(y, bigHeight, toHeight, &top, &weight);
        const int a = std::clamp(top, 0, bigHeight - 1), b = std::clamp(top + 1, 0, bigHeight - 1);
        for (int x = 0; x < toWidth; ++x)
            out[static_cast<size_t>(y) * toWidth + x] =
                Mix(across[static_cast<size_t>(a) * toWidth + x],
                    across[static_cast<size_t>(b) * toWidth + x], weight);
    }
    return out;
}

} // namespace

TEST(FrameScaler, EqualsThePlainRuleBitForBitAtEveryFactorWithFractionsOnBothKernels) {
    const uint32_t seed = 20261211;
    std::mt19937 random(seed);
    const bool hadWide = platform::WideVectorsInUse();
    FrameScaler scaler;
    for (const auto& [width, height] : {std::pair{40, 30}, std::pair{37, 23}}) {
        std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
        for (int factor = 1; factor <= 5; ++factor)
            for (const int extraX : {0, 1, width / 3, width - 1, -width / 4})
                for (const int extraY : {0, 2, height / 2}) {
                    for (uint32_t& pixel : frame)
                        pixel = random();
                    const int toWidth = factor * width + extraX, toHeight = factor * height + extraY;
                    for (const FrameScaling scaling : {FrameScaling::Sharp, FrameScaling::Smooth})
                        for (const bool wide : {false, true}) {
                            platform::UseWideVectors(wide);
                            // Rows wider than the picture, whose ends must stay as they were.
                            const int pitch = toWidth + 3;
                            std::vector<uint32_t> out(static_cast<size_t>(pitch) * toHeight, 0xDEADBEEFu);
                            scaler.Scale(frame.data(), width, height, out.data(), toWidth, toHeight,
                                         pitch * 4, scaling);
                            const std::vector<uint32_t> expected =
                                Reference(frame, width, height, toWidth, toHeight, scaling);
                            int wrong = 0;
                            for (int y = 0; y < toHeight; ++y) {
                                for (int x = 0; x < toWidth; ++x)
                                    wrong += out[static_cast<size_t>(y) * pitch + x] !=
                                             expected[static_cast<size_t>(y) * toWidth + x];
                                for (int x = toWidth; x < pitch; ++x)
                                    wrong += out[static_cast<size_t>(y) * pitch + x] != 0xDEADBEEFu;
                            }
                            ASSERT_EQ(wrong, 0)
                                << "seed " << seed << ", " << width << " x " << height << " to " << toWidth
                                << " x " << toHeight << (wide ? ", wide" : ", SSE2")
                                << (scaling == FrameScaling::Smooth ? ", smooth" : ", sharp");
                        }
                }
    }
    platform::UseWideVectors(hadWide);
}

TEST(FrameScaler, SharpKeepsWholePixelsWithAtMostOneSoftPixelBetweenThem) {
    // Black and white stripes one pixel wide, across and then down, shown at
    // 3.6 x (800 x 600 on 3840 x 2160) and at 1.8 x (on 1920 x 1080).
    const int width = 40, height = 30;
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
    for (const bool columns : {true, false}) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                frame[static_cast<size_t>(y) * width + x] = (columns ? x : y) % 2 == 0 ? 0xFFFFFFu : 0;
        for (const int toHeight : {108, 54}) {
            const int toWidth = toHeight * 4 / 3;
            std::vector<uint32_t> out(static_cast<size_t>(toWidth) * toHeight);
            FrameScaler().Scale(frame.data(), width, height, out.data(), toWidth, toHeight, toWidth * 4,
                                FrameScaling::Sharp);
            // Along the stripes' crossing direction, through the middle.
            const int lines = columns ? toWidth : toHeight;
            int soft = 0;
            for (int i = 0; i < lines; ++i) {
                const uint32_t pixel = columns ? out[static_cast<size_t>(toHeight / 2) * toWidth + i]
                                               : out[static_cast<size_t>(i) * toWidth];
                soft = pixel == 0 || pixel == 0xFFFFFFu ? 0 : soft + 1;
                ASSERT_LE(soft, 1) << (columns ? "column " : "row ") << i << " at " << toHeight;
            }
        }
    }
    // A whole factor is the nearest pixel everywhere.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame[static_cast<size_t>(y) * width + x] = static_cast<uint32_t>(x * 977 + y * 131);
    std::vector<uint32_t> twice(static_cast<size_t>(4 * width * height));
    FrameScaler().Scale(frame.data(), width, height, twice.data(), 2 * width, 2 * height, 8 * width,
                        FrameScaling::Whole);
    for (int y = 0; y < 2 * height; ++y)
        for (int x = 0; x < 2 * width; ++x)
            ASSERT_EQ(twice[static_cast<size_t>(y) * 2 * width + x],
                      frame[static_cast<size_t>(y / 2) * width + x / 2]);
}
