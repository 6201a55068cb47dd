// Stand-ins for the Direct3D object, its device and the DirectInput mouse, so
// the host, the application and the main loop can be driven without the
// platform's device. The fakes never delete themselves; Release only counts.
#pragma once

#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/dinput8/dinput8.h"

class FakeSurface : public IDirect3DSurface8 {
  public:
    D3DSURFACE_DESC desc{};
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 0; }
    HRESULT GetDesc(D3DSURFACE_DESC* out) override {
        *out = desc;
        return D3D_OK;
    }
};

class FakeDevice : public IDirect3DDevice8 {
  public:
    HRESULT cooperativeLevel = D3D_OK;
    HRESULT resetResult = D3D_OK;
    int resetCount = 0;
    int releaseCount = 0;
    int presentCount = 0;
    int beginCount = 0;
    D3DCOLOR clearColour = 0;
    DWORD clearFlags = 0;
    D3DPRESENT_PARAMETERS lastReset{};
    D3DCAPS8 caps{};
    FakeSurface backBuffer;
    std::map<D3DRENDERSTATETYPE, DWORD> renderStates;
    std::vector<std::string>* journal = nullptr;

    void Note(const char* what) {
        if (journal != nullptr) {
            journal->push_back(what);
        }
    }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override {
        ++releaseCount;
        Note("device released");
        return 0;
    }
    HRESULT TestCooperativeLevel() override { return cooperativeLevel; }
    HRESULT GetDeviceCaps(D3DCAPS8* out) override {
        *out = caps;
        return D3D_OK;
    }
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) override {
        *surface = &backBuffer;
        return D3D_OK;
    }
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override {
        ++resetCount;
        Note("reset");
        lastReset = *params;
        if (SUCCEEDED(resetResult)) {
            backBuffer.desc.Width = params->BackBufferWidth;
            backBuffer.desc.Height = params->BackBufferHeight;
        }
        return resetResult;
    }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override {
        ++presentCount;
        return D3D_OK;
    }
    HRESULT BeginScene() override {
        ++beginCount;
        return D3D_OK;
    }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD flags, D3DCOLOR colour, float, DWORD) override {
        clearFlags = flags;
        clearColour = colour;
        return D3D_OK;
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return D3D_OK; }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return D3D_OK; }
    HRESULT SetMaterial(const D3DMATERIAL8*) override { return D3D_OK; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        renderStates[state] = value;
        return D3D_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        *value = renderStates[state];
        return D3D_OK;
    }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return D3D_OK; }
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture8*) override { return D3D_OK; }
    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture8**) override {
        return E_FAIL;
    }
    HRESULT CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8**) override {
        Note("vertex buffer asked for");
        return E_FAIL;
    }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer8*, UINT) override { return D3D_OK; }
    HRESULT SetVertexShader(DWORD) override { return D3D_OK; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return D3D_OK; }
    HRESULT BeginStateBlock() override { return D3D_OK; }
    HRESULT EndStateBlock(DWORD* token) override {
        *token = 0;
        return D3D_OK;
    }
    HRESULT ApplyStateBlock(DWORD) override { return D3D_OK; }
    HRESULT CaptureStateBlock(DWORD) override { return D3D_OK; }
    HRESULT DeleteStateBlock(DWORD) override { return D3D_OK; }
    BOOL ShowCursor(BOOL) override { return FALSE; }
    void SetCursorPosition(int, int, DWORD) override {}
};

// One adapter as the fake reports it.
struct FakeAdapter {
    std::string driver = "fake.drv";
    std::string description = "Fake Adapter";
    D3DDISPLAYMODE desktop{800, 600, 60, D3DFMT_X8R8G8B8};
    std::vector<D3DDISPLAYMODE> modes;
    // Per device type: caps, and the display formats CheckDeviceType accepts.
    std::map<D3DDEVTYPE, D3DCAPS8> caps;
    std::map<D3DDEVTYPE, std::set<D3DFORMAT>> formats;
    std::set<D3DFORMAT> depthFormats{D3DFMT_D16};
};

// Caps that pass the game's device check with software vertex processing.
inline D3DCAPS8 UsableCaps() {
    D3DCAPS8 caps{};
    caps.SrcBlendCaps = D3DPBLENDCAPS_ONE;
    caps.DestBlendCaps = D3DPBLENDCAPS_ONE;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    return caps;
}

class FakeDirect3D : public IDirect3D8 {
  public:
    std::vector<FakeAdapter> adapters;
    FakeDevice device;
    HRESULT createResult = D3D_OK;
    int releaseCount = 0;
    UINT createdAdapter = 99;
    D3DDEVTYPE createdType = D3DDEVTYPE_SW;
    DWORD createdFlags = 0;
    D3DPRESENT_PARAMETERS createdParams{};

    uint32_t AddRef() override { return 1; }
    uint32_t Release() override {
        ++releaseCount;
        return 0;
    }
    UINT GetAdapterCount() override { return static_cast<UINT>(adapters.size()); }
    HRESULT GetAdapterIdentifier(UINT a, DWORD, D3DADAPTER_IDENTIFIER8* id) override {
        std::memset(id, 0, sizeof(*id));
        std::strncpy(id->Driver, adapters[a].driver.c_str(), sizeof(id->Driver) - 1);
        std::strncpy(id->Description, adapters[a].description.c_str(), sizeof(id->Description) - 1);
        return D3D_OK;
    }
    UINT GetAdapterModeCount(UINT a) override { return static_cast<UINT>(adapters[a].modes.size()); }
    HRESULT EnumAdapterModes(UINT a, UINT m, D3DDISPLAYMODE* mode) override {
        *mode = adapters[a].modes[m];
        return D3D_OK;
    }
    HRESULT GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* mode) override {
        *mode = adapters[a].desktop;
        return D3D_OK;
    }
    HRESULT CheckDeviceType(UINT a, D3DDEVTYPE type, D3DFORMAT format, D3DFORMAT, BOOL) override {
        return adapters[a].formats[type].count(format) != 0 ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceFormat(UINT a, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                              D3DFORMAT check) override {
        return adapters[a].depthFormats.count(check) != 0 ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT) override {
        return D3D_OK;
    }
    HRESULT GetDeviceCaps(UINT a, D3DDEVTYPE type, D3DCAPS8* caps) override {
        *caps = adapters[a].caps.count(type) != 0 ? adapters[a].caps[type] : D3DCAPS8{};
        return D3D_OK;
    }
    HRESULT CreateDevice(UINT a, D3DDEVTYPE type, HWND, DWORD flags, D3DPRESENT_PARAMETERS* params,
                         IDirect3DDevice8** out) override {
        createdAdapter = a;
        createdType = type;
        createdFlags = flags;
        createdParams = *params;
        if (FAILED(createResult)) {
            return createResult;
        }
        device.backBuffer.desc.Width = params->BackBufferWidth;
        device.backBuffer.desc.Height = params->BackBufferHeight;
        device.backBuffer.desc.Format = params->BackBufferFormat;
        *out = &device;
        return D3D_OK;
    }
};

// The fake the host's factory hands out; tests fill it before Create.
inline FakeDirect3D* TheFakeDirect3D = nullptr;
inline IDirect3D8* CreateFakeDirect3D(UINT) {
    return TheFakeDirect3D;
}

class FakeMouse : public IDirectInputDevice8A {
  public:
    // States handed out by GetDeviceState, oldest first; an empty queue fails
    // the read as a lost device does.
    std::deque<DIMOUSESTATE2> states;
    int acquireCount = 0;

    void Push(LONG dx, LONG dy, bool left = false, bool right = false) {
        DIMOUSESTATE2 state{};
        state.lX = dx;
        state.lY = dy;
        state.rgbButtons[0] = left ? 0x80 : 0;
        state.rgbButtons[1] = right ? 0x80 : 0;
        states.push_back(state);
    }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 0; }
    HRESULT SetDataFormat(const DIDATAFORMAT*) override { return DI_OK; }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT Acquire() override {
        ++acquireCount;
        return DI_OK;
    }
    HRESULT Unacquire() override { return DI_OK; }
    HRESULT GetDeviceState(DWORD size, void* out) override {
        if (states.empty() || size != sizeof(DIMOUSESTATE2)) {
            return DIERR_INPUTLOST;
        }
        std::memcpy(out, &states.front(), sizeof(DIMOUSESTATE2));
        states.pop_front();
        return DI_OK;
    }
};
