// The message queue and the window calls on a headless window.
#include "platform/os/run_mode.h"
#include "platform/win32/clock.h"
#include "platform/win32/window_system.h"

#include "platform/window_recorder.h"

#include <gtest/gtest.h>

using platform_test::Pump;
using platform_test::Recorded;
using platform_test::RecordedKeys;
using platform_test::RecordedOf;
using platform_test::RecordingWindow;

namespace {

class HeadlessMessages : public testing::Test {
  protected:
    void SetUp() override {
        wasHeadless = platform::Headless();
        platform::UseHeadless(true);
        platform::UseVirtualClock(100000);
    }
    void TearDown() override {
        platform::UseRealClock();
        platform::UseHeadless(wasHeadless);
    }
    bool wasHeadless = false;
};

constexpr DWORD kGameStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_MINIMIZEBOX;

} // namespace

TEST_F(HeadlessMessages, MenuAllowanceMakesTheClientAreaOneMenuBarTaller) {
    RECT rect{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRect(&rect, kGameStyle, TRUE));
    RECT noMenu{0, 0, 800, 600};
    AdjustWindowRect(&noMenu, kGameStyle, FALSE);
    EXPECT_EQ(noMenu.top - rect.top, 20);
    EXPECT_EQ(rect.right - rect.left, noMenu.right - noMenu.left);

    RecordingWindow window; // registers the class
    HWND hwnd = CreateWindowExA(0, "Recorder", "T", kGameStyle, 20, 15, rect.right - rect.left,
                                rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 620);
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(outer.left, 20);
    EXPECT_EQ(outer.top, 15);
    int width = 0;
    int height = 0;
    platform::ClientSize(hwnd, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 620);
    EXPECT_EQ(platform::SdlWindowOf(hwnd), nullptr); // headless: no SDL window at all
    DestroyWindow(hwnd);

    // Without a caption there is no frame to allow for.
    RECT popup{0, 0, 640, 480};
    AdjustWindowRect(&popup, WS_POPUP, FALSE);
    EXPECT_EQ(popup.left, 0);
    EXPECT_EQ(popup.bottom, 480);
}

TEST_F(HeadlessMessages, PostedMessagesArriveInOrderThenPaintThenQuit) {
    RecordingWindow window;
    HWND hwnd = window.handle;
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 1);
    PostMessageA(hwnd, WM_KEYUP, 'A', 1);
    PostQuitMessage(3);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN)); // still there
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT)); // a new visible window is owed one paint
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(HeadlessMessages, AnEmptyPollAdvancesVirtualTimeByOneMillisecond) {
    RecordingWindow window;
    Pump();
    uint32_t start = timeGetTime();
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(timeGetTime(), start + 1);
    // A waiting message costs no time: messages always come first.
    PostMessageA(window.handle, WM_NULL, 0, 0);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(timeGetTime(), start + 1);
}

TEST_F(HeadlessMessages, TranslateMessageTypesControlCharactersRightAfterTheirKey) {
    RecordingWindow window;
    Pump();
    Recorded().clear();
    for (int key : {VK_ESCAPE, VK_RETURN, VK_BACK, VK_TAB, VK_SPACE, int{'A'}}) {
        PostMessageA(window.handle, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        PostMessageA(window.handle, WM_KEYUP, static_cast<WPARAM>(key), 1);
    }
    Pump();
    std::vector<MSG> keys = RecordedKeys();
    std::vector<std::pair<UINT, WPARAM>> seen;
    for (const MSG& m : keys)
        seen.emplace_back(m.message, m.wParam);
    std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27},         {WM_KEYUP, VK_ESCAPE}, {WM_KEYDOWN, VK_RETURN},
        {WM_CHAR, 13},           {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_BACK}, {WM_CHAR, 8},
        {WM_KEYUP, VK_BACK},     {WM_KEYDOWN, VK_TAB},  {WM_CHAR, 9},          {WM_KEYUP, VK_TAB},
        {WM_KEYDOWN, VK_SPACE},  {WM_KEYUP, VK_SPACE},  {WM_KEYDOWN, 'A'},     {WM_KEYUP, 'A'},
    };
    EXPECT_EQ(seen, expected);
    MSG up{};
    up.message = WM_KEYUP;
    up.wParam = VK_ESCAPE;
    EXPECT_FALSE(TranslateMessage(&up));
    EXPECT_FALSE(TranslateMessage(nullptr));
}

TEST_F(HeadlessMessages, DeadHandlesAreRefusedAndTheirMessagesDropped) {
    HWND stale = nullptr;
    {
        RecordingWindow window;
        stale = window.handle;
        PostMessageA(stale, WM_COMMAND, 0, 0);
    }
    EXPECT_EQ(platform::MainWindow(), nullptr);
    Recorded().clear();
    EXPECT_FALSE(PostMessageA(stale, WM_CLOSE, 0, 0));
    EXPECT_EQ(SendMessageA(stale, WM_CLOSE, 0, 0), 0);
    MSG msg{};
    msg.hwnd = stale;
    msg.message = WM_CLOSE;
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_FALSE(DestroyWindow(stale));
    RECT rect{};
    EXPECT_FALSE(GetClientRect(stale, &rect));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)); // the queued one went with its window
    EXPECT_TRUE(Recorded().empty());

    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "T", kGameStyle, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
}

TEST_F(HeadlessMessages, CloseByDefaultDestroysTheWindow) {
    RecordingWindow window;
    HWND hwnd = window.handle;
    Pump();
    Recorded().clear();
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(Recorded().size(), 2u);
    EXPECT_EQ(Recorded()[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(Recorded()[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(platform::MainWindow(), nullptr);
    EXPECT_FALSE(platform::WindowIsForeground(hwnd));
}
