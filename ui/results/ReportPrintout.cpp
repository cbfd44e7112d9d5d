#include "ui/results/ReportPrintout.h"

#include <climits>
#include <utility>

#include <wx/utils.h>

#include "ui/results/ReportParts.h"

namespace {

// As the toolkit's HTML printout has them: margins of 25.2 mm, a 12-point font, and sizes in
// pixels of a 96 dpi screen scaled to the printer.
constexpr float kMarginMM = 25.2f;
constexpr int kFontSize = 12;
constexpr double kScreenDpi = 96.0;

}  // namespace

CReportPrintout::CReportPrintout(const wxString& title, std::shared_ptr<const wxString> source,
                                 const wxString& location)
    : wxPrintout(title), m_source(std::move(source))
{
    m_files.ChangePathTo(location, false);
    m_parser.SetFS(&m_files);
    m_parser.SetStandardFonts(kFontSize);
}

CReportPrintout::~CReportPrintout() = default;

wxRect CReportPrintout::PrintArea(wxDC& dc)
{
    // The preview draws each page on a bitmap a few times smaller than the printer's page, and
    // text laid out at the printer's resolution gets underlines as thick as bars there: the
    // preview lays the pages out at the screen's resolution instead, and asks again before every
    // page, as it gives the page size in printer pixels each time. Printing keeps the printer's.
    int screenX = 0, screenY = 0, widthMM = 0, heightMM = 0;
    GetPPIScreen(&screenX, &screenY);
    GetPageSizeMM(&widthMM, &heightMM);
    if (IsPreview() && screenX > 0 && screenY > 0) {
        SetPPIPrinter(screenX, screenY);
        SetPageSizePixels(wxRound(widthMM * screenX / 25.4), wxRound(heightMM * screenY / 25.4));
    }

    int pageWidth = 0, pageHeight = 0, dcWidth = 0, dcHeight = 0, printerX = 0, printerY = 0;
    GetPageSizePixels(&pageWidth, &pageHeight);
    GetPPIPrinter(&printerX, &printerY);
    dc.GetSize(&dcWidth, &dcHeight);
    dc.SetUserScale(static_cast<double>(dcWidth) / pageWidth, static_cast<double>(dcHeight) / pageHeight);
    m_renderer.SetDC(&dc, printerY / kScreenDpi, static_cast<double>(printerY) / screenY);
    const float perMMX = static_cast<float>(pageWidth) / widthMM;
    const float perMMY = static_cast<float>(pageHeight) / heightMM;
    return {static_cast<int>(perMMX * kMarginMM), static_cast<int>(perMMY * kMarginMM),
            static_cast<int>(perMMX * (widthMM - 2 * kMarginMM)), static_cast<int>(perMMY * (heightMM - 2 * kMarginMM))};
}

void CReportPrintout::OnPreparePrinting()
{
    wxBusyCursor wait;
    wxDC& dc = *GetDC();
    const wxRect area = PrintArea(dc);
    int printerX = 0, printerY = 0, screenX = 0, screenY = 0;
    GetPPIPrinter(&printerX, &printerY);
    GetPPIScreen(&screenX, &screenY);

    CReportParts parts(m_source);
    wxHtmlContainerCell* page = nullptr;
    for (std::size_t start : CReportParts::Starts(*m_source))
        parts.ParseTo(start, m_parser, dc, printerY / kScreenDpi, static_cast<double>(printerY) / screenY, page);
    parts.ParseTo(m_source->length(), m_parser, dc, printerY / kScreenDpi, static_cast<double>(printerY) / screenY,
                  page);
    m_renderer.SetSize(area.width, area.height);
    m_renderer.SetHtmlCell(*page);
    m_page.reset(page);

    m_breaks.clear();
    for (int at = 0; at != wxNOT_FOUND; at = m_renderer.FindNextPageBreak(at))
        m_breaks.push_back(at);
}

bool CReportPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (dc == nullptr || !dc->IsOk())
        return false;
    if (HasPage(page)) {
        wxBusyCursor wait;
        const wxRect area = PrintArea(*dc);
        dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        m_renderer.Render(area.x, area.y, m_breaks[page - 1], m_breaks[page]);
    }
    return true;
}

bool CReportPrintout::HasPage(int page)
{
    return page > 0 && static_cast<std::size_t>(page) < m_breaks.size();
}

void CReportPrintout::GetPageInfo(int* minPage, int* maxPage, int* selectedFrom, int* selectedTo)
{
    *minPage = 1;
    *maxPage = m_breaks.empty() ? INT_MAX : static_cast<int>(m_breaks.size()) - 1;
    *selectedFrom = 1;
    *selectedTo = static_cast<int>(m_breaks.size()) - 1;
}
