#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/fake_direct3d.h"
#include "core/game_application.h"
#include "core/game_mode.h"
#include "core/main_loop.h"
#include "core/object_list.h"
#include "engine/font.h"
#include "platform/win32/clock.h"

namespace {

std::vector<std::string> journal;

// A mode that records its life and asks for the change it is told to.
class ScriptedMode : public GameMode {
  public:
    int32_t wantStatus = 0;
    GameMode* wantNext = nullptr;
    bool leavesNextMode = false;
    std::vector<uint32_t> tickTimes;

    explicit ScriptedMode(const char* name) : GameMode(1, name) {}
    ~ScriptedMode() override { journal.push_back(std::string("delete ") + GetName()); }
    int32_t Enter() override {
        journal.push_back(std::string("enter ") + GetName());
        return 0;
    }
    int32_t Exit() override {
        journal.push_back(std::string("exit ") + GetName());
        return 0;
    }
    int32_t Tick() override {
        journal.push_back(std::string("tick ") + GetName());
        tickTimes.push_back(timeGetTime());
        status = wantStatus;
        if (!leavesNextMode) {
            NextMode = wantNext;
        }
        wantStatus = 0;
        wantNext = nullptr;
        return 0;
    }
};

class ModeStackTest : public testing::Test {
  protected:
    FakeDevice device;
    GameApplication* app = nullptr;

    void SetUp() override {
        journal.clear();
        app = new GameApplication();
        app->device = &device;
        TheApplication = app;
        CurrentMode = nullptr;
        NextMode = nullptr;
        LastTickTime = 0;
    }
    void TearDown() override {
        ShutdownModes();
        DrainMessages();
        app->device = nullptr;
        delete app;
        TheApplication = nullptr;
    }

    ScriptedMode* Start(const char* name) {
        ScriptedMode* mode = new ScriptedMode(name);
        CurrentMode = mode;
        ModeStack.Push(mode);
        mode->Enter();
        journal.clear();
        return mode;
    }
    // Runs passes until WM_QUIT; false when none was posted.
    static bool DrainMessages() {
        for (int i = 0; i < 1000; ++i) {
            MSG msg{};
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                return false;
            }
            if (msg.message == WM_QUIT) {
                return true;
            }
        }
        return false;
    }
};

using Journal = std::vector<std::string>;

} // namespace

TEST_F(ModeStackTest, PushCoversThenBackResumes) {
    ScriptedMode* menu = Start("MENU");
    ScriptedMode* options = new ScriptedMode("OPTIONS");
    menu->wantStatus = 1;
    menu->wantNext = options;
    TickCurrentMode();
    EXPECT_EQ(journal, (Journal{"tick MENU", "exit MENU", "enter OPTIONS"}));
    EXPECT_EQ(CurrentMode, options);
    EXPECT_EQ(ModeStack.Count(), 2);
    EXPECT_EQ(NextMode, nullptr);

    journal.clear();
    options->wantStatus = 2;
    TickCurrentMode();
    EXPECT_EQ(journal, (Journal{"tick OPTIONS", "exit OPTIONS", "delete OPTIONS", "enter MENU"}));
    EXPECT_EQ(CurrentMode, menu);
    EXPECT_EQ(menu->status, 0);
    EXPECT_EQ(ModeStack.Count(), 1);
    EXPECT_FALSE(DrainMessages());
}

TEST_F(ModeStackTest, ReplaceOnAStackOfOneLeavesTheNewMode) {
    ScriptedMode* intro = Start("INTRO");
    ScriptedMode* menu = new ScriptedMode("MENU");
    intro->wantStatus = 2;
    intro->wantNext = menu;
    TickCurrentMode();
    EXPECT_EQ(journal, (Journal{"tick INTRO", "exit INTRO", "delete INTRO", "enter MENU"}));
    EXPECT_EQ(ModeStack.Count(), 1);
    EXPECT_EQ(ModeStack.Last(), menu);
    EXPECT_FALSE(DrainMessages());
}

TEST_F(ModeStackTest, OtherStatusValuesKeepTheModeRunning) {
    ScriptedMode* mode = Start("MENU");
    mode->wantStatus = 7;
    TickCurrentMode();
    EXPECT_EQ(journal, (Journal{"tick MENU"}));
    EXPECT_EQ(CurrentMode, mode);
}

TEST_F(ModeStackTest, BackFromTheLastModeReportsEmptyStack) {
    ScriptedMode* mode = Start("ONLY");
    mode->wantStatus = 2;
    testing::internal::CaptureStderr();
    TickCurrentMode();
    const std::string box = testing::internal::GetCapturedStderr();
    EXPECT_NE(box.find("Game Failure: No game mode on stack; expected one!"), std::string::npos) << box;
    EXPECT_EQ(CurrentMode, nullptr);
    EXPECT_EQ(ModeStack.Count(), 0);
    EXPECT_TRUE(DrainMessages());
}

TEST_F(ModeStackTest, PushWithoutNextModeReportsMissingMode) {
    ScriptedMode* mode = Start("MENU");
    mode->wantStatus = 1;
    testing::internal::CaptureStderr();
    TickCurrentMode();
    const std::string box = testing::internal::GetCapturedStderr();
    EXPECT_NE(box.find("Game Failure: No new game mode; expected one!"), std::string::npos) << box;
    // The mode stays on the stack and is resumed, so Enter and Exit still alternate.
    EXPECT_EQ(journal, (Journal{"tick MENU", "exit MENU", "enter MENU"}));
    EXPECT_TRUE(DrainMessages());
}

TEST_F(ModeStackTest, StaleNextModeIsNeverPushedTwice) {
    ScriptedMode* menu = Start("MENU");
    ScriptedMode* options = new ScriptedMode("OPTIONS");
    menu->wantStatus = 1;
    menu->wantNext = options;
    TickCurrentMode();
    // OPTIONS asks for a push but leaves NextMode alone: the mode already on
    // the stack must not be pushed a second time.
    options->wantStatus = 1;
    options->leavesNextMode = true;
    testing::internal::CaptureStderr();
    TickCurrentMode();
    const std::string box = testing::internal::GetCapturedStderr();
    EXPECT_NE(box.find("No new game mode; expected one!"), std::string::npos) << box;
    EXPECT_EQ(ModeStack.Count(), 2);
    EXPECT_TRUE(DrainMessages());
}

TEST_F(ModeStackTest, ShutdownExitsOnlyTheTopAndDeletesTopFirst) {
    ScriptedMode* bottom = Start("BOTTOM");
    ScriptedMode* middle = new ScriptedMode("MIDDLE");
    ScriptedMode* top = new ScriptedMode("TOP");
    bottom->wantStatus = 1;
    bottom->wantNext = middle;
    TickCurrentMode();
    middle->wantStatus = 1;
    middle->wantNext = top;
    TickCurrentMode();
    journal.clear();
    ShutdownModes();
    EXPECT_EQ(journal, (Journal{"exit TOP", "delete TOP", "delete MIDDLE", "delete BOTTOM"}));
    EXPECT_EQ(ModeStack.IsEmpty(), 1);
    EXPECT_EQ(CurrentMode, nullptr);
}

TEST_F(ModeStackTest, TicksAreMoreThan25MillisecondsApart) {
    platform::UseVirtualClock(1000);
    ScriptedMode* mode = Start("PLAY");
    for (int pass = 0; pass < 400; ++pass) {
        ASSERT_TRUE(MainLoopPass());
        platform::AdvanceVirtualClock(1);
    }
    ASSERT_GE(mode->tickTimes.size(), 5u);
    for (size_t i = 1; i < mode->tickTimes.size(); ++i) {
        EXPECT_GE(mode->tickTimes[i] - mode->tickTimes[i - 1], 26u);
    }
}

TEST_F(ModeStackTest, LostDeviceStopsTicksAndResetRestoresThem) {
    // A font in a slot: its vertex buffer goes before the reset and is asked
    // for again after it.
    class NotedBuffer : public IDirect3DVertexBuffer8 {
      public:
        uint32_t AddRef() override { return 1; }
        uint32_t Release() override {
            journal.push_back("vertex buffer released");
            return 0;
        }
        HRESULT Lock(UINT, UINT, BYTE**, DWORD) override { return E_FAIL; }
        HRESULT Unlock() override { return D3D_OK; }
    } buffer;
    Font font("Verdana", 12, 0);
    font.device = &device;
    app->fonts[3] = &font;
    device.journal = &journal;

    platform::UseVirtualClock(5000);
    ScriptedMode* mode = Start("PLAY");
    device.cooperativeLevel = D3DERR_DEVICELOST;
    for (int pass = 0; pass < 100; ++pass) {
        MainLoopPass();
        platform::AdvanceVirtualClock(1);
    }
    EXPECT_TRUE(mode->tickTimes.empty());

    device.cooperativeLevel = D3DERR_DEVICENOTRESET;
    font.vertexBuffer = &buffer;
    journal.clear();
    EXPECT_TRUE(DeviceIsUsable());
    EXPECT_EQ(journal, (Journal{"vertex buffer released", "reset", "vertex buffer asked for"}));
    EXPECT_EQ(device.resetCount, 1);
    EXPECT_EQ(device.renderStates[D3DRS_CULLMODE], static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(device.renderStates[D3DRS_ZENABLE], static_cast<DWORD>(TRUE));
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));

    // A reset that fails closes the window and leaves the fonts released.
    device.resetResult = D3DERR_INVALIDCALL;
    font.vertexBuffer = &buffer;
    journal.clear();
    EXPECT_FALSE(DeviceIsUsable());
    EXPECT_EQ(journal, (Journal{"vertex buffer released", "reset"}));
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, app->window);
    device.journal = nullptr;
    app->fonts[3] = nullptr;
    font.device = nullptr;
}

TEST(TickPacing, StrictlyMoreThan25MillisecondsIncludingClockWrap) {
    EXPECT_FALSE(TickIsDue(1025, 1000));
    EXPECT_TRUE(TickIsDue(1026, 1000));
    EXPECT_TRUE(TickIsDue(3, 0));
    EXPECT_FALSE(TickIsDue(0xFFFFFFF0u + 20u, 0xFFFFFFF0u));
    EXPECT_TRUE(TickIsDue(0xFFFFFFF0u + 30u, 0xFFFFFFF0u));
    EXPECT_TRUE(TickIsDue(5000, 0xFFFFFFF0u));
}
