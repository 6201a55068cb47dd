// The scaler's eight-wide kernels, built with -mavx2 and called only where
// the processor has AVX2; their results equal the SSE2 kernels' bit for bit.
#include "platform/d3d8/frame_scaler.h"

#if defined(__x86_64__)
#if !defined(__AVX2__)
#error "this file is built with -mavx2 and called only where the processor has AVX2"
#endif
#include <immintrin.h>

namespace platform::scaler_kernels {
namespace {

// Channels in 16-bit lanes blended with the second operand's weights.
[[gnu::always_inline]] inline __m256i BlendLanes(__m256i a, __m256i b, __m256i weight) {
    const __m256i sum =
        _mm256_add_epi16(_mm256_mullo_epi16(a, _mm256_sub_epi16(_mm256_set1_epi16(256), weight)),
                         _mm256_mullo_epi16(b, weight));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)), 8);
}

// Eight pixels; the 16-bit unpacks work within each half, so the low
// weights are those of pixels 0, 1, 4, 5 and the high of 2, 3, 6, 7.
[[gnu::always_inline]] inline __m256i BlendEight(__m256i a, __m256i b, __m256i weightLow,
                                                 __m256i weightHigh) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low = BlendLanes(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), weightLow);
    const __m256i high = BlendLanes(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), weightHigh);
    return _mm256_packus_epi16(low, high);
}

} // namespace

void ScaleRowWide(const uint32_t* pixels, const RowTaps& taps, uint32_t* output) {
    const auto* base = reinterpret_cast<const int*>(pixels);
    for (int x = 0; x < taps.count; x += 8) {
        const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps.first + x));
        const int32_t window = taps.window[x / 8];
        __m256i a, b;
        if (window >= 0) {
            // The nine pixels from the window's column, picked in registers:
            // a blended pixel's neighbour is always the next column.
            const __m256i at = _mm256_sub_epi32(first, _mm256_set1_epi32(window));
            a = _mm256_permutevar8x32_epi32(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + window)), at);
            b = _mm256_permutevar8x32_epi32(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + window + 1)), at);
        } else {
            a = _mm256_i32gather_epi32(base, first, 4);
            b = _mm256_i32gather_epi32(
                base, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps.second + x)), 4);
        }
        const __m256i w0 =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps.weight + 4 * x)); // pixels 0-3
        const __m256i w1 =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps.weight + 4 * x + 16)); // pixels 4-7
        const __m256i result = BlendEight(a, b, _mm256_permute2x128_si256(w0, w1, 0x20),
                                          _mm256_permute2x128_si256(w0, w1, 0x31));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(output + x), result);
    }
}

} // namespace platform::scaler_kernels

#endif
