#include "ui/dialogs/FieldValidator.h"

#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

namespace {

wxString FromUtf8(const std::string& text)
{
    return wxString::FromUTF8(text.data(), text.size());
}

// Shows the message with the box in view and focused: on a property sheet the refused value may
// sit on a page the user is not looking at.
void Refuse(wxWindow* control, const std::string& message, const wxString& field)
{
    for (wxWindow* child = control; child != nullptr && !child->IsTopLevel(); child = child->GetParent()) {
        if (auto* book = wxDynamicCast(child->GetParent(), wxBookCtrlBase)) {
            const int page = book->FindPage(child);
            if (page != wxNOT_FOUND && page != book->GetSelection())
                book->SetSelection(static_cast<size_t>(page));
        }
    }
    ShowExclamation(wxGetTopLevelParent(control), message, field);
    control->SetFocus();
    if (auto* text = wxDynamicCast(control, wxTextCtrl))
        text->SelectAll();
}

}  // namespace

void ShowExclamation(wxWindow* parent, const std::string& text, const wxString& field)
{
    wxMessageDialog box(parent, FromUtf8(text), wxTheApp->GetAppDisplayName(), wxOK | wxICON_EXCLAMATION);
    if (!field.empty())
        box.SetExtendedMessage("Field: " + field);
    box.ShowModal();
}

bool CNumberValidator::IsActive() const
{
    return GetWindow() != nullptr && GetWindow()->IsThisEnabled();
}

bool CNumberValidator::Validate(wxWindow*)
{
    if (!IsActive())
        return true;
    auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
    const CFieldRule::Result result = m_rule.Parse(edit->GetValue().utf8_string());
    if (result.value)
        return true;
    Refuse(edit, result.message, m_field);
    return false;
}

bool CNumberValidator::TransferToWindow()
{
    auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
    const double value = m_double != nullptr ? *m_double : static_cast<double>(*m_int);
    edit->ChangeValue(FromUtf8(m_rule.Format(value)));
    return true;
}

bool CNumberValidator::TransferFromWindow()
{
    if (!IsActive())
        return true;
    auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
    const CFieldRule::Result result = m_rule.Parse(edit->GetValue().utf8_string());
    if (!result.value)
        return false;
    if (m_double != nullptr)
        *m_double = *result.value;
    else
        *m_int = static_cast<std::int32_t>(*result.value);
    return true;
}

std::string CTextValidator::Text() const
{
    return wxDynamicCast(GetWindow(), wxTextCtrl)->GetValue().utf8_string();
}

bool CTextValidator::Validate(wxWindow*)
{
    if (!m_check || !GetWindow()->IsThisEnabled())
        return true;
    const std::string message = m_check(Text());
    if (message.empty())
        return true;
    Refuse(GetWindow(), message, m_field);
    return false;
}

bool CTextValidator::TransferToWindow()
{
    wxDynamicCast(GetWindow(), wxTextCtrl)->ChangeValue(FromUtf8(*m_value));
    return true;
}

bool CTextValidator::TransferFromWindow()
{
    if (GetWindow()->IsThisEnabled())
        *m_value = Text();
    return true;
}

bool CFlagValidator::TransferToWindow()
{
    wxDynamicCast(GetWindow(), wxCheckBox)->SetValue(*m_value);
    return true;
}

bool CFlagValidator::TransferFromWindow()
{
    *m_value = wxDynamicCast(GetWindow(), wxCheckBox)->GetValue();
    return true;
}
