#include <string>

#include <gtest/gtest.h>

#include "core/fake_direct3d.h"
#include "core/game_application.h"

namespace {

bool QuitWasPosted() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            return true;
        }
    }
    return false;
}

class HostTest : public testing::Test {
  protected:
    FakeDirect3D d3d;
    GameApplication app;

    void SetUp() override {
        FakeAdapter adapter;
        adapter.modes = {D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8},
                         D3DDISPLAYMODE{800, 600, 60, D3DFMT_R5G6B5}};
        adapter.caps[D3DDEVTYPE_HAL] = UsableCaps();
        adapter.formats[D3DDEVTYPE_HAL] = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
        d3d.adapters.push_back(adapter);
        TheFakeDirect3D = &d3d;
        app.createDirect3D = CreateFakeDirect3D;
        app.creationWidth = 800;
        app.creationHeight = 600;
        HostApplication::pauseCount = 0;
    }
    void TearDown() override {
        if (app.window != nullptr) {
            SendMessageA(app.window, WM_CLOSE, 0, 0);
        }
        QuitWasPosted();
        TheFakeDirect3D = nullptr;
    }
    static int32_t MenuBarHeight() {
        RECT with{0, 0, 800, 600};
        RECT without{0, 0, 800, 600};
        AdjustWindowRect(&with, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_MINIMIZEBOX, TRUE);
        AdjustWindowRect(&without, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_MINIMIZEBOX, FALSE);
        return without.top - with.top;
    }
};

} // namespace

TEST_F(HostTest, WindowBackBufferIsTheClientSizeWithTheMenuBarAllowance) {
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    ASSERT_NE(app.window, nullptr);
    EXPECT_GT(MenuBarHeight(), 0);
    EXPECT_EQ(d3d.createdParams.Windowed, 1);
    EXPECT_EQ(d3d.createdParams.BackBufferWidth, 800u);
    EXPECT_EQ(d3d.createdParams.BackBufferHeight, static_cast<UINT>(600 + MenuBarHeight()));
    EXPECT_EQ(d3d.createdParams.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(d3d.createdParams.EnableAutoDepthStencil, 1);
    EXPECT_EQ(d3d.createdParams.AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(app.GetScreenHeight(), 600 + MenuBarHeight());
    EXPECT_EQ(app.ready, 1);
    EXPECT_EQ(app.active, 1);
}

TEST_F(HostTest, FullScreenBackBufferIsTheChosenMode) {
    ASSERT_EQ(app.Create(nullptr, 0), S_OK);
    EXPECT_EQ(d3d.createdParams.Windowed, 0);
    EXPECT_EQ(d3d.createdParams.BackBufferWidth, 800u);
    EXPECT_EQ(d3d.createdParams.BackBufferHeight, 600u);
    EXPECT_EQ(d3d.createdParams.BackBufferFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(d3d.createdType, D3DDEVTYPE_HAL);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(app.window, GWL_STYLE)), WS_POPUP | WS_VISIBLE | WS_SYSMENU);
}

TEST_F(HostTest, CloseReleasesTheDeviceOnceBeforeCleanup) {
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    SendMessageA(app.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(d3d.device.releaseCount, 1);
    EXPECT_EQ(d3d.releaseCount, 1);
    EXPECT_EQ(app.device, nullptr);
    EXPECT_EQ(app.window, nullptr);
    EXPECT_EQ(app.ready, 0);
    EXPECT_TRUE(QuitWasPosted());

    app.Cleanup();
    app.Shutdown();
    EXPECT_EQ(d3d.device.releaseCount, 1);
    EXPECT_EQ(d3d.releaseCount, 1);
}

TEST_F(HostTest, MovingWithoutResizingKeepsTheDevice) {
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    SetWindowPos(app.window, nullptr, 200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    app.HandleMessage(app.window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(d3d.device.resetCount, 0);
    EXPECT_EQ(app.windowRect.left, 200);

    RECT rect = app.windowRect;
    SetWindowPos(app.window, nullptr, 0, 0, rect.right - rect.left + 40, rect.bottom - rect.top, SWP_NOMOVE);
    app.HandleMessage(app.window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(d3d.device.resetCount, 1);
    EXPECT_EQ(d3d.device.lastReset.BackBufferWidth, 840u);
    EXPECT_EQ(app.GetScreenWidth(), 840);
    EXPECT_EQ(app.ready, 1);
}

TEST_F(HostTest, FailedResizeResetIsFatal) {
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    d3d.device.resetResult = D3DERR_INVALIDCALL;
    RECT rect = app.windowRect;
    SetWindowPos(app.window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + 10, SWP_NOMOVE);
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.HandleMessage(app.window, WM_EXITSIZEMOVE, 0, 0), 0);
    const std::string box = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        box.find(
            "CVantry application: Could not reset the Direct3D device.\n\nSorry, but this game won't run."),
        std::string::npos)
        << box;
    EXPECT_EQ(app.window, nullptr);
    EXPECT_TRUE(QuitWasPosted());
}

TEST_F(HostTest, StartupFailuresShowTheirBoxAndCloseTheWindow) {
    app.createDirect3D = [](UINT) -> IDirect3D8* { return nullptr; };
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.Create(nullptr, 0), static_cast<HRESULT>(0x82000001u));
    std::string box = testing::internal::GetCapturedStderr();
    EXPECT_NE(box.find("Could not initialize Direct3D. You may\nwant to check"), std::string::npos) << box;

    app.createDirect3D = CreateFakeDirect3D;
    d3d.createResult = D3DERR_OUTOFVIDEOMEMORY;
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.Create(nullptr, 0), D3DERR_OUTOFVIDEOMEMORY);
    box = testing::internal::GetCapturedStderr();
    EXPECT_NE(box.find("Not enough video memory.\n\nSorry, but this game won't run."), std::string::npos)
        << box;
    EXPECT_EQ(app.direct3D, nullptr);
    EXPECT_EQ(app.window, nullptr);
    EXPECT_TRUE(QuitWasPosted());
}

TEST_F(HostTest, WarningsShowNothing) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.ReportError(static_cast<HRESULT>(0x12345678), 0), static_cast<HRESULT>(0x12345678));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    app.ReportError(static_cast<HRESULT>(0x12345678), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Undocumented application error.\n\n\nSorry"),
              std::string::npos);

    // Start-up on the reference rasteriser warns the same way, and the window
    // made after the warning stays open.
    FakeAdapter& adapter = d3d.adapters[0];
    adapter.caps[D3DDEVTYPE_REF] = UsableCaps();
    adapter.formats[D3DDEVTYPE_REF] = adapter.formats[D3DDEVTYPE_HAL];
    adapter.formats[D3DDEVTYPE_HAL].clear();
    testing::internal::CaptureStderr();
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(d3d.createdType, D3DDEVTYPE_REF);
    EXPECT_FALSE(QuitWasPosted());
    EXPECT_NE(app.window, nullptr);
}

TEST_F(HostTest, FullScreenSwallowsWindowCommandsAndPauseNests) {
    ASSERT_EQ(app.Create(nullptr, 0), S_OK);
    EXPECT_EQ(app.HandleMessage(app.window, WM_SYSCOMMAND, SC_MOVE, 0), 1);
    EXPECT_EQ(app.HandleMessage(app.window, WM_SYSCOMMAND, SC_MAXIMIZE, 0), 1);
    EXPECT_EQ(app.HandleMessage(app.window, WM_SYSCOMMAND, SC_KEYMENU, ' '), 1);
    EXPECT_EQ(app.HandleMessage(app.window, WM_NCHITTEST, 0, 0), HTCLIENT);
    EXPECT_EQ(app.HandleMessage(app.window, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), 1);

    app.HandleMessage(app.window, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(app.active, 0);
    app.HandleMessage(app.window, WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_EQ(app.active, 1);

    app.Pause(1);
    app.Pause(1);
    app.Pause(0);
    EXPECT_EQ(app.ready, 0);
    app.Pause(0);
    EXPECT_EQ(app.ready, 1);
}
