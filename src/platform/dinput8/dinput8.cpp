// DirectInput 8's system mouse: immediate relative state in the 20-byte format.
#include "platform/dinput8/dinput8.h"

#include "platform/dinput8/mouse_state.h"
#include "platform/win32/window_sdl.h"

#include <algorithm>
#include <cstring>
#include <limits>


namespace {

int64_t motionX = 0;
int64_t motionY = 0;
int64_t motionZ = 0;
bool buttonsDown[8] = {};
bool pressedSinceSample[8] = {}; // a click between two reads still reads as held once

bool SameGuid(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof(a.Data4)) == 0;
}

// Saturates at the 32-bit range, so no script can overflow a read.
void Accumulate(int64_t& total, int32_t delta) {
    total = std::clamp<int64_t>(total + delta, std::numeric_limits<int32_t>::min(),
                                std::numeric_limits<int32_t>::max());
}

class RefCounted {
  protected:
    uint32_t AddReference() { return ++references; }
    uint32_t DropReference() { return --references; }

  private:
    uint32_t references = 1;
};

class MouseDevice final : public IDirectInputDevice8A, RefCounted {
  public:
    uint32_t AddRef() override { return AddReference(); }
    uint32_t Release() override {
        uint32_t left = DropReference();
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT SetDataFormat(const DIDATAFORMAT* format) override {
        if (format == nullptr || format->dwDataSize != sizeof(DIMOUSESTATE2))
            return DIERR_INVALIDPARAM;
        formatSet = true;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        bool exclusive = (flags & DISCL_EXCLUSIVE) != 0;
        bool nonExclusive = (flags & DISCL_NONEXCLUSIVE) != 0;
        bool foreground = (flags & DISCL_FOREGROUND) != 0;
        bool background = (flags & DISCL_BACKGROUND) != 0;
        if (exclusive == nonExclusive || foreground == background)
            return DIERR_INVALIDPARAM;
        if (foreground && !platform::IsLiveWindow(window))
            return DIERR_INVALIDPARAM;
        cooperativeWindow = window;
        foregroundOnly = foreground;
        return DI_OK;
    }

    HRESULT Acquire() override {
        if (!formatSet)
            return DIERR_INVALIDPARAM;
        if (foregroundOnly && !WindowHasFocus())
            return DIERR_OTHERAPPHASPRIO;
        if (acquired)
            return S_FALSE;
        acquired = true;
        return DI_OK;
    }

    HRESULT Unacquire() override {
        if (!acquired)
            return S_FALSE;
        acquired = false;
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, void* state) override {
        if (state == nullptr || size != sizeof(DIMOUSESTATE2))
            return DIERR_INVALIDPARAM;
        if (!acquired)
            return DIERR_NOTACQUIRED;
        if (foregroundOnly && !WindowHasFocus()) {
            acquired = false; // the window went to the background: input is lost until acquired again
            return DIERR_INPUTLOST;
        }
        platform::MouseSample sample = platform::TakeMouseSample();
        DIMOUSESTATE2 out{};
        out.lX = sample.dx;
        out.lY = sample.dy;
        out.lZ = sample.dz;
        for (int i = 0; i < 8; ++i)
            out.rgbButtons[i] = sample.buttons[i] ? 0x80 : 0x00;
        std::memcpy(state, &out, sizeof(out));
        return DI_OK;
    }

  private:
    bool WindowHasFocus() const {
        return platform::IsLiveWindow(cooperativeWindow) && cooperativeWindow->focused &&
               !cooperativeWindow->minimised;
    }

    bool formatSet = false;
    bool foregroundOnly = false;
    bool acquired = false;
    HWND cooperativeWindow = nullptr;
};

class DirectInput final : public IDirectInput8A, RefCounted {
  public:
    uint32_t AddRef() override { return AddReference(); }
    uint32_t Release() override {
        uint32_t left = DropReference();
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, IUnknown* outer) override {
        if (device == nullptr)
            return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (outer != nullptr)
            return DIERR_NOAGGREGATION;
        if (!SameGuid(guid, GUID_SysMouse))
            return DIERR_DEVICENOTREG;
        *device = new MouseDevice();
        return DI_OK;
    }
};

} // namespace

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID iid, void** out, IUnknown* outer) {
    if (out == nullptr)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer != nullptr)
        return DIERR_NOAGGREGATION;
    if (version != DIRECTINPUT_VERSION)
        return DIERR_INVALIDPARAM;
    if (!SameGuid(iid, IID_IDirectInput8A))
        return E_NOINTERFACE;
    *out = static_cast<IDirectInput8A*>(new DirectInput());
    return DI_OK;
}

namespace platform {

void AddMouseMotion(int32_t dx, int32_t dy, int32_t dz) {
    Accumulate(motionX, dx);
    Accumulate(motionY, dy);
    Accumulate(motionZ, dz);
}

void SetMouseButton(int button, bool down) {
    if (button < 0 || button >= 8)
        return;
    buttonsDown[button] = down;
    pressedSinceSample[button] = pressedSinceSample[button] || down;
}

void ReleaseMouseButtons() {
    std::fill(std::begin(buttonsDown), std::end(buttonsDown), false);
    std::fill(std::begin(pressedSinceSample), std::end(pressedSinceSample), false);
}

MouseSample TakeMouseSample() {
    MouseSample sample;
    sample.dx = static_cast<int32_t>(motionX);
    sample.dy = static_cast<int32_t>(motionY);
    sample.dz = static_cast<int32_t>(motionZ);
    for (int i = 0; i < 8; ++i)
        sample.buttons[i] = buttonsDown[i] || pressedSinceSample[i];
    std::fill(std::begin(pressedSinceSample), std::end(pressedSinceSample), false);
    motionX = motionY = motionZ = 0;
    return sample;
}

void ResetMouse() {
    motionX = motionY = motionZ = 0;
    ReleaseMouseButtons();
}

} // namespace platform
