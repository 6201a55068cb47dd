#include "platform/d3d8/frame_scaler.h"

#include "platform/raster/raster_fast.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>

namespace platform {
namespace {

uint32_t Blend(uint32_t a, uint32_t b, int weight) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t channel =
            (((a >> shift) & 0xFF) * (256 - weight) + ((b >> shift) & 0xFF) * weight + 128) >> 8;
        result |= channel << shift;
    }
    return result;
}

// Two pixels' channels in 16-bit lanes, blended with their own weights
// (the second operand's, [w0 x4, w1 x4]) and rounded.
inline __m128i BlendLanes(__m128i a, __m128i b, __m128i weight) {
    const __m128i whole = _mm_set1_epi16(256);
    const __m128i sum =
        _mm_add_epi16(_mm_mullo_epi16(a, _mm_sub_epi16(whole, weight)), _mm_mullo_epi16(b, weight));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8); // at most 255 * 256 + 128: no overflow
}

inline __m128i BlendFour(__m128i a, __m128i b, __m128i weightLow, __m128i weightHigh) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = BlendLanes(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), weightLow);
    const __m128i high = BlendLanes(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), weightHigh);
    return _mm_packus_epi16(low, high);
}

} // namespace

std::vector<ScaleTap> ScaleTaps(int frameSize, int outputSize, int factor) {
    std::vector<ScaleTap> taps(static_cast<size_t>(std::max(outputSize, 0)));
    if (frameSize <= 0 || outputSize <= 0)
        return taps;
    factor = std::max(factor, 1);
    const int64_t enlarged = static_cast<int64_t>(factor) * frameSize;
    for (int x = 0; x < outputSize; ++x) {
        // (x + 0.5) * enlarged / outputSize - 0.5, in 1/256ths.
        const int at =
            FloorDivide((2 * x + 1) * enlarged * 256 - 256 * int64_t{outputSize}, 2 * int64_t{outputSize});
        const int left = FloorDivide(at, 256);
        ScaleTap& tap = taps[static_cast<size_t>(x)];
        tap.first = static_cast<int32_t>(std::clamp<int64_t>(left, 0, enlarged - 1) / factor);
        tap.second = static_cast<int32_t>(std::clamp<int64_t>(int64_t{left} + 1, 0, enlarged - 1) / factor);
        tap.weight = tap.first == tap.second ? 0 : at - 256 * left;
        if (tap.weight == 0)
            tap.second = tap.first;
    }
    return taps;
}

int SharpFactor(int frameWidth, int frameHeight, int outputWidth, int outputHeight) {
    if (frameWidth <= 0 || frameHeight <= 0)
        return 1;
    const int across = (outputWidth + frameWidth - 1) / frameWidth,
              down = (outputHeight + frameHeight - 1) / frameHeight;
    return std::max({1, across, down});
}

namespace scaler_kernels {

void ScaleRowSse2(const uint32_t* pixels, const RowTaps& taps, uint32_t* output) {
    const int32_t* first = taps.first;
    const int32_t* second = taps.second;
    for (int x = 0; x < taps.count; x += 4) {
        const __m128i a =
            _mm_set_epi32(static_cast<int>(pixels[first[x + 3]]), static_cast<int>(pixels[first[x + 2]]),
                          static_cast<int>(pixels[first[x + 1]]), static_cast<int>(pixels[first[x]]));
        const __m128i b =
            _mm_set_epi32(static_cast<int>(pixels[second[x + 3]]), static_cast<int>(pixels[second[x + 2]]),
                          static_cast<int>(pixels[second[x + 1]]), static_cast<int>(pixels[second[x]]));
        const __m128i weightLow = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps.weight + 4 * x));
        const __m128i weightHigh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps.weight + 4 * x + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(output + x), BlendFour(a, b, weightLow, weightHigh));
    }
}

// Both write their first pixels one by one up to a 16-byte boundary of the
// output, then four at a time past the caches.
void CopyRow(const uint32_t* row, uint32_t* output, int count) {
    int x = 0;
    for (; x < count && (reinterpret_cast<uintptr_t>(output + x) & 15) != 0; ++x)
        output[x] = row[x];
    for (; x + 4 <= count; x += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(output + x),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)));
    for (; x < count; ++x)
        output[x] = row[x];
}

void BlendRows(const uint32_t* a, const uint32_t* b, int weight, uint32_t* output, int count) {
    const __m128i weights = _mm_set1_epi16(static_cast<int16_t>(weight));
    int x = 0;
    for (; x < count && (reinterpret_cast<uintptr_t>(output + x) & 15) != 0; ++x)
        output[x] = Blend(a[x], b[x], weight);
    for (; x + 4 <= count; x += 4) {
        const __m128i top = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        const __m128i bottom = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        _mm_stream_si128(reinterpret_cast<__m128i*>(output + x), BlendFour(top, bottom, weights, weights));
    }
    for (; x < count; ++x)
        output[x] = Blend(a[x], b[x], weight);
}

} // namespace scaler_kernels

void FrameScaler::Prepare(int width, int height, int toWidth, int toHeight, FrameScaling how) {
    if (width == frameWidth && height == frameHeight && toWidth == outputWidth && toHeight == outputHeight &&
        how == scaling)
        return;
    frameWidth = width;
    frameHeight = height;
    outputWidth = toWidth;
    outputHeight = toHeight;
    scaling = how;
    const int factor = how == FrameScaling::Smooth ? 1 : SharpFactor(width, height, toWidth, toHeight);
    const std::vector<ScaleTap> across = ScaleTaps(width, toWidth, factor);
    down = ScaleTaps(height, toHeight, factor);
    const size_t padded = (across.size() + 7) / 8 * 8;
    // The padding repeats the last tap, so the columns never go back.
    firstColumn.assign(padded, across.back().first);
    secondColumn.assign(padded, across.back().second);
    columnWeight.assign(4 * padded, 0);
    for (size_t x = 0; x < across.size(); ++x) {
        firstColumn[x] = across[x].first;
        secondColumn[x] = across[x].second;
        std::fill_n(columnWeight.begin() + static_cast<std::ptrdiff_t>(4 * x), 4,
                    static_cast<uint16_t>(across[x].weight));
    }
    window.assign(padded / 8, -1);
    for (size_t group = 0; group < window.size(); ++group) {
        const int32_t base = firstColumn[8 * group];
        bool fits = base + 9 <= width;
        for (size_t x = 8 * group; x < 8 * group + 8 && fits; ++x)
            fits = firstColumn[x] - base <= 7; // the columns only go forward
        if (fits)
            window[group] = base;
    }
    for (std::vector<uint32_t>& row : rows)
        row.assign(padded, 0);
}

const uint32_t* FrameScaler::ScaledRow(const uint32_t* pixels, int row) {
    // Output rows go down the frame in order, so each frame row is scaled
    // once, and a row and the next one (of the other parity) are both kept.
    const int slot = row & 1;
    uint32_t* scaled = rows[slot].data();
    if (rowOf[slot] != row) {
        const uint32_t* source = pixels + static_cast<size_t>(row) * static_cast<size_t>(frameWidth);
        const scaler_kernels::RowTaps taps{firstColumn.data(), secondColumn.data(), columnWeight.data(),
                                           window.data(), static_cast<int>(firstColumn.size())};
#if defined(__x86_64__)
        if (WideVectorsInUse())
            scaler_kernels::ScaleRowWide(source, taps, scaled);
        else
#endif
            scaler_kernels::ScaleRowSse2(source, taps, scaled);
        rowOf[slot] = row;
    }
    return scaled;
}

void FrameScaler::Scale(const uint32_t* pixels, int width, int height, uint32_t* output, int toWidth,
                        int toHeight, int outputPitch, FrameScaling how) {
    if (width <= 0 || height <= 0 || toWidth <= 0 || toHeight <= 0)
        return;
    Prepare(width, height, toWidth, toHeight, how);
    rowOf[0] = rowOf[1] = -1; // a new frame
    auto* out = reinterpret_cast<uint8_t*>(output);
    for (const ScaleTap& tap : down) {
        const uint32_t* top = ScaledRow(pixels, tap.first);
        auto* target = reinterpret_cast<uint32_t*>(out);
        if (tap.weight == 0)
            scaler_kernels::CopyRow(top, target, toWidth);
        else
            scaler_kernels::BlendRows(top, ScaledRow(pixels, tap.second), tap.weight, target, toWidth);
        out += outputPitch;
    }
    _mm_sfence(); // the rows written past the caches are seen before the window shows them
}

} // namespace platform
