#include "montecarlo/Simulation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "montecarlo/Output.h"
#include "montecarlo/RepeatedSum.h"
#include "montecarlo/ReportText.h"

using korvane::FixedText;

void CSimulation::Init(COutput* output, ISimulationProgress* progress)
{
    Free();
    m_random.Init();
    m_output = output;
    m_progress = progress;
    m_stepping = Stepping::Production;
    m_nodes.resize(2);
    m_varyingLoad = false;
    m_totalDemand = 0.0;
    m_recloserCacheCapacity = 1;
    m_flowCacheCapacity = 5;
    m_yearsSimulated = 0;
}

void CSimulation::SetSystem(unsigned quantsPerDay, unsigned yearMin, unsigned yearMax, unsigned yearStep,
                            double accuracy)
{
    m_quantsPerDay = quantsPerDay;
    m_yearMin = yearMin;
    m_yearMax = yearMax;
    m_yearStep = yearStep;
    m_accuracy = accuracy;
}

void CSimulation::Log(unsigned level, std::string_view text)
{
    if (m_output != nullptr)
        m_output->Log(level, text);
}

SimEdge& CSimulation::AddEdge(int type, unsigned from, unsigned to)
{
    const std::size_t needed = std::size_t{std::max(from, to)} + 1;
    if (m_nodes.size() < needed)
        m_nodes.resize(needed);
    const auto index = static_cast<unsigned>(m_edges.size());
    SimEdge& edge = m_edges.emplace_back();
    edge.type = type;
    edge.from = from;
    edge.to = to;
    edge.priority = 1;
    m_current.push_back(0.0);
    m_flowCapacity.push_back(0.0);
    m_flow.push_back(0.0);
    m_nodes[from].adjacency.push_back({index, true});
    m_nodes[to].adjacency.push_back({index, false});
    return edge;
}

void CSimulation::AddSupply(unsigned from, unsigned to, double capacity)
{
    AddEdge(kSupplyEdge, from, to).capacity = capacity;
}

void CSimulation::AddBreaker(unsigned from, unsigned to, double capacity)
{
    AddEdge(kBreakerEdge, from, to).capacity = capacity;
}

void CSimulation::AddIsolator(unsigned from, unsigned to, double capacity)
{
    AddEdge(kIsolatorEdge, from, to).capacity = capacity;
}

double CSimulation::HoursToScale(double hours) const
{
    return std::max(static_cast<double>(m_quantsPerDay) * hours / 24.0 - 0.5, 0.0);
}

void CSimulation::AddFailingEdge(int type, unsigned from, unsigned to, double capacity, double failureRate,
                                 double failureShape, double isolationHours, double isolationShape,
                                 double repairHours, double repairShape)
{
    // A rate of 0 is "never": an infinite mean time to failure.
    const double q = m_quantsPerDay;
    const double failureScale = failureRate == 0.0 ? std::numeric_limits<double>::infinity()
                                                   : std::max(1.0 / ((failureRate / q) / 365.0) - 0.5, 0.0);
    SimEdge& edge = AddEdge(type, from, to);
    edge.capacity = capacity;
    edge.failure.Set(&m_random, failureScale, failureShape);
    edge.isolation.Set(&m_random, HoursToScale(isolationHours), isolationShape);
    edge.repair.Set(&m_random, HoursToScale(repairHours), repairShape);
    edge.failureCountdown = edge.isolationCountdown = edge.repairCountdown = 0;
}

void CSimulation::AddEquipment(unsigned from, unsigned to, double capacity, double failureRate, double failureShape,
                               double isolationHours, double isolationShape, double repairHours, double repairShape)
{
    AddFailingEdge(kEquipmentEdge, from, to, capacity, failureRate, failureShape, isolationHours, isolationShape,
                   repairHours, repairShape);
}

void CSimulation::AddLine(unsigned from, unsigned to, double capacity, double failureRate, double failureShape,
                          double isolationHours, double isolationShape, double repairHours, double repairShape)
{
    AddFailingEdge(kLineEdge, from, to, capacity, failureRate, failureShape, isolationHours, isolationShape,
                   repairHours, repairShape);
}

void CSimulation::AddRecloser(unsigned from, unsigned to, double capacity, double recloseHours, double recloseShape)
{
    SimEdge& edge = AddEdge(kRecloserEdge, from, to);
    edge.capacity = capacity;
    edge.reclose.Set(&m_random, HoursToScale(recloseHours), recloseShape);
    ++m_recloserCacheCapacity;
}

void CSimulation::ScaleLoadCurve(std::vector<double>& curve, double pivot, double factor)
{
    for (double& v : curve)
        v = std::max((v - pivot) * factor + pivot, 1e-9);
}

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

}  // namespace

CSimulation::LoadResult CSimulation::AddLoad(const std::string& name, unsigned from, unsigned to, unsigned customers,
                                             const std::vector<double>& profile, double average, double peak)
{
    const std::uint64_t quanta = std::uint64_t{365} * m_quantsPerDay;
    if (profile.empty() || quanta == 0)
        return LoadResult::NothingToScale;
    std::vector<double> curve = profile;
    CurveFigures figures = MeasureCurve(curve, quanta);
    // An all-zero profile cannot be scaled to any average or peak.
    if (figures.largest <= 0.0)
        return LoadResult::NothingToScale;
    // Scaling is linear, so only the profile's shape counts: one whose raw sum overflows is
    // measured against its largest value instead.
    if (!std::isfinite(figures.sum)) {
        for (double& v : curve)
            v /= figures.largest;
        figures = MeasureCurve(curve, quanta);
    }

    double mean = figures.mean;
    const auto scale = [&curve](double pivot, double factor) {
        if (!std::isfinite(factor))
            return false;
        ScaleLoadCurve(curve, pivot, factor);
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
    if (!scaled)
        return LoadResult::BeyondAnyNetwork;

    figures = MeasureCurve(curve, quanta);
    if (!std::isfinite(figures.sum) || !(figures.largest <= kMaxDemand) ||
        !(m_totalDemand + figures.largest <= kMaxDemand))
        return LoadResult::BeyondAnyNetwork;
    if (average != -1.0 && std::fabs(average - figures.mean) > 1e-8)
        Log(3, "warning: load scaling failed (" + name + "), desired average = " + FixedText(average, 4) +
                   ", actual = " + FixedText(figures.mean, 4) + "\n");
    if (peak != -1.0 && std::fabs(peak - figures.largest) > 1e-8)
        Log(3, "warning: load scaling failed (" + name + "), desired peak = " + FixedText(peak, 4) +
                   ", actual = " + FixedText(figures.largest, 4) + ")\n");

    SimEdge& edge = AddEdge(kLoadEdge, from, to);
    edge.name = name;
    edge.customers = customers;
    edge.loadCurve = std::move(curve);
    edge.capacity = figures.largest;
    m_current.back() = figures.largest;
    m_totalDemand += figures.largest;
    if (std::fabs(figures.mean - figures.largest) > 1e-8)
        m_varyingLoad = true;
    return LoadResult::Built;
}

double CSimulation::GetLoadCurveValue(std::size_t edge, std::uint64_t quantum) const
{
    const std::vector<double>& curve = m_edges[edge].loadCurve;
    const std::uint64_t quanta = std::uint64_t{365} * m_quantsPerDay;
    return curve[quantum * curve.size() / quanta];
}

void CSimulation::Free()
{
    m_nodes.clear();
    m_edges.clear();
    m_current.clear();
    m_flowCapacity.clear();
    m_flow.clear();
    m_failing.clear();
    m_loads.clear();
    m_reclosers.clear();
    m_switches.clear();
    m_switchReset.clear();
    m_arcStart.clear();
    m_arcs.clear();
    m_demandSteps.clear();
    m_demandCurves.clear();
    m_recloserCache.Reset(1, 1, 1);
    m_flowCache.Reset(1, 1, 1);
    m_loadEstimates.clear();
    m_saifi.Free();
    m_saidi.Free();
    m_caidi.Free();
    m_ens.Free();
}
