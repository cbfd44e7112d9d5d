#include "editor/WidgetIndex.h"

#include <algorithm>

#include "editor/FigureGeometry.h"
#include "model/LoadPoint.h"

namespace {

// Cells of 256 model units: a screen at the smallest zoom spans a few hundred of them, and a
// widget drawn by the editor lies in one to four.
constexpr int kCellShift = 8;
// An entry in more cells than this (a very long slanted segment, a huge pen or name from a file)
// is kept apart and looked at by every query instead.
constexpr std::int64_t kMostCells = 64;

// Reach of the drawing around a symbol's midpoint: the isolator's blade (12 units at 45 degrees)
// is the farthest.
constexpr int kSymbolReach = 18;
// End-point marks reach 4 units around an end, selection marks 3.
constexpr int kMarkReach = 5;

std::int32_t Cell(std::int32_t v)
{
    return v >> kCellShift;  // rounds toward minus infinity
}

std::uint64_t CellKey(std::int64_t x, std::int64_t y)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
}

CRect Box(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    return {CRect::Clamped(left), CRect::Clamped(top), CRect::Clamped(right), CRect::Clamped(bottom)};
}

// Half the widest pen drawing gives the widget, and a unit for the pen's rounding.
std::int64_t PenReach(const CWidget& w)
{
    return std::clamp(w.GetWidth(), 1, figure::kWidestPen) / 2 + 2;
}

}  // namespace

CWidgetIndex::CWidgetIndex(const CKorvaneDoc& doc) : m_pDoc(&doc) {}

CRect CWidgetIndex::DrawnBox(const CWidget& w, const CTextReach& text)
{
    const CPoint s = w.GetStartPoint();
    const std::int64_t pen = PenReach(w);
    if (w.IsTwoEnded()) {
        const CPoint e = w.GetEndPoint();
        CRect box = CRect::Around(s, -kMarkReach, -kMarkReach, kMarkReach, kMarkReach)
                        .Union(CRect::Around(e, -kMarkReach, -kMarkReach, kMarkReach, kMarkReach));
        if (w.GetType() != WidgetType::Line && w.GetType() != WidgetType::BusBar)
            box = box.Union(
                CRect::Around(figure::Midpoint(s, e), -kSymbolReach, -kSymbolReach, kSymbolReach, kSymbolReach));
        return box.Inflated(pen, pen);
    }
    if (w.GetType() != WidgetType::LoadPoint)
        return CRect::Around(s, -14, -14, 14, 14).Inflated(pen, pen);
    // The bar and stem above or below the position, the selection marks down to 26 below it.
    CRect box = CRect::Around(s, -14, -10, 17, 27).Inflated(pen, pen);
    const auto& name = static_cast<const CLoadPoint&>(w).m_strName;
    if (!name.empty()) {
        // Every line as wide as the whole name; a little room before and above the first glyph,
        // for glyphs that overhang their place.
        const std::int64_t line = std::max(text.lineHeight, 1);
        const std::int64_t left = std::int64_t{s.x} - 12 - line / 2;
        const std::int64_t top = std::int64_t{s.y} + (s.y < 1 ? -11 : 11) - line / 2;
        // A name from a file may be of any length; past 2^24 bytes it reaches past the coordinates.
        const auto bytes = static_cast<std::int64_t>(std::min<std::size_t>(name.size(), std::size_t{1} << 24));
        const std::int64_t width = std::int64_t{std::max(text.byteWidth, 1)} * bytes;
        const std::int64_t lines = std::min<std::int64_t>(1 + std::count(name.begin(), name.end(), '\n'), bytes + 1);
        box = box.Union(Box(left, top, left + line + width, top + line * (lines + 1)));
    }
    return box;
}

CRect CWidgetIndex::HitBox(const CWidget& w)
{
    const CPoint s = w.GetStartPoint();
    if (w.IsTwoEnded()) {
        // The body is hit within the pen width and 3 of the segment, the ends within a handle.
        const std::int64_t reach =
            std::max<std::int64_t>(std::int64_t{w.GetWidth()} + 3, CSegmentWidget::kHandleReach) + 1;
        return CRect(s, w.GetEndPoint()).Normalized().Inflated(reach, reach);
    }
    CRect box = CRect::Around(s, -15, -15, 15, 15);
    if (const auto* symbol = dynamic_cast<const CSymbolWidget*>(&w))
        box = box.Union(symbol->BodyBox()).Union(symbol->EndHandleBox());
    return box.Inflated(1, 1);
}

void CWidgetIndex::SetTextReach(const CTextReach& reach)
{
    if (reach.byteWidth == m_text.byteWidth && reach.lineHeight == m_text.lineHeight)
        return;
    m_text = reach;
    m_widgetCount = -1;  // every load point's box changes
}

void CWidgetIndex::Sync()
{
    if (m_widgetCount < 0 || m_revision != m_pDoc->GetRevision()) {
        Rebuild();
        return;
    }
    if ((m_added != m_pDoc->GetAddedCount() || m_widgetCount != m_pDoc->GetWidgetCount() ||
         m_orderSize != m_pDoc->m_widgetOrder.size()) &&
        !Append())
        Rebuild();
}

void CWidgetIndex::Rebuild()
{
    m_entries.clear();
    m_ids.clear();
    m_cells.clear();
    m_large.clear();
    m_seen.clear();
    m_named = {};
    m_nextOrder = 0;
    m_strayNames = false;
    m_revision = m_pDoc->GetRevision();
    m_added = m_pDoc->GetAddedCount();
    m_widgetCount = m_pDoc->GetWidgetCount();
    m_orderSize = 0;
    m_ids.reserve(static_cast<std::size_t>(m_widgetCount));
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        const auto type = static_cast<WidgetType>(t);
        const CCollectionBase& collection = m_pDoc->GetCollection(type);
        m_byType[t].clear();
        for (int i = 0; i < collection.GetSize(); ++i)
            Enter(collection.GetWidgetAt(i), type, i);
    }
    ReadOrder();
}

bool CWidgetIndex::Append()
{
    std::array<int, kWidgetTypeCount> size{};
    std::int64_t grown = 0;
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        const CCollectionBase& collection = m_pDoc->GetCollection(static_cast<WidgetType>(t));
        size[t] = collection.GetSize();
        const auto had = static_cast<int>(m_byType[t].size());
        // The widgets taken before are where they were, each named by the list.
        if (size[t] < had || m_named[t] != had)
            return false;
        if (had > 0 && collection.GetWidgetAt(had - 1) != m_entries[static_cast<std::size_t>(m_byType[t].back())].widget)
            return false;
        grown += size[t] - had;
    }
    if (m_strayNames || grown != static_cast<std::int64_t>(m_pDoc->GetAddedCount() - m_added) ||
        m_pDoc->m_widgetOrder.size() != m_orderSize + static_cast<std::size_t>(grown))
        return false;
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        const auto type = static_cast<WidgetType>(t);
        const CCollectionBase& collection = m_pDoc->GetCollection(type);
        for (auto i = static_cast<int>(m_byType[t].size()); i < size[t]; ++i)
            Enter(collection.GetWidgetAt(i), type, i);
    }
    ReadOrder();
    m_added = m_pDoc->GetAddedCount();
    m_widgetCount = m_pDoc->GetWidgetCount();
    return true;
}

void CWidgetIndex::ReadOrder()
{
    // The same reading of the list as drawing's: the k-th name of a type is its k-th widget.
    const std::vector<std::string>& names = m_pDoc->m_widgetOrder;
    for (; m_orderSize < names.size(); ++m_orderSize) {
        const int type = WidgetTypeFromName(names[m_orderSize]);
        if (type < 0 || m_named[type] >= static_cast<int>(m_byType[type].size())) {
            m_strayNames = true;
            continue;
        }
        const int id = m_byType[type][static_cast<std::size_t>(m_named[type]++)];
        m_entries[static_cast<std::size_t>(id)].order = m_nextOrder++;
    }
}

void CWidgetIndex::Enter(const CWidget* widget, WidgetType type, int index)
{
    const auto id = static_cast<int>(m_entries.size());
    m_entries.push_back({widget, type, index, -1, DrawnBox(*widget, m_text), HitBox(*widget), {}, false});
    m_byType[static_cast<int>(type)].push_back(id);
    m_ids.emplace(widget, id);
    m_seen.push_back(0);
    Place(id);
}

void CWidgetIndex::Place(int id)
{
    Entry& e = m_entries[static_cast<std::size_t>(id)];
    const CRect box = e.drawn.Normalized().Union(e.hit);
    e.cells = CRect(Cell(box.left), Cell(box.top), Cell(box.right), Cell(box.bottom));
    const std::int64_t count =
        (std::int64_t{e.cells.right} - e.cells.left + 1) * (std::int64_t{e.cells.bottom} - e.cells.top + 1);
    e.large = count > kMostCells;
    if (e.large) {
        m_large.push_back(id);
        return;
    }
    for (std::int64_t x = e.cells.left; x <= e.cells.right; ++x)
        for (std::int64_t y = e.cells.top; y <= e.cells.bottom; ++y)
            m_cells[CellKey(x, y)].push_back(id);
}

void CWidgetIndex::Unplace(int id)
{
    const Entry& e = m_entries[static_cast<std::size_t>(id)];
    if (e.large) {
        m_large.erase(std::find(m_large.begin(), m_large.end(), id));
        return;
    }
    for (std::int64_t x = e.cells.left; x <= e.cells.right; ++x)
        for (std::int64_t y = e.cells.top; y <= e.cells.bottom; ++y) {
            const auto cell = m_cells.find(CellKey(x, y));
            std::vector<int>& ids = cell->second;
            ids.erase(std::find(ids.begin(), ids.end(), id));
            if (ids.empty())
                m_cells.erase(cell);
        }
}

void CWidgetIndex::Update(const CWidget* widget)
{
    Sync();
    const auto found = m_ids.find(widget);
    if (found == m_ids.end())
        return;
    Unplace(found->second);
    Entry& e = m_entries[static_cast<std::size_t>(found->second)];
    e.drawn = DrawnBox(*e.widget, m_text);
    e.hit = HitBox(*e.widget);
    Place(found->second);
}

template <typename Visitor>
void CWidgetIndex::Visit(const CRect& area, Visitor&& visit)
{
    Sync();
    if (++m_stamp == 0) {
        std::fill(m_seen.begin(), m_seen.end(), 0);
        m_stamp = 1;
    }
    const auto once = [&](int id) {
        std::uint32_t& seen = m_seen[static_cast<std::size_t>(id)];
        if (seen != m_stamp) {
            seen = m_stamp;
            visit(m_entries[static_cast<std::size_t>(id)]);
        }
    };
    const CRect a = area.Normalized();
    const CRect cells(Cell(a.left), Cell(a.top), Cell(a.right), Cell(a.bottom));
    const std::int64_t count =
        (std::int64_t{cells.right} - cells.left + 1) * (std::int64_t{cells.bottom} - cells.top + 1);
    if (count > static_cast<std::int64_t>(m_cells.size())) {
        // More cells asked for than there are filled: the filled ones are fewer to look at.
        for (const auto& [key, ids] : m_cells) {
            const auto x = static_cast<std::int32_t>(key >> 32);
            const auto y = static_cast<std::int32_t>(key & 0xFFFFFFFFu);
            if (x >= cells.left && x <= cells.right && y >= cells.top && y <= cells.bottom)
                for (const int id : ids)
                    once(id);
        }
    } else {
        for (std::int64_t x = cells.left; x <= cells.right; ++x)
            for (std::int64_t y = cells.top; y <= cells.bottom; ++y)
                if (const auto cell = m_cells.find(CellKey(x, y)); cell != m_cells.end())
                    for (const int id : cell->second)
                        once(id);
    }
    for (const int id : m_large)
        once(id);
}

std::vector<const CWidget*> CWidgetIndex::FindDrawn(const CRect& area)
{
    const CRect a = area.Normalized();
    std::vector<const Entry*> found;
    Visit(a, [&](const Entry& e) {
        if (e.order >= 0 && e.drawn.Meets(a))
            found.push_back(&e);
    });
    std::sort(found.begin(), found.end(), [](const Entry* x, const Entry* y) { return x->order < y->order; });
    std::vector<const CWidget*> widgets;
    widgets.reserve(found.size());
    for (const Entry* e : found)
        widgets.push_back(e->widget);
    return widgets;
}

std::array<std::vector<int>, kWidgetTypeCount> CWidgetIndex::FindHits(CPoint point)
{
    std::array<std::vector<int>, kWidgetTypeCount> hits;
    const CRect at(point, point);
    Visit(at, [&](const Entry& e) {
        if (e.hit.Meets(at))
            hits[static_cast<std::size_t>(e.type)].push_back(e.index);
    });
    for (auto& indices : hits)
        std::sort(indices.begin(), indices.end());
    return hits;
}
