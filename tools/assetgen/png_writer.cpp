#include <png.h>

#include <cstdio>
#include <memory>

#include "writers.h"

namespace assetgen {

bool WritePng(const std::string& path, const Image& image, bool opaque) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<uint8_t> bytes = ToBytes(image, !opaque);
    std::vector<png_bytep> rows(size_t(image.height));
    size_t stride = size_t(image.width) * (opaque ? 3 : 4);
    for (int y = 0; y < image.height; ++y)
        rows[size_t(y)] = bytes.data() + size_t(y) * stride;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

} // namespace assetgen
