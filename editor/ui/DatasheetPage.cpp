#include "editor/ui/DatasheetPage.h"

#include <wx/artprov.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "editor/ui/FieldValidator.h"

namespace {

constexpr int kGap = 5;
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
    for (const COptionalRow& row : m_optionalRows)
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
    wxWindow* parent = group != nullptr ? static_cast<wxWindow*>(group->GetStaticBox()) : this;
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(parent, wxID_ANY, wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_MESSAGE_BOX)), 0,
             wxRIGHT, kGap);
    auto* note = new wxStaticText(parent, wxID_ANY, text);
    note->Wrap(360);
    row->Add(note, 1, wxALIGN_CENTER_VERTICAL);
    (group != nullptr ? static_cast<wxSizer*>(group) : m_column)->Add(row, 0, wxEXPAND | wxALL, kGap);
}

void CDatasheetPage::COptionalRow::Follow() const
{
    label->Enable(check->GetValue());
    edit->Enable(check->GetValue());
}

CDatasheetPage::COptionalRow CDatasheetPage::AddOptionalRow(wxStaticBoxSizer* group, wxFlexGridSizer* grid,
                                                            int checkId, int labelId, int editId,
                                                            const wxString& label, bool& flag)
{
    wxWindow* box = group->GetStaticBox();
    COptionalRow row{new wxCheckBox(box, checkId, wxString()), new wxStaticText(box, labelId, label),
                     new wxTextCtrl(box, editId, wxString(), wxDefaultPosition, wxSize(kEditWidth, -1))};
    row.check->SetValidator(CFlagValidator(&flag));
    row.check->Bind(wxEVT_CHECKBOX, [row](wxCommandEvent&) { row.Follow(); });
    grid->Add(row.check, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(row.label, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(row.edit, 1, wxEXPAND);
    m_optionalRows.push_back(row);
    return row;
}

wxTextCtrl* CDatasheetPage::AddOptional(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId, int labelId,
                                        int editId, const wxString& label, bool& flag, double& value)
{
    const COptionalRow row = AddOptionalRow(group, grid, checkId, labelId, editId, label, flag);
    row.edit->SetValidator(CNumberValidator(&value, CFieldRule(CFieldRule::Kind::Number)));
    return row.edit;
}

wxTextCtrl* CDatasheetPage::AddOptional(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId, int labelId,
                                        int editId, const wxString& label, bool& flag, std::int32_t& value,
                                        const CFieldRule& rule)
{
    const COptionalRow row = AddOptionalRow(group, grid, checkId, labelId, editId, label, flag);
    row.edit->SetValidator(CNumberValidator(&value, rule));
    return row.edit;
}

wxTextCtrl* CDatasheetPage::AddOptionalText(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId,
                                            int labelId, int editId, const wxString& label, bool& flag,
                                            std::string& value, std::string (*check)(const std::string&))
{
    const COptionalRow row = AddOptionalRow(group, grid, checkId, labelId, editId, label, flag);
    row.edit->SetValidator(CTextValidator(&value, check));
    return row.edit;
}

wxTextCtrl* CDatasheetPage::AddValue(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int editId,
                                     const wxString& label, double& value, const CFieldRule& rule, bool editable)
{
    wxWindow* box = group->GetStaticBox();
    auto* edit = new wxTextCtrl(box, editId, wxString(), wxDefaultPosition, wxSize(kEditWidth, -1));
    edit->SetValidator(CNumberValidator(&value, rule));
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
    edit->SetValidator(CNumberValidator(&value, rule));
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
