// Small image files built byte by byte for the decoder and loader tests.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace image_test {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes* b, uint32_t v) {
    b->push_back(static_cast<uint8_t>(v));
    b->push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes* b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutBe32(Bytes* b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        b->push_back(static_cast<uint8_t>(v >> shift));
    }
}
inline void Set32(Bytes* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// A BMP with a 40-byte info header (or `headerSize` with zeroed extra fields,
// masks written into it for V2+), the palette, masks after a 40-byte header
// for BI_BITFIELDS, and `rows` exactly as stored (padding included).
struct BmpLayout {
    int32_t width = 2;
    int32_t height = 2;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t headerSize = 40;
    std::vector<uint32_t> palette; // 0x00RRGGBB
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks; // r, g, b[, a]
    Bytes rows;
};

inline Bytes MakeBmp(const BmpLayout& layout) {
    Bytes info;
    Put32(&info, layout.headerSize);
    Put32(&info, static_cast<uint32_t>(layout.width));
    Put32(&info, static_cast<uint32_t>(layout.height));
    Put16(&info, 1);
    Put16(&info, layout.bitCount);
    Put32(&info, layout.compression);
    Put32(&info, static_cast<uint32_t>(layout.rows.size()));
    Put32(&info, 2835);
    Put32(&info, 2835);
    Put32(&info, layout.coloursUsed);
    Put32(&info, 0);
    Bytes extra;
    for (uint32_t mask : layout.masks) {
        Put32(layout.headerSize == 40 ? &extra : &info, mask);
    }
    info.resize(layout.headerSize, 0);
    for (uint32_t colour : layout.palette) {
        Put32(&extra, colour);
    }
    const uint32_t offset = 14 + layout.headerSize + static_cast<uint32_t>(extra.size());
    Bytes file{'B', 'M'};
    Put32(&file, offset + static_cast<uint32_t>(layout.rows.size()));
    Put32(&file, 0);
    Put32(&file, offset);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), extra.begin(), extra.end());
    file.insert(file.end(), layout.rows.begin(), layout.rows.end());
    return file;
}

inline void PngChunk(Bytes* png, const char* type, const Bytes& data) {
    PutBe32(png, static_cast<uint32_t>(data.size()));
    const size_t start = png->size();
    png->insert(png->end(), type, type + 4);
    png->insert(png->end(), data.begin(), data.end());
    PutBe32(png,
            static_cast<uint32_t>(crc32(0, png->data() + start, static_cast<uInt>(png->size() - start))));
}

// A non-interlaced PNG; `scanlines` are the raw rows, each without its filter
// byte (filter 0 is added). `extra` chunks (type, data) go before IDAT.
inline Bytes MakePng(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                     const Bytes& scanlines,
                     std::initializer_list<std::pair<const char*, Bytes>> extra = {}) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    PutBe32(&header, width);
    PutBe32(&header, height);
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    PngChunk(&png, "IHDR", header);
    for (const auto& [type, data] : extra) {
        PngChunk(&png, type, data);
    }
    const size_t rowBytes = height == 0 ? 0 : scanlines.size() / height;
    Bytes raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), scanlines.begin() + y * rowBytes, scanlines.begin() + (y + 1) * rowBytes);
    }
    Bytes packed(compressBound(static_cast<uLong>(raw.size())));
    uLongf packedSize = packed.size();
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    PngChunk(&png, "IDAT", packed);
    PngChunk(&png, "IEND", {});
    return png;
}

// A 3 x 2 RGBA PNG: red, green, blue / half-transparent white, clear, grey.
inline Bytes SmallRgbaPng() {
    return MakePng(3, 2, 8, 6, {255, 0,   0,   255, 0, 255, 0, 255, 0,  0,  255, 255,
                                255, 255, 255, 128, 0, 0,   0, 0,   90, 90, 90,  255});
}

// A 2 x 2 bottom-up 24-bit BMP: top row red, green; bottom row blue, white.
inline Bytes SmallBmp() {
    BmpLayout layout;
    layout.rows = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    return MakeBmp(layout);
}

} // namespace image_test
