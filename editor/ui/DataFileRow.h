// A data file row of the settings dialogs: its label, the path in a read-only box, "..." to
// choose a file and "X" to clear the path.
#pragma once

#include <string>

#include <wx/string.h>

class wxButton;
class wxFlexGridSizer;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

// The file chooser's filter of every data file row.
extern const char kDataFileFilter[];

class CDataFileRow {
public:
    // Adds the four controls to a four-column grid; the path member is shown on transfer and
    // changed by the two buttons.
    CDataFileRow(wxWindow* parent, wxFlexGridSizer* grid, int labelId, int editId, int browseId, int clearId,
                 const wxString& label, std::string& path);

    void Enable(bool enable);

private:
    void OnBrowse();
    void OnClear();

    std::string& m_path;
    wxStaticText* m_label;
    wxTextCtrl* m_edit;
    wxButton* m_browse;
    wxButton* m_clear;
};
