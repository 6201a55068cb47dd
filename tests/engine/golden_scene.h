// Scenes drawn through the engine onto the real software device, offscreen,
// and compared exactly with tests/golden/engine_<name>.png.
#pragma once

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/video_list.h"
#include "golden_compare.h"
#include "headless_device.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_control.h"
#include "platform/os/run_mode.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class GoldenScene : public ::testing::Test {
  protected:
    // Creates the device with a back buffer of the given size, sets it up as
    // the application's device set-up does, clears it and begins the scene.
    void Start(UINT width, UINT height, uint32_t clearColour) {
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3D, nullptr);
        D3DPRESENT_PARAMETERS params = HeadlessPresentParams(width, height);
        ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                         &params, &device),
                  D3D_OK);
        app.device = device;
        TheApplication = &app;
        TheVideoList = new VideoList;
        app.spriteQuad =
            new VideoDataObject(4 * static_cast<int32_t>(sizeof(ScreenVertex)), ScreenVertexFormat);
        TheVideoList->Add(app.spriteQuad);
        ASSERT_EQ(app.spriteQuad->created, 1);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ZENABLE, TRUE);
        app.material.Diffuse = app.material.Ambient = {0.5f, 0.5f, 0.5f, 0.5f};
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clearColour, 1.0f, 0);
        device->BeginScene();
    }

    void TearDown() override {
        for (IDirect3DTexture8* texture : textures)
            texture->Release();
        textures.clear();
        if (TheVideoList) {
            TheVideoList->Destroy(app.spriteQuad);
            delete TheVideoList;
            TheVideoList = nullptr;
        }
        app.spriteQuad = nullptr;
        app.device = nullptr;
        TheApplication = nullptr;
        if (device)
            device->Release();
        if (direct3D)
            direct3D->Release();
    }

    // A managed A8R8G8B8 texture filled by texel(x, y) -> ARGB; the scene owns it.
    IDirect3DTexture8* MakeTexture(UINT width, UINT height,
                                   const std::function<uint32_t(UINT, UINT)>& texel) {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
                  D3D_OK);
        if (!texture)
            return nullptr;
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        for (UINT y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < width; ++x)
                row[x] = texel(x, y);
        }
        texture->UnlockRect(0);
        textures.push_back(texture);
        return texture;
    }

    // Ends the scene and compares the back buffer with the golden image.
    void ExpectMatchesGolden(const std::string& name) {
        device->EndScene();
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        ASSERT_TRUE(platform::ReadBackBuffer(device, &pixels, &width, &height));
        EXPECT_TRUE(golden::MatchesGolden("engine_" + name + ".png", pixels, width, height));
    }

    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
    GameApplication app;
    std::vector<IDirect3DTexture8*> textures;
};
