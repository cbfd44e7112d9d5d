#include "ui/dialogs/DialogLayout.h"

#include <wx/artprov.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui/dialogs/FieldValidator.h"

namespace dialog_layout {

CColumns MakeColumns()
{
    CColumns c{new wxBoxSizer(wxHORIZONTAL), new wxBoxSizer(wxVERTICAL), new wxBoxSizer(wxVERTICAL)};
    c.all->Add(c.left, 0, wxEXPAND);
    c.all->Add(c.right, 1, wxEXPAND);
    return c;
}

void FinishWithOkCancel(wxDialog& dialog, const CColumns& columns)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(columns.all, 1, wxEXPAND | wxALL, kGap);
    top->Add(dialog.CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, kGap);
    dialog.SetSizerAndFit(top);
}

wxStaticBoxSizer* AddFlagGroup(wxWindow* parent, wxSizer* column, const wxString& title, int id,
                               const wxString& label, bool& flag)
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, parent, title);
    auto* check = new wxCheckBox(group->GetStaticBox(), id, label);
    check->SetValidator(CFlagValidator(&flag));
    group->Add(check, 0, wxALL, kGap);
    column->Add(group, 0, wxEXPAND | wxALL, kGap);
    return group;
}

void AddInformation(wxWindow* parent, wxSizer* sizer, const wxString& text, int wrap)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(parent, wxID_ANY, wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_MESSAGE_BOX)), 0,
             wxRIGHT, kGap);
    auto* note = new wxStaticText(parent, wxID_ANY, text);
    note->Wrap(wrap);
    row->Add(note, 1, wxALIGN_CENTER_VERTICAL);
    sizer->Add(row, 0, wxEXPAND | wxALL, kGap);
}

void COptionalRow::Follow() const
{
    label->Enable(check->GetValue());
    edit->Enable(check->GetValue());
}

COptionalRow AddOptionalRow(wxWindow* parent, wxFlexGridSizer* grid, int checkId, int labelId, int editId,
                            const wxString& label, bool& flag, const wxSize& editSize)
{
    COptionalRow row{new wxCheckBox(parent, checkId, wxString()), new wxStaticText(parent, labelId, label),
                     new wxTextCtrl(parent, editId, wxString(), wxDefaultPosition, editSize)};
    row.check->SetValidator(CFlagValidator(&flag));
    row.check->Bind(wxEVT_CHECKBOX, [row](wxCommandEvent&) { row.Follow(); });
    grid->Add(row.check, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(row.label, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(row.edit, 1, wxEXPAND);
    return row;
}

}  // namespace dialog_layout
