#include "core/game_mode.h"

GameMode::GameMode(int32_t tag, const char* name) : DataObject(tag, name), status(0) {}

GameMode::~GameMode() = default;

int32_t GameMode::ReservedModeHook1() {
    return 0;
}

int32_t GameMode::Enter() {
    return 0;
}

int32_t GameMode::Exit() {
    return 0;
}

void GameMode::ReservedModeHook2() {}

int32_t GameMode::Tick() {
    return 0;
}
