// The one-button menu: centred text rows with a pointer that slides down
// them by itself and wraps around. A key press stops it on a row, the row
// blinks, and the mode then acts on the row's id.
#pragma once

#include "engine/bitmap.h"

#include <cstdint>
#include <memory>

constexpr int32_t MenuListCapacity = 100;
constexpr int32_t MenuLabelLength = 128;

class MenuList {
  public:
    int32_t ids[MenuListCapacity] = {};
    // An empty label is a gap row, which cannot be chosen.
    char labels[MenuListCapacity][MenuLabelLength] = {};
    int32_t count = 0;
    float top = 10.0f;
    float bottom = 10.0f;
    // Widest label plus 5.
    float textWidth = 100.0f;
    float pointerY = 10.0f;
    // Shift of the whole menu from the screen centre.
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float speedFactor = 1.0f;
    float rowHeight = 30.0f;
    // Chosen row, -1 while the pointer runs.
    int32_t selected = -1;
    // Ticks left of the choice's blinking.
    int32_t blinkTimer = -1;
    std::unique_ptr<Bitmap> pointerArt;

    MenuList();

    // Ignored once the list is full; keeps 127 characters of the text (null
    // gives a gap row), re-centres the rows vertically and puts the pointer
    // on the top row.
    void AddItem(int32_t id, const char* text);
    // One mode tick: the pointer moves by (menuSpeed + 1) x speedFactor / 4
    // and wraps past the bottom; once a row is chosen the blink counts down.
    void Tick(int32_t menuSpeed);
    // Chooses the row under the pointer unless a row is chosen already or the
    // pointer is over a gap row or between rows.
    void Select();
    void Draw();
    // True once the chosen row has finished blinking, about 46 ticks after
    // Select; ChosenId is then the row's id.
    bool Finished() const;
    int32_t ChosenId() const;

  private:
    // The row whose span strictly contains the pointer, or -1.
    int32_t RowUnderPointer() const;
};
