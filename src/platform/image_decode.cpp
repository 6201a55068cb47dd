#include "platform/image_decode.h"

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

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
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

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
}

} // namespace

bool ImageSizeAcceptable(uint64_t width, uint64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

bool DecodeImageMemory(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
    if (data == nullptr) {
        return false;
    }
    if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8)) {
        return DecodePng(data, size, out);
    }
    if (StartsWith(data, size, "\xff\xd8\xff", 3)) {
        return DecodeJpeg(data, size, out);
    }
    if (StartsWith(data, size, "BM", 2)) {
        return DecodeBmp(data, size, out);
    }
    return false;
}

bool DecodeImage(const std::string& path, DecodedImage* out) {
    *out = DecodedImage{};
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, &bytes) && DecodeImageMemory(bytes.data(), bytes.size(), out);
}

} // namespace platform
