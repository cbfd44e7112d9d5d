#include "ui/dialogs/DataFileRow.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui/dialogs/DialogLayout.h"
#include "ui/dialogs/FieldValidator.h"

const char kDataFileFilter[] = "Text Document (*.txt)|*.txt|All Files (*.*)|*.*";

CDataFileRow::CDataFileRow(wxWindow* parent, wxFlexGridSizer* grid, int labelId, int editId, int browseId,
                           int clearId, const wxString& label, std::string& path)
    : m_path(path),
      m_label(new wxStaticText(parent, labelId, label)),
      m_edit(new wxTextCtrl(parent, editId, wxString(), wxDefaultPosition, wxSize(260, -1), wxTE_READONLY)),
      m_browse(new wxButton(parent, browseId, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT)),
      m_clear(new wxButton(parent, clearId, "X", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT))
{
    m_edit->SetValidator(CTextValidator(&m_path));
    m_browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBrowse(); });
    m_clear->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClear(); });
    grid->Add(m_label, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_edit, 1, wxEXPAND);
    grid->Add(m_browse);
    grid->Add(m_clear);
}

void CDataFileRow::Enable(bool enable)
{
    for (wxWindow* control : {static_cast<wxWindow*>(m_label), static_cast<wxWindow*>(m_edit),
                              static_cast<wxWindow*>(m_browse), static_cast<wxWindow*>(m_clear)})
        control->Enable(enable);
}

void CDataFileRow::OnBrowse()
{
    wxFileDialog chooser(m_edit, wxFileSelectorPromptStr, wxString(), wxString(), kDataFileFilter, wxFD_OPEN);
    if (chooser.ShowModal() != wxID_OK)
        return;
    m_path = chooser.GetPath().utf8_string();
    m_edit->ChangeValue(chooser.GetPath());
}

void CDataFileRow::OnClear()
{
    m_path.clear();
    m_edit->ChangeValue(wxString());
}

wxCheckBox* AddClusteringCheck(wxStaticBoxSizer* properties, bool& flag, std::function<void(bool)> onChange)
{
    auto* check = new wxCheckBox(properties->GetStaticBox(), 1174, "Enable Load Point load clustering");
    check->SetValidator(CFlagValidator(&flag));
    check->Bind(wxEVT_CHECKBOX, [check, onChange](wxCommandEvent&) { onChange(check->GetValue()); });
    properties->Add(check, 0, wxALL, dialog_layout::kGap);
    return check;
}

CClusterFiles AddClusterFiles(wxStaticBoxSizer* properties, const wxString& note, const std::array<int, 4>& clearIds,
                              const std::array<std::string*, 4>& paths)
{
    using dialog_layout::kGap;
    struct RowSpec {
        int labelId, editId, browseId;
        const char* label;
    };
    static constexpr RowSpec kRows[] = {
        {1177, 1086, 1142, "Industrial"},
        {1178, 1087, 1151, "Agricultural"},
        {1179, 1088, 1141, "Residential"},
        {1180, 1089, 1154, "Other"},
    };
    auto* group = new wxStaticBoxSizer(
        new wxStaticBox(properties->GetStaticBox(), 1176, "Load point load cluster data"), wxVERTICAL);
    CClusterFiles files;
    files.group = group->GetStaticBox();
    if (!note.empty())
        dialog_layout::AddInformation(files.group, group, note, 300);
    auto* grid = new wxFlexGridSizer(4, kGap, kGap);
    grid->AddGrowableCol(1);
    for (std::size_t i = 0; i < files.rows.size(); ++i)
        files.rows[i] = std::make_unique<CDataFileRow>(files.group, grid, kRows[i].labelId, kRows[i].editId,
                                                       kRows[i].browseId, clearIds[i], kRows[i].label, *paths[i]);
    group->Add(grid, 0, wxEXPAND | wxALL, kGap);
    properties->Add(group, 0, wxEXPAND | wxALL, kGap);
    return files;
}
