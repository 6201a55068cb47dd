// A small deterministic generator (the same numbers on every machine and
// standard library) and integer hashing for noise lattices.
#pragma once

#include <cstdint>

namespace assetgen {

inline uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}
inline uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed) {
    return Hash(a * 0x9E3779B1U ^ Hash(b ^ Hash(seed)));
}
// 0..1 from a hash.
inline float HashUnit(uint32_t h) {
    return float(h >> 8) * (1.0f / 16777216.0f);
}

class Rng {
  public:
    explicit Rng(uint32_t seed) : state(Hash(seed) | 1u) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float Unit() { return HashUnit(Next()); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    int Int(int n) { return int(Next() % uint32_t(n)); }
    // Symmetric -1..1 white noise.
    float Signed() { return Unit() * 2.0f - 1.0f; }

  private:
    uint32_t state;
};

} // namespace assetgen
