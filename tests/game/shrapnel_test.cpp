#include <gtest/gtest.h>

#include <cmath>

#include "combat_field.h"
#include "game/hit_flash.h"
#include "game/shrapnel.h"

TEST(Shrapnel, FallsSpinsAndEndsInAFlashAfterItsLifetime) {
    CombatField combat;
    Shrapnel piece(0.0f, 0.0f, 2.0f, -1.0f, 0, 3);
    EXPECT_GE(std::fabs(piece.spin), 0.1f);
    EXPECT_LE(std::fabs(piece.spin), 1.0f);
    piece.Tick(1.0f);
    EXPECT_FLOAT_EQ(piece.x, 2.0f);
    EXPECT_FLOAT_EQ(piece.y, -1.0f);
    EXPECT_FLOAT_EQ(piece.vy, -0.9f);
    EXPECT_FLOAT_EQ(piece.heading, piece.spin);
    piece.Tick(1.0f);
    piece.Tick(1.0f);
    EXPECT_EQ(piece.dead, 0);
    piece.Tick(1.0f);
    EXPECT_EQ(piece.dead, 1);
    EXPECT_EQ(CombatField::Count<HitFlash>(combat.field.list4), 1);
    // Trail 0: no glow behind it.
    EXPECT_EQ(combat.field.glowEmitter->CountLive(), 0);

    // Pieces thrown one after another tumble either way, about as often.
    int backwards = 0;
    for (int i = 0; i < 64; ++i)
        backwards += Shrapnel(0.0f, 0.0f, 0.0f, 0.0f, 0, 3).spin < 0.0f ? 1 : 0;
    EXPECT_GE(backwards, 20);
    EXPECT_LE(backwards, 44);
}

TEST(Shrapnel, LifetimeMinusOneNeverEndsByAge) {
    CombatField combat;
    Shrapnel piece(0.0f, 0.0f, 0.0f, 0.0f, 1, -1);
    for (int i = 0; i < 5000; ++i)
        piece.Tick(1.0f);
    EXPECT_EQ(piece.dead, 0);
    EXPECT_GT(combat.field.glowEmitter->CountLive(), 0);
    EXPECT_EQ(CombatField::Count<HitFlash>(combat.field.list4), 0);
}
