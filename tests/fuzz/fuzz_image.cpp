// libFuzzer entry: bytes through the texture loader's decoder. Built once per
// format (BACKFIRE_FUZZ_FORMAT names it) so each has its own corpus; bytes of
// another format are left to that format's target. A decoder may refuse the
// input; it must not crash, read out of bounds or report a partial image.
#include "platform/image/image_decode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (platform::DetectImageFormat(data, size) != platform::ImageFormat::BACKFIRE_FUZZ_FORMAT)
        return 0;
    platform::DecodedImage image;
    const bool ok = platform::DecodeImageMemory(data, size, &image);
    const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (ok ? (!platform::ImageSizeAcceptable(image.width, image.height) || image.argb.size() != pixels)
           : (image.width != 0 || image.height != 0 || !image.argb.empty())) {
        std::abort();
    }
    return 0;
}
