#include "platform/os/run_mode.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

std::optional<bool> headless;

} // namespace

namespace platform {

bool Headless() {
    if (!headless.has_value()) {
        const char* text = std::getenv("BACKFIRE_HEADLESS");
        headless = text != nullptr && std::strcmp(text, "1") == 0;
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
