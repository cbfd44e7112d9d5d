#include "ui/dialogs/MonteCarloPages.h"

#include <wx/sizer.h>

namespace {

const char kCheckHelp[] = "Check the check box to enable the attribute.";

}  // namespace

CLineEquipmentDlg::CLineEquipmentDlg(wxWindow* parent, CLineEquipmentValues& v)
    : CDatasheetPage(parent, "Verav Ezerez Datasheet")
{
    AddHelp(kCheckHelp);
    wxStaticBoxSizer* group = AddGroup("Attributes");
    wxFlexGridSizer* grid = AddGrid(group, 3);
    AddOptional(group, grid, 1110, 1119, 1092, "Capacity", v.m_bCapacity, v.m_dCapacity);
    AddOptional(group, grid, 1106, 1115, 1111, "Failure 1", v.m_bFailure1, v.m_dFailure1);
    AddOptional(group, grid, 1126, 1120, 1123, "Failure 2", v.m_bFailure2, v.m_dFailure2);
    AddOptional(group, grid, 1107, 1116, 1112, "Isolation 1", v.m_bIsolation1, v.m_dIsolation1);
    AddOptional(group, grid, 1127, 1130, 1124, "Isolation 2", v.m_bIsolation2, v.m_dIsolation2);
    AddOptional(group, grid, 1109, 1118, 1114, "Length", v.m_bLength, v.m_dLength);
    AddOptional(group, grid, 1108, 1117, 1113, "Repair 1", v.m_bRepair1, v.m_dRepair1);
    AddOptional(group, grid, 1128, 1122, 1125, "Repair 2", v.m_bRepair2, v.m_dRepair2);
    AddNotes("Notes", 1091, v.m_strNotes);
}

CComponentDlg::CComponentDlg(wxWindow* parent, CComponentValues& v) : CDatasheetPage(parent, "Verav Ezerez Datasheet")
{
    AddHelp(kCheckHelp);
    wxStaticBoxSizer* group = AddGroup("Details");
    wxFlexGridSizer* grid = AddGrid(group, 3);
    AddOptional(group, grid, 1110, 1119, 1092, "Capacity", v.m_bCapacity, v.m_dCapacity);
    AddNotes("Notes", 1122, v.m_strNotes);
}

CRecloserDlg::CRecloserDlg(wxWindow* parent, CRecloserValues& v) : CDatasheetPage(parent, "Recloser Data")
{
    AddHelp(kCheckHelp);
    wxStaticBoxSizer* group = AddGroup("Details");
    wxFlexGridSizer* grid = AddGrid(group, 3);
    AddOptional(group, grid, 1110, 1119, 1092, "Capacity", v.m_bCapacity, v.m_dCapacity);
    AddOptional(group, grid, 1111, 1120, 1093, "Reclosing time 1", v.m_bReclose1, v.m_dReclose1);
    AddOptional(group, grid, 1112, 1122, 1094, "Reclosing time 2", v.m_bReclose2, v.m_dReclose2);
    AddNotes("Notes", 1121, v.m_strNotes);
}

CBusBarDlg::CBusBarDlg(wxWindow* parent) : CDatasheetPage(parent, "Verav Ezerez Datasheet")
{
    AddHelp("Bus Bar in Verav Ezerez simulation does not have any attribute due to the fact that Bus Bar is only a "
            "plain connector that does not have any effects on the simulation result.");
}
