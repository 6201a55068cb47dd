#include "platform/os/run_mode.h"

#include "platform/os/environment.h"

#include <optional>

namespace {

std::optional<bool> headless;

} // namespace

namespace platform {

bool Headless() {
    if (!headless.has_value()) {
        headless = EnvironmentValue("BACKFIRE_HEADLESS") == "1";
    }
    return *headless;
}

void UseHeadless(bool value) {
    headless = value;
}

void ForgetRunMode() {
    headless.reset();
}

} // namespace platform
