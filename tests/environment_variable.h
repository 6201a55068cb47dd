// Setting and clearing environment variables, and the process's id, on every
// system.
#pragma once

#include <cstdlib>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace test_environment {

inline void Set(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

// Leaves a value already there, so that one chosen from outside wins.
inline void SetIfUnset(const char* name, const char* value) {
    if (std::getenv(name) == nullptr)
        Set(name, value);
}

inline void Unset(const char* name) {
#ifdef _WIN32
    _putenv_s(name, ""); // an empty value removes the variable there
#else
    unsetenv(name);
#endif
}

inline int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

} // namespace test_environment
