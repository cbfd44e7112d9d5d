// The year loop of CSimulation: element cycles, protection, reclosers, maximum flow, yearly
// statistics, progress and the convergence test.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "montecarlo/Output.h"
#include "montecarlo/RunControl.h"
#include "montecarlo/Simulation.h"
#include "montecarlo/SimulationProgress.h"

namespace {

// The caches only remember results that a computation would give again, so their size changes
// speed, never results. They hold at least the specified number of patterns and at least
// kCachePatterns (a few failure patterns recur all the time), but the flow cache, two rows of
// doubles per edge and pattern, stays within its budget.
constexpr std::size_t kCachePatterns = 4096;
constexpr std::size_t kFlowCacheBudgetBytes = std::size_t{256} << 20;

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

std::uint64_t NowMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

CSimulation::StopReason CSimulation::Run(CRunControl* control, const std::string& htmlPath)
{
    m_quantaPerYear = std::uint64_t{365} * m_quantsPerDay;
    m_hoursPerQuantum = 24.0 / m_quantsPerDay;
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
    m_failing.clear();
    m_loads.clear();
    m_reclosers.clear();
    for (unsigned e = 0; e < m_edges.size(); ++e) {
        SimEdge& edge = m_edges[e];
        if (edge.type != kLoadEdge && edge.capacity == -1.0)
            edge.capacity = total;
        if (edge.type == kLoadEdge)
            m_loads.push_back(e);
        else if (edge.type == kEquipmentEdge || edge.type == kLineEdge)
            m_failing.push_back(e);
        else if (edge.type == kRecloserEdge)
            m_reclosers.push_back(e);
    }

    for (CEstimate* estimate : {&m_saifi, &m_saidi, &m_caidi, &m_ens})
        estimate->Init(1000, 10000, 0.0);
    for (unsigned e : m_loads) {
        SimEdge& load = m_edges[e];
        load.frequency.Init(1000, 10000, 0.0);
        load.interruptedYear.Init(3, 10000, 0.0);
        load.unavailability.Init(1000, 10000, 0.0);
        load.outageDuration.Init(1000, 10000, 0.0);
        load.energyNotSupplied.Init(1000, 10000, 0.0);
    }

    // Everything the loop needs is allocated here, before it starts.
    const std::size_t edges = m_edges.size();
    const std::size_t nodes = m_nodes.size();
    const std::size_t flowEntryBytes = 2 * edges * sizeof(double) + 64;
    m_flowCache.Reset(edges, edges,
                      std::min(std::max(m_flowCacheCapacity, kCachePatterns), kFlowCacheBudgetBytes / flowEntryBytes));
    m_recloserKey.assign(1 + (edges + 63) / 64, 0);
    m_recloserCache.Reset(m_recloserKey.size(), 1, std::max(m_recloserCacheCapacity, kCachePatterns));
    m_curveIndex.assign(m_loads.size(), 0);
    m_curveCarry.assign(m_loads.size(), 0);
    m_stamp.assign(nodes, 0);
    m_currentStamp = 0;
    m_queue.assign(nodes, 0);
    m_predecessor.assign(nodes, nullptr);
    m_reachable.assign(nodes, 0.0);

    const StopReason reason = MainLoop(control, htmlPath);

    for (unsigned e : m_loads) {
        SimEdge& load = m_edges[e];
        for (CEstimate* estimate : {&load.frequency, &load.interruptedYear, &load.unavailability,
                                    &load.outageDuration, &load.energyNotSupplied})
            estimate->Free();
    }
    for (CEstimate* estimate : {&m_saifi, &m_saidi, &m_caidi, &m_ens})
        estimate->Free();
    return reason;
}

CSimulation::StopReason CSimulation::MainLoop(CRunControl* control, const std::string& htmlPath)
{
    for (SimEdge& edge : m_edges) {
        edge.supplied = true;
        edge.runningInterruptionQuanta = 0;
    }
    const std::uint64_t start = NowMs() - 1;  // the elapsed time is never 0

    StopReason reason = StopReason::YearMax;
    unsigned years = 0;
    for (std::uint64_t year = 1; year <= m_yearMax; ++year) {
        if (control != nullptr && !control->WaitWhilePaused())
            return StopReason::Stopped;
        SimulateYear();
        AddYearlySamples();
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

        if (year >= m_yearMin && m_yearStep != 0 && year % m_yearStep == 0 && Converged()) {
            reason = StopReason::Converged;
            break;
        }
    }
    WriteReport(years, NowMs() - start, htmlPath);
    return reason;
}

bool CSimulation::Converged() const
{
    double m = 0.0;
    for (unsigned e : m_loads) {
        const SimEdge& load = m_edges[e];
        m = std::max({m, load.energyNotSupplied.GetRelativeError(), load.unavailability.GetRelativeError(),
                      load.interruptedYear.GetRelativeError(), load.frequency.GetRelativeError()});
    }
    m = std::max({m, m_ens.GetRelativeError(), m_caidi.GetRelativeError(), m_saidi.GetRelativeError(),
                  m_saifi.GetRelativeError()});
    return m < m_accuracy;
}

void CSimulation::SimulateYear()
{
    for (unsigned e : m_loads) {
        SimEdge& load = m_edges[e];
        load.interruptionsThisYear = 0;
        load.interruptedQuantaThisYear = 0;
        load.energyNotSuppliedThisYear = 0.0;
    }
    std::fill(m_curveIndex.begin(), m_curveIndex.end(), 0);
    std::fill(m_curveCarry.begin(), m_curveCarry.end(), 0);

    const std::uint64_t year = m_quantaPerYear;
    for (std::uint64_t t = 0; t < year;) {
        bool changed = false;
        bool quiet = true;  // every element works
        std::uint64_t nextStateChange = kNever;  // quanta every element stays in its state
        for (unsigned e : m_failing) {
            SimEdge& edge = m_edges[e];
            const int state = NextEdgeState(edge);
            if (state != edge.state) {
                edge.state = state;
                changed = true;
            } else if (state != kWorking) {
                changed = true;
            }
            if (state != kWorking)
                quiet = false;
            nextStateChange = std::min(nextStateChange, ActiveCountdown(edge));
        }

        bool evaluationRepeats = true;
        if (changed || t == 0)
            evaluationRepeats = EvaluateNetwork();

        // Quanta until some load's curve moves on to its next value (0: at the next quantum).
        std::uint64_t nextCurveStep = kNever;
        if (m_varyingLoad) {
            for (std::size_t i = 0; i < m_loads.size(); ++i) {
                const SimEdge& load = m_edges[m_loads[i]];
                const std::uint64_t index = m_curveIndex[i];
                m_current[m_loads[i]] = load.loadCurve[index];
                // The next quantum's index, (t + 1) x size / year, without a division.
                const std::uint64_t size = load.loadCurve.size();
                m_curveIndex[i] += size / year;
                m_curveCarry[i] += size % year;
                if (m_curveCarry[i] >= year) {
                    m_curveCarry[i] -= year;
                    ++m_curveIndex[i];
                }
                if (m_curveIndex[i] != index)
                    nextCurveStep = 0;
                else
                    nextCurveStep = std::min(nextCurveStep, (year - m_curveCarry[i] + size - 1) / size);
            }
            UpdateFlows();
        }

        for (unsigned e : m_loads) {
            SimEdge& load = m_edges[e];
            const bool supplied = std::fabs(m_flow[e] - m_current[e]) < 1e-10;
            if (supplied) {
                if (!load.supplied) {
                    load.outageDuration.Add(static_cast<double>(load.runningInterruptionQuanta) * 24.0 / m_quantsPerDay,
                                            1.0);
                    load.runningInterruptionQuanta = 0;
                }
            } else {
                if (load.supplied)
                    ++load.interruptionsThisYear;
                ++load.interruptedQuantaThisYear;
                ++load.runningInterruptionQuanta;
                load.energyNotSuppliedThisYear += m_current[e];
            }
            load.supplied = supplied;
        }
        ++t;

        // Until some element changes state or a load curve steps on, nothing changes but the
        // countdowns and the interrupted loads' tallies: those quanta are taken together. While
        // every element works the network is not evaluated in them; while some element is out it
        // is, but gives what it gave now when it drew nothing and moved no recloser countdown.
        if ((quiet || evaluationRepeats) && t < year) {
            const std::uint64_t skip = std::min({nextStateChange, nextCurveStep, year - t});
            if (skip > 0) {
                for (unsigned e : m_failing)
                    ActiveCountdown(m_edges[e]) -= skip;
                for (std::size_t i = 0; i < m_loads.size() && m_varyingLoad; ++i) {
                    // Every curve here advances by less than one value per quantum.
                    m_curveCarry[i] += skip * m_edges[m_loads[i]].loadCurve.size();
                    m_curveIndex[i] += m_curveCarry[i] / year;
                    m_curveCarry[i] %= year;
                }
                RecordLoadQuanta(skip);
                t += skip;
            }
        }
    }
}

// Quanta in which every load keeps its supply state.
void CSimulation::RecordLoadQuanta(std::uint64_t quanta)
{
    for (unsigned e : m_loads) {
        SimEdge& load = m_edges[e];
        if (load.supplied)
            continue;
        load.interruptedQuantaThisYear += quanta;
        load.runningInterruptionQuanta += quanta;
        // Added one quantum at a time, as the quanta would have.
        for (std::uint64_t i = 0; i < quanta; ++i)
            load.energyNotSuppliedThisYear += m_current[e];
    }
}

void CSimulation::AddYearlySamples()
{
    const double q = m_quantsPerDay;
    std::uint64_t customers = 0;
    std::uint64_t customerInterruptions = 0;
    double customerHours = 0.0;
    double energy = 0.0;
    for (unsigned e : m_loads) {
        SimEdge& load = m_edges[e];
        const std::uint64_t n = load.customers;
        load.frequency.Add(static_cast<double>(load.interruptionsThisYear), 1.0);
        load.interruptedYear.Add(load.interruptionsThisYear > 0 ? 1.0 : 0.0, 1.0);
        load.unavailability.Add(static_cast<double>(load.interruptedQuantaThisYear) * 24.0 / q, 1.0);
        load.energyNotSupplied.Add(load.energyNotSuppliedThisYear * 24.0 / q, 1.0);
        customers += n;
        customerInterruptions += n * load.interruptionsThisYear;
        customerHours += static_cast<double>(load.interruptedQuantaThisYear * n) * 24.0 / q;
        energy += load.energyNotSuppliedThisYear * 24.0 / q;
    }
    // Without customers there is nothing to interrupt: the indices are 0, never 0 / 0.
    const double n = static_cast<double>(customers);
    const double ci = static_cast<double>(customerInterruptions);
    m_saifi.Add(customers == 0 ? 0.0 : ci / n, 1.0);
    m_saidi.Add(customers == 0 ? 0.0 : customerHours / n, 1.0);
    if (customerInterruptions > 0)
        m_caidi.Add(customerHours / ci, ci / n);
    m_ens.Add(energy, 1.0);
}

std::uint64_t CSimulation::DrawQuanta(CDistributionWeibull& distribution)
{
    const double quanta = std::floor(distribution.Sample() + 1.0);
    // 2^64 itself does not convert; anything that large is "never".
    if (!(quanta < 18446744073709551616.0))
        return kNever;
    return static_cast<std::uint64_t>(quanta);
}

std::uint64_t& CSimulation::ActiveCountdown(SimEdge& edge)
{
    switch (edge.state) {
    case kWorking: return edge.failureCountdown;
    case kFailed: return edge.isolationCountdown;
    default: return edge.repairCountdown;
    }
}

// Fresh times when all three countdowns have run out. The repair counts from the failure; the
// isolation is cut to it. Only the loop's equipment and line edges come here.
void CSimulation::DrawElementCycle(SimEdge& edge)
{
    const std::uint64_t f = DrawQuanta(edge.failure);
    const std::uint64_t i = DrawQuanta(edge.isolation);
    const std::uint64_t r = DrawQuanta(edge.repair);
    edge.failureCountdown = f;
    if (i < r) {
        edge.isolationCountdown = i;
        edge.repairCountdown = r - i;
    } else {
        edge.isolationCountdown = r;
        edge.repairCountdown = 0;
    }
}

bool CSimulation::EvaluateNetwork()
{
    bool repeats = true;
    for (std::size_t e = 0; e < m_edges.size(); ++e) {
        const int type = m_edges[e].type;
        if (type == kRecloserEdge)
            m_current[e] = 0.0;
        else if (type != kLoadEdge)
            m_current[e] = m_edges[e].capacity;
    }
    for (unsigned e : m_failing) {
        if (m_edges[e].state == kIsolated)
            Isolate(e, true);
    }
    for (unsigned e : m_failing) {
        if (m_edges[e].state == kFailed)
            Isolate(e, false);
    }
    for (unsigned e : m_reclosers) {
        SimEdge& recloser = m_edges[e];
        if (RecloserBypassed(e)) {
            const std::uint64_t drawn = DrawQuanta(recloser.reclose);
            recloser.recloseCountdown = drawn == kNever ? kNever : drawn + 1;
            repeats = false;
        }
        if (recloser.recloseCountdown == 0) {
            m_current[e] = recloser.capacity;
        } else {
            --recloser.recloseCountdown;
            repeats = false;
        }
    }
    if (!m_varyingLoad)
        UpdateFlows();
    return repeats;
}

unsigned CSimulation::NextStamp()
{
    if (++m_currentStamp == 0) {
        std::fill(m_stamp.begin(), m_stamp.end(), 0);
        m_currentStamp = 1;
    }
    return m_currentStamp;
}

void CSimulation::Isolate(unsigned failedEdge, bool withIsolators)
{
    const unsigned stamp = NextStamp();
    const SimEdge& failed = m_edges[failedEdge];
    std::size_t head = 0;
    std::size_t tail = 0;
    for (unsigned node : {failed.from, failed.to}) {
        if (m_stamp[node] != stamp) {
            m_stamp[node] = stamp;
            m_queue[tail++] = node;
        }
    }
    while (head < tail) {
        const unsigned n = m_queue[head];
        if (m_nodes[n].supplyRoot) {
            Log(3, "_Isolate failed\n");
            return;
        }
        ++head;
        for (const SimLink& link : m_nodes[n].adjacency) {
            if (m_current[link.edge] == 0.0)
                continue;
            const SimEdge& edge = m_edges[link.edge];
            if (edge.type == kBreakerEdge || (withIsolators && edge.type == kIsolatorEdge)) {
                m_current[link.edge] = 0.0;
                continue;
            }
            const unsigned far = link.fromHere ? edge.to : edge.from;
            if (m_stamp[far] != stamp && !m_nodes[far].sink) {
                m_stamp[far] = stamp;
                m_queue[tail++] = far;
            }
        }
    }
}

bool CSimulation::RecloserBypassed(unsigned recloser)
{
    // The result depends only on which edges are closed: a cache hit gives what the search gives.
    std::fill(m_recloserKey.begin(), m_recloserKey.end(), 0);
    m_recloserKey[0] = recloser;
    for (std::size_t e = 0; e < m_current.size(); ++e) {
        if (m_current[e] > 0.0)
            m_recloserKey[1 + e / 64] |= std::uint64_t{1} << (e % 64);
    }
    const std::uint64_t hash = CPatternCache<std::uint64_t, std::uint8_t>::Hash(m_recloserKey.data(),
                                                                                 m_recloserKey.size());
    if (const std::uint8_t* cached = m_recloserCache.Find(m_recloserKey.data(), hash))
        return *cached != 0;
    const bool bypassed = SearchBypass(recloser);
    *m_recloserCache.Insert(m_recloserKey.data(), hash) = bypassed ? 1 : 0;
    return bypassed;
}

bool CSimulation::SearchBypass(unsigned recloser)
{
    const SimEdge& edge = m_edges[recloser];
    const unsigned stamp = NextStamp();
    std::size_t head = 0;
    std::size_t tail = 0;
    m_stamp[edge.from] = stamp;
    m_queue[tail++] = edge.from;
    while (head < tail) {
        const unsigned n = m_queue[head++];
        for (const SimLink& link : m_nodes[n].adjacency) {
            if (link.edge == recloser || m_current[link.edge] == 0.0)
                continue;
            const SimEdge& next = m_edges[link.edge];
            const unsigned far = link.fromHere ? next.to : next.from;
            if (m_stamp[far] == stamp || m_nodes[far].sink)
                continue;
            if (far == edge.to)
                return true;
            m_stamp[far] = stamp;
            m_queue[tail++] = far;
        }
    }
    return false;
}

void CSimulation::UpdateFlows()
{
    // The flows depend only on the edges' present capacities: a cache hit gives what the
    // computation gives.
    const std::size_t edges = m_current.size();
    const std::uint64_t hash = CPatternCache<double, double>::Hash(m_current.data(), edges);
    if (const double* cached = m_flowCache.Find(m_current.data(), hash)) {
        std::copy(cached, cached + edges, m_flow.begin());
        return;
    }
    ComputeFlows();
    double* stored = m_flowCache.Insert(m_current.data(), hash);
    std::copy(m_flow.begin(), m_flow.end(), stored);
}

void CSimulation::ComputeFlows()
{
    for (std::size_t e = 0; e < m_edges.size(); ++e) {
        m_flow[e] = 0.0;
        m_flowCapacity[e] = m_edges[e].type == kLoadEdge ? 0.0 : m_current[e];
    }
    // Loads are offered priority level by priority level, the lowest first.
    unsigned level = 0;
    for (;;) {
        unsigned next = std::numeric_limits<unsigned>::max();
        for (unsigned e : m_loads) {
            if (m_current[e] != 0.0 && m_edges[e].priority > level)
                next = std::min(next, m_edges[e].priority);
        }
        if (next == std::numeric_limits<unsigned>::max())
            return;
        for (unsigned e : m_loads) {
            if (m_edges[e].priority == next)
                m_flowCapacity[e] = m_current[e];
        }
        AugmentFlows();
        level = next;
    }
}

void CSimulation::AugmentFlows()
{
    double atRoot = 0.0;
    for (const SimLink& link : m_nodes[0].adjacency)
        atRoot += m_flowCapacity[link.edge];

    for (;;) {
        // Breadth-first from the root over edges with residual capacity in either direction.
        const unsigned stamp = NextStamp();
        std::size_t head = 0;
        std::size_t tail = 0;
        m_reachable[0] = atRoot;
        unsigned u = 0;
        m_stamp[0] = stamp;
        while (!m_nodes[u].sink) {
            for (const SimLink& link : m_nodes[u].adjacency) {
                const SimEdge& edge = m_edges[link.edge];
                const unsigned v = link.fromHere ? edge.to : edge.from;
                if (m_stamp[v] == stamp)
                    continue;
                const double residual = link.fromHere ? m_flowCapacity[link.edge] - m_flow[link.edge]
                                                      : m_flowCapacity[link.edge] + m_flow[link.edge];
                const double r = std::min(m_reachable[u], residual);
                if (r > 0.0) {
                    m_predecessor[v] = &link;
                    m_reachable[v] = r;
                    m_stamp[v] = stamp;
                    m_queue[tail++] = v;
                }
            }
            if (head == tail)
                return;
            u = m_queue[head++];
        }

        const double a = m_reachable[u];
        while (u != 0) {
            const SimLink& link = *m_predecessor[u];
            const SimEdge& edge = m_edges[link.edge];
            if (link.fromHere) {
                m_flow[link.edge] += a;
                u = edge.from;
            } else {
                m_flow[link.edge] -= a;
                u = edge.to;
            }
        }
    }
}
