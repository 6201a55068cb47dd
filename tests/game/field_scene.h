// The real software device, offscreen, set up as the application's device
// set-up leaves it, with the game's art when the build made dat/ and the eight
// start-up fonts in their slots. Everything it sets is put back after each test.
#pragma once

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/font.h"
#include "engine/video_list.h"
#include "game/motion.h"
#include "headless_device.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_control.h"
#include "platform/os/run_mode.h"
#include "shell/game_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

class FieldScene : public ::testing::Test {
  protected:
    static constexpr UINT Width = 800;
    static constexpr UINT Height = 600;

    void SetUp() override {
        previousFolder = std::filesystem::current_path();
        const std::filesystem::path build(BACKFIRE_BUILD_DIR);
        haveArt = std::filesystem::exists(build / "dat" / "256RedGalaxy.png");
        if (haveArt)
            std::filesystem::current_path(build);
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3D, nullptr);
        D3DPRESENT_PARAMETERS params = HeadlessPresentParams(Width, Height);
        ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                         &params, &device),
                  D3D_OK);
        app.device = device;
        app.presentParams = params;
        TheApplication = &app;
        TheVideoList = new VideoList;
        app.spriteQuad =
            new VideoDataObject(4 * static_cast<int32_t>(sizeof(ScreenVertex)), ScreenVertexFormat);
        TheVideoList->Add(app.spriteQuad);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        CreateStartupFonts(&app);
        savedOptions = TheOptions;
        savedProgress = TheProgress;
        SetDefaultOptions();
        ClearProgress();
        camX = 0.0f;
        camY = 0.0f;
        zoom = 1.0f;
    }

    void TearDown() override {
        TheOptions = savedOptions;
        TheProgress = savedProgress;
        for (Font*& font : app.fonts) {
            if (!font)
                continue;
            font->InvalidateDeviceObjects();
            font->DeleteDeviceObjects();
            delete font;
            font = nullptr;
        }
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
        std::filesystem::current_path(previousFolder);
    }

    void BeginFrame(D3DCOLOR clear) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
        device->BeginScene();
    }

    std::vector<uint32_t> EndFrame() {
        device->EndScene();
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        platform::ReadBackBuffer(device, &pixels, &width, &height);
        return pixels;
    }

    static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) {
        return pixels.at(static_cast<size_t>(y) * Width + static_cast<size_t>(x)) & 0xFFFFFFu;
    }

    bool haveArt = false;
    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
    GameApplication app;

  private:
    std::filesystem::path previousFolder;
    Options savedOptions{};
    Progress savedProgress{};
};
