#include <gtest/gtest.h>

#include <cmath>

#include "combat_field.h"
#include "game/laser_beam.h"
#include "game/player_ship.h"
#include "game/shot.h"

namespace {

constexpr int Normal = 3;

// A ship in the field's mainList with a full-enough queue of one kind and no
// refill due for a long time.
PlayerShip* AddShip(CombatField& combat, int queued, int kind = ScatterBeams) {
    auto* ship = new PlayerShip(ShipTag, 0);
    combat.field.mainList->Add(ship);
    for (int i = 0; i < queued; ++i)
        ship->queue.Add(new DataObject(kind, GetWeaponName(kind)));
    ship->refillTimer = 100000.0f;
    return ship;
}

void Press(CombatField& combat, PlayerShip* ship, int ticks) {
    combat.field.fireHeld = 1;
    for (int i = 0; i < ticks; ++i)
        ship->Tick(1.0f);
    combat.field.fireHeld = 0;
}

} // namespace

TEST(PlayerShip, TapAndHoldAreToldApartAtTheThrustThreshold) {
    CombatField combat;
    TheOptions.thrustSpeed = Normal;
    ASSERT_EQ(PlayerShip::TapThreshold(Normal), 15);
    PlayerShip* ship = AddShip(combat, 3);

    Press(combat, ship, 14);
    EXPECT_EQ(ship->boosting, 0);
    ship->Tick(1.0f);
    EXPECT_EQ(ship->queue.Count(), 2);
    EXPECT_EQ(CombatField::Count<Shot>(combat.field.list3), 6);
    EXPECT_FLOAT_EQ(ship->launchCooldown, 40.0f);

    ship->launchCooldown = 0.0f;
    combat.field.fireHeld = 1;
    for (int i = 0; i < 14; ++i)
        ship->Tick(1.0f);
    EXPECT_EQ(ship->boosting, 0);
    ship->Tick(1.0f);
    EXPECT_EQ(ship->boosting, 1);
    combat.field.fireHeld = 0;
    ship->Tick(1.0f);
    EXPECT_EQ(ship->boosting, 0);
    EXPECT_EQ(ship->queue.Count(), 2);
    EXPECT_FLOAT_EQ(ship->launchCooldown, 0.0f);
}

TEST(PlayerShip, TapsDuringCooldownOrWithAnEmptyQueueAreLost) {
    CombatField combat;
    PlayerShip* ship = AddShip(combat, 2);
    ship->launchCooldown = 10.0f;
    Press(combat, ship, 1);
    ship->Tick(1.0f);
    EXPECT_EQ(ship->queue.Count(), 2);
    ship->launchCooldown = 0.0f;
    ship->Tick(1.0f);
    EXPECT_EQ(ship->queue.Count(), 2) << "a lost tap is not remembered";

    while (DataObject* entry = ship->queue.First()) {
        ship->queue.Remove(entry);
        delete entry;
    }
    Press(combat, ship, 1);
    ship->Tick(1.0f);
    EXPECT_FLOAT_EQ(ship->launchCooldown, 0.0f);
    EXPECT_EQ(CombatField::Count<Shot>(combat.field.list3), 0);
}

TEST(PlayerShip, BoostMovesAtDoubleSpeedUntilTheEnergyRunsOut) {
    CombatField combat;
    PlayerShip* ship = AddShip(combat, 0);
    ship->boost = 0.0f;
    Press(combat, ship, 20);
    EXPECT_EQ(ship->boosting, 0) << "no energy, no boost";

    ship->Tick(1.0f);
    ship->boost = 0.003f;
    combat.field.fireHeld = 1;
    for (int i = 0; i < 15; ++i)
        ship->Tick(1.0f);
    ASSERT_EQ(ship->boosting, 1);
    float x0 = ship->x;
    float y0 = ship->y;
    ship->Tick(1.0f);
    EXPECT_NEAR(Distance(x0, y0, ship->x, ship->y), 6.0f, 0.1f);
    EXPECT_LE(ship->boost, 0.0f);
    x0 = ship->x;
    y0 = ship->y;
    ship->Tick(1.0f);
    EXPECT_EQ(ship->boosting, 0) << "the thrust stops when the energy is gone";
    EXPECT_NEAR(Distance(x0, y0, ship->x, ship->y), 3.0f, 0.1f);
    ship->Tick(1.0f);
    EXPECT_EQ(ship->boosting, 0) << "and does not start again during the same hold";
}

TEST(PlayerShip, RefillAddsBoostAndAWeaponUntilTheQueueHoldsTen) {
    CombatField combat;
    PlayerShip* ship = AddShip(combat, 10);
    ship->refillTimer = 0.0f;
    ship->boost = 0.5f;
    ship->Tick(1.0f);
    EXPECT_EQ(ship->queue.Count(), 10);
    EXPECT_NEAR(ship->boost, 0.55f, 1e-5f);
    EXPECT_FLOAT_EQ(ship->refillTimer, 120.0f);

    DataObject* entry = ship->queue.First();
    ship->queue.Remove(entry);
    delete entry;
    ship->refillTimer = 0.0f;
    ship->boost = 0.999f;
    ship->Tick(1.0f);
    EXPECT_EQ(ship->queue.Count(), 10);
    EXPECT_FLOAT_EQ(ship->boost, 1.0f);
    EXPECT_EQ(IsWeaponAvailable(0, ship->queue.Last()->GetTag()), 1);
}

namespace {

// A path whose second point starts a marked sharp turn, 30 units ahead of
// the ship's first point.
void LayMarkedTurn(PlayerShip* ship) {
    ship->prevX = ship->x;
    ship->prevY = ship->y;
    ship->prevHeading = ship->heading;
    for (int i = 0; i < 30; ++i) {
        const float h = i < 1 ? 0.0f : 0.15f * static_cast<float>(i);
        ship->path[i] = {10.0f * static_cast<float>(i), -30.0f * static_cast<float>(i + 1), h, 0};
    }
    ship->path[0] = {0.0f, -30.0f, 0.0f, 0};
    ship->path[1].marker = 1;
    ship->pathStart = 0;
    ship->pathEnd = 30;
}

} // namespace

TEST(PlayerShip, BoostingIntoAMarkedTurnStraightensThePathOnlyWhileBoosting) {
    {
        CombatField combat;
        PlayerShip* ship = AddShip(combat, 0);
        LayMarkedTurn(ship);
        ship->boost = 1.0f;
        ship->holding = 1;
        ship->holdTicks = 100;
        combat.field.fireHeld = 1;
        for (int i = 0; i < 6; ++i)
            ship->Tick(1.0f);
        EXPECT_EQ(ship->pathStart, 0);
        EXPECT_GE(ship->pathEnd, 11) << "the straight line is extended like any path";
        for (int i = 0; i < 11; ++i) {
            EXPECT_FLOAT_EQ(ship->path[i].heading, 0.0f);
            EXPECT_NEAR(ship->path[i].x, 0.0f, 1e-4f);
            EXPECT_NEAR(ship->path[i].y, -30.0f - 30.0f * static_cast<float>(i + 1), 1e-3f);
            EXPECT_EQ(ship->path[i].marker, 0);
        }
    }
    CombatField combat;
    PlayerShip* cruiser = AddShip(combat, 0);
    LayMarkedTurn(cruiser);
    for (int i = 0; i < 12; ++i)
        cruiser->Tick(1.0f);
    EXPECT_EQ(cruiser->pathStart, 1);
    EXPECT_EQ(cruiser->path[1].marker, 1) << "the ship takes the turn";
}

TEST(PlayerShip, DamageDestroysAtTenPointsOrAtOnceOnHard) {
    {
        CombatField combat;
        PlayerShip* ship = AddShip(combat, 0);
        ship->TakeDamage(9.5f);
        EXPECT_FLOAT_EQ(ship->deathTimer, -1.0f);
        EXPECT_EQ(combat.field.redFlashTimer, 14);
        ship->TakeDamage(0.5f);
        EXPECT_FLOAT_EQ(ship->deathTimer, 0.0f);
        EXPECT_FLOAT_EQ(ship->hitPoints, 0.0f);
        ship->TakeDamage(5.0f);
        EXPECT_FLOAT_EQ(ship->hitPoints, 0.0f) << "a dying ship takes no more damage";
    }
    CombatField hard;
    TheOptions.difficulty = 2;
    PlayerShip* fragile = AddShip(hard, 0);
    fragile->TakeDamage(0.01f);
    EXPECT_FLOAT_EQ(fragile->deathTimer, 0.0f);
}

TEST(PlayerShip, DestroyedShipStopsLaunchingAndFinishesAfterSixtyUnits) {
    CombatField combat;
    PlayerShip* ship = AddShip(combat, 3);
    ship->TakeDamage(100.0f);
    Press(combat, ship, 1);
    ship->Tick(1.0f);
    EXPECT_EQ(ship->queue.Count(), 3);
    for (int i = 0; i < 58; ++i)
        ship->Tick(1.0f);
    EXPECT_EQ(ship->dead, 0);
    ship->Tick(1.0f);
    EXPECT_EQ(ship->dead, 1);
    combat.field.mainList->Remove(ship);
    delete ship;
    EXPECT_EQ(ThePlayer, nullptr);
}

TEST(PlayerShip, WeaponKindsLaunchTheirVolleysBackwards) {
    CombatField combat;
    PlayerShip* ship = AddShip(combat, 0);
    ship->heading = 0.0f;
    ship->Fire(DeathBlossom);
    EXPECT_EQ(CombatField::Count<Shot>(combat.field.list3), 26);
    for (OLObject* o = combat.field.list3->First(); o != nullptr; o = combat.field.list3->Next()) {
        EXPECT_NEAR(std::fabs(o->heading - 3.14159265f), 0.7f, 0.61f);
        EXPECT_EQ(static_cast<Shot*>(o)->targetTag, EnemyTag);
    }
    ship->Fire(RapidfireBeams);
    EXPECT_FLOAT_EQ(ship->rapidTimer, 50.0f);
    ship->Fire(99);
    EXPECT_EQ(CombatField::Count<Shot>(combat.field.list3), 26);
}

TEST(PlayerShip, SecondLaserWhileOneIsActiveIsUsedUpWithoutEffect) {
    CombatField combat;
    PlayerShip* ship = AddShip(combat, 2, ProtonLazer);
    Press(combat, ship, 1);
    ship->Tick(1.0f);
    LaserBeam* first = ship->laser;
    ASSERT_NE(first, nullptr);
    ship->launchCooldown = 0.0f;
    Press(combat, ship, 1);
    ship->Tick(1.0f);
    EXPECT_EQ(ship->queue.Count(), 0);
    EXPECT_EQ(ship->laser, first);
    EXPECT_EQ(CombatField::Count<LaserBeam>(combat.field.list3), 1);
    EXPECT_FLOAT_EQ(first->heading, ship->heading + 3.14159265f);

    combat.field.list3->Remove(first);
    delete first;
    EXPECT_EQ(ship->laser, nullptr) << "a beam deleted by its list is forgotten by its ship";
}
