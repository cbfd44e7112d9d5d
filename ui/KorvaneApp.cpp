#include "ui/KorvaneApp.h"

#include <csignal>
#include <cstdio>

#include <wx/apptrait.h>
#include <wx/choicdlg.h>
#include <wx/fileconf.h>
#include <wx/mstream.h>
#include <wx/print.h>
#include <wx/stdpaths.h>

#include "platform/Files.h"
#include "ui/Commands.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkDocument.h"
#include "ui/NetworkPrintout.h"
#include "ui/Printers.h"
#include "ui/ShellLog.h"
#include "ui/ShowAtOnce.h"
#include "ui/Splash.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/results/AnalyticalHTMLView.h"
#include "ui/results/HTMLView.h"
#include "ui/results/ReportWindow.h"

wxIMPLEMENT_APP_NO_MAIN(CKorvaneApp);

wxBEGIN_EVENT_TABLE(CKorvaneApp, wxApp)
    EVT_MENU(wxID_ABOUT, CKorvaneApp::OnAppAbout)
wxEND_EVENT_TABLE()

namespace {

const wxString kAppTitle = wxString::FromUTF8("Korvane - Verav Ezerez");
const wxString kFrameCaption = wxString::FromUTF8("Korvane\u00AE - Analytical/Verav Ezerez");
const char* const kRecentFileList = "/Recent File List";

enum class ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo };

struct CCommandLine {
    bool showSplash = true;
    ShellCommand command = ShellCommand::FileNew;
    wxString file;
    wxString printer;
};

// The switches are "Embedding", "Automation", "p" and "pt", after '/' or '-'; anything else
// is a file name (so an absolute path is never taken for a switch).
CCommandLine ParseCommandLine(const std::vector<wxString>& args)
{
    CCommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const wxString& a = args[i];
        const wxString name = a.length() > 1 && (a[0] == '/' || a[0] == '-') ? a.Mid(1).Lower() : wxString();
        if (name == "embedding" || name == "automation") {
            line.showSplash = false;
        } else if (name == "p") {
            line.command = ShellCommand::FilePrint;
        } else if (name == "pt") {
            line.command = ShellCommand::FilePrintTo;
        } else if (line.file.empty()) {
            line.file = a;
            if (line.command == ShellCommand::FileNew)
                line.command = ShellCommand::FileOpen;
        } else if (line.command == ShellCommand::FilePrintTo && line.printer.empty()) {
            line.printer = a;
        }
    }
    if (line.command == ShellCommand::FilePrint || line.command == ShellCommand::FilePrintTo)
        line.showSplash = false;
    return line;
}

// The choice of document type that File New shows, its one entry "MC" selected.
class CDocumentTypeDialog : public wxSingleChoiceDialog {
public:
    explicit CDocumentTypeDialog(wxWindow* parent)
    {
        const wxString types[] = {"MC"};
        Create(parent, "New", "New", 1, types);
        SetSelection(0);
    }

protected:
    // The toolkit's list always shows its vertical scroll bar, which GTK cannot fit into the
    // height given to a list of one entry: here it shows one only when needed.
    wxListBoxBase* CreateList(int n, const wxString* choices, long) override
    {
        return wxSingleChoiceDialog::CreateList(n, choices, wxLB_SINGLE | wxLB_NEEDED_SB);
    }
};

// GTK also puts an opened file in the desktop's recently used list, and says on the standard
// error stream that it cannot when the user's data folder cannot be made (a read-only home): the
// program's own list goes on without it.
class CFileHistory : public wxFileHistory {
public:
    CFileHistory() : wxFileHistory(6) {}
    void AddFileToHistory(const wxString& file) override
    {
        std::error_code ec;
        std::filesystem::create_directories(UserDataHome(), ec);
        if (ec)
            wxFileHistoryBase::AddFileToHistory(file);
        else
            wxFileHistory::AddFileToHistory(file);
    }
};

const long kProfileStyle = wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE;

class CShellTraits : public wxGUIAppTraits {
public:
    wxLog* CreateLogTarget() override { return new CShellLog; }
    // The toolkit writes a profile when it is deleted, after the application object is gone, and
    // says a failure in a box that then has nothing to stand on: SaveProfile writes it instead.
    wxConfigBase* CreateConfig() override
    {
        auto* profile = new wxFileConfig(wxTheApp->GetAppName(), wxString(), wxString(), wxString(), kProfileStyle);
        profile->DisableAutoSave();
        return profile;
    }
};

// A profile that cannot be written (a read-only home, a full disk) costs the recent-file list,
// said in one line; the program ends as usual.
void SaveProfile(wxFileConfig& profile)
{
    wxMemoryOutputStream bytes;
    profile.Save(bytes, wxConvUTF8);
    std::string text(bytes.GetLength(), '\0');
    bytes.CopyTo(text.data(), text.size());
    const wxString file = wxFileConfig::GetLocalFileName(wxTheApp->GetAppName(), kProfileStyle);
    try {
        WriteIfChanged(std::filesystem::path(file.utf8_string()), text);
    } catch (const korvane::FileError& e) {
        std::fprintf(stderr, "korvane: the recent-file list is not saved: %s\n", e.what());
    }
}

}  // namespace

wxDocument* CKorvaneDocManager::CreateDocument(const wxString& path, long flags)
{
    if ((flags & wxDOC_NEW) != 0) {
        CDocumentTypeDialog choice(wxTheApp->GetTopWindow());
        if (choice.ShowModal() != wxID_OK)
            return nullptr;
    }
    return wxDocManager::CreateDocument(path, flags);
}

wxDocument* CKorvaneDocManager::CreateEmptyNetwork()
{
    return wxDocManager::CreateDocument(wxString(), wxDOC_NEW);
}

wxString CKorvaneDocManager::MakeNewDocumentName()
{
    return wxString::Format("MC%d", ++m_newCount);
}

wxFileHistory* CKorvaneDocManager::OnCreateFileHistory()
{
    return new CFileHistory;
}

wxPreviewFrame* CKorvaneDocManager::CreatePreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent,
                                                       const wxString& title)
{
    wxPreviewFrame* frame = wxDocManager::CreatePreviewFrame(preview, parent, title);
    ShowAtOnce(*frame);
    return frame;
}

CKorvaneApp::CKorvaneApp()
{
    SetAppName("Korvane");
    SetVendorName("Korvane");
    SetAppDisplayName(kAppTitle);
}

bool CKorvaneApp::OnInit()
{
    std::vector<wxString> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    // A print-only command line has done its work here; the exit status tells how it went.
    return InitInstance(args) || m_printExitCode.has_value();
}

wxAppTraits* CKorvaneApp::CreateTraits()
{
    return new CShellTraits;
}

bool CKorvaneApp::CanShowBoxes() const
{
    const CMainFrame* frame = GetMainFrame();
    return frame != nullptr && !frame->IsBeingDeleted() && !m_bPrintOnly;
}

int CKorvaneApp::OnRun()
{
    if (m_printExitCode)
        return *m_printExitCode;
    return wxApp::OnRun();
}

int CKorvaneApp::OnExit()
{
    ExitInstance();
    return wxApp::OnExit();
}

bool CKorvaneApp::InitInstance(const std::vector<wxString>& args)
{
    const CCommandLine line = ParseCommandLine(args);
    CSplashWnd::EnableSplashScreen(line.showSplash);
    m_printExitCode.reset();
    m_bPrintOnly = line.command == ShellCommand::FilePrint || line.command == ShellCommand::FilePrintTo;

    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);

    m_docManager = new CKorvaneDocManager;
    m_docManager->Initialize();
    wxConfigBase* profile = wxConfigBase::Get();
    profile->SetPath(kRecentFileList);
    m_docManager->FileHistoryLoad(*profile);
    profile->SetPath("/");

    // The document manager owns its templates.
    new wxDocTemplate(m_docManager, "Verav Ezerez Files", "*.mc", "", "mc", "MC Document", "Network View",
                      CLASSINFO(CNetworkDocument), CLASSINFO(CKorvaneView));
    CreateResultTemplates();

    m_mainFrame = new CMainFrame(m_docManager, kFrameCaption);
    SetTopWindow(m_mainFrame);
    RegisterShellFileTypes();

    if (!ProcessShellCommand(args))
        return false;
    m_mainFrame->Maximize();
    m_mainFrame->Show();
    // Taken by the event loop from here on; before, a signal ends the process at once.
    SetSignalHandler(SIGTERM, &CKorvaneApp::OnEndSession);
    SetSignalHandler(SIGHUP, &CKorvaneApp::OnEndSession);
    return true;
}

void CKorvaneApp::CreateResultTemplates()
{
    CReportWindow::SetUpToolkit();
    // Further views of a network: never offered by New or Open, and matched by no file.
    m_pHTMLTemplate = new wxDocTemplate(m_docManager, "Verav Ezerez Result", "", "", "mc", "MC Document", "HTML View",
                                        CLASSINFO(CNetworkDocument), CLASSINFO(CHTMLView), wxTEMPLATE_INVISIBLE);
    m_pAnalyticalHTMLTemplate =
        // The document manager owns its templates.
    new wxDocTemplate(m_docManager, "Analytical Result", "", "", "mc", "MC Document", "Analytical HTML View",
                          CLASSINFO(CNetworkDocument), CLASSINFO(CAnalyticalHTMLView), wxTEMPLATE_INVISIBLE);
}

bool CKorvaneApp::ProcessShellCommand(const std::vector<wxString>& args)
{
    const CCommandLine line = ParseCommandLine(args);
    switch (line.command) {
    case ShellCommand::FileNew:
        m_docManager->CreateDocument(wxString(), wxDOC_NEW);
        return true;
    case ShellCommand::FileOpen:
        // A file that cannot be opened has been reported; work goes on with an empty network.
        if (m_docManager->CreateDocument(line.file, wxDOC_SILENT) == nullptr)
            m_docManager->CreateEmptyNetwork();
        return true;
    case ShellCommand::FilePrint:
    case ShellCommand::FilePrintTo:
        m_printExitCode = PrintFile(line.file, line.printer) ? 0 : 1;
        return false;
    }
    return true;
}

bool CKorvaneApp::PrintFile(const wxString& file, const wxString& printer)
{
    // A file that cannot be read has said why on the standard error stream.
    wxDocument* doc = m_docManager->CreateDocument(file, wxDOC_SILENT);
    if (doc == nullptr)
        return false;
    // Asked before printing: without a printer the toolkit's print waits for one for good, and
    // with no dialog shown nobody can end the wait. Named, the printer is the one the toolkit
    // looks for, so it never falls back to printing into a file.
    const std::optional<std::string> name = FindPrinter(printer.utf8_string());
    if (!name) {
        const wxString why = printer.empty() ? wxString("there is no printer") : "there is no printer named \"" + printer + "\"";
        std::fprintf(stderr, "korvane: cannot print %s: %s\n", file.utf8_str().data(), why.utf8_str().data());
        doc->DeleteAllViews();
        return false;
    }
    wxPrintDialogData data;
    data.GetPrintData().SetPrinterName(wxString::FromUTF8(*name));
    wxPrinter device(&data);
    std::unique_ptr<wxPrintout> printout(doc->GetFirstView()->OnCreatePrintout());
    const bool printed = device.Print(m_mainFrame, printout.get(), false);
    doc->DeleteAllViews();
    return printed;
}

void CKorvaneApp::ExitInstance()
{
    if (m_docManager == nullptr)
        return;
    CSplashWnd::HideSplashScreen();
    if (auto* profile = dynamic_cast<wxFileConfig*>(wxConfigBase::Get(false))) {
        profile->SetPath(kRecentFileList);
        m_docManager->FileHistorySave(*profile);
        profile->SetPath("/");
        SaveProfile(*profile);
    }
    m_docManager->CloseDocuments(true);
    if (CMainFrame* frame = m_mainFrame.get())
        frame->Destroy();
    m_mainFrame = nullptr;
    DeletePendingObjects();
    delete m_docManager;
    m_docManager = nullptr;
    m_pHTMLTemplate = m_pAnalyticalHTMLTemplate = nullptr;
}

int CKorvaneApp::FilterEvent(wxEvent& event)
{
    if (CSplashWnd::PreTranslateAppMessage(event))
        return Event_Processed;
    if (event.GetEventType() == wxEVT_CHAR && CKorvaneView::HandleFrameChar(static_cast<wxKeyEvent&>(event)))
        return Event_Processed;
    return Event_Skip;
}

void CKorvaneApp::OnEndSession(int)
{
    if (CMainFrame* frame = wxGetApp().GetMainFrame())
        frame->Close(true);
}

void CKorvaneApp::OnAppAbout(wxCommandEvent&)
{
    CAboutDialog dialog(GetTopWindow());
    dialog.ShowModal();
}
