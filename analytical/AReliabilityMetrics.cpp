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

void AReliabilityMetrics::Compute(const std::vector<int>& customers, const std::vector<double>& demands,
                                  const std::vector<double>& outageRates, const std::vector<double>& unavailabilities,
                                  const std::vector<std::vector<AShedRecord>>& shedRecordLists)
{
    double totalCustomers = 0.0;
    double interruptions = 0.0;  // customer interruptions a year
    double hours = 0.0;          // customer hours a year
    double energy = 0.0;
    for (std::size_t i = 0; i < customers.size(); ++i) {
        const double n = customers[i];
        const double load = demands[i];
        double shedRate = 0.0;
        double shedHours = 0.0;
        double shedEnergy = 0.0;
        for (const AShedRecord& r : shedRecordLists[i]) {
            shedRate += r.failureRate;
            shedHours += r.timeLoadShed * r.failureRate;
            shedEnergy += (load - r.capacityLoadShed) * r.timeLoadShed * r.failureRate;
        }
        totalCustomers += n;
        interruptions += n * (outageRates[i] + shedRate);
        hours += n * (unavailabilities[i] + shedHours);
        energy += unavailabilities[i] * load + shedEnergy;
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
