#include "shell/first_option_mode.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"
#include "engine/font.h"
#include "engine/run_log.h"
#include "game/mission_table.h"
#include "shell/game_state.h"
#include "shell/mission_select_mode.h"
#include "shell/music_stream.h"
#include "shell/option_mode.h"
#include "shell/play_mode.h"
#include "shell/services.h"
#include "shell/star_field.h"
#include "shell/turtle.h"

#include <cstdio>

int32_t MainMenuTicks = 0;

namespace {

constexpr int32_t EscapeKey = 27;
constexpr int32_t UnlockAllKey = 0x73;
constexpr int32_t StatusAlpha = 244;

constexpr const char* HelpText =
    "This game is played entirely\nwith the SPACEBAR.  You can use\nthe ESC key to "
    "quickly leave\nthe game, but only the SPACE is\nreally necessary.\n\nThank you, "
    "and have fun!";

uint32_t WithWindowAlpha(uint32_t rgb) {
    return static_cast<uint32_t>(WindowAlpha) << 24 | rgb;
}

} // namespace

FirstOptionMode::FirstOptionMode(int32_t tag, const char* name) : GameMode(tag, name) {
    StartServices(SavedState::Used);
}

FirstOptionMode::~FirstOptionMode() {
    StopServices(SavedState::Used);
}

void FirstOptionMode::BuildMenu() {
    menu = std::make_unique<MenuList>();
    menu->offsetX = -200.0f;
    menu->offsetY = 150.0f;
    menu->AddItem(MainMenuMusic, TheOptions.musicOn ? "Music: ON" : "Music: OFF");
    menu->AddItem(MainMenuSound, TheOptions.soundOn ? "Sound: ON" : "Sound: OFF");
    menu->AddItem(MainMenuDifficulty, "Change Difficulty");
    menu->AddItem(MainMenuGameSpeed, "Change Game Speed");
    menu->AddItem(MainMenuThrustSpeed, "Change Thrust Speed");
    menu->AddItem(MainMenuMenuSpeed, "Change Menu Speed");
    menu->AddItem(MainMenuGap, nullptr);
    menu->AddItem(MainMenuPlay, "Play");
    menu->AddItem(MainMenuGap, nullptr);
    menu->AddItem(MainMenuQuit, "QUIT GAME");
}

int32_t FirstOptionMode::Enter() {
    DefaultLight = WithWindowAlpha(0xF6F2E6u);
    DefaultDark = WithWindowAlpha(0x9E9C82u);
    DefaultFill = WithWindowAlpha(0x323232u);
    GameApplication* app = TheApplication;
    const int32_t width = app ? app->GetScreenWidth() : 0;
    const int32_t height = app ? app->GetScreenHeight() : 0;
    fullWindow = std::make_unique<Window>(0, 0, 0, width, height, "WINDOW");
    fullWindow->style = 0;
    fullWindow->Layout();
    titleBitmap = std::make_unique<Bitmap>("dat\\titleWordB.png");
    background = std::make_unique<Bitmap>("dat\\256RedGalaxy.png");
    BuildMenu();
    return 0;
}

int32_t FirstOptionMode::Exit() {
    menu.reset();
    background.reset();
    titleBitmap.reset();
    fullWindow.reset();
    return 0;
}

void FirstOptionMode::Act(int32_t id) {
    switch (id) {
    case MainMenuQuit:
        PostQuitMessage(0);
        break;
    case MainMenuPlay:
        // The very first game goes straight into the first mission.
        if (TheProgress.gamesPlayed > 0)
            NextMode = new MissionSelectMode(0, "MISSION_SELECT_MODE");
        else
            NextMode = new PlayMode(0, TheOptions.gameSpeedFactor);
        status = 1;
        break;
    case MainMenuSound:
        TheOptions.soundOn = TheOptions.soundOn ? 0 : 1;
        BuildMenu();
        break;
    case MainMenuMusic:
        if (TheOptions.musicOn) {
            if (uiMusic)
                uiMusic->Stop();
        } else if (uiMusic) {
            uiMusic->Play("dat\\drum1.ogg");
        }
        TheOptions.musicOn = TheOptions.musicOn ? 0 : 1;
        BuildMenu();
        break;
    case MainMenuDifficulty:
        NextMode = new OptionMode(0, "GAMEDIFFMODE");
        status = 1;
        break;
    case MainMenuGameSpeed:
        NextMode = new OptionMode(0, "GAMESPEEDMODE");
        status = 1;
        break;
    case MainMenuMenuSpeed:
        NextMode = new OptionMode(0, "GAMEMENUMODE");
        status = 1;
        break;
    case MainMenuThrustSpeed:
        NextMode = new OptionMode(0, "GAMETHRUSTMODE");
        status = 1;
        break;
    default:
        // Any other row lets the pointer run on.
        menu->selected = -1;
        menu->blinkTimer = -1;
        break;
    }
}

void FirstOptionMode::HandleInput() {
    GameApplication* app = TheApplication;
    app->PollMouse();
    while (InputEvent* event = app->TakeEvent()) {
        if (event->tag == InputKeyDown && event->keyCode == EscapeKey) {
            PostQuitMessage(0);
        } else if (event->tag == InputKeyDown) {
            menu->Select();
        } else if (event->tag == InputKeyUp && event->keyCode == UnlockAllKey) {
            UnlockAllMissions();
        }
        if (event->tag == InputKeyDown || event->tag == InputKeyUp || event->tag == InputLeftDown ||
            event->tag == InputLeftUp || event->tag == InputRightDown || event->tag == InputRightUp)
            OfferInputEvent(fullWindow.get(), event);
        delete event;
    }
    fullWindow->HandleEvent(PaneHover, app->mouseX, app->mouseY);
}

int32_t FirstOptionMode::Tick() {
    if (status == 1)
        return 0;
    TheRunLog.Log("FirstOptionMode::Tick ********************\n");
    // Saturates past the threshold, so a long run cannot overflow it.
    if (MainMenuTicks <= 300)
        MainMenuTicks += 1;
    if (MainMenuTicks > 300)
        TheRunLog.Finish();
    menu->Tick(TheOptions.menuSpeed);
    if (menu->Finished())
        Act(menu->ChosenId());
    TheRunLog.Log("gameMusic->Tick()\n");
    if (gameMusic)
        gameMusic->Tick();
    TheRunLog.Log("uiMusic->Tick()\n");
    if (uiMusic)
        uiMusic->Tick();
    HandleInput();
    if (status == 1)
        return 0;

    GameApplication* app = TheApplication;
    TheRunLog.Log("StartRenderingFrame\n");
    app->StartRenderingFrame(0, 0, 0);
    DrawStarField(background.get(), scroll);
    scroll += 2;
    titleBitmap->DrawRotated(static_cast<float>(app->GetScreenWidth() / 2),
                             static_cast<float>(app->GetScreenHeight() / 2 - 150), 0.0f, 1.0f, 255, 255, 255,
                             255);
    TheRunLog.Log("fullWindow->Draw\n");
    fullWindow->Draw();
    DrawStatus();
    menu->Draw();
    TheRunLog.Log("turtle->Handle()\n");
    if (turtle)
        turtle->Handle();
    TheRunLog.Log("FinishRenderingFrame\n");
    app->FinishRenderingFrame();
    return 0;
}

std::vector<StatusText> MainMenuStatus() {
    const Progress& p = TheProgress;
    if (p.gamesPlayed < 1)
        return {{1, 100, 100, 255, 450, 320, 750, 500, HelpText, 0}};
    char completion[64];
    std::snprintf(completion, sizeof completion, "Game Status       %3.1f%% complete\n",
                  CompletionPercentage());
    char best[48];
    std::snprintf(best, sizeof best, "BEST SCORE %d00", p.bestScoreEver);
    char counts[48];
    std::snprintf(counts, sizeof counts, "% 3d/%d\n% 3d/%d", UnlockedMissionCount(), MissionCount,
                  ExcelledMissionCount(), MissionCount);
    char last[192];
    std::snprintf(last, sizeof last,
                  "Last Mission:\n%s\nScore: %d00\nLevel reached: %d\nMission duration: %dmin",
                  GetMissionName(p.lastMission), p.lastScore, p.lastLevelIndex + 1, p.missionTicks / 1800);
    char settings[160];
    std::snprintf(settings, sizeof settings, "%s\n%s\n%s\n%s", GetDifficultyName(TheOptions.difficulty),
                  GetSpeedName(TheOptions.gameSpeed), GetSpeedName(TheOptions.thrustSpeed),
                  GetSpeedName(TheOptions.menuSpeed));
    return {
        {1, 100, 100, 255, 450, 320, 749, 340, completion, 0},
        {1, 200, 200, 255, 450, 346, 690, 366, best, 0},
        {0, 200, 200, 200, 450, 374, 580, 413, "Missions Unlocked\nMissions Excelled", 0},
        {0, 200, 200, 200, 580, 374, 640, 413, counts, FontRightAligned},
        {0, 200, 200, 200, 450, 414, 690, 474, last, 0},
        {0, 200, 200, 200, 450, 514, 580, 573, "Game Difficulty\nGame Speed\nThrust Speed\nMenu Speed",
         FontRightAligned},
        {0, 200, 200, 200, 590, 514, 710, 573, settings, 0},
    };
}

void FirstOptionMode::DrawStatus() {
    for (const StatusText& t : MainMenuStatus())
        DrawMenuText(t.fontSlot, t.red, t.green, t.blue, StatusAlpha, t.left, t.top, t.right, t.bottom,
                     t.text.c_str(), t.flags);
}
