#include "core/game_application.h"

#include <new>

#include "core/input_event.h"
#include "engine/camera.h"
#include "engine/font.h"
#include "engine/video_list.h"
#include "platform/os/crt_rand.h"
#include "platform/win32/clock.h"

namespace {

constexpr LPARAM AutoRepeatBit = LPARAM{1} << 30;
constexpr BYTE ButtonPressed = 0x80;

const D3DMATRIX Identity = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    if (value < low) {
        return low;
    }
    if (value > high) {
        return high;
    }
    return value;
}

// Full-screen pointer speed-up: each step multiplies by 1.2 in single
// precision and truncates towards zero.
int32_t ScaleStep(int32_t value) {
    return static_cast<int32_t>(static_cast<float>(value) * 1.2f);
}

} // namespace

GameApplication::GameApplication() {
    title = "CVantry application";
    useDepthBuffer = 1;
    crt::srand(timeGetTime());
}

GameApplication::~GameApplication() = default;

HRESULT GameApplication::CheckDevice(D3DCAPS8* caps, DWORD flags, D3DFORMAT) {
    if ((caps->SrcBlendCaps & D3DPBLENDCAPS_ONE) == 0) {
        return E_FAIL;
    }
    if ((caps->DestBlendCaps & D3DPBLENDCAPS_ONE) == 0) {
        return E_FAIL;
    }
    if ((flags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING)) != 0 &&
        !(caps->MaxPointSize > 0.0f)) {
        return E_FAIL;
    }
    if ((flags & D3DCREATE_PUREDEVICE) != 0) {
        return E_FAIL;
    }
    return S_OK;
}

void GameApplication::QueueEvent(int32_t kind, const char* name, int32_t x, int32_t y, char character,
                                 int32_t keyCode) {
    InputEvent* event = new (std::nothrow) InputEvent(kind, name);
    if (event == nullptr) {
        return;
    }
    event->x = x;
    event->y = y;
    event->character = character;
    event->keyCode = keyCode;
    if (events.Add(event) == nullptr) {
        delete event;
    }
}

LRESULT GameApplication::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && modesRunning == 0) {
            PostQuitMessage(0);
        } else if ((lParam & AutoRepeatBit) == 0) {
            QueueEvent(InputKeyDown, "KEY DOWN", -1, -1, 0, static_cast<int32_t>(wParam));
        }
        break;
    case WM_KEYUP:
        QueueEvent(InputKeyUp, "KEY UP", -1, -1, 0, static_cast<int32_t>(wParam));
        break;
    case WM_CHAR:
        QueueEvent(InputKeyUp, "KEY UP", -1, -1, static_cast<char>(wParam & 0xFF), 0);
        break;
    case WM_CLOSE:
        // The host releases the device on close; the fonts still talk to it
        // when they let go of their objects, so they go first.
        ReleaseDeviceObjects();
        break;
    case WM_MOUSEMOVE:
        if (windowed) {
            mouseX =
                Clamp(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))), 0, GetScreenWidth() - 1);
            mouseY =
                Clamp(static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam))), 0, GetScreenHeight() - 1);
        }
        break;
    default:
        break;
    }
    return HostApplication::HandleMessage(hwnd, message, wParam, lParam);
}

void GameApplication::PollMouse() {
    DIMOUSESTATE2 state{};
    if (mouse == nullptr || FAILED(mouse->GetDeviceState(sizeof(state), &state))) {
        // A failed read counts as no movement and no buttons held.
        state = DIMOUSESTATE2{};
        if (mouse != nullptr) {
            mouse->Acquire();
        }
    }

    QueueEvent(InputMouseDelta, "MOUSE_DELTA", state.lX, state.lY, 0, 0);

    if (!windowed) {
        int32_t dx = state.lX;
        int32_t dy = state.lY;
        const int32_t width = GetScreenWidth();
        if (width > 640) {
            dx = ScaleStep(dx);
            dy = ScaleStep(dy);
        }
        if (width > 800) {
            dx = ScaleStep(dx);
            dy = ScaleStep(dy);
        }
        // Widened so that a huge raw movement cannot overflow the sum.
        const int64_t x = static_cast<int64_t>(mouseX) + dx;
        const int64_t y = static_cast<int64_t>(mouseY) + dy;
        mouseX = static_cast<int32_t>(x < 0 ? 0 : (x > width - 1 ? width - 1 : x));
        const int32_t height = GetScreenHeight();
        mouseY = static_cast<int32_t>(y < 0 ? 0 : (y > height - 1 ? height - 1 : y));
    }

    const bool leftNow = (state.rgbButtons[0] & ButtonPressed) != 0;
    const bool leftBefore = (previousMouseState.rgbButtons[0] & ButtonPressed) != 0;
    if (leftNow && !leftBefore) {
        SetCapture(window);
        QueueEvent(InputLeftDown, "LMB DOWN", mouseX, mouseY, 0, 0);
    } else if (!leftNow && leftBefore) {
        ReleaseCapture();
        QueueEvent(InputLeftUp, "LMB UP", mouseX, mouseY, 0, 0);
    }

    const bool rightNow = (state.rgbButtons[1] & ButtonPressed) != 0;
    const bool rightBefore = (previousMouseState.rgbButtons[1] & ButtonPressed) != 0;
    if (rightNow && !rightBefore) {
        QueueEvent(InputRightDown, "RMB DOWN", mouseX, mouseY, 0, 0);
    } else if (!rightNow && rightBefore) {
        QueueEvent(InputRightUp, "RMB UP", mouseX, mouseY, 0, 0);
    }

    previousMouseState = state;
}

InputEvent* GameApplication::TakeEvent() {
    DataObject* first = events.First();
    if (first == nullptr) {
        return nullptr;
    }
    events.Remove(first);
    return static_cast<InputEvent*>(first);
}

bool GameApplication::InitInput(HINSTANCE instance, HWND hwnd, int32_t) {
    if (device == nullptr) {
        return false;
    }
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetTransform(D3DTS_WORLD, &Identity);

    camera = new Camera();
    camera->UpdateProjection();
    camera->Apply(device);

    if (FAILED(DirectInput8Create(instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  reinterpret_cast<void**>(&directInput), nullptr)) ||
        directInput == nullptr) {
        directInput = nullptr;
        return false;
    }
    if (FAILED(directInput->CreateDevice(GUID_SysMouse, &mouse, nullptr)) || mouse == nullptr) {
        mouse = nullptr;
        return false;
    }
    if (FAILED(mouse->SetDataFormat(&c_dfDIMouse2))) {
        return false;
    }
    if (FAILED(mouse->SetCooperativeLevel(hwnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND))) {
        return false;
    }
    mouse->Acquire();

    TheVideoList = new VideoList();
    spriteQuad = new VideoDataObject(static_cast<int32_t>(4 * sizeof(ScreenVertex)), ScreenVertexFormat);
    TheVideoList->Add(spriteQuad);
    if (void* data = TheVideoList->Lock(spriteQuad)) {
        ScreenVertex* vertices = static_cast<ScreenVertex*>(data);
        const float uvs[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        for (int i = 0; i < 4; ++i) {
            vertices[i] = ScreenVertex{0.0f, 0.0f, 0.5f, 1.0f, 0xFFFFFFFFu, uvs[i][0], uvs[i][1]};
        }
        TheVideoList->Unlock(spriteQuad);
    }
    material = D3DMATERIAL8{};
    material.Diffuse = {0.5f, 0.5f, 0.5f, 0.5f};
    material.Ambient = {0.5f, 0.5f, 0.5f, 0.5f};

    SetCursor(nullptr);
    device->ShowCursor(FALSE);
    ShowCursor(FALSE);
    device->ShowCursor(FALSE);
    return true;
}

HRESULT GameApplication::StartRenderingFrame(int32_t red, int32_t green, int32_t blue) {
    if (device == nullptr) {
        return E_FAIL;
    }
    SetCursor(nullptr);
    ResetClipRect();
    const D3DCOLOR colour = 0xFF000000u | (static_cast<uint32_t>(red & 0xFF) << 16) |
                            (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(blue & 0xFF);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
    return device->BeginScene();
}

HRESULT GameApplication::FinishRenderingFrame() {
    if (device == nullptr) {
        return E_FAIL;
    }
    device->EndScene();
    return device->Present(nullptr, nullptr, nullptr, nullptr);
}

void GameApplication::SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    clipRect = RECT{left, top, right, bottom};
}

void GameApplication::ResetClipRect() {
    clipRect = RECT{0, 0, GetScreenWidth(), GetScreenHeight()};
}

int32_t GameApplication::GetScreenWidth() {
    return static_cast<int32_t>(presentParams.BackBufferWidth);
}

int32_t GameApplication::GetScreenHeight() {
    return static_cast<int32_t>(presentParams.BackBufferHeight);
}

HRESULT GameApplication::CreateFontSlot(int32_t slot, const char* face, int32_t size) {
    if (slot < 0 || slot >= FontSlotCount) {
        return E_INVALIDARG;
    }
    // A slot that is filled again gives up its old font instead of leaking it.
    if (fonts[slot] != nullptr) {
        fonts[slot]->InvalidateDeviceObjects();
        fonts[slot]->DeleteDeviceObjects();
        delete fonts[slot];
    }
    fonts[slot] = new Font(face, size, 0);
    fonts[slot]->CreateDeviceObjects(device);
    return fonts[slot]->RestoreDeviceObjects();
}

Font* GameApplication::GetFont(int32_t slot) {
    if (slot < 0 || slot >= FontSlotCount) {
        return nullptr;
    }
    return fonts[slot];
}

void GameApplication::ReleaseDeviceObjects() {
    if (TheVideoList != nullptr) {
        TheVideoList->Destroy(spriteQuad);
        delete TheVideoList;
        TheVideoList = nullptr;
    }
    spriteQuad = nullptr;
    for (Font*& font : fonts) {
        if (font != nullptr) {
            font->InvalidateDeviceObjects();
            font->DeleteDeviceObjects();
            delete font;
            font = nullptr;
        }
    }
}

void GameApplication::Cleanup() {
    ReleaseDeviceObjects();
    if (mouse != nullptr) {
        mouse->Unacquire();
    }
    delete camera;
    camera = nullptr;
    if (mouse != nullptr) {
        mouse->Release();
        mouse = nullptr;
    }
    if (directInput != nullptr) {
        directInput->Release();
        directInput = nullptr;
    }
    Shutdown();
}
