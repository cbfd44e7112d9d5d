// A data file row of the settings dialogs: its label, the path in a read-only box, "..." to
// choose a file and "X" to clear the path. Also the load clustering box and the group of the
// four cluster data files that those dialogs share.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include <wx/string.h>

class wxButton;
class wxCheckBox;
class wxFlexGridSizer;
class wxStaticBox;
class wxStaticBoxSizer;
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

// "Enable Load Point load clustering", bound to the flag; a click tells `onChange` the new state.
wxCheckBox* AddClusteringCheck(wxStaticBoxSizer* properties, bool& flag, std::function<void(bool)> onChange);

// The group of the four load cluster data files (industrial, agricultural, residential, other),
// with an information note above the rows when one is given. Each dialog has its own ids for the
// clear buttons.
struct CClusterFiles {
    wxStaticBox* group = nullptr;
    std::array<std::unique_ptr<CDataFileRow>, 4> rows;
};
CClusterFiles AddClusterFiles(wxStaticBoxSizer* properties, const wxString& note, const std::array<int, 4>& clearIds,
                              const std::array<std::string*, 4>& paths);
