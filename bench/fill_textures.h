// The textures the fill benchmarks draw with, shared so that the comparison
// with SDL's renderer draws exactly the same texels.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace bench {

// A 256 x 256 tile with varied colour and a band of transparent texels.
inline std::vector<uint32_t> TileTexels() {
    std::vector<uint32_t> texels(256 * 256);
    for (uint32_t y = 0; y < 256; ++y) {
        for (uint32_t x = 0; x < 256; ++x) {
            const uint32_t alpha = (x + y) % 64 < 4 ? 0 : 128 + (x ^ y) % 128;
            texels[y * 256 + x] = alpha << 24 | (x << 16) | (y << 8) | ((x * y) & 0xFF);
        }
    }
    return texels;
}

// A soft round glow for particles.
inline std::vector<uint32_t> GlowTexels() {
    std::vector<uint32_t> texels(32 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const float d = std::hypot(x - 15.5f, y - 15.5f) / 16.0f;
            const uint32_t v = d >= 1.0f ? 0 : static_cast<uint32_t>(255 * (1.0f - d));
            texels[static_cast<size_t>(y) * 32 + x] = v << 24 | v << 16 | v << 8 | v;
        }
    }
    return texels;
}

} // namespace bench
