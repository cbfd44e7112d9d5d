// The "Network NDL for Verav Ezerez" window.
#pragma once

#include "ui/results/TextDisplayDialog.h"

class CNDLDisplayDialog : public CTextDisplayDialog {
public:
    enum { ID_NDL_TEXT = 1132, ID_NDL_UPDATE = 1135 };

    CNDLDisplayDialog(wxWindow* parent, CKorvaneView* view, const std::string& ndl);

protected:
    std::string MakeText(CKorvaneDoc& doc) const override;
};
