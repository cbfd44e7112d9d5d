#include "ui/NetworkDocument.h"

#include <cstdio>
#include <exception>
#include <new>

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

#include "editor/OutputNames.h"
#include "editor/RunMessages.h"
#include "platform/Files.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/dialogs/AnalyticalSimulationSettings.h"

wxIMPLEMENT_DYNAMIC_CLASS(CNetworkDocument, wxDocument);

wxBEGIN_EVENT_TABLE(CNetworkDocument, wxDocument)
    EVT_MENU(ID_ANALYTICAL_SETTINGS, CNetworkDocument::OnAnalyticalSettings)
wxEND_EVENT_TABLE()

namespace {

std::filesystem::path ToPath(const wxString& file)
{
    return std::filesystem::path(file.utf8_string());
}

// A box, or a line on the standard error stream where nobody could answer one (a print from the
// command line).
void Report(const wxString& text, long icon)
{
    if (wxGetApp().CanShowBoxes())
        wxMessageBox(text, wxTheApp->GetAppDisplayName(), wxOK | icon);
    else
        std::fprintf(stderr, "korvane: %s\n", text.utf8_str().data());
}

void ReportFileFailure(const char* what, const wxString& file, const std::exception& e)
{
    const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
    Report(wxString::Format("%s \"%s\": %s", what, file, memory ? wxString("Out of memory") : wxString::FromUTF8(e.what())),
           wxICON_ERROR);
}

}  // namespace

CNetworkDocument::CNetworkDocument()
    : m_doc(std::make_unique<CKorvaneDoc>()),
      m_runs(std::make_unique<CRunController>([](CRunController::Task task) {
          if (wxTheApp != nullptr)
              wxTheApp->CallAfter(std::move(task));
      }))
{
}

CNetworkDocument::~CNetworkDocument() = default;

bool CNetworkDocument::OnNewDocument()
{
    if (!wxDocument::OnNewDocument())
        return false;
    m_doc->OnNewDocument();
    SyncTitle();
    return true;
}

bool CNetworkDocument::DoOpenDocument(const wxString& file)
{
    try {
        m_doc->OpenFile(ToPath(file));
    } catch (const korvane::FileError& e) {
        Report(wxString::FromUTF8(e.what()), wxICON_ERROR);
        return false;
    } catch (const std::exception& e) {
        // Anything else (out of memory on a hostile file) is still this file's failure, not the program's.
        ReportFileFailure("Cannot open", file, e);
        return false;
    }
    m_doc->SetModifiedFlag(false);
    for (const std::string& warning : m_doc->GetLoadWarnings())
        Report(wxString::Format("%s\n\n%s", file, wxString::FromUTF8(warning)), wxICON_WARNING);
    return true;
}

bool CNetworkDocument::OnSaveDocument(const wxString& file)
{
    if (!wxDocument::OnSaveDocument(file))
        return false;
    // Every saved file joins the recent-file list, whichever way it was saved.
    if (wxDocManager* manager = GetDocumentManager())
        manager->AddFileToHistory(file);
    SyncTitle();
    return true;
}

bool CNetworkDocument::DoSaveDocument(const wxString& file)
{
    try {
        m_doc->SaveFile(ToPath(file));
    } catch (const korvane::FileError& e) {
        Report(wxString::FromUTF8(e.what()), wxICON_ERROR);
        return false;
    } catch (const std::exception& e) {
        ReportFileFailure("Cannot write", file, e);
        return false;
    }
    return true;
}

void CNetworkDocument::OnChangeFilename(bool notifyViews)
{
    SyncTitle();
    wxDocument::OnChangeFilename(notifyViews);
}

void CNetworkDocument::Modify(bool modified)
{
    m_doc->SetModifiedFlag(modified);
    wxDocument::Modify(modified);
}

void CNetworkDocument::SyncModified()
{
    if (m_documentModified != m_doc->IsModified())
        wxDocument::Modify(m_doc->IsModified());
}

bool CNetworkDocument::OnOpenDocument(const wxString& file)
{
    if (!wxDocument::OnOpenDocument(file))
        return false;
    SyncTitle();
    return true;
}

bool CNetworkDocument::Close()
{
    if (m_runs->IsRunning()) {
        if (wxMessageBox(run_text::kTerminateQuestion, wxTheApp->GetAppDisplayName(), wxYES_NO | wxICON_QUESTION) !=
            wxYES)
            return false;
        m_runs->StopAndJoin();
    }
    return wxDocument::Close();
}

void CNetworkDocument::SyncTitle()
{
    m_doc->SetTitle(NetworkTitle(GetUserReadableName().utf8_string()));
}

void CNetworkDocument::OnAnalyticalSettings(wxCommandEvent&)
{
    wxView* view = GetFirstView();
    wxWindow* frame = view != nullptr ? view->GetFrame() : nullptr;
    OnAnalyticalSimulationSettings(frame != nullptr ? wxGetTopLevelParent(frame) : nullptr, *m_doc);
    SyncModified();
}
