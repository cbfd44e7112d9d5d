#include "montecarlo/LoadDemand.h"

#include <algorithm>
#include <cmath>

#include "montecarlo/RepeatedSum.h"

namespace {

struct CurveFigures {
    double sum = 0.0;
    double largest = 0.0;
    double mean = 0.0;
};

// Over the year's quanta in order, as if the stretched curve were stored: value j of the profile
// stands for the quanta i with i x size / quanta = j, which follow each other.
CurveFigures MeasureCurve(const std::vector<double>& profile, std::uint64_t quanta)
{
    CurveFigures figures;
    const std::uint64_t size = profile.size();
    for (std::uint64_t j = 0; j < size; ++j) {
        const std::uint64_t first = (j * quanta + size - 1) / size;
        const std::uint64_t end = ((j + 1) * quanta + size - 1) / size;
        if (first == end)
            continue;  // a value the thinning leaves out
        figures.sum = korvane::AddRepeatedly(figures.sum, profile[j], end - first);
        figures.largest = std::max(figures.largest, profile[j]);
    }
    figures.mean = figures.sum / static_cast<double>(quanta);
    return figures;
}

// Every value v becomes max((v - pivot) x factor + pivot, 1e-9).
void ScaleValues(std::vector<double>& values, double pivot, double factor)
{
    for (double& v : values)
        v = std::max((v - pivot) * factor + pivot, 1e-9);
}

}  // namespace

CLoadDemand::Curve CLoadDemand::Scale(const std::vector<double>& profile, std::uint64_t quanta, double average,
                                      double peak)
{
    if (average == -1.0 && peak == -1.0)
        average = peak = 1.0;
    Curve curve;
    if (profile.empty() || quanta == 0) {
        curve.result = Result::NothingToScale;
        return curve;
    }
    curve.average = average;
    curve.peak = peak;
    curve.values = profile;
    CurveFigures figures = MeasureCurve(curve.values, quanta);
    // An all-zero profile cannot be scaled to any average or peak.
    if (figures.largest <= 0.0) {
        curve.result = Result::NothingToScale;
        return curve;
    }
    // Scaling is linear, so only the profile's shape counts: one whose raw sum overflows is
    // measured against its largest value instead.
    if (!std::isfinite(figures.sum)) {
        for (double& v : curve.values)
            v /= figures.largest;
        figures = MeasureCurve(curve.values, quanta);
    }

    double mean = figures.mean;
    const auto scale = [&curve](double pivot, double factor) {
        if (!std::isfinite(factor))
            return false;
        ScaleValues(curve.values, pivot, factor);
        return true;
    };
    bool scaled = true;
    if (peak == -1.0) {
        scaled = scale(0.0, average / mean);
    } else {
        scaled = scale(0.0, peak / figures.largest);
        mean = mean * peak / figures.largest;
        if (scaled && average != -1.0 && std::fabs(peak - mean) > 1e-8)
            scaled = scale(peak, (peak - average) / (peak - mean));
    }
    figures = MeasureCurve(curve.values, quanta);
    curve.mean = figures.mean;
    curve.largest = figures.largest;
    if (!scaled || !std::isfinite(figures.sum) || !(figures.largest <= kMaxDemand))
        curve.result = Result::BeyondAnyNetwork;
    return curve;
}

CLoadDemand::Result CLoadDemand::Add(const Curve& curve)
{
    if (curve.result != Result::Built)
        return curve.result;
    if (!(m_total + curve.largest <= kMaxDemand))
        return Result::BeyondAnyNetwork;
    m_total += curve.largest;
    return Result::Built;
}
