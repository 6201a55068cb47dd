#include "shell/mission_select_mode.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"
#include "engine/font.h"
#include "shell/game_state.h"
#include "shell/music_stream.h"
#include "shell/play_mode.h"
#include "shell/services.h"
#include "shell/star_field.h"

namespace {

constexpr int32_t EscapeKey = 27;

} // namespace

MissionSelectMode::MissionSelectMode(int32_t tag, const char* name) : GameMode(tag, name) {}

int32_t MissionSelectMode::Enter() {
    background = std::make_unique<Bitmap>("dat\\256star.png");
    for (int32_t m = 0; m < MissionCount; ++m)
        shipBitmaps[m] = std::make_unique<Bitmap>(ShipArt[m]);
    menu = std::make_unique<MenuList>();
    menu->speedFactor = 1.5f;
    menu->rowHeight = 40.0f;
    for (int32_t m = 0; m < MissionCount; ++m) {
        if (TheProgress.missions[m].unlocked)
            menu->AddItem(m + 1, GetMissionName(m));
    }
    menu->AddItem(MissionSelectCancel, nullptr);
    menu->AddItem(MissionSelectCancel, "Cancel");
    return 0;
}

int32_t MissionSelectMode::Exit() {
    for (std::unique_ptr<Bitmap>& ship : shipBitmaps)
        ship.reset();
    menu.reset();
    background.reset();
    return 0;
}

void MissionSelectMode::Leave(GameMode* next) {
    // A second request in the same tick keeps the first one.
    if (status == 2) {
        delete next;
        return;
    }
    NextMode = next;
    status = 2;
}

int32_t MissionSelectMode::Tick() {
    if (gameMusic)
        gameMusic->Tick();
    if (uiMusic)
        uiMusic->Tick();
    menu->Tick(TheOptions.menuSpeed);
    if (menu->Finished()) {
        const int32_t id = menu->ChosenId();
        Leave(id > MissionCount ? nullptr : new PlayMode(id - 1, TheOptions.gameSpeedFactor));
    }
    GameApplication* app = TheApplication;
    app->PollMouse();
    while (InputEvent* event = app->TakeEvent()) {
        if (event->tag == InputKeyDown) {
            if (event->keyCode == EscapeKey)
                Leave(nullptr);
            else
                menu->Select();
        }
        delete event;
    }
    app->StartRenderingFrame(0, 0, 0);
    DrawStarField(background.get(), scroll);
    scroll += 2;
    DrawMenuText(1, 200, 200, 255, 255, 50, 26, app->GetScreenWidth() - 50, 54, "Choose your mission",
                 FontCentred);
    // Each ship sits level with its row, alternating between two columns.
    int32_t row = 0;
    for (int32_t m = 0; m < MissionCount; ++m) {
        if (!TheProgress.missions[m].unlocked)
            continue;
        const float x = m % 2 == 0 ? 240.0f : 180.0f;
        shipBitmaps[m]->DrawRotated(x, static_cast<float>(row) * menu->rowHeight + menu->top + 20.0f, 0.0f,
                                    1.0f, 255, 255, 255, 255);
        ++row;
    }
    menu->Draw();
    app->FinishRenderingFrame();
    return 0;
}
