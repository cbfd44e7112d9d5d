#include "ui/MainFrame.h"

#include <functional>

#include <wx/aui/auibar.h>
#include <wx/aui/floatpane.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "ui/Art.h"
#include "ui/CaptionDoubleClick.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/ShowAtOnce.h"
#include "ui/Splash.h"
#include "ui/results/NDLErrorsDlg.h"
#include "ui/results/SimulationResultDockableDlg.h"

wxBEGIN_EVENT_TABLE(CMainFrame, CMainFrameBase)
    EVT_MENU(ID_DISPLAY_ERRORS, CMainFrame::OnDisplayErrors)
    EVT_MENU(ID_RESULT_VIEWER_DIALOG, CMainFrame::OnResultViewerDialog)
    EVT_MENU(ID_MONTE_CARLO_RESULT_VIEWER, CMainFrame::OnBuildMonteCarlosResultViewer)
    EVT_MENU(ID_ANALYTICAL_RESULT_VIEWER, CMainFrame::OnBuildAnalyticalResultViewer)
    EVT_UPDATE_UI(ID_MONTE_CARLO_RESULT_VIEWER, CMainFrame::OnUpdateResultViewer)
    EVT_UPDATE_UI(ID_ANALYTICAL_RESULT_VIEWER, CMainFrame::OnUpdateResultViewer)
    EVT_MENU(ID_VIEW_TOOLBAR, CMainFrame::OnViewToolbar)
    EVT_UPDATE_UI(ID_VIEW_TOOLBAR, CMainFrame::OnUpdateViewToolbar)
    EVT_MENU(ID_VIEW_STATUS_BAR, CMainFrame::OnViewStatusBar)
    EVT_UPDATE_UI(ID_VIEW_STATUS_BAR, CMainFrame::OnUpdateViewStatusBar)
    EVT_MENU_RANGE(ID_WINDOW_CASCADE, ID_WINDOW_TILE_VERT, CMainFrame::OnWindowCommand)
    EVT_UPDATE_UI(ID_RECENT_FILES, CMainFrame::OnUpdateRecentFiles)
    EVT_DROP_FILES(CMainFrame::OnDropFiles)
    EVT_LEFT_DCLICK(CMainFrame::OnDoubleClick)
    EVT_IDLE(CMainFrame::OnIdle)
wxEND_EVENT_TABLE()

namespace {

const char* const kErrorsBar = "NDLErrors";
const char* const kResultBar = "SimulationResult";
constexpr int kStatusPanes = 6;
const wxString kIdleText = "Select & right click to bring up component dialog box";

}  // namespace

CMainFrame::CMainFrame(wxDocManager* manager, const wxString& title)
    : CMainFrameBase(manager, nullptr, wxID_ANY, title, wxDefaultPosition, wxSize(1024, 768),
                     wxDEFAULT_FRAME_STYLE | wxFRAME_NO_WINDOW_MENU),
      m_caption(title)
{
    m_mgr.SetManagedWindow(this);
    SetMenuBar(BuildMenuBar(MenuKind::NoDocument, &m_recentFiles));
    manager->FileHistoryUseMenu(m_recentFiles);
    manager->FileHistoryAddFilesToMenu(m_recentFiles);
    SetAcceleratorTable(ExtraAccelerators());

    m_wndToolBar = MakeToolBar(MainToolBarLayout(), wxAUI_TB_DEFAULT_STYLE | wxAUI_TB_GRIPPER);
    m_wndWidgetBar = MakeToolBar(WidgetToolBarLayout(), wxAUI_TB_DEFAULT_STYLE | wxAUI_TB_GRIPPER | wxAUI_TB_VERTICAL);
    m_mgr.AddPane(GetClientWindow(), wxAuiPaneInfo().Name("Documents").CenterPane().PaneBorder(false));
    m_mgr.AddPane(m_wndToolBar, wxAuiPaneInfo().Name("ToolBar").Caption("Standard").ToolbarPane().Top().Row(0));
    m_mgr.AddPane(m_wndWidgetBar,
                  wxAuiPaneInfo().Name("WidgetBar").Caption("Widgets").ToolbarPane().Left().GripperTop());

    CreateStatusBar(kStatusPanes);
    const int widths[kStatusPanes] = {-1, 60, 60, 40, 40, 40};
    GetStatusBar()->SetStatusWidths(kStatusPanes, widths);
    SetStatusBarPane(0);
    ShowMessage();

    // The commands that act on a network editor reach here when no editor takes them, and are
    // then greyed; those that nothing handles are greyed always.
    for (const CCommand& command : Commands()) {
        if (command.use == CommandUse::WithEditor)
            Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateNeedsEditor, this, ToolkitId(command.id));
        else if (command.use == CommandUse::Never)
            Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateNoHandler, this, ToolkitId(command.id));
    }

    m_mgr.Update();
    DragAcceptFiles(true);
    ShowAtOnce(*this);
    CSplashWnd::ShowSplashScreen(this);
}

CMainFrame::~CMainFrame()
{
    if (wxDocManager* manager = wxDocManager::GetDocumentManager())
        manager->FileHistoryRemoveMenu(m_recentFiles);
    m_mgr.UnInit();
}

wxAuiToolBar* CMainFrame::MakeToolBar(const std::vector<int>& layout, long style)
{
    auto* bar = new wxAuiToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, style);
    for (const int id : layout) {
        if (id == 0) {
            bar->AddSeparator();
            continue;
        }
        const CCommand& command = *FindCommand(id);
        bar->AddTool(ToolkitId(id), wxString(), CommandBitmap(command), wxBitmapBundle(),
                     command.check ? wxITEM_CHECK : wxITEM_NORMAL, CommandTooltip(command),
                     wxString::FromUTF8(command.prompt), nullptr);
    }
    bar->Realize();
    bar->Bind(wxEVT_MOTION, &CMainFrame::OnToolBarMotion, this);
    bar->Bind(wxEVT_LEAVE_WINDOW, &CMainFrame::OnToolBarLeave, this);
    return bar;
}

void CMainFrame::OnToolBarMotion(wxMouseEvent& event)
{
    event.Skip();
    const auto* bar = wxDynamicCast(event.GetEventObject(), wxAuiToolBar);
    const wxAuiToolBarItem* tool = bar != nullptr ? bar->FindToolByPosition(event.GetX(), event.GetY()) : nullptr;
    const wxString prompt = tool != nullptr ? tool->GetLongHelp() : wxString();
    if (prompt == m_toolPrompt)
        return;
    m_toolPrompt = prompt;
    // Hiding restores the text that was there before the first prompt.
    DoGiveHelp(prompt, !prompt.empty());
}

void CMainFrame::OnToolBarLeave(wxMouseEvent& event)
{
    event.Skip();
    if (m_toolPrompt.empty())
        return;
    m_toolPrompt.clear();
    DoGiveHelp(wxString(), false);
}

void CMainFrame::SetCursorPosition(CPoint point)
{
    wxStatusBar* status = GetStatusBar();
    if (status == nullptr)
        return;
    const wxString texts[2] = {wxString::Format("x=%d", point.x), wxString::Format("y=%d", point.y)};
    bool resize = false;
    for (int i = 0; i < 2; ++i) {
        if (status->GetStatusText(i + 1) != texts[i]) {
            resize = resize || status->GetStatusText(i + 1).length() != texts[i].length();
            status->SetStatusText(texts[i], i + 1);
        }
    }
    if (resize) {
        // As wide as the text needs in the status bar's own font.
        const int widths[kStatusPanes] = {-1, status->GetTextExtent(texts[0]).x + 16,
                                          status->GetTextExtent(texts[1]).x + 16, 40, 40, 40};
        status->SetStatusWidths(kStatusPanes, widths);
    }
}

void CMainFrame::ShowDocumentTitle(const wxString& title)
{
    SetTitle(title.empty() ? m_caption : m_caption + " - " + title);
}

void CMainFrame::ShowMessage(const wxString& text)
{
    SetStatusText(text.empty() ? kIdleText : text, 0);
}

wxWindow* CMainFrame::CreateErrorsContent(wxWindow* parent)
{
    return new CNDLErrorsDlg(parent);
}

wxWindow* CMainFrame::CreateResultContent(wxWindow* parent)
{
    return new CSimulationResultDockableDlg(parent);
}

wxAuiPaneInfo* CMainFrame::CDockManager::CaptionAt(const wxPoint& point)
{
    wxAuiDockUIPart* part = HitTest(point.x, point.y);
    return part != nullptr && part->type == wxAuiDockUIPart::typeCaption ? part->pane : nullptr;
}

wxAuiFloatingFrame* CMainFrame::CDockManager::CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane)
{
    wxAuiFloatingFrame* frame = wxAuiManager::CreateFloatingFrame(parent, pane);
    ShowAtOnce(*frame);
    if (!pane.IsToolbar()) {
        auto* owner = static_cast<CMainFrame*>(GetManagedWindow());
        BindCaptionDoubleClick(*frame, [owner, name = pane.name] {
            owner->CallAfter([owner, name] {
                if (wxAuiPaneInfo& floating = owner->m_mgr.GetPane(name); floating.IsOk() && floating.IsFloating())
                    owner->ToggleDocking(floating);
            });
        });
    }
    // Its best size inside the frame's edges; later floats keep the size the user gave. The
    // toolkit sizes such a frame only once it is shown.
    if (!pane.IsToolbar() && pane.floating_size == wxDefaultSize) {
        const wxSize size = pane.best_size;
        frame->CallAfter([frame, size] { frame->SetClientSize(size); });
    }
    return frame;
}

wxWindow* CMainFrame::ShowDockingBar(const wxString& name, const wxString& title, bool bottom)
{
    wxAuiPaneInfo& existing = m_mgr.GetPane(name);
    if (existing.IsOk()) {
        existing.Show();
        m_mgr.Update();
        return existing.window;
    }
    wxWindow* content = bottom ? CreateErrorsContent(this) : CreateResultContent(this);
    // The bar opens at the size of what it hosts, grown to fit all of its fields.
    wxSize size = content->GetSize();
    size.IncTo(content->GetBestSize());
    wxAuiPaneInfo info;
    info.Name(name).Caption(title).BestSize(size).MinSize(22, 22);
    info.CloseButton(true).DestroyOnClose(false).Floatable(true);
    info.TopDockable(false).LeftDockable(false).BottomDockable(bottom).RightDockable(!bottom);
    if (bottom)
        info.Bottom();
    else
        info.Right();
    m_mgr.AddPane(content, info);
    m_mgr.Update();
    // Its background: the hosted panel, its group boxes and labels (the fields keep their clicks).
    const std::function<void(wxWindow&)> bindBackground = [&](wxWindow& window) {
        window.Bind(wxEVT_LEFT_DCLICK, &CMainFrame::OnDoubleClick, this);
        for (wxWindow* child : window.GetChildren())
            if (wxDynamicCast(child, wxStaticBox) != nullptr || wxDynamicCast(child, wxStaticText) != nullptr)
                bindBackground(*child);
    };
    bindBackground(*content);
    return content;
}

void CMainFrame::OnDoubleClick(wxMouseEvent& event)
{
    auto* window = wxDynamicCast(event.GetEventObject(), wxWindow);
    wxAuiPaneInfo* pane = window == this ? m_mgr.CaptionAt(event.GetPosition()) : nullptr;
    for (; window != this && window != nullptr && pane == nullptr; window = window->GetParent())
        if (wxAuiPaneInfo& hosting = m_mgr.GetPane(window); hosting.IsOk())
            pane = &hosting;
    if (pane == nullptr || pane->IsToolbar()) {
        event.Skip();
        return;
    }
    ToggleDocking(*pane);
}

void CMainFrame::ToggleDocking(wxAuiPaneInfo& pane)
{
    if (pane.IsFloating())
        pane.Dock();
    else
        pane.Float().FloatingPosition(ClientToScreen(pane.rect.GetPosition()));
    m_mgr.Update();
}

wxWindow* CMainFrame::OnBuildDisplayErrors()
{
    m_wndNDLErrors = ShowDockingBar(kErrorsBar, "NDL Errors", true);
    return m_wndNDLErrors;
}

wxWindow* CMainFrame::OnBuildResultViewerDialog()
{
    m_wndResultDlg = ShowDockingBar(kResultBar, "Simulation result viewer", false);
    return m_wndResultDlg;
}

void CMainFrame::OnDisplayErrors(wxCommandEvent&)
{
    OnBuildDisplayErrors();
}

void CMainFrame::OnResultViewerDialog(wxCommandEvent&)
{
    OnBuildResultViewerDialog();
}

void CMainFrame::OnBuildMonteCarlosResultViewer(wxCommandEvent&)
{
    OpenResultPage(wxGetApp().GetHTMLTemplate(), m_bMonteCarloResultOpen);
}

void CMainFrame::OnBuildAnalyticalResultViewer(wxCommandEvent&)
{
    OpenResultPage(wxGetApp().GetAnalyticalHTMLTemplate(), m_bAnalyticalResultOpen);
}

void CMainFrame::OpenResultPage(wxDocTemplate* pageTemplate, bool& openFlag)
{
    if (openFlag || pageTemplate == nullptr)
        return;
    wxDocument* doc = GetDocumentManager()->GetCurrentDocument();
    if (doc != nullptr && pageTemplate->CreateView(doc, wxDOC_NEW) != nullptr)
        openFlag = true;
    Tile(wxVERTICAL);
}

void CMainFrame::OnUpdateResultViewer(wxUpdateUIEvent& event)
{
    // Greyed until the result pages exist.
    const bool monteCarlo = event.GetId() == ID_MONTE_CARLO_RESULT_VIEWER;
    event.Enable((monteCarlo ? wxGetApp().GetHTMLTemplate() : wxGetApp().GetAnalyticalHTMLTemplate()) != nullptr);
}

void CMainFrame::OnUpdateNeedsEditor(wxUpdateUIEvent& event)
{
    event.Enable(wxDynamicCast(GetDocumentManager()->GetCurrentView(), CKorvaneView) != nullptr);
}

void CMainFrame::OnViewToolbar(wxCommandEvent&)
{
    const bool show = !m_mgr.GetPane(m_wndToolBar).IsShown();
    m_mgr.GetPane(m_wndToolBar).Show(show);
    m_mgr.GetPane(m_wndWidgetBar).Show(show);
    m_mgr.Update();
}

void CMainFrame::OnUpdateViewToolbar(wxUpdateUIEvent& event)
{
    event.Check(m_mgr.GetPane(m_wndToolBar).IsShown());
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&)
{
    GetStatusBar()->Show(!GetStatusBar()->IsShown());
    SendSizeEvent();
}

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event)
{
    event.Check(GetStatusBar() != nullptr && GetStatusBar()->IsShown());
}

void CMainFrame::OnWindowCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_WINDOW_CASCADE:
        Cascade();
        break;
    case ID_WINDOW_ARRANGE:
        ArrangeIcons();
        break;
    case ID_WINDOW_TILE_HORZ:
        Tile(wxHORIZONTAL);
        break;
    case ID_WINDOW_TILE_VERT:
        Tile(wxVERTICAL);
        break;
    }
}

void CMainFrame::OnUpdateNoHandler(wxUpdateUIEvent& event)
{
    event.Enable(false);
}

void CMainFrame::OnUpdateRecentFiles(wxUpdateUIEvent& event)
{
    const wxFileHistory* history = GetDocumentManager()->GetFileHistory();
    event.Enable(history != nullptr && history->GetCount() > 0);
}

void CMainFrame::OnDropFiles(wxDropFilesEvent& event)
{
    for (int i = 0; i < event.GetNumberOfFiles(); ++i)
        GetDocumentManager()->CreateDocument(event.GetFiles()[i], wxDOC_SILENT);
}

void CMainFrame::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    // The caption names no network once every network is closed.
    if (GetDocumentManager()->GetDocuments().empty() && GetTitle() != m_caption)
        ShowDocumentTitle(wxString());
    wxStatusBar* status = GetStatusBar();
    if (status == nullptr)
        return;
    const struct {
        wxKeyCode key;
        const char* text;
    } locks[3] = {{WXK_CAPITAL, "CAP"}, {WXK_NUMLOCK, "NUM"}, {WXK_SCROLL, "SCRL"}};
    for (int i = 0; i < 3; ++i) {
        const wxString text = wxGetKeyState(locks[i].key) ? locks[i].text : "";
        if (text != m_lockText[i]) {
            m_lockText[i] = text;
            status->SetStatusText(text, 3 + i);
        }
    }
}
