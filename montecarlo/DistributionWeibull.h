// The two-parameter Weibull distribution of every failure, isolation, repair and reclose time.
#pragma once

#include "montecarlo/Distribution.h"

class CDistributionWeibull final : public CDistribution {
public:
    void Set(CRandom* random, double scale, double shape);

    // scale x (-ln u)^(1 / shape); with shape 1 the exponential distribution of mean `scale`.
    double InverseCDF(double u) const override;

    double GetScale() const { return scale; }
    double GetShape() const { return shape; }

private:
    double scale = 0.0;
    double shape = 1.0;
};
