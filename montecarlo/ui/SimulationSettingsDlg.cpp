#include "montecarlo/ui/SimulationSettingsDlg.h"

#include <wx/artprov.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "editor/ui/DataFileRow.h"
#include "editor/ui/FieldValidator.h"
#include "montecarlo/SimulationSettings.h"

namespace {

constexpr int kGap = 5;

void AddNote(wxWindow* parent, wxSizer* sizer, const wxString& text)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(parent, wxID_ANY, wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_MESSAGE_BOX)), 0,
             wxRIGHT, kGap);
    auto* note = new wxStaticText(parent, wxID_ANY, text);
    note->Wrap(300);
    row->Add(note, 1, wxALIGN_CENTER_VERTICAL);
    sizer->Add(row, 0, wxEXPAND | wxALL, kGap);
}

}  // namespace

void CSimulationSettingsDlg::COptionalRow::Follow() const
{
    label->Enable(check->GetValue());
    edit->Enable(check->GetValue());
}

CSimulationSettingsDlg::CSimulationSettingsDlg(wxWindow* parent, CSimulationSettingsValues& v)
    : wxDialog(parent, wxID_ANY, "Verav Ezerez simulation settings")
{
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND);
    columns->Add(right, 1, wxEXPAND);

    auto* value = new wxStaticBoxSizer(wxVERTICAL, this, "Value");
    wxWindow* valueBox = value->GetStaticBox();
    auto* quanta = new wxBoxSizer(wxHORIZONTAL);
    quanta->Add(new wxStaticText(valueBox, wxID_ANY, "QuantsPerDay"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    auto* quantaEdit = new wxTextCtrl(valueBox, 1061);
    quantaEdit->SetValidator(CNumberValidator(&v.m_nQuantsPerDay, CSimulationSettingsValues::kYearsRule));
    quanta->Add(quantaEdit, 1);
    value->Add(quanta, 0, wxEXPAND | wxALL, kGap);
    AddNote(valueBox, value,
            "Note: QuantsPerDay represent the time quanta in each simulated day. This value is required for the "
            "simulation");
    left->Add(value, 0, wxEXPAND | wxALL, kGap);

    auto* values = new wxStaticBoxSizer(wxVERTICAL, this, "Values");
    wxWindow* valuesBox = values->GetStaticBox();
    auto* grid = new wxFlexGridSizer(3, kGap, kGap);
    grid->AddGrowableCol(2);
    struct RowSpec {
        int checkId, labelId, editId;
        const char* label;
        bool* flag;
    };
    const RowSpec specs[] = {
        {1073, 1080, 1063, "Min years", &v.m_bYearMin},
        {1074, 1082, 1064, "Max years", &v.m_bYearMax},
        {1075, 1083, 1065, "Step years", &v.m_bYearStep},
        {1079, 1084, 1069, "Accuracy", &v.m_bAccuracy},
    };
    std::int32_t* const years[] = {&v.m_nYearMin, &v.m_nYearMax, &v.m_nYearStep};
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const RowSpec& s = specs[i];
        COptionalRow row{new wxCheckBox(valuesBox, s.checkId, wxString()),
                         new wxStaticText(valuesBox, s.labelId, s.label), new wxTextCtrl(valuesBox, s.editId)};
        row.check->SetValidator(CFlagValidator(s.flag));
        if (i < 3)
            row.edit->SetValidator(CNumberValidator(years[i], CSimulationSettingsValues::kYearsRule));
        else
            row.edit->SetValidator(CNumberValidator(&v.m_dAccuracy, CSimulationSettingsValues::kAccuracyRule));
        row.check->Bind(wxEVT_CHECKBOX, [row](wxCommandEvent&) { row.Follow(); });
        grid->Add(row.check, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.label, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.edit, 1, wxEXPAND);
        m_rows[i] = row;
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
    wxWindow* propertiesBox = properties->GetStaticBox();
    m_checkClustering = new wxCheckBox(propertiesBox, 1174, "Enable Load Point load clustering");
    m_checkClustering->SetValidator(CFlagValidator(&v.m_bEnableClustering));
    m_checkClustering->Bind(wxEVT_CHECKBOX,
                            [this](wxCommandEvent&) { EnableClustering(m_checkClustering->GetValue()); });
    properties->Add(m_checkClustering, 0, wxALL, kGap);
    auto* fileGroup = new wxStaticBoxSizer(new wxStaticBox(propertiesBox, 1176, "Load point load cluster data"),
                                           wxVERTICAL);
    m_fileGroup = fileGroup->GetStaticBox();
    AddNote(m_fileGroup, fileGroup, "Select the path for the file that stores the load point load cluster data.");
    auto* files = new wxFlexGridSizer(4, kGap, kGap);
    files->AddGrowableCol(1);
    m_files[0] = std::make_unique<CDataFileRow>(m_fileGroup, files, 1177, 1086, 1142, 1143, "Industrial",
                                                v.m_strIndustrialFile);
    m_files[1] = std::make_unique<CDataFileRow>(m_fileGroup, files, 1178, 1087, 1151, 1152, "Agricultural",
                                                v.m_strAgriculturalFile);
    m_files[2] = std::make_unique<CDataFileRow>(m_fileGroup, files, 1179, 1088, 1141, 1144, "Residential",
                                                v.m_strResidentialFile);
    m_files[3] = std::make_unique<CDataFileRow>(m_fileGroup, files, 1180, 1089, 1154, 1181, "Other",
                                                v.m_strOtherFile);
    fileGroup->Add(files, 0, wxEXPAND | wxALL, kGap);
    properties->Add(fileGroup, 0, wxEXPAND | wxALL, kGap);
    right->Add(properties, 1, wxEXPAND | wxALL, kGap);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(columns, 1, wxEXPAND | wxALL, kGap);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, kGap);
    SetSizerAndFit(top);
}

CSimulationSettingsDlg::~CSimulationSettingsDlg() = default;

bool CSimulationSettingsDlg::TransferDataToWindow()
{
    if (!wxDialog::TransferDataToWindow())
        return false;
    for (const COptionalRow& row : m_rows)
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
