// Internal to the platform layer: the software device behind
// IDirect3D8::CreateDevice. It owns a 32-bit back buffer that DrawPrimitive
// rasterizes into and Present shows; the game reaches it only through
// IDirect3DDevice8.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_present.h"
#include "platform/d3d8/d3d8_state.h"
#include "platform/raster/raster.h"

#include <map>
#include <memory>
#include <vector>

namespace platform {

// The adapter's display modes (all X8R8G8B8) and its desktop mode: the
// display's when the adapter is on one, else the headless desktop.
std::vector<D3DDISPLAYMODE> SoftwareAdapterModes(bool onDisplay);
D3DDISPLAYMODE SoftwareDesktopMode(bool onDisplay);
// The capabilities of both device types.
void FillSoftwareCaps(D3DDEVTYPE type, D3DCAPS8* caps);

class Device final : public RefCounted<IDirect3DDevice8> {
  public:
    // Validates params (filling a windowed back buffer size of 0 from the
    // window's client area) and makes the device; null on failure with the
    // reason in *result.
    static Device* Create(D3DDEVTYPE type, HWND focusWindow, D3DPRESENT_PARAMETERS* params, bool onDisplay,
                          HRESULT* result);

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND override, const void* dirty) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                  DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** buffer) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* token) override;
    HRESULT ApplyStateBlock(DWORD token) override;
    HRESULT CaptureStateBlock(DWORD token) override;
    HRESULT DeleteStateBlock(DWORD token) override;
    BOOL ShowCursor(BOOL show) override;
    void SetCursorPosition(int x, int y, DWORD flags) override;

    // Test hooks behind d3d8_control.h.
    void ForceLoss(HRESULT state);
    void CopyBackBuffer(std::vector<uint32_t>* pixels, int* outWidth, int* outHeight) const;

  private:
    Device(D3DDEVTYPE type, HWND window, bool onDisplay) : type(type), window(window), onDisplay(onDisplay) {}
    // Checks params and, when they are sound, adopts them: back buffer, window
    // mode and default state.
    HRESULT Configure(D3DPRESENT_PARAMETERS* params);
    bool InBackground() const;
    // Decodes the render and stage states into the rasterizer's state; an
    // error for a combination the rasterizer does not implement.
    HRESULT DecodePipeline(RasterState* state) const;
    DeviceState& Target() { return recording ? recording->values : current; }

    D3DDEVTYPE type;
    HWND window;
    bool onDisplay; // shows its frames in the window; else keeps every one
    D3DPRESENT_PARAMETERS params{};
    int32_t width = 0, height = 0;
    std::vector<uint32_t> backBuffer;
    DeviceState current;
    std::unique_ptr<StateBlock> recording;
    std::map<DWORD, std::unique_ptr<StateBlock>> stateBlocks;
    DWORD nextToken = 1;
    bool inScene = false;
    bool needsReset = false;
    bool forcedBackground = false;
    bool cursorShown = true;
    POINT cursor{0, 0};
    Presenter presenter;
};

} // namespace platform
