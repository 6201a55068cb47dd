// The player's ship. It flies itself along a wandering path it lays out ahead;
// the one button (the play field's fireHeld) launches the head of the weapon
// queue when tapped and boosts when held, and boosting into a marked sharp
// turn flies straight on. The queue refills itself from the mission's
// weapons. Every weapon fires backwards, at heading + pi.
#pragma once

#include <cstdint>

#include "core/object_list.h"
#include "game/ol_object.h"

class LaserBeam;

constexpr int32_t PathCapacity = 50;
constexpr int32_t QueueCapacity = 10;

struct PathPoint {
    float x;
    float y;
    float heading;
    uint8_t marker; // 1 = start of a sharp turn that boosting straightens
};

class PlayerShip : public OLObject {
  public:
    int32_t mission;
    float deathTimer = -1.0f; // -1 alive; 0 when destroyed, then + dt; finished above 60
    float hitPoints = 10.0f;
    float maxHitPoints = 10.0f;
    int32_t boosting = 0;
    float boost = 0.5f; // 0..1
    float flareSpin = 0.0f;
    float launchCooldown = 0.0f;
    float prevX = -55555.0f; // the path point last reached; -55555 = none yet
    float prevY = -55555.0f;
    float prevHeading = -55555.0f;
    LaserBeam* laser = nullptr; // held in list3, not owned
    float coneTimer = 0.0f;
    float rapidTimer = 0.0f;
    ObjectList queue; // entries: tag = weapon kind, name = its display name
    float refillTimer = 0.0f;
    int32_t holdTicks = 0;
    int32_t holding = 0;
    PathPoint path[PathCapacity] = {};
    int32_t pathStart = 0;
    int32_t pathEnd = 0;

    // Sets ThePlayer. A mission outside 0..9 is clamped into it.
    PlayerShip(int32_t tag, int32_t mission);
    // Clears ThePlayer and ends an attached laser.
    ~PlayerShip() override;

    void Draw() override;
    void Tick(float dt) override;
    // Inside the box of 0.3 x the ship picture's size around its centre.
    int32_t HitTest(float px, float py) override;
    virtual void TakeDamage(float amount);
    virtual float GetHitPoints();

    int32_t OverlapsRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Launches one weapon of the kind (0..6); other kinds launch nothing.
    void Fire(int32_t kind);
    // The queue in the bottom-left corner, the next launch highlighted.
    void DrawWeaponQueue();

    // Ticks of holding that separate a tap from a boost, by thrust option.
    static int32_t TapThreshold(int32_t thrustSpeed);

  private:
    void ExtendPath();
    void MoveAlongPath(float distance);
    void Straighten();
    void Refill();
    void FireRapidShot();
    void FireCone();
    bool WantsBoost() const;
    void HitBox(int32_t* hx, int32_t* hy);
};
