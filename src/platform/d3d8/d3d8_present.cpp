#include "platform/d3d8/d3d8_present.h"

#include "platform/d3d8/presented_frame.h"
#include "platform/win32/window_scale.h"
#include "platform/win32/window_sdl.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

#include <cstddef>
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

bool (*frameWanted)() = nullptr;

// True for an OpenGL renderer that Mesa implements on the CPU: its texture
// upload and scaling cost several times what SDL's own blitter does.
bool GlDrawsOnTheCpu(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int kGlRenderer = 0x1F01;
    const unsigned char* name = getString != nullptr ? getString(kGlRenderer) : nullptr;
    if (name == nullptr) {
        return false;
    }
    const char* text = reinterpret_cast<const char*>(name);
    return SDL_strstr(text, "llvmpipe") != nullptr || SDL_strstr(text, "softpipe") != nullptr ||
           SDL_strstr(text, "Software Rasterizer") != nullptr;
}

// An accelerated renderer, or null where the machine has none that draws on
// its graphics hardware.
SDL_Renderer* CreateAcceleratedRenderer(SDL_Window* target) {
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    SDL_Renderer* renderer = SDL_CreateRenderer(target, -1, SDL_RENDERER_ACCELERATED);
    if (renderer == nullptr) {
        return nullptr;
    }
    SDL_RendererInfo info{};
    const bool software =
        SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    if (software || GlDrawsOnTheCpu(renderer)) {
        SDL_DestroyRenderer(renderer);
        return nullptr;
    }
    return renderer;
}

// Paints the parts of the surface outside `frame` black.
void FillBars(SDL_Surface* surface, const SDL_Rect& frame) {
    const Uint32 black = SDL_MapRGB(surface->format, 0, 0, 0);
    const SDL_Rect bars[] = {
        {0, 0, surface->w, frame.y},
        {0, frame.y + frame.h, surface->w, surface->h - frame.y - frame.h},
        {0, frame.y, frame.x, frame.h},
        {frame.x + frame.w, frame.y, surface->w - frame.x - frame.w, frame.h},
    };
    for (const SDL_Rect& bar : bars) {
        if (bar.w > 0 && bar.h > 0) {
            SDL_FillRect(surface, &bar, black);
        }
    }
}

} // namespace

uint32_t PresenterWindowFlags() {
    // SDL tries its OpenGL renderer first unless told to use another.
    const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (driver == nullptr || *driver == '\0' || SDL_strncasecmp(driver, "opengl", 6) == 0) {
        return SDL_WINDOW_OPENGL;
    }
    return 0;
}

void KeepPresentedFramesWhile(bool (*wanted)()) {
    frameWanted = wanted;
}

bool PresentedFrameKept() {
    return frameWanted != nullptr && frameWanted();
}

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
        if (enlarged != nullptr) {
            SDL_DestroyTexture(enlarged);
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
    enlarged = nullptr;
    enlargedWidth = enlargedHeight = 0;
    bars = Bars{};
}

// The window system shows the window's pixels from shared memory: one copy,
// where a software renderer makes two (into its texture, then into the
// window).
void Presenter::ShowOnWindowSurface(HWND handle, const uint32_t* pixels, int width, int height) {
    SDL_Surface* surface = SDL_GetWindowSurface(sdlWindow);
    if (surface == nullptr) {
        return;
    }
    NotePresentedFrame(handle, width, height);
    const FrameScaling scaling = ChosenFrameScaling();
    const FrameFit fit = FitFrame(surface->w, surface->h, width, height, scaling);
    SDL_Rect dest{fit.x, fit.y, fit.width, fit.height};
    const Bars now{surface, surface->w, surface->h, fit.x, fit.y, fit.width, fit.height, handle->exposures};
    const bool wholeWindow = !(now == bars);
    if (wholeWindow) {
        FillBars(surface, dest);
        bars = now;
    }
    const SDL_PixelFormat* format = surface->format;
    if (format->BytesPerPixel == 4 && format->Rmask == 0x00FF0000u && format->Gmask == 0x0000FF00u &&
        format->Bmask == 0x000000FFu && SDL_LockSurface(surface) == 0) {
        // The window has the frame's layout: scaled straight into it.
        auto* at = static_cast<uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(fit.y) * surface->pitch +
                   static_cast<ptrdiff_t>(fit.x) * 4;
        scaler.Scale(pixels, width, height, reinterpret_cast<uint32_t*>(at), fit.width, fit.height,
                     surface->pitch, scaling);
        SDL_UnlockSurface(surface);
    } else {
        // Another layout (the browser's canvas is BGR): scaled into a frame
        // of ours, which SDL converts as it copies. The back buffer has no
        // alpha of its own, so it is copied, not blended.
        const uint32_t* shown = pixels;
        if (fit.width != width || fit.height != height) {
            scaled.resize(static_cast<size_t>(fit.width) * static_cast<size_t>(fit.height));
            scaler.Scale(pixels, width, height, scaled.data(), fit.width, fit.height, fit.width * 4, scaling);
            shown = scaled.data();
        }
        if (SDL_Surface* frame =
                SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(shown), fit.width, fit.height, 32,
                                                   fit.width * 4, SDL_PIXELFORMAT_RGB888)) {
            SDL_BlitSurface(frame, nullptr, surface, &dest);
            SDL_FreeSurface(frame);
        }
    }
    if (wholeWindow) {
        SDL_UpdateWindowSurface(sdlWindow);
    } else {
        SDL_UpdateWindowSurfaceRects(sdlWindow, &dest, 1);
    }
}

SDL_Texture* Presenter::Enlarged(int factor) {
    if (factor <= 1 || !SDL_RenderTargetSupported(renderer))
        return texture;
    const int width = factor * textureWidth, height = factor * textureHeight;
    if (enlarged == nullptr || enlargedWidth != width || enlargedHeight != height) {
        if (enlarged != nullptr)
            SDL_DestroyTexture(enlarged);
        enlarged =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, width, height);
        enlargedWidth = enlarged != nullptr ? width : 0;
        enlargedHeight = enlarged != nullptr ? height : 0;
        if (enlarged == nullptr)
            return texture;
        SDL_SetTextureScaleMode(enlarged, SDL_ScaleModeLinear);
    }
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    if (SDL_SetRenderTarget(renderer, enlarged) != 0)
        return texture;
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_SetRenderTarget(renderer, nullptr);
    return enlarged;
}

void Presenter::Show(HWND handle, const uint32_t* pixels, int width, int height, bool) {
    SDL_Window* target = SdlWindowOf(handle);
    if (target == nullptr) {
        return;
    }
    if (target != sdlWindow) {
        Release();
        renderer = CreateAcceleratedRenderer(target);
        if (renderer == nullptr) {
            // SDL's own framebuffer rather than a GL texture made for it.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        }
        window = handle;
        sdlWindow = target;
    }
    if (renderer == nullptr) {
        ShowOnWindowSurface(handle, pixels, width, height);
        return;
    }
    if (texture == nullptr || textureWidth != width || textureHeight != height) {
        if (texture != nullptr) {
            SDL_DestroyTexture(texture);
        }
        // The back buffer has no alpha of its own: the texture ignores it and
        // is copied, not blended.
        texture =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
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
    const FrameScaling scaling = ChosenFrameScaling();
    const FrameFit fit = FitFrame(outputWidth, outputHeight, width, height, scaling);
    const SDL_Rect dest{fit.x, fit.y, fit.width, fit.height};
    // Whole enlargements stay pixel-sharp. Sharp scaling enlarges by the
    // nearest pixel first, then smooths only the rest of the way; Smooth, or
    // a renderer without target textures, smooths all the way.
    SDL_Texture* shown = texture;
    if (!fit.wholeFactor && scaling == FrameScaling::Sharp)
        shown = Enlarged(SharpFactor(width, height, fit.width, fit.height));
    SDL_SetTextureScaleMode(texture,
                            fit.wholeFactor || shown != texture ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    if (fit.x > 0 || fit.y > 0 || fit.width < outputWidth || fit.height < outputHeight) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255); // the bars
        SDL_RenderClear(renderer);
    }
    SDL_RenderCopy(renderer, shown, nullptr, &dest);
    SDL_RenderPresent(renderer);
}

} // namespace platform
