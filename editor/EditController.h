// The editor view's state and input rules without a window: the tools, the selection, the mouse
// gestures, delete, the private clipboard's commands, select all and the zoom state.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/Clipboard.h"
#include "editor/Mode.h"
#include "editor/WidgetIndex.h"
#include "model/KorvaneDoc.h"

// What the view must do after an input: repaint, change the cursor, move an open result page.
struct CViewUpdate {
    CRedraw redraw;
    ViewCursor cursor = ViewCursor::Unchanged;
    std::optional<std::string> anchor;  // the result page's path with "#" and a load point's name
    std::string error;  // for the user, with the stop icon: "Out of memory"
};

class CEditController {
public:
    static constexpr int kUnzoomed = 113;
    // Zoom goes in steps of 10: in while below 250, out while above 30.
    static constexpr int kZoomStep = 10;
    static constexpr int kZoomInBelow = 250;
    static constexpr int kZoomOutAbove = 30;
    // The view sizes what a widget may draw (a load point's name) for this zoom.
    static constexpr int kSmallestZoom =
        kUnzoomed - (kUnzoomed - kZoomOutAbove + kZoomStep - 1) / kZoomStep * kZoomStep;

    explicit CEditController(CKorvaneDoc& doc);

    // Tool commands: a widget tool, or Select. Both leave the zoomed state.
    void OnTool(WidgetType type);
    void OnSelect();
    bool IsSelectMode() const { return m_bSelectMode; }
    bool IsToolChecked(WidgetType type) const { return m_tool == type; }

    // Zoom leaves no tool and no selection: a zoomed view is for viewing until a tool is chosen.
    void OnZoomIn();
    void OnZoomOut();
    bool IsZoomed() const { return m_bZoomed; }
    int GetZoom() const { return m_nZoom; }

    // Mouse gestures, in logical coordinates. `ctrlDown` latches multiple selection.
    CViewUpdate OnLButtonDown(CPoint point, bool ctrlDown, bool resultPageOpen);
    CViewUpdate OnMouseMove(CPoint point);
    CViewUpdate OnLButtonUp(CPoint point);
    // The mouse capture was taken away: the gesture ends where it is, placing nothing.
    CViewUpdate OnCaptureLost();
    // Escape: the rubber band or line is dropped and a drag puts the widgets back.
    CViewUpdate OnEscape();
    // Whether a gesture runs, so the view holds the mouse capture.
    bool IsGestureActive() const { return m_bDrawing || m_bDragging || m_bRubberBand; }

    // A right click opens the datasheet of the last selected widget when the point hits it.
    enum class RightClick { ContextMenu, DataSheet };
    RightClick OnRButtonUp(CPoint point, CWidget** widget) const;

    void OnCtrlDown() { m_bMultiSelect = true; }
    CViewUpdate OnDelete();

    bool CanCopy() const { return m_bSelectMode && !m_selection.empty(); }
    void OnEditCopy(CClipboard& clipboard) const;
    CViewUpdate OnEditCut(CClipboard& clipboard);
    CViewUpdate OnEditPaste(const CClipboard& clipboard);
    CViewUpdate OnSelectAll();
    // Selects that one widget (the errors list's double click).
    CViewUpdate SelectWidget(CWidget* widget);
    // Index of the selection entry bound to the same widget as `mode`, or -1.
    int FindSelected(const CMode& mode) const;
    // Drops selection entries whose widget the document no longer holds.
    void Prune();

    // Where the document's widgets lie: the press finds its widgets there, and the view what to
    // repaint. Told here of every widget a drag moves.
    CWidgetIndex& GetIndex() { return m_index; }

    const std::vector<std::unique_ptr<CMode>>& GetSelection() const { return m_selection; }
    std::vector<const CWidget*> GetSelectedWidgets() const;
    // Whether selection marks are shown (select mode, no tool).
    bool ShowsSelection() const { return m_bSelectMode && !m_bToolActive && !m_selection.empty(); }
    // The dotted rectangle of a rubber-band selection, while one is dragged.
    std::optional<CRect> GetRubberBand() const;
    // The dotted line of a two-ended widget being drawn.
    std::optional<std::pair<CPoint, CPoint>> GetRubberLine() const;

private:
    void LeaveZoom();
    void ClearTools();
    // Leaves the tools and the selection for zoom mode, one step in or out within the limits.
    void Zoom(int step);
    std::vector<std::unique_ptr<CMode>> MakeAllModes() const;
    CViewUpdate EndRubberBand(CPoint point);
    // Removes every selected widget and marks the document modified.
    CViewUpdate DeleteSelection();

    CKorvaneDoc* m_pDoc;
    CWidgetIndex m_index;
    std::vector<std::unique_ptr<CMode>> m_selection;  // in drawing state: the tool's mode alone
    std::optional<WidgetType> m_tool;
    CPoint m_startPoint;
    CPoint m_currentPoint;
    bool m_bToolActive = false;
    bool m_bSelectMode = true;
    bool m_bDragging = false;
    bool m_bRubberBand = false;
    bool m_bMultiSelect = false;
    bool m_bDrawing = false;  // a drawing tool's press holds the mouse until the release
    bool m_bZoomed = false;
    int m_nZoom = kUnzoomed;
    bool m_modifiedAtPress = false;
};
