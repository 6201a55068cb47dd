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

} // namespace platform
