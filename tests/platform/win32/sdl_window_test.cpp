// SDL events through a real SDL window (the dummy video driver) become the
// window messages the game sees.
#include "platform/dinput8/mouse_state.h"
#include "platform/os/run_mode.h"
#include "platform/win32/clock.h"
#include "platform/win32/window_system.h"

#include "environment_variable.h"
#include "platform/window_recorder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using platform_test::Pump;
using platform_test::Recorded;
using platform_test::RecordedKeys;
using platform_test::RecordedOf;

namespace {

class SdlWindow : public testing::Test {
  protected:
    void SetUp() override {
        test_environment::SetIfUnset("SDL_VIDEODRIVER", "dummy");
        wasHeadless = platform::Headless();
        platform::UseHeadless(false);
        platform::UseRealClock();
        window = std::make_unique<platform_test::RecordingWindow>(640, 480);
        ASSERT_NE(window->handle, nullptr);
        ASSERT_NE(platform::SdlWindowOf(window->handle), nullptr);
        id = SDL_GetWindowID(platform::SdlWindowOf(window->handle));
        Pump();
        platform::TakeMouseSample();
        Recorded().clear();
    }
    void TearDown() override {
        window.reset();
        platform::ResetMouse();
        platform::UseHeadless(wasHeadless);
    }

    void PushKey(Uint32 type, SDL_Keycode key, Uint8 repeat) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = id;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void PushWindowEvent(Uint8 kind, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = id;
        e.window.event = kind;
        e.window.data1 = data1;
        e.window.data2 = data2;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    std::unique_ptr<platform_test::RecordingWindow> window;
    Uint32 id = 0;
    bool wasHeadless = false;
};

constexpr LPARAM kWasDown = LPARAM{1} << 30;

} // namespace

TEST_F(SdlWindow, HeldKeyGivesOneFirstPressManyCharactersAndOneRelease) {
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, 0);
    for (int i = 0; i < 3; ++i)
        PushKey(SDL_KEYDOWN, SDLK_ESCAPE, 1);
    PushKey(SDL_KEYUP, SDLK_ESCAPE, 0);
    Pump();

    std::vector<MSG> keys = RecordedKeys();
    ASSERT_EQ(keys.size(), 9u);
    int firstPresses = 0;
    int repeats = 0;
    int characters = 0;
    for (size_t i = 0; i + 1 < keys.size(); i += 2) {
        ASSERT_EQ(keys[i].message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(keys[i].wParam, static_cast<WPARAM>(VK_ESCAPE));
        ((keys[i].lParam & kWasDown) != 0 ? repeats : firstPresses) += 1;
        ASSERT_EQ(keys[i + 1].message, static_cast<UINT>(WM_CHAR)); // each press, first or repeated, types
        EXPECT_EQ(keys[i + 1].wParam, 27u);
        ++characters;
    }
    EXPECT_EQ(firstPresses, 1);
    EXPECT_EQ((keys[0].lParam & kWasDown), 0);
    EXPECT_EQ(repeats, 3);
    EXPECT_EQ(characters, 4);
    EXPECT_EQ(keys.back().message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(keys.back().wParam, static_cast<WPARAM>(VK_ESCAPE));
}

TEST_F(SdlWindow, TextInputTypesLatin1CharactersOnly) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = id;
    std::strcpy(e.text.text, "a \xC3\xA9\xE2\x82\xAC\x80z"); // a, space, e-acute, euro sign, stray byte, z
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Pump();
    std::vector<MSG> chars = RecordedOf(WM_CHAR);
    std::vector<WPARAM> codes;
    for (const MSG& m : chars)
        codes.push_back(m.wParam);
    EXPECT_EQ(codes, (std::vector<WPARAM>{'a', ' ', 0xE9, 'z'}));
}

TEST_F(SdlWindow, PointerMotionAndButtons) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = id;
    e.motion.x = -5; // dragged past the left edge under capture
    e.motion.y = 20;
    e.motion.xrel = 3;
    e.motion.yrel = -4;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    SDL_Event b{};
    b.type = SDL_MOUSEBUTTONDOWN;
    b.button.windowID = id;
    b.button.button = SDL_BUTTON_LEFT;
    b.button.state = SDL_PRESSED;
    b.button.x = 1;
    b.button.y = 2;
    ASSERT_EQ(SDL_PushEvent(&b), 1);
    Pump();

    std::vector<MSG> moves = RecordedOf(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(moves[0].lParam))), -5);
    EXPECT_EQ(static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(moves[0].lParam))), 20);
    EXPECT_EQ(platform::LastPointerPosition().x, -5);
    EXPECT_EQ(RecordedOf(WM_LBUTTONDOWN).size(), 1u);

    platform::MouseSample sample = platform::TakeMouseSample();
    EXPECT_EQ(sample.dx, 3);
    EXPECT_EQ(sample.dy, -4);
    EXPECT_TRUE(sample.buttons[0]);
    EXPECT_FALSE(sample.buttons[1]);
}

TEST_F(SdlWindow, ResizeMinimiseAndCloseReachTheWindowProcedure) {
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 700, 500);
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    Pump();
    int width = 0;
    int height = 0;
    platform::ClientSize(window->handle, &width, &height);
    EXPECT_EQ(width, 700);
    EXPECT_EQ(height, 500);
    std::vector<MSG> sizes = RecordedOf(WM_SIZE);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(700, 500));
    EXPECT_EQ(sizes[1].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(RecordedOf(WM_EXITSIZEMOVE).size(), 1u);
    EXPECT_FALSE(platform::WindowIsForeground(window->handle));

    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    Pump();
    EXPECT_TRUE(platform::WindowIsForeground(window->handle));
    EXPECT_EQ(RecordedOf(WM_SIZE).back().wParam, SIZE_RESTORED);
    EXPECT_FALSE(RecordedOf(WM_PAINT).empty());

    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_EQ(RecordedOf(WM_CLOSE).size(), 1u);
    EXPECT_EQ(platform::MainWindow(), nullptr); // the default handling destroyed it
}
