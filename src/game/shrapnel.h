// A tumbling piece of debris thrown by some dying enemies: it falls, spins,
// may leave a glow trail, and ends in a small flash when its lifetime is up.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

class Shrapnel : public OLObject {
  public:
    float age = 0.0f;
    float lifetime; // -1 means the piece never ends by age
    float trail;    // nonzero: one glow particle per tick
    float spin;     // added to heading every tick

    // Tag 6; vx, vy per unit dt.
    Shrapnel(float x, float y, float vx, float vy, int32_t trail, int32_t lifetime);
    ~Shrapnel() override;

    // Drawn with angle = heading, not negated.
    void Draw() override;
    void Tick(float dt) override;
};
