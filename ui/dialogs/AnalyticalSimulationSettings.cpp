#include "ui/dialogs/AnalyticalSimulationSettings.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "model/KorvaneDoc.h"
#include "model/LoadDataFiles.h"
#include "ui/dialogs/DataFileRow.h"
#include "ui/dialogs/DialogLayout.h"
#include "ui/dialogs/FieldValidator.h"

using dialog_layout::kGap;

CAnalyticalSimulationSettings::CAnalyticalSimulationSettings(wxWindow* parent, CAnalyticalSettingsValues& v)
    : wxDialog(parent, wxID_ANY, "Analytical Simulation Settings"), m_values(v)
{
    const dialog_layout::CColumns columns = dialog_layout::MakeColumns();
    wxBoxSizer* left = columns.left;
    wxBoxSizer* right = columns.right;

    dialog_layout::AddFlagGroup(this, left, "Simulation settings", 1187, "Minimum Cut Set", v.m_bMinimumCutSet);

    auto* shedding = new wxStaticBoxSizer(wxVERTICAL, this, "Load Shedding");
    m_thesis = new wxRadioButton(shedding->GetStaticBox(), 1185, "Thesis method", wxDefaultPosition, wxDefaultSize,
                                 wxRB_GROUP);
    m_practical = new wxRadioButton(shedding->GetStaticBox(), 1186, "Practical Method");
    m_thesis->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_values.m_nLoadSheddingMethod = 1; });
    m_practical->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_values.m_nLoadSheddingMethod = 0; });
    shedding->Add(m_thesis, 0, wxALL, kGap);
    shedding->Add(m_practical, 0, wxALL, kGap);
    left->Add(shedding, 0, wxEXPAND | wxALL, kGap);

    auto* faults = new wxStaticBoxSizer(wxVERTICAL, this, "Number Feeders To Fault");
    m_faults = new wxComboBox(faults->GetStaticBox(), 1188, wxString(), wxDefaultPosition, wxSize(180, -1), 0, nullptr,
                              wxCB_DROPDOWN);
    m_faults->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnFaultTextChanged(); });
    m_faults->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { OnFaultSelected(); });
    faults->Add(m_faults, 0, wxEXPAND | wxALL, kGap);
    left->Add(faults, 0, wxEXPAND | wxALL, kGap);

    auto* properties = new wxStaticBoxSizer(wxVERTICAL, this, "Properties");
    wxWindow* propertiesBox = properties->GetStaticBox();
    m_checkClustering =
        AddClusteringCheck(properties, v.m_bEnableClustering, [this](bool enable) { EnableClustering(enable); });
    CClusterFiles clustered = AddClusterFiles(
        properties, wxString(), {1182, 1183, 1184, 1155},
        {&v.m_dataFiles[kIndustrialData], &v.m_dataFiles[kAgriculturalData], &v.m_dataFiles[kResidentialData],
         &v.m_dataFiles[kOtherData]});
    m_fileGroups[0] = clustered.group;
    std::move(clustered.rows.begin(), clustered.rows.end(), m_files.begin());

    auto* interval = new wxStaticBoxSizer(wxVERTICAL, propertiesBox, "Interval data for Load Point clustered data");
    m_fileGroups[1] = interval->GetStaticBox();
    auto* intervalGrid = new wxFlexGridSizer(4, kGap, kGap);
    intervalGrid->AddGrowableCol(1);
    m_files[4] = std::make_unique<CDataFileRow>(m_fileGroups[1], intervalGrid, 1181, 1090, 1156, 1157, "Interval",
                                                v.m_dataFiles[kIntervalData]);
    interval->Add(intervalGrid, 0, wxEXPAND | wxALL, kGap);
    properties->Add(interval, 0, wxEXPAND | wxALL, kGap);
    right->Add(properties, 1, wxEXPAND | wxALL, kGap);

    dialog_layout::FinishWithOkCancel(*this, columns);
}

CAnalyticalSimulationSettings::~CAnalyticalSimulationSettings() = default;

bool CAnalyticalSimulationSettings::TransferDataToWindow()
{
    if (!wxDialog::TransferDataToWindow())
        return false;
    EnableClustering(m_checkClustering->GetValue());
    (m_values.m_nLoadSheddingMethod != 0 ? m_thesis : m_practical)->SetValue(true);

    m_filling = true;
    m_faults->Clear();
    for (int i = 0; i < m_values.m_nMaxFaults; ++i)
        m_faults->Append(wxString::Format("%d", i));
    if (m_values.m_nFaultCount >= 0 && m_values.m_nFaultCount < m_values.m_nMaxFaults)
        m_faults->SetSelection(m_values.m_nFaultCount);
    else
        m_faults->ChangeValue(wxString());
    m_lastValidFaultText = m_faults->GetValue();
    m_filling = false;
    return true;
}

void CAnalyticalSimulationSettings::EnableClustering(bool enable)
{
    for (wxStaticBox* group : m_fileGroups)
        group->Enable(enable);
    for (const auto& row : m_files)
        row->Enable(enable);
}

void CAnalyticalSimulationSettings::OnFaultSelected()
{
    const int index = m_faults->GetSelection();
    if (index == wxNOT_FOUND)
        return;
    m_values.m_nFaultCount = index;
    m_lastValidFaultText = m_faults->GetString(static_cast<unsigned>(index));
}

void CAnalyticalSimulationSettings::OnFaultTextChanged()
{
    if (m_filling)
        return;
    const wxString text = m_faults->GetValue();
    if (m_values.AcceptFaultText(text.utf8_string())) {
        m_lastValidFaultText = text;
        return;
    }
    wxMessageBox("Invalid number to fault value", wxTheApp->GetAppDisplayName(), wxOK, this);
    m_filling = true;
    m_faults->ChangeValue(m_lastValidFaultText);
    m_filling = false;
}

void OnAnalyticalSimulationSettings(wxWindow* parent, CKorvaneDoc& doc)
{
    CAnalyticalSettingsValues values = CAnalyticalSettingsValues::From(doc);
    CAnalyticalSimulationSettings dialog(parent, values);
    if (dialog.ShowModal() == wxID_OK)
        values.StoreTo(doc);
    for (const std::string& message : ReadLoadDataFiles(doc))
        ShowExclamation(parent, message);
}
