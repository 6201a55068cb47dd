// Setting and clearing environment variables, on every system.
#pragma once

#include <cstdlib>

namespace test_environment {

inline void Set(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

inline void Unset(const char* name) {
#ifdef _WIN32
    _putenv_s(name, ""); // an empty value removes the variable there
#else
    unsetenv(name);
#endif
}

} // namespace test_environment
