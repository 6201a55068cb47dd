// The C run-time generator the game's design depends on:
// state = state * 214013 + 2531011 (mod 2^32), rand() = bits 16..30 of the new state.
// Kept in its own namespace so it never collides with the C library's.
#pragma once

#include <cstdint>

namespace crt {

constexpr int32_t RandMax = 32767;

void srand(uint32_t seed);
int32_t rand();

} // namespace crt
