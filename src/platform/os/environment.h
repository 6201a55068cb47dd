// The process environment as the game reads it: values are UTF-8 on every
// system, so a path in a variable may hold letters outside ASCII.
#pragma once

#include <string>

namespace platform {

// The value of the variable `name`; empty when unset.
std::string EnvironmentValue(const char* name);

} // namespace platform
