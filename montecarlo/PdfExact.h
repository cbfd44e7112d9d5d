// The samples of a histogram kept exactly until it has seen enough of them, in a form whose size
// follows the distinct values rather than the samples.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "montecarlo/SampleList.h"

// Samples of weight 1 whose values share a unit (whole multiples of one power of two of at least
// 2^-26, all within 53 bits of it) are counted per distinct value: for such samples the histogram
// does not depend on their order. Its slots get whole counts, which add up exactly in any order,
// and the slot width's common-step search runs an exact Euclid whose remainders are multiples of
// the unit, so it ends at their greatest common divisor (or finds no step) whatever the order or
// the repeats. From the first sample that is not such (an hour at 240 quanta a day is not), the
// samples are kept in arrival order, after the counted ones, as they arrived after them: their
// values, and their weights only from the first that is not 1. Until then zeros of weight 1 are
// still counted apart: the search passes over a 0 without a change (a step of at least 0 stays; one
// below 0 becomes 0, which leads to the same steps and width after it), and slot 0 holds whole
// counts, so a 0 counts the same wherever it came among them.
class CPdfExact {
public:
    void Add(double value, double weight)
    {
        ++m_size;
        // Most samples of a load point are 0: a year without an interruption.
        if (value == 0.0 && weight == 1.0 && !m_weighted && !std::signbit(value)) {
            ++m_zeros;
            return;
        }
        AddOther(value, weight);
    }
    // As `count` calls of Add(0.0, 1.0).
    void AddZeros(std::uint64_t count)
    {
        m_size += count;
        if (!m_weighted) {
            m_zeros += count;
            return;
        }
        m_tail.Append(count, 0.0);
        m_tailWeights.Append(count, 1.0);
    }
    void Free();

    std::size_t GetSize() const { return m_size; }
    // The largest value, from 0.0.
    double GetLargest() const;
    bool HasCounted() const { return m_size != m_tail.GetSize(); }
    // The greatest common divisor of the counted values above 0 (0.0 when there are none): where
    // the common-step search stands after the counted samples.
    double GetCountedStep() const { return m_step; }
    // Calls f(value, count) for each distinct counted value, in no particular order; the zeros
    // counted apart among the kept samples are counted with the others.
    template <typename F>
    void ForEachCounted(F&& f) const
    {
        if (m_zeros != 0)
            f(0.0, m_zeros);
        for (const auto& [bits, count] : m_few) {
            if (bits != 0)
                f(ValueOf(bits), count);
        }
        for (const auto& [bits, count] : m_table) {
            if (bits != 0)
                f(ValueOf(bits), count);
        }
    }
    // The values of the samples after the counted ones, in arrival order.
    const CSampleList& GetTail() const { return m_tail; }
    // Calls f(value, weight) for each sample after the counted ones, in arrival order.
    template <typename F>
    void ForEachKept(F&& f) const
    {
        for (std::size_t i = 0; i < m_tail.GetSize(); ++i)
            f(m_tail[i], m_weighted ? m_tailWeights[i] : 1.0);
    }

private:
    static double ValueOf(std::uint64_t bits);
    void AddOther(double value, double weight);
    bool Counts(double value);
    void Grow();

    std::uint64_t m_size = 0;
    std::uint64_t m_zeros = 0;  // of weight 1, counted apart
    bool m_tailStarted = false;
    bool m_weighted = false;  // a kept sample's weight is not 1: weights are stored, and zeros kept
    // The values' bits (never 0: +0.0 is counted apart) with their counts: the first few in the
    // object itself (counts and flags have no more), the others by open addressing, at most half
    // full.
    std::array<std::pair<std::uint64_t, std::uint64_t>, 4> m_few{};
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_table;
    std::size_t m_distinct = 0;
    double m_largest = 0.0;
    double m_step = 0.0;
    int m_lowestBit = 0;  // of all counted values above 0: the unit's exponent
    int m_highestBit = 0;
    CSampleList m_tail;
    CSampleList m_tailWeights;  // parallel to m_tail once m_weighted
};
