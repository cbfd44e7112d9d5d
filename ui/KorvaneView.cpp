#include "ui/KorvaneView.h"

#include <algorithm>
#include <cmath>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/textentry.h>

#include "ui/ChildFrame.h"
#include "ui/Commands.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"
#include "ui/NetworkPrintout.h"
#include "ui/WidgetFigures.h"

wxIMPLEMENT_DYNAMIC_CLASS(CKorvaneView, wxView);

wxBEGIN_EVENT_TABLE(CKorvaneView, wxView)
    EVT_MENU_RANGE(ID_WIDGET_FEEDER, ID_WIDGET_TRANSFORMER, CKorvaneView::OnToolCommand)
    EVT_UPDATE_UI_RANGE(ID_WIDGET_FEEDER, ID_WIDGET_TRANSFORMER, CKorvaneView::OnUpdateToolCommand)
    EVT_MENU(ID_SELECT, CKorvaneView::OnSelect)
    EVT_UPDATE_UI(ID_SELECT, CKorvaneView::OnUpdateSelect)
    EVT_MENU(ID_SELECT_ALL, CKorvaneView::OnSelectAll)
    EVT_MENU(ID_ZOOM_IN, CKorvaneView::OnZoomIn)
    EVT_MENU(ID_ZOOM_OUT, CKorvaneView::OnZoomOut)
    EVT_MENU(ID_TOGGLE, CKorvaneView::OnToggle)
    EVT_UPDATE_UI(ID_TOGGLE, CKorvaneView::OnUpdateToggle)
    EVT_MENU(wxID_COPY, CKorvaneView::OnEditCopy)
    EVT_MENU(wxID_CUT, CKorvaneView::OnEditCut)
    EVT_MENU(wxID_PASTE, CKorvaneView::OnEditPaste)
    EVT_UPDATE_UI(wxID_COPY, CKorvaneView::OnUpdateEditCopy)
    EVT_UPDATE_UI(wxID_CUT, CKorvaneView::OnUpdateEditCopy)
    EVT_UPDATE_UI(wxID_PASTE, CKorvaneView::OnUpdateEditPaste)
    EVT_MENU(ID_WORKSPACE_SETTINGS, CKorvaneView::OnWorkspaceSettings)
    EVT_MENU(ID_MONTE_CARLO_SETTINGS, CKorvaneView::OnMonteCarloSettings)
    EVT_MENU(ID_DEBUG_NETWORK, CKorvaneView::OnDebugNetwork)
    EVT_MENU(ID_MONTE_CARLO_SIMULATION, CKorvaneView::OnMonteCarloSimulation)
    EVT_MENU(ID_DISPLAY_NDL, CKorvaneView::OnDisplayNDL)
    EVT_MENU(ID_ANALYTICAL_SIMULATION, CKorvaneView::OnAnalyticalSimulation)
    EVT_MENU(ID_DISPLAY_GML, CKorvaneView::OnDisplayGML)
wxEND_EVENT_TABLE()

wxWindow* DialogParent(wxView& view)
{
    return view.GetFrame() != nullptr ? wxGetTopLevelParent(view.GetFrame()) : nullptr;
}

namespace {

// Pixels of the canvas at most in either direction: well past the largest workspace the settings
// allow at the largest zoom, and far from the toolkit's integer limits.
constexpr double kLargestCanvas = 1000000.0;
// Pixels around a repainted area in which a widget is still drawn, for the pixels that a pen's
// rounding adds beyond what its model units cover.
constexpr double kRoundingMargin = 4.0;

wxStockCursor ToWxCursor(ViewCursor cursor)
{
    switch (cursor) {
    case ViewCursor::Cross:
        return wxCURSOR_CROSS;
    case ViewCursor::SizeAll:
        return wxCURSOR_SIZING;
    case ViewCursor::SizeNWSE:
        return wxCURSOR_SIZENWSE;
    default:
        return wxCURSOR_ARROW;
    }
}

}  // namespace

CKorvaneView::CKorvaneView() = default;

CKorvaneView::~CKorvaneView()
{
    m_canvas = nullptr;  // going with its frame
    if (m_controller) {
        CloseBuildWindows();
        GetDoc().RemoveObserver(this);
    }
}

bool CKorvaneView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags))
        return false;
    auto* mainFrame = wxDynamicCast(wxTheApp->GetTopWindow(), CMainFrame);
    if (mainFrame == nullptr)
        return false;
    m_controller = std::make_unique<CEditController>(GetDoc());
    GetDoc().AddObserver(this);

    auto* frame = new CChildFrame(doc, this, mainFrame, MenuKind::Network);
    m_canvas = new CNetworkCanvas(this, frame);
    m_controller->GetIndex().SetTextReach(NameReach(m_canvas->GetCharHeight(), m_canvas->GetDPI().x));
    SetFrame(frame);
    ResetScrollSizes();
    frame->Show(true);
    m_canvas->SetFocus();
    return true;
}

bool CKorvaneView::OnClose(bool deleteWindow)
{
    // Asks about a run and the changes, and closes the network.
    if (!wxView::OnClose(deleteWindow))
        return false;
    // Its own window is closing (the document's close closes every view itself): the editor is the
    // network's window, so the network's result pages go with it rather than keep it open.
    if (!deleteWindow)
        for (wxView* page : GetDocument()->GetViewsVector())
            if (page != this && page->GetFrame() != nullptr)
                page->GetFrame()->Close(true);
    Activate(false);
    if (m_canvas != nullptr) {
        if (m_canvas->HasCapture())
            m_canvas->ReleaseMouse();
        m_canvas->Detach();
    }
    if (deleteWindow && GetFrame() != nullptr) {
        GetFrame()->Destroy();
        SetFrame(nullptr);
        m_canvas = nullptr;
    }
    return true;
}

CNetworkDocument& CKorvaneView::GetNetworkDocument() const
{
    return *static_cast<CNetworkDocument*>(GetDocument());
}

CKorvaneDoc& CKorvaneView::GetDoc() const
{
    return GetNetworkDocument().GetDoc();
}

CMainFrame* CKorvaneView::GetMainFrame() const
{
    return wxDynamicCast(wxTheApp->GetTopWindow(), CMainFrame);
}

CClipboard& CKorvaneView::GetClipboard() const
{
    return GetMainFrame()->m_clipboard;
}

double CKorvaneView::GetScale() const
{
    const double dpi = m_canvas != nullptr ? m_canvas->GetDPI().x : 96.0;
    return ZoomScale(m_controller->IsZoomed(), m_controller->GetZoom(), dpi > 0 ? dpi : 96.0);
}

CViewTransform CKorvaneView::GetTransform() const
{
    CViewTransform t;
    t.scale = GetScale();
    if (m_canvas != nullptr) {
        const wxPoint origin = m_canvas->CalcUnscrolledPosition(wxPoint(0, 0));
        t.origin = CPoint(origin.x, origin.y);
    }
    return t;
}

void CKorvaneView::ResetScrollSizes()
{
    if (m_canvas == nullptr)
        return;
    const CKorvaneDoc& doc = GetDoc();
    const double scale = GetScale();
    // A file may hold any size: the canvas takes it within what a scrolled window can handle.
    const auto pixels = [scale](std::int32_t units) {
        return static_cast<int>(std::lround(std::clamp(units * scale, 0.0, kLargestCanvas)));
    };
    const wxSize size(pixels(doc.m_workspace.m_nWorkspaceWidth), pixels(doc.m_workspace.m_nWorkspaceHeight));
    if (m_canvas->GetVirtualSize() != size)
        m_canvas->SetVirtualSize(size);
}

void CKorvaneView::OnDraw(wxDC* dc)
{
    DrawNetwork(*dc);
}

void CKorvaneView::DrawNetwork(wxDC& dc, const std::optional<CRect>& area) const
{
    const CKorvaneDoc& doc = GetDoc();
    std::vector<const CWidget*> widgets;
    if (area) {
        widgets = m_controller->GetIndex().FindDrawn(*area);
    } else {
        const std::vector<CWidget*> all = doc.GetWidgetsInOrder();
        widgets.assign(all.begin(), all.end());
    }
    const std::vector<const CWidget*> selection =
        m_controller->ShowsSelection() ? m_controller->GetSelectedWidgets() : std::vector<const CWidget*>();
    DrawWidgets(dc, widgets, doc.m_workspace.m_bShowEndPoints == 1, selection, area);
}

void CKorvaneView::Paint(wxDC& dc, const std::optional<wxRect>& area)
{
    DisableAntialiasing(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    ResetScrollSizes();
    const CViewTransform t = GetTransform();
    dc.SetDeviceOrigin(-t.origin.x, -t.origin.y);
    dc.SetUserScale(t.scale, t.scale);
    dc.SetFont(m_canvas->GetFont());
    if (area) {
        const CRect pixels(area->GetLeft(), area->GetTop(), area->GetRight() + 1, area->GetBottom() + 1);
        DrawNetwork(dc, t.ToLogicalArea(pixels, kRoundingMargin));
    } else {
        DrawNetwork(dc);
    }

    // Gestures in progress: previews only; the model changes when the gesture ends.
    const wxPen dotted(*wxBLACK, 1, wxPENSTYLE_DOT);
    if (const auto band = m_controller->GetRubberBand()) {
        const CRect r = band->Normalized();
        dc.SetPen(dotted);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawLine(r.left, r.top, r.right, r.top);
        dc.DrawLine(r.left, r.top, r.left, r.bottom);
        dc.DrawLine(r.right, r.top, r.right, r.bottom);
        dc.DrawLine(r.left, r.bottom, r.right, r.bottom);
    }
    if (const auto line = m_controller->GetRubberLine()) {
        dc.SetPen(dotted);
        dc.DrawLine(line->first.x, line->first.y, line->second.x, line->second.y);
    }
}

void CKorvaneView::OnUpdate(wxView*, wxObject*)
{
    m_controller->Prune();
    ResetScrollSizes();
    if (m_canvas != nullptr)
        m_canvas->Refresh();
}

void CKorvaneView::OnDocumentUpdate(const void*, const std::string*)
{
    OnUpdate(nullptr, nullptr);
}

void CKorvaneView::OnActivateView(bool activate, wxView*, wxView*)
{
    CMainFrame* frame = GetMainFrame();
    if (activate && frame != nullptr)
        frame->ShowDocumentTitle(GetDocument()->GetUserReadableName());
}

void CKorvaneView::OnChangeFilename()
{
    wxView::OnChangeFilename();
    CMainFrame* frame = GetMainFrame();
    if (frame != nullptr && GetDocumentManager() != nullptr && GetDocumentManager()->GetCurrentView() == this)
        frame->ShowDocumentTitle(GetDocument()->GetUserReadableName());
}

wxPrintout* CKorvaneView::OnCreatePrintout()
{
    return new CNetworkPrintout(this);
}

void CKorvaneView::FullRedraw()
{
    if (m_canvas == nullptr)
        return;
    m_canvas->Refresh(true);
    m_canvas->Update();
}

void CKorvaneView::Apply(const CViewUpdate& update)
{
    if (m_canvas != nullptr) {
        if (update.redraw.full) {
            FullRedraw();
        } else {
            const CViewTransform t = GetTransform();
            for (const CRect& r : update.redraw.regions) {
                const CRect d = t.ToDevice(r);
                m_canvas->RefreshRect(wxRect(d.left, d.top, d.Width(), d.Height()), true);
            }
        }
        if (update.cursor != ViewCursor::Unchanged)
            m_canvas->SetCursor(wxCursor(ToWxCursor(update.cursor)));
        // The mouse is held exactly while a gesture runs, so a release outside still ends it.
        const bool gesture = m_controller->IsGestureActive();
        if (gesture && !m_canvas->HasCapture())
            m_canvas->CaptureMouse();
        else if (!gesture && m_canvas->HasCapture())
            m_canvas->ReleaseMouse();
    }
    if (update.anchor)
        GetDoc().UpdateViewsWithText(this, *update.anchor);
    GetNetworkDocument().SyncModified();
    // Last, with the mouse released: the box is modal.
    if (!update.error.empty())
        wxMessageBox(wxString::FromUTF8(update.error), wxTheApp->GetAppDisplayName(), wxOK | wxICON_ERROR,
                     DialogParent(*this));
}

void CKorvaneView::AfterStateChange()
{
    ResetScrollSizes();
    FullRedraw();
}

void CKorvaneView::HandleMouse(wxMouseEvent& event)
{
    const CPoint point = GetTransform().ToLogical(CPoint(event.GetX(), event.GetY()));
    // A double click's second press comes as a double-click event alone, which is no new press:
    // taken as one it placed a second, hidden widget on the first.
    if (event.LeftDown()) {
        m_canvas->SetFocus();
        const bool resultOpen = GetMainFrame() != nullptr && GetMainFrame()->m_bMonteCarloResultOpen;
        Apply(m_controller->OnLButtonDown(point, event.ControlDown(), resultOpen));
    } else if (event.Moving() || event.Dragging()) {
        if (CMainFrame* frame = GetMainFrame())
            frame->SetCursorPosition(point);
        Apply(m_controller->OnMouseMove(point));
    } else if (event.LeftUp()) {
        Apply(m_controller->OnLButtonUp(point));
    } else if (event.RightUp()) {
        CWidget* widget = nullptr;
        if (m_controller->OnRButtonUp(point, &widget) == CEditController::RightClick::DataSheet)
            ShowDataSheet(*widget);
        else
            ShowContextMenu();
    }
}

bool CKorvaneView::HandleKeyDown(wxKeyEvent& event)
{
    switch (event.GetKeyCode()) {
    case WXK_ESCAPE:
        Apply(m_controller->OnEscape());
        return true;
    case WXK_CONTROL:
        m_controller->OnCtrlDown();
        return false;
    case WXK_DELETE:
        if (event.GetModifiers() != wxMOD_NONE)
            return false;
        Apply(m_controller->OnDelete());
        return true;
    default:
        return false;
    }
}

bool CKorvaneView::HandleFrameChar(wxKeyEvent& event)
{
    auto* target = wxDynamicCast(event.GetEventObject(), wxWindow);
    auto* manager = wxDocManager::GetDocumentManager();
    if (target == nullptr || manager == nullptr || wxGetTopLevelParent(target) != wxTheApp->GetTopWindow())
        return false;
    if (const auto* text = dynamic_cast<const wxTextEntry*>(target); text != nullptr && text->IsEditable())
        return false;
    auto* view = wxDynamicCast(manager->GetCurrentView(), CKorvaneView);
    return view != nullptr && view->HandleChar(event);
}

bool CKorvaneView::HandleChar(const wxKeyEvent& event)
{
    int character = static_cast<int>(event.GetUnicodeKey());
    if (event.GetKeyCode() == WXK_NUMPAD_ADD || event.GetKeyCode() == WXK_NUMPAD_SUBTRACT)
        character = event.GetKeyCode() == WXK_NUMPAD_ADD ? '+' : '-';
    const int id = CommandOfCharacter(character, event.AltDown());
    if (id == 0 || event.ControlDown())
        return false;
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(m_canvas);
    ProcessEvent(command);
    return true;
}

void CKorvaneView::HandleCaptureLost()
{
    Apply(m_controller->OnCaptureLost());
}

void CKorvaneView::SelectWidget(CWidget* widget)
{
    Apply(m_controller->SelectWidget(widget));
}

void CKorvaneView::ShowContextMenu()
{
    if (m_canvas == nullptr)
        return;
    std::unique_ptr<wxMenu> menu(BuildContextMenu());
    // Commands go through the frame's routing to this view, as menu commands do.
    m_canvas->PopupMenu(menu.get());
}

void CKorvaneView::OnToolCommand(wxCommandEvent& event)
{
    const auto tool = ToolOfCommand(event.GetId());
    if (!tool)
        return;
    if (m_canvas != nullptr && m_canvas->HasCapture())
        m_canvas->ReleaseMouse();
    m_controller->OnTool(*tool);
    AfterStateChange();
}

void CKorvaneView::OnUpdateToolCommand(wxUpdateUIEvent& event)
{
    const auto tool = ToolOfCommand(event.GetId());
    event.Enable(true);  // greyed while no editor is active
    event.Check(tool && m_controller->IsToolChecked(*tool));
}

void CKorvaneView::OnSelect(wxCommandEvent&)
{
    if (m_canvas != nullptr && m_canvas->HasCapture())
        m_canvas->ReleaseMouse();
    m_controller->OnSelect();
    AfterStateChange();
}

void CKorvaneView::OnUpdateSelect(wxUpdateUIEvent& event)
{
    event.Enable(true);
    event.Check(m_controller->IsSelectMode());
}

void CKorvaneView::OnSelectAll(wxCommandEvent&)
{
    Apply(m_controller->OnSelectAll());
    ResetScrollSizes();
}

void CKorvaneView::OnZoomIn(wxCommandEvent&)
{
    m_controller->OnZoomIn();
    AfterStateChange();
}

void CKorvaneView::OnZoomOut(wxCommandEvent&)
{
    m_controller->OnZoomOut();
    AfterStateChange();
}

void CKorvaneView::OnToggle(wxCommandEvent&)
{
    CKorvaneDoc& doc = GetDoc();
    doc.m_workspace.m_bShowEndPoints = doc.m_workspace.m_bShowEndPoints == 1 ? 0 : 1;
    // Every view of the document follows the stored option.
    doc.UpdateAllViews(nullptr);
    FullRedraw();
}

void CKorvaneView::OnUpdateToggle(wxUpdateUIEvent& event)
{
    event.Enable(true);
    event.Check(GetDoc().m_workspace.m_bShowEndPoints == 1);
}

void CKorvaneView::OnEditCopy(wxCommandEvent&)
{
    m_controller->OnEditCopy(GetClipboard());
}

void CKorvaneView::OnEditCut(wxCommandEvent&)
{
    Apply(m_controller->OnEditCut(GetClipboard()));
}

void CKorvaneView::OnEditPaste(wxCommandEvent&)
{
    Apply(m_controller->OnEditPaste(GetClipboard()));
}

void CKorvaneView::OnUpdateEditCopy(wxUpdateUIEvent& event)
{
    event.Enable(m_controller->CanCopy());
}

void CKorvaneView::OnUpdateEditPaste(wxUpdateUIEvent& event)
{
    event.Enable(GetMainFrame() != nullptr && !GetClipboard().IsEmpty());
}
