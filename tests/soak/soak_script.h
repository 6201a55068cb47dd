// A seeded random input script that keeps the game cycling for a given
// number of ticks: main-menu toggles, option menus (chosen or left with
// Escape), the mission select (a mission, "Cancel" or Escape) and missions
// played with random taps and holds of the fire button, each left with
// Escape. Menu rows are chosen by the time the highlight reaches them, so the
// script relies on the menu speed staying "Normal" and never opens that menu.
// A mission always ends by the script's Escape, whether the ship is still
// flying (the mission is left at once) or the results screen is already up
// (its release leaves it a tick later), so every cycle starts in step.
#pragma once

#include <cstdint>
#include <string>

namespace soak {

struct Script {
    std::string text;
    int ticks = 0;    // the run's tick limit
    int missions = 0; // missions the script starts (left by Escape, so not counted in game.dat)
};

// The script's last event saves the last tick's frame under this name.
extern const char* const kLastFrame;

Script MakeScript(uint32_t seed, int ticks);

} // namespace soak
