// The Monte Carlo settings dialog: quanta per day, the optional year counts and accuracy, the
// component switches and the load-cluster data files.
#pragma once

#include <array>
#include <memory>

#include <wx/dialog.h>

#include "editor/SimulationSettingsValues.h"
#include "ui/dialogs/DialogLayout.h"

class CDataFileRow;
class CSimulationSettings;
class wxCheckBox;
class wxStaticBox;

class CSimulationSettingsDlg : public wxDialog {
public:
    CSimulationSettingsDlg(wxWindow* parent, CSimulationSettingsValues& values);
    ~CSimulationSettingsDlg() override;

    // Enables each year and accuracy row by its box, and the file group by the clustering box.
    bool TransferDataToWindow() override;

private:
    void EnableClustering(bool enable);

    std::array<dialog_layout::COptionalRow, 4> m_rows{};
    wxCheckBox* m_checkClustering = nullptr;
    wxStaticBox* m_fileGroup = nullptr;
    std::array<std::unique_ptr<CDataFileRow>, 4> m_files;
};

// Runs the dialog on the settings: they change only when it ends with OK. Returns whether it did.
bool EditSettings(wxWindow* parent, CSimulationSettings& settings);
