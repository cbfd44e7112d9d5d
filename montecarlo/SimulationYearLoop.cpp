// The year loop of CSimulation: preparation, years and their quanta, yearly statistics, progress
// and the convergence test.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "montecarlo/Output.h"
#include "montecarlo/Prefetch.h"
#include "montecarlo/RunControl.h"
#include "montecarlo/Simulation.h"
#include "montecarlo/SimulationProgress.h"

namespace {

// The caches only remember results that a computation would give again, so their size changes
// speed, never results. They hold at least the patterns the model asks for (the flow cache 5, or
// 5 + Y with varying loads; the recloser cache one per recloser plus one) and at least
// kCachePatterns (a few failure patterns recur all the time), but the flow cache, a row of
// doubles per edge and pattern, stays within its budget.
constexpr std::size_t kCachePatterns = 4096;
constexpr std::size_t kFlowCacheBudgetBytes = std::size_t{256} << 20;

std::uint64_t NowMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

CSimulation::StopReason CSimulation::Run(CRunControl* control, const std::string& htmlPath)
{
    m_quantaPerYear = std::uint64_t{365} * m_quantsPerDay;
    if (m_varyingLoad)
        m_flowCacheCapacity += m_quantaPerYear;

    for (SimNode& node : m_nodes)
        node.supplyRoot = node.sink = false;
    m_nodes[0].supplyRoot = true;
    m_nodes[1].sink = true;

    double total = 1.0;
    for (const SimEdge& edge : m_edges) {
        if (edge.type == kLoadEdge)
            total += edge.capacity;
    }
    for (SimEdge& edge : m_edges) {
        if (edge.type != kLoadEdge && edge.capacity == -1.0)
            edge.capacity = total;
    }

    Prepare();
    for (CEstimate* estimate : {&m_saifi, &m_saidi, &m_caidi, &m_ens})
        estimate->Init(1000, 10000, 0.0);
    m_loadEstimates.assign(m_loads.size(), SimLoadEstimates());
    for (SimLoadEstimates& load : m_loadEstimates) {
        load.frequency.Init(1000, 10000, 0.0);
        load.interruptedYear.Init(3, 10000, 0.0);
        load.unavailability.Init(1000, 10000, 0.0);
        load.outageDuration.Init(1000, 10000, 0.0);
        load.energyNotSupplied.Init(1000, 10000, 0.0);
    }

    const StopReason reason = MainLoop(control, htmlPath);

    for (SimLoadEstimates& load : m_loadEstimates) {
        for (CEstimate* estimate : {&load.frequency, &load.interruptedYear, &load.unavailability,
                                    &load.outageDuration, &load.energyNotSupplied})
            estimate->Free();
    }
    for (CEstimate* estimate : {&m_saifi, &m_saidi, &m_caidi, &m_ens})
        estimate->Free();
    return reason;
}

// Everything the year loop needs is allocated here, before it starts.
void CSimulation::Prepare()
{
    const std::size_t edges = m_edges.size();
    const std::size_t nodes = m_nodes.size();

    m_failing.clear();
    m_loads.clear();
    m_reclosers.clear();
    m_switches.clear();
    for (unsigned e = 0; e < edges; ++e) {
        const SimEdge& edge = m_edges[e];
        switch (edge.type) {
        case kLoadEdge: m_loads.push_back(e); break;
        case kEquipmentEdge:
        case kLineEdge: m_failing.push_back(e); break;
        case kRecloserEdge: m_reclosers.push_back(e); [[fallthrough]];
        case kBreakerEdge:
        case kIsolatorEdge: m_switches.push_back(e); break;
        default: break;
        }
        // Closed from the start; every evaluation closes or opens the switches again.
        if (edge.type != kLoadEdge)
            m_current[e] = edge.type == kRecloserEdge ? 0.0 : edge.capacity;
    }

    // The adjacency of every node in one array, in the order the edges were built.
    m_arcStart.assign(nodes + 1, 0);
    m_arcs.clear();
    m_arcs.reserve(2 * edges);
    for (std::size_t n = 0; n < nodes; ++n) {
        m_arcStart[n] = static_cast<unsigned>(m_arcs.size());
        for (const SimLink& link : m_nodes[n].adjacency) {
            const SimEdge& edge = m_edges[link.edge];
            m_arcs.push_back({link.edge, link.fromHere ? edge.to : edge.from, edge.type, link.fromHere});
        }
    }
    m_arcStart[nodes] = static_cast<unsigned>(m_arcs.size());

    m_switchWords = (m_switches.size() + 63) / 64;
    m_switchReset.clear();
    m_switchOf.assign(edges, 0);
    m_switchResetBits.assign(m_switchWords, 0);
    for (unsigned i = 0; i < m_switches.size(); ++i) {
        const SimEdge& edge = m_edges[m_switches[i]];
        m_switchReset.push_back(edge.type == kRecloserEdge ? 0.0 : edge.capacity);
        m_switchOf[m_switches[i]] = i;
        if (m_switchReset.back() != 0.0)
            m_switchResetBits[i / 64] |= std::uint64_t{1} << (i % 64);
    }
    m_switchBits = m_switchResetBits;
    m_failedEdges.clear();
    m_failedEdges.reserve(m_failing.size());
    m_isolatedEdges.clear();
    m_isolatedEdges.reserve(m_failing.size());

    PrepareDemandSteps();
    m_flowKey.assign(std::max<std::size_t>(m_switchWords + m_demandCurves.size(), 1), 0);
    const std::size_t flowEntryBytes = (m_flowKey.size() + edges) * 8 + 64;
    m_flowCache.Reset(m_flowKey.size(), edges,
                      std::min(std::max(m_flowCacheCapacity, kCachePatterns), kFlowCacheBudgetBytes / flowEntryBytes));
    m_recloserKey.assign(1 + m_switchWords, 0);
    m_recloserCache.Reset(m_recloserKey.size(), 1, std::max(m_recloserCacheCapacity, kCachePatterns));

    m_stamp.assign(nodes, 0);
    m_currentStamp = 0;
    m_queue.assign(nodes, 0);
    m_predecessor.assign(nodes, 0);
    m_cameFrom.assign(nodes, 0);
    m_reachable.assign(nodes, 0.0);
    m_customers = 0;
    m_loadOrdinal.assign(m_edges.size(), 0);
    for (std::size_t i = 0; i < m_loads.size(); ++i) {
        const unsigned e = m_loads[i];
        m_customers += m_edges[e].customers;
        m_loadOrdinal[e] = static_cast<unsigned>(i);
    }
    m_yearsSampled = 0;
    m_loadStart.assign(m_loads.size() + 1, 0);
    // Room for some years of every load, so that a flush sees several samples of each.
    const std::size_t logged = kLoggedYearsPerLoad * m_loads.size() + 64;
    for (auto* log : {&m_yearLog, &m_yearScratch}) {
        log->clear();
        log->reserve(logged);
    }
    for (auto* log : {&m_outageLog, &m_outageScratch}) {
        log->clear();
        log->reserve(logged);
    }
    PrepareParts();
}

// A load's demand in quantum t is curve[t x size / Y]: value i of the curve begins at quantum
// ceil(i x Y / size), and that quantum is a step only when value i differs from value i - 1.
void CSimulation::PrepareDemandSteps()
{
    m_demandSteps.clear();
    m_demandCurves.clear();
    if (!m_varyingLoad)
        return;
    const std::uint64_t year = m_quantaPerYear;
    std::vector<bool> step(year, false);
    for (unsigned e : m_loads) {
        const std::vector<double>& curve = m_edges[e].loadCurve;
        const std::uint64_t size = curve.size();
        bool steps = false;
        for (std::uint64_t i = 1; i < size; ++i) {
            if (curve[i] != curve[i - 1]) {
                step[(i * year + size - 1) / size] = true;
                steps = true;
            }
        }
        // A curve of one value throughout has it as its largest, the load's present capacity.
        if (steps)
            m_demandCurves.push_back({e, curve.data(), size});
    }
    for (std::uint64_t t = 1; t < year; ++t) {
        if (step[t])
            m_demandSteps.push_back(t);
    }
}

CSimulation::StopReason CSimulation::MainLoop(CRunControl* control, const std::string& htmlPath)
{
    for (SimEdge& edge : m_edges) {
        edge.supplied = true;
        edge.runningInterruptionQuanta = 0;
    }
    const std::uint64_t start = NowMs() - 1;  // the elapsed time is never 0
    m_byEvents = m_byEvents && m_stepping == Stepping::Production;
    if (m_byEvents)
        PrepareEvents();

    StopReason reason = StopReason::YearMax;
    unsigned years = 0;
    for (std::uint64_t year = 1; year <= m_yearMax; ++year) {
        if (control != nullptr && !control->WaitWhilePaused()) {
            if (m_byEvents)
                SettleCountdowns();
            FlushAllQuietYears();
            return StopReason::Stopped;
        }
        SimulateYear();
        if (m_byEvents) {
            SortYearLoads();
            AddYearlySamples(m_yearLoads);
        } else {
            AddYearlySamples(m_loads);
        }
        years = static_cast<unsigned>(year);
        m_yearsSimulated = years;

        if (m_progress != nullptr) {
            SimulationProgress progress;
            progress.year = years;
            progress.yearMax = m_yearMax;
            progress.elapsedMs = NowMs() - start;
            progress.minutes = static_cast<unsigned>(progress.elapsedMs / 1000 / 60);
            progress.seconds = static_cast<unsigned>(progress.elapsedMs / 1000 % 60);
            progress.speed = year / static_cast<double>(progress.elapsedMs) * 1000.0;
            progress.remainingSeconds = static_cast<double>(m_yearMax - year) / progress.speed;
            progress.percent = m_yearMax == 0 ? 0 : static_cast<unsigned>(year * 100 / m_yearMax);
            m_progress->OnProgress(progress);
        }

        if (year >= m_yearMin && m_yearStep != 0 && year % m_yearStep == 0 && (FlushAllQuietYears(), Converged())) {
            reason = StopReason::Converged;
            break;
        }
    }
    if (m_byEvents)
        SettleCountdowns();
    FlushAllQuietYears();
    WriteReport(years, NowMs() - start, htmlPath);
    return reason;
}

// The year's loads in edge order, as the system's sums take them: on a large network most loads
// have a year with an interruption, and reading their marks in order beats sorting them.
void CSimulation::SortYearLoads()
{
    if (m_yearLoads.size() < m_loads.size() / 16) {
        std::sort(m_yearLoads.begin(), m_yearLoads.end());
        return;
    }
    m_yearLoads.clear();
    for (unsigned e : m_loads) {
        if (m_listed[e] != 0)
            m_yearLoads.push_back(e);
    }
}

bool CSimulation::Converged() const
{
    double m = 0.0;
    for (const SimLoadEstimates& load : m_loadEstimates) {
        m = std::max({m, load.energyNotSupplied.GetRelativeError(), load.unavailability.GetRelativeError(),
                      load.interruptedYear.GetRelativeError(), load.frequency.GetRelativeError()});
    }
    m = std::max({m, m_ens.GetRelativeError(), m_caidi.GetRelativeError(), m_saidi.GetRelativeError(),
                  m_saifi.GetRelativeError()});
    return m < m_accuracy;
}

// The reference stepping simulates every quantum on its own; the production stepping goes from
// event to event (SimulationParts.cpp).
void CSimulation::SimulateYear()
{
    // The production stepping clears only the loads that had an interruption.
    for (unsigned e : m_byEvents ? m_yearLoads : m_loads) {
        SimEdge& load = m_edges[e];
        load.interruptionsThisYear = 0;
        load.interruptedQuantaThisYear = 0;
        load.energyNotSuppliedThisYear = 0.0;
    }
    m_nextDemandStep = 0;
    m_isolateFailuresThisYear = 0;

    if (m_byEvents) {
        SimulateYearByEvents();
    } else {
        for (std::uint64_t t = 0; t < m_quantaPerYear; ++t)
            SimulateQuantum(t);
    }

    // The protection's complaints, in the order and number the quanta made them.
    for (std::uint64_t i = 0; i < m_isolateFailuresThisYear; ++i)
        Log(3, "_Isolate failed\n");
}

void CSimulation::SimulateQuantum(std::uint64_t t)
{
    // The network is evaluated again when an element changed state or is out, and at the year's
    // first quantum.
    if (StepElements() || t == 0)
        EvaluateNetwork();
    if (m_varyingLoad) {
        SetDemands(t);
        UpdateFlows();
    }
    RecordSupply();
}

// A load whose curve holds one value throughout keeps it as its present capacity from the start.
void CSimulation::SetDemands(std::uint64_t t)
{
    for (const DemandCurve& curve : m_demandCurves)
        m_current[curve.edge] = curve.values[t * curve.size / m_quantaPerYear];
}

// A load is supplied in a quantum when the flow meets its whole demand; an interruption counts in
// the quantum it begins, its duration when it ends. "Meets" is to within 1e-10, relative to demands
// above 1: a flow summed over several paths can miss a demand of a million by its last bit.
void CSimulation::RecordSupply()
{
    for (unsigned e : m_loads) {
        SimEdge& load = m_edges[e];
        const double demand = m_current[e];
        const bool supplied = std::fabs(m_flow[e] - demand) < 1e-10 * std::max(1.0, demand);
        if (supplied) {
            if (!load.supplied)
                EndInterruption(e);
        } else {
            if (load.supplied)
                ++load.interruptionsThisYear;
            ++load.interruptedQuantaThisYear;
            ++load.runningInterruptionQuanta;
            load.energyNotSuppliedThisYear += m_current[e];
        }
        load.supplied = supplied;
    }
}

// The quiet years' samples of 0 owed to the load's yearly estimates before year `upTo`, as the
// years gave them.
void CSimulation::FlushQuietYears(SimLoadEstimates& load, std::uint64_t upTo)
{
    const std::uint64_t quiet = upTo - load.yearsSampled;
    if (quiet == 0)
        return;
    for (CEstimate* estimate : {&load.frequency, &load.interruptedYear, &load.unavailability, &load.energyNotSupplied})
        estimate->AddZeros(quiet);
    load.yearsSampled = upTo;
}

void CSimulation::FlushAllQuietYears()
{
    FlushSampleLog();
    for (SimLoadEstimates& load : m_loadEstimates)
        FlushQuietYears(load, m_yearsSampled);
}

void CSimulation::EndInterruption(unsigned load)
{
    SimEdge& edge = m_edges[load];
    const double hours = static_cast<double>(edge.runningInterruptionQuanta) * 24.0 / m_quantsPerDay;
    edge.runningInterruptionQuanta = 0;
    const unsigned ordinal = m_loadOrdinal[load];
    if (!m_byEvents) {
        m_loadEstimates[ordinal].outageDuration.Add(hours, 1.0);
        return;
    }
    if (m_outageLog.size() == m_outageLog.capacity())
        FlushSampleLog();
    m_outageLog.push_back({ordinal, hours});
}

// The loads are those with an interruption in the year, in edge order, or more: every other load
// has a quiet year, whose four samples are all 0 and whose terms of the system's sums are 0 (which
// leave sums of numbers of at least 0 as they are). Its samples are added when next it has a
// year that is not quiet, or its estimates are read (FlushQuietYears).
void CSimulation::AddYearlySamples(const std::vector<unsigned>& loads)
{
    const double q = m_quantsPerDay;
    const std::uint64_t customers = m_customers;
    std::uint64_t customerInterruptions = 0;
    double customerHours = 0.0;
    double energy = 0.0;
    for (unsigned e : loads) {
        SimEdge& load = m_edges[e];
        if (load.interruptionsThisYear == 0 && load.interruptedQuantaThisYear == 0)
            continue;  // a quiet year: its energy not supplied is 0 as well
        const std::uint64_t n = load.customers;
        const YearSample sample{m_loadOrdinal[e], m_yearsSampled, static_cast<double>(load.interruptionsThisYear),
                                static_cast<double>(load.interruptedQuantaThisYear) * 24.0 / q,
                                load.energyNotSuppliedThisYear * 24.0 / q};
        if (m_byEvents)
            m_yearLog.push_back(sample);
        else
            AddYearSample(sample);
        customerInterruptions += n * load.interruptionsThisYear;
        customerHours += static_cast<double>(load.interruptedQuantaThisYear * n) * 24.0 / q;
        energy += load.energyNotSuppliedThisYear * 24.0 / q;
    }
    ++m_yearsSampled;
    // Without customers there is nothing to interrupt: the indices are 0, never 0 / 0.
    const double n = static_cast<double>(customers);
    const double ci = static_cast<double>(customerInterruptions);
    m_saifi.Add(customers == 0 ? 0.0 : ci / n, 1.0);
    m_saidi.Add(customers == 0 ? 0.0 : customerHours / n, 1.0);
    if (customerInterruptions > 0)
        m_caidi.Add(customerHours / ci, ci / n);
    m_ens.Add(energy, 1.0);
    if (m_yearLog.size() + m_loads.size() > m_yearLog.capacity())
        FlushSampleLog();
}

void CSimulation::AddYearSample(const YearSample& sample)
{
    SimLoadEstimates& load = m_loadEstimates[sample.load];
    FlushQuietYears(load, sample.year);
    load.frequency.Add(sample.interruptions, 1.0);
    load.interruptedYear.Add(sample.interruptions > 0.0 ? 1.0 : 0.0, 1.0);
    load.unavailability.Add(sample.hours, 1.0);
    load.energyNotSupplied.Add(sample.energy, 1.0);
    load.yearsSampled = sample.year + 1;
}

// Each load's logged samples in the order they came, the loads one after another: a load's five
// estimates span many cache lines, which a large network's year would otherwise fetch again for
// every load it touches.
template <typename Sample>
void CSimulation::GroupByLoad(std::vector<Sample>& log, std::vector<Sample>& scratch)
{
    std::fill(m_loadStart.begin(), m_loadStart.end(), 0u);
    for (const Sample& sample : log)
        ++m_loadStart[sample.load + 1];
    for (std::size_t i = 1; i < m_loadStart.size(); ++i)
        m_loadStart[i] += m_loadStart[i - 1];
    scratch.resize(log.size());
    for (const Sample& sample : log)
        scratch[m_loadStart[sample.load]++] = sample;
    log.swap(scratch);
}

void CSimulation::FlushSampleLog()
{
    // A load's estimates are asked for a few samples before they are needed.
    constexpr std::size_t kAhead = 8;
    GroupByLoad(m_yearLog, m_yearScratch);
    for (std::size_t i = 0; i < m_yearLog.size(); ++i) {
        if (i + kAhead < m_yearLog.size() && m_yearLog[i + kAhead].load != m_yearLog[i + kAhead - 1].load)
            korvane::Prefetch(&m_loadEstimates[m_yearLog[i + kAhead].load], sizeof(SimLoadEstimates));
        AddYearSample(m_yearLog[i]);
    }
    m_yearLog.clear();
    GroupByLoad(m_outageLog, m_outageScratch);
    for (std::size_t i = 0; i < m_outageLog.size(); ++i) {
        if (i + kAhead < m_outageLog.size() && m_outageLog[i + kAhead].load != m_outageLog[i + kAhead - 1].load)
            korvane::Prefetch(&m_loadEstimates[m_outageLog[i + kAhead].load].outageDuration, sizeof(CEstimate));
        m_loadEstimates[m_outageLog[i].load].outageDuration.Add(m_outageLog[i].hours, 1.0);
    }
    m_outageLog.clear();
}

