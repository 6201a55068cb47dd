#include "platform/image/png_writer.h"

#include "platform/os/files.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace platform {
namespace {

// libpng reports errors by longjmp; nothing with a destructor may live
// between setjmp and the calls that can fail, so the row buffer is built first.
bool Encode(FILE* file, const std::vector<png_bytep>& rows, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0 || width > 0x8000 || height > 0x8000)
        return false;
    size_t w = static_cast<size_t>(width);
    std::vector<png_byte> bytes(w * static_cast<size_t>(height) * 4);
    for (size_t i = 0; i < bytes.size() / 4; ++i) {
        uint32_t p = pixels[i];
        bytes[i * 4 + 0] = static_cast<png_byte>(p >> 16);
        bytes[i * 4 + 1] = static_cast<png_byte>(p >> 8);
        bytes[i * 4 + 2] = static_cast<png_byte>(p);
        bytes[i * 4 + 3] = static_cast<png_byte>(p >> 24);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = bytes.data() + y * w * 4;

    FILE* file = OpenFile(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool encoded = Encode(file, rows, width, height);
    bool closed = fclose(file) == 0;
    if (encoded && closed)
        return true;
    std::remove(path.c_str()); // never leave a truncated image behind
    return false;
}

} // namespace platform
