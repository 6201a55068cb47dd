// Internal to the platform layer: the device's settable state with Direct3D
// 8's defaults, and the state blocks that record and replay parts of it.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_resources.h"

#include <map>
#include <set>

namespace platform {

constexpr uint32_t kTextureStageCount = D3D_STAGE_COUNT;

// The texture and stream members hold a reference to what they point at.
class DeviceState {
  public:
    DeviceState() { SetDefaults(false); }
    ~DeviceState();
    DeviceState(const DeviceState&) = delete;
    DeviceState& operator=(const DeviceState&) = delete;

    // Direct3D 8's defaults; ZENABLE is on exactly when the device has a
    // depth buffer. Textures and the stream source are unbound.
    void SetDefaults(bool depthBuffer);
    void SetTexture(DWORD stage, Texture* texture);
    void SetStream(VertexBuffer* buffer, UINT stride);
    const D3DMATRIX& Transform(uint32_t state) const;

    DWORD renderStates[D3DRS_COUNT];
    DWORD stageStates[kTextureStageCount][D3DTSS_COUNT];
    Texture* textures[kTextureStageCount] = {};
    std::map<uint32_t, D3DMATRIX> transforms; // absent means identity
    D3DMATERIAL8 material{};
    DWORD vertexShader = 0;
    VertexBuffer* stream = nullptr;
    UINT stride = 0;
};

// The states set while the block was being recorded, with their values.
class StateBlock {
  public:
    // Marks set calls made while recording.
    void MarkRenderState(uint32_t state) { renderSet[state] = true; }
    void MarkStageState(uint32_t stage, uint32_t type) { stageSet[stage][type] = true; }
    void MarkTexture(uint32_t stage) { textureSet[stage] = true; }
    void MarkTransform(uint32_t state) { transformSet.insert(state); }
    void MarkMaterial() { materialSet = true; }
    void MarkVertexShader() { vertexShaderSet = true; }
    void MarkStream() { streamSet = true; }

    // Refreshes the recorded values from the current state.
    void Capture(const DeviceState& current) { Copy(current, values); }
    // Writes the recorded values into the current state.
    void Apply(DeviceState& current) const { Copy(values, current); }

    DeviceState values;

  private:
    void Copy(const DeviceState& from, DeviceState& to) const;

    bool renderSet[D3DRS_COUNT] = {};
    bool stageSet[kTextureStageCount][D3DTSS_COUNT] = {};
    bool textureSet[kTextureStageCount] = {};
    std::set<uint32_t> transformSet;
    bool materialSet = false;
    bool vertexShaderSet = false;
    bool streamSet = false;
};

} // namespace platform
