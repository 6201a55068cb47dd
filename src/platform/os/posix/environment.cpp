#include "platform/os/environment.h"

#include <cstdlib>

namespace platform {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace platform
