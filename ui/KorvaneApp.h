// The application object: start-up (command line, profile, templates, main frame, the ".mc" file
// type) and shut-down of the desktop shell.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/docview.h>
#include <wx/weakref.h>

class CMainFrame;

// The document manager: new networks are titled MC1, MC2, ...; File New first asks for the
// document type, whose one entry is "MC".
class CKorvaneDocManager : public wxDocManager {
public:
    CKorvaneDocManager() : wxDocManager(0, false) {}

    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
    wxString MakeNewDocumentName() override;
    wxFileHistory* OnCreateFileHistory() override;
    wxPreviewFrame* CreatePreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent, const wxString& title) override;
    // A new empty network without the type choice.
    wxDocument* CreateEmptyNetwork();

private:
    int m_newCount = 0;
};

class CKorvaneApp : public wxApp {
public:
    // Names the application (its title captions the message boxes) before anything is shown.
    CKorvaneApp();
    bool OnInit() override;
    // Its log messages go through CShellLog, its profile is written by ExitInstance alone.
    wxAppTraits* CreateTraits() override;
    // Ends at once with the print's exit status after a print-only command line.
    int OnRun() override;
    int OnExit() override;
    // Lets the splash picture swallow the first key or button press, and gives the active editor
    // its tool and zoom keys wherever they are typed in the main window.
    int FilterEvent(wxEvent& event) override;

    // Start-up from the command line's arguments (without the program name); false ends the
    // program (the main frame could not be made, or a print-only command ran).
    bool InitInstance(const std::vector<wxString>& args);
    // Saves the recent-file list, closes every document without asking and removes the main frame
    // if the toolkit has not deleted it already.
    void ExitInstance();

    // Whether a box can be answered: the main window is there, and the command line is not a print.
    bool CanShowBoxes() const;
    // After a print-only command line: 0 when it printed, 1 when it did not; unset otherwise.
    std::optional<int> GetPrintExitCode() const { return m_printExitCode; }
    CKorvaneDocManager* GetDocManager() const { return m_docManager; }
    // Null once the main frame is gone.
    CMainFrame* GetMainFrame() const { return m_mainFrame.get(); }
    // The result pages' templates; null until those pages are built.
    wxDocTemplate* GetHTMLTemplate() const { return m_pHTMLTemplate; }
    wxDocTemplate* GetAnalyticalHTMLTemplate() const { return m_pAnalyticalHTMLTemplate; }

private:
    // The Monte Carlo and analytical result pages' templates are made here.
    void CreateResultTemplates();
    bool ProcessShellCommand(const std::vector<wxString>& args);
    bool PrintFile(const wxString& file, const wxString& printer);
    void OnAppAbout(wxCommandEvent& event);
    // The end of the session (SIGTERM, SIGHUP) closes the main window as Exit does, without a veto.
    static void OnEndSession(int signal);

    CKorvaneDocManager* m_docManager = nullptr;
    // The toolkit deletes the frame when it closes: held weakly so nothing destroys it twice.
    wxWeakRef<CMainFrame> m_mainFrame;
    wxDocTemplate* m_pHTMLTemplate = nullptr;
    wxDocTemplate* m_pAnalyticalHTMLTemplate = nullptr;
    std::optional<int> m_printExitCode;
    bool m_bPrintOnly = false;

    wxDECLARE_EVENT_TABLE();
};

wxDECLARE_APP(CKorvaneApp);

// Registers the ".mc" file type and the program with the desktop (a MIME type and a .desktop
// entry under the user's data folder).
void RegisterShellFileTypes();
// The user's data folder (~/.local/share, or $XDG_DATA_HOME), which holds the desktop entries and
// the program's own folder "Korvane".
std::filesystem::path UserDataHome();
// Writes `text` to the file, making its folder, unless the file holds it already; true when it
// was written. A failure throws korvane::FileError naming the file or folder and the reason.
bool WriteIfChanged(const std::filesystem::path& path, const std::string& text);
