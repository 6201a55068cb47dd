// The desktop's input through a real SDL window (the dummy video driver):
// the full-screen switch keys, controllers and joysticks as the one button,
// focus loss and short clicks.
#include "platform/dinput8/gamepad.h"
#include "platform/dinput8/mouse_state.h"
#include "platform/harness/input_script.h"
#include "platform/os/run_mode.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_sdl.h"
#include "platform/win32/window_system.h"

#include "environment_variable.h"
#include "platform/window_recorder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using platform_test::Pump;
using platform_test::Recorded;
using platform_test::RecordedKeys;
using platform_test::RecordedOf;

namespace {

struct Key {
    UINT message;
    WPARAM code;
};

std::vector<Key> KeysOf(const std::vector<MSG>& messages) {
    std::vector<Key> keys;
    for (const MSG& m : messages)
        keys.push_back(Key{m.message, m.wParam});
    return keys;
}

bool operator==(const Key& a, const Key& b) {
    return a.message == b.message && a.code == b.code;
}

void PrintTo(const Key& k, std::ostream* out) {
    *out << "{" << k.message << ", " << k.code << "}";
}

const Key kSpaceDown{WM_KEYDOWN, VK_SPACE};
const Key kSpaceUp{WM_KEYUP, VK_SPACE};
const Key kSpaceChar{WM_CHAR, ' '};

class DesktopInput : public testing::Test {
  protected:
    void Open(int clientWidth, int clientHeight) {
        test_environment::SetIfUnset("SDL_VIDEODRIVER", "dummy");
        wasHeadless = platform::Headless();
        platform::UseHeadless(false);
        window = std::make_unique<platform_test::RecordingWindow>(clientWidth, clientHeight);
        ASSERT_NE(window->handle, nullptr);
        sdl = platform::SdlWindowOf(window->handle);
        ASSERT_NE(sdl, nullptr);
        id = SDL_GetWindowID(sdl);
        Pump();
        platform::TakeMouseSample();
        Recorded().clear();
    }
    void SetUp() override { Open(640, 480); }
    void TearDown() override {
        platform::DetachVirtualPad();
        window.reset();
        platform::ResetMouse();
        platform::UseHeadless(wasHeadless);
    }

    void PushKey(Uint32 type, SDL_Keycode key, Uint16 modifiers = 0, Uint8 repeat = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = id;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        e.key.keysym.mod = modifiers;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void PushSpaceText() {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = id;
        e.text.text[0] = ' ';
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void PushFocusLost() {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = id;
        e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    // Sets a virtual controller button and lets its events arrive.
    void Pad(int button, bool down) {
        ASSERT_TRUE(platform::SetVirtualPadButton(button, down));
        Pump();
    }

    std::unique_ptr<platform_test::RecordingWindow> window;
    SDL_Window* sdl = nullptr;
    Uint32 id = 0;
    bool wasHeadless = false;
};

} // namespace

TEST_F(DesktopInput, F11SwitchesThePresentationOnlyAndTheGameSeesNoKey) {
    HWND handle = window->handle;
    PushKey(SDL_KEYDOWN, SDLK_F11);
    PushKey(SDL_KEYDOWN, SDLK_F11, 0, 1); // held: repeats switch nothing
    PushKey(SDL_KEYUP, SDLK_F11);
    Pump();
    EXPECT_TRUE(handle->presentedFullScreen);
    EXPECT_FALSE(handle->fullScreen); // the game's mode is its own
    EXPECT_TRUE(RecordedKeys().empty());
    EXPECT_TRUE(RecordedOf(WM_SIZE).empty());
    int width = 0, height = 0;
    platform::ClientSize(handle, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_TRUE(platform::WindowIsForeground(handle)); // a windowed game's device is never lost

    PushKey(SDL_KEYDOWN, SDLK_F11);
    PushKey(SDL_KEYUP, SDLK_F11);
    Pump();
    EXPECT_FALSE(handle->presentedFullScreen);
    EXPECT_TRUE(RecordedKeys().empty());
    EXPECT_TRUE(RecordedOf(WM_SIZE).empty());
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
}

TEST_F(DesktopInput, AltEnterSwitchesAndPlainEnterStillReachesTheGame) {
    HWND handle = window->handle;
    PushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    PushKey(SDL_KEYUP, SDLK_RETURN); // Alt let go first: the release is still the chord's
    Pump();
    EXPECT_TRUE(handle->presentedFullScreen);
    EXPECT_TRUE(RecordedKeys().empty());

    PushKey(SDL_KEYDOWN, SDLK_RETURN);
    PushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, 1); // Alt pressed while Enter repeats: no switch
    PushKey(SDL_KEYUP, SDLK_RETURN, KMOD_LALT);
    Pump();
    EXPECT_TRUE(handle->presentedFullScreen);
    std::vector<Key> keys = KeysOf(RecordedKeys());
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0], (Key{WM_KEYDOWN, VK_RETURN}));
    EXPECT_EQ(keys[1], (Key{WM_CHAR, 13}));
    EXPECT_EQ(keys[2], (Key{WM_KEYDOWN, VK_RETURN}));
    EXPECT_EQ(keys[4], (Key{WM_KEYUP, VK_RETURN}));

    PushKey(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_RALT);
    PushKey(SDL_KEYUP, SDLK_KP_ENTER, KMOD_RALT);
    Pump();
    EXPECT_FALSE(handle->presentedFullScreen);
    EXPECT_EQ(RecordedKeys().size(), 5u);
}

TEST_F(DesktopInput, ControllerButtonsAreSpaceAndBackIsEscape) {
    Pad(0, true);
    Pad(0, false);
    EXPECT_EQ(KeysOf(RecordedKeys()), (std::vector<Key>{kSpaceDown, kSpaceChar, kSpaceUp}));
    EXPECT_EQ(RecordedKeys()[0].lParam & (LPARAM{1} << 30), 0); // a first press, not a repeat

    Recorded().clear();
    Pad(4, true); // Back
    Pad(4, false);
    EXPECT_EQ(KeysOf(RecordedKeys()),
              (std::vector<Key>{{WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27}, {WM_KEYUP, VK_ESCAPE}}));

    // Two buttons make one long press: down with the first, up with the last.
    Recorded().clear();
    Pad(1, true);
    Pad(14, true);
    Pad(1, false);
    EXPECT_EQ(KeysOf(RecordedKeys()), (std::vector<Key>{kSpaceDown, kSpaceChar}));
    Pad(14, false);
    EXPECT_EQ(KeysOf(RecordedKeys()), (std::vector<Key>{kSpaceDown, kSpaceChar, kSpaceUp}));
    EXPECT_FALSE(platform::SetVirtualPadButton(15, true));
    EXPECT_FALSE(platform::SetVirtualPadButton(-1, true));
}

TEST_F(DesktopInput, PadPressKeepsItsPlaceAmongKeysPostedAroundIt) {
    // As a script does for one tick: a key, the controller's first press (it
    // attaches the device), another key, with no poll in between.
    HWND handle = window->handle;
    PostMessageA(handle, WM_KEYDOWN, 'A', platform::KeyMessageLParam('A', true));
    ASSERT_TRUE(platform::SetVirtualPadButton(0, true));
    PostMessageA(handle, WM_KEYDOWN, 'B', platform::KeyMessageLParam('B', true));
    ASSERT_TRUE(platform::SetVirtualPadButton(0, false));
    ASSERT_TRUE(platform::SetVirtualPadButton(4, true));
    Pump();
    EXPECT_EQ(KeysOf(RecordedKeys()), (std::vector<Key>{{WM_KEYDOWN, 'A'},
                                                        kSpaceDown,
                                                        kSpaceChar,
                                                        {WM_KEYDOWN, 'B'},
                                                        kSpaceUp,
                                                        {WM_KEYDOWN, VK_ESCAPE},
                                                        {WM_CHAR, 27}}));
}

TEST_F(DesktopInput, JoystickPluggedInLaterWorks) {
    // The dummy display gives no window the keyboard focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    Pump(); // the arrival opens it
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);
    const int button = SDL_IsGameController(index) ? 0 : 3; // a controller's button 3 would be Y anyway
    ASSERT_EQ(SDL_JoystickSetVirtualButton(stick, button, SDL_PRESSED), 0);
    Pump();
    ASSERT_EQ(SDL_JoystickSetVirtualButton(stick, button, SDL_RELEASED), 0);
    Pump();
    EXPECT_EQ(KeysOf(RecordedKeys()), (std::vector<Key>{kSpaceDown, kSpaceChar, kSpaceUp}));

    // Unplugged while held: its button is let go.
    Recorded().clear();
    ASSERT_EQ(SDL_JoystickSetVirtualButton(stick, button, SDL_PRESSED), 0);
    Pump();
    SDL_JoystickClose(stick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    Pump();
    SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    EXPECT_EQ(KeysOf(RecordedKeys()), (std::vector<Key>{kSpaceDown, kSpaceChar, kSpaceUp}));
}

TEST_F(DesktopInput, LosingFocusReleasesHeldSpaceOnce) {
    PushKey(SDL_KEYDOWN, SDLK_SPACE);
    PushSpaceText();
    PushKey(SDL_KEYDOWN, SDLK_a);
    PushFocusLost();
    PushKey(SDL_KEYUP, SDLK_SPACE); // the desktop's own late release
    Pump();
    std::vector<Key> keys = KeysOf(RecordedKeys());
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0], kSpaceDown);
    EXPECT_EQ(keys[1], kSpaceChar);
    EXPECT_EQ(keys[2], (Key{WM_KEYDOWN, 'A'}));
    EXPECT_EQ(RecordedOf(WM_KEYUP).size(), 2u); // SPACE and A, once each
    EXPECT_NE(std::find(keys.begin() + 3, keys.end(), kSpaceUp), keys.end());
    EXPECT_NE(std::find(keys.begin() + 3, keys.end(), (Key{WM_KEYUP, 'A'})), keys.end());

    // Pressed again after the focus came back, it is an ordinary first press.
    Recorded().clear();
    PushKey(SDL_KEYDOWN, SDLK_SPACE);
    PushKey(SDL_KEYUP, SDLK_SPACE);
    Pump();
    std::vector<MSG> again = RecordedKeys();
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0].lParam & (LPARAM{1} << 30), 0);
    EXPECT_EQ(again[1].message, static_cast<UINT>(WM_KEYUP));
}

TEST_F(DesktopInput, LosingFocusReleasesAHeldPadButtonAndItsLateReleaseIsIgnored) {
    Pad(0, true);
    PushFocusLost();
    Pump();
    Pad(0, false);
    EXPECT_EQ(KeysOf(RecordedKeys()), (std::vector<Key>{kSpaceDown, kSpaceChar, kSpaceUp}));
}

TEST_F(DesktopInput, LosingFocusLetsGoOfMouseButtonsEvenUnreadClicks) {
    platform::SetMouseButton(0, true);
    PushFocusLost();
    Pump();
    EXPECT_FALSE(platform::TakeMouseSample().buttons[0]);
}

TEST(MouseClicks, ClickBetweenTwoReadsReadsAsHeldOnce) {
    platform::ResetMouse();
    platform::SetMouseButton(0, true);
    platform::SetMouseButton(0, false);
    EXPECT_TRUE(platform::TakeMouseSample().buttons[0]);
    EXPECT_FALSE(platform::TakeMouseSample().buttons[0]);
    platform::SetMouseButton(1, true);
    EXPECT_TRUE(platform::TakeMouseSample().buttons[1]);
    EXPECT_TRUE(platform::TakeMouseSample().buttons[1]); // still held
    platform::ResetMouse();
    EXPECT_FALSE(platform::TakeMouseSample().buttons[1]);
}

TEST(PadScript, PadLinesNameButtonsAndKeepTheirOrder) {
    std::vector<platform::ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(platform::ParseInputScript("5 pad down a\n5 down SPACE\n7 pad up Back\n9 pad down 14\n",
                                           "s.txt", &events, &error))
        << error;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].action, platform::ScriptAction::Pad);
    EXPECT_EQ(events[0].key, 0);
    EXPECT_EQ(events[0].value, 1);
    EXPECT_EQ(events[1].action, platform::ScriptAction::KeyDown);
    EXPECT_EQ(events[2].key, 4);
    EXPECT_EQ(events[2].value, 0);
    EXPECT_EQ(events[3].key, 14);

    const char* bad[] = {"1 pad down 15\n", "1 pad press A\n", "1 pad down\n", "1 pad down A B\n",
                         "1 pad down -1\n", "1 pad down +3\n",  "1 pad up LEFT\n"};
    for (const char* text : bad) {
        EXPECT_FALSE(platform::ParseInputScript(text, "s.txt", &events, &error)) << text;
        EXPECT_EQ(error.rfind("s.txt:1: ", 0), 0u) << error;
    }
}
