// A sum that grows by the same value in each of many quanta, taken in one step where that gives
// the same bits as the additions one by one.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace korvane {

namespace detail {

// x = mantissa x 2^exponent with an odd mantissa; x finite and above 0.
struct OddMantissa {
    std::uint64_t mantissa;
    int exponent;
};

inline OddMantissa Decompose(double x)
{
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent);  // in [0.5, 1)
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int zeros = std::countr_zero(mantissa);
    return {mantissa >> zeros, exponent - 53 + zeros};
}

}  // namespace detail

// What adding `value` to `sum` `times` times in a row gives, to the last bit.
//
// When sum and value are whole multiples of one power of two 2^e and sum + times x value stays
// below 2^53 x 2^e, every partial sum is such a multiple below 2^53 x 2^e, so each addition is
// exact; times x value and the one addition are then exact as well and give the same bits.
// Otherwise the additions are made one by one.
inline double AddRepeatedly(double sum, double value, std::uint64_t times)
{
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 53;
    if (value == 0.0 && !(sum == 0.0 && std::signbit(sum)))
        return sum;  // every addition leaves it as it is
    const bool plain = std::isfinite(sum) && std::isfinite(value) && !std::signbit(sum) && value > 0.0 &&
                       times < kLimit;
    if (plain && times > 0) {
        const detail::OddMantissa v = detail::Decompose(value);
        const detail::OddMantissa s = sum == 0.0 ? detail::OddMantissa{0, v.exponent} : detail::Decompose(sum);
        const int e = std::min(s.exponent, v.exponent);
        const int shiftS = s.exponent - e;
        const int shiftV = v.exponent - e;
        // Both mantissas, counted in units of 2^e, must stay below 2^53.
        const bool fits = static_cast<int>(std::bit_width(s.mantissa)) + shiftS <= 53 &&
                          static_cast<int>(std::bit_width(v.mantissa)) + shiftV <= 53 && e <= 1023 - 53;
        if (fits) {
            const std::uint64_t a = s.mantissa << shiftS;
            const std::uint64_t b = v.mantissa << shiftV;
            if (b <= (kLimit - 1 - a) / times)
                return sum + static_cast<double>(times) * value;
        }
    }
    for (std::uint64_t i = 0; i < times; ++i)
        sum += value;
    return sum;
}

}  // namespace korvane
