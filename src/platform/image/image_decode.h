// Internal to the platform layer: decoding PNG, JPEG and BMP files into
// 32-bit pixels for the texture loader, the golden-image tests and the asset
// tests. The format is told by the file's signature, never by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// 0xAARRGGBB per pixel, top row first, width x height entries.
struct DecodedImage {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
};

// Largest accepted side and pixel count; larger claims are refused before any
// pixel memory is allocated.
constexpr int kMaxImageSide = 16384;
constexpr size_t kMaxImagePixels = size_t{1} << 26;

enum class ImageFormat { Unknown, Png, Jpeg, Bmp };

// The format a buffer's signature announces.
ImageFormat DetectImageFormat(const uint8_t* data, size_t size);

// Reads a whole file of at most 256 MiB; false if it cannot.
bool ReadImageFile(const std::string& path, std::vector<uint8_t>* bytes);

// Decode a whole file or buffer. On any failure (unreadable file, unknown
// signature, malformed, truncated or oversized image) the result is false and
// *out is left empty (width and height 0, no pixels): there is never a partial
// image.
bool DecodeImage(const std::string& path, DecodedImage* out);
bool DecodeImageMemory(const uint8_t* data, size_t size, DecodedImage* out);

// The per-format decoders behind DecodeImageMemory, with the same contract.
bool DecodePng(const uint8_t* data, size_t size, DecodedImage* out);
bool DecodeJpeg(const uint8_t* data, size_t size, DecodedImage* out);
bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage* out);

// True when width x height lies within the limits above (both at least 1).
bool ImageSizeAcceptable(uint64_t width, uint64_t height);

} // namespace platform
