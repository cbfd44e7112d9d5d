// Base of the distributions that draw the random times of the simulation by inverse transform.
#pragma once

#include "montecarlo/Random.h"

class CDistribution {
public:
    virtual ~CDistribution() = default;

    // The generator is not owned; it must outlive the distribution's use.
    void SetRandom(CRandom* random) { m_random = random; }

    double Sample() { return InverseCDF(m_random->Next()); }

    virtual double InverseCDF(double u) const = 0;

protected:
    CRandom* m_random = nullptr;
};
