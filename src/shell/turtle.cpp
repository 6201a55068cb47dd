#include "shell/turtle.h"

#include <algorithm>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "platform/win32/clock.h"

Turtle* turtle = nullptr;

namespace {

constexpr uint32_t SlowRate = 24;
constexpr uint32_t SlowestCountedRate = 5;

} // namespace

Turtle::Turtle() : icon(std::make_unique<Bitmap>("dat\\turtleIcon.png")) {}

void Turtle::Handle() {
    HandleAt(timeGetTime());
}

void Turtle::HandleAt(uint32_t now) {
    // Unsigned difference: right across the clock's wrap.
    const uint32_t dt = std::max(now - lastTime, 1u);
    lastTime = now;
    const uint32_t rate = std::max(1000u / dt, SlowestCountedRate);
    averageRate = (7 * averageRate + rate) >> 3;
    if (IsShowing() && TheApplication != nullptr) {
        icon->DrawCentered(static_cast<float>(TheApplication->GetScreenWidth() - 64),
                           static_cast<float>(TheApplication->GetScreenHeight() - 32));
    }
}

bool Turtle::IsShowing() const {
    return averageRate < SlowRate;
}
