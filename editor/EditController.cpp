#include "editor/EditController.h"

#include <algorithm>
#include <new>

#include "model/LoadPoint.h"
#include "montecarlo/ReportText.h"

namespace {

constexpr const char* kOutOfMemory = "Out of memory";

// The report's anchor of a load point: its section follows the load points' order, and a name
// met before (or naming a system index) carries a "$n" suffix there.
std::string ReportAnchor(const CKorvaneDoc& doc, const CLoadPoint* load)
{
    const CLoadPointCollection& loads = *doc.m_pLoadPoints;
    std::vector<std::string> names;
    int index = -1;
    for (int i = 0; i < loads.GetSize(); ++i) {
        if (loads.GetAt(i) == load)
            index = i;
        names.push_back(loads.GetAt(i)->m_strName);
    }
    if (index < 0)
        return load->m_strName;
    return korvane::LoadPointAnchors(names)[static_cast<std::size_t>(index)];
}

// The dotted rubber figures are one pixel wide; repaint a little around them.
CRect Around(CPoint a, CPoint b)
{
    return CRect(a, b).Normalized().Inflated(2, 2);
}

}  // namespace

CEditController::CEditController(CKorvaneDoc& doc) : m_pDoc(&doc), m_index(doc) {}

void CEditController::ClearTools()
{
    m_tool.reset();
}

void CEditController::LeaveZoom()
{
    if (!m_bZoomed)
        return;
    m_bZoomed = false;
    m_nZoom = kUnzoomed;
}

void CEditController::OnTool(WidgetType type)
{
    m_tool = type;
    LeaveZoom();
    m_bSelectMode = false;
    m_bToolActive = true;
    m_bDragging = m_bRubberBand = m_bDrawing = false;
    m_selection.clear();
    m_selection.push_back(MakeMode(type, *m_pDoc));
}

void CEditController::OnSelect()
{
    ClearTools();
    LeaveZoom();
    m_bSelectMode = true;
    m_bToolActive = false;
    m_bDrawing = false;
    m_selection.clear();
}

void CEditController::OnZoomIn()
{
    Zoom(+kZoomStep);
}

void CEditController::OnZoomOut()
{
    Zoom(-kZoomStep);
}

void CEditController::Zoom(int step)
{
    ClearTools();
    m_bSelectMode = false;
    m_bToolActive = false;
    m_bDragging = m_bRubberBand = m_bDrawing = false;
    if (step > 0 ? m_nZoom < kZoomInBelow : m_nZoom > kZoomOutAbove) {
        m_nZoom += step;
        m_bZoomed = true;
    }
    m_selection.clear();
}

std::vector<std::unique_ptr<CMode>> CEditController::MakeAllModes() const
{
    std::vector<std::unique_ptr<CMode>> modes;
    for (int t = 0; t < kWidgetTypeCount; ++t)
        modes.push_back(MakeMode(static_cast<WidgetType>(t), *m_pDoc));
    return modes;
}

int CEditController::FindSelected(const CMode& mode) const
{
    const CWidget* w = mode.GetWidget();
    for (std::size_t i = 0; i < m_selection.size(); ++i)
        if (m_selection[i]->GetWidget() == w)
            return static_cast<int>(i);
    return -1;
}

CViewUpdate CEditController::OnLButtonDown(CPoint point, bool ctrlDown, bool resultPageOpen)
{
    CViewUpdate update;
    if (ctrlDown)
        m_bMultiSelect = true;
    m_modifiedAtPress = m_pDoc->IsModified();

    if (m_bToolActive) {
        m_startPoint = m_currentPoint = point;
        m_bDrawing = true;
        return update;
    }
    if (!m_bSelectMode)
        return update;  // zoomed: nothing to select

    // Each type's mode looks only at the widgets the index finds near the point, in the order of
    // its collection, so the same widget wins as if it had looked at all of them.
    auto temporaries = MakeAllModes();
    const auto candidates = m_index.FindHits(point);
    for (std::size_t t = 0; t < temporaries.size(); ++t)
        temporaries[t]->OnLButtonDown(point, candidates[t]);

    bool hit = false;
    for (auto& t : temporaries) {
        if (!t->IsSelected())
            continue;
        // Without Ctrl a single selection is replaced; a selection of two or more survives, so
        // the drag that follows moves all of it.
        if (!m_bMultiSelect && m_selection.size() < 2)
            m_selection.clear();
        if (const int index = FindSelected(*t); index >= 0)
            m_selection.erase(m_selection.begin() + index);
        const CWidget* widget = t->GetWidget();
        m_selection.push_back(std::move(t));
        hit = true;
        if (widget->GetType() == WidgetType::LoadPoint && resultPageOpen) {
            // The open result page moves to this load point; the click ends here, with no drag.
            update.anchor = m_pDoc->GetMonteCarloResultPath() + "#" +
                            ReportAnchor(*m_pDoc, static_cast<const CLoadPoint*>(widget));
            return update;
        }
    }

    if (!hit) {
        m_bMultiSelect = false;
        m_bRubberBand = true;
        m_startPoint = m_currentPoint = point;
        m_selection.clear();
    }
    update.redraw.Full();
    for (auto& mode : m_selection)
        mode->SnapPoint(point);
    m_bDragging = true;
    return update;
}

CViewUpdate CEditController::OnMouseMove(CPoint point)
{
    CViewUpdate update;
    if (m_bRubberBand && m_bSelectMode) {
        update.redraw.Add(Around(m_startPoint, m_currentPoint));
        update.redraw.Add(Around(m_startPoint, point));
        m_currentPoint = point;
        return update;
    }
    if (m_bDragging && !m_selection.empty()) {
        for (auto& mode : m_selection) {
            update.redraw.Merge(mode->OnMouseMove(point, update.cursor));
            m_index.Update(mode->GetWidget());
        }
        return update;
    }
    if (m_bDrawing && !m_selection.empty() && m_bToolActive && !m_bSelectMode) {
        update.redraw.Add(Around(m_startPoint, m_currentPoint));
        update.redraw.Add(Around(m_startPoint, point));
        m_currentPoint = point;
        update.cursor = ViewCursor::Cross;
        return update;
    }
    update.cursor = ViewCursor::Arrow;
    if (m_bSelectMode && !m_selection.empty() && !m_bToolActive) {
        for (const auto& mode : m_selection) {
            if (mode->HitSelected(point))
                update.cursor = ViewCursor::SizeAll;
            if (mode->HitSelectedEnds(point))
                update.cursor = ViewCursor::SizeNWSE;
        }
    }
    return update;
}

CViewUpdate CEditController::OnLButtonUp(CPoint point)
{
    CViewUpdate update;
    m_bDragging = false;
    if (m_bDrawing && !m_selection.empty() && m_bToolActive && !m_bSelectMode) {
        m_bDrawing = false;
        try {
            update.redraw.Add(Around(m_startPoint, m_currentPoint));
            for (auto& mode : m_selection)
                update.redraw.Merge(mode->OnLButtonUp(m_startPoint, m_currentPoint, point));
        } catch (const std::bad_alloc&) {
            // Nothing was added; the rubber line still has to go.
            update.redraw.Full();
            update.error = kOutOfMemory;
        }
        return update;
    }
    m_bDrawing = false;
    if (m_bSelectMode)
        update.redraw.Full();
    if (m_bRubberBand)
        update.redraw.Merge(EndRubberBand(point).redraw);
    return update;
}

CViewUpdate CEditController::EndRubberBand(CPoint point)
{
    CViewUpdate update;
    auto temporaries = MakeAllModes();
    for (auto& t : temporaries)
        for (auto& found : t->SelectInRect(m_startPoint, m_currentPoint))
            m_selection.push_back(std::move(found));
    m_bRubberBand = false;
    for (auto& mode : m_selection)
        mode->SnapPoint(point);
    update.redraw.Full();
    return update;
}

CViewUpdate CEditController::OnCaptureLost()
{
    CViewUpdate update;
    if (IsGestureActive())
        update.redraw.Full();
    m_bDrawing = m_bDragging = m_bRubberBand = false;
    return update;
}

CViewUpdate CEditController::OnEscape()
{
    CViewUpdate update;
    if (!IsGestureActive())
        return update;
    if (m_bDragging && !m_bRubberBand) {
        for (auto& mode : m_selection) {
            mode->Cancel();
            m_index.Update(mode->GetWidget());
        }
        m_pDoc->SetModifiedFlag(m_modifiedAtPress);
    }
    m_bDrawing = m_bDragging = m_bRubberBand = false;
    update.redraw.Full();
    update.cursor = ViewCursor::Arrow;
    return update;
}

CEditController::RightClick CEditController::OnRButtonUp(CPoint point, CWidget** widget) const
{
    *widget = nullptr;
    if (!m_bSelectMode || m_bToolActive || m_selection.empty())
        return RightClick::ContextMenu;
    CWidget* last = m_selection.back()->GetWidget();
    if (last == nullptr || !last->HitTest(point))
        return RightClick::ContextMenu;
    *widget = last;
    return RightClick::DataSheet;
}

CViewUpdate CEditController::OnDelete()
{
    CViewUpdate update;
    if (!m_bSelectMode || m_selection.empty() || IsGestureActive())
        return update;
    return DeleteSelection();
}

CViewUpdate CEditController::DeleteSelection()
{
    try {
        m_pDoc->RemoveWidgets(GetSelectedWidgets());
    } catch (const std::bad_alloc&) {
        // One at a time needs no memory; it only takes longer on a large selection.
        for (auto& mode : m_selection)
            mode->DeleteWidget();
    }
    m_selection.clear();
    CViewUpdate update;
    update.redraw.Full();
    m_pDoc->SetModifiedFlag(true);
    return update;
}

std::vector<const CWidget*> CEditController::GetSelectedWidgets() const
{
    std::vector<const CWidget*> widgets;
    for (const auto& mode : m_selection)
        if (const CWidget* w = mode->GetWidget())
            widgets.push_back(w);
    return widgets;
}

void CEditController::OnEditCopy(CClipboard& clipboard) const
{
    if (!CanCopy())
        return;
    clipboard.CopyFrom(GetSelectedWidgets());
}

CViewUpdate CEditController::OnEditCut(CClipboard& clipboard)
{
    CViewUpdate update;
    if (!CanCopy() || IsGestureActive())
        return update;
    OnEditCopy(clipboard);
    return DeleteSelection();
}

CViewUpdate CEditController::OnEditPaste(const CClipboard& clipboard)
{
    CViewUpdate update;
    if (clipboard.IsEmpty() || IsGestureActive())
        return update;
    try {
        clipboard.PasteInto(*m_pDoc);
    } catch (const std::bad_alloc&) {
        // The widgets pasted before memory ran out stay, each whole.
        update.error = kOutOfMemory;
    }
    m_pDoc->SetModifiedFlag(true);
    update.redraw.Full();
    return update;
}

CViewUpdate CEditController::OnSelectAll()
{
    m_startPoint = CPoint(0, 0);
    m_currentPoint = CPoint(m_pDoc->m_workspace.m_nWorkspaceWidth, m_pDoc->m_workspace.m_nWorkspaceHeight);
    OnSelect();
    m_bRubberBand = true;
    return OnLButtonUp(m_currentPoint);
}

CViewUpdate CEditController::SelectWidget(CWidget* widget)
{
    CViewUpdate update;
    OnSelect();
    // Looked up by address first: a stale pointer from a list is never dereferenced.
    for (int t = 0; t < kWidgetTypeCount && widget != nullptr; ++t) {
        const auto type = static_cast<WidgetType>(t);
        if (m_pDoc->GetCollection(type).FindWidget(widget) < 0)
            continue;
        auto mode = MakeMode(type, *m_pDoc);
        mode->SelectMatching(widget);
        m_selection.push_back(std::move(mode));
        break;
    }
    update.redraw.Full();
    return update;
}

void CEditController::Prune()
{
    if (!m_bSelectMode)
        return;
    m_selection.erase(std::remove_if(m_selection.begin(), m_selection.end(),
                                     [](const auto& mode) { return mode->GetWidget() == nullptr; }),
                      m_selection.end());
}

std::optional<CRect> CEditController::GetRubberBand() const
{
    if (!m_bRubberBand || !m_bSelectMode)
        return std::nullopt;
    return CRect(m_startPoint, m_currentPoint);
}

std::optional<std::pair<CPoint, CPoint>> CEditController::GetRubberLine() const
{
    if (!m_bDrawing || !m_tool || *m_tool == WidgetType::LoadPoint || *m_tool == WidgetType::GenSource)
        return std::nullopt;
    return std::make_pair(m_startPoint, m_currentPoint);
}
