// Mission selection: the unlocked missions with their ships on the one-button
// menu list. A mission is replaced by its play mode; "Cancel" or Escape goes
// back to the main menu.
#pragma once

#include <cstdint>
#include <memory>

#include "core/game_mode.h"
#include "engine/bitmap.h"
#include "engine/menu_list.h"
#include "game/mission_table.h"

constexpr int32_t MissionSelectCancel = 100;

class MissionSelectMode : public GameMode {
  public:
    std::unique_ptr<Bitmap> background;
    std::unique_ptr<Bitmap> shipBitmaps[MissionCount];
    std::unique_ptr<MenuList> menu;
    int32_t scroll = 0;

    MissionSelectMode(int32_t tag, const char* name);
    int32_t Enter() override;
    int32_t Exit() override;
    int32_t Tick() override;

  private:
    void Leave(GameMode* next);
};
