#include <gtest/gtest.h>

#include <cmath>

#include "field_scene.h"
#include "game/ring_mesh.h"

using RingMeshTest = FieldScene;

TEST_F(RingMeshTest, QuadsRunBetweenTheCirclesAndCloseTheRing) {
    RingMesh ring(24, "dat\\missing.png");
    BeginFrame(0);
    ring.Draw(400.0f, 300.0f, 100.0f, 60.0f, 10, 20, 30, 40, 0.5f);
    EndFrame();
    BYTE* data = nullptr;
    ASSERT_EQ(ring.vertices->vertexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    const auto* v = reinterpret_cast<const ScreenVertex*>(data);
    // Point 0 lies at the rotation, measured clockwise from straight up.
    EXPECT_NEAR(v[0].x, 400.0f + 100.0f * std::sin(0.5f), 1e-3f);
    EXPECT_NEAR(v[0].y, 300.0f - 100.0f * std::cos(0.5f), 1e-3f);
    EXPECT_NEAR(std::hypot(v[2].x - 400.0f, v[2].y - 300.0f), 60.0f, 1e-3f);
    EXPECT_NEAR(std::hypot(v[1].x - 400.0f, v[1].y - 300.0f), 100.0f, 1e-3f);
    // The last quad ends where the first begins.
    const ScreenVertex* last = v + 6 * 23;
    EXPECT_NEAR(last[1].x, v[0].x, 1e-3f);
    EXPECT_NEAR(last[1].y, v[0].y, 1e-3f);
    EXPECT_NEAR(last[5].x, v[2].x, 1e-3f);
    for (int32_t i = 0; i < 6 * 24; ++i)
        EXPECT_EQ(v[i].diffuse, PackColour(10, 20, 30, 40)) << i;
    EXPECT_EQ(v[0].u, 0.0f);
    EXPECT_EQ(v[5].u, 1.0f);
    EXPECT_EQ(v[5].v, 1.0f);
    ring.vertices->vertexBuffer->Unlock();
}

TEST_F(RingMeshTest, DrawsABandAndNothingWithoutAnOuterRadius) {
    RingMesh ring(24, "dat\\missing.png");
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    BeginFrame(0);
    ring.Draw(400.0f, 300.0f, 0.0f, -10.0f, 255, 255, 255, 255, 0.0f);
    ring.Draw(400.0f, 300.0f, -50.0f, 0.0f, 255, 255, 255, 255, 0.0f);
    std::vector<uint32_t> pixels = EndFrame();
    for (uint32_t pixel : pixels)
        ASSERT_EQ(pixel & 0xFFFFFFu, 0u);

    BeginFrame(0);
    ring.Draw(400.0f, 300.0f, 100.0f, 60.0f, 0, 255, 0, 255, 0.0f);
    pixels = EndFrame();
    EXPECT_EQ(At(pixels, 400 + 80, 300), 0x00FF00u);
    EXPECT_EQ(At(pixels, 400, 300 - 80), 0x00FF00u);
    EXPECT_EQ(At(pixels, 400, 300), 0u);
    EXPECT_EQ(At(pixels, 400 + 120, 300), 0u);
}
