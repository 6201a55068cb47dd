// The application on a recording device, 800 x 600, with a fresh scratch
// working directory, so modes can tick, draw and write their files; the
// game state is back at its defaults afterwards.
#pragma once

#include "core/input_event.h"
#include "engine/sprite_test_app.h"
#include "shell/game_state.h"

#include <filesystem>
#include <string>

class ModeTestApp : public SpriteTestApp {
  protected:
    void SetUp() override {
        SpriteTestApp::SetUp();
        app.presentParams.BackBufferWidth = 800;
        app.presentParams.BackBufferHeight = 600;
        previous = std::filesystem::current_path();
        scratch = std::filesystem::temp_directory_path() /
                  ("backfire_modes_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(scratch);
        std::filesystem::create_directories(scratch);
        std::filesystem::current_path(scratch);
    }
    void TearDown() override {
        while (InputEvent* event = app.TakeEvent())
            delete event;
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(scratch);
        // The game state is global: later tests start from the defaults.
        ClearProgress();
        SetDefaultOptions();
        SpriteTestApp::TearDown();
    }
    void Queue(int32_t kind, int32_t keyCode) {
        InputEvent* event = new InputEvent(kind, InputEventName(kind));
        event->keyCode = keyCode;
        app.events.Add(event);
    }

    std::filesystem::path previous;
    std::filesystem::path scratch;
};
