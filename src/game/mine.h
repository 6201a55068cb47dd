// A proximity mine: the fuse burns while a target stays within 150 units and
// resets when none is near; the blast grows to radius 60 and damages each
// enemy inside three times its radius once. Mines never hurt the player.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

constexpr int32_t MineHitListSize = 100;

class Mine : public OLObject {
  public:
    int32_t targetTag = 0;
    int32_t blink = 0;
    float blastRadius = 0.0f; // <= 0 armed (the fuse counts down to -30), > 0 exploding
    // The identities of the targets hit: an object made later at a freed
    // one's address is never taken for it.
    uint32_t hitList[MineHitListSize] = {};
    int32_t hitCount = 0;
    float damage = 10.0f;
    float lifetime = 180.0f;

    explicit Mine(int32_t tag);
    ~Mine() override;

    void Draw() override;
    void Tick(float dt) override;
};
