// A histogram of fixed-width slots from an origin; values outside land in the end slots.
#pragma once

#include <cstdint>
#include <vector>

class COutput;

class CPdfSlot {
public:
    void Create(int count, double origin, double width);
    void Add(double value, double weight);
    // As `times` calls of Add, to the bit.
    void Add(double value, double weight, std::uint64_t times);
    // One bar per slot up to the last whose share is above 0.001: a trace line at the given
    // level and one HTML line with the bar image (50 bars for the largest slot).
    void WriteHtml(COutput& output, unsigned level) const;
    void Free();

    int GetCount() const { return m_count; }
    double GetWidth() const { return m_width; }
    double GetWeight(int slot) const { return m_weights[static_cast<std::size_t>(slot)]; }

private:
    std::size_t SlotOf(double value) const;

    int m_count = 0;
    std::vector<double> m_weights;
    double m_origin = 0.0;
    double m_width = 1.0;
};
