// DirectInput 8 as the game uses it: the system mouse, read as immediate
// relative state (the 20-byte eight-button format).
#pragma once

#include "platform/d3d8/d3d8.h"

using REFGUID = const GUID&;
using REFIID = const GUID&;

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;
constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT DIERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);

struct DIMOUSESTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[8];
};
static_assert(sizeof(DIMOUSESTATE2) == 20);

struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwDataSize; // bytes of device state the format describes
};

// Constants of this program only: each file has its own copy, so a static
// link beside the system's own DirectInput (SDL's, on Windows) meets no
// second definition of the name.
constexpr GUID IID_IDirectInput8A{0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
constexpr GUID GUID_SysMouse{0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DIDATAFORMAT c_dfDIMouse2{sizeof(DIDATAFORMAT), sizeof(DIMOUSESTATE2)};

class IDirectInputDevice8A : public IUnknown {
public:
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // Movement since the last read and the buttons now; fails while not acquired.
    virtual HRESULT GetDeviceState(DWORD size, void* state) = 0;
};

class IDirectInput8A : public IUnknown {
public:
    virtual HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, IUnknown* outer) = 0;
};

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void** out, IUnknown* outer);
