// JPEG decoding with libjpeg. The library's default error handler exits the
// process; ours jumps back instead, and treats warnings (corrupt or missing
// data, which libjpeg would paper over with grey) as failures too. The
// function that calls setjmp holds no object with a destructor.
#include "platform/image/image_decode.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace platform {

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JpegFail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void JpegMessage(j_common_ptr info, int level) {
    if (level < 0) {
        JpegFail(info);
    }
}

void JpegSilence(j_common_ptr) {}

bool ReadJpeg(jpeg_decompress_struct* jpeg, const uint8_t* data, size_t size, DecodedImage* image,
              std::vector<uint8_t>* row) {
    auto* errors = reinterpret_cast<JpegErrors*>(jpeg->err);
    if (setjmp(errors->jump)) {
        return false;
    }
    jpeg_create_decompress(jpeg);
    jpeg_mem_src(jpeg, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(jpeg, TRUE) != JPEG_HEADER_OK ||
        !ImageSizeAcceptable(jpeg->image_width, jpeg->image_height)) {
        return false;
    }
    jpeg->out_color_space = JCS_RGB;
    jpeg_start_decompress(jpeg);
    const JDIMENSION width = jpeg->output_width;
    const JDIMENSION height = jpeg->output_height;
    if (jpeg->output_components != 3 || !ImageSizeAcceptable(width, height)) {
        return false;
    }
    image->argb.resize(size_t{width} * height);
    row->resize(size_t{width} * 3);
    while (jpeg->output_scanline < height) {
        const JDIMENSION y = jpeg->output_scanline;
        JSAMPROW rows[1] = {row->data()};
        if (jpeg_read_scanlines(jpeg, rows, 1) != 1) {
            return false;
        }
        uint32_t* target = image->argb.data() + size_t{y} * width;
        for (JDIMENSION x = 0; x < width; ++x) {
            const uint8_t* rgb = row->data() + size_t{x} * 3;
            target[x] = 0xFF000000u | (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
        }
    }
    jpeg_finish_decompress(jpeg);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    return true;
}

} // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
    if (data == nullptr || size == 0) {
        return false;
    }
    jpeg_decompress_struct jpeg{};
    JpegErrors errors{};
    jpeg.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegFail;
    errors.manager.emit_message = JpegMessage;
    errors.manager.output_message = JpegSilence;
    DecodedImage image;
    std::vector<uint8_t> row;
    const bool ok = ReadJpeg(&jpeg, data, size, &image, &row);
    jpeg_destroy_decompress(&jpeg); // safe on a struct that was never created: it is zeroed
    if (!ok) {
        return false;
    }
    *out = std::move(image);
    return true;
}

} // namespace platform
