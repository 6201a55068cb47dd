// Internal to the platform layer: the harness's view of presented frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The back buffer as the device last presented it, 0xAARRGGBB per pixel (alpha
// forced to 0xFF). False before the first Present.
bool LastPresentedFrame(std::vector<uint32_t>* pixels, int* width, int* height);

// True when a presented frame may still be read back: always headless, and in a
// window while the input script has a screenshot left to take. Presenting skips
// the copy otherwise.
bool PresentedFrameWanted();

// Writes 0xAARRGGBB pixels as an 8-bit RGBA PNG; false on any failure.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height);

} // namespace platform
