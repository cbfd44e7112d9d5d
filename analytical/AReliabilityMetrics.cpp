#include "analytical/AReliabilityMetrics.h"

#include <cmath>
#include <limits>

#include "platform/NumberFormat.h"

namespace {

constexpr double kNotAvailable = std::numeric_limits<double>::quiet_NaN();

double Divide(double numerator, double denominator)
{
    return denominator == 0.0 ? kNotAvailable : numerator / denominator;
}

}  // namespace

void AReliabilityMetrics::Compute(const std::vector<LoadTotals>& loads)
{
    double totalCustomers = 0.0;
    double interruptions = 0.0;  // customer interruptions a year
    double hours = 0.0;          // customer hours a year
    double energy = 0.0;
    for (const LoadTotals& l : loads) {
        const double n = l.customers;
        totalCustomers += n;
        interruptions += n * (l.outageRate + l.shed.rate);
        hours += n * (l.unavailability + l.shed.hours);
        energy += l.unavailability * l.demand + l.shed.energy;
    }
    SAIFI = Divide(interruptions, totalCustomers);
    SAIDI = Divide(hours, totalCustomers);
    CAIDI = std::isnan(SAIFI) ? kNotAvailable : Divide(SAIDI, SAIFI);
    ASAI = Divide(kHoursPerYear * totalCustomers - hours, kHoursPerYear * totalCustomers);
    ENS = energy;
}

std::string AReliabilityMetrics::Format(double value)
{
    return std::isfinite(value) ? korvane::FormatFixed4(value) : "n/a";
}

std::string AReliabilityMetrics::GetText() const
{
    return "SAIFI = " + Format(SAIFI) + "\nSAIDI = " + Format(SAIDI) + "\nCAIDI = " + Format(CAIDI) +
           "\nASAI = " + Format(ASAI) + "\nENS\t= " + Format(ENS) + "\n";
}
