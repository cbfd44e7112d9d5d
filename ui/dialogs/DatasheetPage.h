// Base of the datasheet pages: a panel bound to a record of page values, with builders for the
// rows every page is made of (optional values with their check boxes, ranged values, notes,
// feeder-type radios, help texts).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <wx/panel.h>
#include <wx/string.h>

#include "editor/FieldRule.h"
#include "ui/dialogs/DialogLayout.h"

class wxFlexGridSizer;
class wxRadioButton;
class wxSizer;
class wxStaticBoxSizer;
class wxTextCtrl;

class CDatasheetPage : public wxPanel {
public:
    CDatasheetPage(wxWindow* parent, const wxString& caption);

    // The text of the page's tab.
    const wxString& GetCaption() const { return m_caption; }

    // Fills the controls, then lets each optional value's box enable its label and edit.
    bool TransferDataToWindow() override;

protected:
    // Called after the values reached the controls: page-specific states (radios, lists).
    virtual void AfterTransferIn() {}

    // A group box on the page's column, and the two-column grid (label, edit) or three-column
    // grid (box, label, edit) inside it.
    wxStaticBoxSizer* AddGroup(const wxString& title);
    wxFlexGridSizer* AddGrid(wxStaticBoxSizer* group, int columns);
    // The information icon with a note, on the page's column or in a group.
    void AddHelp(const wxString& text, wxStaticBoxSizer* group = nullptr);

    // An optional value: check box `checkId`, label `labelId`, edit `editId`; the box enables the
    // other two. A double or an integer member, or a text (`check` refuses bad texts).
    wxTextCtrl* AddOptional(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId, int labelId, int editId,
                            const wxString& label, bool& flag, double& value);
    wxTextCtrl* AddOptional(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId, int labelId, int editId,
                            const wxString& label, bool& flag, std::int32_t& value, const CFieldRule& rule);
    wxTextCtrl* AddOptionalText(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId, int labelId, int editId,
                                const wxString& label, bool& flag, std::string& value,
                                std::string (*check)(const std::string&));
    // A value that is always given, with its range.
    wxTextCtrl* AddValue(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int editId, const wxString& label,
                         double& value, const CFieldRule& rule, bool editable = true);
    wxTextCtrl* AddValue(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int editId, const wxString& label,
                         std::int32_t& value, const CFieldRule& rule);
    // A "Notes" group with a multi-line edit.
    void AddNotes(const wxString& title, int editId, std::string& notes);
    // The "Feeder type" group: "Lateral feeder" (1162) and "Main feeder" (1163); a click sets the
    // type (1 main, 2 lateral); any type but 1 shows as lateral.
    void AddFeederType(std::int32_t& feederType);

private:
    dialog_layout::COptionalRow AddOptionalRow(wxStaticBoxSizer* group, wxFlexGridSizer* grid, int checkId,
                                               int labelId, int editId, const wxString& label, bool& flag);

    wxString m_caption;
    wxSizer* m_column;
    std::vector<dialog_layout::COptionalRow> m_optionalRows;
    std::int32_t* m_feederType = nullptr;
    wxRadioButton* m_lateral = nullptr;
    wxRadioButton* m_main = nullptr;
};

// Control ids shared by the pages (they are never stored, and stay below the toolkit's own).
namespace datasheet_id {
enum : int {
    kLateralFeeder = 1162,
    kMainFeeder = 1163,
};
}
