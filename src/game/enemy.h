// An enemy: chases the player ship at a limited turn rate, fires missiles
// when the ship is in range, rams it on contact, and dies in a 60-tick
// sequence of rings, rays, explosions and shrapnel chosen by its type.
#pragma once

#include <cstdint>
#include <memory>

#include "game/ol_object.h"
#include "game/ray_burst.h"

class Enemy : public OLObject {
  public:
    int32_t type;            // 0..95
    int32_t deathTimer = -1; // -1 alive; 0 at death, +1 per tick; finished above 60
    float hitPoints;         // type / 3 + 1 + clamp(type - 81, 0, 16)
    float fireCooldown = 0.0f;
    std::unique_ptr<RayBurst> rays; // made at the first death frame
    float ringRadius[3] = {};
    float ringGrowth[3] = {};

    // Speed 3.5. A type outside 0..95 is clamped into it.
    Enemy(int32_t tag, int32_t type);
    ~Enemy() override;

    void Draw() override;
    void Tick(float dt) override;
    // 0 while dying.
    int32_t HitTest(float px, float py) override;
    // On Easy every hit kills. A kill scores 2 and starts the death once;
    // later hits only lower hitPoints.
    virtual void TakeDamage(float amount);
    virtual float GetHitPoints();

    // 0 while dying; else 1 when the hit box overlaps the rectangle.
    int32_t OverlapsRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Die();

    // Units within which an enemy fires at the player: 190, 220, 250 by difficulty.
    static float FireRange();

  private:
    void DeathTick();
    void HitBox(int32_t* hx, int32_t* hy);
};
