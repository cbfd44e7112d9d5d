#include "montecarlo/Pdf.h"

#include <algorithm>
#include <cmath>

void CPdf::Init(int slotCount, int exactLimit, double width)
{
    m_exact = true;
    m_slotCount = slotCount;
    m_exactLimit = exactLimit;
    m_width = width;
    m_samples.Free();
    m_slot.Free();
}

void CPdf::Add(double value, double weight)
{
    if (m_exact) {
        if (m_samples.GetSize() < static_cast<std::size_t>(m_exactLimit)) {
            m_samples.Add(value, weight);
            return;
        }
        LeaveExactMode();
    }
    m_slot.Add(value, weight);
}

void CPdf::AddZeros(std::uint64_t count)
{
    while (count > 0 && m_exact) {
        const std::size_t limit = static_cast<std::size_t>(m_exactLimit);
        if (m_samples.GetSize() < limit) {
            const std::uint64_t room = std::min<std::uint64_t>(count, limit - m_samples.GetSize());
            m_samples.AddZeros(room);
            count -= room;
            continue;
        }
        LeaveExactMode();
    }
    if (count > 0)
        m_slot.Add(0.0, 1.0, count);
}

void CPdf::WriteHtml(COutput& output, unsigned level)
{
    if (!m_exact) {
        m_slot.WriteHtml(output, level);
        return;
    }
    ConvertToSlots();
    m_slot.WriteHtml(output, level);
    m_slot.Free();
}

void CPdf::Free()
{
    m_samples.Free();
    m_slot.Free();
}

double CPdf::ChooseWidth() const
{
    if (m_width != 0.0)
        return m_width;
    const double largest = m_samples.GetLargest();
    if (largest <= 0.0)
        return 1.0;
    const double minimum = largest / (m_slotCount - 1);
    // The counted samples leave the search at their common step (or with none, which then ends
    // it in the same way: any further step of it would not be above the minimum either).
    const auto& samples = m_samples.GetTail();
    std::size_t i = 0;
    double g = 0.0;
    if (m_samples.HasCounted())
        g = m_samples.GetCountedStep();
    else
        g = samples[i++];
    for (; i < samples.GetSize(); ++i) {
        const double v = samples[i];
        double a = std::max(v, g);
        g = std::min(v, g);
        while (g > minimum) {
            const double r = std::fmod(a, g);
            a = g;
            g = r;
        }
        if (g > 1e-8)
            break;  // no common step
        g = a;
    }
    return g > minimum ? g : NiceStep(3, minimum);
}

void CPdf::ConvertToSlots()
{
    m_slot.Create(m_slotCount, 0.0, ChooseWidth());
    m_samples.ForEachCounted([this](double value, std::uint64_t count) {
        m_slot.Add(value, static_cast<double>(count));
    });
    m_samples.ForEachKept([this](double value, double weight) { m_slot.Add(value, weight); });
}

void CPdf::LeaveExactMode()
{
    ConvertToSlots();
    m_exact = false;
    m_samples.Free();
}

double CPdf::NiceStep(int n, double x)
{
    const double e = std::floor(std::log10(x) + 0.5);
    const double p = std::pow(10.0, -e);
    const double y = x * p;
    // Every 2^a x 5^b is tried and compared with a hair of slack: y and the candidates are both
    // rounded, and a candidate equal to y (0.25 for x = 0.25) must not lose to the next one up.
    // Finding a or b through ceil of a quotient of logarithms missed such candidates.
    const double lowest = y * (1.0 - 1e-12);
    double best = 10.0 * y;
    for (int a = -n; a <= n; ++a) {
        for (int b = -n; b <= n; ++b) {
            const double candidate = std::ldexp(std::pow(5.0, b), a);
            if (candidate >= lowest && candidate < best)
                best = candidate;
        }
    }
    return best / p;
}
