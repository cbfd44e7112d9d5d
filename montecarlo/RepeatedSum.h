// A sum that grows by the same value in each of many quanta, taken in few steps that give the
// same bits as the additions one by one.
#pragma once

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace korvane {

// What adding `value` to `sum` `times` times in a row gives, to the last bit: in one step when all
// the partial sums are exact, else in about as many steps as the sum crosses powers of two.
//
// While a sum s >= 0 stays in one binade [2^(x-1), 2^x), the doubles there are the multiples of
// u = 2^(x-53), so rounding s + value to nearest adds value rounded to a multiple of u, and that
// does not depend on s unless value / u ends in exactly one half (a tie, rounded to even). So as
// long as s + value stays below 2^x, each addition adds the same d, and k of them add k x d, which
// is exact. Ties, subnormal sums, negative or non-finite numbers are added one by one.
inline double AddRepeatedly(double sum, double value, std::uint64_t times)
{
    constexpr std::uint64_t kTwo53 = std::uint64_t{1} << 53;
    if (value == 0.0 && !(sum == 0.0 && std::signbit(sum)))
        return sum;  // every addition leaves it as it is
    const bool plain = std::isfinite(sum) && std::isfinite(value) && !std::signbit(sum) && value > 0.0;
    if (plain && times > 0 && times < kTwo53) {
        // Both whole multiples of one 2^e, and the total below 2^53 x 2^e: every partial sum is
        // such a multiple and exact, and so is the product.
        int sumExponent = 0;
        int valueExponent = 0;
        const double sumFraction = std::frexp(sum, &sumExponent);  // sum < 2^sumExponent
        const double valueFraction = std::frexp(value, &valueExponent);
        const auto sumBits = static_cast<std::uint64_t>(std::ldexp(sumFraction, 53));
        const auto valueBits = static_cast<std::uint64_t>(std::ldexp(valueFraction, 53));
        const int valueLow = valueExponent - 53 + std::countr_zero(valueBits);  // its lowest bit
        const int sumLow = sum == 0.0 ? valueLow : sumExponent - 53 + std::countr_zero(sumBits);
        const int e = std::min(sumLow, valueLow);
        if ((sum == 0.0 || sumExponent - e <= 53) && valueExponent - e <= 53 && sumExponent <= 1000 &&
            valueExponent <= 1000) {
            const double unit = std::ldexp(1.0, e);
            const auto units = static_cast<std::uint64_t>(sum / unit);
            const auto step = static_cast<std::uint64_t>(value / unit);
            if (units < kTwo53 && step <= (kTwo53 - 1 - units) / times)
                return sum + static_cast<double>(times) * value;
        }
    }
    while (times > 0) {
        int exponent = 0;
        (void)std::frexp(sum, &exponent);  // sum in [2^(exponent - 1), 2^exponent)
        if (plain && sum >= DBL_MIN && exponent <= 1000) {
            const double unit = std::ldexp(1.0, exponent - 53);
            const double r = value / unit;  // exact, or far below one half
            if (r < 0x1p52) {
                const double whole = std::floor(r);
                const double fraction = r - whole;
                if (fraction != 0.5) {
                    const auto below = static_cast<std::uint64_t>(whole);
                    const std::uint64_t step = fraction < 0.5 ? below : below + 1;  // d in units of u
                    if (step == 0)
                        return sum;  // every addition rounds back to the sum
                    const auto units = static_cast<std::uint64_t>(sum / unit);  // in [2^52, 2^53)
                    const std::uint64_t room = kTwo53 - units;
                    // Addition j (from 0) stays in the binade while units + j x step + r < 2^53,
                    // that is while j x step <= room - 1 - below.
                    if (room - 1 >= below) {
                        const std::uint64_t steps = std::min(times, (room - 1 - below) / step + 1);
                        sum += static_cast<double>(steps * step) * unit;
                        times -= steps;
                        continue;
                    }
                }
            }
        }
        sum += value;
        --times;
    }
    return sum;
}

}  // namespace korvane
