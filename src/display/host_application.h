#pragma once

#include <cstdint>

#include "display/enumeration.h"
#include "platform/d3d8/d3d8.h"
#include "platform/win32/win32.h"

// Owns the game's window and its Direct3D 8 device: chooses adapter, device
// type, display mode and depth format, creates window and device, answers the
// window messages that concern them, resets the device when a window's client
// size changes, and reports fatal set-up errors.
class HostApplication {
  public:
    AdapterRecord adapters[MaxAdapters];
    uint32_t adapterCount = 0;
    uint32_t currentAdapter = 0;
    int32_t windowed = 0;
    int32_t active = 0;
    int32_t ready = 0;
    D3DPRESENT_PARAMETERS presentParams{};
    HWND window = nullptr;
    HWND focusWindow = nullptr;
    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
    D3DCAPS8 deviceCaps{};
    D3DSURFACE_DESC backBufferDesc{};
    DWORD behaviorFlags = 0;
    DWORD windowStyle = 0;
    RECT windowRect{};
    RECT clientRect{};
    const char* title = "D3D8 Application";
    int32_t useDepthBuffer = 0;
    uint32_t minDepthBits = 16;
    uint32_t minStencilBits = 0;
    int32_t creationWidth = 640;
    int32_t creationHeight = 480;
    // Makes the Direct3D object in Create; tests put a fake in its place.
    IDirect3D8* (*createDirect3D)(UINT sdkVersion) = Direct3DCreate8;

    // The window procedure forwards every message to this object.
    static HostApplication* TheHost;

    HostApplication();

    virtual int32_t UpdateWindowStyle();
    // Accepts or refuses a device and vertex-processing choice; the host accepts all.
    virtual HRESULT CheckDevice(D3DCAPS8* caps, DWORD behaviorFlags, D3DFORMAT displayFormat);
    virtual HRESULT OnStartup();
    virtual HRESULT OnDeviceCreated();
    virtual HRESULT OnDeviceRestored();
    virtual HRESULT OnUpdate();
    virtual HRESULT OnRender();
    virtual HRESULT OnDeviceLost();
    virtual HRESULT OnDeviceDestroyed();
    virtual HRESULT OnShutdown();
    // Window, device choice and device; 0 or the failing code, already reported.
    virtual HRESULT Create(HINSTANCE instance, int32_t windowed);
    // The host's own message loop; the game runs its own instead.
    virtual int32_t RunLoop();
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Counts nested pauses; `ready` is 1 exactly when none is pending.
    virtual void Pause(int32_t pause);
    virtual ~HostApplication();

    HostApplication(const HostApplication&) = delete;
    HostApplication& operator=(const HostApplication&) = delete;

    // Fills the adapter table and picks adapter, device and mode. Returns 0,
    // D3DAPPERR_NOCOMPATIBLEDEVICES or D3DAPPERR_NOWINDOWABLEDEVICES. When the
    // reference rasteriser is chosen it reports a (silent) warning.
    HRESULT Enumerate(int32_t windowedRequested);
    // The first acceptable depth format for the minimum depth and stencil bits,
    // or D3DFMT_UNKNOWN.
    D3DFORMAT FindDepthFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT format);
    // Creates the device for the chosen adapter, device and mode.
    HRESULT CreateDevice();
    HRESULT ResetDevice();
    // Releases device and Direct3D; safe to call again afterwards.
    HRESULT Shutdown();
    // A fatal report shows the message box; either kind closes an existing window.
    HRESULT ReportError(HRESULT code, int32_t fatal);

    // The process-wide pause count behind Pause.
    static int32_t pauseCount;
};
