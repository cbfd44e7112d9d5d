#include "analytical/GMLGenerator.h"

#include <algorithm>
#include <numeric>

#include "model/KorvaneDoc.h"
#include "model/WidgetText.h"
#include "platform/NumberFormat.h"

namespace {

// Every hit region a test looks at (handles, symbol bodies) lies within this many units of one of
// the widget's own points; widgets with no points this close cannot touch.
constexpr std::int64_t kReach = 64;

std::uint64_t CellKey(std::int64_t cx, std::int64_t cy)
{
    return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint64_t>(cy & 0xFFFFFFFF);
}

std::int64_t CellOf(std::int32_t v)
{
    const std::int64_t x = v;
    return x >= 0 ? x / kReach : -((-x + kReach - 1) / kReach);
}

// The feeder values of the six widgets that carry a main or lateral feeder, or null.
CFeederData* FeederData(CWidget* w)
{
    switch (w->GetType()) {
    case WidgetType::Line:
    case WidgetType::Equipment:
    case WidgetType::Transformer:
        return static_cast<CBranchWidget*>(w);
    case WidgetType::CircuitBreaker:
    case WidgetType::Fuse:
    case WidgetType::Isolator:
        return static_cast<CSwitchWidget*>(w);
    default:
        return nullptr;
    }
}

std::int32_t& NodeIdOf(CWidget* w)
{
    if (w->GetType() == WidgetType::LoadPoint)
        return static_cast<CLoadPoint*>(w)->m_nNodeId;
    return static_cast<CGenSource*>(w)->m_nNodeId;
}

std::string JunctionRecord(std::int32_t number, int code)
{
    return GmlRecord().Int("id", number).Int("component_id", code).Wrap("node");
}

// Whether a two-ended widget's end (its start when `atStart`) touches a point of another widget:
// either one's hit area holds the other's point, so the answer does not depend on which of the two
// is asked. A symbol's hit area is its body.
bool EndTouches(const CWidget& w, bool atStart, const CWidget& x, CPoint xPoint, bool xAtStart)
{
    const CPoint wPoint = atStart ? w.GetStartPoint() : w.GetEndPoint();
    const bool wHolds = atStart ? w.HitTestStart(xPoint) : w.HitTestEnd(xPoint);
    if (!x.IsTwoEnded())
        return wHolds || x.HitTest(wPoint);
    return wHolds || (xAtStart ? x.HitTestStart(wPoint) : x.HitTestEnd(wPoint));
}

}  // namespace

CGMLGenerator::CGMLGenerator(CKorvaneDoc* pDoc) : m_pDoc(pDoc)
{
    for (int t = 0; t < kWidgetTypeCount; ++t)
        m_counts[static_cast<std::size_t>(t)] = pDoc->GetCollection(static_cast<WidgetType>(t)).GetSize();
}

void CGMLGenerator::BuildOrder()
{
    m_order = m_pDoc->GetWidgetsInOrder(&m_counts);

    m_grid.clear();
    if (m_exhaustive)
        return;
    for (int p = 0; p < static_cast<int>(m_order.size()); ++p) {
        const CWidget* w = m_order[static_cast<std::size_t>(p)];
        const CPoint points[2] = {w->GetStartPoint(), w->GetEndPoint()};
        for (int i = 0; i < (w->IsTwoEnded() ? 2 : 1); ++i) {
            auto& cell = m_grid[CellKey(CellOf(points[i].x), CellOf(points[i].y))];
            if (cell.empty() || cell.back() != p)
                cell.push_back(p);
        }
    }
}

template <typename Test>
bool CGMLGenerator::ForEachNeighbour(int p, Test&& test)
{
    const int n = static_cast<int>(m_order.size());
    if (m_exhaustive) {
        for (int q = 0; q < n; ++q)
            if (q != p && test(q))
                return true;
        return false;
    }
    m_candidates.clear();
    const CWidget* w = m_order[static_cast<std::size_t>(p)];
    const CPoint points[2] = {w->GetStartPoint(), w->GetEndPoint()};
    for (int i = 0; i < (w->IsTwoEnded() ? 2 : 1); ++i) {
        const std::int64_t cx = CellOf(points[i].x);
        const std::int64_t cy = CellOf(points[i].y);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = m_grid.find(CellKey(cx + dx, cy + dy));
                if (it != m_grid.end())
                    m_candidates.insert(m_candidates.end(), it->second.begin(), it->second.end());
            }
    }
    std::sort(m_candidates.begin(), m_candidates.end());
    m_candidates.erase(std::unique(m_candidates.begin(), m_candidates.end()), m_candidates.end());
    // The test may call back into this generator; walk a copy.
    const std::vector<int> candidates = m_candidates;
    for (int q : candidates)
        if (q != p && test(q))
            return true;
    return false;
}

// The same symmetric touch test that joins the ends: a widget passes when each of its ends touches
// another widget, seen from either side, as the NDL check has it; so both checks agree, and every
// end that passes shares its node with what it touches.
bool CGMLGenerator::Validate()
{
    BuildOrder();
    GroupEnds();
    bool valid = true;
    for (int p = 0; p < static_cast<int>(m_order.size()); ++p) {
        CWidget* w = m_order[static_cast<std::size_t>(p)];
        const auto first = static_cast<std::size_t>(m_firstEnd[static_cast<std::size_t>(p)]);
        if (!(m_touched[first] && (!w->IsTwoEnded() || m_touched[first + 1]))) {
            m_errors.Add(w);
            valid = false;
        }
    }
    return valid;
}

std::int32_t CGMLGenerator::NewJunction()
{
    m_strGML += JunctionRecord(m_counter, 3);
    return m_counter++;
}

void CGMLGenerator::Generate()
{
    BuildOrder();
    for (CWidget* w : m_order) {
        if (w->IsTwoEnded())
            w->m_source = w->m_target = -1;
        else
            NodeIdOf(w) = -1;
    }
    m_strGML = "graph [\ndirected 1\n";
    m_counter = 0;
    m_nextFeederId = 1;

    // One supply node for all gen sources.
    const auto& genSources = *m_pDoc->m_pGenSources;
    const int genCount = std::min(m_counts[static_cast<std::size_t>(WidgetType::GenSource)], genSources.GetSize());
    for (int i = 0; i < genCount; ++i) {
        genSources.GetAt(i)->m_nNodeId = m_counter;
        if (i == 0)
            m_strGML += genSources.GetAt(i)->GetGMLRecord();
    }
    if (genCount > 0)
        ++m_counter;

    const auto& loads = *m_pDoc->m_pLoadPoints;
    const int loadCount = std::min(m_counts[static_cast<std::size_t>(WidgetType::LoadPoint)], loads.GetSize());
    for (int k = 0; k < loadCount; ++k) {
        CLoadPoint* load = loads.GetAt(k);
        load->m_nNodeId = m_counter++;
        load->m_nLoadId = k;
        m_strGML += load->GetGMLRecord();
    }

    GroupEnds();
    NumberSymbolGroups();
    NumberBusBars();

    std::array<int, kWidgetTypeCount> running{};
    for (int p = 0; p < static_cast<int>(m_order.size()); ++p) {
        CWidget* w = m_order[static_cast<std::size_t>(p)];
        const WidgetType type = w->GetType();
        const int index = running[static_cast<std::size_t>(type)]++;
        if (CFeederData* data = FeederData(w)) {
            // The same rule as the record's key: only type 1 writes "main_feeder_id".
            if (data->m_nFeederType == 1)
                data->m_nMainFeederId = m_nextFeederId;
            else
                data->m_nLateralFeederId = m_nextFeederId;
            ++m_nextFeederId;
        } else if (type == WidgetType::Recloser) {
            static_cast<CRecloser*>(w)->m_nReclFeederId = index;
        } else {
            continue;
        }
        if (w->m_source == -1 || w->m_target == -1)
            ResolveEnds(p);
        m_strGML += w->GetGMLRecord();
    }

    const std::int32_t terminal = m_counter;
    m_strGML += JunctionRecord(terminal, 4);
    long long feederId = static_cast<long long>(m_nextFeederId) + 1;
    for (int k = 0; k < loadCount; ++k)
        m_strGML += PerfectFeeder(loads.GetAt(k)->m_nNodeId, terminal, feederId++);
    // Links carry id 0: no run faults them, and the feeders a run counts stay the drawn ones.
    for (const auto& [group, symbol] : m_links)
        m_strGML += PerfectFeeder(group, symbol, 0);
    m_strGML += "]\n";
}

// A main feeder that never fails, without switch or transformer, of capacity 10000000.
std::string CGMLGenerator::PerfectFeeder(std::int32_t source, std::int32_t target, long long id)
{
    GmlRecord r;
    r.Int("source", source).Int("target", target).Fixed("feeder_type_id 1").Int("main_feeder_id", id);
    r.Fixed("fault_rate 0").Fixed("repair_time 0").Fixed("length 0").Fixed("max_cap 10000000.");
    r.Fixed("switch_id 0").Fixed("trans_id 0");
    return r.Wrap("edge");
}

int CGMLGenerator::Root(int end)
{
    auto& parent = m_endParent;
    while (parent[static_cast<std::size_t>(end)] != end) {
        parent[static_cast<std::size_t>(end)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(end)])];
        end = parent[static_cast<std::size_t>(end)];
    }
    return end;
}

void CGMLGenerator::JoinEnds(int a, int b)
{
    const int ra = Root(a);
    const int rb = Root(b);
    if (ra != rb)
        m_endParent[static_cast<std::size_t>(std::max(ra, rb))] = std::min(ra, rb);
}

// Ends that touch share one node, and so do ends joined through a chain of touching ends or through
// a bus bar; the touch test is symmetric. So every pair of ends that the check accepts, whichever of
// the two widgets comes first in the list, gets one node number.
void CGMLGenerator::GroupEnds()
{
    m_firstEnd.clear();
    int ends = 0;
    for (const CWidget* w : m_order) {
        m_firstEnd.push_back(ends);
        ends += w->IsTwoEnded() ? 2 : 1;
    }
    m_endParent.resize(static_cast<std::size_t>(ends));
    std::iota(m_endParent.begin(), m_endParent.end(), 0);
    m_groupNumber.assign(static_cast<std::size_t>(ends), -1);
    m_touched.assign(static_cast<std::size_t>(ends), false);
    auto touch = [this](int a, int b) {
        m_touched[static_cast<std::size_t>(a)] = m_touched[static_cast<std::size_t>(b)] = true;
    };

    for (int p = 0; p < static_cast<int>(m_order.size()); ++p) {
        const CWidget* w = m_order[static_cast<std::size_t>(p)];
        const int wEnd = m_firstEnd[static_cast<std::size_t>(p)];
        if (!w->IsTwoEnded()) {
            // Two symbols that touch share one node, as in the NDL text; the second is linked to it.
            ForEachNeighbour(p, [&](int q) {
                const CWidget* x = m_order[static_cast<std::size_t>(q)];
                const int xEnd = m_firstEnd[static_cast<std::size_t>(q)];
                if (!x->IsTwoEnded() && (w->HitTest(x->GetStartPoint()) || x->HitTest(w->GetStartPoint())))
                    touch(wEnd, xEnd), JoinEnds(wEnd, xEnd);
                return false;
            });
            continue;
        }
        if (w->GetType() == WidgetType::BusBar)
            JoinEnds(wEnd, wEnd + 1);
        ForEachNeighbour(p, [&](int q) {
            const CWidget* x = m_order[static_cast<std::size_t>(q)];
            const int xEnd = m_firstEnd[static_cast<std::size_t>(q)];
            for (int i = 0; i < 2; ++i) {
                if (!x->IsTwoEnded()) {
                    if (EndTouches(*w, i == 0, *x, x->GetStartPoint(), true))
                        touch(wEnd + i, xEnd), JoinEnds(wEnd + i, xEnd);
                    continue;
                }
                for (int j = 0; j < 2; ++j)
                    if (EndTouches(*w, i == 0, *x, j == 0 ? x->GetStartPoint() : x->GetEndPoint(), j == 0))
                        touch(wEnd + i, xEnd + j), JoinEnds(wEnd + i, xEnd + j);
            }
            return false;
        });
    }
}

// The supply's and the loads' numbers go to the groups of ends they touch: the supply first, then
// the loads in collection order, so a group that touches several symbols takes the supply or the
// first load, and each further symbol is linked to it by a feeder that never fails (on its own
// it had no edge, and was counted as always supplied).
void CGMLGenerator::NumberSymbolGroups()
{
    m_links.clear();
    std::vector<std::pair<int, int>> loads;  // load id, list position
    for (int p = 0; p < static_cast<int>(m_order.size()); ++p) {
        CWidget* w = m_order[static_cast<std::size_t>(p)];
        if (w->GetType() == WidgetType::GenSource)
            ClaimGroup(m_firstEnd[static_cast<std::size_t>(p)], NodeIdOf(w));
        else if (w->GetType() == WidgetType::LoadPoint)
            loads.emplace_back(static_cast<CLoadPoint*>(w)->m_nLoadId, p);
    }
    std::sort(loads.begin(), loads.end());
    for (const auto& [loadId, p] : loads)
        ClaimGroup(m_firstEnd[static_cast<std::size_t>(p)], NodeIdOf(m_order[static_cast<std::size_t>(p)]));
}

void CGMLGenerator::ClaimGroup(int end, std::int32_t number)
{
    std::int32_t& group = m_groupNumber[static_cast<std::size_t>(Root(end))];
    if (group == -1)
        group = number;
    else if (group != number)
        m_links.emplace_back(group, number);
}

// Bus bars, in collection order: a group of touching bars that no symbol numbered gets a junction
// of its own, written before the edges.
void CGMLGenerator::NumberBusBars()
{
    m_positionOf.clear();
    for (int p = 0; p < static_cast<int>(m_order.size()); ++p)
        m_positionOf[m_order[static_cast<std::size_t>(p)]] = p;
    const auto& bars = *m_pDoc->m_pBusBars;
    const int barCount = std::min(m_counts[static_cast<std::size_t>(WidgetType::BusBar)], bars.GetSize());
    for (int i = 0; i < barCount; ++i) {
        CBusBar* bar = bars.GetAt(i);
        const auto at = m_positionOf.find(bar);
        if (at == m_positionOf.end())
            continue;
        bar->m_source = bar->m_target = GroupNumber(m_firstEnd[static_cast<std::size_t>(at->second)]);
    }
}

std::int32_t CGMLGenerator::GroupNumber(int end)
{
    std::int32_t& group = m_groupNumber[static_cast<std::size_t>(Root(end))];
    if (group == -1)
        group = NewJunction();
    return group;
}

// The first end of a group to be resolved, in list order, makes its junction; the start before the end.
void CGMLGenerator::ResolveEnds(int p)
{
    CWidget* w = m_order[static_cast<std::size_t>(p)];
    const int first = m_firstEnd[static_cast<std::size_t>(p)];
    w->m_source = GroupNumber(first);
    w->m_target = GroupNumber(first + 1);
}
