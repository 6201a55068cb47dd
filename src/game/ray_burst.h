// Twenty slowly turning rays fanned out behind a dying enemy, each fading
// from the centre colour to nothing at its tip. The rays turn once per draw.
#pragma once

#include <cstdint>

constexpr int32_t RayCount = 20;

class RayBurst {
  public:
    float rayAngle[RayCount]; // 0..2 pi
    float rayWidth[RayCount]; // 0.1..0.5
    float raySpin[RayCount];  // -0.1..0.1 per draw

    // Draws the three numbers of each ray from the C run-time generator in
    // the order angle, spin, width.
    RayBurst();
    virtual ~RayBurst();

    RayBurst(const RayBurst&) = delete;
    RayBurst& operator=(const RayBurst&) = delete;

    // Screen pixels. Nothing, and no turning, when radius <= 0. The green and
    // blue arguments trade places in the drawn colour, as in the rings. The
    // caller sets the blend state.
    virtual void Draw(float x, float y, float radius, int32_t r, int32_t g, int32_t b, int32_t a);
};
