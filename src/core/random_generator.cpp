#include "core/random_generator.h"

namespace {

constexpr int64_t kModulus = 2147483647;
constexpr int64_t kMultiplier = 16807;
constexpr double kScale = 4.656612875e-10;

int32_t Step(int32_t seed) {
    return static_cast<int32_t>((kMultiplier * seed) % kModulus);
}

} // namespace

void RandomGenerator::FillUniform(int32_t count, float* values) {
    for (int32_t i = 0; i < count; ++i) {
        seed = Step(seed);
        values[i] = static_cast<float>(seed * kScale);
    }
}

double RandomGenerator::NextUniform() {
    seed = Step(seed);
    return seed * kScale;
}

void RandomGenerator::SetSeed(int32_t value) {
    if (value > 0) {
        seed = value;
    } else {
        // -value overflows for INT32_MIN; 2^31 is congruent to 1 modulo 2^31 - 1.
        seed = static_cast<int32_t>((-static_cast<int64_t>(value)) % kModulus);
    }
}
