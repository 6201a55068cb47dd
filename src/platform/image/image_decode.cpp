#include "platform/image/image_decode.h"

#include "platform/os/files.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {

namespace {

// Image files the game reads are a few megabytes at most; anything beyond
// this is refused rather than read into memory.
constexpr long kMaxFileBytes = 256L << 20;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

bool ReadImageFile(const std::string& path, std::vector<uint8_t>* bytes) {
    // Opened as the game opens its files: the path is UTF-8 on every system.
    std::unique_ptr<FILE, FileCloser> file(OpenFile(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return false;
    }
    const long length = std::ftell(file.get());
    if (length < 0 || length > kMaxFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return false;
    }
    bytes->resize(static_cast<size_t>(length));
    return std::fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size();
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
