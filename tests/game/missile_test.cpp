#include <gtest/gtest.h>

#include "combat_field.h"
#include "game/enemy.h"
#include "game/hit_flash.h"
#include "game/missile.h"
#include "game/player_ship.h"

TEST(Missile, OffScreenBurnsThreeUnitsPerDrawnFrame) {
    CombatField combat;
    Missile missile(WeaponTag);
    missile.Draw();
    EXPECT_FLOAT_EQ(missile.lifetime, 280.0f);
    missile.x = 801.0f;
    missile.Draw();
    missile.Draw();
    EXPECT_FLOAT_EQ(missile.lifetime, 274.0f);
    missile.speed = 0.0f;
    missile.Tick(1.0f);
    EXPECT_FLOAT_EQ(missile.lifetime, 273.0f);
    EXPECT_EQ(missile.colour, 4) << "a missile that does not home shows entry 4";
}

TEST(Missile, EndsOnItsFirstHitOrInAFlashWhenItsFuelIsGone) {
    CombatField combat;
    auto* enemy = new Enemy(EnemyTag, 60);
    combat.field.mainList->Add(enemy);
    const float full = enemy->hitPoints;
    Missile missile(WeaponTag);
    missile.targetTag = EnemyTag;
    missile.damage = 10.0f;
    missile.Tick(1.0f);
    EXPECT_EQ(missile.dead, 1);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full - 10.0f);

    Missile spent(WeaponTag);
    spent.targetTag = EnemyTag;
    spent.x = 1000.0f;
    spent.lifetime = 1.5f;
    spent.Tick(1.0f);
    EXPECT_EQ(spent.dead, 1);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full - 10.0f);
    EXPECT_EQ(CombatField::Count<HitFlash>(combat.field.list4), 2);
}

TEST(Missile, OnlyHomingMissilesAimedAtThePlayerTurn) {
    CombatField combat;
    auto* ship = new PlayerShip(ShipTag, 0);
    combat.field.mainList->Add(ship);
    ship->x = 500.0f;
    Missile straight(WeaponTag);
    straight.targetTag = ShipTag;
    Missile homing(WeaponTag);
    homing.targetTag = ShipTag;
    homing.homing = 1;
    Missile wrongSide(WeaponTag);
    wrongSide.targetTag = EnemyTag;
    wrongSide.homing = 1;
    for (Missile* missile : {&straight, &homing, &wrongSide})
        missile->Tick(1.0f);
    EXPECT_FLOAT_EQ(straight.heading, 0.0f);
    EXPECT_FLOAT_EQ(homing.heading, 0.01f);
    EXPECT_FLOAT_EQ(wrongSide.heading, 0.0f);
}
