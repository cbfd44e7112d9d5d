// The editor view's commands whose dialogs and runs are built elsewhere: the datasheets, the
// settings dialogs and the Build commands. Each handler is the one place its work is hooked in;
// until then OnUpdateNotYetAvailable keeps its menu entries and buttons greyed.
#include "editor/ui/KorvaneView.h"

#include <wx/toplevel.h>

#include "editor/ui/DatasheetSheet.h"
#include "editor/ui/NetworkDocument.h"
#include "editor/ui/SettingsDlg.h"
#include "montecarlo/ui/SimulationSettingsDlg.h"

namespace {

// Dialogs belong to the main window: an MDI child is no top-level window on GTK.
wxWindow* DialogParent(wxView& view)
{
    return view.GetFrame() != nullptr ? wxGetTopLevelParent(view.GetFrame()) : nullptr;
}

}  // namespace

void CKorvaneView::ShowDataSheet(CWidget& widget)
{
    // The sheet marks the document modified and redraws its views when a value changed.
    CDatasheetSheet::ShowDataSheet(DialogParent(*this), GetDoc(), widget);
    GetNetworkDocument().SyncModified();
}

void CKorvaneView::OnWorkspaceSettings(wxCommandEvent&)
{
    if (!EditWorkspaceSettings(DialogParent(*this), GetDoc()))
        return;
    GetNetworkDocument().SyncModified();
    GetDoc().UpdateAllViews(this);
    AfterStateChange();
}

void CKorvaneView::OnMonteCarloSettings(wxCommandEvent&)
{
    EditSettings(DialogParent(*this), *GetDoc().m_pSimulationSettings);
    // The command marks the network modified however the dialog ended.
    GetDoc().SetModifiedFlag();
    GetNetworkDocument().SyncModified();
}

void CKorvaneView::OnDebugNetwork(wxCommandEvent&) {}

void CKorvaneView::OnMonteCarloSimulation(wxCommandEvent&) {}

void CKorvaneView::OnDisplayNDL(wxCommandEvent&) {}

void CKorvaneView::OnAnalyticalSimulation(wxCommandEvent&) {}

void CKorvaneView::OnDisplayGML(wxCommandEvent&) {}

void CKorvaneView::OnUpdateNotYetAvailable(wxUpdateUIEvent& event)
{
    event.Enable(false);
}
