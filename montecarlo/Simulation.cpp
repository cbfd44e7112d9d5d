#include "montecarlo/Simulation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "montecarlo/Output.h"
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
    m_demand = CLoadDemand();
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

CSimulation::LoadResult CSimulation::AddLoad(const std::string& name, unsigned from, unsigned to, unsigned customers,
                                             const std::vector<double>& profile, double average, double peak)
{
    CLoadDemand::Curve curve = CLoadDemand::Scale(profile, std::uint64_t{365} * m_quantsPerDay, average, peak);
    if (const LoadResult result = m_demand.Add(curve); result != LoadResult::Built)
        return result;
    if (curve.average != -1.0 && std::fabs(curve.average - curve.mean) > 1e-8)
        Log(3, "warning: load scaling failed (" + name + "), desired average = " + FixedText(curve.average, 4) +
                   ", actual = " + FixedText(curve.mean, 4) + "\n");
    if (curve.peak != -1.0 && std::fabs(curve.peak - curve.largest) > 1e-8)
        Log(3, "warning: load scaling failed (" + name + "), desired peak = " + FixedText(curve.peak, 4) +
                   ", actual = " + FixedText(curve.largest, 4) + ")\n");

    SimEdge& edge = AddEdge(kLoadEdge, from, to);
    edge.name = name;
    edge.customers = customers;
    edge.loadCurve = std::move(curve.values);
    edge.capacity = curve.largest;
    m_current.back() = curve.largest;
    if (std::fabs(curve.mean - curve.largest) > 1e-8)
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
