// The multimedia millisecond clock. 32-bit milliseconds that wrap.
// In headless mode the clock is virtual: it advances only when the message
// loop finds nothing to do (see platform::AdvanceVirtualClock).
#pragma once

#include <cstdint>

uint32_t timeGetTime();
uint32_t timeBeginPeriod(uint32_t period);
uint32_t timeEndPeriod(uint32_t period);

namespace platform {

// Switches the clock to virtual time starting at `start` milliseconds.
void UseVirtualClock(uint32_t start);
// Back to the real monotonic clock (tests that switched to virtual time).
void UseRealClock();
bool ClockIsVirtual();
// Moves virtual time forward; no effect on the real clock.
void AdvanceVirtualClock(uint32_t milliseconds);

// The main loop notes when each tick began, so that a loop with nothing to do
// can sleep until the next tick is due instead of waking every millisecond.
void NoteTickStarted(uint32_t time);
// How long an idle message loop may wait: until more than 25 ms have passed
// since the noted tick, at least 1 ms (as when no tick has been noted, or one
// is due already) and at most 26.
int IdleWaitMilliseconds();

} // namespace platform
