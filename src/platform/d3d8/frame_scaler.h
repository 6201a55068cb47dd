// Internal to the platform layer: the software presenter's enlargement of a
// frame to the size it is shown at. Pure pixel arithmetic, so it is tested
// and measured without a display.
#pragma once

#include "platform/win32/window_scale.h"

#include <cstdint>
#include <vector>

namespace platform {

// Where one output row or column samples the frame: the frame's pixel
// `first` and, with `weight` / 256, the next one. A weight of 0 is the pixel
// `first` exactly; `second` is then `first` too.
struct ScaleTap {
    int32_t first = 0;
    int32_t second = 0;
    int32_t weight = 0;
};

// The taps of `outputSize` output pixels along an axis of `frameSize` frame
// pixels. Output pixel x samples the frame enlarged `factor` times by the
// nearest pixel at (x + 0.5) * factor * frameSize / outputSize - 0.5, in
// 1/256ths rounded down, between its two pixels there (clamped at the
// edges). `factor` is at least 1.
std::vector<ScaleTap> ScaleTaps(int frameSize, int outputSize, int factor);

// The whole factor the Sharp rule enlarges by before the smooth step: the
// smallest that reaches the output on both axes, at least 1. Taking the one
// below instead would leave the steps between pixels up to two pixels soft.
int SharpFactor(int frameWidth, int frameHeight, int outputWidth, int outputHeight);

// Enlarges frames of one size to one output size: each row of the frame is
// first scaled across (each channel (a * (256 - w) + b * w + 128) >> 8),
// then the output rows are the rows so made, or two of them blended by the
// same formula. The taps and the scaled rows are kept between frames.
class FrameScaler {
  public:
    // `pixels` is frameWidth x frameHeight, 32 bits a pixel with the rows
    // packed; `output` receives outputWidth x outputHeight at `outputPitch`
    // bytes a row. All four bytes of a pixel are scaled alike.
    void Scale(const uint32_t* pixels, int frameWidth, int frameHeight, uint32_t* output, int outputWidth,
               int outputHeight, int outputPitch, FrameScaling scaling);

  private:
    void Prepare(int frameWidth, int frameHeight, int outputWidth, int outputHeight, FrameScaling scaling);
    const uint32_t* ScaledRow(const uint32_t* pixels, int row);

    int frameWidth = 0, frameHeight = 0, outputWidth = 0, outputHeight = 0;
    FrameScaling scaling = FrameScaling::Sharp;
    std::vector<ScaleTap> down;
    // The taps across as the kernels read them, padded to a multiple of
    // eight output pixels.
    std::vector<int32_t> firstColumn, secondColumn, window;
    std::vector<uint16_t> columnWeight;
    // Frame rows scaled across, an even row in the first and an odd one in
    // the second, and which rows they are this frame.
    std::vector<uint32_t> rows[2];
    int rowOf[2] = {-1, -1};
};

// The kernels. Rows are scaled across eight pixels at a time with AVX2 where
// the rasterizer takes its own eight-wide path (WideVectorsInUse), else
// with SSE2; the output rows are written with SSE2 past the caches, since
// the screen's pixels are not read again here. The tests and the benchmark
// compare and time both.
namespace scaler_kernels {
// A row's taps across, for count output pixels (a multiple of eight).
struct RowTaps {
    const int32_t* first;
    const int32_t* second;
    const uint16_t* weight; // each pixel's weight four times
    // For each eight output pixels, a frame column from which the nine
    // pixels on hold every pixel they read, or -1 where none does (across a
    // shrinking axis, or too near the frame's right edge).
    const int32_t* window;
    int count;
};
// output[x] = blend(pixels[first[x]], pixels[second[x]], weight[4 x]).
void ScaleRowSse2(const uint32_t* pixels, const RowTaps& taps, uint32_t* output);
void ScaleRowWide(const uint32_t* pixels, const RowTaps& taps, uint32_t* output);
// output[x] = row[x], and output[x] = blend(a[x], b[x], weight) with
// 0 < weight < 256, each for any count.
void CopyRow(const uint32_t* row, uint32_t* output, int count);
void BlendRows(const uint32_t* a, const uint32_t* b, int weight, uint32_t* output, int count);
} // namespace scaler_kernels

} // namespace platform
