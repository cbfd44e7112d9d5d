// The five system indices of an analytical run, computed from the load points' totals.
#pragma once

#include <string>
#include <vector>

#include "analytical/AComponent.h"

class AReliabilityMetrics {
public:
    static constexpr double kHoursPerYear = 8760.0;

    // An index whose denominator is 0 (no customers; CAIDI without interruptions) is NaN and
    // shows as "n/a".
    double SAIFI = 0.0;  // interruptions a customer and year
    double CAIDI = 0.0;  // hours an interruption
    double SAIDI = 0.0;  // hours a customer and year
    double ASAI = 0.0;   // fraction of the 8760 hours of a year
    double ENS = 0.0;    // kVA hours a year

    // One load point's figures over a run.
    struct LoadTotals {
        int customers = 0;
        double demand = 0.0;          // kVA
        double outageRate = 0.0;      // a year
        double unavailability = 0.0;  // hours a year
        AShedTotals shed;
    };
    void Compute(const std::vector<LoadTotals>& loads);

    // The text shown to the user: "SAIFI = 0.5000\nSAIDI = ...\nENS\t= ...\n".
    std::string GetText() const;
    // An index as the text shows it: four decimals, or "n/a".
    static std::string Format(double value);
};
