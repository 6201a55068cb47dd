// PNG decoding with libpng: every colour type and bit depth is expanded to
// 8-bit RGBA. libpng reports errors by longjmp, so the function that calls
// setjmp holds no object with a destructor; buffers belong to its caller.
#include "platform/image_decode.h"

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

[[noreturn]] void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void PngWarning(png_structp, png_const_charp) {}

bool ReadPng(png_structp png, png_infop info, DecodedImage* image, std::vector<png_bytep>* rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!ImageSizeAcceptable(width, height)) {
        return false;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4) {
        return false;
    }
    // Rows are decoded as RGBA bytes straight into the pixel array and turned
    // into ARGB words in place afterwards.
    image->argb.resize(size_t{width} * height);
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        (*rows)[y] = reinterpret_cast<png_bytep>(image->argb.data() + size_t{y} * width);
    }
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    return true;
}

} // namespace

bool DecodePng(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
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
    const bool ok = ReadPng(png, info, &image, &rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        return false;
    }
    for (uint32_t& pixel : image.argb) {
        uint8_t rgba[4];
        std::memcpy(rgba, &pixel, 4);
        pixel = (uint32_t{rgba[3]} << 24) | (uint32_t{rgba[0]} << 16) | (uint32_t{rgba[1]} << 8) | rgba[2];
    }
    *out = std::move(image);
    return true;
}

} // namespace platform
