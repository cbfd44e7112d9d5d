// The wx document of one network: owns the toolkit-free CKorvaneDoc and gives it the framework's
// new, open, save and modified-flag handling.
#pragma once

#include <memory>

#include <wx/docview.h>

#include "editor/RunController.h"
#include "model/KorvaneDoc.h"

class CNetworkDocument : public wxDocument {
    wxDECLARE_DYNAMIC_CLASS(CNetworkDocument);

public:
    CNetworkDocument();
    ~CNetworkDocument() override;

    CKorvaneDoc& GetDoc() { return *m_doc; }
    const CKorvaneDoc& GetDoc() const { return *m_doc; }

    bool OnNewDocument() override;
    bool OnSaveDocument(const wxString& file) override;
    bool IsModified() const override { return m_doc->IsModified(); }
    void Modify(bool modified) override;
    bool OnOpenDocument(const wxString& file) override;
    // Brings the framework's flag (and the window titles) up to the network's own flag.
    void SyncModified();

    // The network's one run at a time (Build commands).
    CRunController& GetRunController() { return *m_runs; }
    // While a run is going, asks first, then stops it and waits for its worker; No keeps the
    // document open.
    bool Close() override;

protected:
    bool DoOpenDocument(const wxString& file) override;
    bool DoSaveDocument(const wxString& file) override;
    // Save As gives the document its new file and title: the runs and the check name it anew.
    void OnChangeFilename(bool notifyViews) override;

private:
    // Analytical settings (toolbar button): edits the analytical settings and reads their data
    // files.
    void OnAnalyticalSettings(wxCommandEvent& event);
    void SyncTitle();

    std::unique_ptr<CKorvaneDoc> m_doc;
    // Declared after the network: its worker is stopped and joined before the network goes.
    std::unique_ptr<CRunController> m_runs;

    wxDECLARE_EVENT_TABLE();
};
