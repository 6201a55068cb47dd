#pragma once

#include <cstdint>

#include "core/object_list.h"
#include "display/host_application.h"
#include "platform/d3d8/d3d8.h"
#include "platform/dinput8/dinput8.h"
#include "platform/win32/win32.h"

class Camera;
class Font;
class InputEvent;
class VideoDataObject;

constexpr int32_t FontSlotCount = 20;

// The game's one application object (TheApplication): the host plus the
// keyboard and mouse event queue, the pointer, the fonts, the frame bracket
// and the clip rectangle for text and window drawing.
class GameApplication : public HostApplication {
  public:
    IDirectInput8A* directInput = nullptr;
    IDirectInputDevice8A* mouse = nullptr;
    VideoDataObject* spriteQuad = nullptr;
    D3DMATERIAL8 material{};
    // Owned; slots 0..7 are filled at start-up.
    Font* fonts[FontSlotCount] = {};
    Camera* camera = nullptr;
    // Client pixels; -100 stands for a position not seen yet.
    int32_t mouseX = -100;
    int32_t mouseY = -100;
    // While 0, Escape ends the game instead of reaching the modes.
    int32_t modesRunning = 0;
    RECT clipRect{};
    // Oldest first; owns the queued events.
    ObjectList events;
    DIMOUSESTATE2 previousMouseState{};

    // Seeds the C run-time generator with the multimedia clock.
    GameApplication();
    ~GameApplication() override;

    HRESULT CheckDevice(D3DCAPS8* caps, DWORD behaviorFlags, D3DFORMAT displayFormat) override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Render states, camera, the DirectInput mouse, the video list and the
    // sprite quad; false at the first DirectInput call that fails.
    bool InitInput(HINSTANCE instance, HWND window, int32_t windowed);
    // Reads the mouse, moves the pointer and queues MOUSE_DELTA and button events.
    void PollMouse();
    // Removes and returns the oldest event (the caller deletes it), or null.
    InputEvent* TakeEvent();

    // Hides the cursor, resets the clip rectangle, clears to the opaque colour
    // and begins the scene; returns BeginScene's result.
    HRESULT StartRenderingFrame(int32_t red, int32_t green, int32_t blue);
    // Ends the scene and presents; returns Present's result.
    HRESULT FinishRenderingFrame();
    void SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void ResetClipRect();
    int32_t GetScreenWidth();
    int32_t GetScreenHeight();
    // Creates the font in `slot` (0..19) with style 0 and its device objects;
    // returns RestoreDeviceObjects' result, E_INVALIDARG for a bad slot.
    HRESULT CreateFontSlot(int32_t slot, const char* face, int32_t size);
    // Null for an empty or out-of-range slot.
    Font* GetFont(int32_t slot);
    // Frees the sprite quad, video list, fonts, mouse, camera and DirectInput,
    // then the host's 3D environment. Safe after the window was closed, which
    // already let go of the sprite quad, video list and fonts.
    void Cleanup();

    // Drawing on the sprite quad; defined with the video objects.
    void DrawTextureRect(IDirect3DTexture8* texture, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         uint32_t colour);
    void DrawSprite(IDirect3DTexture8* texture, int32_t x, int32_t y, float angle, float scale,
                    uint32_t colour, bool additive);
    void DrawTextureQuad(IDirect3DTexture8* texture, const float* points, uint32_t colour, bool additive);
    void DrawMappedQuad(IDirect3DTexture8* texture, const float* points, const float* uvs, uint32_t colour);
    void DrawPointer(IDirect3DTexture8* texture, int32_t dx, int32_t dy);

  private:
    // The video list with the sprite quad, and the fonts; safe to repeat.
    void ReleaseDeviceObjects();
    void QueueEvent(int32_t kind, const char* name, int32_t x, int32_t y, char character, int32_t keyCode);
};
