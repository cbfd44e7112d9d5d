#include "ui/dialogs/SettingsDlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui/Art.h"
#include "ui/dialogs/DialogLayout.h"
#include "ui/dialogs/FieldValidator.h"

namespace {

using dialog_layout::AddFlagGroup;
using dialog_layout::kGap;
// Ids of the size buttons, in the order of kWorkspaceSizes.
constexpr int kSizeButtonIds[] = {1035, 1028, 1029, 1030, 1031, 1032, 1033, 1034};

// A note, with the dialog's picture before it when `picture` is given.
void AddNote(wxStaticBoxSizer* group, const wxString& text, const wxBitmap& picture = wxNullBitmap)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (picture.IsOk())
        row->Add(new wxStaticBitmap(group->GetStaticBox(), wxID_ANY, picture), 0, wxRIGHT, kGap);
    auto* note = new wxStaticText(group->GetStaticBox(), wxID_ANY, text);
    note->Wrap(picture.IsOk() ? 320 - picture.GetWidth() - kGap : 320);
    row->Add(note, 1);
    group->Add(row, 0, wxALL, kGap);
}

}  // namespace

CSettingsDlg::CSettingsDlg(wxWindow* parent, CWorkspaceValues& v)
    : wxDialog(parent, wxID_ANY, "Workspace options"), m_values(v)
{
    const dialog_layout::CColumns columns = dialog_layout::MakeColumns();
    const wxBitmap picture = WorkspaceOptionsBitmap();
    wxBoxSizer* left = columns.left;
    wxBoxSizer* right = columns.right;

    auto* size = new wxStaticBoxSizer(wxVERTICAL, this, "Workspace size");
    auto* sizeGrid = new wxFlexGridSizer(2, kGap, kGap);
    m_editWidth = new wxTextCtrl(size->GetStaticBox(), 1026);
    m_editHeight = new wxTextCtrl(size->GetStaticBox(), 1024);
    m_editWidth->SetValidator(CNumberValidator(&v.m_nWidth, CWorkspaceValues::kSizeRule, "Horizontal (pixels)"));
    m_editHeight->SetValidator(CNumberValidator(&v.m_nHeight, CWorkspaceValues::kSizeRule, "Verticle (pixels)"));
    sizeGrid->Add(new wxStaticText(size->GetStaticBox(), wxID_ANY, "Horizontal (pixels)"), 0,
                  wxALIGN_CENTER_VERTICAL);
    sizeGrid->Add(m_editWidth);
    sizeGrid->Add(new wxStaticText(size->GetStaticBox(), wxID_ANY, "Verticle (pixels)"), 0, wxALIGN_CENTER_VERTICAL);
    sizeGrid->Add(m_editHeight);
    size->Add(sizeGrid, 0, wxALL, kGap);
    left->Add(size, 0, wxEXPAND | wxALL, kGap);

    auto* options = new wxStaticBoxSizer(wxVERTICAL, this, "Size options");
    auto* buttons = new wxGridSizer(2, kGap, kGap);
    for (std::size_t i = 0; i < kWorkspaceSizes.size(); ++i) {
        const CWorkspaceSize& s = kWorkspaceSizes[i];
        auto* button = new wxButton(options->GetStaticBox(), kSizeButtonIds[i], s.label);
        button->Bind(wxEVT_BUTTON, [this, s](wxCommandEvent&) { ChooseSize(s.width, s.height); });
        buttons->Add(button, 0, wxEXPAND);
    }
    options->Add(buttons, 0, wxEXPAND | wxALL, kGap);
    left->Add(options, 0, wxEXPAND | wxALL, kGap);

    auto* redraw = new wxStaticBoxSizer(wxVERTICAL, this, "Screen redraw");
    m_fullRedraw = new wxRadioButton(redraw->GetStaticBox(), 1037, "&Full screen redraw (Default)",
                                     wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_regionalRedraw = new wxRadioButton(redraw->GetStaticBox(), 1038, "&Regional redraw");
    m_fullRedraw->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_values.m_nRedrawMode = 0; });
    m_regionalRedraw->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { m_values.m_nRedrawMode = 1; });
    redraw->Add(m_fullRedraw, 0, wxALL, kGap);
    redraw->Add(m_regionalRedraw, 0, wxALL, kGap);
    AddNote(redraw, "Regional screen redraw only update a particular area as opposed to full screen redraw that "
                    "update the whole screen. Regional redraw might cause artifacts while full screen redraw is "
                    "much slower.",
            picture);
    right->Add(redraw, 0, wxEXPAND | wxALL, kGap);

    AddNote(AddFlagGroup(this, right, "Adaptive drawing", 1050, "&Enable", v.m_bAdaptiveDrawing),
            "Adaptive drawing help user to precisely draw widgets such as cricuit breaker on screen.", picture);

    auto* snap = new wxStaticBoxSizer(wxVERTICAL, this, "Snap Drawing");
    auto* snapRow = new wxBoxSizer(wxHORIZONTAL);
    m_comboSnapPixel = new wxChoice(snap->GetStaticBox(), 1059);
    m_comboSnapPixel->Bind(wxEVT_CHOICE,
                           [this](wxCommandEvent&) { m_values.m_nSnapGrid = m_comboSnapPixel->GetSelection(); });
    snapRow->Add(new wxStaticText(snap->GetStaticBox(), wxID_ANY, "Snap pixel"), 0,
                 wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    snapRow->Add(m_comboSnapPixel);
    snap->Add(snapRow, 0, wxALL, kGap);
    AddNote(snap, "Snap drawing create a virtual grid behind the workspace so widgets would be properly placed on "
                  "workspace. Higher px value will waste more workspace while setting it to 0 px to disable snap "
                  "drawing.",
            picture);
    right->Add(snap, 0, wxEXPAND | wxALL, kGap);

    AddNote(AddFlagGroup(this, right, "Result Directory", 1051, "&Create Directory", v.m_bCreateDirectory),
            "This application creates a directory for the simulation result of each project on default. "
            "However, some operating system disallow user application to created directory on the system "
            "and thus causing error in the application when the application is trying to create a "
            "directory on the system. User can uncheck the \"Create Directory\" option to solve this "
            "problem");

    dialog_layout::FinishWithOkCancel(*this, columns);
}

bool CSettingsDlg::TransferDataToWindow()
{
    if (!wxDialog::TransferDataToWindow())
        return false;
    m_comboSnapPixel->Clear();
    for (int i = 0; i <= CWorkspaceValues::kLargestSnapGrid; ++i)
        m_comboSnapPixel->Append(wxString::Format("%d", i));
    if (m_values.m_nSnapGrid >= 0 && m_values.m_nSnapGrid <= CWorkspaceValues::kLargestSnapGrid)
        m_comboSnapPixel->SetSelection(m_values.m_nSnapGrid);
    (m_values.m_nRedrawMode == 1 ? m_regionalRedraw : m_fullRedraw)->SetValue(true);
    return true;
}

void CSettingsDlg::ChooseSize(int width, int height)
{
    m_values.m_nWidth = width;
    m_values.m_nHeight = height;
    m_editWidth->ChangeValue(wxString::Format("%d", width));
    m_editHeight->ChangeValue(wxString::Format("%d", height));
}

bool EditWorkspaceSettings(wxWindow* parent, CKorvaneDoc& doc)
{
    CWorkspaceValues values = CWorkspaceValues::From(doc);
    CSettingsDlg dialog(parent, values);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    values.StoreTo(doc);
    return true;
}
