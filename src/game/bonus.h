// The kill bonuses: the award rules over the bonus flags and counters of the
// progress block, and the icon that shows an active bonus on the screen.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

enum BonusKind : int32_t {
    SniperBonus = 0,
    XenocideBonus = 1,
    KillerBonus = 2,
    HunterBonus = 3,
    ManiacBonus = 4,
};

// Shown big at (400, 150) for 60 units of time, then flies to its slot at
// (50, 70 + 30 x slot) and stays there, upright, as long as its flag is set.
// Drawn in screen pixels, without camera or shake.
class BonusIcon : public OLObject {
  public:
    int32_t slot; // bonus icons alive when this one was made
    int32_t kind; // 0..4
    int32_t phase = 0;
    float phaseTime = 0.0f;
    float scale = 1.0f;

    // Tag 6. Sets the play field's bonus banner timer to 30.
    explicit BonusIcon(int32_t kind);
    ~BonusIcon() override;

    void Draw() override;
    void Tick(float dt) override;

    // Icons alive now.
    static int32_t LiveCount();
};

// Sets the flag and adds its icon to the play field's list4, unless the flag
// is already set this level (a bonus is awarded at most once per level).
void AwardBonus(int32_t kind);
// One enemy hit by a shot: the tenth hit of the level awards "Sniper".
void CountShotHit();
// One enemy killed: eight kills of one type in a row award "Xenocide", more
// than ten kills in quick succession (the heat cools by 0.04 a tick) "Maniac".
void CountKill(int32_t type);
