#include "montecarlo/NDLGenerator.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <unordered_map>

#include "model/KorvaneDoc.h"
#include "montecarlo/SimulationSettings.h"
#include "platform/NumberFormat.h"

namespace {

// Half the side of a segment's end handle.
constexpr std::int64_t kHandleReach = 5;

// How far from its own point an end's hit area reaches, in either axis.
std::int64_t Reach(const CWidget& widget)
{
    if (widget.IsTwoEnded())
        return kHandleReach;
    if (const auto* symbol = dynamic_cast<const CSymbolWidget*>(&widget)) {
        const CRect box = symbol->BodyBox().Normalized();
        const CPoint p = symbol->GetStartPoint();
        return std::max({std::llabs(static_cast<std::int64_t>(box.left) - p.x),
                         std::llabs(static_cast<std::int64_t>(box.right) - p.x),
                         std::llabs(static_cast<std::int64_t>(box.top) - p.y),
                         std::llabs(static_cast<std::int64_t>(box.bottom) - p.y)});
    }
    return INT64_MAX / 4;  // unknown shape: compare with everything
}

std::string Describe(const std::string& name)
{
    std::string shown;
    for (char c : name) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

}  // namespace

CNDLGenerator::CNDLGenerator(CKorvaneDoc* pDoc) : m_pDoc(pDoc)
{
    for (int type = 0; type < kWidgetTypeCount; ++type)
        m_sizes[static_cast<std::size_t>(type)] = m_pDoc->GetCollection(static_cast<WidgetType>(type)).GetSize();
}

bool CNDLGenerator::IsNameWritable(const std::string& name)
{
    return name.find_first_of("\"#\\$\r\n") == std::string::npos;
}

bool CNDLGenerator::Holds(const End& end, CPoint p)
{
    switch (end.kind) {
    case EndKind::Start:
        return end.widget->HitTestStart(p);
    case EndKind::End:
        return end.widget->HitTestEnd(p);
    case EndKind::Point:
        break;
    }
    return end.widget->HitTest(p);
}

// Two ends touch when either one's hit area holds the other's point: the check and the numbering
// use this one symmetric test, so every pair the check accepts shares a node.
bool CNDLGenerator::Touch(const End& a, const End& b)
{
    return a.owner != b.owner && (Holds(a, b.point) || Holds(b, a.point));
}

void CNDLGenerator::CollectEnds(const std::vector<CWidget*>& widgets)
{
    m_ends.clear();
    m_firstEnd.clear();
    m_ownerOf.clear();
    for (std::size_t owner = 0; owner < widgets.size(); ++owner) {
        CWidget* w = widgets[owner];
        m_firstEnd.push_back(m_ends.size());
        m_ownerOf.emplace(w, owner);
        if (w->IsTwoEnded()) {
            m_ends.push_back({w, owner, EndKind::Start, w->GetStartPoint()});
            m_ends.push_back({w, owner, EndKind::End, w->GetEndPoint()});
        } else {
            m_ends.push_back({w, owner, EndKind::Point, w->GetStartPoint()});
        }
    }
    m_firstEnd.push_back(m_ends.size());
    m_touched.assign(m_ends.size(), false);
    m_parent.resize(m_ends.size());
    std::iota(m_parent.begin(), m_parent.end(), std::size_t{0});
}

std::size_t CNDLGenerator::Root(std::size_t end)
{
    while (m_parent[end] != end) {
        m_parent[end] = m_parent[m_parent[end]];
        end = m_parent[end];
    }
    return end;
}

void CNDLGenerator::Join(std::size_t a, std::size_t b)
{
    a = Root(a);
    b = Root(b);
    if (a != b)
        m_parent[std::max(a, b)] = std::min(a, b);
}

// A sweep along x: only ends closer than the largest hit-area reach can touch, so a drawing of
// scattered widgets costs about n log n instead of n squared hit tests.
void CNDLGenerator::JoinTouchingEnds()
{
    std::int64_t reach = 0;
    for (const End& e : m_ends)
        reach = std::max(reach, Reach(*e.widget));
    reach += 1;

    std::vector<std::size_t> order(m_ends.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return m_ends[a].point.x != m_ends[b].point.x ? m_ends[a].point.x < m_ends[b].point.x : a < b;
    });
    for (std::size_t i = 0; i < order.size(); ++i) {
        const End& a = m_ends[order[i]];
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            const End& b = m_ends[order[j]];
            if (static_cast<std::int64_t>(b.point.x) - a.point.x > reach)
                break;
            if (std::llabs(static_cast<std::int64_t>(b.point.y) - a.point.y) > reach || !Touch(a, b))
                continue;
            m_touched[order[i]] = true;
            m_touched[order[j]] = true;
            Join(order[i], order[j]);
        }
    }
}

bool CNDLGenerator::IsEdgeConnected(std::size_t owner) const
{
    return m_touched[m_firstEnd[owner]] && m_touched[m_firstEnd[owner] + 1];
}

bool CNDLGenerator::IsNodeConnected(std::size_t owner) const
{
    return m_touched[m_firstEnd[owner]];
}

bool CNDLGenerator::Validate()
{
    const std::vector<CWidget*> widgets = m_pDoc->GetWidgetsInOrder(&m_sizes);
    CollectEnds(widgets);
    JoinTouchingEnds();

    // Each check lists the failures it found, once; a second call does not repeat them.
    m_errors = CWidgetCollection();
    m_errorReasons.clear();
    bool result = true;
    for (std::size_t owner = 0; owner < widgets.size(); ++owner) {
        CWidget* w = widgets[owner];
        std::string reason;
        if (!(w->IsTwoEnded() ? IsEdgeConnected(owner) : IsNodeConnected(owner)))
            reason = "not connected";
        // A name the text cannot carry would break the NDL string or be read as a comment, macro
        // or continuation; such names come only from files written before the datasheet refused them.
        if (w->GetType() == WidgetType::LoadPoint) {
            const auto* load = static_cast<const CLoadPoint*>(w);
            if (!IsNameWritable(load->m_strName)) {
                if (!reason.empty())
                    reason += ", and ";
                reason += "the load point \"" + Describe(load->m_strName) +
                          "\" has a name that NDL cannot carry (it holds \", #, \\, $, CR or LF)";
            }
        }
        if (!reason.empty()) {
            m_errors.Add(w);
            m_errorReasons.push_back(std::move(reason));
            result = false;
        }
    }
    return result;
}

void CNDLGenerator::ResetNodeIds(const std::vector<CWidget*>& widgets)
{
    for (CWidget* w : widgets)
        w->m_connect1 = w->m_connect2 = -1;
}

// The node of an end's group: the number the group already has, or the next one.
int CNDLGenerator::NodeOf(int& counter, std::size_t end)
{
    const std::size_t root = Root(end);
    if (m_nodeOfRoot[root] == -1)
        m_nodeOfRoot[root] = counter++;
    return m_nodeOfRoot[root];
}

void CNDLGenerator::AssignBusBarNode(int& counter, CBusBar* busBar)
{
    // A bus bar the widget-order list does not name has no ends to join: a node of its own.
    const auto found = m_ownerOf.find(busBar);
    const int node = found == m_ownerOf.end() ? counter++ : NodeOf(counter, m_firstEnd[found->second]);
    busBar->m_connect1 = busBar->m_connect2 = node;
}

void CNDLGenerator::ResolveEdgeNodes(int& counter, std::size_t owner, CWidget* widget)
{
    widget->m_connect1 = NodeOf(counter, m_firstEnd[owner]);
    widget->m_connect2 = NodeOf(counter, m_firstEnd[owner] + 1);
}

void CNDLGenerator::ResolvePointNode(int& counter, std::size_t owner, CWidget* widget)
{
    widget->m_connect1 = NodeOf(counter, m_firstEnd[owner]);
}

void CNDLGenerator::Generate()
{
    const std::vector<CWidget*> widgets = m_pDoc->GetWidgetsInOrder(&m_sizes);
    ResetNodeIds(widgets);
    CollectEnds(widgets);
    JoinTouchingEnds();
    // A bus bar is one node: both its ends belong to every group either end touches.
    for (std::size_t owner = 0; owner < widgets.size(); ++owner)
        if (widgets[owner]->GetType() == WidgetType::BusBar)
            Join(m_firstEnd[owner], m_firstEnd[owner] + 1);
    m_nodeOfRoot.assign(m_ends.size(), -1);

    m_strNDL = m_pDoc->m_pSimulationSettings->GetNDLDefinition();
    int counter = 0;
    const CBusBarCollection& busBars = *m_pDoc->m_pBusBars;
    const int busBarCount = std::min(m_sizes[static_cast<std::size_t>(WidgetType::BusBar)], busBars.GetSize());
    for (int i = 0; i < busBarCount; ++i)
        AssignBusBarNode(counter, busBars.GetAt(i));

    for (std::size_t owner = 0; owner < widgets.size(); ++owner) {
        CWidget* w = widgets[owner];
        if (w->GetType() == WidgetType::BusBar)
            continue;
        if (w->IsTwoEnded())
            ResolveEdgeNodes(counter, owner, w);
        else
            ResolvePointNode(counter, owner, w);
        m_strNDL += w->GetNDLDefinition();
    }
}
