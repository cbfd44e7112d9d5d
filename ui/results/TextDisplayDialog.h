// A modeless window that shows a generated network text read-only and makes it again on
// "&Update"; the NDL and GML windows are its two kinds. It closes by destroying itself.
#pragma once

#include <string>

#include <wx/dialog.h>
#include <wx/weakref.h>

class CKorvaneDoc;
class CKorvaneView;
class wxButton;
class wxTextCtrl;

class CTextDisplayDialog : public wxDialog {
public:
    wxTextCtrl* GetEdit() const { return m_edit; }
    // "&Update": the text made again from the editor's document as it is now. Does nothing once
    // the editor has closed.
    void OnUpdate(wxCommandEvent& event);

protected:
    CTextDisplayDialog(wxWindow* parent, CKorvaneView* view, const wxString& title, int editId, int buttonId,
                       const wxPoint& position, const wxSize& size);
    // Shows the text: the edit is emptied first, then given the text.
    void ShowText(const std::string& text);
    // The network text, or the generator's error text.
    virtual std::string MakeText(CKorvaneDoc& doc) const = 0;

private:
    void OnClose(wxCloseEvent& event);

    wxWeakRef<CKorvaneView> m_view;
    wxTextCtrl* m_edit = nullptr;
    wxButton* m_button = nullptr;
};
