// The frames the software device presents, kept for the harness's
// screenshots and for tests.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The back buffer as the device last kept it, 0xAARRGGBB per pixel (alpha
// forced to 0xFF). False before the first kept frame.
bool LastPresentedFrame(std::vector<uint32_t>* pixels, int* width, int* height);

// A device without a display keeps every frame it presents. One on the
// display keeps a frame only while `wanted` answers true (null: never), so
// presenting skips the copy otherwise; the harness sets it as it starts.
void KeepPresentedFramesWhile(bool (*wanted)());

} // namespace platform
