#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "montecarlo/RepeatedSum.h"

TEST(RepeatedSum, GivesTheBitsOfTheAdditionsOneByOne)
{
    std::mt19937_64 random(7);
    auto one = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const double values[] = {2.0, 5.0, 0.5, 0.1, 3.0 / 7.0, 1e-9, 1.0 + 0x1p-52, 0x1p-60, 1e15, 6.25, 4503599627370495.0};
    const std::uint64_t times[] = {0, 1, 2, 3, 60, 1000, 525600};
    for (int round = 0; round < 200; ++round) {
        const double value = round < 11 ? values[round] : one(1e-9, 1e3);
        for (const double start : {0.0, 1.0, value * 3, one(0.0, 1e6), 9007199254740990.0}) {
            for (const std::uint64_t n : times) {
                double expected = start;
                for (std::uint64_t i = 0; i < n; ++i)
                    expected += value;
                ASSERT_EQ(korvane::AddRepeatedly(start, value, n), expected) << start << " + " << n << " x " << value;
            }
        }
    }
}
