// A missile: a glow or a sprite that flies straight or, fired at the player,
// may home in; it ends on its first hit or when its fuel runs out, and burns
// out faster off screen.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

class Missile : public OLObject {
  public:
    int32_t targetTag = 0;
    int32_t spriteMode = 0; // 0 = coloured glow, 1 = missile sprite
    int32_t homing = 0;
    float damage = 3.0f;
    int32_t colour = 1; // palette index; a missile that does not home shows entry 4
    float lifetime = 280.0f;

    explicit Missile(int32_t tag);
    ~Missile() override;

    // Also burns 3 units of lifetime for each frame drawn off screen.
    void Draw() override;
    void Tick(float dt) override;
};
