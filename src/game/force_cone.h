// A widening cone of force that passes through its targets and hurts each one
// it overlaps on every tick, in proportion to dt.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

class ForceCone : public OLObject {
  public:
    int32_t targetTag = 0;
    float lifetime = 60.0f;
    int32_t red;
    int32_t green;
    int32_t blue;
    int32_t alpha;
    float scale;
    float growth;     // factor per tick, applied together with dt
    float damageRate; // damage per unit dt while touching

    ForceCone(int32_t tag, float scale, float growth, float damageRate, int32_t red, int32_t green,
              int32_t blue, int32_t alpha);
    ~ForceCone() override;

    void Draw() override;
    void Tick(float dt) override;
};
