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

void CPdfExact::AddOther(double value, double weight)
{
    if (!m_tailStarted && weight == 1.0 && value > 0.0) {
        const std::uint64_t bits = BitsOf(value);
        for (auto& entry : m_few) {
            if (entry.first == bits) {
                ++entry.second;
                return;
            }
        }
        std::pair<std::uint64_t, std::uint64_t>* found = nullptr;
        if (m_distinct >= m_few.size()) {
            if (m_table.empty())
                m_table.assign(16, {0, 0});
            const std::size_t mask = m_table.size() - 1;
            std::size_t slot = Slot(bits, mask);
            while (m_table[slot].first != 0 && m_table[slot].first != bits)
                slot = (slot + 1) & mask;
            found = &m_table[slot];
            if (found->first == bits) {
                ++found->second;
                return;
            }
        } else {
            found = &m_few[m_distinct];
        }
        if (Counts(value)) {
            *found = {bits, 1};
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
            if (m_distinct > m_few.size() && 2 * (m_distinct - m_few.size()) > m_table.size())
                Grow();
            return;
        }
    }
    m_tailStarted = true;
    if (weight != 1.0 && !m_weighted) {
        m_weighted = true;
        m_tailWeights.Append(m_tail.GetSize(), 1.0);
    }
    m_tail.PushBack(value);
    if (m_weighted)
        m_tailWeights.PushBack(weight);
}

// Whether a new value above 0 keeps the counted values within one unit's 53 bits, the unit at
// least 2^-26 (above the common-step search's tolerance of 1e-8).
bool CPdfExact::Counts(double value)
{
    if (!std::isfinite(value))
        return false;
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
    std::vector<std::pair<std::uint64_t, std::uint64_t>> table(2 * m_table.size(), {0, 0});
    const std::size_t mask = table.size() - 1;
    for (const auto& entry : m_table) {
        if (entry.first == 0)
            continue;
        std::size_t slot = Slot(entry.first, mask);
        while (table[slot].first != 0)
            slot = (slot + 1) & mask;
        table[slot] = entry;
    }
    m_table.swap(table);
}

double CPdfExact::GetLargest() const
{
    double largest = m_largest;
    for (std::size_t i = 0; i < m_tail.GetSize(); ++i)
        largest = std::max(largest, m_tail[i]);
    return largest;
}

void CPdfExact::Free()
{
    *this = CPdfExact();
}
