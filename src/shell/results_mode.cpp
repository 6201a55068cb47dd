#include "shell/results_mode.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"
#include "engine/font.h"
#include "engine/sound.h"
#include "game/mission_table.h"
#include "shell/game_state.h"
#include "shell/music_stream.h"
#include "shell/replay_mode.h"
#include "shell/replay_store.h"
#include "shell/services.h"
#include "shell/star_field.h"

#include <algorithm>
#include <cstdio>

ResultsMode* TheResultsMode = nullptr;

const char* const ResultsTips[ResultsTipCount] = {
    "You get some boost everytime a weapon is added to your\nweapon queue.  The AMOUNT you get is determined "
    "by "
    "how MANY\nweapons are in the queue at that time.\nIn other words, conserve your ammo to build boost "
    "quickly.",
    "Every mission has a different ship, with different sets\nof weapons that are available.",
    "The Laser and Rapidfire weapons can sweep across several\nenemies at once if you're in a curve.",
    "You excel at a mission by playing for at least 3 levels\n\tmore than you needed to unlock the next "
    "mission.",
    "Mines are powerful, but they are slower than other weapons,\nso they aren't so effective at keeping "
    "enemies "
    "from closing and firing\nmissiles at you.  Ships that follow you closely can also avoid mines.",
};

namespace {

uint32_t WithWindowAlpha(uint32_t rgb) {
    return static_cast<uint32_t>(WindowAlpha) << 24 | rgb;
}

TextBox* AddTextBox(Window* parent, int32_t id, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    uint32_t flags, int32_t slot, const std::string& text) {
    TextBox* box = new TextBox(id, left, top, right, bottom, "TEXTBOX");
    box->style = 0;
    box->textFlags = flags;
    box->fontSlot = slot;
    box->SetText(text.c_str());
    // Clicks are heard but never leave the screen.
    box->callback = [](Pane*, int32_t, int32_t, int32_t) { return 1; };
    parent->AddChild(box);
    return box;
}

std::string ScoreColumn(const char* heading, int32_t score, int32_t levelIndex) {
    char text[96];
    std::snprintf(text, sizeof text, "%s\n%d00\n%d\n", heading, score, levelIndex + 1);
    return text;
}

} // namespace

std::string DecideUnlock(bool* unlocked) {
    int32_t next = 0;
    const int32_t outcome = CheckUnlock(&next);
    *unlocked = outcome == 1;
    if (outcome == 0)
        return "";
    char text[192];
    if (*unlocked)
        std::snprintf(text, sizeof text, "Mission '%s' is now unlocked!\n", GetMissionName(next));
    else
        std::snprintf(text, sizeof text, "Unlock the '%s' mission by making it to level %d!\n",
                      GetMissionName(next), UnlockLevelIndex(next - 1) + 1);
    return text;
}

ResultsMode::ResultsMode() : GameMode(0, "RESULTS_MODE") {
    TheResultsMode = this;
}

ResultsMode::~ResultsMode() {
    if (TheOptions.musicOn && uiMusic)
        uiMusic->Play("dat\\drum1.ogg");
    if (TheResultsMode == this)
        TheResultsMode = nullptr;
}

int32_t ResultsMode::Enter() {
    Progress& p = TheProgress;
    const int32_t m = std::clamp(p.lastMission, 0, MissionCount - 1);
    MissionProgress& record = p.missions[m];
    record.bestScore = std::max(record.bestScore, p.lastScore);
    record.bestLevelIndex = std::max(record.bestLevelIndex, p.lastLevelIndex);
    p.bestScoreEver = std::max(p.bestScoreEver, p.lastScore);

    DefaultLight = WithWindowAlpha(0xF6F2E6u);
    DefaultDark = WithWindowAlpha(0x9E9C82u);
    DefaultFill = WithWindowAlpha(0x323232u);
    GameApplication* app = TheApplication;
    const int32_t cx = app->GetScreenWidth() / 2;
    window = std::make_unique<Window>(0, 0, 0, app->GetScreenWidth(), app->GetScreenHeight(), "WINDOW");
    window->style = 0;
    const uint32_t centred = FontCentred | FontCentredVertical;
    titleBox = AddTextBox(window.get(), 8, cx - 300, 30, cx + 300, 90, centred, 3, "MISSION RESULTS");
    titleBox->textColour = 0xFF6496FFu;
    nameBox = AddTextBox(window.get(), 9, -cx - 300, 100, 300 - cx, 130, centred, 2, GetMissionName(m));
    nameBox->textColour = 0xFFC8C8FFu;
    AddTextBox(window.get(), 1, cx - 150, 150, cx - 10, 250, 0, 1, " \nSCORE\nLEVEL");
    OffsetLastRect(1, 0);
    AddTextBox(window.get(), 2, -2, -2, -2, -2, 0, 1, ScoreColumn("Last", p.lastScore, p.lastLevelIndex));
    OffsetLastRect(1, 0);
    AddTextBox(window.get(), 3, -2, -2, -2, -2, 0, 1,
               ScoreColumn("Best", record.bestScore, record.bestLevelIndex));
    OffsetLastRect(0, 1);
    bool unlocked = false;
    const std::string unlockLine = DecideUnlock(&unlocked);
    AddTextBox(window.get(), 4, cx - 350, 250, cx + 350, 350, centred, 1, " " + unlockLine);
    OffsetLastRect(0, 1);
    p.tipCounter += 1;
    // A negative counter from a damaged file still picks a tip.
    const int32_t tip = ((p.tipCounter % ResultsTipCount) + ResultsTipCount) % ResultsTipCount;
    TextBox* tipBox = AddTextBox(window.get(), 6, -2, -2, -2, -2, centred, 1, ResultsTips[tip]);
    tipBox->textColour = 0xFF9B9B9Bu;
    WindowAlpha = 100;

    backgroundBitmap = std::make_unique<Bitmap>("dat\\256star.png");
    // A watched replay leaves game.dat as it is. Once game.dat holds a new
    // best score, the replay of the best it replaced is no longer needed.
    if (TheWatchedReplay == nullptr && SaveProgress("game.dat"))
        ForgetPreviousBest();
    fanfare = std::make_unique<Sound>(unlocked ? "dat\\fanfareUnlock.wav" : "dat\\fanfareNormal.wav", 1);
    fanfare->Play(false, 1.0f);
    return 0;
}

int32_t ResultsMode::Exit() {
    fanfare.reset();
    backgroundBitmap.reset();
    titleBox = nullptr;
    nameBox = nullptr;
    window.reset();
    return 0;
}

void ResultsMode::Animate() {
    const int32_t cx = TheApplication->GetScreenWidth() / 2;
    const int32_t b = std::clamp(10 - animTimers[0], 0, 10);
    titleBox->rect = RECT{cx - 300, 30 - b * b, cx + 300, 90 - b * b};
    if (animTimers[0] == 1 && animTimers[1] == -1)
        animTimers[1] = 0;
    if (animTimers[1] >= 0) {
        const int32_t c = std::clamp(30 - animTimers[1], 0, 30);
        const int32_t s = static_cast<int32_t>(0.4f * static_cast<float>(c * c));
        nameBox->rect = RECT{cx - 300 - s, 100, cx + 300 - s, 130};
    }
}

int32_t ResultsMode::Tick() {
    if (gameMusic)
        gameMusic->Tick();
    if (uiMusic)
        uiMusic->Tick();
    for (int32_t& timer : animTimers) {
        // Stops short of overflowing on a screen left open for months.
        if (timer >= 0 && timer < 1000000)
            timer += 1;
    }
    Animate();
    window->Layout();
    GameApplication* app = TheApplication;
    app->PollMouse();
    while (InputEvent* event = app->TakeEvent()) {
        OfferInputEvent(window.get(), event);
        if (event->tag == InputKeyUp && status != 2) {
            PlayButtonSound();
            NextMode = nullptr;
            status = 2;
        }
        delete event;
    }
    window->HandleEvent(PaneHover, app->mouseX, app->mouseY);
    app->StartRenderingFrame(0, 0, 0);
    DrawStarField(backgroundBitmap.get(), scroll);
    scroll += 2;
    window->Draw();
    app->FinishRenderingFrame();
    return 0;
}
