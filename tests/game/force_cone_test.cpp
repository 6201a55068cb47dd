#include <gtest/gtest.h>

#include "combat_field.h"
#include "game/enemy.h"
#include "game/force_cone.h"
#include "game/hit_flash.h"

namespace {

// The weapon kind of the same name hides the class name.
using Cone = class ForceCone;

Cone MakeCone() {
    return Cone(WeaponTag, 0.05f, 1.07f, 0.1f, 180, 255, 180, 128);
}

} // namespace

TEST(ForceCone, GrowthIsTakenWithDtSoSlowSpeedsShrinkTheCone) {
    CombatField combat;
    Cone normal = MakeCone();
    normal.Tick(1.0f);
    EXPECT_FLOAT_EQ(normal.scale, 0.05f * 1.07f);
    Cone slow = MakeCone();
    slow.Tick(0.9f);
    EXPECT_LT(slow.scale, 0.05f);
    Cone threshold = MakeCone();
    threshold.Tick(1.0f / 1.07f);
    EXPECT_NEAR(threshold.scale, 0.05f, 1e-6f);
}

TEST(ForceCone, PassesThroughAndHurtsEveryTickInProportionToDt) {
    CombatField combat;
    auto* enemy = new Enemy(EnemyTag, 60);
    combat.field.mainList->Add(enemy);
    const float full = enemy->hitPoints;
    Cone cone = MakeCone();
    cone.targetTag = EnemyTag;
    cone.scale = 1.0f;
    cone.growth = 1.0f;
    cone.x = 91.0f;
    cone.Tick(1.0f);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full) << "the box reaches 89.6 x scale sideways";
    cone.x = 0.0f;
    cone.Tick(0.5f);
    cone.Tick(0.5f);
    EXPECT_NEAR(enemy->hitPoints, full - 0.1f, 1e-5f);
    EXPECT_EQ(cone.dead, 0);
    EXPECT_EQ(CombatField::Count<HitFlash>(combat.field.list4), 2);
}
