// PNG decoding with libpng: every colour type and bit depth becomes 8-bit
// ARGB. libpng reports errors by longjmp, so the function that calls
// setjmp holds no object with a destructor; buffers belong to its caller.
#include "platform/image/image_decode.h"

#include <png.h>

#include <cstring>

namespace platform {

namespace {

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t offset;
};

void ReadPngBytes(png_structp png, png_bytep dest, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) {
        png_error(png, "truncated");
    }
    std::memcpy(dest, source->data + source->offset, length);
    source->offset += length;
}

[[noreturn]] void PngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Palette images are read as one index per byte and looked up here, because
// libpng lets indices beyond the palette through as black.
bool LookUpPalette(png_structp png, png_infop info, const std::vector<uint8_t>& indices,
                   DecodedImage* image) {
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) == 0) {
        return false;
    }
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS) == 0 ||
        png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) == 0) {
        alphaCount = 0;
    }
    uint32_t colours[256] = {};
    for (int i = 0; i < entries && i < 256; ++i) {
        const uint32_t alpha = i < alphaCount ? alphas[i] : 0xFF;
        colours[i] = (alpha << 24) | (uint32_t{palette[i].red} << 16) | (uint32_t{palette[i].green} << 8) |
                     palette[i].blue;
    }
    for (size_t i = 0; i < indices.size(); ++i) {
        if (indices[i] >= entries) {
            return false;
        }
        image->argb[i] = colours[indices[i]];
    }
    return true;
}

// libpng allocates a chunk's claimed length before it reads the chunk, so a
// few bytes claiming a huge chunk would cost gigabytes. Every chunk up to IEND
// must lie inside the buffer before libpng sees it.
bool ChunksFit(const uint8_t* data, size_t size) {
    size_t offset = 8;
    while (size - offset >= 12) {
        const uint32_t length = png_get_uint_32(data + offset);
        if (length > PNG_UINT_31_MAX || length > size - offset - 12) {
            return false;
        }
        if (std::memcmp(data + offset + 4, "IEND", 4) == 0) {
            return true;
        }
        offset += 12 + size_t{length};
    }
    return false;
}

bool ReadPng(png_structp png, png_infop info, size_t size, DecodedImage* image, std::vector<png_bytep>* rows,
             std::vector<uint8_t>* indices) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    // Bounds what libpng inflates compressed text and profile chunks into.
    png_set_chunk_malloc_max(png, size + (size_t{1} << 20));
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!ImageSizeAcceptable(width, height)) {
        return false;
    }
    // Deflate packs at most 1032 bytes into one, so a file too short to hold
    // the image is refused before its pixels are allocated.
    const uint64_t storedBits = uint64_t{width} * png_get_channels(png, info) * png_get_bit_depth(png, info);
    const uint64_t storedBytes = (storedBits + 7) / 8 * height + height;
    if (storedBytes / 1032 > size) {
        return false;
    }
    const bool paletted = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE;
    if (paletted) {
        png_set_packing(png);
    } else {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * (paletted ? 1 : 4)) {
        return false;
    }
    // Other images are decoded as RGBA bytes straight into the pixel array and
    // turned into ARGB words in place afterwards.
    image->argb.resize(size_t{width} * height);
    if (paletted) {
        indices->resize(size_t{width} * height);
    }
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        (*rows)[y] = paletted ? indices->data() + size_t{y} * width
                              : reinterpret_cast<png_bytep>(image->argb.data() + size_t{y} * width);
    }
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    if (paletted) {
        if (!LookUpPalette(png, info, *indices, image)) {
            return false;
        }
    } else {
        for (uint32_t& pixel : image->argb) {
            uint8_t rgba[4];
            std::memcpy(rgba, &pixel, 4);
            pixel =
                (uint32_t{rgba[3]} << 24) | (uint32_t{rgba[0]} << 16) | (uint32_t{rgba[1]} << 8) | rgba[2];
        }
    }
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    return true;
}

} // namespace

bool DecodePng(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
    if (data == nullptr || size < 8 || !ChunksFit(data, size)) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    PngSource source{data, size, 0};
    png_set_read_fn(png, &source, ReadPngBytes);
    DecodedImage image;
    std::vector<png_bytep> rows;
    std::vector<uint8_t> indices;
    const bool ok = ReadPng(png, info, size, &image, &rows, &indices);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        return false;
    }
    *out = std::move(image);
    return true;
}

} // namespace platform
