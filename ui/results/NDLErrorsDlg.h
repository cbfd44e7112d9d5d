// The "NDL Errors" bar's contents: the widgets the last network check refused, one sorted line
// each; a double click selects that widget in its editor.
#pragma once

#include <vector>

#include <wx/panel.h>
#include <wx/weakref.h>

#include "editor/BuildCommands.h"

class CKorvaneView;
class wxListBox;

class CNDLErrorsDlg : public wxPanel {
public:
    enum { ID_ERROR_LIST = 1136 };

    explicit CNDLErrorsDlg(wxWindow* parent);

    // Replaces the lines; a double click selects in `view`.
    void FillErrors(CKorvaneView* view, std::vector<CNetworkError> errors);
    wxListBox* GetList() const { return m_list; }
    // What a double click on the n-th line of the list does. A line whose widget has gone from
    // its document, or whose editor has closed, does nothing.
    void SelectLine(int n);

private:
    void OnDblclkList(wxCommandEvent& event);

    wxListBox* m_list = nullptr;
    wxWeakRef<CKorvaneView> m_pView;
    std::vector<CNetworkError> m_errors;  // one per line of the list, in its order
};
