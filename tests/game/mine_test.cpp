#include <gtest/gtest.h>

#include "combat_field.h"
#include "game/enemy.h"
#include "game/mine.h"
#include "game/player_ship.h"

namespace {

Enemy* AddEnemy(CombatField& combat, float x) {
    auto* enemy = new Enemy(EnemyTag, 95);
    enemy->x = x;
    combat.field.mainList->Add(enemy);
    return enemy;
}

Mine PlayerMine() {
    Mine mine(WeaponTag);
    mine.targetTag = EnemyTag;
    return mine;
}

} // namespace

TEST(Mine, FuseBurnsOnlyWhileATargetStaysNearAndResetsWhenItLeaves) {
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 149.0f);
    Mine mine = PlayerMine();
    for (int i = 0; i < 20; ++i)
        mine.Tick(1.0f);
    EXPECT_FLOAT_EQ(mine.blastRadius, -20.0f);
    EXPECT_EQ(mine.blink, 60);
    enemy->x = 150.0f;
    mine.Tick(1.0f);
    EXPECT_FLOAT_EQ(mine.blastRadius, 0.0f) << "150 is not near";
    enemy->x = 100.0f;
    for (int i = 0; i < 30; ++i)
        mine.Tick(1.0f);
    EXPECT_FLOAT_EQ(mine.blastRadius, -30.0f);
    mine.Tick(1.0f);
    EXPECT_FLOAT_EQ(mine.blastRadius, 1.0f) << "the blast starts below -30";
}

TEST(Mine, BlastDamagesEachEnemyOnceAndNeverThePlayer) {
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 40.0f);
    auto* ship = new PlayerShip(ShipTag, 0);
    combat.field.mainList->Add(ship);
    const float full = enemy->hitPoints;
    Mine mine = PlayerMine();
    mine.targetTag = ShipTag;
    mine.blastRadius = 1.0f;
    for (int i = 0; i < 70; ++i)
        mine.Tick(1.0f);
    EXPECT_FLOAT_EQ(ship->hitPoints, 10.0f);

    Mine blast = PlayerMine();
    blast.blastRadius = 1.0f;
    int ticks = 0;
    for (; ticks < 20 && enemy->hitPoints == full; ++ticks)
        blast.Tick(1.0f);
    EXPECT_EQ(ticks, 14) << "reached only at 3 x radius";
    for (int i = 0; i < 5; ++i, ++ticks)
        blast.Tick(1.0f);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full - 10.0f);
    // An enemy that comes after a hit one was deleted, most likely into its
    // memory, is a new target.
    combat.field.mainList->Remove(enemy);
    delete enemy;
    Enemy* next = AddEnemy(combat, 40.0f);
    for (; blast.dead == 0; ++ticks)
        blast.Tick(1.0f);
    EXPECT_FLOAT_EQ(next->hitPoints, full - 10.0f);
    EXPECT_EQ(blast.hitCount, 2);
    EXPECT_EQ(ticks, 60);
}

TEST(Mine, UnexplodedMineEndsAfterItsLifetime) {
    CombatField combat;
    Mine mine = PlayerMine();
    for (int i = 0; i < 179; ++i)
        mine.Tick(1.0f);
    EXPECT_EQ(mine.dead, 0);
    mine.Tick(1.0f);
    EXPECT_EQ(mine.dead, 1);
}
