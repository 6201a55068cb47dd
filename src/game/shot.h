// A straight beam shot: hits every matching target it overlaps on the tick it
// touches them, then ends.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

class Shot : public OLObject {
  public:
    int32_t targetTag = 0; // 2 hits enemies, 0 the player
    int32_t red = 255;
    int32_t green = 155;
    int32_t blue = 155;
    float damage = 1.0f;
    float lifetime = 280.0f;

    explicit Shot(int32_t tag);
    ~Shot() override;

    void Draw() override;
    void Tick(float dt) override;
};
