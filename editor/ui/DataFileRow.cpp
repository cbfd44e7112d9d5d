#include "editor/ui/DataFileRow.h"

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "editor/ui/FieldValidator.h"

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
