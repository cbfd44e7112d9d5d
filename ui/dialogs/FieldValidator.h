// Validators that move dialog values between edit boxes and their members: numbers by a field
// rule and texts as UTF-8. A refused text shows its message with the field's label beneath it,
// brings its page forward, focuses the box and keeps the dialog open; a disabled box is neither
// checked nor read, so its member keeps the value it had.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <wx/string.h>
#include <wx/validate.h>

#include "editor/FieldRule.h"

class wxWindow;

// A message box with the exclamation icon, as the dialogs' refusals and warnings use; a refusal
// names its field below the text.
void ShowExclamation(wxWindow* parent, const std::string& text, const wxString& field = wxString());

class CNumberValidator : public wxValidator {
public:
    CNumberValidator(double* value, CFieldRule rule, const wxString& field)
        : m_rule(rule), m_field(field), m_double(value)
    {
    }
    CNumberValidator(std::int32_t* value, CFieldRule rule, const wxString& field)
        : m_rule(rule), m_field(field), m_int(value)
    {
    }
    CNumberValidator(const CNumberValidator&) = default;

    wxObject* Clone() const override { return new CNumberValidator(*this); }
    bool Validate(wxWindow* parent) override;
    bool TransferToWindow() override;
    bool TransferFromWindow() override;

private:
    bool IsActive() const;
    CFieldRule m_rule;
    wxString m_field;  // the label the user knows the box by
    double* m_double = nullptr;
    std::int32_t* m_int = nullptr;
};

// A text member; `check`, when given, returns the message refusing a text, or "".
class CTextValidator : public wxValidator {
public:
    using Check = std::function<std::string(const std::string&)>;
    explicit CTextValidator(std::string* value, Check check = {}, const wxString& field = wxString())
        : m_value(value), m_check(std::move(check)), m_field(field)
    {
    }
    CTextValidator(const CTextValidator&) = default;

    wxObject* Clone() const override { return new CTextValidator(*this); }
    bool Validate(wxWindow* parent) override;
    bool TransferToWindow() override;
    bool TransferFromWindow() override;

private:
    std::string Text() const;
    std::string* m_value;
    Check m_check;
    wxString m_field;
};

// A check box bound to a flag.
class CFlagValidator : public wxValidator {
public:
    explicit CFlagValidator(bool* value) : m_value(value) {}
    CFlagValidator(const CFlagValidator&) = default;

    wxObject* Clone() const override { return new CFlagValidator(*this); }
    bool Validate(wxWindow*) override { return true; }
    bool TransferToWindow() override;
    bool TransferFromWindow() override;

private:
    bool* m_value;
};
