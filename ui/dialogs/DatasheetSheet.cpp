#include "ui/dialogs/DatasheetSheet.h"

#include <wx/bookctrl.h>

#include "model/KorvaneDoc.h"
#include "ui/dialogs/AnalyticalPages.h"
#include "ui/dialogs/FieldValidator.h"
#include "ui/dialogs/LoadPointDlg.h"
#include "ui/dialogs/MonteCarloPages.h"

CDatasheetSheet::CDatasheetSheet(wxWindow* parent, CDatasheet& datasheet) : m_datasheet(datasheet)
{
    Create(parent, wxID_ANY, wxString::FromUTF8(datasheet.GetTitle()));
    // Validation and transfer reach the pages through the book: wxWidgets 3.2 always recurses
    // (its wxWS_EX_VALIDATE_RECURSIVELY is 0).
    wxBookCtrlBase* book = GetBookCtrl();
    for (CDatasheetPage* page : {MakeMonteCarloPage(book), MakeAnalyticalPage(book)})
        book->AddPage(page, page->GetCaption());
    book->SetSelection(0);
    CreateButtons(wxOK | wxCANCEL);
    LayoutDialog();
}

CDatasheetPage* CDatasheetSheet::MakeMonteCarloPage(wxWindow* book)
{
    CDatasheet& d = m_datasheet;
    switch (d.GetMonteCarloPage()) {
    case MonteCarloPageKind::LineEquipment: return new CLineEquipmentDlg(book, d.m_lineEquipment);
    case MonteCarloPageKind::Component: return new CComponentDlg(book, d.m_component);
    case MonteCarloPageKind::Recloser: return new CRecloserDlg(book, d.m_recloser);
    case MonteCarloPageKind::LoadPoint: return new CLoadPointDlg(book, d.m_loadPoint);
    case MonteCarloPageKind::BusBar: break;
    }
    return new CBusBarDlg(book);
}

CDatasheetPage* CDatasheetSheet::MakeAnalyticalPage(wxWindow* book)
{
    CDatasheet& d = m_datasheet;
    switch (d.GetType()) {
    case WidgetType::Line: return new CAnalyticalLineDlg(book, d.m_analyticalFeeder);
    case WidgetType::CircuitBreaker: return new CAnalyticalCircuitBreakerDlg(book, d.m_analyticalFeeder);
    case WidgetType::Fuse: return new CAnalyticalFuseDialog(book, d.m_analyticalFeeder);
    case WidgetType::Recloser: return new CAnalyticalRecloserDlg(book, d.m_analyticalRecloser);
    case WidgetType::Isolator: return new CAnalyticalIsolatorDlg(book, d.m_analyticalFeeder);
    case WidgetType::LoadPoint: return new CAnalyticalLoadPointDlg(book, d.m_analyticalLoadPoint);
    case WidgetType::GenSource: return new CAnalyticalGenSourceDlg(book);
    case WidgetType::Equipment: return new CAnalyticalEquipmentDlg(book, d.m_analyticalFeeder);
    case WidgetType::Transformer: return new CAnalyticalTransformerDlg(book, d.m_analyticalFeeder);
    case WidgetType::BusBar: break;
    }
    return new CAnalyticalBusBarDlg(book);
}

bool CDatasheetSheet::TransferDataFromWindow()
{
    if (!wxPropertySheetDialog::TransferDataFromWindow())
        return false;
    // The pages' validators check each box; this is the last guard before the widget.
    if (const auto problem = m_datasheet.Check()) {
        ShowExclamation(this, problem->message, wxString::FromUTF8(problem->field));
        return false;
    }
    return true;
}

bool CDatasheetSheet::ShowDataSheet(wxWindow* parent, CKorvaneDoc& doc, CWidget& widget)
{
    if (!doc.Contains(&widget))
        return false;
    CDatasheet datasheet(widget, doc);
    CDatasheetSheet sheet(parent, datasheet);
    if (sheet.ShowModal() != wxID_OK)
        return false;
    if (datasheet.Store()) {
        doc.SetModifiedFlag();
        doc.UpdateAllViews(nullptr);
    }
    return true;
}
