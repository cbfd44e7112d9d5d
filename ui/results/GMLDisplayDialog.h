// The "Network GML for Analytical" window.
#pragma once

#include "ui/results/TextDisplayDialog.h"

class CGMLDisplayDialog : public CTextDisplayDialog {
public:
    enum { ID_GML_TEXT = 1154, ID_GML_UPDATE = 1151 };

    CGMLDisplayDialog(wxWindow* parent, CKorvaneView* view, const std::string& gml);

protected:
    std::string MakeText(CKorvaneDoc& doc) const override;
};
