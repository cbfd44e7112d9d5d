#include "ui/results/NDLErrorsDlg.h"

#include <algorithm>
#include <numeric>

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
    m_rowError.resize(m_errors.size());
    std::iota(m_rowError.begin(), m_rowError.end(), std::size_t{0});
    std::stable_sort(m_rowError.begin(), m_rowError.end(),
                     [this](std::size_t a, std::size_t b) { return ErrorLineBefore(m_errors[a].text, m_errors[b].text); });
    wxArrayString lines;
    for (const std::size_t i : m_rowError)
        lines.Add(wxString::FromUTF8(m_errors[i].text));
    m_list->Set(lines);
}

void CNDLErrorsDlg::SelectLine(int n)
{
    if (n < 0 || static_cast<std::size_t>(n) >= m_rowError.size())
        return;
    CKorvaneView* view = m_pView;
    if (view == nullptr)
        return;
    const CNetworkError& error = m_errors[m_rowError[static_cast<std::size_t>(n)]];
    if (CWidget* widget = view->GetDoc().FindWidget(error.widget))
        view->SelectWidget(widget);
}

void CNDLErrorsDlg::OnDblclkList(wxCommandEvent& event)
{
    SelectLine(event.GetSelection());
}
