// Internal to the platform layer: showing the device's back buffer in the SDL
// window, and the copy of the last presented frame that the harness saves.
#pragma once

#include "platform/win32/win32.h"

#include <cstdint>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

// Draws frames into one window: through an SDL renderer made on first use
// where the machine has graphics hardware, else straight into the window's
// own pixels. Never waits for vertical sync.
class Presenter {
  public:
    Presenter() = default;
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Scales the frame to the window keeping its aspect ratio, centred with
    // black bars: a windowed presentation is a whole enlargement and fills
    // the window exactly, the desktop's full screen is letterboxed. The
    // window's presentation decides, not the device's mode (F11 may have
    // switched one without the other), so the last flag is not read. Does
    // nothing without an SDL window (headless, or a bad handle).
    void Show(HWND window, const uint32_t* pixels, int width, int height, bool deviceFullScreen);

  private:
    void Release();

    HWND window = nullptr;
    SDL_Window* sdlWindow = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
};

// Flags for a window the presenter will draw into: the ones its first choice
// of renderer needs, so that SDL draws into the window as it was made instead
// of replacing it (a new X window, which flickers and loses its id) on the
// first frame.
uint32_t PresenterWindowFlags();

// Whether the device on the display keeps the frame it presents now
// (KeepPresentedFramesWhile, presented_frame.h).
bool PresentedFrameKept();
// Keeps a copy of a presented frame for LastPresentedFrame (presented_frame.h).
void RecordPresentedFrame(const uint32_t* pixels, int width, int height);

} // namespace platform
