// A beam from its owner's position to the screen edge; after charging for 30
// units of time it hurts only the nearest matching target along it. The owner
// moves it and ends it.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

class LaserBeam : public OLObject {
  public:
    int32_t targetTag = 0;
    float width;  // half-width in pixels
    float damage; // per unit dt
    float age = -30.0f;
    float lifetime;
    float endX = 0.0f; // screen point where the beam ends
    float endY = 0.0f;

    LaserBeam(int32_t tag, int32_t lifetime, float width, float damage);
    ~LaserBeam() override;

    void Draw() override;
    void Tick(float dt) override;
};
