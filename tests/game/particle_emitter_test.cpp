#include <gtest/gtest.h>

#include <cmath>

#include "field_scene.h"
#include "game/particle_emitter.h"
#include "game/play_field.h"

namespace {

// An emitter with one fixed life, angle and speed, so each particle is known.
ParticleEmitter* Fixed(ParticleEmitter* emitter, float angle, float speed, float life) {
    emitter->SetRanges(angle, angle, speed, speed, life, life);
    return emitter;
}

int32_t Live(const ParticleEmitter& emitter) {
    int32_t live = 0;
    for (int32_t i = 0; i < emitter.capacity; ++i)
        live += emitter.particles[i].life >= 0.0f ? 1 : 0;
    return live;
}

} // namespace

using ParticleEmitterTest = FieldScene;

TEST_F(ParticleEmitterTest, EmitFillsFreeSlotsAndDropsTheRest) {
    ParticleEmitter emitter(4, "dat\\missing.png", 8.0f);
    Fixed(&emitter, 0.0f, 0.0f, 10.0f);
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_LT(emitter.particles[i].life, 0.0f);
    emitter.Emit(2, 255, 255, 255, 255);
    EXPECT_EQ(Live(emitter), 2);
    EXPECT_EQ(emitter.nextSlot, 2);
    emitter.Emit(5, 255, 255, 255, 255);
    EXPECT_EQ(Live(emitter), 4);
    // A full ring takes nothing and leaves every particle as it was.
    emitter.particles[1].x = 77.0f;
    emitter.Emit(3, 0, 0, 0, 0);
    EXPECT_EQ(emitter.particles[1].x, 77.0f);
    EXPECT_FLOAT_EQ(emitter.particles[1].red, 1.0f);
}

TEST_F(ParticleEmitterTest, EmitSearchesOnFromTheLastSlotAndWrapsAround) {
    ParticleEmitter emitter(4, "dat\\missing.png", 8.0f);
    Fixed(&emitter, 0.0f, 0.0f, 10.0f);
    emitter.Emit(4, 255, 255, 255, 255);
    emitter.particles[0].life = -1.0f;
    emitter.particles[2].life = -1.0f;
    emitter.SetOrigin(5.0f, 6.0f);
    emitter.Emit(2, 10, 20, 30, 40);
    EXPECT_EQ(Live(emitter), 4);
    EXPECT_EQ(emitter.particles[0].x, 5.0f);
    EXPECT_EQ(emitter.particles[2].y, 6.0f);
    EXPECT_EQ(emitter.nextSlot, 3);
}

TEST_F(ParticleEmitterTest, EmitTakesRedBlueGreenAndTheRangesInEitherOrder) {
    ParticleEmitter emitter(8, "dat\\missing.png", 8.0f);
    Fixed(&emitter, 3.14159265f / 2.0f, 2.0f, 12.0f);
    emitter.SetOrigin(100.0f, -50.0f);
    EXPECT_EQ(emitter.hasOrigin, 1);
    emitter.Emit(1, 51, 102, 204, 255);
    const Particle& p = emitter.particles[0];
    EXPECT_FLOAT_EQ(p.red, 51.0f / 255.0f);
    EXPECT_FLOAT_EQ(p.blue, 102.0f / 255.0f);
    EXPECT_FLOAT_EQ(p.green, 204.0f / 255.0f);
    EXPECT_FLOAT_EQ(p.alpha, 1.0f);
    EXPECT_FLOAT_EQ(p.life, 12.0f);
    EXPECT_FLOAT_EQ(p.lifeStart, 12.0f);
    // Angle pi/2 moves along +x: vx = speed sin a, vy = speed cos a.
    EXPECT_NEAR(p.vx, 2.0f, 1e-5f);
    EXPECT_NEAR(p.vy, 0.0f, 1e-5f);
    EXPECT_EQ(p.x, 100.0f);

    emitter.SetRanges(1.0f, 0.5f, 9.0f, 3.0f, 40.0f, 20.0f);
    emitter.Emit(7, 0, 0, 0, 0);
    for (int32_t i = 1; i < 8; ++i) {
        const Particle& q = emitter.particles[i];
        EXPECT_GE(q.life, 20.0f);
        EXPECT_LE(q.life, 40.0f);
        const float speed = std::hypot(q.vx, q.vy);
        EXPECT_GE(speed, 3.0f - 1e-4f);
        EXPECT_LE(speed, 9.0f + 1e-4f);
    }
}

TEST_F(ParticleEmitterTest, UpdateAgesMovesAndFadesLiveParticlesOnly) {
    ParticleEmitter emitter(3, "dat\\missing.png", 8.0f);
    Fixed(&emitter, 0.0f, 4.0f, 1.5f);
    emitter.Emit(1, 255, 255, 255, 255);
    emitter.particles[2].x = 9.0f;
    emitter.Update(0.5f);
    const Particle& p = emitter.particles[0];
    EXPECT_FLOAT_EQ(p.life, 1.0f);
    EXPECT_FLOAT_EQ(p.y, 2.0f);
    EXPECT_FLOAT_EQ(p.red, 1.0f);
    EXPECT_FLOAT_EQ(p.green, 0.99f);
    EXPECT_FLOAT_EQ(p.blue, 0.99f);
    EXPECT_FLOAT_EQ(p.alpha, 0.99f);
    EXPECT_EQ(emitter.particles[2].x, 9.0f);
    emitter.fade = 0;
    emitter.Update(1.0f);
    EXPECT_FLOAT_EQ(p.green, 0.99f);
    // Life exactly 0 still counts as alive; below 0 the slot is free again.
    EXPECT_FLOAT_EQ(p.life, 0.0f);
    emitter.Update(1.0f);
    EXPECT_LT(p.life, 0.0f);
    EXPECT_EQ(Live(emitter), 0);
}

TEST_F(ParticleEmitterTest, DrawWritesOneTrianglePerParticleAndClampsColours) {
    ParticleEmitter emitter(3, "dat\\missing.png", 10.0f);
    Fixed(&emitter, 0.0f, 0.0f, 10.0f);
    emitter.SetOrigin(20.0f, 30.0f);
    emitter.Emit(1, 255, 0, 128, 255);
    emitter.particles[0].red = 1.7f;
    emitter.particles[0].blue = -0.5f;
    shakeOffsetX = 3.0f;
    camX = 20.0f;
    camY = 30.0f;
    BeginFrame(0);
    emitter.Draw();
    EndFrame();
    shakeOffsetX = 0.0f;

    BYTE* data = nullptr;
    ASSERT_EQ(emitter.vertices->vertexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    const auto* v = reinterpret_cast<const ScreenVertex*>(data);
    // The particle sits on the camera, so at the screen centre plus the shake.
    const float px = Width / 2 + 3.0f;
    const float py = Height / 2;
    EXPECT_EQ(v[0].x, px - 5.0f);
    EXPECT_EQ(v[0].y, py - 5.0f);
    EXPECT_EQ(v[1].x, px + 15.0f);
    EXPECT_EQ(v[1].u, 1.0f);
    EXPECT_EQ(v[2].y, py + 15.0f);
    EXPECT_EQ(v[2].v, 1.0f);
    EXPECT_EQ(v[0].rhw, 1.0f);
    EXPECT_EQ(v[0].diffuse, 0xFFFF8000u);
    // Free particles and the closing triangle are parked off screen.
    for (int32_t i = 3; i < 12; ++i) {
        EXPECT_EQ(v[i].x, -1000.0f) << i;
        EXPECT_EQ(v[i].y, -1000.0f) << i;
    }
    emitter.vertices->vertexBuffer->Unlock();
}

TEST_F(ParticleEmitterTest, DrawScalesByRemainingLifeWhenAsked) {
    ParticleEmitter emitter(1, "dat\\missing.png", 10.0f);
    Fixed(&emitter, 0.0f, 0.0f, 10.0f);
    emitter.Emit(1, 255, 255, 255, 255);
    emitter.fade = 0;
    emitter.Update(5.0f);
    emitter.fadeByLife = 1;
    BeginFrame(0);
    emitter.Draw();
    EndFrame();
    BYTE* data = nullptr;
    ASSERT_EQ(emitter.vertices->vertexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(reinterpret_cast<const ScreenVertex*>(data)[0].diffuse, 0x80808080u);
    emitter.vertices->vertexBuffer->Unlock();
}
