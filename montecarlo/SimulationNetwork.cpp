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
    bool changed = false;
    m_failedEdges.clear();
    m_isolatedEdges.clear();
    for (unsigned e : m_failing) {
        SimEdge& edge = m_edges[e];
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
    }
    return changed;
}

std::uint64_t CSimulation::DrawQuanta(CDistributionWeibull& distribution)
{
    return WholeQuanta(distribution.Sample());
}

std::uint64_t CSimulation::WholeQuanta(double sample)
{
    const double quanta = std::floor(sample + 1.0);
    // 2^64 itself does not convert; anything that large is "never".
    if (!(quanta < 18446744073709551616.0))
        return kNever;
    return static_cast<std::uint64_t>(quanta);
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

    std::uint64_t failures = 0;
    for (unsigned e : m_isolatedEdges)
        failures += Isolate(e, true) ? 1 : 0;
    for (unsigned e : m_failedEdges)
        failures += Isolate(e, false) ? 1 : 0;
    m_isolateFailuresThisYear += failures;

    for (unsigned e : m_reclosers)
        StepRecloser(e, RecloserBypassed(e));
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
// switch clears the fault: the caller traces that, and what was opened so far stays open.
bool CSimulation::Isolate(unsigned failedEdge, bool withIsolators)
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
        if (n == 0)
            return true;
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
    return false;
}

void CSimulation::SetSwitch(unsigned edge, double capacity)
{
    m_current[edge] = capacity;
    // The production stepping keys each part by its own switches, the reference the whole network.
    std::uint64_t* words = m_switchBits.data();
    unsigned i = m_switchOf[edge];
    if (m_byEvents) {
        assert(m_partOfEdge[edge] != kNoPart);  // the hub's switches never open
        words = m_parts[m_partOfEdge[edge]].key.data();
        i = m_switchInPart[edge];
    }
    const std::uint64_t bit = std::uint64_t{1} << (i % 64);
    words[i / 64] = capacity != 0.0 ? words[i / 64] | bit : words[i / 64] & ~bit;
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
    ComputeFlows(nullptr, m_loads, 0, nullptr);
    double* stored = m_flowCache.Insert(m_flowKey.data(), hash);
    std::copy(m_flow.begin(), m_flow.end(), stored);
}

void CSimulation::ComputeFlows(const std::vector<unsigned>* edges, const std::vector<unsigned>& loads, unsigned root,
                               const std::vector<unsigned>* rootArcs)
{
    const auto reset = [this](unsigned e) {
        m_flow[e] = 0.0;
        m_flowCapacity[e] = m_current[e];
    };
    if (edges == nullptr) {
        for (unsigned e = 0; e < m_edges.size(); ++e)
            reset(e);
    } else {
        for (unsigned e : *edges)
            reset(e);
    }
    for (unsigned e : loads)
        m_flowCapacity[e] = 0.0;
    // Loads are offered priority level by priority level, the lowest first.
    unsigned level = 0;
    for (;;) {
        unsigned next = std::numeric_limits<unsigned>::max();
        for (unsigned e : loads) {
            if (m_current[e] != 0.0 && m_edges[e].priority > level)
                next = std::min(next, m_edges[e].priority);
        }
        if (next == std::numeric_limits<unsigned>::max())
            return;
        for (unsigned e : loads) {
            if (m_edges[e].priority == next)
                m_flowCapacity[e] = m_current[e];
        }
        // A part's root passes on whatever its paths ask: the hub limits nothing.
        double atRoot = std::numeric_limits<double>::infinity();
        if (rootArcs == nullptr) {
            atRoot = 0.0;
            for (unsigned a = m_arcStart[root]; a < m_arcStart[root + 1]; ++a)
                atRoot += m_flowCapacity[m_arcs[a].edge];
        }
        AugmentFlows(root, atRoot, rootArcs);
        level = next;
    }
}

// Augmenting paths from the root to the common sink (node 1), searched first in, first out over
// edges usable in both directions.
void CSimulation::AugmentFlows(unsigned root, double atRoot, const std::vector<unsigned>* rootArcs)
{
    for (;;) {
        const unsigned stamp = NextStamp();
        std::size_t head = 0;
        std::size_t tail = 0;
        m_reachable[root] = atRoot;
        unsigned u = root;
        m_stamp[root] = stamp;
        while (u != 1) {
            const double reachable = m_reachable[u];
            const auto label = [&](unsigned a) {
                const SimArc& arc = m_arcs[a];
                const unsigned v = arc.far;
                if (m_stamp[v] == stamp)
                    return;
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
            };
            if (u == root && rootArcs != nullptr) {
                for (unsigned a : *rootArcs)
                    label(a);
            } else {
                for (unsigned a = m_arcStart[u]; a < m_arcStart[u + 1]; ++a)
                    label(a);
            }
            if (head == tail)
                return;
            u = m_queue[head++];
        }

        const double augment = m_reachable[1];
        while (u != root) {
            const SimArc& arc = m_arcs[m_predecessor[u]];
            if (arc.fromHere)
                m_flow[arc.edge] += augment;
            else
                m_flow[arc.edge] -= augment;
            u = m_cameFrom[u];
        }
    }
}
