// Internal to the platform layer: showing the device's back buffer in the SDL
// window, and the copy of the last presented frame that the harness saves.
#pragma once

#include "platform/win32.h"

#include <cstdint>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

// Draws frames into one window through an SDL renderer made on first use.
// Never waits for vertical sync.
class Presenter {
  public:
    Presenter() = default;
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // In a window the frame fills the client area; in full screen it is
    // scaled to the window keeping its aspect ratio, with black bars. Does
    // nothing without an SDL window (headless, or a bad handle).
    void Show(HWND window, const uint32_t* pixels, int width, int height, bool fullScreen);

  private:
    void Release();

    HWND window = nullptr;
    SDL_Window* sdlWindow = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
};

// Keeps a copy of a presented frame for LastPresentedFrame (frame_capture.h).
void RecordPresentedFrame(const uint32_t* pixels, int width, int height);

} // namespace platform
