#include <gtest/gtest.h>

#include "combat_field.h"
#include "game/bonus.h"
#include "game/enemy.h"

namespace {

void Kill(CombatField& combat, int type) {
    auto* enemy = new Enemy(EnemyTag, type);
    combat.field.mainList->Add(enemy);
    enemy->TakeDamage(1000.0f);
}

} // namespace

TEST(Bonus, EightKillsOfOneTypeInARowAwardXenocide) {
    CombatField combat;
    for (int i = 0; i < 7; ++i)
        Kill(combat, 5);
    Kill(combat, 6);
    for (int i = 0; i < 7; ++i)
        Kill(combat, 5);
    EXPECT_EQ(TheProgress.BonusFlags[XenocideBonus], 0) << "another type in between restarts the streak";
    Kill(combat, 5);
    EXPECT_EQ(TheProgress.BonusFlags[XenocideBonus], 1);
    BonusIcon* icon = nullptr;
    for (OLObject* o = combat.field.list4->First(); o != nullptr; o = combat.field.list4->Next()) {
        auto* candidate = dynamic_cast<BonusIcon*>(o);
        icon = candidate != nullptr && candidate->kind == XenocideBonus ? candidate : icon;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_FLOAT_EQ(icon->x, 400.0f);
    EXPECT_FLOAT_EQ(icon->y, 150.0f);
    EXPECT_EQ(combat.field.pickupTimer, 30);
}

TEST(Bonus, FlagsDoubleTheKillScoreAndAreAwardedOncePerLevel) {
    CombatField combat;
    Kill(combat, 1);
    EXPECT_EQ(TheProgress.lastScore, 2);
    AwardBonus(SniperBonus);
    AwardBonus(SniperBonus);
    EXPECT_EQ(BonusIcon::LiveCount(), 1);
    Kill(combat, 1);
    EXPECT_EQ(TheProgress.lastScore, 6);
    AwardBonus(-1);
    AwardBonus(BonusFlagCount);
    EXPECT_EQ(BonusIcon::LiveCount(), 1);
}

TEST(Bonus, ElevenQuickKillsAwardManiac) {
    CombatField combat;
    for (int i = 0; i < 10; ++i)
        CountKill(i);
    EXPECT_EQ(TheProgress.BonusFlags[ManiacBonus], 0);
    CountKill(20);
    EXPECT_EQ(TheProgress.BonusFlags[ManiacBonus], 1);
}

TEST(BonusIcon, FliesToItsSlotAndLivesAsLongAsItsFlag) {
    CombatField combat;
    TheProgress.BonusFlags[ManiacBonus] = 1;
    BonusIcon icon(ManiacBonus);
    EXPECT_EQ(icon.slot, 0);
    for (int i = 0; i < 61; ++i)
        icon.Tick(1.0f);
    EXPECT_EQ(icon.phase, 1);
    for (int i = 0; i < 200 && icon.phase == 1; ++i)
        icon.Tick(1.0f);
    EXPECT_EQ(icon.phase, 2);
    icon.Tick(1.0f);
    EXPECT_FLOAT_EQ(icon.x, 50.0f);
    EXPECT_FLOAT_EQ(icon.y, 70.0f);
    EXPECT_FLOAT_EQ(icon.scale, 0.4f);
    EXPECT_EQ(icon.dead, 0);
    TheProgress.BonusFlags[ManiacBonus] = 0;
    icon.Tick(1.0f);
    EXPECT_EQ(icon.dead, 1);
}
