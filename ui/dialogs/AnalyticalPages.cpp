#include "ui/dialogs/AnalyticalPages.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "editor/Datasheet.h"

namespace {

using datasheet::kMaxCapacity;
using datasheet::kNumCustomers;
using datasheet::kRate;
using datasheet::kSwitchTime;

constexpr int kGap = 5;

}  // namespace

CAnalyticalFeederPage::CAnalyticalFeederPage(wxWindow* parent, const wxString& caption, CAnalyticalFeederValues& v)
    : CDatasheetPage(parent, caption), m_values(v)
{
    AddFeederType(v.m_nFeederType);
}

void CAnalyticalFeederPage::AddGreyedFeederValues(wxStaticBoxSizer* group, wxFlexGridSizer* grid,
                                                  bool withRepairTime)
{
    CAnalyticalFeederValues& v = m_values;
    AddValue(group, grid, 1158, "Fault rate", v.m_dFaultRate, kRate, false);
    AddValue(group, grid, 1114, "Length", v.m_dFeederLength, kRate, false);
    AddValue(group, grid, 1089, "Max capacity", v.m_dMaxCapacity, kMaxCapacity, false);
    if (withRepairTime)
        AddValue(group, grid, 1159, "Repair time", v.m_dRepairTime, kRate, false);
}

CAnalyticalLineDlg::CAnalyticalLineDlg(wxWindow* parent, CAnalyticalFeederValues& v)
    : CAnalyticalFeederPage(parent, "Analytical Datasheet", v)
{
    wxStaticBoxSizer* group = AddGroup("Feeder Details");
    wxFlexGridSizer* grid = AddGrid(group, 2);
    AddValue(group, grid, 1158, "Fault rate", v.m_dFaultRate, kRate);
    AddValue(group, grid, 1114, "Length", v.m_dFeederLength, kRate);
    AddValue(group, grid, 1160, "Max Capacity", v.m_dMaxCapacity, kMaxCapacity);
    AddValue(group, grid, 1159, "Repair Time", v.m_dRepairTime, kRate);
    AddNotes("Notes", 1161, v.m_strNotes);
}

CAnalyticalCircuitBreakerDlg::CAnalyticalCircuitBreakerDlg(wxWindow* parent, CAnalyticalFeederValues& v)
    : CAnalyticalFeederPage(parent, "Analytical Datasheet", v)
{
    wxStaticBoxSizer* group = AddGroup("Circuit Breaker Details");
    AddGreyedFeederValues(group, AddGrid(group, 2), true);
    AddNotes("Note", 1166, v.m_strNotes);
}

CAnalyticalFuseDialog::CAnalyticalFuseDialog(wxWindow* parent, CAnalyticalFeederValues& v)
    : CAnalyticalFeederPage(parent, "Fuse Datasheet", v)
{
    wxStaticBoxSizer* group = AddGroup("Circuit Breaker Details");
    AddGreyedFeederValues(group, AddGrid(group, 2), true);
    AddNotes("Note", 1168, v.m_strNotes);
}

CAnalyticalIsolatorDlg::CAnalyticalIsolatorDlg(wxWindow* parent, CAnalyticalFeederValues& v)
    : CAnalyticalFeederPage(parent, "Isolator Datasheet", v)
{
    wxStaticBoxSizer* group = AddGroup("Circuit Breaker Details");
    wxFlexGridSizer* grid = AddGrid(group, 2);
    AddGreyedFeederValues(group, grid, true);
    AddValue(group, grid, 1090, "Switch Time", v.m_dSwitchTime, kSwitchTime);
    AddNotes("Note", 1169, v.m_strNotes);
}

CAnalyticalEquipmentDlg::CAnalyticalEquipmentDlg(wxWindow* parent, CAnalyticalFeederValues& v)
    : CAnalyticalFeederPage(parent, "Equipment Datasheet", v)
{
    wxStaticBoxSizer* group = AddGroup("Transformer Details");
    wxFlexGridSizer* grid = AddGrid(group, 2);
    AddGreyedFeederValues(group, grid, true);
    AddValue(group, grid, 1171, "Transformer repair time", v.m_dTransRepairTime, kRate);
    AddValue(group, grid, 1173, "Transformer outage rate", v.m_dTransOutageRate, kRate);
    AddNotes("Notes", 1167, v.m_strNotes);
}

CAnalyticalTransformerDlg::CAnalyticalTransformerDlg(wxWindow* parent, CAnalyticalFeederValues& v)
    : CAnalyticalFeederPage(parent, "Analytical Datasheet", v)
{
    wxStaticBoxSizer* group = AddGroup("Transformer Details");
    wxFlexGridSizer* grid = AddGrid(group, 2);
    AddGreyedFeederValues(group, grid, false);
    AddValue(group, grid, 1170, "Transformer outage rate", v.m_dTransOutageRate, kRate);
    AddValue(group, grid, 1090, "Transformer repair time", v.m_dTransRepairTime, kRate);
    AddValue(group, grid, 1159, "Repair time", v.m_dRepairTime, kRate, false);
    AddNotes("Notes", 1165, v.m_strNotes);
}

CAnalyticalRecloserDlg::CAnalyticalRecloserDlg(wxWindow* parent, CAnalyticalRecloserValues& v)
    : CDatasheetPage(parent, "Recloser Datasheet")
{
    wxStaticBoxSizer* group = AddGroup("Details");
    wxFlexGridSizer* grid = AddGrid(group, 2);
    AddValue(group, grid, 1114, "Length", v.m_dFeederLength, kRate);
    AddValue(group, grid, 1093, "Reclosing time", v.m_dReclTime, kRate);
    AddNotes("Notes", 1164, v.m_strNotes);
}

CAnalyticalLoadPointDlg::CAnalyticalLoadPointDlg(wxWindow* parent, CAnalyticalLoadPointValues& v)
    : CDatasheetPage(parent, "Analytical Datasheet"), m_values(v)
{
    wxStaticBoxSizer* details = AddGroup("Load Point details");
    AddValue(details, AddGrid(details, 2), 1087, "Num customers", v.m_nNumCustomers, kNumCustomers);
    wxStaticBoxSizer* model = AddGroup("Load model ");
    AddValue(model, AddGrid(model, 2), 1172, "Load", v.m_dLoad, kRate);

    wxStaticBoxSizer* classes = AddGroup("Load class");
    wxWindow* box = classes->GetStaticBox();
    // A hidden first member of the group, so that no class shows as chosen at first.
    m_none = new wxRadioButton(box, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_none->Hide();
    m_residential = new wxRadioButton(box, 1155, "Residential");
    m_industrial = new wxRadioButton(box, 1156, "Industrial");
    m_agricultural = new wxRadioButton(box, 1157, "Agricultural");
    m_other = new wxRadioButton(box, 1158, "Other");
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (wxRadioButton* radio : {m_residential, m_industrial, m_agricultural, m_other}) {
        row->Add(radio, 0, wxRIGHT, 2 * kGap);
        radio->Bind(wxEVT_RADIOBUTTON,
                    [this, radio](wxCommandEvent&) { m_values.m_strLoadClass = radio->GetLabel().utf8_string(); });
    }
    classes->Add(row, 0, wxALL, kGap);
    AddHelp("Please select the Load class for this load point. This piece of information is required for clustered "
            "load simulation. Ignore this field if you want to apply a constant load for this load point throughout "
            "the simulation",
            classes);

    AddNotes("Notes", 1105, v.m_strNotes);
}

void CAnalyticalLoadPointDlg::AfterTransferIn()
{
    m_none->SetValue(true);
    m_agricultural->Enable(m_values.m_bAgriculturalEnabled);
    m_industrial->Enable(m_values.m_bIndustrialEnabled);
    m_residential->Enable(m_values.m_bResidentialEnabled);
    m_other->Enable(m_values.m_bOtherEnabled);
}

CAnalyticalBusBarDlg::CAnalyticalBusBarDlg(wxWindow* parent) : CDatasheetPage(parent, "Analytical Datasheet")
{
    AddHelp("Bus Bar in Analytical simulation does not have any attribute due to the fact that Bus Bar is only a "
            "plain connector that does not have any effects on the simulation result.");
}

CAnalyticalGenSourceDlg::CAnalyticalGenSourceDlg(wxWindow* parent) : CDatasheetPage(parent, "Analytical Datasheet")
{
    AddHelp("Gen Source in Analytical based simulation does not have any attribute.");
}
