#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "montecarlo/RepeatedSum.h"

namespace {

double AddOneByOne(double sum, double value, std::uint64_t times)
{
    for (std::uint64_t i = 0; i < times; ++i)
        sum += value;
    return sum;
}

}  // namespace

TEST(RepeatedSum, GivesTheBitsOfTheAdditionsOneByOne)
{
    std::mt19937_64 random(7);
    auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    // Whole and binary fractions, values of no short binary form, ones that tie with the sum's
    // spacing (2^-53 against sums in [1, 2)), tiny and huge ones.
    std::vector<double> values = {2.0,   5.0,         0.5,    0.1,    3.0 / 7.0,         1e-9,
                                  6.25,  0x1p-53,     0x3p-53, 0x1p-54, 1.0 + 0x1p-52,   0x1p-60,
                                  1e15,  4503599627370495.0, 1e-310, 2.0 / 3.0};
    for (int i = 0; i < 100; ++i)
        values.push_back(uniform(1e-9, 1e3));
    const std::vector<std::uint64_t> times = {0, 1, 2, 3, 60, 1000, 87600};
    for (const double value : values) {
        // Sums at 0, just below and at powers of two, and anywhere.
        for (const double start : {0.0, 1.0, std::nextafter(1.0, 0.0), std::nextafter(1024.0, 0.0), value * 3,
                                   uniform(0.0, 1e6), 9007199254740990.0, 1e-300}) {
            for (const std::uint64_t n : times) {
                ASSERT_EQ(korvane::AddRepeatedly(start, value, n), AddOneByOne(start, value, n))
                    << std::hexfloat << start << " + " << n << " x " << value;
            }
        }
    }
    // The year at one quantum a minute, and a sum whose additions stop changing it.
    EXPECT_EQ(korvane::AddRepeatedly(0.0, 2.0 / 3.0, 525600), AddOneByOne(0.0, 2.0 / 3.0, 525600));
    EXPECT_EQ(korvane::AddRepeatedly(1e17, 3.0, 525600), 1e17);
    EXPECT_EQ(korvane::AddRepeatedly(-1.0, 0.25, 9), AddOneByOne(-1.0, 0.25, 9));
}
