#include "core/main_loop.h"

#include <cctype>
#include <cstring>

#include "core/game_application.h"
#include "core/game_mode.h"
#include "core/object_list.h"
#include "engine/camera.h"
#include "engine/font.h"
#include "engine/run_log.h"
#include "platform/harness/harness.h"
#include "platform/win32/clock.h"
#include "shell/intro_mode.h"

ObjectStack ModeStack;
GameMode* CurrentMode = nullptr;
GameMode* NextMode = nullptr;
uint32_t LastTickTime = 0;
int32_t WindowedOption = 0;
int32_t ScreenWidthOption = 800;
int32_t ScreenHeightOption = 600;
GameApplication* TheApplication = nullptr;

namespace {

GameMode* CreateIntroMode() {
    return new IntroMode(0, "INTRO_MODE");
}

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Shows one of the mode stack's impossible states, then ends the game the way
// a closed window does.
void GameFailure(const char* text) {
    HWND window = TheApplication != nullptr ? TheApplication->window : nullptr;
    MessageBoxA(window, text, "Game Failure", MB_OK);
    if (window != nullptr) {
        DestroyWindow(window);
        TheApplication->window = nullptr;
    }
    PostQuitMessage(0);
}

} // namespace

GameMode* (*FirstModeFactory)() = CreateIntroMode;

void ParseCommandLine(const char* commandLine) {
    if (commandLine == nullptr) {
        return;
    }
    const size_t length = std::strlen(commandLine);
    size_t i = 0;
    while (i < length) {
        if (commandLine[i] != '-' && commandLine[i] != '/') {
            ++i;
            continue;
        }
        ++i;
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(commandLine[i])));
        if (letter == 'W') {
            WindowedOption = 1;
        } else if (letter == 'X') {
            ScreenWidthOption = 800;
            ScreenHeightOption = 600;
        } else if (letter == 'Z') {
            ScreenWidthOption = 1024;
            ScreenHeightOption = 768;
        } else {
            if (i < length) {
                ++i;
            }
            continue;
        }
        while (i < length && !IsSpace(commandLine[i])) {
            ++i;
        }
        while (i < length && IsSpace(commandLine[i])) {
            ++i;
        }
    }
}

void CreateStartupFonts(GameApplication* app) {
    struct FontSize {
        int32_t slot;
        int32_t size;
    };
    constexpr FontSize sizes[] = {{0, 7}, {1, 12}, {2, 16}, {3, 20}, {4, 30}, {5, 50}, {6, 18}, {7, 11}};
    for (const FontSize& font : sizes) {
        app->CreateFontSlot(font.slot, "Verdana", font.size);
    }
}

bool TickIsDue(uint32_t now, uint32_t lastTick) {
    if (now - lastTick > 25u) {
        return true;
    }
    return now < 25u && lastTick == 0;
}

bool DeviceIsUsable() {
    IDirect3DDevice8* device = TheApplication != nullptr ? TheApplication->device : nullptr;
    if (device == nullptr) {
        return false;
    }
    const HRESULT state = device->TestCooperativeLevel();
    if (SUCCEEDED(state)) {
        return true;
    }
    if (state != D3DERR_DEVICENOTRESET) {
        return false;
    }
    for (Font* font : TheApplication->fonts) {
        if (font != nullptr) {
            font->InvalidateDeviceObjects();
        }
    }
    if (FAILED(device->Reset(&TheApplication->presentParams))) {
        PostMessageA(TheApplication->window, WM_CLOSE, 0, 0);
        return false;
    }
    for (Font* font : TheApplication->fonts) {
        if (font != nullptr) {
            font->RestoreDeviceObjects();
        }
    }
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    return true;
}

void TickCurrentMode() {
    CurrentMode->Tick();
    platform::HarnessTickDone();

    if (CurrentMode->status == 1) {
        CurrentMode->Exit();
        if (NextMode != nullptr) {
            ModeStack.Push(NextMode);
            NextMode = nullptr;
        } else {
            GameFailure("No new game mode; expected one!");
        }
    } else if (CurrentMode->status == 2) {
        ModeStack.Pop();
        CurrentMode->Exit();
        delete CurrentMode;
        CurrentMode = nullptr;
        if (NextMode != nullptr) {
            ModeStack.Push(NextMode);
            NextMode = nullptr;
        }
        if (ModeStack.IsEmpty()) {
            GameFailure("No game mode on stack; expected one!");
        }
    } else {
        return;
    }

    CurrentMode = static_cast<GameMode*>(ModeStack.Last());
    if (CurrentMode != nullptr) {
        CurrentMode->Enter();
        CurrentMode->status = 0;
    }
}

bool MainLoopPass() {
    MSG msg{};
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return true;
    }
    if (CurrentMode == nullptr) {
        return true;
    }
    if (!TickIsDue(timeGetTime(), LastTickTime)) {
        return true;
    }
    LastTickTime = timeGetTime();
    platform::NoteTickStarted(LastTickTime);
    if (!DeviceIsUsable()) {
        return true;
    }
    TickCurrentMode();
    return true;
}

void ShutdownModes() {
    CurrentMode = static_cast<GameMode*>(ModeStack.Last());
    if (CurrentMode != nullptr) {
        CurrentMode->Exit();
    }
    while (DataObject* mode = ModeStack.Pop()) {
        delete mode;
    }
    CurrentMode = nullptr;
}

namespace {

// Start-up after the application object exists; false sends the game
// straight to shutdown.
bool StartGame(HINSTANCE instance, int showCommand) {
    GameApplication* app = TheApplication;
    if (FAILED(app->Create(instance, WindowedOption))) {
        return false;
    }
    if (!app->InitInput(instance, app->window, WindowedOption)) {
        return false;
    }
    app->camera->farPlane = 300.0f;
    app->camera->UpdateProjection();
    app->camera->Apply(app->device);

    SetWindowTextA(app->window, "Game");
    ShowWindow(app->window, showCommand);
    UpdateWindow(app->window);
    SetFocus(app->window);

    CreateStartupFonts(app);
    app->modesRunning = 1;

    CurrentMode = FirstModeFactory();
    ModeStack.Push(CurrentMode);
    CurrentMode->Enter();
    return true;
}

} // namespace

int GameMain(HINSTANCE instance, HINSTANCE, char* commandLine, int showCommand) {
    TheRunLog.Start("App Start");
    if (FindWindowA("D3D Window", "Game") != nullptr) {
        return 1;
    }
    ParseCommandLine(commandLine);

    TheApplication = new GameApplication();
    TheApplication->creationWidth = ScreenWidthOption;
    TheApplication->creationHeight = ScreenHeightOption;

    const bool started = StartGame(instance, showCommand);
    if (started) {
        timeBeginPeriod(1);
        while (MainLoopPass()) {
        }
        timeEndPeriod(1);
    }

    ShutdownModes();
    TheApplication->Cleanup();
    delete TheApplication;
    TheApplication = nullptr;
    ShowCursor(TRUE);
    return started ? 0 : 2;
}
