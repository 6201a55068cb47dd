// The main menu: the root mode for the whole run. Building it starts the
// shared services and loads the game state; deleting it saves the options and
// stops the services. Its one-button menu starts a game, toggles sound and
// music, opens the option menus or quits; beside it stands the game's status.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/game_mode.h"
#include "engine/bitmap.h"
#include "engine/menu_list.h"
#include "engine/ui_window.h"

// Main menu row ids.
constexpr int32_t MainMenuQuit = 0;
constexpr int32_t MainMenuPlay = 1;
constexpr int32_t MainMenuSound = 2;
constexpr int32_t MainMenuMusic = 3;
constexpr int32_t MainMenuDifficulty = 4;
constexpr int32_t MainMenuGameSpeed = 5;
constexpr int32_t MainMenuMenuSpeed = 6;
constexpr int32_t MainMenuThrustSpeed = 7;
constexpr int32_t MainMenuGap = 8;

// Main-menu ticks of the whole run; the run log closes past 300.
extern int32_t MainMenuTicks;

// One text of the status area beside the main menu, drawn at alpha 244.
struct StatusText {
    int32_t fontSlot;
    int32_t red, green, blue;
    int32_t left, top, right, bottom;
    std::string text;
    uint32_t flags;
};

// The status area for the current game state: only the help text until a
// game has been played, then completion, best score, counts, the last
// mission and the settings.
std::vector<StatusText> MainMenuStatus();

class FirstOptionMode : public GameMode {
  public:
    std::unique_ptr<Window> fullWindow;
    std::unique_ptr<Bitmap> titleBitmap;
    std::unique_ptr<Bitmap> background;
    std::unique_ptr<MenuList> menu;
    int32_t scroll = 0;

    FirstOptionMode(int32_t tag, const char* name);
    ~FirstOptionMode() override;
    int32_t Enter() override;
    int32_t Exit() override;
    int32_t Tick() override;

    // A fresh menu with the current sound and music labels, pointer on top.
    void BuildMenu();
    // Carries out the chosen row; pushes a mode by setting NextMode and status 1.
    void Act(int32_t id);
    void DrawStatus();

  private:
    void HandleInput();
};
