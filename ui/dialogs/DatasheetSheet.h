// A widget's datasheet: a modal property sheet with its Monte Carlo page and its analytical page.
#pragma once

#include <wx/propdlg.h>

#include "editor/Datasheet.h"

class CKorvaneDoc;
class CDatasheetPage;

class CDatasheetSheet : public wxPropertySheetDialog {
public:
    // Builds the sheet and both pages on the values, which it edits in place.
    CDatasheetSheet(wxWindow* parent, CDatasheet& datasheet);

    // Refuses OK while a value is one the widget must not take.
    bool TransferDataFromWindow() override;

    // Shows the widget's datasheet. On OK the values go into the widget, and when one changed the
    // document is marked modified and its views redrawn. A widget the document no longer holds
    // gets no sheet. Returns whether the sheet ended with OK.
    static bool ShowDataSheet(wxWindow* parent, CKorvaneDoc& doc, CWidget& widget);

private:
    CDatasheetPage* MakeMonteCarloPage(wxWindow* book);
    CDatasheetPage* MakeAnalyticalPage(wxWindow* book);

    CDatasheet& m_datasheet;
};
