// The headless harness: reads the environment once at start-up and feeds the
// input script into the message queue and the mouse between ticks.
#include "platform/harness/harness.h"

#include "platform/capture/d3d8_capture.h"
#include "platform/d3d8/presented_frame.h"
#include "platform/dinput8/gamepad.h"
#include "platform/dinput8/mouse_state.h"
#include "platform/dsound/dsound.h"
#include "platform/harness/input_script.h"
#include "platform/image/png_writer.h"
#include "platform/os/environment.h"
#include "platform/os/files.h"
#include "platform/os/instance_lock.h"
#include "platform/os/run_mode.h"
#include "platform/win32/clock.h"
#include "platform/win32/key_map.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_sdl.h"
#include "platform/win32/window_system.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Any start works; this one keeps the game's "more than 25 ms since tick 0"
// arithmetic clear of the 32-bit wrap.
constexpr uint32_t kVirtualStart = 100000;

std::vector<platform::ScriptEvent> script;
size_t nextEvent = 0; // first event not yet posted
size_t nextShot = 0;  // first event not yet checked for a shot
size_t shotsEnd = 0;  // one past the script's last shot
uint32_t ticksDone = 0;
int64_t maxTicks = -1; // no limit
bool startPosted = false;
std::vector<std::pair<uint32_t, std::string>> captures; // tick, file
FILE* frameHashes = nullptr;                            // BACKFIRE_FRAME_HASHES, null when not asked for

bool ReadMaxTicks() {
    const std::string setting = platform::EnvironmentValue("BACKFIRE_MAX_TICKS");
    const char* text = setting.c_str();
    maxTicks = -1;
    if (text[0] == '\0')
        return true;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 0 || value > 0xFFFFFFFFll || text[0] == '-' || text[0] == '+') {
        std::fprintf(stderr, "BACKFIRE_MAX_TICKS: '%s' is not a tick count\n", text);
        return false;
    }
    maxTicks = value;
    return true;
}

// BACKFIRE_CAPTURE_FRAME=TICK:FILE[,TICK:FILE...] records the frame that each
// tick TICK presents into its FILE.
bool ReadCaptureFrames() {
    captures.clear();
    const std::string setting = platform::EnvironmentValue("BACKFIRE_CAPTURE_FRAME");
    const char* text = setting.c_str();
    if (text[0] == '\0')
        return true;
    for (const char* at = text; *at != '\0';) {
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(at, &end, 10);
        const char* stop = std::strchr(end, ',');
        const size_t length = stop != nullptr ? static_cast<size_t>(stop - end) : std::strlen(end);
        if (errno != 0 || end == at || *end != ':' || length < 2 || value < 0 || value > 0xFFFFFFFFll ||
            at[0] == '-' || at[0] == '+') {
            std::fprintf(stderr, "BACKFIRE_CAPTURE_FRAME: '%s' is not TICK:FILE[,TICK:FILE...]\n", text);
            captures.clear();
            return false;
        }
        captures.emplace_back(static_cast<uint32_t>(value), std::string(end + 1, length - 1));
        at = stop != nullptr ? stop + 1 : end + length;
    }
    return true;
}

bool OpenFrameHashes() {
    const std::string path = platform::EnvironmentValue("BACKFIRE_FRAME_HASHES");
    if (path.empty())
        return true;
    frameHashes = platform::OpenFile(path.c_str(), "ab");
    if (frameHashes == nullptr) {
        std::fprintf(stderr, "BACKFIRE_FRAME_HASHES: cannot open '%s' (%s)\n", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// 64-bit FNV-1a over 32-bit words: the size, then the pixels.
uint64_t FrameHash(const std::vector<uint32_t>& pixels, int width, int height) {
    uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](uint32_t word) {
        hash ^= word;
        hash *= 1099511628211ull;
    };
    add(static_cast<uint32_t>(width));
    add(static_cast<uint32_t>(height));
    for (const uint32_t pixel : pixels)
        add(pixel);
    return hash;
}

void WriteFrameHash(uint32_t tick) {
    if (frameHashes == nullptr)
        return;
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    platform::LastPresentedFrame(&pixels, &width, &height); // before the first frame: none, 0 x 0
    std::fprintf(frameHashes, "%" PRIu32 " %016" PRIx64 "\n", tick, FrameHash(pixels, width, height));
}

void ArmCaptureBefore(uint32_t tick) {
    for (const auto& [when, file] : captures)
        if (when == tick)
            platform::ArmFrameCapture(file);
}

void Post(const platform::ScriptEvent& event) {
    HWND window = platform::MainWindow();
    switch (event.action) {
    case platform::ScriptAction::KeyDown: {
        WPARAM key = static_cast<WPARAM>(event.key);
        PostMessageA(window, WM_KEYDOWN, key, platform::KeyMessageLParam(event.key, true));
        int typed = event.typed ? platform::TypedCharacter(event.key) : 0;
        if (typed != 0)
            PostMessageA(window, WM_CHAR, static_cast<WPARAM>(typed), 1);
        break;
    }
    case platform::ScriptAction::KeyUp:
        PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(event.key),
                     platform::KeyMessageLParam(event.key, false));
        break;
    case platform::ScriptAction::Char:
        PostMessageA(window, WM_CHAR, static_cast<WPARAM>(event.value), 1);
        break;
    case platform::ScriptAction::LeftButton:
        platform::SetMouseButton(0, event.value != 0);
        break;
    case platform::ScriptAction::RightButton:
        platform::SetMouseButton(1, event.value != 0);
        break;
    case platform::ScriptAction::Move:
        platform::AddMouseMotion(event.value, event.value2, 0);
        break;
    case platform::ScriptAction::Close:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case platform::ScriptAction::Pad:
        platform::SetVirtualPadButton(event.key, event.value != 0);
        break;
    case platform::ScriptAction::Shot:
        break; // taken after the tick runs
    }
}

void PostEventsBefore(uint32_t tick) {
    while (nextEvent < script.size() && script[nextEvent].tick <= tick)
        Post(script[nextEvent++]);
}

void SaveShotsOf(uint32_t tick) {
    for (; nextShot < script.size() && script[nextShot].tick <= tick; ++nextShot) {
        const platform::ScriptEvent& event = script[nextShot];
        if (event.action != platform::ScriptAction::Shot)
            continue;
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        if (!platform::LastPresentedFrame(&pixels, &width, &height))
            continue; // nothing presented yet: nothing to save
        if (!platform::WritePng(event.file, pixels.data(), width, height))
            std::fprintf(stderr, "backfire: cannot write the screenshot %s\n", event.file.c_str());
    }
}

void PostCloseIfDone() {
    if (maxTicks >= 0 && static_cast<int64_t>(ticksDone) == maxTicks)
        PostMessageA(platform::MainWindow(), WM_CLOSE, 0, 0);
}

// The events stamped for tick 0, once the game's window exists to take them.
void PostScriptStartEvents() {
    if (startPosted || platform::MainWindow() == nullptr)
        return;
    startPosted = true;
    PostEventsBefore(0);
    PostCloseIfDone();
}

} // namespace

namespace platform {

bool StartHarness(bool forceHeadless) {
    StopHarness();
    ForgetRunMode();
    if (forceHeadless)
        UseHeadless(true);
    KeepPresentedFramesWhile(&PresentedFrameWanted);
    SetStartEventPoster(&PostScriptStartEvents);
    if (Headless())
        UseVirtualClock(kVirtualStart);
    if (!ReadMaxTicks() || !ReadCaptureFrames() || !OpenFrameHashes())
        return false;
    ArmCaptureBefore(0);
    if (const std::string path = EnvironmentValue("BACKFIRE_SCRIPT"); !path.empty()) {
        std::string error;
        if (!LoadInputScript(path, &script, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            script.clear();
            return false;
        }
    }
    for (size_t i = 0; i < script.size(); ++i)
        if (script[i].action == ScriptAction::Shot)
            shotsEnd = i + 1;
    return true;
}

bool PresentedFrameWanted() {
    return Headless() || nextShot < shotsEnd || frameHashes != nullptr;
}

void StopHarness() {
    FlushAudioCapture();
    ReleaseInstanceLock();
    DetachVirtualPad();
    script.clear();
    nextEvent = 0;
    nextShot = 0;
    shotsEnd = 0;
    ticksDone = 0;
    maxTicks = -1;
    startPosted = false;
    captures.clear();
    if (frameHashes != nullptr)
        std::fclose(frameHashes);
    frameHashes = nullptr;
    ReleaseAllKeys();
    ResetMouse();
}

void HarnessTickDone() {
    PostScriptStartEvents();
    PumpAudio(); // the captured audio keeps step with the ticks
    SaveShotsOf(ticksDone);
    WriteFrameHash(ticksDone);
    ++ticksDone;
    ArmCaptureBefore(ticksDone);
    if (maxTicks >= 0 && ticksDone >= maxTicks) {
        PostCloseIfDone(); // no events past the limit: the run is ending
        return;
    }
    PostEventsBefore(ticksDone);
}

} // namespace platform
