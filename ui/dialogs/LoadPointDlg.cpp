#include "ui/dialogs/LoadPointDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "editor/Datasheet.h"
#include "platform/NumberFormat.h"
#include "ui/dialogs/FieldValidator.h"

namespace {

constexpr int kGap = 5;
// The value edit reads this many characters at most.
constexpr std::size_t kValueTextLimit = 20;

}  // namespace

CLoadPointDlg::CLoadPointDlg(wxWindow* parent, CLoadPointValues& v)
    : CDatasheetPage(parent, "Verav Ezerez Datasheet"), m_values(v)
{
    AddHelp("User can add new values into the load profile to indicate the increase and decrease of load over a "
            "time.");

    wxStaticBoxSizer* details = AddGroup("Load Point details");
    wxFlexGridSizer* grid = AddGrid(details, 3);
    AddOptionalText(details, grid, 1101, 1123, 1086, "Name", v.m_bName, v.m_strName, &CheckLoadPointName);
    AddOptional(details, grid, 1102, 1124, 1087, "Num customers", v.m_bCustomers, v.m_nCustomers,
                datasheet::kCustomers);
    AddOptional(details, grid, 1103, 1125, 1089, "Average", v.m_bAverage, v.m_dAverage);
    AddOptional(details, grid, 1104, 1126, 1090, "Peak", v.m_bPeak, v.m_dPeak);

    wxStaticBoxSizer* profile = AddGroup("Load Profile");
    wxWindow* box = profile->GetStaticBox();
    m_checkProfile = new wxCheckBox(box, 1100, "Enable/disable load profile");
    m_checkProfile->SetValidator(CFlagValidator(&v.m_bProfile));
    m_editValue = new wxTextCtrl(box, 1096, "0");
    m_editValue->SetValidator(CNumberValidator(&m_dValueOnOk, CFieldRule(CFieldRule::Kind::Number), "Load Profile"));
    m_btnAdd = new wxButton(box, 1093, "&Add");
    m_listProfile = new wxListBox(box, 1097, wxDefaultPosition, wxSize(-1, 100));
    m_btnRemove = new wxButton(box, 1094, "Remove");
    profile->Add(m_checkProfile, 0, wxALL, kGap);
    auto* addRow = new wxBoxSizer(wxHORIZONTAL);
    addRow->Add(m_editValue, 1, wxRIGHT, kGap);
    addRow->Add(m_btnAdd);
    profile->Add(addRow, 0, wxEXPAND | wxLEFT | wxRIGHT, kGap);
    auto* listRow = new wxBoxSizer(wxHORIZONTAL);
    listRow->Add(m_listProfile, 1, wxEXPAND | wxRIGHT, kGap);
    listRow->Add(m_btnRemove, 0, wxALIGN_TOP);
    profile->Add(listRow, 1, wxEXPAND | wxALL, kGap);

    wxStaticBoxSizer* predefined = AddGroup(wxString());
    AddHelp("Press the button below to select a predefined load profile for this load point.", predefined);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (auto [id, label] : {std::pair{1141, "Residential"}, {1142, "Industrial"}, {1143, "Agriculture"},
                             {1144, "Load from file"}})
        buttons->Add(new wxButton(predefined->GetStaticBox(), id, label, wxDefaultPosition, wxDefaultSize,
                                  wxBU_EXACTFIT | wxBORDER_NONE),
                     0, wxRIGHT, kGap);
    predefined->Add(buttons, 0, wxALL, kGap);

    AddNotes("Notes", 1105, v.m_strNotes);

    m_checkProfile->Bind(wxEVT_CHECKBOX, &CLoadPointDlg::OnCheckProfile, this);
    m_editValue->Bind(wxEVT_TEXT, &CLoadPointDlg::OnChangeValue, this);
    m_btnAdd->Bind(wxEVT_BUTTON, &CLoadPointDlg::OnAdd, this);
    m_listProfile->Bind(wxEVT_SET_FOCUS, &CLoadPointDlg::OnSetfocusProfileList, this);
    m_btnRemove->Bind(wxEVT_BUTTON, &CLoadPointDlg::OnRemove, this);
}

wxString CLoadPointDlg::ProfileText(double value)
{
    return wxString::FromUTF8(korvane::FormatSignificant(value, 6));
}

void CLoadPointDlg::AfterTransferIn()
{
    EnableProfile(m_values.m_bProfile);
    m_listProfile->Clear();
    if (m_values.m_bProfile)
        for (double value : m_values.m_profile)
            m_listProfile->Append(ProfileText(value));
}

void CLoadPointDlg::EnableProfile(bool enable)
{
    m_editValue->Enable(enable);
    m_listProfile->Enable(enable);
    m_btnAdd->Enable(enable);
    m_btnRemove->Enable(enable);
}

void CLoadPointDlg::OnCheckProfile(wxCommandEvent&)
{
    if (!m_checkProfile->GetValue()) {
        EnableProfile(false);
        return;
    }
    EnableProfile(true);
    m_btnRemove->Disable();
    m_editValue->SetFocus();
}

void CLoadPointDlg::OnChangeValue(wxCommandEvent&)
{
    const std::string text = m_editValue->GetValue().utf8_string();
    m_dValue = ParseLeadingNumber(std::string_view(text).substr(0, kValueTextLimit));
}

void CLoadPointDlg::OnAdd(wxCommandEvent&)
{
    if (!m_dValue) {
        ShowExclamation(this, "Please enter a number.", "Load Profile");
        m_editValue->SetFocus();
        return;
    }
    m_listProfile->Append(ProfileText(*m_dValue));
    m_values.m_profile.push_back(*m_dValue);
    m_editValue->SetFocus();
    m_editValue->SetValue("0");
    m_btnRemove->Disable();
}

void CLoadPointDlg::OnSetfocusProfileList(wxFocusEvent& event)
{
    m_btnRemove->Enable();
    event.Skip();
}

void CLoadPointDlg::OnRemove(wxCommandEvent&)
{
    const int index = m_listProfile->GetSelection();
    if (index != wxNOT_FOUND && static_cast<std::size_t>(index) < m_values.m_profile.size()) {
        m_listProfile->Delete(static_cast<unsigned>(index));
        m_values.m_profile.erase(m_values.m_profile.begin() + index);
    }
    m_btnRemove->Disable();
    m_editValue->SetFocus();
}
