// The Monte Carlo page of a load point: name, customers, average and peak demand, and the load
// profile list that values are added to and removed from.
#pragma once

#include <optional>

#include "editor/DatasheetValues.h"
#include "ui/dialogs/DatasheetPage.h"

class wxButton;
class wxListBox;

class CLoadPointDlg : public CDatasheetPage {
public:
    CLoadPointDlg(wxWindow* parent, CLoadPointValues& values);

    // The list's text of a profile value: six significant digits ("0.1", "3.", "1.23457e+006").
    static wxString ProfileText(double value);

private:
    void AfterTransferIn() override;
    void OnCheckProfile(wxCommandEvent& event);
    void OnChangeValue(wxCommandEvent& event);
    void OnAdd(wxCommandEvent& event);
    void OnSetfocusProfileList(wxFocusEvent& event);
    void OnRemove(wxCommandEvent& event);
    void EnableProfile(bool enable);

    CLoadPointValues& m_values;
    // The number typed for "&Add"; empty when the text's number does not fit a double.
    std::optional<double> m_dValue = 0.0;
    // What OK reads from the value edit: a text that is no number keeps the sheet open.
    double m_dValueOnOk = 0.0;
    wxCheckBox* m_checkProfile;
    wxTextCtrl* m_editValue;
    wxListBox* m_listProfile;
    wxButton* m_btnAdd;
    wxButton* m_btnRemove;
};
