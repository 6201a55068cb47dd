// The frame-rate warning: a turtle in the lower right corner while the game
// runs at fewer than about 24 frames per second. The rate is averaged over
// frames, so single slow frames do not make it flicker.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/bitmap.h"

class Turtle {
  public:
    uint32_t lastTime = 0;      // milliseconds of the previous frame
    uint32_t averageRate = 100; // frames per second
    std::unique_ptr<Bitmap> icon;

    // Loads dat\turtleIcon.png.
    Turtle();

    // Once per drawn frame, after the frame's other drawing and before it is
    // presented.
    void Handle();
    // Handle for a frame seen at `now` milliseconds (the multimedia clock).
    void HandleAt(uint32_t now);
    bool IsShowing() const;
};

extern Turtle* turtle;
