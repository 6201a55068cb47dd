// Scenes drawn through the engine onto the real software device, offscreen,
// and compared pixel for pixel with tests/golden/engine_<name>.png. A
// mismatch writes <name>.actual.png and <name>.diff.png next to the test
// program; BACKFIRE_UPDATE_GOLDEN=1 rewrites the golden image instead.
#pragma once

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/video_list.h"
#include "platform/d3d8.h"
#include "platform/d3d8_control.h"
#include "platform/frame_capture.h"
#include "platform/harness.h"
#include "platform/image_decode.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = 1;
        params.EnableAutoDepthStencil = 1;
        params.AutoDepthStencilFormat = D3DFMT_D16;
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
        const std::string golden = std::string(BACKFIRE_GOLDEN_DIR) + "/engine_" + name + ".png";
        const char* update = std::getenv("BACKFIRE_UPDATE_GOLDEN");
        if (update && std::string(update) == "1") {
            ASSERT_TRUE(platform::WritePng(golden, pixels.data(), width, height));
            return;
        }
        platform::DecodedImage expected;
        ASSERT_TRUE(platform::DecodeImage(golden, &expected)) << "missing golden image " << golden;
        ASSERT_EQ(expected.width, width);
        ASSERT_EQ(expected.height, height);
        std::vector<uint32_t> diff(pixels.size(), 0xFF000000u);
        int mismatches = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            if ((pixels[i] | 0xFF000000u) != (expected.argb[i] | 0xFF000000u)) {
                ++mismatches;
                diff[i] = 0xFFFF00FFu;
            }
        }
        if (mismatches > 0) {
            platform::WritePng(name + ".actual.png", pixels.data(), width, height);
            platform::WritePng(name + ".diff.png", diff.data(), width, height);
        }
        EXPECT_EQ(mismatches, 0) << "pixels differ from " << golden;
    }

    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
    GameApplication app;
    std::vector<IDirect3DTexture8*> textures;
};
