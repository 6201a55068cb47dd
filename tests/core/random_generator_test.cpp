#include <climits>

#include <gtest/gtest.h>

#include "core/random_generator.h"

TEST(RandomGenerator, SeedOneGivesTheMinimalStandardSequence) {
    RandomGenerator random;
    random.SetSeed(1);
    EXPECT_DOUBLE_EQ(random.NextUniform(), 16807 * 4.656612875e-10);
    EXPECT_EQ(random.seed, 16807);
    EXPECT_DOUBLE_EQ(random.NextUniform(), 282475249 * 4.656612875e-10);
    EXPECT_EQ(random.seed, 282475249);
    random.NextUniform();
    EXPECT_EQ(random.seed, 1622650073);
}

TEST(RandomGenerator, StepIsExactNearTheModulus) {
    RandomGenerator random;
    random.SetSeed(2147483646);
    random.NextUniform();
    // 16807 * (m - 1) = -16807 (mod m)
    EXPECT_EQ(random.seed, 2147483647 - 16807);
}

TEST(RandomGenerator, SetSeedTakesTheAbsoluteValue) {
    RandomGenerator random;
    random.SetSeed(-5);
    EXPECT_EQ(random.seed, 5);
    random.SetSeed(0);
    EXPECT_EQ(random.seed, 0);
    EXPECT_EQ(random.NextUniform(), 0.0);
    EXPECT_EQ(random.seed, 0);
    // The most negative seed has no absolute value in 32 bits; its residue is 1.
    random.SetSeed(INT32_MIN);
    EXPECT_EQ(random.seed, 1);
}

TEST(RandomGenerator, FillUniformMatchesNextUniformAsFloats) {
    RandomGenerator fill;
    RandomGenerator next;
    fill.SetSeed(42);
    next.SetSeed(42);
    float values[4] = {-1, -1, -1, -1};
    fill.FillUniform(3, values);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(values[i], static_cast<float>(next.NextUniform()));
    }
    EXPECT_EQ(values[3], -1);
    EXPECT_EQ(fill.seed, next.seed);

    fill.FillUniform(0, values);
    fill.FillUniform(-2, values);
    EXPECT_EQ(fill.seed, next.seed);
}
