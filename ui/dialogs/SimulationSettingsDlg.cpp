#include "ui/dialogs/SimulationSettingsDlg.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "editor/RunMessages.h"
#include "model/SimulationSettings.h"
#include "ui/dialogs/DataFileRow.h"
#include "ui/dialogs/DialogLayout.h"
#include "ui/dialogs/FieldValidator.h"

using dialog_layout::kGap;

CSimulationSettingsDlg::CSimulationSettingsDlg(wxWindow* parent, CSimulationSettingsValues& v)
    : wxDialog(parent, wxID_ANY, run_text::kSimulationSettingsTitle)
{
    const dialog_layout::CColumns columns = dialog_layout::MakeColumns();
    wxBoxSizer* left = columns.left;
    wxBoxSizer* right = columns.right;

    auto* value = new wxStaticBoxSizer(wxVERTICAL, this, "Value");
    wxWindow* valueBox = value->GetStaticBox();
    auto* quanta = new wxBoxSizer(wxHORIZONTAL);
    quanta->Add(new wxStaticText(valueBox, wxID_ANY, "QuantsPerDay"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    auto* quantaEdit = new wxTextCtrl(valueBox, 1061);
    quantaEdit->SetValidator(CNumberValidator(&v.m_nQuantsPerDay, CSimulationSettingsValues::kQuantsRule, "QuantsPerDay"));
    quanta->Add(quantaEdit, 1);
    value->Add(quanta, 0, wxEXPAND | wxALL, kGap);
    dialog_layout::AddInformation(valueBox, value,
                                  "Note: QuantsPerDay represent the time quanta in each simulated day. This value is "
                                  "required for the simulation",
                                  300);
    left->Add(value, 0, wxEXPAND | wxALL, kGap);

    auto* values = new wxStaticBoxSizer(wxVERTICAL, this, "Values");
    wxWindow* valuesBox = values->GetStaticBox();
    auto* grid = new wxFlexGridSizer(3, kGap, kGap);
    grid->AddGrowableCol(2);
    struct RowSpec {
        int checkId, labelId, editId;
        const char* label;
        bool* flag;
        CNumberValidator validator;
    };
    using Values = CSimulationSettingsValues;
    const RowSpec specs[] = {
        {1073, 1080, 1063, "Min years", &v.m_bYearMin, {&v.m_nYearMin, Values::kYearsRule, "Min years"}},
        {1074, 1082, 1064, "Max years", &v.m_bYearMax, {&v.m_nYearMax, Values::kYearsRule, "Max years"}},
        {1075, 1083, 1065, "Step years", &v.m_bYearStep, {&v.m_nYearStep, Values::kYearStepRule, "Step years"}},
        {1079, 1084, 1069, "Accuracy", &v.m_bAccuracy, {&v.m_dAccuracy, Values::kAccuracyRule, "Accuracy"}},
    };
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const RowSpec& s = specs[i];
        m_rows[i] = dialog_layout::AddOptionalRow(valuesBox, grid, s.checkId, s.labelId, s.editId, s.label, *s.flag);
        m_rows[i].edit->SetValidator(s.validator);
    }
    values->Add(grid, 0, wxEXPAND | wxALL, kGap);
    left->Add(values, 0, wxEXPAND | wxALL, kGap);

    auto* components = new wxStaticBoxSizer(wxVERTICAL, this, "Components");
    wxWindow* componentsBox = components->GetStaticBox();
    for (auto [id, label, flag] : {std::tuple{1076, "Fuses", &v.m_bFuses}, {1077, "Isolators", &v.m_bIsolators},
                                   {1078, "Reclosers", &v.m_bReclosers}, {1081, "Maximum Flow", &v.m_bMaxFlow}}) {
        auto* check = new wxCheckBox(componentsBox, id, label);
        check->SetValidator(CFlagValidator(flag));
        components->Add(check, 0, wxALL, kGap);
    }
    left->Add(components, 0, wxEXPAND | wxALL, kGap);

    auto* properties = new wxStaticBoxSizer(wxVERTICAL, this, "Properties");
    m_checkClustering =
        AddClusteringCheck(properties, v.m_bEnableClustering, [this](bool enable) { EnableClustering(enable); });
    CClusterFiles clustered = AddClusterFiles(
        properties, "Select the path for the file that stores the load point load cluster data.",
        {1143, 1152, 1144, 1181},
        {&v.m_strIndustrialFile, &v.m_strAgriculturalFile, &v.m_strResidentialFile, &v.m_strOtherFile});
    m_fileGroup = clustered.group;
    m_files = std::move(clustered.rows);
    right->Add(properties, 1, wxEXPAND | wxALL, kGap);

    dialog_layout::FinishWithOkCancel(*this, columns);
}

CSimulationSettingsDlg::~CSimulationSettingsDlg() = default;

bool CSimulationSettingsDlg::TransferDataToWindow()
{
    if (!wxDialog::TransferDataToWindow())
        return false;
    for (const dialog_layout::COptionalRow& row : m_rows)
        row.Follow();
    EnableClustering(m_checkClustering->GetValue());
    return true;
}

void CSimulationSettingsDlg::EnableClustering(bool enable)
{
    m_fileGroup->Enable(enable);
    for (const auto& row : m_files)
        row->Enable(enable);
}

bool EditSettings(wxWindow* parent, CSimulationSettings& settings)
{
    CSimulationSettingsValues values = CSimulationSettingsValues::From(settings);
    CSimulationSettingsDlg dialog(parent, values);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    values.StoreTo(settings);
    return true;
}
