#include <gtest/gtest.h>

#include <limits>

#include "combat_field.h"
#include "game/enemy.h"
#include "game/laser_beam.h"

namespace {

Enemy* AddEnemy(CombatField& combat, float x, float y) {
    auto* enemy = new Enemy(EnemyTag, 60);
    enemy->x = x;
    enemy->y = y;
    combat.field.mainList->Add(enemy);
    return enemy;
}

// A beam from the origin straight up (towards -y), charged, with the camera
// placed so that the origin is the screen point (400, 300).
LaserBeam UpwardBeam() {
    camX = -400.0f;
    camY = -300.0f;
    LaserBeam beam(WeaponTag, 100, 5.0f, 1.0f);
    beam.targetTag = EnemyTag;
    beam.heading = 0.0f;
    beam.age = 0.0f;
    return beam;
}

} // namespace

TEST(LaserBeam, HurtsOnlyTheNearestTargetAlongTheBeam) {
    CombatField combat;
    Enemy* far = AddEnemy(combat, 0.0f, -120.0f);
    Enemy* near = AddEnemy(combat, 0.0f, -50.0f);
    const float full = far->hitPoints;
    LaserBeam beam = UpwardBeam();
    beam.Tick(2.0f);
    EXPECT_FLOAT_EQ(near->hitPoints, full - 2.0f);
    EXPECT_FLOAT_EQ(far->hitPoints, full);
    EXPECT_FLOAT_EQ(beam.endX, 400.0f);
    EXPECT_FLOAT_EQ(beam.endY, 300.0f - 50.0f);
}

TEST(LaserBeam, WithoutTargetReachesTheScreenEdgeAndChargesFirst) {
    CombatField combat;
    LaserBeam beam = UpwardBeam();
    beam.Tick(1.0f);
    EXPECT_FLOAT_EQ(beam.endY, 0.0f);

    Enemy* enemy = AddEnemy(combat, 0.0f, -50.0f);
    const float full = enemy->hitPoints;
    LaserBeam charging = UpwardBeam();
    charging.age = -30.0f;
    for (int i = 0; i < 29; ++i)
        charging.Tick(1.0f);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full);
    charging.Tick(1.0f);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full - 1.0f);
}

TEST(LaserBeam, NonFiniteOriginOrHeadingHurtsNobody) {
    CombatField combat;
    Enemy* enemy = AddEnemy(combat, 0.0f, 0.0f);
    const float full = enemy->hitPoints;
    LaserBeam lost = UpwardBeam();
    lost.x = std::numeric_limits<float>::infinity();
    lost.Tick(1.0f);
    LaserBeam aimless = UpwardBeam();
    aimless.heading = std::numeric_limits<float>::quiet_NaN();
    aimless.Tick(1.0f);
    EXPECT_FLOAT_EQ(enemy->hitPoints, full);
}
