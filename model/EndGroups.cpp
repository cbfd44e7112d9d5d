#include "model/EndGroups.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <tuple>

#include "model/Widget.h"

namespace {

// How far from its own point an end's hit area reaches, in either axis.
std::int64_t Reach(const CWidget& widget)
{
    if (widget.IsTwoEnded())
        return CSegmentWidget::kHandleReach;
    const CRect box = static_cast<const CSymbolWidget&>(widget).BodyBox().Normalized();
    const CPoint p = widget.GetStartPoint();
    return std::max({std::llabs(std::int64_t{box.left} - p.x), std::llabs(std::int64_t{box.right} - p.x),
                     std::llabs(std::int64_t{box.top} - p.y), std::llabs(std::int64_t{box.bottom} - p.y)});
}

// Squared distance; 128 bits, since coordinates span the whole 32-bit range.
__int128 DistanceSquared(CPoint a, CPoint b)
{
    const __int128 dx = std::int64_t{a.x} - b.x;
    const __int128 dy = std::int64_t{a.y} - b.y;
    return dx * dx + dy * dy;
}

}  // namespace

CEndGroups::CEndGroups(const std::vector<CWidget*>& widgets)
{
    for (std::size_t owner = 0; owner < widgets.size(); ++owner) {
        const CWidget* w = widgets[owner];
        m_firstEnd.push_back(m_ends.size());
        m_ownerOf.emplace(w, owner);
        if (w->IsTwoEnded()) {
            m_ends.push_back({w, owner, w->GetStartPoint(), true, true});
            m_ends.push_back({w, owner, w->GetEndPoint(), false, true});
        } else {
            m_ends.push_back({w, owner, w->GetStartPoint(), true, false});
        }
    }
    m_group.resize(m_ends.size());
    std::iota(m_group.begin(), m_group.end(), std::size_t{0});
    m_touched.assign(m_ends.size(), false);
    m_onSegment.assign(m_ends.size(), false);

    JoinMeetingEnds();
    JoinThroughBodies();
    for (std::size_t owner = 0; owner < widgets.size(); ++owner)
        if (widgets[owner]->GetType() == WidgetType::BusBar)
            Join(m_firstEnd[owner], m_firstEnd[owner] + 1);
    for (std::size_t end = 0; end < m_group.size(); ++end)
        m_group[end] = Root(end);
}

bool CEndGroups::IsConnected(std::size_t owner) const
{
    const std::size_t first = m_firstEnd[owner];
    return m_touched[first] && (!m_ends[first].segment || m_touched[first + 1]);
}

bool CEndGroups::IsLooped(std::size_t owner) const
{
    const std::size_t first = m_firstEnd[owner];
    return m_ends[first].segment && m_ends[first].widget->GetType() != WidgetType::BusBar &&
           m_group[first] == m_group[first + 1];
}

std::size_t CEndGroups::OwnerOf(const CWidget* widget) const
{
    const auto found = m_ownerOf.find(widget);
    return found == m_ownerOf.end() ? npos : found->second;
}

// Whether the hit area of `end` holds the point of `other`: a segment end's handle, a symbol's body.
bool CEndGroups::Holds(std::size_t end, std::size_t other) const
{
    const End& e = m_ends[end];
    const CPoint p = m_ends[other].point;
    if (!e.segment)
        return e.widget->HitTest(p);
    return e.isStart ? e.widget->HitTestStart(p) : e.widget->HitTestEnd(p);
}

// Only ends closer than the largest hit-area reach can touch, so the ends are sorted into square
// cells of that side and each is tested against its own and the neighbouring cells: a drawing
// costs about n log n hit tests in whichever direction it runs, instead of n squared. Meetings
// join at once; bodies holding ends or anchors wait until every meeting is known.
void CEndGroups::JoinMeetingEnds()
{
    std::int64_t reach = 0;
    for (const End& e : m_ends)
        reach = std::max(reach, Reach(*e.widget));
    reach += 1;

    auto floorDiv = [reach](std::int64_t v) { return v >= 0 ? v / reach : -((-v + reach - 1) / reach); };
    struct Placed {
        std::int64_t cx, cy;  // the cell
        std::size_t end;
    };
    std::vector<Placed> placed;
    placed.reserve(m_ends.size());
    for (std::size_t end = 0; end < m_ends.size(); ++end)
        placed.push_back({floorDiv(m_ends[end].point.x), floorDiv(m_ends[end].point.y), end});
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return std::tie(a.cx, a.cy, a.end) < std::tie(b.cx, b.cy, b.end);
    });
    // Cells are visited in order, so the first place at or after each neighbouring cell only moves
    // forward: four cursors pass over the ends once.
    auto before = [](const Placed& p, std::int64_t cx, std::int64_t cy) { return p.cx != cx ? p.cx < cx : p.cy < cy; };
    std::size_t last = 0, belowEnd = 0, nextFirst = 0, nextEnd = 0;
    auto advance = [&](std::size_t& cursor, std::int64_t cx, std::int64_t cy) {
        while (cursor < placed.size() && before(placed[cursor], cx, cy))
            ++cursor;
    };
    for (std::size_t first = 0; first < placed.size(); first = last) {
        const std::int64_t cx = placed[first].cx, cy = placed[first].cy;
        // Each pair of neighbouring cells once: this cell with itself, with the one below, and
        // with the three in the next column.
        advance(last, cx, cy + 1);
        advance(belowEnd, cx, cy + 2);
        advance(nextFirst, cx + 1, cy - 1);
        advance(nextEnd, cx + 1, cy + 2);
        for (std::size_t i = first; i < last; ++i) {
            for (std::size_t j = i + 1; j < belowEnd; ++j)
                TestPair(placed[i].end, placed[j].end, reach);
            for (std::size_t j = nextFirst; j < nextEnd; ++j)
                TestPair(placed[i].end, placed[j].end, reach);
        }
    }
}

void CEndGroups::TestPair(std::size_t a, std::size_t b, std::int64_t reach)
{
    if (m_ends[a].owner == m_ends[b].owner ||
        std::llabs(std::int64_t{m_ends[b].point.x} - m_ends[a].point.x) > reach ||
        std::llabs(std::int64_t{m_ends[b].point.y} - m_ends[a].point.y) > reach)
        return;
    // The segment end first, when there is one.
    if (!m_ends[a].segment)
        std::swap(a, b);
    if (!m_ends[a].segment) {
        if (Holds(a, b) || Holds(b, a))
            m_overlapping.emplace_back(a, b);
    } else if (Holds(a, b) || (m_ends[b].segment && Holds(b, a))) {
        m_touched[a] = m_touched[b] = true;
        m_onSegment[b] = true;
        Join(a, b);
    } else if (!m_ends[b].segment && Holds(b, a)) {
        m_boxed.emplace_back(a, b);
    }
}

void CEndGroups::JoinThroughBodies()
{
    // A symbol on no segment end takes the nearest end its body holds: it belongs to one point.
    std::vector<std::size_t> nearestEnd(m_ends.size(), npos);
    for (const auto& [end, symbol] : m_boxed) {
        std::size_t& best = nearestEnd[symbol];
        if (!m_onSegment[symbol] && (best == npos || IsCloser(end, symbol, best, symbol)))
            best = end;
    }
    for (std::size_t symbol = 0; symbol < m_ends.size(); ++symbol) {
        if (nearestEnd[symbol] != npos) {
            m_touched[nearestEnd[symbol]] = m_touched[symbol] = m_onSegment[symbol] = true;
            Join(nearestEnd[symbol], symbol);
        }
    }
    // A segment end still joined to nothing takes the nearest symbol whose body holds it, when it is
    // the nearer of its widget's two ends: a device shorter than the body keeps its far end apart.
    std::vector<std::size_t> nearestSymbol(m_ends.size(), npos);
    for (const auto& [end, symbol] : m_boxed) {
        std::size_t& best = nearestSymbol[end];
        if (!m_touched[end] && IsNearerEnd(end, symbol) && (best == npos || IsCloser(end, symbol, end, best)))
            best = symbol;
    }
    for (std::size_t end = 0; end < m_ends.size(); ++end) {
        if (nearestSymbol[end] != npos) {
            m_touched[end] = m_touched[nearestSymbol[end]] = true;
            Join(end, nearestSymbol[end]);
        }
    }
    // Symbols lying on each other join only through one that is on no segment end: two symbols each
    // on its own end keep their own nodes however near they are drawn.
    for (const auto& [a, b] : m_overlapping) {
        if (!m_onSegment[a] || !m_onSegment[b]) {
            m_touched[a] = m_touched[b] = true;
            Join(a, b);
        }
    }
}

// Whether `end` lies nearer the anchor of `symbol` than `other` lies to the anchor of `otherSymbol`;
// between pairs as near, the end above, then to the left, then the anchor likewise, so that the
// drawing order does not decide.
bool CEndGroups::IsCloser(std::size_t end, std::size_t symbol, std::size_t other, std::size_t otherSymbol) const
{
    const CPoint p = m_ends[end].point, q = m_ends[other].point;
    const CPoint s = m_ends[symbol].point, t = m_ends[otherSymbol].point;
    return std::tuple(DistanceSquared(p, s), p.y, p.x, s.y, s.x) < std::tuple(DistanceSquared(q, t), q.y, q.x, t.y, t.x);
}

// Of a segment's two ends, the one nearer the symbol's anchor (the start when both are as near).
bool CEndGroups::IsNearerEnd(std::size_t end, std::size_t symbol) const
{
    const std::size_t sibling = m_ends[end].isStart ? end + 1 : end - 1;
    const CPoint anchor = m_ends[symbol].point;
    const __int128 mine = DistanceSquared(m_ends[end].point, anchor);
    const __int128 theirs = DistanceSquared(m_ends[sibling].point, anchor);
    return mine < theirs || (mine == theirs && m_ends[end].isStart);
}

std::size_t CEndGroups::Root(std::size_t end)
{
    while (m_group[end] != end) {
        m_group[end] = m_group[m_group[end]];
        end = m_group[end];
    }
    return end;
}

void CEndGroups::Join(std::size_t a, std::size_t b)
{
    a = Root(a);
    b = Root(b);
    if (a != b)
        m_group[std::max(a, b)] = std::min(a, b);
}
