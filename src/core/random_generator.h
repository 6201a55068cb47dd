#pragma once

#include <cstdint>

// Park-Miller minimal standard generator (multiplier 16807, modulus 2^31 - 1),
// embedded by value in game objects and emitters.
class RandomGenerator {
  public:
    int32_t seed = 0;

    // Stores `count` draws, each rounded to float; nothing for count <= 0.
    virtual void FillUniform(int32_t count, float* values);
    // Advances the seed and returns it scaled by 4.656612875e-10.
    virtual double NextUniform();
    // Stores the absolute value; seed 0 yields 0 for ever. The most negative
    // value, whose absolute value does not fit, is stored as its residue 1.
    virtual void SetSeed(int32_t value);
};
