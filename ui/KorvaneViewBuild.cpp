// The editor view's commands that open dialogs or start runs: the datasheets, the settings
// dialogs and the Build commands, whose checks and messages come from CBuildCommands.
#include "ui/KorvaneView.h"

#include <cstdio>
#include <memory>

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "editor/BuildCommands.h"
#include "editor/RunMessages.h"
#include "ui/KorvaneApp.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"
#include "ui/dialogs/DatasheetSheet.h"
#include "ui/dialogs/SettingsDlg.h"
#include "ui/dialogs/SimulationSettingsDlg.h"
#include "ui/results/GMLDisplayDialog.h"
#include "ui/results/NDLDisplayDialog.h"
#include "ui/results/NDLErrorsDlg.h"
#include "ui/results/SimulationProgressDlg.h"

namespace {

long IconStyle(IBuildPrompts::Icon icon)
{
    switch (icon) {
    case IBuildPrompts::Icon::Information:
        return wxICON_INFORMATION;
    case IBuildPrompts::Icon::Question:
        return wxICON_QUESTION;
    default:
        return wxICON_EXCLAMATION;
    }
}

void ShowBox(const std::string& text, long style, wxWindow* parent)
{
    wxMessageBox(wxString::FromUTF8(text), wxTheApp->GetAppDisplayName(), style, parent);
}

class CMessageBoxes : public IBuildPrompts {
public:
    explicit CMessageBoxes(wxWindow* parent) : m_parent(parent) {}
    void ShowMessage(const std::string& text, Icon icon) override { ShowBox(text, wxOK | IconStyle(icon), m_parent); }
    bool AskYesNo(const std::string& text, Icon icon) override
    {
        return wxMessageBox(wxString::FromUTF8(text), wxTheApp->GetAppDisplayName(), wxYES_NO | IconStyle(icon),
                            m_parent) == wxYES;
    }

private:
    wxWindow* m_parent;
};

// Hands a run's progress and end to its view; a view or dialog that has gone is skipped.
class CMonteCarloListener : public IRunListener {
public:
    CMonteCarloListener(CKorvaneView* view, CSimulationProgressDlg* dialog) : m_view(view), m_dialog(dialog) {}
    void OnRunProgress(const SimulationProgress& progress) override
    {
        if (m_dialog)
            m_dialog->ShowProgress(progress);
    }
    void OnRunFinished(const RunResult& result) override
    {
        if (m_view)
            m_view->OnMonteCarloFinished(result);
    }

private:
    wxWeakRef<CKorvaneView> m_view;
    wxWeakRef<CSimulationProgressDlg> m_dialog;
};

class CAnalyticalListener : public IRunListener {
public:
    explicit CAnalyticalListener(CKorvaneView* view) : m_view(view) {}
    void OnRunProgress(const SimulationProgress&) override {}
    void OnRunFinished(const RunResult& result) override
    {
        if (m_view)
            m_view->OnAnalyticalFinished(result);
    }

private:
    wxWeakRef<CKorvaneView> m_view;
};

}  // namespace

void CKorvaneView::ShowDataSheet(CWidget& widget)
{
    // The sheet marks the document modified and redraws its views when a value changed.
    CDatasheetSheet::ShowDataSheet(DialogParent(*this), GetDoc(), widget);
    m_controller->GetIndex().Update(&widget);  // a load point's new name reaches elsewhere
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

void CKorvaneView::OnDebugNetwork(wxCommandEvent&)
{
    CMessageBoxes boxes(DialogParent(*this));
    std::vector<CNetworkError> errors = CBuildCommands(GetDoc(), boxes).DebugNetwork();
    if (CMainFrame* frame = GetMainFrame())
        if (auto* bar = dynamic_cast<CNDLErrorsDlg*>(frame->OnBuildDisplayErrors()))
            bar->FillErrors(this, std::move(errors));
}

void CKorvaneView::OnDisplayNDL(wxCommandEvent&)
{
    const std::string text = CBuildCommands::NDLText(GetDoc());
    if (m_pNDLDialog)
        return;  // the open window keeps its text until "&Update"
    auto* dialog = new CNDLDisplayDialog(GetMainFrame(), this, text);
    m_pNDLDialog = dialog;
    dialog->Show();
}

void CKorvaneView::OnDisplayGML(wxCommandEvent&)
{
    const std::string text = CBuildCommands::GMLText(GetDoc());
    if (m_pGMLDialog)
        return;
    auto* dialog = new CGMLDisplayDialog(GetMainFrame(), this, text);
    m_pGMLDialog = dialog;
    dialog->Show();
}

namespace {

COutputPlace OutputPlace(const CNetworkDocument& doc)
{
    COutputPlace place;
    // A new network's file name is only its title until it is saved.
    if (doc.GetDocumentSaved())
        place.documentFile = std::filesystem::path(doc.GetFilename().utf8_string());
    place.userDataFolder = UserDataHome() / "Korvane";
    return place;
}

}  // namespace

void CKorvaneView::OnMonteCarloSimulation(wxCommandEvent&)
{
    CNetworkDocument& document = GetNetworkDocument();
    CMessageBoxes boxes(DialogParent(*this));
    auto job = CBuildCommands(GetDoc(), boxes).PrepareMonteCarloRun(IsSimulationRunning(), OutputPlace(document), this);
    if (!job)
        return;
    if (CMainFrame* frame = GetMainFrame())
        frame->ShowMessage();  // the last run's message is stale
    auto* dialog = new CSimulationProgressDlg(GetMainFrame(), this);
    m_pProgressDlg = dialog;
    m_bSimulationRunning = true;
    document.GetRunController().Start(std::move(job), std::make_unique<CMonteCarloListener>(this, dialog));
    dialog->Show();
    document.SyncModified();
}

void CKorvaneView::OnAnalyticalSimulation(wxCommandEvent&)
{
    CNetworkDocument& document = GetNetworkDocument();
    CMessageBoxes boxes(DialogParent(*this));
    auto job = CBuildCommands(GetDoc(), boxes).PrepareAnalyticalRun(IsSimulationRunning(), OutputPlace(document));
    if (!job)
        return;
    document.GetRunController().Start(std::move(job), std::make_unique<CAnalyticalListener>(this));
    document.SyncModified();
}

bool CKorvaneView::IsSimulationRunning() const
{
    return m_bSimulationRunning || GetNetworkDocument().GetRunController().IsRunning();
}

void CKorvaneView::SuspendSimulation()
{
    GetNetworkDocument().GetRunController().Pause();
}

void CKorvaneView::ResumeSimulation()
{
    GetNetworkDocument().GetRunController().Resume();
}

void CKorvaneView::StopSimulation()
{
    GetNetworkDocument().GetRunController().Stop();
    m_bSimulationRunning = false;
    RestoreFocus();
}

void CKorvaneView::RestoreFocus()
{
    // The drawing keys act on the canvas: after a run it has the keyboard again.
    if (m_canvas != nullptr)
        m_canvas->SetFocus();
}

void CKorvaneView::OnMonteCarloFinished(const RunResult& result)
{
    CSimulationProgressDlg* dialog = m_pProgressDlg;
    if (dialog == nullptr)
        m_bSimulationRunning = false;
    // Open result pages show the report as the run has left it: new, kept, or gone.
    const std::string path = GetDoc().GetMonteCarloResultPath();
    GetDoc().UpdateAllViews(this, &path);
    RestoreFocus();
    switch (result.kind) {
    case RunResult::Kind::Completed: {
        for (const std::string& warning : result.warnings)
            ShowBox(warning, wxOK | wxICON_EXCLAMATION, dialog);
        if (dialog != nullptr && !dialog->IsCompleted())
            dialog->OnSimulationCompleted();
        return;
    }
    case RunResult::Kind::Stopped:
        if (dialog != nullptr)
            dialog->CloseWithoutAsking();
        if (CMainFrame* frame = GetMainFrame())
            frame->ShowMessage(run_text::kStopped);
        break;
    case RunResult::Kind::Failed:
        if (dialog != nullptr)
            dialog->CloseWithoutAsking();
        ShowBox(result.message, wxOK | wxICON_EXCLAMATION, DialogParent(*this));
        break;
    }
    for (const std::string& warning : result.warnings)
        ShowBox(warning, wxOK | wxICON_EXCLAMATION, DialogParent(*this));
}

void CKorvaneView::OnAnalyticalFinished(const RunResult& result)
{
    RestoreFocus();
    if (result.kind == RunResult::Kind::Failed) {
        ShowBox(result.message, wxOK | wxICON_EXCLAMATION, DialogParent(*this));
    } else if (result.kind == RunResult::Kind::Completed) {
        ShowBox(result.message, wxOK | wxICON_INFORMATION, DialogParent(*this));
        // The indices go to the standard output as well, one a line.
        wxString console = wxString::FromUTF8(result.message);
        console.Replace("\t=", " =");
        std::fputs(console.utf8_str(), stdout);
        std::fflush(stdout);
    }
}

void CKorvaneView::CloseBuildWindows()
{
    if (CSimulationProgressDlg* dialog = m_pProgressDlg)
        dialog->CloseWithoutAsking();
    GetNetworkDocument().GetRunController().Stop();
    m_bSimulationRunning = false;
    if (m_pNDLDialog)
        m_pNDLDialog->Destroy();
    if (m_pGMLDialog)
        m_pGMLDialog->Destroy();
}
