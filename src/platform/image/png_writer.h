// Writing 32-bit pixels as a PNG file: the harness's screenshots and the
// tests' images.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Writes 0xAARRGGBB pixels as an 8-bit RGBA PNG; false on any failure.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height);

} // namespace platform
