// The network in one quantum: element cycles, protection, reclosers and the maximum flow.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

#include "montecarlo/Simulation.h"

namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

}  // namespace

bool CSimulation::StepElements()
{
    const std::uint64_t owed = m_owedQuanta;
    m_owedQuanta = 0;
    bool changed = false;
    std::uint64_t runLength = kNever;
    m_failedEdges.clear();
    m_isolatedEdges.clear();
    for (unsigned e : m_failing) {
        SimEdge& edge = m_edges[e];
        ActiveCountdown(edge) -= owed;
        const int state = NextEdgeState(edge);
        if (state != edge.state) {
            edge.state = state;
            changed = true;
        } else if (state != kWorking) {
            changed = true;  // a failed or isolated element keeps the network under evaluation
        }
        if (state == kFailed)
            m_failedEdges.push_back(e);
        else if (state == kIsolated)
            m_isolatedEdges.push_back(e);
        runLength = std::min(runLength, ActiveCountdown(edge));
    }
    m_quiet = m_failedEdges.empty() && m_isolatedEdges.empty();
    m_stateRunLength = runLength;
    return changed;
}

void CSimulation::SettleElements()
{
    if (m_owedQuanta == 0)
        return;
    for (unsigned e : m_failing)
        ActiveCountdown(m_edges[e]) -= m_owedQuanta;
    m_owedQuanta = 0;
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

void CSimulation::EvaluateNetwork()
{
    // Only switches ever leave their capacity; every other edge but the loads keeps it.
    for (std::size_t i = 0; i < m_switches.size(); ++i)
        m_current[m_switches[i]] = m_switchReset[i];
    std::copy(m_switchResetBits.begin(), m_switchResetBits.end(), m_switchBits.begin());

    const std::uint64_t failuresBefore = m_isolateFailuresThisYear;
    for (unsigned e : m_isolatedEdges)
        Isolate(e, true);
    for (unsigned e : m_failedEdges)
        Isolate(e, false);
    m_isolateFailuresPerEvaluation = m_isolateFailuresThisYear - failuresBefore;

    m_bypassedReclosers.clear();
    m_countingReclosers.clear();
    m_recloserRunLength = kNever;
    for (unsigned e : m_reclosers) {
        const bool bypassed = RecloserBypassed(e);
        const bool counting = !bypassed && m_edges[e].recloseCountdown != 0;
        StepRecloser(e, bypassed);
        if (bypassed) {
            m_bypassedReclosers.push_back(e);
        } else if (counting) {
            m_countingReclosers.push_back(e);
            m_recloserRunLength = std::min(m_recloserRunLength, m_edges[e].recloseCountdown);
        }
    }
    if (!m_varyingLoad)
        UpdateFlows();
}

// A bypassed recloser draws a fresh reclose time, one quantum longer than an element's; a
// recloser closes once its countdown has run out and counts down while it stays open.
void CSimulation::StepRecloser(unsigned recloser, bool bypassed)
{
    SimEdge& edge = m_edges[recloser];
    if (bypassed) {
        const std::uint64_t drawn = DrawQuanta(edge.reclose);
        edge.recloseCountdown = drawn == kNever ? kNever : drawn + 1;
    }
    if (edge.recloseCountdown == 0)
        SetSwitch(recloser, edge.capacity);
    else
        --edge.recloseCountdown;
}

unsigned CSimulation::NextStamp()
{
    if (++m_currentStamp == 0) {
        std::fill(m_stamp.begin(), m_stamp.end(), 0);
        m_currentStamp = 1;
    }
    return m_currentStamp;
}

// Opens the switches around a failed edge: a breadth-first search from its two ends that stops at
// every closed breaker (and isolator, when asked) and opens it. Reaching the supply root means no
// switch clears the fault: that is traced, and what was opened so far stays open.
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
        if (n == 0) {
            ++m_isolateFailuresThisYear;
            return;
        }
        ++head;
        const SimArc* arc = m_arcs.data() + m_arcStart[n];
        const SimArc* const end = m_arcs.data() + m_arcStart[n + 1];
        for (; arc != end; ++arc) {
            if (m_current[arc->edge] == 0.0)
                continue;
            if (arc->type == kBreakerEdge || (withIsolators && arc->type == kIsolatorEdge)) {
                SetSwitch(arc->edge, 0.0);
                continue;
            }
            const unsigned far = arc->far;
            if (m_stamp[far] != stamp && far != 1) {
                m_stamp[far] = stamp;
                m_queue[tail++] = far;
            }
        }
    }
}

void CSimulation::SetSwitch(unsigned edge, double capacity)
{
    m_current[edge] = capacity;
    const unsigned i = m_switchOf[edge];
    const std::uint64_t bit = std::uint64_t{1} << (i % 64);
    m_switchBits[i / 64] = capacity != 0.0 ? m_switchBits[i / 64] | bit : m_switchBits[i / 64] & ~bit;
}

void CSimulation::StoreSwitchStates(std::uint64_t* words) const
{
#ifndef NDEBUG
    for (std::size_t i = 0; i < m_switches.size(); ++i)
        assert(((m_switchBits[i / 64] >> (i % 64)) & 1u) == (m_current[m_switches[i]] != 0.0));
#endif
    std::copy(m_switchBits.begin(), m_switchBits.end(), words);
}

bool CSimulation::RecloserBypassed(unsigned recloser)
{
    // The result depends only on which edges are closed, and only switches open and close: a
    // cache hit gives what the search gives.
    m_recloserKey[0] = recloser;
    StoreSwitchStates(m_recloserKey.data() + 1);
    const std::uint64_t hash = CPatternCache<std::uint64_t, std::uint8_t>::Hash(m_recloserKey.data(),
                                                                                 m_recloserKey.size());
    if (const std::uint8_t* cached = m_recloserCache.Find(m_recloserKey.data(), hash))
        return *cached != 0;
    const bool bypassed = SearchBypass(recloser);
    *m_recloserCache.Insert(m_recloserKey.data(), hash) = bypassed ? 1 : 0;
    return bypassed;
}

// Whether closed edges other than the recloser join its two ends, not through the sink.
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
        const SimArc* arc = m_arcs.data() + m_arcStart[n];
        const SimArc* const end = m_arcs.data() + m_arcStart[n + 1];
        for (; arc != end; ++arc) {
            if (arc->edge == recloser || m_current[arc->edge] == 0.0)
                continue;
            const unsigned far = arc->far;
            if (m_stamp[far] == stamp || far == 1)
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
    // The flows depend only on the edges' present capacities, and only switches and the loads
    // with demand curves change theirs: a cache hit gives what the computation gives.
    StoreSwitchStates(m_flowKey.data());
    std::uint64_t* demands = m_flowKey.data() + m_switchWords;
    for (const DemandCurve& curve : m_demandCurves)
        std::memcpy(demands++, &m_current[curve.edge], sizeof(double));
    const std::uint64_t hash = CPatternCache<std::uint64_t, double>::Hash(m_flowKey.data(), m_flowKey.size());
    if (const double* cached = m_flowCache.Find(m_flowKey.data(), hash)) {
        std::copy(cached, cached + m_flow.size(), m_flow.begin());
        return;
    }
    ComputeFlows();
    double* stored = m_flowCache.Insert(m_flowKey.data(), hash);
    std::copy(m_flow.begin(), m_flow.end(), stored);
}

void CSimulation::ComputeFlows()
{
    for (std::size_t e = 0; e < m_edges.size(); ++e) {
        m_flow[e] = 0.0;
        m_flowCapacity[e] = m_current[e];
    }
    for (unsigned e : m_loads)
        m_flowCapacity[e] = 0.0;
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

// Augmenting paths from the supply root (node 0) to the common sink (node 1), searched first in,
// first out over edges usable in both directions.
void CSimulation::AugmentFlows()
{
    double atRoot = 0.0;
    for (unsigned a = m_arcStart[0]; a < m_arcStart[1]; ++a)
        atRoot += m_flowCapacity[m_arcs[a].edge];

    for (;;) {
        const unsigned stamp = NextStamp();
        std::size_t head = 0;
        std::size_t tail = 0;
        m_reachable[0] = atRoot;
        unsigned u = 0;
        m_stamp[0] = stamp;
        while (u != 1) {
            const double reachable = m_reachable[u];
            for (unsigned a = m_arcStart[u]; a < m_arcStart[u + 1]; ++a) {
                const SimArc& arc = m_arcs[a];
                const unsigned v = arc.far;
                if (m_stamp[v] == stamp)
                    continue;
                const double residual = arc.fromHere ? m_flowCapacity[arc.edge] - m_flow[arc.edge]
                                                     : m_flowCapacity[arc.edge] + m_flow[arc.edge];
                const double r = std::min(reachable, residual);
                if (r > 0.0) {
                    m_predecessor[v] = a;
                    m_cameFrom[v] = u;
                    m_reachable[v] = r;
                    m_stamp[v] = stamp;
                    m_queue[tail++] = v;
                }
            }
            if (head == tail)
                return;
            u = m_queue[head++];
        }

        const double augment = m_reachable[1];
        while (u != 0) {
            const SimArc& arc = m_arcs[m_predecessor[u]];
            if (arc.fromHere)
                m_flow[arc.edge] += augment;
            else
                m_flow[arc.edge] -= augment;
            u = m_cameFrom[u];
        }
    }
}
