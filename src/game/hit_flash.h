// The short explosion left where something was hit: the play field's
// explosion frames played at `frameSpeed` frames per unit of time.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

class HitFlash : public OLObject {
  public:
    float age;
    float scale;
    float angle;
    float frameSpeed;

    // Tag 6, at the world point (x, y).
    HitFlash(float x, float y, float scale, float angle, float frameSpeed, int32_t age);

    void Draw() override;
    // Ends once age x frameSpeed passes the last frame (15).
    void Tick(float dt) override;
};

// Adds a flash to the play field's effect list (list4); nothing without a field.
void AddHitFlash(float x, float y, float scale, float angle, float frameSpeed);
