#include "shell/option_mode.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"
#include "engine/font.h"
#include "shell/game_state.h"
#include "shell/music_stream.h"
#include "shell/services.h"
#include "shell/star_field.h"

#include <cstring>

namespace {

constexpr int32_t GapId = 9;
constexpr int32_t CancelId = 10;
constexpr int32_t EscapeKey = 27;

constexpr const char* DifficultyHelp = "This menu lets you set the difficulty\nof the game.  The choices "
                                       "are:\n\nEasy - Enemies take only one hit,\n"
                                       "and have to get closer to fire.\n\nNormal - Later enemies are "
                                       "tougher.\n\nHard - Your ship can take only one "
                                       "hit,\nenemies fire from longer range.";
constexpr const char* GameSpeedHelp =
    "This menu lets you set the overall\nspeed of the game.  The menu effects the\nspeed of all the ships, "
    "missiles, and\nother weapons, so use this menu to\nslow down or speed up the game to a\nlevel you find "
    "comfortable.";
constexpr const char* MenuSpeedHelp =
    "This menu lets you set the speed\nof the menu pointer as it moves down\nthe menu list.\nUse this menu "
    "to "
    "slow down or speed up\nthe menu pointer to a level you\nfind comfortable.";
constexpr const char* ThrustSpeedHelp =
    "During the game, you tap the SPACE to launch\na weapon, and hold it down to use Boost.\n\nThis menu "
    "lets "
    "you change the Boost threshold.\nChoosing 'Very Slow' will make you have to\nhold down the SPACE much "
    "longer before Boost\nis activated.  Choose a fast setting to make\nBoost kick in sooner.";

OptionKind KindOfName(const char* name) {
    if (std::strcmp(name, "GAMESPEEDMODE") == 0)
        return OptionKind::GameSpeed;
    if (std::strcmp(name, "GAMEMENUMODE") == 0)
        return OptionKind::MenuSpeed;
    if (std::strcmp(name, "GAMETHRUSTMODE") == 0)
        return OptionKind::ThrustSpeed;
    return OptionKind::Difficulty;
}

} // namespace

OptionMode::OptionMode(int32_t tag, const char* name) : GameMode(tag, name), kind(KindOfName(this->name)) {}

const char* OptionMode::HelpText() const {
    switch (kind) {
    case OptionKind::GameSpeed:
        return GameSpeedHelp;
    case OptionKind::MenuSpeed:
        return MenuSpeedHelp;
    case OptionKind::ThrustSpeed:
        return ThrustSpeedHelp;
    default:
        return DifficultyHelp;
    }
}

int32_t OptionMode::Enter() {
    background = std::make_unique<Bitmap>("dat\\256star.png");
    menu = std::make_unique<MenuList>();
    menu->offsetY = 100.0f;
    if (kind == OptionKind::Difficulty) {
        for (int32_t i = 0; i < DifficultyCount; ++i)
            menu->AddItem(i, DifficultyNames[i]);
    } else {
        for (int32_t i = 0; i < SpeedSettingCount; ++i)
            menu->AddItem(i + 1, SpeedNames[i]);
    }
    menu->AddItem(GapId, nullptr);
    menu->AddItem(CancelId, "Cancel");
    return 0;
}

int32_t OptionMode::Exit() {
    menu.reset();
    background.reset();
    SaveOptions("options.dat");
    return 0;
}

void OptionMode::Apply(int32_t id) {
    if (kind == OptionKind::Difficulty) {
        if (id >= 0 && id < DifficultyCount)
            TheOptions.difficulty = id;
        return;
    }
    // Speed rows are 1..7 for the settings 0..6.
    if (id < 1 || id > SpeedSettingCount)
        return;
    switch (kind) {
    case OptionKind::GameSpeed:
        TheOptions.gameSpeedFactor = 0.25f * static_cast<float>(id);
        TheOptions.gameSpeed = id - 1;
        break;
    case OptionKind::MenuSpeed:
        TheOptions.menuSpeed = id - 1;
        break;
    default:
        TheOptions.thrustSpeed = id - 1;
        break;
    }
}

int32_t OptionMode::Tick() {
    GameApplication* app = TheApplication;
    if (gameMusic)
        gameMusic->Tick();
    if (uiMusic)
        uiMusic->Tick();
    menu->Tick(TheOptions.menuSpeed);
    if (menu->Finished()) {
        Apply(menu->ChosenId());
        NextMode = nullptr;
        status = 2;
    }
    app->PollMouse();
    while (InputEvent* event = app->TakeEvent()) {
        if (event->tag == InputKeyDown) {
            if (event->keyCode == EscapeKey) {
                NextMode = nullptr;
                status = 2;
            } else {
                menu->Select();
            }
        }
        delete event;
    }
    app->StartRenderingFrame(0, 0, 0);
    DrawStarField(background.get(), scroll);
    scroll += 2;
    DrawMenuText(1, 200, 200, 200, 244, 50, 20, 750, 220, HelpText(), FontCentred);
    menu->Draw();
    app->FinishRenderingFrame();
    return 0;
}
