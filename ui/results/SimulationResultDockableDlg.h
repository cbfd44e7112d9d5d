// The "Simulation result viewer" bar's contents: labelled fields for the system and load-point
// indices. Nothing writes into them.
#pragma once

#include <wx/panel.h>

class CSimulationResultDockableDlg : public wxPanel {
public:
    explicit CSimulationResultDockableDlg(wxWindow* parent);
};
