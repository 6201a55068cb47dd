#include "platform/image_decode.h"

bool platform::DecodeJpeg(const uint8_t*, size_t, DecodedImage* out) {
    *out = DecodedImage{};
    return false;
}
