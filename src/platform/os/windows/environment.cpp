#include "platform/os/environment.h"

#include "platform/os/windows/wide.h"

namespace platform {

// The narrow environment holds the values in the system's code page, which
// cannot spell every path: the wide one is read and converted.
std::string EnvironmentValue(const char* name) {
    return EnvironmentVariable(Wide(name).c_str());
}

} // namespace platform
