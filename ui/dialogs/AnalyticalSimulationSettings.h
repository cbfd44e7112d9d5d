// The analytical settings dialog (Minimum Cut Set, load-shedding method, feeders to fault, load
// clustering with its data files) and the document command that runs it and rereads the files.
#pragma once

#include <array>
#include <memory>

#include <wx/dialog.h>
#include <wx/string.h>

#include "editor/AnalyticalSettingsValues.h"

class CDataFileRow;
class CKorvaneDoc;
class wxCheckBox;
class wxComboBox;
class wxRadioButton;
class wxStaticBox;

class CAnalyticalSimulationSettings : public wxDialog {
public:
    CAnalyticalSimulationSettings(wxWindow* parent, CAnalyticalSettingsValues& values);
    ~CAnalyticalSimulationSettings() override;

    // Fills the controls: file groups enabled by the clustering box, the method's radio, the
    // fault list from 0 to the number of feeders - 1 with the count's entry selected.
    bool TransferDataToWindow() override;

private:
    void EnableClustering(bool enable);
    void OnFaultTextChanged();
    void OnFaultSelected();

    CAnalyticalSettingsValues& m_values;
    // The last text of the fault box that was accepted; a refused text is replaced by it.
    wxString m_lastValidFaultText;
    bool m_filling = false;
    wxCheckBox* m_checkClustering = nullptr;
    wxRadioButton* m_thesis = nullptr;
    wxRadioButton* m_practical = nullptr;
    wxComboBox* m_faults = nullptr;
    std::array<wxStaticBox*, 2> m_fileGroups{};
    std::array<std::unique_ptr<CDataFileRow>, 5> m_files;
};

// The document's "Analytical Simulation settings" command: edits the settings (OK writes them
// back and marks the document modified), then, whatever the dialog ended with, rereads the five
// load data files the document names and shows each problem found.
void OnAnalyticalSimulationSettings(wxWindow* parent, CKorvaneDoc& doc);
