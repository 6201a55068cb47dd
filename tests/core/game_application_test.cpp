#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/fake_direct3d.h"
#include "core/game_application.h"
#include "core/input_event.h"

namespace {

struct Seen {
    int32_t kind;
    std::string name;
    int32_t x;
    int32_t y;
    char character;
    int32_t keyCode;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> Drain(GameApplication& app) {
    std::vector<Seen> seen;
    while (InputEvent* event = app.TakeEvent()) {
        seen.push_back(
            Seen{event->tag, event->GetName(), event->x, event->y, event->character, event->keyCode});
        delete event;
    }
    return seen;
}

bool QuitWasPosted() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            return true;
        }
    }
    return false;
}

constexpr LPARAM Repeat = LPARAM{1} << 30;

class ApplicationTest : public testing::Test {
  protected:
    GameApplication app;
    FakeMouse mouse;

    void SetUp() override {
        app.mouse = &mouse;
        ScreenSize(800, 600);
    }
    void TearDown() override { app.mouse = nullptr; }
    void ScreenSize(UINT width, UINT height) {
        app.presentParams.BackBufferWidth = width;
        app.presentParams.BackBufferHeight = height;
    }
    // Pointer movement of one full-screen poll starting from (100, 100).
    int32_t MoveFrom100(LONG dx) {
        app.mouseX = 100;
        app.mouseY = 100;
        mouse.Push(dx, dx);
        app.PollMouse();
        Drain(app);
        EXPECT_EQ(app.mouseX - 100, app.mouseY - 100);
        return app.mouseX - 100;
    }
};

} // namespace

TEST_F(ApplicationTest, HeldKeyGivesOneDownCharactersAndOneUp) {
    app.modesRunning = 1;
    app.HandleMessage(nullptr, WM_KEYDOWN, VK_SPACE, 0);
    app.HandleMessage(nullptr, WM_CHAR, ' ', 0);
    app.HandleMessage(nullptr, WM_KEYDOWN, VK_SPACE, Repeat);
    app.HandleMessage(nullptr, WM_CHAR, ' ', Repeat);
    app.HandleMessage(nullptr, WM_KEYUP, VK_SPACE, 0);
    const std::vector<Seen> expected = {
        {0, "KEY DOWN", -1, -1, 0, VK_SPACE},
        {1, "KEY UP", -1, -1, ' ', 0},
        {1, "KEY UP", -1, -1, ' ', 0},
        {1, "KEY UP", -1, -1, 0, VK_SPACE},
    };
    EXPECT_EQ(Drain(app), expected);
    EXPECT_EQ(app.TakeEvent(), nullptr);
}

TEST_F(ApplicationTest, EscapeEndsTheGameOnlyBeforeModesRun) {
    app.HandleMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Drain(app).empty());
    EXPECT_TRUE(QuitWasPosted());

    app.modesRunning = 1;
    app.HandleMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Drain(app), (std::vector<Seen>{{0, "KEY DOWN", -1, -1, 0, VK_ESCAPE}}));
    EXPECT_FALSE(QuitWasPosted());
}

TEST_F(ApplicationTest, FullScreenMovementScalesWithTruncationPerStep) {
    EXPECT_EQ(MoveFrom100(5), 6);
    EXPECT_EQ(MoveFrom100(-1), -1);
    EXPECT_EQ(MoveFrom100(-5), -6);
    ScreenSize(1024, 768);
    EXPECT_EQ(MoveFrom100(5), 7);
    ScreenSize(640, 480);
    EXPECT_EQ(MoveFrom100(5), 5);
}

TEST_F(ApplicationTest, FullScreenPointerIsClampedToTheScreen) {
    mouse.Push(0, 0);
    app.PollMouse();
    EXPECT_EQ(app.mouseX, 0);
    EXPECT_EQ(app.mouseY, 0);

    mouse.Push(5000, 5000);
    app.PollMouse();
    EXPECT_EQ(app.mouseX, 799);
    EXPECT_EQ(app.mouseY, 599);

    mouse.Push(-2000000000, -2000000000);
    app.PollMouse();
    EXPECT_EQ(app.mouseX, 0);
    EXPECT_EQ(app.mouseY, 0);

    // A window message does not move the pointer in full screen.
    app.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
    EXPECT_EQ(app.mouseX, 0);
}

TEST_F(ApplicationTest, WindowPointerComesFromMouseMoveClamped) {
    app.windowed = 1;
    app.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
    EXPECT_EQ(app.mouseX, 300);
    EXPECT_EQ(app.mouseY, 200);
    // Dragged past the left and bottom edges under capture.
    app.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(-5, 700));
    EXPECT_EQ(app.mouseX, 0);
    EXPECT_EQ(app.mouseY, 599);
    app.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(900, -1));
    EXPECT_EQ(app.mouseX, 799);
    EXPECT_EQ(app.mouseY, 0);

    // Polling in a window reports movement but leaves the position alone.
    mouse.Push(40, 40);
    app.PollMouse();
    EXPECT_EQ(app.mouseX, 799);
    EXPECT_EQ(Drain(app), (std::vector<Seen>{{6, "MOUSE_DELTA", 40, 40, 0, 0}}));
}

TEST_F(ApplicationTest, ButtonEventsFollowTheDeltaWithThePolledPosition) {
    app.mouseX = 10;
    app.mouseY = 10;
    mouse.Push(5, 0, true, false);
    app.PollMouse();
    mouse.Push(0, 0, true, true);
    app.PollMouse();
    mouse.Push(0, 0, false, false);
    app.PollMouse();
    const std::vector<Seen> expected = {
        {6, "MOUSE_DELTA", 5, 0, 0, 0}, {2, "LMB DOWN", 16, 10, 0, 0},  {6, "MOUSE_DELTA", 0, 0, 0, 0},
        {4, "RMB DOWN", 16, 10, 0, 0},  {6, "MOUSE_DELTA", 0, 0, 0, 0}, {3, "LMB UP", 16, 10, 0, 0},
        {5, "RMB UP", 16, 10, 0, 0},
    };
    EXPECT_EQ(Drain(app), expected);
}

TEST_F(ApplicationTest, FailedReadReleasesHeldButtonsAndReacquires) {
    mouse.Push(0, 0, true, false);
    app.PollMouse();
    Drain(app);
    app.PollMouse(); // nothing queued in the fake: the read fails
    EXPECT_EQ(mouse.acquireCount, 1);
    const std::vector<Seen> seen = Drain(app);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, "MOUSE_DELTA");
    EXPECT_EQ(seen[1].name, "LMB UP");
}

TEST(GameApplication, DeviceCheckRefusesWhatTheDrawingCannotUse) {
    GameApplication app;
    D3DCAPS8 caps = UsableCaps();
    EXPECT_EQ(app.CheckDevice(&caps, D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DFMT_X8R8G8B8), S_OK);
    EXPECT_EQ(app.CheckDevice(&caps, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DFMT_X8R8G8B8), E_FAIL);
    EXPECT_EQ(app.CheckDevice(&caps, D3DCREATE_MIXED_VERTEXPROCESSING, D3DFMT_X8R8G8B8), E_FAIL);
    caps.MaxPointSize = 1.0f;
    EXPECT_EQ(app.CheckDevice(&caps, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DFMT_X8R8G8B8), S_OK);
    EXPECT_EQ(
        app.CheckDevice(&caps, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, D3DFMT_X8R8G8B8),
        E_FAIL);
    caps.DestBlendCaps = D3DPBLENDCAPS_ZERO;
    EXPECT_EQ(app.CheckDevice(&caps, D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DFMT_X8R8G8B8), E_FAIL);
    caps = UsableCaps();
    caps.SrcBlendCaps = D3DPBLENDCAPS_SRCALPHA;
    EXPECT_EQ(app.CheckDevice(&caps, D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DFMT_X8R8G8B8), E_FAIL);
}

TEST(GameApplication, FrameClearsToOpaqueColourAndResetsClip) {
    GameApplication app;
    FakeDevice device;
    app.device = &device;
    app.presentParams.BackBufferWidth = 1024;
    app.presentParams.BackBufferHeight = 768;
    EXPECT_STREQ(app.title, "CVantry application");
    EXPECT_EQ(app.useDepthBuffer, 1);
    EXPECT_EQ(app.mouseX, -100);

    app.SetClipRect(1, 2, 3, 4);
    EXPECT_EQ(app.StartRenderingFrame(0x10, 0x20, 0x130), D3D_OK);
    EXPECT_EQ(device.clearColour, 0xFF102030u);
    EXPECT_EQ(device.clearFlags, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
    EXPECT_EQ(app.clipRect.right, 1024);
    EXPECT_EQ(app.clipRect.bottom, 768);
    EXPECT_EQ(app.FinishRenderingFrame(), D3D_OK);
    EXPECT_EQ(device.presentCount, 1);
    app.device = nullptr;
}

TEST(GameApplication, FontSlotsOutsideTheTableAreRefused) {
    GameApplication app;
    EXPECT_EQ(app.CreateFontSlot(20, "Verdana", 12), E_INVALIDARG);
    EXPECT_EQ(app.CreateFontSlot(-1, "Verdana", 12), E_INVALIDARG);
    EXPECT_EQ(app.GetFont(20), nullptr);
    EXPECT_EQ(app.GetFont(-1), nullptr);
    EXPECT_EQ(app.GetFont(3), nullptr);
}
