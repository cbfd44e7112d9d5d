// The workspace options dialog: canvas size (typed or from the size buttons), redraw method,
// adaptive drawing, snap grid and the result folder option.
#pragma once

#include <wx/dialog.h>

#include "editor/WorkspaceValues.h"

class CKorvaneDoc;
class wxChoice;
class wxRadioButton;
class wxTextCtrl;

class CSettingsDlg : public wxDialog {
public:
    CSettingsDlg(wxWindow* parent, CWorkspaceValues& values);

    // Fills the controls, the snap list with its 21 sizes, and checks the redraw radio.
    bool TransferDataToWindow() override;

private:
    void ChooseSize(int width, int height);

    CWorkspaceValues& m_values;
    wxTextCtrl* m_editWidth = nullptr;
    wxTextCtrl* m_editHeight = nullptr;
    wxRadioButton* m_fullRedraw = nullptr;
    wxRadioButton* m_regionalRedraw = nullptr;
    wxChoice* m_comboSnapPixel = nullptr;
};

// Runs the dialog on the document's workspace options. On OK they are written back, the drawing
// takes the workspace size and the document is marked modified; the caller then resizes and
// redraws its view. Returns whether the dialog ended with OK.
bool EditWorkspaceSettings(wxWindow* parent, CKorvaneDoc& doc);
