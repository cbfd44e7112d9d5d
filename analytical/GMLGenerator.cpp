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

// Union-find over the bus bars, so chains of touching bars share one node.
int FindRoot(std::vector<int>& parent, int i)
{
    while (parent[static_cast<std::size_t>(i)] != i) {
        parent[static_cast<std::size_t>(i)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
        i = parent[static_cast<std::size_t>(i)];
    }
    return i;
}

bool EndsTouch(const CWidget& a, const CWidget& b)
{
    const CPoint s = b.GetStartPoint();
    const CPoint e = b.GetEndPoint();
    return a.HitTestStart(s) || a.HitTestStart(e) || a.HitTestEnd(s) || a.HitTestEnd(e);
}

bool BarTouchesSymbol(const CWidget& bar, const CWidget& symbol)
{
    const CPoint p = symbol.GetStartPoint();
    return bar.HitTestStart(p) || bar.HitTestEnd(p) || symbol.HitTest(bar.GetStartPoint()) ||
           symbol.HitTest(bar.GetEndPoint());
}

}  // namespace

CGMLGenerator::CGMLGenerator(CKorvaneDoc* pDoc) : m_pDoc(pDoc)
{
    for (int t = 0; t < kWidgetTypeCount; ++t)
        m_counts[static_cast<std::size_t>(t)] = pDoc->GetCollection(static_cast<WidgetType>(t)).GetSize();
}

void CGMLGenerator::BuildOrder()
{
    std::array<int, kWidgetTypeCount> next{};
    m_order.clear();
    for (const std::string& name : m_pDoc->m_widgetOrder) {
        const int type = WidgetTypeFromName(name);
        if (type < 0 || next[static_cast<std::size_t>(type)] >= m_counts[static_cast<std::size_t>(type)])
            continue;
        const int k = next[static_cast<std::size_t>(type)]++;
        m_order.push_back(m_pDoc->GetCollection(static_cast<WidgetType>(type)).GetWidgetAt(k));
    }

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

bool CGMLGenerator::Validate()
{
    BuildOrder();
    bool valid = true;
    for (int p = 0; p < static_cast<int>(m_order.size()); ++p) {
        CWidget* w = m_order[static_cast<std::size_t>(p)];
        if (!(w->IsTwoEnded() ? EdgeTest(p) : PointTest(p))) {
            m_errors.Add(w);
            valid = false;
        }
    }
    return valid;
}

bool CGMLGenerator::EdgeTest(int p)
{
    const CWidget* w = m_order[static_cast<std::size_t>(p)];
    bool start = false;
    bool end = false;
    return ForEachNeighbour(p, [&](int q) {
        const CWidget* x = m_order[static_cast<std::size_t>(q)];
        const CPoint s = x->GetStartPoint();
        const CPoint e = x->GetEndPoint();
        if (x->IsTwoEnded()) {
            start = start || w->HitTestStart(s) || w->HitTestStart(e);
            end = end || w->HitTestEnd(s) || w->HitTestEnd(e);
        } else {
            start = start || w->HitTestStart(s);
            end = end || w->HitTestEnd(s);
        }
        return start && end;
    });
}

bool CGMLGenerator::PointTest(int p)
{
    const CWidget* w = m_order[static_cast<std::size_t>(p)];
    return ForEachNeighbour(p, [&](int q) {
        const CWidget* x = m_order[static_cast<std::size_t>(q)];
        if (x->IsTwoEnded())
            return w->HitTest(x->GetStartPoint()) || w->HitTest(x->GetEndPoint());
        return w->HitTest(x->GetStartPoint());
    });
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
    const int genCount = m_counts[static_cast<std::size_t>(WidgetType::GenSource)];
    for (int i = 0; i < genCount; ++i) {
        genSources.GetAt(i)->m_nNodeId = m_counter;
        if (i == 0)
            m_strGML += genSources.GetAt(i)->GetGMLRecord();
    }
    if (genCount > 0)
        ++m_counter;

    const auto& loads = *m_pDoc->m_pLoadPoints;
    const int loadCount = m_counts[static_cast<std::size_t>(WidgetType::LoadPoint)];
    for (int k = 0; k < loadCount; ++k) {
        CLoadPoint* load = loads.GetAt(k);
        load->m_nNodeId = m_counter++;
        load->m_nLoadId = k;
        m_strGML += load->GetGMLRecord();
    }

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
    for (int k = 0; k < loadCount; ++k) {
        GmlRecord r;
        r.Int("source", loads.GetAt(k)->m_nNodeId).Int("target", terminal).Fixed("feeder_type_id 1");
        r.Int("main_feeder_id", static_cast<long long>(m_nextFeederId) + 1 + k);
        r.Fixed("fault_rate 0").Fixed("repair_time 0").Fixed("length 0").Fixed("max_cap 10000000.");
        r.Fixed("switch_id 0").Fixed("trans_id 0");
        m_strGML += r.Wrap("edge");
    }
    m_strGML += "]\n";
}

// Bus bars that touch, directly or through other bars, share one node. A group that touches a gen
// source is the supply node itself; else one that touches a load point is that load's node; else it
// is a junction of its own.
void CGMLGenerator::NumberBusBars()
{
    const auto& bars = *m_pDoc->m_pBusBars;
    const int count = m_counts[static_cast<std::size_t>(WidgetType::BusBar)];
    if (count == 0)
        return;
    std::vector<int> parent(static_cast<std::size_t>(count));
    std::iota(parent.begin(), parent.end(), 0);
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if (EndsTouch(*bars.GetAt(i), *bars.GetAt(j)) || EndsTouch(*bars.GetAt(j), *bars.GetAt(i))) {
                const int a = FindRoot(parent, i);
                const int b = FindRoot(parent, j);
                parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
            }

    std::vector<std::int32_t> groupNumber(static_cast<std::size_t>(count), -1);
    const auto touching = [&](const auto& collection, WidgetType type, int root) -> std::int32_t {
        for (int k = 0; k < m_counts[static_cast<std::size_t>(type)]; ++k) {
            CWidget* symbol = collection.GetAt(k);
            for (int i = 0; i < count; ++i)
                if (FindRoot(parent, i) == root && BarTouchesSymbol(*bars.GetAt(i), *symbol))
                    return NodeIdOf(symbol);
        }
        return -1;
    };
    for (int i = 0; i < count; ++i) {
        const int root = FindRoot(parent, i);
        std::int32_t& number = groupNumber[static_cast<std::size_t>(root)];
        if (number == -1) {
            number = touching(*m_pDoc->m_pGenSources, WidgetType::GenSource, root);
            if (number == -1)
                number = touching(*m_pDoc->m_pLoadPoints, WidgetType::LoadPoint, root);
            if (number == -1)
                number = NewJunction();
        }
        bars.GetAt(i)->m_source = bars.GetAt(i)->m_target = number;
    }
}

void CGMLGenerator::ResolveEnds(int p)
{
    CWidget* w = m_order[static_cast<std::size_t>(p)];
    const CPoint start = w->GetStartPoint();
    const CPoint end = w->GetEndPoint();
    ForEachNeighbour(p, [&](int q) {
        CWidget* x = m_order[static_cast<std::size_t>(q)];
        if (x->IsTwoEnded()) {
            const CPoint s = x->GetStartPoint();
            const CPoint e = x->GetEndPoint();
            if (w->HitTestStart(s) && x->m_source != -1)
                w->m_source = x->m_source;
            if (w->HitTestStart(e) && x->m_target != -1)
                w->m_source = x->m_target;
            if (w->HitTestEnd(s) && x->m_source != -1)
                w->m_target = x->m_source;
            if (w->HitTestEnd(e) && x->m_target != -1)
                w->m_target = x->m_target;
        } else {
            const std::int32_t id = NodeIdOf(x);
            if (x->HitTest(start))
                w->m_source = id;
            if (x->HitTest(end))
                w->m_target = id;
        }
        return w->m_source != -1 && w->m_target != -1;
    });
    if (w->m_source == -1)
        w->m_source = NewJunction();
    if (w->m_target == -1)
        w->m_target = NewJunction();
}
