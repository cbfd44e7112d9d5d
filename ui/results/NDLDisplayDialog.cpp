#include "ui/results/NDLDisplayDialog.h"

#include "editor/BuildCommands.h"

CNDLDisplayDialog::CNDLDisplayDialog(wxWindow* parent, CKorvaneView* view, const std::string& ndl)
    : CTextDisplayDialog(parent, view, "Network NDL for Verav Ezerez", ID_NDL_TEXT, ID_NDL_UPDATE, wxDefaultPosition,
                         wxSize(420, 520))
{
    ShowText(ndl);
}

std::string CNDLDisplayDialog::MakeText(CKorvaneDoc& doc) const
{
    return CBuildCommands::NDLText(doc);
}
