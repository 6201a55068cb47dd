#include "platform/image/image_decode.h"

#include "platform/os/files.h"

#include <cstring>

namespace platform {

namespace {

// Image files the game reads are a few megabytes at most; anything beyond
// this is refused rather than read into memory.
constexpr size_t kMaxFileBytes = size_t{256} << 20;

} // namespace

bool ReadImageFile(const std::string& path, std::vector<uint8_t>* bytes) {
    return ReadWholeFile(path.c_str(), kMaxFileBytes, bytes);
}

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return data != nullptr && size >= length && std::memcmp(data, signature, length) == 0;
}

} // namespace

ImageFormat DetectImageFormat(const uint8_t* data, size_t size) {
    if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8)) {
        return ImageFormat::Png;
    }
    if (StartsWith(data, size, "\xff\xd8\xff", 3)) {
        return ImageFormat::Jpeg;
    }
    if (StartsWith(data, size, "BM", 2)) {
        return ImageFormat::Bmp;
    }
    return ImageFormat::Unknown;
}

bool ImageSizeAcceptable(uint64_t width, uint64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

bool DecodeImageMemory(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::Png:
        return DecodePng(data, size, out);
    case ImageFormat::Jpeg:
        return DecodeJpeg(data, size, out);
    case ImageFormat::Bmp:
        return DecodeBmp(data, size, out);
    case ImageFormat::Unknown:
        break;
    }
    return false;
}

bool DecodeImage(const std::string& path, DecodedImage* out) {
    *out = DecodedImage{};
    std::vector<uint8_t> bytes;
    return ReadImageFile(path, &bytes) && DecodeImageMemory(bytes.data(), bytes.size(), out);
}

} // namespace platform
