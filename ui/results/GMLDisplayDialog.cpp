#include "ui/results/GMLDisplayDialog.h"

#include "editor/BuildCommands.h"

namespace {

// Placed right of the editor's usual area, as tall as a column of records needs.
wxPoint Position(wxWindow* parent)
{
    return parent != nullptr ? parent->ConvertDialogToPixels(wxPoint(600, 80)) : wxDefaultPosition;
}

wxSize Size(wxWindow* parent)
{
    return parent != nullptr ? parent->ConvertDialogToPixels(wxSize(129, 177)) : wxSize(260, 420);
}

}  // namespace

CGMLDisplayDialog::CGMLDisplayDialog(wxWindow* parent, CKorvaneView* view, const std::string& gml)
    : CTextDisplayDialog(parent, view, "Network GML for Analytical", ID_GML_TEXT, ID_GML_UPDATE, Position(parent),
                         Size(parent))
{
    ShowText(gml);
}

std::string CGMLDisplayDialog::MakeText(CKorvaneDoc& doc) const
{
    return CBuildCommands::GMLText(doc);
}
