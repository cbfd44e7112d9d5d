// An editing mode: hit-tests, places, drags, deletes and rectangle-selects the widgets of one type.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "model/KorvaneDoc.h"
#include "platform/Geometry.h"

// The cursor a gesture asks the view for.
enum class ViewCursor { Unchanged, Arrow, Cross, SizeAll, SizeNWSE };

// What a gesture asks the view to repaint, in the view's logical coordinates.
struct CRedraw {
    bool full = false;
    std::vector<CRect> regions;

    void Full() { full = true; }
    void Add(const CRect& r) { regions.push_back(r.Normalized()); }
    void Merge(const CRedraw& other);
};

class CMode {
public:
    virtual ~CMode() = default;
    CMode(const CMode&) = delete;
    CMode& operator=(const CMode&) = delete;

    // A press in select mode: binds the lowest-indexed widget of this type that the point hits; on
    // that widget an end handle wins over the body, the end point over the start point.
    void OnLButtonDown(CPoint point);
    // The same, looking only at the widgets of these collection indices (ascending), which hold
    // every widget of this type that the point hits.
    void OnLButtonDown(CPoint point, const std::vector<int>& candidates);
    // The release of a drawing tool: adds a widget from `start` to `point` (one-point types at
    // `point`), marks the document modified and binds it. `current` is the last rubber-band point.
    // When memory runs out it throws std::bad_alloc and the document is unchanged.
    CRedraw OnLButtonUp(CPoint start, CPoint current, CPoint point);
    // One drag step of the bound widget's body or end; sets the cursor the drag wants.
    CRedraw OnMouseMove(CPoint point, ViewCursor& cursor);
    // Puts the bound widget back where the drag found it (Escape during a drag).
    void Cancel();

    // Removes the bound widget from the document, with its widget-order entry. False when the mode
    // is bound to nothing that the document still holds.
    bool DeleteWidget();
    // The bound widget while the document still holds it, else null.
    CWidget* GetWidget() const;
    // Binds the mode to that widget for a body drag.
    void SelectMatching(CWidget* widget);
    bool IsSelected() const { return m_bSelected; }
    bool HitSelected(CPoint point) const;
    bool HitSelectedEnds(CPoint point) const;
    // The reference point of the coming drag (snapped to the grid when there is one).
    void SnapPoint(CPoint point);
    // A bound mode for each widget of this type with a handle point inside the half-open rectangle.
    std::vector<std::unique_ptr<CMode>> SelectInRect(CPoint p1, CPoint p2) const;

    // 0 nothing hit, 1 the body, 2 an end handle; the end: 0 start, 1 end, 2 none.
    int GetPart() const { return m_nPart; }
    int GetEnd() const { return m_nEnd; }

    // Each coordinate to the nearest multiple of the grid, halves upward; nothing when grid <= 0.
    static void SnapToGrid(CPoint* p, int grid);
    // Squares the segment from (x0, y0) to p to horizontal or vertical by moving p.
    static void AdaptiveAdjust(int x0, int y0, CPoint* p);

protected:
    CMode(CKorvaneDoc& doc, WidgetType type);

private:
    // The press's test of one widget: binds it when the point hits it.
    void TryBind(CWidget* w, CPoint& point);
    CRect SymbolBox(CPoint position) const;
    CRect WidgetBounds(const CWidget& w) const;
    CCollectionBase& Collection() const { return m_pDoc->GetCollection(m_type); }
    bool IsTwoEnded() const;
    bool Regional() const { return m_pDoc->m_workspace.m_nRedrawMode == 1; }

    CKorvaneDoc* m_pDoc;
    WidgetType m_type;
    CWidget* m_pWidget = nullptr;  // only used after the document confirms it still holds it
    // The document's revision when it last held the bound widget: until a widget is removed or a
    // network loaded, it still does, and a large selection is not looked up widget by widget.
    mutable std::optional<std::uint64_t> m_heldAt;
    bool m_bSelected = false;
    CPoint m_refPoint;
    int m_nPart = 0;
    int m_nEnd = 2;
    // Where the bound widget stood when the drag began, for Cancel.
    CPoint m_dragStart;
    CPoint m_dragEnd;
    bool m_bDragOrigin = false;
};

// A new widget as the drawing tools make it: grey, pen width 1 (bus bars 2); a load point or
// generating source stands at `start` and ignores `end`.
std::unique_ptr<CWidget> NewWidget(WidgetType type, CPoint start, CPoint end);

// A mode of the given type on the document.
std::unique_ptr<CMode> MakeMode(WidgetType type, CKorvaneDoc& doc);
