#include "platform/dinput8/dinput8.h"
#include "platform/dinput8/mouse_state.h"
#include "platform/os/run_mode.h"
#include "platform/win32/window_sdl.h"

#include "platform/window_recorder.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class Mouse : public testing::Test {
  protected:
    void SetUp() override {
        wasHeadless = platform::Headless();
        platform::UseHeadless(true);
        window = std::make_unique<platform_test::RecordingWindow>();
        platform::ResetMouse();
        void* out = nullptr;
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &out, nullptr), DI_OK);
        input = static_cast<IDirectInput8A*>(out);
        ASSERT_EQ(input->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
    }
    void TearDown() override {
        mouse->Release();
        input->Release();
        window.reset();
        platform::ResetMouse();
        platform::UseHeadless(wasHeadless);
    }
    // As the game sets the mouse up: the 20-byte format, non-exclusive, foreground.
    void SetUpAsTheGameDoes() {
        ASSERT_EQ(mouse->SetDataFormat(&c_dfDIMouse2), DI_OK);
        ASSERT_EQ(mouse->SetCooperativeLevel(window->handle, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    }
    DIMOUSESTATE2 Read() {
        DIMOUSESTATE2 state{};
        EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), DI_OK);
        return state;
    }

    std::unique_ptr<platform_test::RecordingWindow> window;
    IDirectInput8A* input = nullptr;
    IDirectInputDevice8A* mouse = nullptr;
    bool wasHeadless = false;
};

} // namespace

TEST_F(Mouse, ReadsFailUntilAcquiredAndWithTheWrongSize) {
    DIMOUSESTATE2 state{};
    EXPECT_EQ(mouse->Acquire(), DIERR_INVALIDPARAM); // no data format yet
    SetUpAsTheGameDoes();
    EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->Acquire(), S_FALSE);
    EXPECT_EQ(mouse->GetDeviceState(16, &state), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->GetDeviceState(sizeof(state), nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->Unacquire(), DI_OK);
    EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);

    DIDATAFORMAT small{sizeof(DIDATAFORMAT), 16};
    EXPECT_EQ(mouse->SetDataFormat(&small), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(
        mouse->SetCooperativeLevel(window->handle, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
        DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DIERR_INVALIDPARAM);
}

TEST_F(Mouse, MotionAddsUpBetweenReadsAndButtonsShowAsHighBit) {
    SetUpAsTheGameDoes();
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    platform::AddMouseMotion(3, 4, 0);
    platform::AddMouseMotion(2, -9, 120);
    platform::SetMouseButton(0, true);
    DIMOUSESTATE2 state = Read();
    EXPECT_EQ(state.lX, 5);
    EXPECT_EQ(state.lY, -5);
    EXPECT_EQ(state.lZ, 120);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0x00);

    state = Read(); // the movement was consumed, the button is still held
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.rgbButtons[0], 0x80);

    platform::SetMouseButton(0, false);
    platform::SetMouseButton(1, true);
    platform::SetMouseButton(8, true); // no such button: ignored
    state = Read();
    EXPECT_EQ(state.rgbButtons[0], 0x00);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
}

TEST_F(Mouse, HugeMovementSaturatesInsteadOfOverflowing) {
    SetUpAsTheGameDoes();
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    platform::AddMouseMotion(kMax, kMin, 0);
    platform::AddMouseMotion(kMax, -kMax, 0);
    DIMOUSESTATE2 state = Read();
    EXPECT_EQ(state.lX, kMax);
    EXPECT_EQ(state.lY, kMin);
}

TEST_F(Mouse, ForegroundMouseNeedsTheFocus) {
    SetUpAsTheGameDoes();
    window->handle->focused = false;
    EXPECT_EQ(mouse->Acquire(), DIERR_OTHERAPPHASPRIO);
    window->handle->focused = true;
    ASSERT_EQ(mouse->Acquire(), DI_OK);

    window->handle->focused = false; // the window went to the background
    DIMOUSESTATE2 state{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), DIERR_INPUTLOST);
    EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);
    window->handle->focused = true;
    EXPECT_EQ(mouse->Acquire(), DI_OK);

    // A background mouse does not care.
    window->handle->focused = false;
    ASSERT_EQ(mouse->SetCooperativeLevel(window->handle, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), DI_OK);
    window->handle->focused = true;
}
