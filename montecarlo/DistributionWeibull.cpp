#include "montecarlo/DistributionWeibull.h"

#include <cmath>

void CDistributionWeibull::Set(CRandom* random, double newScale, double newShape)
{
    SetRandom(random);
    scale = newScale;
    shape = newShape;
}

double CDistributionWeibull::InverseCDF(double u) const
{
    // A zero scale is "at once" and an infinite one "never", whatever the power gives (0 x inf).
    if (scale == 0.0 || std::isinf(scale))
        return scale;
    return scale * std::pow(-std::log(u), 1.0 / shape);
}
