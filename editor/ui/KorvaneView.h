// The network editor view: draws one network, and turns tool commands, mouse and keys into work
// for the editing state; zoom, printing, the end-point toggle and the Build commands start here.
#pragma once

#include <memory>

#include <wx/docview.h>

#include "editor/EditController.h"
#include "editor/ViewTransform.h"

class CMainFrame;
class CNetworkCanvas;
class CNetworkDocument;
class wxMouseEvent;
class wxKeyEvent;

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
    wxPrintout* OnCreatePrintout() override;
    void OnDocumentUpdate(const void* sender, const std::string* hint) override;

    CNetworkDocument& GetNetworkDocument() const;
    CKorvaneDoc& GetDoc() const;
    CEditController& GetController() { return *m_controller; }
    CNetworkCanvas* GetCanvas() const { return m_canvas; }
    // Pixels per model unit on the screen, and the mapping of the canvas's pixels.
    double GetScale() const;
    CViewTransform GetTransform() const;

    // The canvas's painting: background, network, marks and the rubber band or line.
    void Paint(wxDC& dc);
    // Every widget in widget-order list order, with end-point and selection marks as they apply.
    void DrawNetwork(wxDC& dc) const;
    // The canvas size follows the workspace size (scaled while zoomed).
    void ResetScrollSizes();

    // Input from the canvas, dispatched in one order: Escape, tool keys, press, drag, release.
    void HandleMouse(wxMouseEvent& event);
    bool HandleKeyDown(wxKeyEvent& event);
    bool HandleChar(wxKeyEvent& event);
    void HandleCaptureLost();

    // Selects that one widget (the errors list's double click).
    void SelectWidget(CWidget* widget);
    void ShowContextMenu();

    // Filled in by the datasheets: the widget's modal datasheet, opened by a right click on it.
    void ShowDataSheet(CWidget& widget);

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

    // Settings and Build commands; each is filled in by the work that builds its dialog or run
    // (KorvaneViewBuild.cpp). Until then they are greyed.
    void OnWorkspaceSettings(wxCommandEvent& event);
    void OnMonteCarloSettings(wxCommandEvent& event);
    void OnDebugNetwork(wxCommandEvent& event);
    void OnMonteCarloSimulation(wxCommandEvent& event);
    void OnDisplayNDL(wxCommandEvent& event);
    void OnAnalyticalSimulation(wxCommandEvent& event);
    void OnDisplayGML(wxCommandEvent& event);
    void OnUpdateNotYetAvailable(wxUpdateUIEvent& event);

    std::unique_ptr<CEditController> m_controller;
    CNetworkCanvas* m_canvas = nullptr;

    wxDECLARE_EVENT_TABLE();
};
