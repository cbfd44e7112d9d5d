#include "ui/results/ReportPrintout.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <utility>

#include <gtk/gtk.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/gtk/print.h>
#include <wx/html/htmlcell.h>
#include <wx/progdlg.h>
#include <wx/utils.h>

#include "ui/results/ReportParts.h"

namespace {

// As the toolkit's HTML printout has them: margins of 25.2 mm, a 12-point font, and sizes in
// pixels of a 96 dpi screen scaled to the printer.
constexpr float kMarginMM = 25.2f;
constexpr int kFontSize = 12;
constexpr double kScreenDpi = 96.0;
// How long a pagination runs before it shows its progress.
constexpr std::chrono::milliseconds kQuietPagination{300};

CReportPrintout::Progress g_progress;  // in place of the dialog

// The progress of a pagination that takes long, part by part; the application answers at each step
// while its windows wait.
class CPaginationProgress {
public:
    explicit CPaginationProgress(std::size_t parts) : m_parts(parts) {}

    // False once the user cancelled.
    bool Done(std::size_t parts)
    {
        if (g_progress)
            return g_progress(parts, m_parts);
        if (!m_dialog) {
            if (std::chrono::steady_clock::now() - m_start < kQuietPagination)
                return true;
            m_dialog = std::make_unique<wxProgressDialog>(wxTheApp->GetAppDisplayName(),
                                                          "Laying out the report's pages for printing",
                                                          static_cast<int>(m_parts), wxTheApp->GetTopWindow(),
                                                          wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_CAN_ABORT);
        }
        return m_dialog->Update(static_cast<int>(parts));
    }

private:
    std::size_t m_parts;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::unique_ptr<wxProgressDialog> m_dialog;
};

// The operation of the toolkit's print that a DC draws for, or null when it draws for none. The
// toolkit keeps a printer DC's print data, which holds the operation, to its own classes.
GtkPrintOperation* PrintOperationOf(wxDC& dc)
{
    struct Access : wxGtkPrinterDCImpl {
        static wxPrintData& Data(wxGtkPrinterDCImpl& impl) { return (impl.*&Access::GetPrintData)(); }
    };
    auto* printer = dynamic_cast<wxGtkPrinterDCImpl*>(dc.GetImpl());
    if (printer == nullptr)
        return nullptr;
    auto* native = dynamic_cast<wxGtkPrintNativeData*>(Access::Data(*printer).GetNativeData());
    return native != nullptr ? native->GetPrintJob() : nullptr;
}

}  // namespace

CReportPrintout::CReportPrintout(const wxString& title, std::shared_ptr<const std::string> source,
                                 const wxString& location)
    : wxPrintout(title), m_source(std::move(source))
{
    m_files.ChangePathTo(location, false);
    m_parser.SetFS(&m_files);
    m_parser.SetStandardFonts(kFontSize);
}

CReportPrintout::~CReportPrintout() = default;

void CReportPrintout::SetProgress(Progress progress)
{
    g_progress = std::move(progress);
}

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
    m_pixelScale = printerY / kScreenDpi;
    m_fontScale = static_cast<double>(printerY) / screenY;
    const float perMMX = static_cast<float>(pageWidth) / widthMM;
    const float perMMY = static_cast<float>(pageHeight) / heightMM;
    return {static_cast<int>(perMMX * kMarginMM), static_cast<int>(perMMY * kMarginMM),
            static_cast<int>(perMMX * (widthMM - 2 * kMarginMM)), static_cast<int>(perMMY * (heightMM - 2 * kMarginMM))};
}

void CReportPrintout::OnPreparePrinting()
{
    wxBusyCursor wait;
    m_cancelled = false;
    wxDC& dc = *GetDC();
    const wxRect area = PrintArea(dc);
    m_parts = std::make_unique<CReportParts>(m_source);
    wxHtmlContainerCell& page = *m_parts->GetPage();
    page.SetIndent(0, wxHTML_INDENT_ALL, wxHTML_UNITS_PIXELS);
    page.Layout(area.width);

    // The toolkit's pagination (wxHtmlDCRenderer::FindNextPageBreak), a part at a time: each break
    // is moved up out of the lines it cuts while the part it falls in holds its cells.
    const CReportParts::Layout layout{m_parser, dc, m_pixelScale, m_fontScale};
    CPaginationProgress progress(m_parts->GetCount());
    m_breaks.assign(1, 0);
    for (std::size_t part = 0; part < m_parts->GetCount(); ++part) {
        m_parts->Fill(part, layout);
        m_parts->Relayout();
        const int bottom = m_parts->GetTop(part) + m_parts->GetHeight(part);
        while (m_breaks.back() + area.height < bottom) {
            int next = m_breaks.back() + area.height;
            page.AdjustPagebreak(&next, area.height);
            if (next <= m_breaks.back())
                return;  // the toolkit's pagination stops there too
            m_breaks.push_back(next);
        }
        m_parts->Empty(part);
        if (!progress.Done(part + 1)) {
            Cancel();
            return;
        }
    }
    m_parts->Relayout();
    while (m_breaks.back() == 0 || m_breaks.back() < page.GetHeight())
        m_breaks.push_back(m_breaks.back() + area.height);
}

void CReportPrintout::Cancel()
{
    m_cancelled = true;
    m_breaks.assign(1, 0);
    // The toolkit's print calls this as its job begins: cancelled there, the job ends without a
    // page drawn and is not sent, and the print says nothing more.
    if (GtkPrintOperation* operation = PrintOperationOf(*GetDC()))
        gtk_print_operation_cancel(operation);
    // A preview closes once it is done with this printout, which it owns.
    if (IsPreview() && GetPreview()->GetFrame() != nullptr) {
        wxFrame* frame = GetPreview()->GetFrame();
        frame->CallAfter([frame] { frame->Close(true); });
    }
}

bool CReportPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (dc == nullptr || !dc->IsOk())
        return false;
    if (!HasPage(page))
        return true;
    wxBusyCursor wait;
    const wxRect area = PrintArea(*dc);
    const int from = m_breaks[page - 1], height = m_breaks[page] - from;
    // Only the parts on this page hold their cells.
    const auto [first, last] = m_parts->PartsAt(from, from + height - 1);
    const CReportParts::Layout layout{m_parser, *dc, m_pixelScale, m_fontScale};
    for (std::size_t part = 0; part < m_parts->GetCount(); ++part) {
        if (part < first || part >= last)
            m_parts->Empty(part);
        else if (!m_parts->IsFilled(part))
            m_parts->Fill(part, layout);
    }
    m_parts->Relayout();

    // As wxHtmlDCRenderer::Render draws a page.
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc->SetBrush(*wxWHITE_BRUSH);
    wxHtmlRenderingInfo info;
    wxDefaultHtmlRenderingStyle style;
    info.SetStyle(&style);
    wxDCClipper clip(*dc, area.x, area.y, area.width, height);
    m_parts->GetPage()->Draw(*dc, area.x, area.y - from, area.y, area.y + height, info);
    return true;
}

bool CReportPrintout::HasPage(int page)
{
    return page > 0 && static_cast<std::size_t>(page) < m_breaks.size();
}

void CReportPrintout::GetPageInfo(int* minPage, int* maxPage, int* selectedFrom, int* selectedTo)
{
    const int pages = static_cast<int>(m_breaks.size()) - 1;  // -1 before the pagination
    *minPage = 1;
    // A cancelled pagination has none, but the toolkit takes no last page before the first.
    *maxPage = pages < 0 ? INT_MAX : std::max(pages, 1);
    *selectedFrom = 1;
    // Before the pagination, no last page: the print's dialog offers all pages (a last page
    // before the first made it offer the first alone, and print that).
    *selectedTo = std::max(pages, 0);
}
