#include "ui/results/TextDisplayDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "ui/KorvaneView.h"

CTextDisplayDialog::CTextDisplayDialog(wxWindow* parent, CKorvaneView* view, const wxString& title, int editId,
                                       int buttonId, const wxPoint& position, const wxSize& size)
    : wxDialog(parent, wxID_ANY, title, position, size, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER),
      m_view(view)
{
    m_edit = new wxTextCtrl(this, editId, wxString(), wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_NOHIDESEL | wxVSCROLL);
    m_button = new wxButton(this, buttonId, "&Update");
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_edit, 1, wxEXPAND);
    sizer->Add(m_button, 0, wxEXPAND | wxTOP, 4);
    SetSizer(sizer);
    m_button->Bind(wxEVT_BUTTON, &CTextDisplayDialog::OnUpdate, this);
    Bind(wxEVT_CLOSE_WINDOW, &CTextDisplayDialog::OnClose, this);
}

void CTextDisplayDialog::ShowText(const std::string& text)
{
    m_edit->SetValue(wxString());
    m_edit->SetValue(wxString::FromUTF8(text));
}

void CTextDisplayDialog::OnUpdate(wxCommandEvent&)
{
    if (CKorvaneView* view = m_view)
        ShowText(MakeText(view->GetDoc()));
}

void CTextDisplayDialog::OnClose(wxCloseEvent&)
{
    // The editor notices through its weak reference and makes a new window next time.
    Destroy();
}
