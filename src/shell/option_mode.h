// The four one-option menus pushed by the main menu: difficulty
// ("GAMEDIFFMODE"), game speed ("GAMESPEEDMODE"), menu speed ("GAMEMENUMODE")
// and thrust speed ("GAMETHRUSTMODE"). Each shows its help text and a
// one-button list of the choices plus "Cancel"; a choice is stored in the
// options, and closing the menu always saves options.dat.
#pragma once

#include <cstdint>
#include <memory>

#include "core/game_mode.h"
#include "engine/bitmap.h"
#include "engine/menu_list.h"

enum class OptionKind { Difficulty, GameSpeed, MenuSpeed, ThrustSpeed };

class OptionMode : public GameMode {
  public:
    // Told by the object name; an unknown name gives the difficulty menu.
    OptionKind kind;
    std::unique_ptr<Bitmap> background;
    std::unique_ptr<MenuList> menu;
    int32_t scroll = 0;

    OptionMode(int32_t tag, const char* name);
    int32_t Enter() override;
    // Frees the menu and the backdrop, then saves options.dat.
    int32_t Exit() override;
    int32_t Tick() override;

    // Stores the choice of the row with `id`; ids outside the kind's choices
    // (the gap row, "Cancel") change nothing.
    void Apply(int32_t id);
    const char* HelpText() const;
};
