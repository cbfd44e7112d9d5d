// The distribution of one result quantity: exact samples first, then, once it has seen enough,
// a histogram whose slot width it chooses from the samples themselves.
#pragma once

#include <cstdint>

#include "montecarlo/PdfExact.h"
#include "montecarlo/PdfSlot.h"

class COutput;

class CPdf {
public:
    // width 0.0 chooses the slot width automatically when the samples turn into slots.
    void Init(int slotCount, int exactLimit, double width);
    void Add(double value, double weight);
    // As `count` calls of Add(0.0, 1.0).
    void AddZeros(std::uint64_t count);
    // Writes the histogram; a histogram still in exact mode stays in exact mode.
    void WriteHtml(COutput& output, unsigned level);
    void Free();

    // The width: the common step of the samples when they are whole multiples of one step
    // larger than the smallest allowed width, else NiceStep(3, smallest allowed width).
    double ChooseWidth() const;
    void ConvertToSlots();
    // The smallest 2^a x 5^b x 10^e (a, b in [-n, n]) that is not below x.
    static double NiceStep(int n, double x);

    bool IsExact() const { return m_exact; }
    const CPdfSlot& GetSlots() const { return m_slot; }

private:
    // Once the exact samples are enough, they become slots for good.
    void LeaveExactMode();

    bool m_exact = true;
    int m_slotCount = 0;
    int m_exactLimit = 0;
    double m_width = 0.0;
    CPdfExact m_samples;
    CPdfSlot m_slot;
};
