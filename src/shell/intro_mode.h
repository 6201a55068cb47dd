// The first mode on the stack: three logos over a drifting star field for 200
// ticks or until a key is released, then the main menu replaces it.
#pragma once

#include <cstdint>
#include <memory>

#include "core/game_mode.h"
#include "engine/bitmap.h"

class IntroMode : public GameMode {
  public:
    std::unique_ptr<Bitmap> background;
    std::unique_ptr<Bitmap> logos[3];
    // Ticks shown.
    int32_t count = 0;

    IntroMode(int32_t tag, const char* name);
    ~IntroMode() override;
    int32_t Exit() override;
    int32_t Tick() override;

  private:
    // Asks once for the main menu in place of the intro.
    void ReplaceWithMenu();
};
