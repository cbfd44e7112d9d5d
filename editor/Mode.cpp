#include "editor/Mode.h"

#include <cmath>

#include "editor/FigureGeometry.h"

namespace {

// Margins around a changed widget that a regional redraw repaints (horizontal, vertical).
struct CMargins {
    int placeX, placeY;  // after placing
    int dragX, dragY;    // after a drag step, before the snap step is added
};

CMargins MarginsOf(WidgetType type)
{
    switch (type) {
    case WidgetType::Line:
        return {13, 18, 13, 18};
    case WidgetType::Equipment:
    case WidgetType::Transformer:
        return {13, 18, 13, 13};
    case WidgetType::BusBar:
        return {10, 10, 10, 10};
    case WidgetType::LoadPoint:
    case WidgetType::GenSource:
        return {13, 13, 13, 13};
    default:
        return {13, 13, 13, 13};
    }
}

}  // namespace

std::unique_ptr<CWidget> NewWidget(WidgetType type, CPoint start, CPoint end)
{
    const COLORREF grey = figure::kGrey;
    switch (type) {
    case WidgetType::Line:
        return std::make_unique<CLine>(start, end, 1, grey);
    case WidgetType::CircuitBreaker:
        return std::make_unique<CCircuitBreaker>(start, end, 1, grey);
    case WidgetType::Fuse:
        return std::make_unique<CFuse>(start, end, 1, grey);
    case WidgetType::Recloser:
        return std::make_unique<CRecloser>(start, end, 1, grey);
    case WidgetType::Isolator:
        return std::make_unique<CIsolator>(start, end, 1, grey);
    case WidgetType::BusBar:
        return std::make_unique<CBusBar>(start, end, 2, grey);
    case WidgetType::LoadPoint:
        return std::make_unique<CLoadPoint>(start, 1, grey);
    case WidgetType::GenSource:
        return std::make_unique<CGenSource>(start, 1, grey);
    case WidgetType::Equipment:
        return std::make_unique<CEquipment>(start, end, 1, grey);
    case WidgetType::Transformer:
        return std::make_unique<CTransformer>(start, end, 1, grey);
    }
    return nullptr;
}

void CRedraw::Merge(const CRedraw& other)
{
    full = full || other.full;
    regions.insert(regions.end(), other.regions.begin(), other.regions.end());
}

CMode::CMode(CKorvaneDoc& doc, WidgetType type) : m_pDoc(&doc), m_type(type) {}

bool CMode::IsTwoEnded() const
{
    return m_type != WidgetType::LoadPoint && m_type != WidgetType::GenSource;
}

CWidget* CMode::GetWidget() const
{
    // Compared by address only: a widget the document no longer holds is never dereferenced.
    if (m_pWidget == nullptr)
        return nullptr;
    if (m_heldAt == m_pDoc->GetRevision())
        return m_pWidget;
    if (Collection().FindWidget(m_pWidget) < 0)
        return nullptr;
    m_heldAt = m_pDoc->GetRevision();
    return m_pWidget;
}

void CMode::OnLButtonDown(CPoint point)
{
    const CCollectionBase& collection = Collection();
    for (int i = 0; i < collection.GetSize() && !m_bSelected; ++i)
        TryBind(collection.GetWidgetAt(i), point);
}

void CMode::OnLButtonDown(CPoint point, const std::vector<int>& candidates)
{
    const CCollectionBase& collection = Collection();
    for (std::size_t k = 0; k < candidates.size() && !m_bSelected; ++k)
        if (candidates[k] >= 0 && candidates[k] < collection.GetSize())
            TryBind(collection.GetWidgetAt(candidates[k]), point);
}

void CMode::TryBind(CWidget* w, CPoint& point)
{
    // Taken from the collection: held now.
    const auto bind = [&](int part) {
        m_pWidget = w;
        m_heldAt = m_pDoc->GetRevision();
        m_refPoint = point;
        m_bSelected = true;
        m_nPart = part;
    };
    if (w->HitTest(point)) {
        // The snapped point also serves the handle tests below.
        const int grid = m_pDoc->m_workspace.m_nSnapGrid;
        if (grid != 0)
            SnapToGrid(&point, grid);
        bind(1);
    }
    if (m_type == WidgetType::GenSource)
        return;
    if (w->HitTestStart(point)) {
        bind(2);
        m_nEnd = 0;
    }
    if (w->HitTestEnd(point)) {
        bind(2);
        m_nEnd = 1;
    }
}

CRect CMode::SymbolBox(CPoint p) const
{
    if (m_type == WidgetType::LoadPoint)
        return CRect::Around(p, -11, -5, 13, 18);
    return CRect::Around(p, -9, -9, 13, 13);
}

CRect CMode::WidgetBounds(const CWidget& w) const
{
    if (!IsTwoEnded())
        return SymbolBox(w.GetStartPoint());
    return CRect(w.GetStartPoint(), w.GetEndPoint()).Normalized();
}

CRedraw CMode::OnLButtonUp(CPoint start, CPoint current, CPoint point)
{
    const int grid = m_pDoc->m_workspace.m_nSnapGrid;
    CPoint end = point;
    if (IsTwoEnded()) {
        if (m_pDoc->m_workspace.m_bAdaptiveDrawing == 1)
            AdaptiveAdjust(start.x, start.y, &end);
        SnapToGrid(&start, grid);
        SnapToGrid(&end, grid);
    } else {
        SnapToGrid(&end, grid);
        start = end;
    }

    m_nPart = 0;
    CWidget* added = m_pDoc->AddWidget(NewWidget(m_type, start, end));
    if (added != nullptr) {
        m_pDoc->SetModifiedFlag(true);
        m_refPoint = CPoint(0, 0);
        m_pWidget = added;
        m_heldAt = m_pDoc->GetRevision();
    }

    CRedraw redraw;
    if (!Regional()) {
        redraw.Full();
        return redraw;
    }
    const CMargins m = MarginsOf(m_type);
    if (IsTwoEnded()) {
        redraw.Add(CRect(start, current).Normalized().Inflated(m.placeX, m.placeY));
        // The rubber line may end short of the widget when the release came without a last move.
        if (added != nullptr)
            redraw.Add(WidgetBounds(*added).Inflated(m.placeX, m.placeY));
    } else {
        redraw.Add(SymbolBox(end).Inflated(std::int64_t{m.placeX} + grid, std::int64_t{m.placeY} + grid));
    }
    return redraw;
}

CRedraw CMode::OnMouseMove(CPoint point, ViewCursor& cursor)
{
    CRedraw redraw;
    CWidget* w = GetWidget();
    if (m_nPart == 0 || w == nullptr)
        return redraw;
    const int grid = m_pDoc->m_workspace.m_nSnapGrid;
    const CRect before = WidgetBounds(*w);

    if (m_nPart == 1) {
        // With a grid the widget follows the snapped mouse point, so it never lags a step behind.
        CPoint target = point;
        SnapToGrid(&target, grid);
        const CPoint d = target - m_refPoint;
        if (IsTwoEnded()) {
            w->SetStartPoint(w->GetStartPoint() + d);
            w->SetEndPoint(w->GetEndPoint() + d);
        } else {
            w->SetStartPoint(w->GetStartPoint() + d);
        }
        m_refPoint = target;
        cursor = ViewCursor::SizeAll;
    } else {
        if (IsTwoEnded()) {
            SnapToGrid(&point, grid);
            if (m_nEnd == 1) {
                if (m_pDoc->m_workspace.m_bAdaptiveDrawing == 1)
                    AdaptiveAdjust(w->GetStartPoint().x, w->GetStartPoint().y, &point);
                w->SetEndPoint(point);
            } else {
                if (m_pDoc->m_workspace.m_bAdaptiveDrawing == 1)
                    AdaptiveAdjust(w->GetEndPoint().x, w->GetEndPoint().y, &point);
                w->SetStartPoint(point);
            }
        }
        // A load point held by a handle does not move.
        cursor = ViewCursor::SizeNWSE;
    }
    m_pDoc->SetModifiedFlag(true);

    if (!Regional()) {
        redraw.Full();
        return redraw;
    }
    const CMargins m = MarginsOf(m_type);
    // The old place too, so the widget leaves no trace behind.
    const std::int64_t marginX = std::int64_t{grid} + m.dragX;
    const std::int64_t marginY = std::int64_t{grid} + m.dragY;
    redraw.Add(before.Inflated(marginX, marginY));
    redraw.Add(WidgetBounds(*w).Inflated(marginX, marginY));
    return redraw;
}

void CMode::Cancel()
{
    CWidget* w = GetWidget();
    if (w == nullptr || !m_bDragOrigin)
        return;
    w->SetStartPoint(m_dragStart);
    if (IsTwoEnded())
        w->SetEndPoint(m_dragEnd);
}

bool CMode::DeleteWidget()
{
    CWidget* w = GetWidget();
    if (w == nullptr)
        return false;
    m_pDoc->RemoveWidget(w);
    m_pWidget = nullptr;
    m_heldAt.reset();
    return true;
}

void CMode::SelectMatching(CWidget* widget)
{
    m_pWidget = widget;
    m_heldAt.reset();  // the caller's widget: looked up at the first use
    m_bSelected = true;
    m_nPart = 1;
}

bool CMode::HitSelected(CPoint point) const
{
    const CWidget* w = GetWidget();
    return w != nullptr && w->HitTest(point);
}

bool CMode::HitSelectedEnds(CPoint point) const
{
    const CWidget* w = GetWidget();
    if (w == nullptr || m_type == WidgetType::GenSource)
        return false;
    return w->HitTestStart(point) || w->HitTestEnd(point);
}

void CMode::SnapPoint(CPoint point)
{
    SnapToGrid(&point, m_pDoc->m_workspace.m_nSnapGrid);
    m_refPoint = point;
    if (const CWidget* w = GetWidget()) {
        m_dragStart = w->GetStartPoint();
        m_dragEnd = w->GetEndPoint();
        m_bDragOrigin = true;
    }
}

std::vector<std::unique_ptr<CMode>> CMode::SelectInRect(CPoint p1, CPoint p2) const
{
    const CRect rect = CRect(p1, p2).Normalized();
    std::vector<std::unique_ptr<CMode>> found;
    CCollectionBase& collection = Collection();
    for (int i = 0; i < collection.GetSize(); ++i) {
        CWidget* w = collection.GetWidgetAt(i);
        const CPoint s = w->GetStartPoint();
        const bool inside = IsTwoEnded() ? rect.PtInRect(s) || rect.PtInRect(w->GetEndPoint())
                                         : rect.PtInRect(s - CPoint(14, 14)) || rect.PtInRect(s + CPoint(14, 14));
        if (!inside)
            continue;
        auto mode = MakeMode(m_type, *m_pDoc);
        mode->SelectMatching(w);
        mode->m_heldAt = m_pDoc->GetRevision();
        found.push_back(std::move(mode));
    }
    return found;
}

void CMode::SnapToGrid(CPoint* p, int grid)
{
    if (grid <= 0)
        return;
    auto snap = [grid](std::int32_t v) {
        double f = static_cast<double>(v) / grid;
        f = f >= std::ceil(f) - 0.5 ? std::ceil(f) : std::floor(f);
        return ClampCoordinate(grid * f);
    };
    p->x = snap(p->x);
    p->y = snap(p->y);
}

void CMode::AdaptiveAdjust(int x0, int y0, CPoint* p)
{
    const double dx = static_cast<double>(p->x) - x0;
    const double dy = static_cast<double>(p->y) - y0;
    if (dx == 0 || dy == 0)
        return;
    // Just under pi/4, so an exact diagonal becomes horizontal.
    if (std::atan(std::fabs(dx) / std::fabs(dy)) > 0.785398163375)
        p->y = y0;
    else
        p->x = x0;
}
