// The harness driven as the main loop drives it: messages handled, a tick,
// HarnessTickDone, repeated.
#include "platform/d3d8/d3d8_present.h"
#include "platform/dinput8/mouse_state.h"
#include "platform/harness/harness.h"
#include "platform/image/image_decode.h"
#include "platform/os/run_mode.h"
#include "platform/win32/clock.h"
#include "platform/win32/window_system.h"

#include "environment_variable.h"
#include "platform/window_recorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using platform_test::Pump;
using platform_test::Recorded;

namespace {

// Stands in the recording for "tick N ran here".
constexpr UINT kTickMark = 0x8000;

struct Step {
    UINT message;
    WPARAM wParam;
    bool operator==(const Step&) const = default;
};

class Harness : public testing::Test {
  protected:
    void SetUp() override {
        wasHeadless = platform::Headless();
        test_environment::Set("BACKFIRE_HEADLESS", "1");
        test_environment::Unset("BACKFIRE_MAX_TICKS");
        test_environment::Set("BACKFIRE_INSTANCE_LOCK", dir.File("lock").c_str());
    }
    void TearDown() override {
        window.reset();
        platform::StopHarness();
        test_environment::Unset("BACKFIRE_SCRIPT");
        test_environment::Unset("BACKFIRE_MAX_TICKS");
        test_environment::Unset("BACKFIRE_INSTANCE_LOCK");
        test_environment::Unset("BACKFIRE_HEADLESS");
        platform::UseRealClock();
        platform::UseHeadless(wasHeadless);
    }

    bool Start(const std::string& script) {
        std::ofstream(dir.File("script.txt")) << script;
        test_environment::Set("BACKFIRE_SCRIPT", dir.File("script.txt").c_str());
        return platform::StartHarness();
    }
    void OpenWindow() {
        window = std::make_unique<platform_test::RecordingWindow>();
        ASSERT_NE(window->handle, nullptr);
    }
    // Runs `ticks` ticks and returns what the window saw, ticks marked.
    std::vector<Step> Run(int ticks) {
        for (int t = 0; t < ticks; ++t) {
            Pump();
            MSG mark{};
            mark.message = kTickMark;
            mark.wParam = static_cast<WPARAM>(t);
            Recorded().push_back(mark);
            platform::HarnessTickDone();
        }
        Pump();
        std::vector<Step> steps;
        for (const MSG& m : Recorded())
            if (m.message == kTickMark || m.message == WM_KEYDOWN || m.message == WM_KEYUP ||
                m.message == WM_CHAR || m.message == WM_CLOSE)
                steps.push_back(Step{m.message, m.wParam});
        return steps;
    }

    platform_test::TempDirectory dir;
    std::unique_ptr<platform_test::RecordingWindow> window;
    bool wasHeadless = false;
};

Step Tick(int t) {
    return Step{kTickMark, static_cast<WPARAM>(t)};
}

} // namespace

TEST_F(Harness, EventsArriveBeforeTheirTickInFileOrder) {
    ASSERT_TRUE(Start("0 down RETURN\n"
                      "0 up RETURN\n"
                      "2 char z\n"
                      "2 down LEFT\n"));
    EXPECT_TRUE(platform::Headless());
    EXPECT_TRUE(platform::ClockIsVirtual());
    OpenWindow();
    std::vector<Step> expected = {
        {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYUP, VK_RETURN}, Tick(0), Tick(1), {WM_CHAR, 'z'},
        {WM_KEYDOWN, VK_LEFT},   Tick(2),
    };
    EXPECT_EQ(Run(3), expected);
}

TEST_F(Harness, HoldPressesTypesAndReleasesLater) {
    ASSERT_TRUE(Start("1 hold SPACE 3\n"
                      "2 hold ESCAPE 1\n"));
    OpenWindow();
    std::vector<Step> expected = {
        Tick(0),
        {WM_KEYDOWN, VK_SPACE},
        {WM_CHAR, ' '},
        Tick(1),
        {WM_KEYDOWN, VK_ESCAPE},
        {WM_CHAR, 27},
        Tick(2),
        {WM_KEYUP, VK_ESCAPE},
        Tick(3),
        {WM_KEYUP, VK_SPACE},
        Tick(4),
    };
    EXPECT_EQ(Run(5), expected);
}

TEST_F(Harness, SecondDownWithoutUpIsAnAutoRepeat) {
    ASSERT_TRUE(Start("0 down SPACE\n1 down SPACE\n2 up SPACE\n3 down SPACE\n"));
    OpenWindow();
    Run(4);
    std::vector<MSG> downs = platform_test::RecordedOf(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].lParam & (LPARAM{1} << 30), 0);
    EXPECT_NE(downs[1].lParam & (LPARAM{1} << 30), 0);
    EXPECT_EQ(downs[2].lParam & (LPARAM{1} << 30), 0);
}

TEST_F(Harness, MouseLinesReachTheNextPoll) {
    ASSERT_TRUE(Start("1 move 4 -2\n1 move 1 1\n1 lmb down\n2 lmb up\n2 rmb down\n"));
    OpenWindow();
    Run(1);
    platform::MouseSample first = platform::TakeMouseSample(); // as tick 1 would poll
    EXPECT_EQ(first.dx, 5);
    EXPECT_EQ(first.dy, -1);
    EXPECT_TRUE(first.buttons[0]);
    platform::HarnessTickDone();
    platform::MouseSample second = platform::TakeMouseSample();
    EXPECT_EQ(second.dx, 0);
    EXPECT_FALSE(second.buttons[0]);
    EXPECT_TRUE(second.buttons[1]);
}

TEST_F(Harness, MaxTicksClosesOnceAfterTheLastTick) {
    test_environment::Set("BACKFIRE_MAX_TICKS", "2");
    ASSERT_TRUE(Start("5 close\n2 down SPACE\n"));
    OpenWindow();
    std::vector<Step> expected = {Tick(0), Tick(1), {WM_CLOSE, 0}};
    EXPECT_EQ(Run(2), expected);
    EXPECT_EQ(platform::MainWindow(), nullptr); // the default handling destroyed the window
}

TEST_F(Harness, CloseLineAndEmptyPollsKeepTicksTwentySixMillisecondsApart) {
    ASSERT_TRUE(Start("1 close\n"));
    OpenWindow();
    // The main loop's pacing: a tick once more than 25 ms have passed.
    uint32_t last = timeGetTime();
    std::vector<uint32_t> tickTimes;
    while (tickTimes.size() < 3) {
        MSG msg{};
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
            continue;
        }
        uint32_t now = timeGetTime();
        if (!(last < now - 25))
            continue;
        last = timeGetTime();
        tickTimes.push_back(last);
        platform::HarnessTickDone();
    }
    EXPECT_EQ(tickTimes[1] - tickTimes[0], 26u);
    EXPECT_EQ(tickTimes[2] - tickTimes[1], 26u);
    EXPECT_EQ(platform_test::RecordedOf(WM_CLOSE).size(), 1u);
}

TEST_F(Harness, ShotSavesTheFrameOfTheTickThatRan) {
    ASSERT_TRUE(Start("1 shot " + dir.File("one.png") + "\n"));
    OpenWindow();
    const uint32_t pixels[6] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu, 0x00000000u, 0x00123456u};
    Run(1);
    platform::RecordPresentedFrame(pixels, 3, 2); // tick 1 presents
    platform::HarnessTickDone();
    platform::DecodedImage image;
    ASSERT_TRUE(platform::DecodeImage(dir.File("one.png"), &image));
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.argb[static_cast<size_t>(i)], pixels[i] | 0xFF000000u) << i;
}

TEST_F(Harness, FramesAreKeptInAWindowOnlyWhileAShotIsLeft) {
    test_environment::Set("BACKFIRE_HEADLESS", "0");
    test_environment::SetIfUnset("SDL_VIDEODRIVER", "dummy"); // a window, though no display is needed
    ASSERT_TRUE(Start("0 down SPACE\n2 shot " + dir.File("two.png") + "\n3 up SPACE\n"));
    OpenWindow();
    EXPECT_TRUE(platform::PresentedFrameWanted());
    Run(2); // ticks 0 and 1
    EXPECT_TRUE(platform::PresentedFrameWanted()); // tick 2 presents the shot's frame
    Run(1);
    EXPECT_FALSE(platform::PresentedFrameWanted());

    platform::StopHarness();
    ASSERT_TRUE(Start("0 down SPACE\n"));
    EXPECT_FALSE(platform::PresentedFrameWanted());

    platform::StopHarness();
    test_environment::Set("BACKFIRE_HEADLESS", "1");
    ASSERT_TRUE(Start("0 down SPACE\n"));
    EXPECT_TRUE(platform::PresentedFrameWanted()); // headless captures read every frame
}

TEST_F(Harness, MalformedScriptStopsBeforeTheFirstTick) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Start("0 down SPACE\n\n3 hold SPACE\n"));
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(message.rfind(dir.File("script.txt") + ":3: ", 0), 0u) << message;

    test_environment::Set("BACKFIRE_SCRIPT", dir.File("absent.txt").c_str());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::StartHarness());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("absent.txt"), std::string::npos);
}

TEST_F(Harness, BadTickLimitIsRefused) {
    for (const char* bad : {"ten", "-1", "5x", "99999999999"}) {
        test_environment::Set("BACKFIRE_MAX_TICKS", bad);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(Start("")) << bad;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("BACKFIRE_MAX_TICKS"), std::string::npos);
    }
}
