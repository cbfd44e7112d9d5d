// The network editor view: draws one network, and turns tool commands, mouse and keys into work
// for the editing state; zoom, printing, the end-point toggle and the Build commands start here.
#pragma once

#include <memory>
#include <optional>

#include <wx/docview.h>
#include <wx/weakref.h>

#include "editor/EditController.h"
#include "editor/ViewTransform.h"

class CGMLDisplayDialog;
class CMainFrame;
class CNDLDisplayDialog;
class CNetworkCanvas;
class CSimulationProgressDlg;
struct RunResult;
class CNetworkDocument;
class wxMouseEvent;
class wxKeyEvent;

// The window that owns a view's dialogs and message boxes: the main window, since an MDI child is
// no top-level window on GTK.
wxWindow* DialogParent(wxView& view);

class CKorvaneView : public wxView, public IDocumentObserver {
    wxDECLARE_DYNAMIC_CLASS(CKorvaneView);

public:
    CKorvaneView();
    ~CKorvaneView() override;

    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    // Draws the network with the context's own mapping (the printout sets it).
    void OnDraw(wxDC* dc) override;
    void OnUpdate(wxView* sender, wxObject* hint) override;
    void OnActivateView(bool activate, wxView* activeView, wxView* deactiveView) override;
    // A network saved under a new name shows that name in the window captions at once.
    void OnChangeFilename() override;
    wxPrintout* OnCreatePrintout() override;
    void OnDocumentUpdate(const void* sender, const std::string* hint) override;

    CNetworkDocument& GetNetworkDocument() const;
    CKorvaneDoc& GetDoc() const;
    CEditController& GetController() { return *m_controller; }
    CNetworkCanvas* GetCanvas() const { return m_canvas; }
    // Pixels per model unit on the screen, and the mapping of the canvas's pixels.
    double GetScale() const;
    CViewTransform GetTransform() const;

    // The canvas's painting: background, network, marks and the rubber band or line. With an area
    // (window pixels) only the widgets that reach into it are drawn, which leaves its pixels as
    // drawing every widget does.
    void Paint(wxDC& dc, const std::optional<wxRect>& area = std::nullopt);
    // Every widget in widget-order list order, with end-point and selection marks as they apply;
    // with an area (model units), only the widgets whose drawing reaches into it.
    void DrawNetwork(wxDC& dc, const std::optional<CRect>& area = std::nullopt) const;
    // The canvas size follows the workspace size (scaled while zoomed).
    void ResetScrollSizes();

    // Input from the canvas, dispatched in one order: Escape, tool keys, press, drag, release.
    void HandleMouse(wxMouseEvent& event);
    bool HandleKeyDown(wxKeyEvent& event);
    // The tool keys ('1' to '0', '`') and Alt with '+' or '-' belong to the main window, as its
    // accelerators: typed anywhere in it but an editable text box, they go to the active editor.
    // GTK fires no accelerator for a plain character, so the application's event filter calls this.
    static bool HandleFrameChar(wxKeyEvent& event);
    void HandleCaptureLost();

    // Selects that one widget (the errors list's double click).
    void SelectWidget(CWidget* widget);
    void ShowContextMenu();

    // Filled in by the datasheets: the widget's modal datasheet, opened by a right click on it.
    void ShowDataSheet(CWidget& widget);

    // The Monte Carlo run's progress dialog acts through these (KorvaneViewBuild.cpp): Pause,
    // Resume, and the end of the dialog (Cancel, its close box, Yes to the completion question),
    // which stops a run still going and lets the next one start.
    void SuspendSimulation();
    void ResumeSimulation();
    void StopSimulation();
    // A Monte Carlo run's dialog is open, or a run of the document is going: both runs are refused.
    bool IsSimulationRunning() const;
    CSimulationProgressDlg* GetProgressDialog() const { return m_pProgressDlg; }
    CNDLDisplayDialog* GetNDLDialog() const { return m_pNDLDialog; }
    CGMLDisplayDialog* GetGMLDialog() const { return m_pGMLDialog; }
    // How a run ended, told on the UI thread.
    void OnMonteCarloFinished(const RunResult& result);
    void OnAnalyticalFinished(const RunResult& result);

private:
    void Apply(const CViewUpdate& update);
    void FullRedraw();
    void AfterStateChange();
    CMainFrame* GetMainFrame() const;
    CClipboard& GetClipboard() const;

    void OnToolCommand(wxCommandEvent& event);
    void OnUpdateToolCommand(wxUpdateUIEvent& event);
    void OnSelect(wxCommandEvent& event);
    void OnUpdateSelect(wxUpdateUIEvent& event);
    void OnSelectAll(wxCommandEvent& event);
    void OnZoomIn(wxCommandEvent& event);
    void OnZoomOut(wxCommandEvent& event);
    void OnToggle(wxCommandEvent& event);
    void OnUpdateToggle(wxUpdateUIEvent& event);
    void OnEditCopy(wxCommandEvent& event);
    void OnEditCut(wxCommandEvent& event);
    void OnEditPaste(wxCommandEvent& event);
    void OnUpdateEditCopy(wxUpdateUIEvent& event);
    void OnUpdateEditPaste(wxUpdateUIEvent& event);

    // Settings and Build commands (KorvaneViewBuild.cpp).
    void OnWorkspaceSettings(wxCommandEvent& event);
    void OnMonteCarloSettings(wxCommandEvent& event);
    void OnDebugNetwork(wxCommandEvent& event);
    void OnMonteCarloSimulation(wxCommandEvent& event);
    void OnDisplayNDL(wxCommandEvent& event);
    void OnAnalyticalSimulation(wxCommandEvent& event);
    void OnDisplayGML(wxCommandEvent& event);
    // The view's windows of the Build commands go with it; a run still going is asked to stop.
    void CloseBuildWindows();
    void RestoreFocus();
    bool HandleChar(const wxKeyEvent& event);

    std::unique_ptr<CEditController> m_controller;
    CNetworkCanvas* m_canvas = nullptr;

    // Build commands: the windows go away by themselves, so they are held weakly.
    bool m_bSimulationRunning = false;  // the progress dialog of this view's run is open
    wxWeakRef<CSimulationProgressDlg> m_pProgressDlg;
    wxWeakRef<CNDLDisplayDialog> m_pNDLDialog;
    wxWeakRef<CGMLDisplayDialog> m_pGMLDialog;

    wxDECLARE_EVENT_TABLE();
};
