// Rewriting the checksums of Ogg pages, for inputs whose page contents were
// changed on purpose (the Ogg fuzz target, the music regression tests).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ogg_pages {

// CRC-32 with polynomial 0x04C11DB7, most significant bit first, over a whole
// page with its checksum field (bytes 22..25) taken as zero.
inline uint32_t Checksum(const uint8_t* page, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 0x80000000u) != 0 ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t byte = i >= 22 && i < 26 ? 0 : page[i];
        crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
    }
    return crc;
}

// Sets the checksum of every whole page that starts at a capture pattern.
template <typename Bytes> void FixChecksums(Bytes& bytes) {
    size_t at = 0;
    while (at + 27 <= bytes.size()) {
        if (std::memcmp(&bytes[at], "OggS", 4) != 0) {
            ++at;
            continue;
        }
        const size_t segments = static_cast<uint8_t>(bytes[at + 26]);
        size_t length = 27 + segments;
        if (at + length > bytes.size())
            return;
        for (size_t i = 0; i < segments; ++i)
            length += static_cast<uint8_t>(bytes[at + 27 + i]);
        if (at + length > bytes.size())
            return;
        const uint32_t crc = Checksum(reinterpret_cast<const uint8_t*>(&bytes[at]), length);
        for (size_t i = 0; i < 4; ++i)
            bytes[at + 22 + i] = static_cast<typename Bytes::value_type>(crc >> (8 * i));
        at += length;
    }
}

} // namespace ogg_pages
