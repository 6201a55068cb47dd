// Game controllers and joysticks: SDL device and button events become the
// key messages of SPACE and Escape.
#include "platform/dinput8/gamepad.h"

#include "platform/win32/key_map.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_sdl.h"
#include "platform/win32/window_system.h"

#include <SDL.h>

#include <cstdio>
#include <map>
#include <utility>

namespace platform {
namespace {

struct OpenDevice {
    SDL_GameController* controller = nullptr; // set for a device SDL has a controller mapping for
    SDL_Joystick* joystick = nullptr;         // set otherwise
};

int starts = 0;
std::map<SDL_JoystickID, OpenDevice> devices;
// Held buttons by device and button, with the key each one holds.
std::map<std::pair<SDL_JoystickID, int>, int> held;
// How many held buttons hold each key; the key is down while this is above 0.
std::map<int, int> holders;
SDL_Joystick* virtualPad = nullptr;
// Joystick and controller events fill this block of SDL's event numbers.
constexpr Uint32 kLastDeviceEvent = SDL_JOYAXISMOTION + 0xFF;

void PostKey(int virtualKey, bool down) {
    HWND window = MainWindow();
    if (window == nullptr)
        return;
    PostMessageA(window, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey),
                 KeyMessageLParam(virtualKey, down));
    int typed = down ? TypedCharacter(virtualKey) : 0;
    if (typed != 0)
        PostMessageA(window, WM_CHAR, static_cast<WPARAM>(typed), 1);
}

void Press(SDL_JoystickID device, int button, int virtualKey) {
    if (!held.emplace(std::make_pair(device, button), virtualKey).second)
        return;
    if (holders[virtualKey]++ == 0)
        PostKey(virtualKey, true);
}

void Release(SDL_JoystickID device, int button) {
    auto it = held.find(std::make_pair(device, button));
    if (it == held.end())
        return; // forgotten on focus loss, or pressed before the device was opened
    int virtualKey = it->second;
    held.erase(it);
    if (--holders[virtualKey] == 0) {
        holders.erase(virtualKey);
        PostKey(virtualKey, false);
    }
}

void ReleaseDevice(SDL_JoystickID device) {
    for (auto it = held.begin(); it != held.end();) {
        auto next = std::next(it);
        if (it->first.first == device)
            Release(device, it->first.second);
        it = next;
    }
}

void Open(int index) {
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    if (id < 0 || devices.count(id) != 0)
        return;
    OpenDevice device;
    if (SDL_IsGameController(index))
        device.controller = SDL_GameControllerOpen(index);
    if (device.controller == nullptr)
        device.joystick = SDL_JoystickOpen(index);
    if (device.controller != nullptr || device.joystick != nullptr)
        devices.emplace(id, device);
}

void Close(SDL_JoystickID id) {
    auto it = devices.find(id);
    if (it == devices.end())
        return;
    ReleaseDevice(id);
    if (it->second.controller != nullptr)
        SDL_GameControllerClose(it->second.controller);
    if (it->second.joystick != nullptr)
        SDL_JoystickClose(it->second.joystick);
    devices.erase(it);
}

bool IsController(SDL_JoystickID id) {
    auto it = devices.find(id);
    return it != devices.end() && it->second.controller != nullptr;
}

int KeyOfControllerButton(int button) {
    return button == SDL_CONTROLLER_BUTTON_BACK ? VK_ESCAPE : VK_SPACE;
}

// Reads the virtual controller's new state and turns the device and button
// events it makes into messages at once, so a press lands in the message
// queue exactly where a key posted at the same moment would, not at a later
// poll behind it.
void DeliverPadEventsNow() {
    SDL_JoystickUpdate();
    SDL_Event events[16];
    int count = 0;
    while ((count = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_JOYAXISMOTION, kLastDeviceEvent)) > 0)
        for (int i = 0; i < count; ++i)
            HandleGamepadEvent(events[i]);
}

} // namespace

bool StartGamepads() {
    if (starts > 0) {
        ++starts;
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "SDL: no game controllers: %s\n", SDL_GetError());
        return false;
    }
    starts = 1;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        Open(i);
    return true;
}

void StopGamepads() {
    if (starts == 0 || --starts > 0)
        return;
    while (!devices.empty())
        Close(devices.begin()->first);
    held.clear();
    holders.clear();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
}

bool GamepadsRunning() {
    return starts > 0;
}

bool HandleGamepadEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_JOYDEVICEADDED:
        Open(event.jdevice.which);
        return true;
    case SDL_JOYDEVICEREMOVED:
        Close(event.jdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEREMAPPED:
        return true; // the joystick events of the same device open and close it
    case SDL_CONTROLLERBUTTONDOWN:
        Press(event.cbutton.which, event.cbutton.button, KeyOfControllerButton(event.cbutton.button));
        return true;
    case SDL_CONTROLLERBUTTONUP:
        Release(event.cbutton.which, event.cbutton.button);
        return true;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        // A controller's buttons arrive as controller events too; those count.
        if (!IsController(event.jbutton.which)) {
            if (event.type == SDL_JOYBUTTONDOWN)
                Press(event.jbutton.which, event.jbutton.button, VK_SPACE);
            else
                Release(event.jbutton.which, event.jbutton.button);
        }
        return true;
    default:
        return false;
    }
}

void ForgetHeldPadButtons() {
    held.clear();
    holders.clear();
}

bool SetVirtualPadButton(int button, bool down) {
    if (button < 0 || button >= kVirtualPadButtons)
        return false;
    if (virtualPad == nullptr) {
        if (!StartGamepads())
            return false;
        // Scripts press buttons whether or not a window has the focus.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, kVirtualPadButtons, 0);
        if (index >= 0) {
            Open(index); // before the first press, so no press is lost
            virtualPad = SDL_JoystickOpen(index);
        }
        if (virtualPad == nullptr) {
            std::fprintf(stderr, "SDL: no virtual controller: %s\n", SDL_GetError());
            if (index >= 0)
                SDL_JoystickDetachVirtual(index);
            SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
            StopGamepads();
            return false;
        }
    }
    if (SDL_JoystickSetVirtualButton(virtualPad, button, down ? SDL_PRESSED : SDL_RELEASED) != 0)
        return false;
    DeliverPadEventsNow();
    return true;
}

void DetachVirtualPad() {
    if (virtualPad == nullptr)
        return;
    SDL_JoystickID id = SDL_JoystickInstanceID(virtualPad);
    SDL_JoystickClose(virtualPad);
    virtualPad = nullptr;
    Close(id);
    // Device indices shift as devices come and go; the instance id does not.
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id)
            SDL_JoystickDetachVirtual(i);
    SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    StopGamepads();
}

} // namespace platform
