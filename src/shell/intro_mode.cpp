#include "shell/intro_mode.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"

namespace {

constexpr int32_t TileSize = 256;

struct LogoPlace {
    const char* file;
    float x;
    float y;
};
constexpr LogoPlace LogoPlaces[3] = {
    {"dat\\WX-logo1.png", 400.0f, 100.0f},
    {"dat\\TJ-logo1.png", 400.0f, 220.0f},
    {"dat\\PMK-logo1.png", 400.0f, 400.0f},
};

} // namespace

IntroMode::IntroMode(int32_t tag, const char* name)
    : GameMode(tag, name), background(std::make_unique<Bitmap>("dat\\256star.png")) {
    for (int i = 0; i < 3; ++i) {
        logos[i] = std::make_unique<Bitmap>(LogoPlaces[i].file);
    }
}

IntroMode::~IntroMode() = default;

int32_t IntroMode::Exit() {
    background.reset();
    for (std::unique_ptr<Bitmap>& logo : logos) {
        logo.reset();
    }
    return 0;
}

int32_t IntroMode::Tick() {
    GameApplication* app = TheApplication;
    app->PollMouse();
    while (InputEvent* event = app->TakeEvent()) {
        delete event;
    }

    app->StartRenderingFrame(0, 0, 0);
    if (background != nullptr) {
        // Tile centres start one tile before the screen so the drifting
        // field always covers it.
        const int32_t offsetX = (count / 2) % TileSize;
        const int32_t offsetY = count % TileSize;
        const int32_t width = app->GetScreenWidth();
        const int32_t height = app->GetScreenHeight();
        for (int32_t x = -TileSize - offsetX; x - TileSize / 2 < width; x += TileSize) {
            for (int32_t y = -TileSize - offsetY; y - TileSize / 2 < height; y += TileSize) {
                background->DrawCentered(static_cast<float>(x), static_cast<float>(y));
            }
        }
    }
    ++count;
    for (int i = 0; i < 3; ++i) {
        if (logos[i] != nullptr) {
            logos[i]->DrawCentered(LogoPlaces[i].x, LogoPlaces[i].y);
        }
    }
    app->FinishRenderingFrame();
    return 0;
}
