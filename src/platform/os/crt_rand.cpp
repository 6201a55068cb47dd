#include "platform/os/crt_rand.h"

namespace crt {
namespace {

uint32_t state = 1; // the C run-time's seed before any srand

} // namespace

void srand(uint32_t seed) {
    state = seed;
}

int32_t rand() {
    state = state * 214013u + 2531011u; // unsigned, so the product wraps mod 2^32
    return static_cast<int32_t>((state >> 16) & 0x7FFFu);
}

} // namespace crt
