// libFuzzer entry: any bytes through the image decoders. A decoder may refuse
// the input; it must not crash, read out of bounds or report a partial image.
#include "platform/image_decode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::DecodedImage image;
    const bool ok = platform::DecodeImageMemory(data, size, &image);
    const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (ok ? (image.width <= 0 || image.height <= 0 || image.argb.size() != pixels)
           : (image.width != 0 || image.height != 0 || !image.argb.empty())) {
        std::abort();
    }
    return 0;
}
