#include "platform/d3d8_present.h"

#include "platform/frame_capture.h"
#include "platform/window_scale.h"
#include "platform/window_sdl.h"
#include "platform/window_system.h"

#include <SDL.h>

#include <vector>

namespace platform {
namespace {

struct PresentedFrame {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    bool valid = false;
};

PresentedFrame& LastFrame() {
    static PresentedFrame frame;
    return frame;
}

} // namespace

void RecordPresentedFrame(const uint32_t* pixels, int width, int height) {
    PresentedFrame& frame = LastFrame();
    const size_t count = static_cast<size_t>(width) * height;
    frame.pixels.resize(count);
    for (size_t i = 0; i < count; ++i) {
        frame.pixels[i] = pixels[i] | 0xFF000000u;
    }
    frame.width = width;
    frame.height = height;
    frame.valid = true;
}

bool LastPresentedFrame(std::vector<uint32_t>* pixels, int* width, int* height) {
    const PresentedFrame& frame = LastFrame();
    if (!frame.valid) {
        return false;
    }
    *pixels = frame.pixels;
    *width = frame.width;
    *height = frame.height;
    return true;
}

Presenter::~Presenter() {
    Release();
}

void Presenter::Release() {
    // A window that is already gone took its renderer with it.
    if (sdlWindow != nullptr && SdlWindowOf(window) == sdlWindow) {
        if (texture != nullptr) {
            SDL_DestroyTexture(texture);
        }
        if (renderer != nullptr) {
            SDL_DestroyRenderer(renderer);
        }
    }
    window = nullptr;
    sdlWindow = nullptr;
    renderer = nullptr;
    texture = nullptr;
    textureWidth = textureHeight = 0;
}

void Presenter::Show(HWND handle, const uint32_t* pixels, int width, int height, bool) {
    SDL_Window* target = SdlWindowOf(handle);
    if (target == nullptr) {
        return;
    }
    if (target != sdlWindow) {
        Release();
        SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
        renderer = SDL_CreateRenderer(target, -1, SDL_RENDERER_ACCELERATED);
        if (renderer == nullptr) {
            renderer = SDL_CreateRenderer(target, -1, SDL_RENDERER_SOFTWARE);
        }
        if (renderer == nullptr) {
            return;
        }
        window = handle;
        sdlWindow = target;
    }
    if (texture == nullptr || textureWidth != width || textureHeight != height) {
        if (texture != nullptr) {
            SDL_DestroyTexture(texture);
        }
        texture =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (texture == nullptr) {
            textureWidth = textureHeight = 0;
            return;
        }
        textureWidth = width;
        textureHeight = height;
    }
    SDL_UpdateTexture(texture, nullptr, pixels, width * 4);
    NotePresentedFrame(handle, width, height);
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    const FrameFit fit = FitFrame(outputWidth, outputHeight, width, height);
    const SDL_Rect dest{fit.x, fit.y, fit.width, fit.height};
    // Whole enlargements stay pixel-sharp; a screen's odd factor is smoothed.
    SDL_SetTextureScaleMode(texture, fit.wholeFactor ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, &dest);
    SDL_RenderPresent(renderer);
}

} // namespace platform
