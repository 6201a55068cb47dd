// The four file formats the game reads. Each writer returns false when the
// file could not be written completely.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

namespace assetgen {

// 8-bit RGBA PNG (RGB when opaque is true), maximum compression, no time
// stamp, so equal pictures give equal bytes.
bool WritePng(const std::string& path, const Image& image, bool opaque);

// Uncompressed 24-bit bottom-up Windows BMP; alpha is dropped.
bool WriteBmp(const std::string& path, const Image& image);

// Mono RIFF WAVE: 16-bit signed PCM from samples in -1..1 (clamped), or
// 8-bit unsigned when bits is 8.
bool WriteWav(const std::string& path, const std::vector<float>& samples, int rate, int bits);

// Mono Ogg Vorbis (variable bit rate at the given quality, -0.1..1) with a
// fixed stream serial number.
bool WriteOgg(const std::string& path, const std::vector<float>& samples, int rate, float quality);

} // namespace assetgen
