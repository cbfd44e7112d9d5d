// Drives modal dialogs in the shell tests: message boxes are recorded and answered with OK, file
// choosers are cancelled, and each other dialog runs the next queued steps inside its own modal
// loop, as a user would, and is cancelled if the steps leave it open.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

namespace dialog_test {

class CDialogScript : public wxModalDialogHook {
public:
    using Steps = std::function<void(wxDialog&)>;

    CDialogScript() { Register(); }
    ~CDialogScript() override { Unregister(); }

    // Steps for the next dialog that is not a message box or file chooser.
    void Then(Steps steps) { m_steps.push_back(std::move(steps)); }

    std::vector<std::string> messages;
    std::vector<std::string> details;  // the smaller text under each message
    int fileChoosers = 0;

protected:
    int Enter(wxDialog* dialog) override
    {
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            messages.push_back(box->GetMessage().utf8_string());
            details.push_back(box->GetExtendedMessage().utf8_string());
            return wxID_OK;
        }
        if (dynamic_cast<wxFileDialogBase*>(dialog) != nullptr) {
            ++fileChoosers;
            return wxID_CANCEL;
        }
        if (m_steps.empty())
            return wxID_CANCEL;
        Steps steps = std::move(m_steps.front());
        m_steps.pop_front();
        dialog->CallAfter([dialog, steps] {
            steps(*dialog);
            if (dialog->IsModal())
                dialog->EndModal(wxID_CANCEL);
        });
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}

private:
    std::deque<Steps> m_steps;
};

template <typename T>
T* Find(wxWindow& parent, int id)
{
    return dynamic_cast<T*>(parent.FindWindow(id));
}

// A click on a button, as its owner sees it.
inline void Press(wxWindow& parent, int id)
{
    wxWindow* button = parent.FindWindow(id);
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

// A click that toggles a check box.
inline void Toggle(wxCheckBox* check)
{
    check->SetValue(!check->GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, check->GetId());
    event.SetInt(check->GetValue());
    event.SetEventObject(check);
    check->GetEventHandler()->ProcessEvent(event);
}

inline void Choose(wxRadioButton* radio)
{
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
    event.SetInt(1);
    event.SetEventObject(radio);
    radio->GetEventHandler()->ProcessEvent(event);
}

// Typing a whole text into an edit box (sends the change notification).
inline void Type(wxTextCtrl* edit, const char* text)
{
    edit->SetValue(wxString::FromUTF8(text));
}

}  // namespace dialog_test
