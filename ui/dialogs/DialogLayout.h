// The layout the settings dialogs and datasheet pages share: the two columns above OK and Cancel,
// the information icon with a note, and an optional value's row whose box enables the rest.
#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxBoxSizer;
class wxCheckBox;
class wxDialog;
class wxFlexGridSizer;
class wxSizer;
class wxStaticBoxSizer;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

namespace dialog_layout {

inline constexpr int kGap = 5;

// The dialog's two columns: the left one as narrow as its groups, the right one taking the rest.
struct CColumns {
    wxBoxSizer* all;
    wxBoxSizer* left;
    wxBoxSizer* right;
};
CColumns MakeColumns();
// Puts the columns above OK and Cancel and fits the dialog round them.
void FinishWithOkCancel(wxDialog& dialog, const CColumns& columns);

// The information icon and a note wrapped to `wrap` pixels, as one row of `sizer`.
void AddInformation(wxWindow* parent, wxSizer* sizer, const wxString& text, int wrap);

// A titled group in `column` holding one check box bound to `flag`; more rows may follow in it.
wxStaticBoxSizer* AddFlagGroup(wxWindow* parent, wxSizer* column, const wxString& title, int id,
                               const wxString& label, bool& flag);

// An optional value: its box enables its label and edit.
struct COptionalRow {
    wxCheckBox* check;
    wxStaticText* label;
    wxTextCtrl* edit;
    void Follow() const;
};
// Makes the three controls of an optional value in `parent`, binds the box to the flag and to
// the row, and adds them to a three-column grid.
COptionalRow AddOptionalRow(wxWindow* parent, wxFlexGridSizer* grid, int checkId, int labelId, int editId,
                            const wxString& label, bool& flag, const wxSize& editSize = wxDefaultSize);

}  // namespace dialog_layout
