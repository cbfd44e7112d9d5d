#include "ui/results/NDLErrorsDlg.h"

#include <wx/listbox.h>
#include <wx/sizer.h>

#include "model/KorvaneDoc.h"
#include "ui/KorvaneView.h"

CNDLErrorsDlg::CNDLErrorsDlg(wxWindow* parent) : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(400, 120))
{
    m_list = new wxListBox(this, ID_ERROR_LIST, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                           wxLB_SINGLE | wxLB_NEEDED_SB);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_list, 1, wxEXPAND);
    SetSizer(sizer);
    m_list->Bind(wxEVT_LISTBOX_DCLICK, &CNDLErrorsDlg::OnDblclkList, this);
}

void CNDLErrorsDlg::FillErrors(CKorvaneView* view, std::vector<CNetworkError> errors)
{
    m_pView = view;
    m_errors = std::move(errors);
    wxArrayString lines;
    for (const CNetworkError& error : m_errors)
        lines.Add(wxString::FromUTF8(error.text));
    m_list->Set(lines);
}

void CNDLErrorsDlg::SelectLine(int n)
{
    if (n < 0 || static_cast<std::size_t>(n) >= m_errors.size())
        return;
    CKorvaneView* view = m_pView;
    if (view == nullptr)
        return;
    const CNetworkError& error = m_errors[static_cast<std::size_t>(n)];
    if (CWidget* widget = view->GetDoc().FindWidget(error.widget))
        view->SelectWidget(widget);
}

void CNDLErrorsDlg::OnDblclkList(wxCommandEvent& event)
{
    SelectLine(event.GetSelection());
}
