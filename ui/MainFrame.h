// The main window: both toolbars, the status bar with the cursor position, the docking bars, the
// result pages' flags and the editor's private clipboard.
#pragma once

#include <wx/aui/aui.h>
#include <wx/docview.h>

#include "editor/Clipboard.h"
#include "platform/Geometry.h"

using CMainFrameBase = wxDocParentFrameAny<wxAuiMDIParentFrame>;

class CMainFrame : public CMainFrameBase {
public:
    CMainFrame(wxDocManager* manager, const wxString& title);
    ~CMainFrame() override;

    // Set while a result page of that kind is open; the page clears its flag when it closes.
    bool m_bMonteCarloResultOpen = false;
    bool m_bAnalyticalResultOpen = false;
    // Copies of widgets, shared by every network view.
    CClipboard m_clipboard;

    // The "x=" and "y=" panes of the status bar.
    void SetCursorPosition(CPoint point);
    // The caption with the active document's title after it.
    void ShowDocumentTitle(const wxString& title);
    // The status bar's message pane: `text`, or the idle text when it is empty.
    void ShowMessage(const wxString& text = wxString());

    // Shows the "NDL Errors" bar (creating it on first use) and returns what it hosts.
    wxWindow* OnBuildDisplayErrors();
    // The same for the "Simulation result viewer" bar.
    wxWindow* OnBuildResultViewerDialog();
    // Opens a result page of each kind on the active document, at most one of each.
    void OnBuildMonteCarlosResultViewer(wxCommandEvent& event);
    void OnBuildAnalyticalResultViewer(wxCommandEvent& event);

    wxAuiToolBar* GetToolBarPane() { return m_wndToolBar; }
    wxAuiToolBar* GetWidgetBarPane() { return m_wndWidgetBar; }

private:
    // Lays out the toolbars and docking bars; finds the bar whose caption is at a point.
    class CDockManager : public wxAuiManager {
    public:
        wxAuiPaneInfo* CaptionAt(const wxPoint& point);
        // A bar first floats at the size that shows all it holds, and docks again by a double
        // click on the floating frame's caption.
        wxAuiFloatingFrame* CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) override;
    };

    // What the two docking bars host; the errors list and the result values are hooked in here.
    wxWindow* CreateErrorsContent(wxWindow* parent);
    wxWindow* CreateResultContent(wxWindow* parent);
    wxWindow* ShowDockingBar(const wxString& name, const wxString& title, bool bottom);
    void OpenResultPage(wxDocTemplate* pageTemplate, bool& openFlag);
    wxAuiToolBar* MakeToolBar(const std::vector<int>& layout, long style);

    void OnDisplayErrors(wxCommandEvent& event);
    void OnResultViewerDialog(wxCommandEvent& event);
    void OnUpdateResultViewer(wxUpdateUIEvent& event);
    // The commands that act on a network editor, when no editor takes them.
    void OnUpdateNeedsEditor(wxUpdateUIEvent& event);
    void OnViewToolbar(wxCommandEvent& event);
    void OnUpdateViewToolbar(wxUpdateUIEvent& event);
    void OnViewStatusBar(wxCommandEvent& event);
    void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
    void OnWindowCommand(wxCommandEvent& event);
    void OnUpdateNoHandler(wxUpdateUIEvent& event);
    void OnUpdateRecentFiles(wxUpdateUIEvent& event);
    void OnDropFiles(wxDropFilesEvent& event);
    // A button's prompt in the status bar while the pointer is over it, as the menus show theirs.
    void OnToolBarMotion(wxMouseEvent& event);
    void OnToolBarLeave(wxMouseEvent& event);
    // A double click on a docking bar's caption or on its background floats it or docks it again.
    void OnDoubleClick(wxMouseEvent& event);
    void ToggleDocking(wxAuiPaneInfo& pane);
    void OnIdle(wxIdleEvent& event);

    CDockManager m_mgr;
    wxAuiToolBar* m_wndToolBar = nullptr;
    wxAuiToolBar* m_wndWidgetBar = nullptr;
    wxWindow* m_wndNDLErrors = nullptr;
    wxWindow* m_wndResultDlg = nullptr;
    wxMenu* m_recentFiles = nullptr;
    wxString m_caption;
    wxString m_lockText[3];
    wxString m_toolPrompt;  // shown for the button under the pointer

    wxDECLARE_EVENT_TABLE();
};
