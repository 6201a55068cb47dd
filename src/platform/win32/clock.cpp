#include "platform/win32/clock.h"

#include "platform/win32/win32.h"

#include <algorithm>
#include <atomic>
#include <ctime>

namespace {

std::atomic<bool> virtualMode{false};
std::atomic<uint32_t> virtualNow{0};
std::atomic<bool> tickNoted{false};
std::atomic<uint32_t> lastTickStart{0};

uint32_t MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms); // wraps every 49.7 days, as the game's clock does
}

} // namespace

uint32_t timeGetTime() {
    return virtualMode.load() ? virtualNow.load() : MonotonicMilliseconds();
}

// The monotonic clock already has millisecond resolution: nothing to raise.
uint32_t timeBeginPeriod(uint32_t) {
    return 0;
}
uint32_t timeEndPeriod(uint32_t) {
    return 0;
}

namespace platform {

void UseVirtualClock(uint32_t start) {
    virtualNow.store(start);
    virtualMode.store(true);
}

void UseRealClock() {
    virtualMode.store(false);
}

bool ClockIsVirtual() {
    return virtualMode.load();
}

void AdvanceVirtualClock(uint32_t milliseconds) {
    if (virtualMode.load())
        virtualNow.fetch_add(milliseconds);
}

void NoteTickStarted(uint32_t time) {
    lastTickStart.store(time);
    tickNoted.store(true);
}

int IdleWaitMilliseconds() {
    if (!tickNoted.load())
        return 1;
    constexpr int32_t kDueAfter = 26; // the main loop ticks once more than 25 ms have passed
    // signed, so a clock that has passed the due time (or wrapped) gives <= 0
    const int32_t untilDue = static_cast<int32_t>(lastTickStart.load() + kDueAfter - timeGetTime());
    return std::clamp(untilDue, 1, kDueAfter);
}

} // namespace platform

// Virtual time passes at once instead of blocking the headless run.
void Sleep(DWORD milliseconds) {
    if (platform::ClockIsVirtual()) {
        platform::AdvanceVirtualClock(milliseconds);
        return;
    }
    timespec wait{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}
