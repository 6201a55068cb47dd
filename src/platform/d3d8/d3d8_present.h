// Internal to the platform layer: showing the device's back buffer in the SDL
// window, and the copy of the last presented frame that the harness saves.
#pragma once

#include "platform/d3d8/frame_scaler.h"
#include "platform/win32/win32.h"

#include <cstdint>
#include <vector>

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
    // black bars, as ChosenFrameScaling says: a windowed presentation is a
    // whole enlargement and fills the window exactly, the desktop's full
    // screen is letterboxed. The window's presentation decides, not the
    // device's mode (F11 may have switched one without the other), so the
    // last flag is not read. Does nothing without an SDL window (headless,
    // or a bad handle).
    void Show(HWND window, const uint32_t* pixels, int width, int height, bool deviceFullScreen);

  private:
    void Release();
    // Without graphics hardware: our own scaler, straight into the window's
    // pixels where they have the frame's layout, else into a frame that SDL
    // converts; the bars are painted and sent only when the picture moves or
    // the window system asks for the whole window again.
    void ShowOnWindowSurface(HWND handle, const uint32_t* pixels, int width, int height);
    // The frame's texture enlarged `factor` times by the nearest pixel into a
    // target texture, or the frame's own where that cannot be made.
    SDL_Texture* Enlarged(int factor);

    HWND window = nullptr;
    SDL_Window* sdlWindow = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
    SDL_Texture* enlarged = nullptr;
    int enlargedWidth = 0, enlargedHeight = 0;
    FrameScaler scaler;
    std::vector<uint32_t> scaled; // a scaled frame for a window of another pixel layout
    // What the window's pixels hold besides the picture: the surface, its
    // size and the picture's place when the bars were painted, and the
    // window's exposures then.
    struct Bars {
        const void* surface = nullptr;
        int surfaceWidth = 0, surfaceHeight = 0;
        int x = 0, y = 0, width = 0, height = 0;
        uint32_t exposures = 0;
        bool operator==(const Bars&) const = default;
    } bars;
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
