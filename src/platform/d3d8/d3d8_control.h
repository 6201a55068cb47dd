// Test hooks into the software Direct3D 8 device. Game code never includes
// this.
#pragma once

#include "platform/d3d8/d3d8.h"

#include <cstdint>
#include <vector>

namespace platform {

// Forces the device's loss state as if the full-screen window had lost the
// focus (D3DERR_DEVICELOST: TestCooperativeLevel, Present and Reset report
// lost), had come back (D3DERR_DEVICENOTRESET: reported until a successful
// Reset) or was never lost (D3D_OK). Returns false for a device that is not
// the software device or an unknown state.
bool ForceDeviceState(IDirect3DDevice8* device, HRESULT state);

// Copies the current back buffer (0xFFRRGGBB); false for a foreign device.
bool ReadBackBuffer(IDirect3DDevice8* device, std::vector<uint32_t>* pixels, int* width, int* height);

} // namespace platform
