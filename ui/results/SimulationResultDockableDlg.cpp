#include "ui/results/SimulationResultDockableDlg.h"

#include <initializer_list>
#include <utility>

#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

using Field = std::pair<const char*, int>;  // label and edit id

// Two columns of label and read-only edit.
wxStaticBoxSizer* Group(wxWindow* parent, const char* title, std::initializer_list<Field> left,
                        std::initializer_list<Field> right, int id = wxID_ANY)
{
    auto* group = new wxStaticBoxSizer(new wxStaticBox(parent, id, title), wxHORIZONTAL);
    for (const auto& column : {left, right}) {
        auto* grid = new wxFlexGridSizer(2, 4, 6);
        for (const Field& field : column) {
            grid->Add(new wxStaticText(group->GetStaticBox(), wxID_ANY, field.first), 0, wxALIGN_CENTER_VERTICAL);
            grid->Add(new wxTextCtrl(group->GetStaticBox(), field.second, wxString(), wxDefaultPosition, wxSize(60, -1),
                                     wxTE_READONLY));
        }
        group->Add(grid, 0, wxALL, 4);
    }
    return group;
}

}  // namespace

CSimulationResultDockableDlg::CSimulationResultDockableDlg(wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(220, 300))
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(Group(this, "System result values",
                     {{"SAIFI", 1086}, {"SAIDI", 1087}, {"CAIFI", 1088}, {"CAIDI", 1089}, {"ASUI", 1091}},
                     {{"ASAI", 1092}, {"ENS", 1093}, {"ANES", 1094}, {"ACCI", 1095}}),
               0, wxEXPAND | wxALL, 4);
    sizer->Add(Group(this, "Load Point", {{"SAIFI", 1096}, {"SAIDI", 1097}}, {{"ASAI", 1098}, {"ENS", 1099}}, 1145),
               0, wxEXPAND | wxALL, 4);
    SetSizer(sizer);
}
