#include "ui/NetworkPrintout.h"

#include "editor/ViewTransform.h"
#include "ui/KorvaneView.h"
#include "ui/NetworkDocument.h"
#include "ui/WidgetFigures.h"

CNetworkPrintout::CNetworkPrintout(CKorvaneView* view)
    : wxPrintout(view->GetDocument()->GetUserReadableName()), m_view(view)
{
}

void CNetworkPrintout::GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo)
{
    *minPage = *maxPage = *selFrom = *selTo = 1;
}

bool CNetworkPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (dc == nullptr || page != 1)
        return false;
    int ppiX = 0, ppiY = 0;
    GetPPIPrinter(&ppiX, &ppiY);
    int pageWidth = 0, pageHeight = 0;
    GetPageSizePixels(&pageWidth, &pageHeight);
    int dcWidth = 0, dcHeight = 0;
    dc->GetSize(&dcWidth, &dcHeight);
    if (ppiX <= 0 || pageWidth <= 0)
        return false;
    // The preview draws on a smaller context than the printer's page.
    const double fit = static_cast<double>(dcWidth) / pageWidth;
    const double scale = ZoomScale(true, m_view->GetController().GetZoom(), ppiX) * fit;
    DisableAntialiasing(*dc);
    dc->SetDeviceOrigin(0, 0);
    dc->SetUserScale(scale, scale);
    m_view->DrawNetwork(*dc);
    return true;
}
