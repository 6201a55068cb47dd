#include "platform/d3d8/d3d8_device.h"
#include "platform/os/display.h"
#include "platform/os/run_mode.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

constexpr UINT kRefreshRate = 60;
constexpr D3DDISPLAYMODE kStandardModes[] = {
    {640, 480, kRefreshRate, D3DFMT_X8R8G8B8},
    {800, 600, kRefreshRate, D3DFMT_X8R8G8B8},
    {1024, 768, kRefreshRate, D3DFMT_X8R8G8B8},
};

bool IsDepthFormat(D3DFORMAT format) {
    return format == D3DFMT_D16 || format == D3DFMT_D24X8 || format == D3DFMT_D24S8 || format == D3DFMT_D32;
}

bool IsDeviceType(D3DDEVTYPE type) {
    return type == D3DDEVTYPE_HAL || type == D3DDEVTYPE_REF;
}

class Direct3D final : public RefCounted<IDirect3D8> {
  public:
    explicit Direct3D(bool ownsVideo) : ownsVideo(ownsVideo) {}

    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) override {
        if (adapter != 0 || identifier == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *identifier = D3DADAPTER_IDENTIFIER8{};
        std::strcpy(identifier->Driver, "backfire_raster");
        std::strcpy(identifier->Description, "Backfire software rasterizer");
        identifier->DriverVersion = 1;
        identifier->DeviceIdentifier =
            GUID{0x6261636Bu, 0x6669, 0x7265, {'s', 'o', 'f', 't', 'w', 'a', 'r', 'e'}};
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT adapter) override {
        return adapter == 0 ? static_cast<UINT>(SoftwareAdapterModes(ownsVideo).size()) : 0;
    }

    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override {
        const std::vector<D3DDISPLAYMODE> modes = SoftwareAdapterModes(ownsVideo);
        if (adapter != 0 || mode >= modes.size() || displayMode == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *displayMode = modes[mode];
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override {
        if (adapter != 0 || displayMode == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *displayMode = SoftwareDesktopMode(ownsVideo);
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, BOOL) override {
        if (adapter != 0) {
            return D3DERR_INVALIDCALL;
        }
        const bool ok =
            IsDeviceType(type) && displayFormat == D3DFMT_X8R8G8B8 && backBufferFormat == D3DFMT_X8R8G8B8;
        return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override {
        if (adapter != 0) {
            return D3DERR_INVALIDCALL;
        }
        if (!IsDeviceType(type) || adapterFormat != D3DFMT_X8R8G8B8) {
            return D3DERR_NOTAVAILABLE;
        }
        bool ok = false;
        if ((usage & D3DUSAGE_DEPTHSTENCIL) != 0) {
            ok = resourceType == D3DRTYPE_SURFACE && IsDepthFormat(checkFormat);
        } else if (resourceType == D3DRTYPE_TEXTURE) {
            ok = (usage & D3DUSAGE_RENDERTARGET) == 0 && Texture::IsSupportedFormat(checkFormat);
        } else if (resourceType == D3DRTYPE_VERTEXBUFFER) {
            ok = checkFormat == D3DFMT_VERTEXDATA;
        }
        return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) override {
        if (adapter != 0) {
            return D3DERR_INVALIDCALL;
        }
        const bool ok = IsDeviceType(type) && adapterFormat == D3DFMT_X8R8G8B8 &&
                        renderTargetFormat == D3DFMT_X8R8G8B8 && IsDepthFormat(depthFormat);
        return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override {
        if (adapter != 0 || caps == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        if (!IsDeviceType(type)) {
            return D3DERR_NOTAVAILABLE;
        }
        FillSoftwareCaps(type, caps);
        return D3D_OK;
    }

    // Vertices are pre-transformed, so only software vertex processing (or
    // mixed, which falls back to it) is offered; the caps claim neither
    // hardware transform and lighting nor a pure device.
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice8** device) override {
        if (device == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *device = nullptr;
        const DWORD processing =
            behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                             D3DCREATE_MIXED_VERTEXPROCESSING);
        if (adapter != 0 ||
            (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
             processing != D3DCREATE_MIXED_VERTEXPROCESSING) ||
            (behaviorFlags & D3DCREATE_PUREDEVICE) != 0) {
            return D3DERR_INVALIDCALL;
        }
        if (!IsDeviceType(type)) {
            return D3DERR_NOTAVAILABLE;
        }
        HRESULT result = D3D_OK;
        *device = Device::Create(type, focusWindow, params, ownsVideo, &result);
        return result;
    }

  protected:
    ~Direct3D() override {
        if (ownsVideo) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }

  private:
    bool ownsVideo;
};

} // namespace

D3DDISPLAYMODE SoftwareDesktopMode(bool onDisplay) {
    if (onDisplay) {
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
            const UINT refresh = mode.refresh_rate > 0 ? static_cast<UINT>(mode.refresh_rate) : kRefreshRate;
            return D3DDISPLAYMODE{static_cast<UINT>(mode.w), static_cast<UINT>(mode.h), refresh,
                                  D3DFMT_X8R8G8B8};
        }
    }
    // Headless: 800 x 600, or larger to hold the game's window.
    D3DDISPLAYMODE desktop{800, 600, kRefreshRate, D3DFMT_X8R8G8B8};
    if (HWND window = MainWindow(); window != nullptr) {
        int w = 0, h = 0;
        ClientSize(window, &w, &h);
        desktop.Width = std::max(desktop.Width, static_cast<UINT>(std::max(w, 0)));
        desktop.Height = std::max(desktop.Height, static_cast<UINT>(std::max(h, 0)));
    }
    return desktop;
}

std::vector<D3DDISPLAYMODE> SoftwareAdapterModes(bool onDisplay) {
    std::vector<D3DDISPLAYMODE> modes(std::begin(kStandardModes), std::end(kStandardModes));
    if (onDisplay) {
        const D3DDISPLAYMODE desktop = SoftwareDesktopMode(true);
        const bool listed = std::any_of(modes.begin(), modes.end(), [&](const D3DDISPLAYMODE& m) {
            return m.Width == desktop.Width && m.Height == desktop.Height;
        });
        if (!listed) {
            modes.push_back(desktop);
        }
    }
    return modes;
}

void FillSoftwareCaps(D3DDEVTYPE type, D3DCAPS8* caps) {
    constexpr DWORD kAllBlends = 0x3FF; // ZERO .. INVDESTCOLOR
    *caps = D3DCAPS8{};
    caps->DeviceType = type;
    caps->Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps->PresentationIntervals = 0x80000001u; // IMMEDIATE, ONE
    caps->PrimitiveMiscCaps = 0x70;            // CULLNONE, CULLCW, CULLCCW
    caps->ZCmpCaps = 0xFF;
    caps->SrcBlendCaps = kAllBlends;
    caps->DestBlendCaps = kAllBlends;
    caps->AlphaCmpCaps = 0xFF;
    caps->ShadeCaps = 0x4008;              // COLORGOURAUDRGB, ALPHAGOURAUDBLEND
    caps->TextureCaps = 0x4004;            // ALPHA, MIPMAP; any size
    caps->TextureFilterCaps = 0x03010300u; // MIN point/linear, MIP point, MAG point/linear
    caps->TextureAddressCaps = 0x1;        // WRAP
    caps->MaxTextureWidth = 4096;
    caps->MaxTextureHeight = 4096;
    caps->MaxTextureRepeat = 8192;
    caps->MaxTextureAspectRatio = 4096;
    caps->MaxAnisotropy = 1;
    caps->MaxVertexW = 1.0f;
    caps->GuardBandLeft = -kMaxCoordinate;
    caps->GuardBandTop = -kMaxCoordinate;
    caps->GuardBandRight = kMaxCoordinate;
    caps->GuardBandBottom = kMaxCoordinate;
    caps->FVFCaps = 1;          // one texture coordinate set
    caps->TextureOpCaps = 0x4F; // DISABLE, SELECTARG1, SELECTARG2, MODULATE, ADD
    caps->MaxTextureBlendStages = 1;
    caps->MaxSimultaneousTextures = 1;
    caps->MaxPointSize = 1.0f;
    caps->MaxPrimitiveCount = 65535;
    caps->MaxVertexIndex = 65535;
    caps->MaxStreams = 1;
    caps->MaxStreamStride = 255;
}

} // namespace platform

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) {
        return nullptr;
    }
    if (platform::Headless()) {
        return new platform::Direct3D(false);
    }
    if (!platform::StartSdlVideo()) {
        return nullptr;
    }
    return new platform::Direct3D(true);
}
