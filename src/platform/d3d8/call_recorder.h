// Internal to the platform layer: a watcher of the software device's drawing
// calls. The device tells the one installed recorder every clear that reaches
// its target, every draw with the states it was made under, and each present;
// the frame capture installs one while it is armed.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_state.h"
#include "platform/raster/raster.h"

#include <cstdint>

namespace platform {

class DeviceCallRecorder {
public:
    virtual ~DeviceCallRecorder() = default;
    // A clear with no rectangles (count 0) is a clear of the whole target.
    virtual void Clear(DWORD count, const D3DRECT* rects, D3DCOLOR colour) = 0;
    virtual void Draw(const DeviceState& device, const RasterState& state, const RasterTexture& texture,
                      D3DPRIMITIVETYPE primitive, const uint8_t* vertices, UINT stride, UINT primitiveCount) = 0;
    virtual void Present(int32_t width, int32_t height) = 0;
};

// The recorder every device reports to from its next call on; null for none.
void SetDeviceCallRecorder(DeviceCallRecorder* recorder);
DeviceCallRecorder* CurrentDeviceCallRecorder();

} // namespace platform
