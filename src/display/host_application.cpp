#include "display/host_application.h"

#include <string>

namespace {

constexpr DWORD WindowedCreationStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_MINIMIZEBOX;
constexpr DWORD FullScreenStyle = WS_POPUP | WS_VISIBLE | WS_SYSMENU;
constexpr UINT IconResource = 101;
constexpr UINT MenuResource = 141;

LRESULT HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HostApplication::TheHost == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return HostApplication::TheHost->HandleMessage(window, message, wParam, lParam);
}

const char* ErrorText(HRESULT code) {
    switch (static_cast<uint32_t>(code)) {
    case 0x8007000Eu:
        return "Not enough memory.";
    case 0x82000001u:
        return "Could not initialize Direct3D. You may\nwant to check that the latest version of\nDirectX is "
               "correctly installed on your\nsystem.\n";
    case 0x82000003u:
        return "Could not find any compatible Direct3D\ndevices.";
    case 0x82000004u:
        return "This game cannot run in a desktop\nwindow with the current display settings.\nPlease change "
               "your desktop settings to a\n16- or 32-bit display mode and re-run this\ngame.";
    case 0x82000005u:
        return "No hardware-accelerated Direct3D devices\nwere found.";
    case 0x82000006u:
        return "This game requires functionality that is\nnot available on your Direct3D "
               "hardware\naccelerator.";
    case 0x82000007u:
        return "Your Direct3D hardware accelerator cannot\nrender into a window.\n";
    case 0x82000008u:
        return "Your Direct3D hardware accelerator cannot\nrender into a window with the current\ndesktop "
               "display "
               "settings.\n";
    case 0x82000009u:
        return "This game requires functionality that is\nnot available on your Direct3D "
               "hardware\naccelerator "
               "with the current desktop display\nsettings.\n";
    case 0x8200000Au:
        return "A D3D object has a non-zero reference\ncount (meaning things were not properly\ncleaned up).";
    case 0x8200000Bu:
        return "Could not load required media.";
    case 0x8200000Cu:
        return "Could not reset the Direct3D device.";
    case 0x8876017Cu:
        return "Not enough video memory.";
    default:
        return "Undocumented application error.\n";
    }
}

int32_t Width(const RECT& rect) {
    return rect.right - rect.left;
}

int32_t Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

} // namespace

HostApplication* HostApplication::TheHost = nullptr;
int32_t HostApplication::pauseCount = 0;

HostApplication::HostApplication() : adapters{} {
    TheHost = this;
}

HostApplication::~HostApplication() {
    if (TheHost == this) {
        TheHost = nullptr;
    }
}

int32_t HostApplication::UpdateWindowStyle() {
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(windowed ? windowStyle : FullScreenStyle));
    return 0;
}

HRESULT HostApplication::CheckDevice(D3DCAPS8*, DWORD, D3DFORMAT) {
    return S_OK;
}

HRESULT HostApplication::OnStartup() {
    return S_OK;
}

HRESULT HostApplication::OnDeviceCreated() {
    return S_OK;
}

HRESULT HostApplication::OnDeviceRestored() {
    return S_OK;
}

HRESULT HostApplication::OnUpdate() {
    return S_OK;
}

HRESULT HostApplication::OnRender() {
    return S_OK;
}

HRESULT HostApplication::OnDeviceLost() {
    return S_OK;
}

HRESULT HostApplication::OnDeviceDestroyed() {
    return S_OK;
}

HRESULT HostApplication::OnShutdown() {
    return S_OK;
}

HRESULT HostApplication::Create(HINSTANCE instance, int32_t windowedRequested) {
    direct3D = createDirect3D(D3D_SDK_VERSION);
    if (direct3D == nullptr) {
        return ReportError(D3DAPPERR_NODIRECT3D, 1);
    }
    HRESULT result = Enumerate(windowedRequested);
    if (FAILED(result)) {
        direct3D->Release();
        direct3D = nullptr;
        return ReportError(result, 1);
    }

    if (window == nullptr) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = HostWindowProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IconResource));
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "D3D Window";
        RegisterClassA(&windowClass);

        // The window has no menu, but the rectangle allows for one, so the
        // client area comes out one menu-bar height taller than requested.
        RECT rect;
        SetRect(&rect, 0, 0, creationWidth, creationHeight);
        AdjustWindowRect(&rect, WindowedCreationStyle, TRUE);
        window =
            CreateWindowExA(0, "D3D Window", title, WindowedCreationStyle, 20, 15, Width(rect), Height(rect),
                            nullptr, LoadMenuA(instance, MAKEINTRESOURCEA(MenuResource)), instance, nullptr);
        if (window == nullptr) {
            direct3D->Release();
            direct3D = nullptr;
            return ReportError(E_FAIL, 1);
        }
    }
    if (focusWindow == nullptr) {
        focusWindow = window;
    }
    windowStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &clientRect);

    result = OnStartup();
    if (FAILED(result)) {
        direct3D->Release();
        direct3D = nullptr;
        return ReportError(result, 1);
    }
    result = CreateDevice();
    if (FAILED(result)) {
        direct3D->Release();
        direct3D = nullptr;
        return ReportError(result, 1);
    }
    ready = 1;
    return S_OK;
}

HRESULT HostApplication::CreateDevice() {
    AdapterRecord& adapter = adapters[currentAdapter];
    DeviceRecord& deviceRecord = adapter.devices[adapter.currentDevice];
    ModeRecord& mode = deviceRecord.modes[deviceRecord.currentMode];

    UpdateWindowStyle();

    presentParams = D3DPRESENT_PARAMETERS{};
    presentParams.Windowed = deviceRecord.windowed;
    presentParams.BackBufferCount = 1;
    presentParams.MultiSampleType = deviceRecord.multiSampleType;
    presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParams.EnableAutoDepthStencil = useDepthBuffer;
    presentParams.hDeviceWindow = window;
    presentParams.AutoDepthStencilFormat = mode.depthStencilFormat;
    if (windowed) {
        presentParams.BackBufferWidth = static_cast<UINT>(Width(clientRect));
        presentParams.BackBufferHeight = static_cast<UINT>(Height(clientRect));
        presentParams.BackBufferFormat = adapter.desktopMode.Format;
    } else {
        presentParams.BackBufferWidth = mode.width;
        presentParams.BackBufferHeight = mode.height;
        presentParams.BackBufferFormat = mode.format;
    }

    HRESULT result = direct3D->CreateDevice(adapter.ordinal, deviceRecord.deviceType, focusWindow,
                                            mode.behaviorFlags, &presentParams, &device);
    if (FAILED(result)) {
        device = nullptr;
        return result;
    }
    if (windowed) {
        SetWindowPos(window, HWND_NOTOPMOST, windowRect.left, windowRect.top, Width(windowRect),
                     Height(windowRect), SWP_SHOWWINDOW);
    }

    device->GetDeviceCaps(&deviceCaps);
    behaviorFlags = mode.behaviorFlags;
    IDirect3DSurface8* backBuffer = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) && backBuffer != nullptr) {
        backBuffer->GetDesc(&backBufferDesc);
        backBuffer->Release();
    }

    result = OnDeviceCreated();
    if (SUCCEEDED(result)) {
        result = OnDeviceRestored();
        if (SUCCEEDED(result)) {
            active = 1;
            return S_OK;
        }
    }
    OnDeviceLost();
    OnDeviceDestroyed();
    device->Release();
    device = nullptr;
    return result;
}

int32_t HostApplication::RunLoop() {
    MSG msg{};
    while (msg.message != WM_QUIT) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (ready && device != nullptr) {
            OnUpdate();
            OnRender();
            device->Present(nullptr, nullptr, nullptr, nullptr);
        }
    }
    return static_cast<int32_t>(msg.wParam);
}

LRESULT HostApplication::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        active = (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) ? 0 : 1;
        break;
    case WM_PAINT:
        if (windowed && device != nullptr && !ready) {
            device->Present(nullptr, nullptr, nullptr, nullptr);
        }
        break;
    case WM_CLOSE: {
        Shutdown();
        HMENU menu = GetMenu(hwnd);
        if (menu != nullptr) {
            DestroyMenu(menu);
        }
        DestroyWindow(hwnd);
        if (hwnd == window) {
            window = nullptr;
        }
        PostQuitMessage(0);
        return 0;
    }
    case WM_SETCURSOR:
        if (device != nullptr) {
            device->ShowCursor(FALSE);
        }
        if (!windowed && active && ready) {
            return TRUE;
        }
        break;
    case WM_GETMINMAXINFO:
        if (lParam != 0) {
            MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = 100;
            info->ptMinTrackSize.y = 100;
        }
        break;
    case WM_SYSCOMMAND:
        if (!windowed && (wParam == SC_MOVE || wParam == SC_SIZE || wParam == SC_MAXIMIZE ||
                          wParam == SC_KEYMENU || wParam == SC_MONITORPOWER)) {
            return 1;
        }
        break;
    case WM_NCHITTEST:
        if (!windowed) {
            return HTCLIENT;
        }
        break;
    case WM_MOUSEMOVE:
        if (active && ready && device != nullptr) {
            POINT point{};
            GetCursorPos(&point);
            ScreenToClient(hwnd, &point);
            device->SetCursorPosition(point.x, point.y, 0);
        }
        break;
    case WM_ENTERMENULOOP:
        Pause(1);
        break;
    case WM_EXITMENULOOP:
        Pause(0);
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND || wParam == PBT_APMRESUMESUSPEND) {
            return 1;
        }
        break;
    case WM_EXITSIZEMOVE:
        if (windowed && active) {
            RECT oldClient = clientRect;
            GetWindowRect(hwnd, &windowRect);
            GetClientRect(hwnd, &clientRect);
            if (Width(oldClient) != Width(clientRect) || Height(oldClient) != Height(clientRect)) {
                ready = 0;
                presentParams.BackBufferWidth = static_cast<UINT>(Width(clientRect));
                presentParams.BackBufferHeight = static_cast<UINT>(Height(clientRect));
                if (FAILED(ResetDevice())) {
                    ReportError(D3DAPPERR_RESIZEFAILED, 1);
                    return 0;
                }
                ready = 1;
            }
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void HostApplication::Pause(int32_t pause) {
    pauseCount += pause ? 1 : -1;
    ready = pauseCount == 0 ? 1 : 0;
}

HRESULT HostApplication::ResetDevice() {
    if (device == nullptr) {
        return E_FAIL;
    }
    HRESULT result = OnDeviceLost();
    if (FAILED(result)) {
        return result;
    }
    result = device->Reset(&presentParams);
    if (FAILED(result)) {
        return result;
    }
    IDirect3DSurface8* backBuffer = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) && backBuffer != nullptr) {
        backBuffer->GetDesc(&backBufferDesc);
        backBuffer->Release();
    }
    return OnDeviceRestored();
}

HRESULT HostApplication::Shutdown() {
    active = 0;
    ready = 0;
    if (device != nullptr) {
        OnDeviceLost();
        OnDeviceDestroyed();
        device->Release();
        device = nullptr;
    }
    if (direct3D != nullptr) {
        direct3D->Release();
        direct3D = nullptr;
    }
    return OnShutdown();
}

HRESULT HostApplication::ReportError(HRESULT code, int32_t fatal) {
    if (fatal) {
        std::string text = ErrorText(code);
        text += "\n\nSorry, but this game won't run.";
        MessageBoxA(nullptr, text.c_str(), title, MB_ICONERROR);
    }
    if (window != nullptr) {
        SendMessageA(window, WM_CLOSE, 0, 0);
    }
    return code;
}
