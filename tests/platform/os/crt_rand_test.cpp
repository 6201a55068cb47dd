#include "platform/os/crt_rand.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int32_t> Draw(uint32_t seed, int count) {
    crt::srand(seed);
    std::vector<int32_t> values;
    for (int i = 0; i < count; ++i)
        values.push_back(crt::rand());
    return values;
}

} // namespace

TEST(CrtRand, KnownSequencesForFixedSeeds) {
    EXPECT_EQ(Draw(0, 6), (std::vector<int32_t>{38, 7719, 21238, 2437, 8855, 11797}));
    EXPECT_EQ(Draw(1, 5), (std::vector<int32_t>{41, 18467, 6334, 26500, 19169}));
    // The largest seed: the multiplication must wrap, not saturate or widen.
    EXPECT_EQ(Draw(0xFFFFFFFFu, 3), (std::vector<int32_t>{35, 29739, 3374}));
}

TEST(CrtRand, ResultsStayInRangeAndReseedingRepeats) {
    std::vector<int32_t> first = Draw(12345, 2000);
    for (int32_t value : first) {
        ASSERT_GE(value, 0);
        ASSERT_LE(value, crt::RandMax);
    }
    EXPECT_EQ(Draw(12345, 2000), first);
}
