#include "shell/play_mode.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"
#include "engine/font.h"
#include "engine/run_log.h"
#include "engine/video_list.h"
#include "game/play_field.h"
#include "shell/game_state.h"
#include "shell/music_stream.h"
#include "shell/replay_mode.h"
#include "shell/replay_store.h"
#include "shell/results_mode.h"
#include "shell/services.h"
#include "shell/turtle.h"

#include <algorithm>

int32_t PlayTicks = 0;
PlayMode* ThePlayMode = nullptr;

namespace {

constexpr int32_t EscapeKey = 27;
constexpr int32_t ContinueButton = 0;
constexpr int32_t QuitButton = 1;

// A verified replay that has not ended this many ticks after its recorded
// end has gone its own way; the check stops there.
constexpr uint32_t VerifySlackTicks = 10000;

bool IsMusicPlaying(const MusicStream* stream) {
    return stream && stream->file != nullptr;
}

ReplayOutcome CurrentOutcome(uint32_t ticks) {
    return ReplayOutcome{TheProgress.lastScore, TheProgress.lastLevelIndex, ticks};
}

} // namespace

PlayMode::PlayMode(int32_t mission, float gameSpeed) : GameMode(0, "PLAY_MODE") {
    ThePlayMode = this;
    watching = TheWatchedReplay != nullptr;
    if (!watching) {
        recording.gameVersion = BACKFIRE_VERSION;
        recording.mission = mission;
        recording.options = TheOptions;
        recording.options.gameSpeedFactor = gameSpeed;
        recording.firstGame = TheProgress.gamesPlayed < 1 ? 1 : 0;
    }
    field = std::make_unique<PlayField>(mission, gameSpeed);
    ThePlayField = field.get();
}

PlayMode::~PlayMode() {
    field.reset();
    ThePlayField = nullptr;
    if (ThePlayMode == this)
        ThePlayMode = nullptr;
}

int32_t PlayMode::Enter() {
    mousePointer = new VideoDataObject("dat\\mouseart.png", 0xFFFF00FFu);
    if (TheVideoList)
        TheVideoList->Add(mousePointer);
    GameApplication* app = TheApplication;
    const int32_t cx = app->GetScreenWidth() / 2;
    const int32_t cy = app->GetScreenHeight() / 2;
    pauseWindow = std::make_unique<Window>(0, 0, 0, app->GetScreenWidth(), app->GetScreenHeight(), "WINDOW");
    pauseWindow->style = 0;
    const char* const labels[2] = {"Continue Mission", "Quit Mission"};
    for (int32_t i = 0; i < 2; ++i) {
        ArtTextButton* button =
            new ArtTextButton(i, cx - 180, cy - 40 + 50 * i, cx + 180, cy + 50 * i, "ARTTEXTBUTTON");
        button->style = 0;
        button->textFlags = FontCentred | FontCentredVertical;
        button->fontSlot = 2;
        button->SetText(labels[i]);
        button->callback = [this](Pane* pane, int32_t event, int32_t, int32_t) {
            return PauseButton(pane, event);
        };
        pauseWindow->AddChild(button);
    }
    return 0;
}

int32_t PlayMode::Exit() {
    pauseWindow.reset();
    // Without a video list the pointer art went with it (a closed window
    // releases the device objects before the modes exit).
    if (mousePointer && TheVideoList)
        TheVideoList->Destroy(mousePointer);
    mousePointer = nullptr;
    return 0;
}

void PlayMode::QuitMission() {
    if (gameMusic)
        gameMusic->volume = 0.999f;
    if (TheOptions.musicOn && uiMusic)
        uiMusic->Play("dat\\drum1.ogg");
    NextMode = nullptr;
    status = 2;
}

int32_t PlayMode::PauseButton(Pane* button, int32_t event) {
    if (event != PaneLeftUp)
        return 0;
    if (button->tag == ContinueButton)
        pauseOpen = 0;
    else if (button->tag == QuitButton && status != 2)
        QuitMission();
    return 1;
}

int32_t PlayMode::Tick() {
    // Saturates past the threshold, so a long run cannot overflow it.
    if (PlayTicks <= 300)
        PlayTicks += 1;
    if (PlayTicks > 300)
        TheRunLog.Finish();
    if (gameMusic)
        gameMusic->Tick();
    if (uiMusic)
        uiMusic->Tick();
    if (field && tipShown == 0 && TheProgress.gamesPlayed < 1) {
        field->tipTimer = 500;
        tipShown = 1;
    }
    if (field && field->gameOverTimer <= 0 && gameMusic && !IsMusicPlaying(gameMusic)) {
        if (uiMusic)
            uiMusic->volume = 0.999f;
        if (TheOptions.musicOn)
            gameMusic->Play("dat\\drum2.ogg");
    }
    if (field && pauseOpen == 0) {
        field->Tick();
        if (field->finished) {
            FinishMission();
            field.reset();
            ThePlayField = nullptr;
            NextMode = new ResultsMode();
            status = 2;
        }
    }
    HandleInput();
    ticks += 1;
    if (watching && TheWatchedReplay->verify && !TheWatchedReplay->reached &&
        ticks > TheWatchedReplay->replay.outcome.ticks + VerifySlackTicks) {
        TheWatchedReplay->reached = CurrentOutcome(ticks);
        PostQuitMessage(0);
    }
    // Pointer art that failed to load only leaves the pointer out: the
    // mission is still drawn.
    if (!mousePointer)
        return 0;
    Draw();
    return 0;
}

void PlayMode::FinishMission() {
    const ReplayOutcome outcome = CurrentOutcome(ticks + 1);
    if (watching) {
        TheWatchedReplay->reached = outcome;
        if (TheWatchedReplay->verify)
            PostQuitMessage(0);
        return;
    }
    recording.outcome = outcome;
    const int32_t m = std::clamp(recording.mission, 0, MissionCount - 1);
    KeepFinishedRun(recording, outcome.score > TheProgress.missions[m].bestScore);
}

void PlayMode::HandleInput() {
    GameApplication* app = TheApplication;
    app->PollMouse();
    while (InputEvent* event = app->TakeEvent()) {
        if (!watching) {
            Record(*event);
            Route(*event);
        } else if (event->tag == InputKeyDown && event->keyCode == EscapeKey && status != 2) {
            QuitMission(); // the watcher leaves
        }
        delete event;
    }
    if (watching) {
        PlayRecordedEvents();
        return;
    }
    if (app->mouseX != recordedPointerX || app->mouseY != recordedPointerY) {
        recordedPointerX = app->mouseX;
        recordedPointerY = app->mouseY;
        recording.events.push_back(ReplayEvent{ticks, ReplayEventKind::Pointer, 0, 0, app->mouseX, app->mouseY});
    }
    FollowPointer(app->mouseX, app->mouseY);
}

void PlayMode::Record(const InputEvent& event) {
    if (event.tag < InputKeyDown || event.tag > InputMouseDelta)
        return;
    // The mouse is read every tick; a reading without motion says nothing.
    if (event.tag == InputMouseDelta && event.x == 0 && event.y == 0)
        return;
    recording.events.push_back(ReplayEvent{ticks, static_cast<ReplayEventKind>(event.tag),
                                           static_cast<uint8_t>(event.character), event.keyCode, event.x, event.y});
}

void PlayMode::PlayRecordedEvents() {
    const std::vector<ReplayEvent>& events = TheWatchedReplay->replay.events;
    for (; nextRecorded < events.size() && events[nextRecorded].tick <= ticks; ++nextRecorded) {
        const ReplayEvent& recorded = events[nextRecorded];
        if (recorded.kind == ReplayEventKind::Pointer) {
            recordedPointerX = recorded.x;
            recordedPointerY = recorded.y;
            continue;
        }
        const auto kind = static_cast<int32_t>(recorded.kind);
        InputEvent event(kind, InputEventName(kind));
        event.x = recorded.x;
        event.y = recorded.y;
        event.character = static_cast<char>(recorded.character);
        event.keyCode = recorded.keyCode;
        Route(event);
    }
    FollowPointer(recordedPointerX, recordedPointerY);
}

void PlayMode::Route(const InputEvent& event) {
    const bool toField = field && pauseOpen == 0;
    switch (event.tag) {
    case InputKeyDown:
        if (event.keyCode == EscapeKey) {
            // A second Escape in the same tick must not fade or restart twice.
            if (status != 2)
                QuitMission();
        } else if (toField) {
            field->KeyDown(event.keyCode);
        } else {
            OfferInputEvent(pauseWindow.get(), &event);
        }
        break;
    case InputKeyUp:
        if (event.keyCode == EscapeKey && toField && field->gameOverTimer <= 0 && status != 2)
            pauseOpen = 1;
        else if (toField)
            field->KeyUp(event.keyCode, static_cast<unsigned char>(event.character));
        else
            OfferInputEvent(pauseWindow.get(), &event);
        break;
    case InputLeftDown:
    case InputLeftUp:
    case InputRightDown:
    case InputRightUp: {
        const int32_t button = event.tag == InputLeftDown || event.tag == InputLeftUp ? 0 : 1;
        const bool down = event.tag == InputLeftDown || event.tag == InputRightDown;
        if (!toField)
            OfferInputEvent(pauseWindow.get(), &event);
        else if (down)
            field->MouseDown(button);
        else
            field->MouseUp(button);
        break;
    }
    default:
        break;
    }
}

void PlayMode::FollowPointer(int32_t x, int32_t y) {
    if (field && pauseOpen == 0) {
        field->mouseX = x;
        field->mouseY = y;
    } else if (pauseWindow) {
        pauseWindow->HandleEvent(PaneHover, x, y);
    }
}

void PlayMode::Draw() {
    GameApplication* app = TheApplication;
    app->StartRenderingFrame(0, 0, 40);
    if (field)
        field->Draw();
    if (pauseOpen && pauseWindow)
        pauseWindow->Draw();
    if (mousePointer->created && !(field && pauseOpen == 0 && field->showPointer == 0))
        app->DrawPointer(mousePointer->texture, 0, 0);
    if (turtle)
        turtle->Handle();
    app->FinishRenderingFrame();
}
