#include "shell/intro_mode.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"
#include "shell/first_option_mode.h"
#include "shell/star_field.h"

namespace {

constexpr int32_t IntroTicks = 200;

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
    for (int32_t i = 0; i < 3; ++i)
        logos[i] = std::make_unique<Bitmap>(LogoPlaces[i].file);
}

IntroMode::~IntroMode() = default;

int32_t IntroMode::Exit() {
    background.reset();
    for (std::unique_ptr<Bitmap>& logo : logos)
        logo.reset();
    return 0;
}

void IntroMode::ReplaceWithMenu() {
    // Several releases in one tick, or one on the last tick, still make a
    // single main menu: it starts the shared services.
    if (status == 2)
        return;
    NextMode = new FirstOptionMode(0, "FIRSTOPTION_MODE");
    status = 2;
}

int32_t IntroMode::Tick() {
    GameApplication* app = TheApplication;
    app->PollMouse();
    while (InputEvent* event = app->TakeEvent()) {
        if (event->tag == InputKeyUp)
            ReplaceWithMenu();
        delete event;
    }
    app->StartRenderingFrame(0, 0, 0);
    DrawStarField(background.get(), count);
    ++count;
    for (int32_t i = 0; i < 3; ++i) {
        if (logos[i])
            logos[i]->DrawCentered(LogoPlaces[i].x, LogoPlaces[i].y);
    }
    app->FinishRenderingFrame();
    if (count > IntroTicks)
        ReplaceWithMenu();
    return 0;
}
