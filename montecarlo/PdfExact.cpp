#include "montecarlo/PdfExact.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

std::uint64_t BitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::size_t Slot(std::uint64_t bits, std::size_t mask)
{
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

double CPdfExact::ValueOf(std::uint64_t bits)
{
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void CPdfExact::Add(double value, double weight)
{
    if (!m_tail.empty() || !Counts(value, weight)) {
        m_tail.emplace_back(value, weight);
        return;
    }
    ++m_counted;
    if (value == 0.0) {
        ++m_zeros;
        return;
    }
    const std::uint64_t bits = BitsOf(value);
    std::size_t mask = m_keys.size() - 1;
    std::size_t slot = Slot(bits, mask);
    while (m_keys[slot] != 0 && m_keys[slot] != bits)
        slot = (slot + 1) & mask;
    if (m_keys[slot] == bits) {
        ++m_counts[slot];
        return;
    }
    m_keys[slot] = bits;
    m_counts[slot] = 1;
    ++m_distinct;
    m_largest = std::max(m_largest, value);
    // Exact, as every remainder is a multiple of the unit.
    double a = std::max(m_step, value);
    double b = std::min(m_step, value);
    while (b != 0.0) {
        const double r = std::fmod(a, b);
        a = b;
        b = r;
    }
    m_step = a;
    if (2 * m_distinct > m_keys.size())
        Grow();
}

// Whether the sample can be counted: weight 1, +0.0, or a value that keeps the counted values
// within one unit's 53 bits, the unit at least 2^-26 (above the search's 1e-8 tolerance).
bool CPdfExact::Counts(double value, double weight)
{
    if (weight != 1.0 || !(value >= 0.0) || std::signbit(value) || !std::isfinite(value))
        return false;
    if (m_keys.empty()) {
        m_keys.assign(16, 0);
        m_counts.assign(16, 0);
    }
    if (value == 0.0)
        return true;
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);  // value < 2^exponent
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int lowest = exponent - 53 + std::countr_zero(mantissa);
    const bool first = m_distinct == 0;
    const int low = first ? lowest : std::min(m_lowestBit, lowest);
    const int high = first ? exponent : std::max(m_highestBit, exponent);
    if (low < -26 || high - low > 53)
        return false;
    m_lowestBit = low;
    m_highestBit = high;
    return true;
}

void CPdfExact::Grow()
{
    std::vector<std::uint64_t> keys(2 * m_keys.size(), 0);
    std::vector<std::uint64_t> counts(keys.size(), 0);
    const std::size_t mask = keys.size() - 1;
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i] == 0)
            continue;
        std::size_t slot = Slot(m_keys[i], mask);
        while (keys[slot] != 0)
            slot = (slot + 1) & mask;
        keys[slot] = m_keys[i];
        counts[slot] = m_counts[i];
    }
    m_keys.swap(keys);
    m_counts.swap(counts);
}

double CPdfExact::GetLargest() const
{
    double largest = m_largest;
    for (const auto& sample : m_tail)
        largest = std::max(largest, sample.first);
    return largest;
}

void CPdfExact::Free()
{
    *this = CPdfExact();
}
