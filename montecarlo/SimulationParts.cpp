// The production stepping of the year loop: a year taken from event to event (an element changing
// state or drawing, a demand step, a recloser's countdown running out, the year's first quantum),
// each evaluating again only the parts of the network where something changed. The reference
// stepping evaluates the whole network in every quantum; why each shortcut gives its reports to
// the bit is said where it is taken.
//
// The network splits into parts joined only through the hub: node 0, and the nodes that edges
// which never open and can never limit a flow (a supply, or a breaker or isolator that no
// protection search can reach, each able to carry every load at once) join to it. Each part hangs
// on at most one hub node. So a protection search never leaves its part, nor does a "bypassed?"
// search find anything beyond the part but its attachment, and the maximum flow's first-in
// first-out search labels the nodes of a part in the order a search of that part alone would:
// every augmenting path lies in one part, and the parts' flows are those of the whole network.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>

#include "montecarlo/Prefetch.h"
#include "montecarlo/RepeatedSum.h"
#include "montecarlo/Simulation.h"

namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
// Patterns each part remembers: a few failures at a time recur all the time.
constexpr std::size_t kPartPatterns = 256;
// What a part's switch pattern entry knows; after it, the smallest capacity (word 1), the regions
// of each recloser's ends (from in the low half, to in the high one) and the reached loads' bits.
constexpr std::uint64_t kRegionsKnown = 1;
constexpr std::uint64_t kReachKnown = 2;
constexpr std::size_t kRegionsAt = 2;
// A part's record of an evaluation with one element out (or none): whether the switch states after
// the protection are known (kSoloKnown) and the protection failed (kSoloFailed), those switch
// states, and that switch pattern's own entry, as its cache would hold it.
constexpr std::uint64_t kSoloKnown = 1;
constexpr std::uint64_t kSoloFailed = 2;
constexpr std::size_t kSoloKeyAt = 1;
// The most a part keeps in such records; a part with more elements and switches than that fits
// does without them.
constexpr std::size_t kSoloBudgetWords = std::size_t{1} << 20;
using Entry = std::pair<std::uint64_t, unsigned>;
// The heaps give the smallest (quantum or evaluation, then edge or ordinal) first.
const std::greater<Entry> kLater;

unsigned Root(std::vector<unsigned>& parent, unsigned x)
{
    while (parent[x] != x)
        x = parent[x] = parent[parent[x]];
    return x;
}

void Join(std::vector<unsigned>& parent, unsigned a, unsigned b)
{
    a = Root(parent, a);
    b = Root(parent, b);
    if (a != b)
        parent[std::max(a, b)] = std::min(a, b);
}

void Insert(std::vector<unsigned>& sorted, unsigned e)
{
    sorted.insert(std::lower_bound(sorted.begin(), sorted.end(), e), e);
}

void Erase(std::vector<unsigned>& sorted, unsigned e)
{
    sorted.erase(std::lower_bound(sorted.begin(), sorted.end(), e));
}

}  // namespace

// Networks as the parser builds them: supplies leave node 0, loads end at node 1, nothing else
// touches either, and every capacity is a number of at least 0. Any other network is simulated
// quantum by quantum.
void CSimulation::PrepareParts()
{
    m_byEvents = false;
    for (const SimEdge& edge : m_edges) {
        if (!(edge.capacity >= 0.0))
            return;
        const bool atRoot = edge.from == 0 || edge.to == 0;
        const bool atSink = edge.from == 1 || edge.to == 1;
        if (edge.type == kLoadEdge) {
            if (edge.to != 1 || edge.from <= 1)
                return;
        } else if (atSink || (atRoot && !(edge.type == kSupplyEdge && edge.from == 0 && edge.to > 1))) {
            return;
        }
    }
    m_ordinalOf.assign(m_edges.size(), 0);
    for (unsigned i = 0; i < m_reclosers.size(); ++i)
        m_ordinalOf[m_reclosers[i]] = i;
    // Without a hub node but node 0 the split always holds.
    m_byEvents = SplitIntoParts(true) || SplitIntoParts(false);
}

bool CSimulation::SplitIntoParts(bool withHub)
{
    const std::size_t nodes = m_nodes.size();
    std::vector<char> hub(nodes, 0);
    hub[0] = 1;
    double total = 1.0;
    std::vector<unsigned> zone(nodes);
    std::vector<char> live(nodes, 0);
    // An edge of the hub never opens and never limits a flow: a supply, or a breaker or isolator
    // between zones no failing element lies in (a protection search sweeps a zone, crossing
    // everything but breakers and reclosers), each able to carry one more than all loads at once.
    const auto firm = [&](const SimEdge& edge) {
        if (!(edge.capacity >= total))
            return false;
        if (edge.type == kSupplyEdge)
            return edge.from == 0;
        if (edge.type != kBreakerEdge && edge.type != kIsolatorEdge)
            return false;
        return live[Root(zone, edge.from)] == 0 && live[Root(zone, edge.to)] == 0;
    };
    if (withHub) {
        std::iota(zone.begin(), zone.end(), 0u);
        for (const SimEdge& edge : m_edges) {
            if (edge.type == kLoadEdge)
                total += edge.capacity;
            else if (edge.type != kBreakerEdge && edge.type != kRecloserEdge)
                Join(zone, edge.from, edge.to);
        }
        for (unsigned e : m_failing)
            live[Root(zone, m_edges[e].from)] = 1;
        std::vector<unsigned> stack{0};
        while (!stack.empty()) {
            const unsigned n = stack.back();
            stack.pop_back();
            for (unsigned a = m_arcStart[n]; a < m_arcStart[n + 1]; ++a) {
                const SimArc& arc = m_arcs[a];
                if (hub[arc.far] == 0 && firm(m_edges[arc.edge])) {
                    hub[arc.far] = 1;
                    stack.push_back(arc.far);
                }
            }
        }
        for (std::size_t n = 0; n < nodes; ++n) {
            if (hub[n] != 0 && live[Root(zone, static_cast<unsigned>(n))] != 0)
                return false;
        }
        for (const SimEdge& edge : m_edges) {
            if (hub[edge.from] != 0 && hub[edge.to] != 0 && !firm(edge))
                return false;
        }
    }

    std::vector<unsigned> joined(nodes);
    std::iota(joined.begin(), joined.end(), 0u);
    const auto inPart = [&hub](unsigned n) { return hub[n] == 0 && n != 1; };
    for (const SimEdge& edge : m_edges) {
        if (inPart(edge.from) && inPart(edge.to))
            Join(joined, edge.from, edge.to);
    }
    std::vector<unsigned> partOfRoot(nodes, kNoPart);
    m_parts.clear();
    m_hubLoads.clear();
    m_partOfNode.assign(nodes, kNoPart);
    m_partOfEdge.assign(m_edges.size(), kNoPart);
    for (unsigned e = 0; e < m_edges.size(); ++e) {
        const SimEdge& edge = m_edges[e];
        const unsigned n = inPart(edge.from) ? edge.from : inPart(edge.to) ? edge.to : kNoNode;
        if (n == kNoNode) {
            if (edge.type == kLoadEdge)
                m_hubLoads.push_back(e);
            continue;
        }
        unsigned& index = partOfRoot[Root(joined, n)];
        if (index == kNoPart) {
            index = static_cast<unsigned>(m_parts.size());
            m_parts.emplace_back().attach = kNoNode;
        }
        m_partOfEdge[e] = index;
        SimPart& part = m_parts[index];
        part.edges.push_back(e);
        if (edge.type == kLoadEdge)
            part.loads.push_back(e);
        if (edge.type == kBreakerEdge || edge.type == kIsolatorEdge || edge.type == kRecloserEdge)
            part.switches.push_back(e);
        if (edge.type == kRecloserEdge)
            part.reclosers.push_back(m_ordinalOf[e]);
        for (const unsigned end : {edge.from, edge.to}) {
            if (hub[end] != 0) {
                if (part.attach == kNoNode)
                    part.attach = end;
                else if (part.attach != end)
                    return false;
            } else if (end != 1 && m_partOfNode[end] == kNoPart) {
                m_partOfNode[end] = index;
                part.nodes.push_back(end);
            }
        }
    }
    for (unsigned n = 0; n < nodes; ++n) {
        for (unsigned a = m_arcStart[n]; a < m_arcStart[n + 1]; ++a) {
            const unsigned p = m_partOfEdge[m_arcs[a].edge];
            if (p != kNoPart && m_parts[p].attach == n)
                m_parts[p].attachArcs.push_back(a);
        }
    }
    if (withHub) {
        // A hub edge carries the loads of every part, summed in rounded steps: one per augmenting
        // path, fewer than edges x nodes in a part. Their rounding must stay far below the margin
        // of 1 that a hub edge has over all loads together.
        double paths = static_cast<double>(m_loads.size());
        for (const SimPart& part : m_parts)
            paths += static_cast<double>(part.edges.size()) * static_cast<double>(part.nodes.size());
        if (!(paths * total * 0x1p-52 < 0.25))
            return false;
    }
    return true;
}

// At least one word, so that no key is empty.
std::size_t CSimulation::SwitchWords(const SimPart& part)
{
    return std::max<std::size_t>(1, (part.switches.size() + 63) / 64);
}

void CSimulation::PrepareEvents()
{
    // Every element draws its first times in the run's first quantum.
    m_due.clear();
    m_due.reserve(m_failing.size() + 1);
    for (unsigned e : m_failing)
        m_due.emplace_back(0, e);
    std::make_heap(m_due.begin(), m_due.end(), kLater);
    m_steppedAt.assign(m_edges.size(), 0);
    m_outCount = 0;
    m_yearStart = 0;

    m_switchInPart.assign(m_edges.size(), 0);
    m_failingInPart.assign(m_edges.size(), 0);
    std::vector<std::size_t> failingIn(m_parts.size(), 0);
    for (unsigned e : m_failing)
        m_failingInPart[e] = static_cast<unsigned>(failingIn[m_partOfEdge[e]]++);
    m_touched.clear();
    m_touched.reserve(m_parts.size());
    for (unsigned p = 0; p < m_parts.size(); ++p) {
        SimPart& part = m_parts[p];
        part.failed.clear();
        part.failed.reserve(failingIn[p]);
        part.isolated.clear();
        part.isolated.reserve(failingIn[p]);
        part.isolateFailures = 0;
        part.switchesTouched = part.flowsTouched = false;
        const std::size_t switchWords = SwitchWords(part);
        part.key.assign(switchWords + (m_varyingLoad ? part.loads.size() : 0), 0);
        part.reset.clear();
        part.resetKey.assign(switchWords, 0);
        for (std::size_t i = 0; i < part.switches.size(); ++i) {
            const unsigned s = part.switches[i];
            m_switchInPart[s] = static_cast<unsigned>(i);
            if (m_current[s] != 0.0)
                part.key[i / 64] |= std::uint64_t{1} << (i % 64);
            part.reset.push_back(m_switchReset[m_switchOf[s]]);
            if (part.reset.back() != 0.0)
                part.resetKey[i / 64] |= std::uint64_t{1} << (i % 64);
        }
        part.reached.assign((part.loads.size() + 63) / 64, 0);
        part.switchesChanged = false;
        part.pattern = nullptr;
        part.patterns.Reset(switchWords, PatternWords(part), kPartPatterns);
        const std::size_t records = 2 * failingIn[p] + 1;
        part.soloWords = kSoloKeyAt + switchWords + PatternWords(part);
        part.solo.assign(records * part.soloWords <= kSoloBudgetWords ? records * part.soloWords : 0, 0);
        part.flows.Reset(part.key.size(), part.loads.size(), kPartPatterns);
        Touch(p, true);
    }
    m_isolateFailuresPerEvaluation = 0;

    const std::size_t reclosers = m_reclosers.size();
    m_recloserMode.assign(reclosers, kClosedRecloser);
    m_closingEvaluation.assign(reclosers, 0);
    m_closing.clear();
    m_closing.reserve(4 * reclosers);
    m_bypassTree.assign(reclosers + 1, 0);
    m_bypassChanges.clear();
    m_bypassChanges.reserve(reclosers);
    m_bypassedCount = 0;
    m_evaluations = 0;
    m_drawBase = m_random.GetState();
    m_region.assign(m_nodes.size(), 0);
    m_regionParent.assign(m_nodes.size() + 1, 0);
    m_tallyFrom.assign(m_edges.size(), 0);
    m_supplied.assign(m_edges.size(), 1);
    m_yearLoads.clear();
    m_yearLoads.reserve(m_loads.size());
    m_listed.assign(m_edges.size(), 0);
    m_unsupplied.clear();
    m_unsupplied.reserve(m_loads.size());
    m_unsuppliedAt.assign(m_edges.size(), 0);
    // The hub limits nothing: its loads always get their whole demand.
    for (unsigned e : m_hubLoads)
        m_flow[e] = m_current[e];
}

void CSimulation::SimulateYearByEvents()
{
    // SimulateYear cleared last year's loads; an interruption running on counts in this one.
    for (unsigned e : m_yearLoads)
        m_listed[e] = 0;
    m_yearLoads.clear();
    for (unsigned e : m_unsupplied) {
        m_listed[e] = 1;
        m_yearLoads.push_back(e);
    }
    const std::uint64_t end = m_yearStart + m_quantaPerYear;
    for (std::uint64_t g = m_yearStart; g < end;) {
        SimulateEventQuantum(g, g == m_yearStart);
        const std::uint64_t next = NextEventQuantum(g, end);
        // On a large network the next element's records, its part and the part's patterns have
        // left the caches since its last event; they load while the quanta between are taken.
        if (!m_due.empty()) {
            const unsigned e = m_due.front().second;
            korvane::Prefetch(&m_edges[e], sizeof(SimEdge));
            korvane::Prefetch(&m_failingInPart[e], sizeof(unsigned));
            const SimPart& part = m_parts[m_partOfEdge[e]];
            korvane::Prefetch(&part, sizeof(SimPart));
            part.patterns.Prefetch();
        }
        RepeatEvaluations(next - g - 1);
        g = next;
    }
    for (unsigned e : m_unsupplied)
        SettleLoad(e, end);
    m_yearStart = end;
}

// Quantum g, t = g - m_yearStart within its year, as the reference simulates it, where the parts
// that nothing touched would only give again what they gave at their last evaluation.
void CSimulation::SimulateEventQuantum(std::uint64_t g, bool yearStart)
{
    // The records of an evaluation with the first due element out, or with none, load while it steps.
    if (!m_due.empty() && m_due.front().first == g) {
        const unsigned e = m_due.front().second;
        const SimPart& part = m_parts[m_partOfEdge[e]];
        if (!part.solo.empty()) {
            korvane::Prefetch(part.solo.data() + 2 * m_failingInPart[e] * part.soloWords,
                              2 * part.soloWords * sizeof(std::uint64_t));
            korvane::Prefetch(part.solo.data() + part.solo.size() - part.soloWords, part.soloWords * sizeof(std::uint64_t));
        }
    }
    bool changed = false;
    while (!m_due.empty() && m_due.front().first == g) {
        const unsigned e = m_due.front().second;
        std::pop_heap(m_due.begin(), m_due.end(), kLater);
        m_due.pop_back();
        changed = StepElement(e, g) || changed;
    }
    if (m_varyingLoad) {
        const std::uint64_t t = g - m_yearStart;
        const bool step = m_nextDemandStep < m_demandSteps.size() && m_demandSteps[m_nextDemandStep] == t;
        if (step)
            ++m_nextDemandStep;
        if (step || yearStart)
            SetDemandsByEvents(t, g);
    }

    if (changed || m_outCount > 0 || yearStart) {
        ++m_evaluations;
        while (!m_closing.empty() && m_closing.front().first <= m_evaluations) {
            const auto [evaluation, ordinal] = m_closing.front();
            std::pop_heap(m_closing.begin(), m_closing.end(), kLater);
            m_closing.pop_back();
            if (m_recloserMode[ordinal] == kCountingRecloser && m_closingEvaluation[ordinal] == evaluation)
                Touch(m_partOfEdge[m_reclosers[ordinal]], true);
        }
        for (unsigned p : m_touched) {
            if (m_parts[p].switchesTouched)
                EvaluatePart(p);
        }
        for (const auto& [ordinal, bypassed] : m_bypassChanges) {
            const unsigned delta = bypassed ? 1u : ~0u;  // +1 or -1, modulo 2^32
            for (std::size_t i = ordinal + 1; i < m_bypassTree.size(); i += i & (~i + 1))
                m_bypassTree[i] += delta;
            if (bypassed)
                ++m_bypassedCount;
            else
                --m_bypassedCount;
        }
        m_bypassChanges.clear();
        m_isolateFailuresThisYear += m_isolateFailuresPerEvaluation;
        // Every bypassed recloser draws now, in recloser order; each one's draw is worked out
        // from here when it is needed.
        m_drawBase = m_random.GetState();
        m_random.Discard(m_bypassedCount);
    }
    for (unsigned p : m_touched)
        UpdatePartFlows(p, g);
    m_touched.clear();
}

// The quantum after g in which something may change: the quanta between repeat g.
std::uint64_t CSimulation::NextEventQuantum(std::uint64_t g, std::uint64_t end)
{
    std::uint64_t next = end;
    if (!m_due.empty())
        next = std::min(next, m_due.front().first);
    if (m_varyingLoad && m_nextDemandStep < m_demandSteps.size())
        next = std::min(next, m_yearStart + m_demandSteps[m_nextDemandStep]);
    if (m_outCount > 0) {
        // Each quantum is an evaluation while an element is out.
        while (!m_closing.empty() && (m_recloserMode[m_closing.front().second] != kCountingRecloser ||
                                      m_closingEvaluation[m_closing.front().second] != m_closing.front().first)) {
            std::pop_heap(m_closing.begin(), m_closing.end(), kLater);
            m_closing.pop_back();
        }
        if (!m_closing.empty())
            next = std::min(next, g + (m_closing.front().first - m_evaluations));
    }
    return next;
}

// Quanta that repeat the last: evaluated while an element is out, where the bypassed reclosers
// draw again (only the last draws are kept, so the generator skips the others) and the counting
// ones count on, none of them to 0.
void CSimulation::RepeatEvaluations(std::uint64_t quanta)
{
    if (quanta == 0 || m_outCount == 0)
        return;
    m_evaluations += quanta;
    m_isolateFailuresThisYear += quanta * m_isolateFailuresPerEvaluation;
    if (m_bypassedCount > 0) {
        m_random.Discard((quanta - 1) * m_bypassedCount);
        m_drawBase = m_random.GetState();
        m_random.Discard(m_bypassedCount);
    }
}

// An element whose countdown runs out in quantum g: its countdowns stood at the step of quantum
// m_steppedAt, and have run down since.
bool CSimulation::StepElement(unsigned e, std::uint64_t g)
{
    SimEdge& edge = m_edges[e];
    ActiveCountdown(edge) = 0;
    const int before = edge.state;
    const int state = NextEdgeState(edge);
    m_steppedAt[e] = g;
    if (state != before) {
        SimPart& part = m_parts[m_partOfEdge[e]];
        if (before == kFailed)
            Erase(part.failed, e);
        else if (before == kIsolated)
            Erase(part.isolated, e);
        if (state == kFailed)
            Insert(part.failed, e);
        else if (state == kIsolated)
            Insert(part.isolated, e);
        if (before == kWorking)
            ++m_outCount;
        else if (state == kWorking)
            --m_outCount;
        edge.state = state;
        Touch(m_partOfEdge[e], true);
    }
    const std::uint64_t countdown = ActiveCountdown(edge);
    if (countdown < kNever - g - 1) {
        m_due.emplace_back(g + countdown + 1, e);
        std::push_heap(m_due.begin(), m_due.end(), kLater);
    }
    return state != before;
}

// The loads whose demand steps in quantum t; an interrupted one counts the quanta of its old
// demand first.
void CSimulation::SetDemandsByEvents(std::uint64_t t, std::uint64_t g)
{
    for (const DemandCurve& curve : m_demandCurves) {
        const double demand = curve.values[t * curve.size / m_quantaPerYear];
        if (demand == m_current[curve.edge])
            continue;
        const unsigned p = m_partOfEdge[curve.edge];
        if (p == kNoPart) {
            m_current[curve.edge] = m_flow[curve.edge] = demand;
            continue;
        }
        if (!m_edges[curve.edge].supplied)
            SettleLoad(curve.edge, g);
        m_current[curve.edge] = demand;
        Touch(p, false);
    }
}

void CSimulation::Touch(unsigned index, bool switches)
{
    SimPart& part = m_parts[index];
    if (!part.switchesTouched && !part.flowsTouched)
        m_touched.push_back(index);
    part.flowsTouched = true;
    part.switchesTouched = part.switchesTouched || switches;
}

// The part's switches as the reference's evaluation leaves them: reset, opened around the
// elements out (isolated ones first, each in edge order), then the reclosers in order.
void CSimulation::EvaluatePart(unsigned index)
{
    SimPart& part = m_parts[index];
    part.switchesTouched = false;
    part.switchesChanged = true;
    const std::size_t switchWords = SwitchWords(part);
    // With one element out or none, what the protection opens depends on nothing else: it is
    // remembered, with the entry of the pattern it leaves, and most evaluations need neither a
    // search nor a look-up.
    std::uint64_t* solo = nullptr;
    if (part.failed.size() + part.isolated.size() <= 1 && !part.solo.empty()) {
        std::size_t record = part.solo.size() / part.soloWords - 1;
        if (!part.failed.empty())
            record = 2 * m_failingInPart[part.failed.front()];
        else if (!part.isolated.empty())
            record = 2 * m_failingInPart[part.isolated.front()] + 1;
        solo = part.solo.data() + record * part.soloWords;
    }
    std::uint64_t failures = 0;
    if (solo != nullptr && (solo[0] & kSoloKnown) != 0) {
        std::copy(solo + kSoloKeyAt, solo + kSoloKeyAt + switchWords, part.key.begin());
        for (std::size_t i = 0; i < part.switches.size(); ++i)
            m_current[part.switches[i]] = (part.key[i / 64] >> (i % 64) & 1) != 0 ? part.reset[i] : 0.0;
        failures = (solo[0] & kSoloFailed) != 0 ? 1 : 0;
    } else {
        for (std::size_t i = 0; i < part.switches.size(); ++i)
            m_current[part.switches[i]] = part.reset[i];
        std::copy(part.resetKey.begin(), part.resetKey.end(), part.key.begin());
        for (unsigned e : part.isolated)
            failures += Isolate(e, true) ? 1 : 0;
        for (unsigned e : part.failed)
            failures += Isolate(e, false) ? 1 : 0;
        if (solo != nullptr) {
            std::copy(part.key.begin(), part.key.begin() + static_cast<std::ptrdiff_t>(switchWords), solo + kSoloKeyAt);
            solo[0] = kSoloKnown | (failures != 0 ? kSoloFailed : 0);
        }
    }
    m_isolateFailuresPerEvaluation += failures - part.isolateFailures;
    part.isolateFailures = failures;
    std::uint64_t* pattern = solo != nullptr ? solo + kSoloKeyAt + switchWords : FindPattern(part);
    part.pattern = pattern;
    if (part.reclosers.empty())
        return;
    // Which region each recloser's ends lie in depends only on which switches are closed.
    const std::uint64_t* regions = pattern + kRegionsAt;
    if ((pattern[0] & kRegionsKnown) == 0) {
        LabelRegions(index);
        for (std::size_t i = 0; i < part.reclosers.size(); ++i) {
            const SimEdge& edge = m_edges[m_reclosers[part.reclosers[i]]];
            pattern[kRegionsAt + i] = m_region[edge.from] | std::uint64_t{m_region[edge.to]} << 32;
        }
        pattern[0] |= kRegionsKnown;
    }
    for (std::size_t i = 0; i < part.reclosers.size(); ++i) {
        for (const unsigned region : {static_cast<unsigned>(regions[i]), static_cast<unsigned>(regions[i] >> 32)})
            m_regionParent[region] = region;
    }
    bool closed = false;
    for (std::size_t i = 0; i < part.reclosers.size(); ++i) {
        closed = StepRecloserByEvents(part.reclosers[i], static_cast<unsigned>(regions[i]),
                                      static_cast<unsigned>(regions[i] >> 32)) ||
                 closed;
    }
    part.pattern = closed ? nullptr : pattern;
}

std::size_t CSimulation::PatternWords(const SimPart& part)
{
    return kRegionsAt + part.reclosers.size() + (part.loads.size() + 63) / 64;
}

std::uint64_t* CSimulation::FindPattern(SimPart& part)
{
    const std::uint64_t hash = HashKey(part, false);
    if (std::uint64_t* found = part.patterns.Find(part.key.data(), hash))
        return found;
    std::uint64_t* made = part.patterns.Insert(part.key.data(), hash);
    made[0] = 0;
    return made;
}

std::uint64_t CSimulation::HashKey(SimPart& part, bool demands)
{
    std::size_t width = SwitchWords(part);
    if (demands) {
        for (unsigned e : part.loads)
            std::memcpy(&part.key[width++], &m_current[e], sizeof(double));
    }
    return CPatternCache<std::uint64_t, double>::Hash(part.key.data(), width);
}

// One label per region of closed edges, the sink left out: a recloser is bypassed when both its
// ends lie in one region, counting the reclosers that closed before it in this evaluation.
void CSimulation::LabelRegions(unsigned index)
{
    const SimPart& part = m_parts[index];
    const unsigned stamp = NextStamp();
    unsigned labels = 0;
    // The attachment, stamped first, is only ever a search's start.
    const auto sweep = [&](unsigned start) {
        if (m_stamp[start] == stamp)
            return;
        const unsigned label = labels++;
        m_regionParent[label] = label;
        m_stamp[start] = stamp;
        m_region[start] = label;
        std::size_t head = 0;
        std::size_t tail = 0;
        const auto reach = [&](const SimArc& arc) {
            if (m_current[arc.edge] == 0.0 || arc.far == 1 || m_stamp[arc.far] == stamp)
                return;
            m_stamp[arc.far] = stamp;
            m_region[arc.far] = label;
            m_queue[tail++] = arc.far;
        };
        if (start == part.attach) {
            for (unsigned a : part.attachArcs)
                reach(m_arcs[a]);
        } else {
            m_queue[tail++] = start;
        }
        while (head < tail) {
            const unsigned n = m_queue[head++];
            for (unsigned a = m_arcStart[n]; a < m_arcStart[n + 1]; ++a)
                reach(m_arcs[a]);
        }
    };
    if (part.attach != kNoNode)
        sweep(part.attach);
    for (unsigned n : part.nodes)
        sweep(n);
}

// StepRecloser for the recloser of that ordinal, its countdown taken from where it stands.
bool CSimulation::StepRecloserByEvents(unsigned ordinal, unsigned fromRegion, unsigned toRegion)
{
    const unsigned e = m_reclosers[ordinal];
    const SimEdge& edge = m_edges[e];
    const unsigned a = Root(m_regionParent, fromRegion);
    const unsigned b = Root(m_regionParent, toRegion);
    std::uint8_t& mode = m_recloserMode[ordinal];
    if (a == b) {
        if (mode != kBypassedRecloser)
            m_bypassChanges.emplace_back(ordinal, true);
        mode = kBypassedRecloser;
        return false;
    }
    std::uint64_t countdown = 0;
    if (mode == kBypassedRecloser) {
        countdown = BypassedCountdown(ordinal);
        m_bypassChanges.emplace_back(ordinal, false);
    } else if (mode == kCountingRecloser) {
        countdown = m_closingEvaluation[ordinal] - m_evaluations;
    }
    if (countdown == 0) {
        SetSwitch(e, edge.capacity);
        m_regionParent[a] = b;
        mode = kClosedRecloser;
        return true;
    }
    // Modulo 2^64, so that a countdown of "never" still reads back exactly.
    mode = kCountingRecloser;
    m_closingEvaluation[ordinal] = m_evaluations + countdown;
    if (countdown < kNever - m_evaluations) {
        m_closing.emplace_back(m_evaluations + countdown, ordinal);
        std::push_heap(m_closing.begin(), m_closing.end(), kLater);
    }
    return false;
}

// The countdown a bypassed recloser holds after its draw at the last evaluation: the draw of its
// rank among the bypassed reclosers, after the generator's state before that evaluation's draws.
std::uint64_t CSimulation::BypassedCountdown(unsigned ordinal) const
{
    std::uint64_t rank = 0;
    for (std::size_t i = ordinal + 1; i > 0; i -= i & (~i + 1))
        rank += m_bypassTree[i];
    const double sample = m_edges[m_reclosers[ordinal]].reclose.InverseCDF(
        CRandom::Uniform(CRandom::Advance(m_drawBase, rank)));
    const std::uint64_t drawn = WholeQuanta(sample);
    return drawn == kNever ? kNever - 1 : drawn;  // drawn + 1, less the evaluation's count
}

// Where nothing can bind (every closed edge the part's reached loads could flow through carries
// them all, with room for rounding), the maximum flow gives each load its whole demand when it is
// reached and nothing otherwise, to the bit: each augmenting path then ends in a load not yet
// supplied and carries its whole demand. Else the augmenting paths run over the part. What is
// reached changes only with the switches (and is remembered with their pattern): a demand step
// only checks the demands against it.
void CSimulation::UpdatePartFlows(unsigned index, std::uint64_t g)
{
    SimPart& part = m_parts[index];
    part.flowsTouched = false;
    if (part.switchesChanged) {
        part.switchesChanged = false;
        std::uint64_t* pattern = part.pattern != nullptr ? part.pattern : FindPattern(part);
        part.pattern = nullptr;
        std::uint64_t* reached = pattern + kRegionsAt + part.reclosers.size();
        if ((pattern[0] & kReachKnown) == 0) {
            FindReach(index);
            pattern[1] = std::bit_cast<std::uint64_t>(part.smallest);
            std::copy(part.reached.begin(), part.reached.end(), reached);
            pattern[0] |= kReachKnown;
        } else {
            part.smallest = std::bit_cast<double>(pattern[1]);
            std::copy(reached, reached + part.reached.size(), part.reached.begin());
        }
    }
    if (!SupplyReached(part)) {
        const std::uint64_t hash = HashKey(part, m_varyingLoad);
        if (const double* cached = part.flows.Find(part.key.data(), hash)) {
            for (std::size_t i = 0; i < part.loads.size(); ++i)
                m_flow[part.loads[i]] = cached[i];
        } else {
            ComputeFlows(&part.edges, part.loads, part.attach, &part.attachArcs);
            double* stored = part.flows.Insert(part.key.data(), hash);
            for (std::size_t i = 0; i < part.loads.size(); ++i)
                stored[i] = m_flow[part.loads[i]];
        }
    }
    UpdateSupply(part, g);
}

// Which of the part's loads closed edges join to its attachment, and the smallest capacity among
// the closed edges they could flow through.
void CSimulation::FindReach(unsigned index)
{
    SimPart& part = m_parts[index];
    part.smallest = std::numeric_limits<double>::infinity();
    std::fill(part.reached.begin(), part.reached.end(), 0);
    if (part.attach == kNoNode)
        return;
    const unsigned stamp = NextStamp();
    std::size_t head = 0;
    std::size_t tail = 0;
    const auto reach = [&](const SimArc& arc) {
        const double capacity = m_current[arc.edge];
        if (capacity == 0.0 || arc.far == 1)
            return;
        part.smallest = std::min(part.smallest, capacity);
        if (m_stamp[arc.far] != stamp) {
            m_stamp[arc.far] = stamp;
            m_queue[tail++] = arc.far;
        }
    };
    m_stamp[part.attach] = stamp;
    for (unsigned a : part.attachArcs)
        reach(m_arcs[a]);
    while (head < tail) {
        const unsigned n = m_queue[head++];
        for (unsigned a = m_arcStart[n]; a < m_arcStart[n + 1]; ++a)
            reach(m_arcs[a]);
    }
    for (std::size_t i = 0; i < part.loads.size(); ++i) {
        if (m_stamp[m_edges[part.loads[i]].from] == stamp)
            part.reached[i / 64] |= std::uint64_t{1} << (i % 64);
    }
}

// When nothing can bind: each reached load gets its demand, the others nothing.
bool CSimulation::SupplyReached(const SimPart& part)
{
    const auto reached = [&part](std::size_t i) { return (part.reached[i / 64] >> (i % 64) & 1) != 0; };
    double demand = 0.0;
    for (std::size_t i = 0; i < part.loads.size(); ++i) {
        if (reached(i))
            demand += m_current[part.loads[i]];
    }
    if (!(part.smallest >= demand + demand * 1e-9))
        return false;
    for (std::size_t i = 0; i < part.loads.size(); ++i)
        m_flow[part.loads[i]] = reached(i) ? m_current[part.loads[i]] : 0.0;
    return true;
}

// RecordSupply for the part's loads, an interrupted load's quanta counted when its interruption
// ends, its demand steps or the year ends.
void CSimulation::UpdateSupply(const SimPart& part, std::uint64_t g)
{
    for (unsigned e : part.loads) {
        const double demand = m_current[e];
        const bool supplied = std::fabs(m_flow[e] - demand) < 1e-10 * std::max(1.0, demand);
        if (supplied != (m_supplied[e] != 0))
            ChangeSupply(e, supplied, g);
    }
}

void CSimulation::ChangeSupply(unsigned load, bool supplied, std::uint64_t g)
{
    SimEdge& edge = m_edges[load];
    if (supplied) {
        SettleLoad(load, g);
        EndInterruption(load);
        const unsigned at = m_unsuppliedAt[load];
        m_unsupplied[at] = m_unsupplied.back();
        m_unsuppliedAt[m_unsupplied[at]] = at;
        m_unsupplied.pop_back();
    } else {
        ++edge.interruptionsThisYear;
        m_tallyFrom[load] = g;
        m_unsuppliedAt[load] = static_cast<unsigned>(m_unsupplied.size());
        m_unsupplied.push_back(load);
        if (m_listed[load] == 0) {
            m_listed[load] = 1;
            m_yearLoads.push_back(load);
        }
    }
    edge.supplied = supplied;
    m_supplied[load] = supplied ? 1 : 0;
}

void CSimulation::SettleLoad(unsigned load, std::uint64_t upTo)
{
    SimEdge& edge = m_edges[load];
    const std::uint64_t quanta = upTo - m_tallyFrom[load];
    edge.interruptedQuantaThisYear += quanta;
    edge.runningInterruptionQuanta += quanta;
    edge.energyNotSuppliedThisYear = korvane::AddRepeatedly(edge.energyNotSuppliedThisYear, m_current[load], quanta);
    m_tallyFrom[load] = upTo;
}

// The countdowns as the reference leaves them after the last simulated quantum.
void CSimulation::SettleCountdowns()
{
    if (m_yearStart == 0)
        return;
    const std::uint64_t last = m_yearStart - 1;
    for (unsigned e : m_failing) {
        ActiveCountdown(m_edges[e]) -= last - m_steppedAt[e];
        m_steppedAt[e] = last;
    }
    for (unsigned ordinal = 0; ordinal < m_reclosers.size(); ++ordinal) {
        std::uint64_t& countdown = m_edges[m_reclosers[ordinal]].recloseCountdown;
        switch (m_recloserMode[ordinal]) {
        case kClosedRecloser: countdown = 0; break;
        case kCountingRecloser: countdown = m_closingEvaluation[ordinal] - m_evaluations - 1; break;
        default: countdown = BypassedCountdown(ordinal); break;
        }
    }
}
