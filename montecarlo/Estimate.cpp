#include "montecarlo/Estimate.h"

#include <cmath>

void CEstimate::Init(int slotCount, int exactLimit, double width)
{
    m_weights = 0.0;
    m_sum = 0.0;
    m_squares = 0.0;
    m_pdf.Init(slotCount, exactLimit, width);
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
