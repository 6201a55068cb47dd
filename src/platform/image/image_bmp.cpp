// Windows BMP decoding, written out by hand: the core, info and V2 to V5
// headers; 1-, 4- and 8-bit palettes, 16- and 32-bit pixels as BI_RGB or
// BI_BITFIELDS, 24-bit BI_RGB; bottom-up and top-down rows. Every field that
// locates data is checked against the buffer before anything is read or
// allocated, in 64-bit arithmetic so no product can wrap.
#include "platform/image/image_decode.h"

#include <bit>

namespace platform {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Read32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// One channel of a bit-field pixel: where it sits and how wide it is. A zero
// mask yields `absent` (0 for colour, 255 for alpha).
struct Channel {
    uint32_t shift = 0;
    uint32_t maximum = 0;
    uint8_t absent = 0;

    uint8_t From(uint32_t pixel) const {
        if (maximum == 0) {
            return absent;
        }
        const uint64_t value = (pixel >> shift) & maximum;
        return static_cast<uint8_t>((value * 255 + maximum / 2) / maximum);
    }
};

// False for a mask whose set bits are not one run.
bool MakeChannel(uint32_t mask, uint8_t absent, Channel* channel) {
    channel->absent = absent;
    if (mask == 0) {
        return true;
    }
    channel->shift = static_cast<uint32_t>(std::countr_zero(mask));
    channel->maximum = mask >> channel->shift;
    return (channel->maximum & (channel->maximum + 1)) == 0;
}

struct BmpLayout {
    uint64_t width = 0;
    uint64_t height = 0;
    bool topDown = false;
    uint32_t bitCount = 0;
    uint64_t pixelOffset = 0;
    uint64_t stride = 0;
    std::vector<uint32_t> palette;
    Channel red, green, blue, alpha;
};

bool ReadMasks(const uint8_t* data, size_t size, uint64_t at, uint32_t headerSize, uint32_t compression,
               BmpLayout* layout) {
    uint32_t r = 0, g = 0, b = 0, a = 0;
    if (compression == kBiRgb) {
        if (layout->bitCount == 16) {
            r = 0x7C00, g = 0x03E0, b = 0x001F;
        } else {
            r = 0xFF0000, g = 0xFF00, b = 0xFF; // the fourth byte is reserved: opaque
        }
    } else {
        // An info header is followed by its three masks; V2 and later headers
        // hold them inside, at the same place (V3 and later add alpha).
        const uint64_t masksAt = at + kInfoHeaderBytes;
        if (masksAt + 12 > size) {
            return false;
        }
        r = Read32(data + masksAt);
        g = Read32(data + masksAt + 4);
        b = Read32(data + masksAt + 8);
        if (headerSize >= 56) {
            a = Read32(data + masksAt + 12);
        }
    }
    if (layout->bitCount == 16 && ((r | g | b | a) >> 16) != 0) {
        return false;
    }
    return MakeChannel(r, 0, &layout->red) && MakeChannel(g, 0, &layout->green) &&
           MakeChannel(b, 0, &layout->blue) && MakeChannel(a, 255, &layout->alpha);
}

bool ReadLayout(const uint8_t* data, size_t size, BmpLayout* layout) {
    if (size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    layout->pixelOffset = Read32(data + 10);
    const uint32_t headerSize = Read32(data + kFileHeaderBytes);
    const bool core = headerSize == kCoreHeaderBytes;
    if (!core && headerSize != kInfoHeaderBytes && headerSize != 52 && headerSize != 56 &&
        headerSize != 108 && headerSize != 124) {
        return false;
    }
    const uint64_t infoAt = kFileHeaderBytes;
    uint64_t paletteAt = infoAt + headerSize;
    if (paletteAt > size) {
        return false;
    }
    const uint8_t* info = data + infoAt;
    uint32_t planes = 0, compression = kBiRgb, coloursUsed = 0;
    if (core) {
        layout->width = Read16(info + 4);
        layout->height = Read16(info + 6);
        planes = Read16(info + 8);
        layout->bitCount = Read16(info + 10);
    } else {
        const auto width = static_cast<int32_t>(Read32(info + 4));
        const auto height = static_cast<int32_t>(Read32(info + 8));
        if (width <= 0 || height == 0 || height == INT32_MIN) {
            return false;
        }
        layout->width = static_cast<uint64_t>(width);
        layout->topDown = height < 0;
        layout->height = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
        planes = Read16(info + 12);
        layout->bitCount = Read16(info + 14);
        compression = Read32(info + 16);
        coloursUsed = Read32(info + 32);
    }
    if (planes != 1 || !ImageSizeAcceptable(layout->width, layout->height)) {
        return false;
    }
    const uint32_t bits = layout->bitCount;
    if (bits == 1 || bits == 4 || bits == 8) {
        if (compression != kBiRgb) {
            return false;
        }
        const uint32_t entries = coloursUsed != 0 ? coloursUsed : 1u << bits;
        const uint32_t entryBytes = core ? 3 : 4;
        if (entries > (1u << bits) || paletteAt + uint64_t{entries} * entryBytes > size) {
            return false;
        }
        layout->palette.resize(entries);
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* e = data + paletteAt + uint64_t{i} * entryBytes;
            layout->palette[i] = 0xFF000000u | (uint32_t{e[2]} << 16) | (uint32_t{e[1]} << 8) | e[0];
        }
        paletteAt += uint64_t{entries} * entryBytes;
    } else if (bits == 24) {
        if (compression != kBiRgb) {
            return false;
        }
    } else if (bits == 16 || bits == 32) {
        if ((compression != kBiRgb && compression != kBiBitfields) || (core && compression != kBiRgb) ||
            !ReadMasks(data, size, infoAt, headerSize, compression, layout)) {
            return false;
        }
        if (compression == kBiBitfields && headerSize == kInfoHeaderBytes) {
            paletteAt += 12;
        }
    } else {
        return false;
    }
    // The pixels start after the headers, palette and masks, and all rows,
    // padded to four bytes, lie inside the buffer.
    layout->stride = (layout->width * bits + 31) / 32 * 4;
    return layout->pixelOffset >= paletteAt && layout->pixelOffset <= size &&
           layout->stride * layout->height <= size - layout->pixelOffset;
}

// Converts one stored row; false when a palette index has no entry.
bool ConvertRow(const BmpLayout& layout, const uint8_t* row, uint32_t* target) {
    const uint64_t width = layout.width;
    switch (layout.bitCount) {
    case 1:
    case 4:
    case 8: {
        const uint32_t bits = layout.bitCount;
        const uint32_t perByte = 8 / bits;
        const uint32_t mask = (1u << bits) - 1;
        for (uint64_t x = 0; x < width; ++x) {
            // Leftmost pixel in the most significant bits.
            const uint32_t shift = (perByte - 1 - static_cast<uint32_t>(x % perByte)) * bits;
            const uint32_t index = (row[x / perByte] >> shift) & mask;
            if (index >= layout.palette.size()) {
                return false;
            }
            target[x] = layout.palette[index];
        }
        return true;
    }
    case 24:
        for (uint64_t x = 0; x < width; ++x) {
            const uint8_t* p = row + x * 3;
            target[x] = 0xFF000000u | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
        }
        return true;
    default:
        for (uint64_t x = 0; x < width; ++x) {
            const uint32_t pixel = layout.bitCount == 16 ? Read16(row + x * 2) : Read32(row + x * 4);
            target[x] = (uint32_t{layout.alpha.From(pixel)} << 24) |
                        (uint32_t{layout.red.From(pixel)} << 16) | (uint32_t{layout.green.From(pixel)} << 8) |
                        layout.blue.From(pixel);
        }
        return true;
    }
}

} // namespace

bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
    BmpLayout layout;
    if (data == nullptr || !ReadLayout(data, size, &layout)) {
        return false;
    }
    DecodedImage image;
    image.argb.resize(layout.width * layout.height);
    for (uint64_t y = 0; y < layout.height; ++y) {
        const uint64_t stored = layout.topDown ? y : layout.height - 1 - y;
        const uint8_t* row = data + layout.pixelOffset + stored * layout.stride;
        if (!ConvertRow(layout, row, image.argb.data() + y * layout.width)) {
            return false;
        }
    }
    image.width = static_cast<int>(layout.width);
    image.height = static_cast<int>(layout.height);
    *out = std::move(image);
    return true;
}

} // namespace platform
