// The editor view's commands whose dialogs and runs are built elsewhere: the datasheets, the
// settings dialogs and the Build commands. Each handler is the one place its work is hooked in;
// until then OnUpdateNotYetAvailable keeps its menu entries and buttons greyed.
#include "editor/ui/KorvaneView.h"

void CKorvaneView::ShowDataSheet(CWidget&) {}

void CKorvaneView::OnWorkspaceSettings(wxCommandEvent&) {}

void CKorvaneView::OnMonteCarloSettings(wxCommandEvent&) {}

void CKorvaneView::OnDebugNetwork(wxCommandEvent&) {}

void CKorvaneView::OnMonteCarloSimulation(wxCommandEvent&) {}

void CKorvaneView::OnDisplayNDL(wxCommandEvent&) {}

void CKorvaneView::OnAnalyticalSimulation(wxCommandEvent&) {}

void CKorvaneView::OnDisplayGML(wxCommandEvent&) {}

void CKorvaneView::OnUpdateNotYetAvailable(wxUpdateUIEvent& event)
{
    event.Enable(false);
}
