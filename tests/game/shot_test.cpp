#include <gtest/gtest.h>

#include "combat_field.h"
#include "game/bonus.h"
#include "game/enemy.h"
#include "game/hit_flash.h"
#include "game/shot.h"

namespace {

Enemy* AddEnemy(CombatField& combat, int type, float x, float y) {
    auto* enemy = new Enemy(EnemyTag, type);
    enemy->x = x;
    enemy->y = y;
    combat.field.mainList->Add(enemy);
    return enemy;
}

Shot* PlayerShot(float x, float y, float damage) {
    auto* shot = new Shot(WeaponTag);
    shot->targetTag = EnemyTag;
    shot->x = x;
    shot->y = y;
    shot->damage = damage;
    return shot;
}

} // namespace

TEST(Shot, HitsEveryOverlappingTargetOnTheSameTick) {
    CombatField combat;
    Enemy* first = AddEnemy(combat, 60, 10.0f, 20.0f);
    Enemy* second = AddEnemy(combat, 60, 10.0f, 20.0f);
    const float full = first->hitPoints;
    Shot* shot = PlayerShot(10.0f, 20.0f, 2.0f);
    combat.field.list3->Add(shot);
    shot->Tick(1.0f);
    EXPECT_EQ(shot->dead, 1);
    EXPECT_FLOAT_EQ(first->hitPoints, full - 2.0f);
    EXPECT_FLOAT_EQ(second->hitPoints, full - 2.0f);
    EXPECT_EQ(CombatField::Count<HitFlash>(combat.field.list4), 2);
    EXPECT_EQ(TheProgress.hitStreak, 2);
}

TEST(Shot, IgnoresObjectsOfOtherTagsAndEndsWithItsLifetime) {
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 60, 0.0f, 0.0f);
    const float full = enemy->hitPoints;
    Shot* shot = PlayerShot(0.0f, 0.0f, 2.0f);
    shot->targetTag = ShipTag;
    shot->speed = 0.0f;
    shot->lifetime = 2.5f;
    shot->Tick(1.0f);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full);
    EXPECT_EQ(shot->dead, 0);
    shot->Tick(1.0f);
    EXPECT_EQ(shot->dead, 1);
    delete shot;
}

TEST(Shot, TenthHitOfTheLevelAwardsSniperOnce) {
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 95, 0.0f, 0.0f);
    enemy->hitPoints = 1000.0f;
    for (int i = 0; i < 12; ++i) {
        Shot* shot = PlayerShot(0.0f, 0.0f, 1.0f);
        shot->Tick(1.0f);
        delete shot;
        EXPECT_EQ(TheProgress.BonusFlags[0], i >= 9 ? 1 : 0) << "hit " << i + 1;
    }
    EXPECT_EQ(CombatField::Count<BonusIcon>(combat.field.list4), 1);
}
