#include "ui/dialogs/DatasheetPage.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui/dialogs/DialogLayout.h"
#include "ui/dialogs/FieldValidator.h"

namespace {

using dialog_layout::kGap;
constexpr int kEditWidth = 120;

}  // namespace

CDatasheetPage::CDatasheetPage(wxWindow* parent, const wxString& caption)
    : wxPanel(parent, wxID_ANY), m_caption(caption), m_column(new wxBoxSizer(wxVERTICAL))
{
    SetSizer(m_column);
}

bool CDatasheetPage::TransferDataToWindow()
{
    if (!wxPanel::TransferDataToWindow())
        return false;
    for (const dialog_layout::COptionalRow& row : m_optionalRows)
        row.Follow();
    if (m_feederType != nullptr)
        (*m_feederType == 1 ? m_main : m_lateral)->SetValue(true);
    AfterTransferIn();
    return true;
}

wxStaticBoxSizer* CDatasheetPage::AddGroup(const wxString& title)
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, title);
    m_column->Add(group, 0, wxEXPAND | wxALL, kGap);
    return group;
}

wxFlexGridSizer* CDatasheetPage::AddGrid(wxStaticBoxSizer* group, int columns)
{
    auto* grid = new wxFlexGridSizer(columns, kGap, kGap);
    grid->AddGrowableCol(columns - 1);
    group->Add(grid, 0, wxEXPAND | wxALL, kGap);
    return grid;
}

void CDatasheetPage::AddHelp(const wxString& text, wxStaticBoxSizer* group)
{
    if (group != nullptr)
        dialog_layout::AddInformation(group->GetStaticBox(), group, text, 360);
    else
        dialog_layout::AddInformation(this, m_column, text, 360);
}

dialog_layout::COptionalRow CDatasheetPage::AddOptionalRow(wxStaticBoxSizer* group, wxFlexGridSizer* grid,
                                                           int checkId, int labelId, int editId,
                                                           const wxString& label, bool& flag)
{
    const dialog_layout::COptionalRow row = dialog_layout::AddOptionalRow(
        group->GetStaticBox(), grid, checkId, labelId, editId, label, flag, wxSize(kEditWidth, -1));
    m_optionalRows.push_back(row);
    return row;
}

wxTextCtrl* CDatasheetPage::AddOptional(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId, int labelId,
                                        int editId, const wxString& label, bool& flag, double& value)
{
    const dialog_layout::COptionalRow row = AddOptionalRow(group, grid, checkId, labelId, editId, label, flag);
    row.edit->SetValidator(CNumberValidator(&value, CFieldRule(CFieldRule::Kind::Number), label));
    return row.edit;
}

wxTextCtrl* CDatasheetPage::AddOptional(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId, int labelId,
                                        int editId, const wxString& label, bool& flag, std::int32_t& value,
                                        const CFieldRule& rule)
{
    const dialog_layout::COptionalRow row = AddOptionalRow(group, grid, checkId, labelId, editId, label, flag);
    row.edit->SetValidator(CNumberValidator(&value, rule, label));
    return row.edit;
}

wxTextCtrl* CDatasheetPage::AddOptionalText(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId,
                                            int labelId, int editId, const wxString& label, bool& flag,
                                            std::string& value, std::string (*check)(const std::string&))
{
    const dialog_layout::COptionalRow row = AddOptionalRow(group, grid, checkId, labelId, editId, label, flag);
    row.edit->SetValidator(CTextValidator(&value, check, label));
    return row.edit;
}

wxTextCtrl* CDatasheetPage::AddValue(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int editId,
                                     const wxString& label, double& value, const CFieldRule& rule, bool editable)
{
    wxWindow* box = group->GetStaticBox();
    auto* edit = new wxTextCtrl(box, editId, wxString(), wxDefaultPosition, wxSize(kEditWidth, -1));
    edit->SetValidator(CNumberValidator(&value, rule, label));
    // A greyed value is shown but passes through unchanged.
    edit->Enable(editable);
    grid->Add(new wxStaticText(box, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(edit, 1, wxEXPAND);
    return edit;
}

wxTextCtrl* CDatasheetPage::AddValue(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int editId,
                                     const wxString& label, std::int32_t& value, const CFieldRule& rule)
{
    wxWindow* box = group->GetStaticBox();
    auto* edit = new wxTextCtrl(box, editId, wxString(), wxDefaultPosition, wxSize(kEditWidth, -1));
    edit->SetValidator(CNumberValidator(&value, rule, label));
    grid->Add(new wxStaticText(box, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(edit, 1, wxEXPAND);
    return edit;
}

void CDatasheetPage::AddNotes(const wxString& title, int editId, std::string& notes)
{
    wxStaticBoxSizer* group = AddGroup(title);
    auto* edit = new wxTextCtrl(group->GetStaticBox(), editId, wxString(), wxDefaultPosition, wxSize(-1, 60),
                                wxTE_MULTILINE);
    edit->SetValidator(CTextValidator(&notes));
    group->Add(edit, 1, wxEXPAND | wxALL, kGap);
}

void CDatasheetPage::AddFeederType(std::int32_t& feederType)
{
    wxStaticBoxSizer* group = AddGroup("Feeder type");
    wxWindow* box = group->GetStaticBox();
    m_feederType = &feederType;
    m_lateral = new wxRadioButton(box, datasheet_id::kLateralFeeder, "Lateral feeder", wxDefaultPosition,
                                  wxDefaultSize, wxRB_GROUP);
    m_main = new wxRadioButton(box, datasheet_id::kMainFeeder, "Main feeder");
    m_lateral->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { *m_feederType = 2; });
    m_main->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { *m_feederType = 1; });
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_lateral, 0, wxRIGHT, 2 * kGap);
    row->Add(m_main);
    group->Add(row, 0, wxALL, kGap);
    AddHelp("Select the feeder type of this feeder. This option is required for the interoperatability between "
            "Analytical and Verav Ezerez based simulation",
            group);
}
