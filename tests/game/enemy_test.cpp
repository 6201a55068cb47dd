#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "combat_field.h"
#include "game/enemy.h"
#include "game/missile.h"
#include "game/player_ship.h"
#include "game/shrapnel.h"

namespace {

Enemy* AddEnemy(CombatField& combat, int type, float x = 0.0f, float y = 0.0f) {
    auto* enemy = new Enemy(EnemyTag, type);
    enemy->x = x;
    enemy->y = y;
    combat.field.mainList->Add(enemy);
    return enemy;
}

PlayerShip* AddShip(CombatField& combat, float x, float y) {
    auto* ship = new PlayerShip(ShipTag, 0);
    ship->x = x;
    ship->y = y;
    combat.field.mainList->Add(ship);
    return ship;
}

} // namespace

TEST(Enemy, HitPointsGrowWithTheType) {
    CombatField combat;
    EXPECT_FLOAT_EQ(Enemy(EnemyTag, 0).hitPoints, 1.0f);
    EXPECT_FLOAT_EQ(Enemy(EnemyTag, 2).hitPoints, 1.0f);
    EXPECT_FLOAT_EQ(Enemy(EnemyTag, 30).hitPoints, 11.0f);
    EXPECT_FLOAT_EQ(Enemy(EnemyTag, 90).hitPoints, 40.0f);
    EXPECT_FLOAT_EQ(Enemy(EnemyTag, 95).hitPoints, 46.0f);
    EXPECT_EQ(Enemy(EnemyTag, 400).type, 95);
    EXPECT_EQ(Enemy(EnemyTag, -3).type, 0);
}

TEST(Enemy, EasyKillsWithOneHitAndADoubleKillScoresOnce) {
    {
        CombatField combat;
        TheOptions.difficulty = 0;
        Enemy* enemy = AddEnemy(combat, 95);
        enemy->TakeDamage(1.0f);
        EXPECT_EQ(enemy->deathTimer, 0);
        EXPECT_EQ(TheProgress.lastScore, 2);
    }
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 30);
    enemy->TakeDamage(20.0f);
    enemy->TakeDamage(20.0f);
    EXPECT_EQ(TheProgress.lastScore, 2);
    EXPECT_FLOAT_EQ(TheProgress.killHeat, 1.0f);
    EXPECT_EQ(TheProgress.sameKillStreak, 1);
    EXPECT_FLOAT_EQ(enemy->hitPoints, -29.0f) << "the second hit only lowers the hull";
    EXPECT_EQ(enemy->HitTest(0.0f, 0.0f), 0);
}

TEST(Enemy, RammingTradesHitPoints) {
    {
        CombatField combat;
        PlayerShip* ship = AddShip(combat, 0.0f, 0.0f);
        Enemy* enemy = AddEnemy(combat, 12);
        ASSERT_FLOAT_EQ(enemy->hitPoints, 5.0f);
        enemy->speed = 0.0f;
        enemy->fireCooldown = 500.0f;
        enemy->Tick(1.0f);
        EXPECT_FLOAT_EQ(ship->hitPoints, 5.0f);
        EXPECT_EQ(enemy->deathTimer, 0);
        EXPECT_FLOAT_EQ(ship->deathTimer, -1.0f);
    }
    CombatField hard;
    TheOptions.difficulty = 2;
    PlayerShip* ship = AddShip(hard, 0.0f, 0.0f);
    Enemy* enemy = AddEnemy(hard, 12);
    enemy->speed = 0.0f;
    enemy->fireCooldown = 500.0f;
    enemy->Tick(1.0f);
    EXPECT_FLOAT_EQ(ship->deathTimer, 0.0f);
}

TEST(Enemy, WithoutAPlayerFliesStraightAndNeverFires) {
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 10);
    enemy->heading = 1.0f;
    for (int i = 0; i < 300; ++i)
        enemy->Tick(1.0f);
    EXPECT_FLOAT_EQ(enemy->heading, 1.0f);
    EXPECT_NEAR(enemy->x, 300.0f * 3.5f * std::sin(1.0f), 0.5f);
    EXPECT_EQ(CombatField::Count<Missile>(combat.field.list3), 0);
    EXPECT_EQ(enemyAliveFlag, 300);
}

TEST(Enemy, FiresWhenTheCooldownIsDownAndThePlayerComesInRange) {
    CombatField combat;
    PlayerShip* ship = AddShip(combat, 0.0f, 0.0f);
    Enemy* enemy = AddEnemy(combat, 27, 0.0f, 500.0f);
    enemy->speed = 0.0f;
    enemy->Tick(1.0f);
    EXPECT_LT(enemy->fireCooldown, 1.0f);
    EXPECT_EQ(CombatField::Count<Missile>(combat.field.list3), 0);

    enemy->y = ship->y + Enemy::FireRange() - 1.0f;
    enemy->Tick(1.0f);
    ASSERT_EQ(CombatField::Count<Missile>(combat.field.list3), 1);
    EXPECT_FLOAT_EQ(enemy->fireCooldown, 200.0f);
    const Missile* missile = CombatField::FirstOf<Missile>(combat.field.list3);
    EXPECT_EQ(missile->targetTag, ShipTag);
    EXPECT_FLOAT_EQ(missile->damage, 4.0f);
    EXPECT_EQ(missile->spriteMode, 1);
    for (int i = 0; i < 199; ++i)
        enemy->Tick(1.0f);
    EXPECT_EQ(CombatField::Count<Missile>(combat.field.list3), 1);
    enemy->Tick(1.0f);
    EXPECT_EQ(CombatField::Count<Missile>(combat.field.list3), 2);
}

TEST(Enemy, ShrapnelCountsFollowTheType) {
    const std::pair<int, int> cases[] = {{1, 5}, {94, 28}, {2, 0}, {0, 0}};
    for (const auto& [type, pieces] : cases) {
        CombatField combat;
        Enemy* enemy = AddEnemy(combat, type);
        enemy->Die();
        EXPECT_EQ(CombatField::Count<Shrapnel>(combat.field.list4), pieces) << "type " << type;
    }
}

TEST(Enemy, DeathSequenceLastsSixtyTicksThenEnds) {
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 4);
    enemy->Die();
    for (int i = 0; i < 60; ++i) {
        enemy->Tick(1.0f);
        enemy->Draw();
    }
    EXPECT_EQ(enemy->dead, 0);
    EXPECT_NE(enemy->rays, nullptr);
    enemy->Tick(1.0f);
    EXPECT_EQ(enemy->dead, 1);
}
