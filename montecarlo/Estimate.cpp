#include "montecarlo/Estimate.h"

#include <cmath>

#include "montecarlo/RepeatedSum.h"

void CEstimate::Init(int slotCount, int exactLimit, double width)
{
    m_weights = 0.0;
    m_sum = 0.0;
    m_squares = 0.0;
    m_pdf.Init(slotCount, exactLimit, width);
}

void CEstimate::AddZeros(std::uint64_t count)
{
    // x w and x x w are +0.0, which leaves the sums as they are; a whole weight sum takes the
    // count at once.
    if (m_weights == std::floor(m_weights) && m_weights + static_cast<double>(count) < 0x1p53)
        m_weights += static_cast<double>(count);
    else
        m_weights = korvane::AddRepeatedly(m_weights, 1.0, count);
    m_sum = korvane::AddRepeatedly(m_sum, 0.0, count);
    m_squares = korvane::AddRepeatedly(m_squares, 0.0, count);
    m_pdf.AddZeros(count);
}

double CEstimate::GetRelativeError() const
{
    const double mean = GetMean();
    if (m_weights == 0.0 || mean == 0.0)
        return 0.0;
    const double variance = (m_squares - m_sum * m_sum / m_weights) / m_weights;
    if (!(variance > 0.0))
        return 0.0;
    return std::sqrt(variance / m_weights) / mean;
}
