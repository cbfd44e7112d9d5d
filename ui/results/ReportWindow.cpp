#include "ui/results/ReportWindow.h"

#include <memory>
#include <string>

#include <wx/dcclient.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/html/htmlpars.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/sstream.h>
#include <wx/strconv.h>
#include <wx/sysopt.h>
#include <wx/utils.h>

#include "montecarlo/ReportText.h"
#include "ui/results/DataSchemeHandler.h"
#include "ui/results/ReportParts.h"

namespace {

// How often the page's length is given to the toolkit while parts arrive below the window.
constexpr std::size_t kTurnsPerLength = 8;

// The page read as the window's HTML filter reads it, but the character set named in the page is
// looked for in its head only: the filter parses all of the page for it, and flat, in time that
// grows with the square of its length.
wxString ReadHtml(wxFSFile& file)
{
    wxInputStream& in = *file.GetStream();
    const wxString type = file.GetMimeType();
    const int named = type.Find("; charset=");
    if (named != wxNOT_FOUND) {
        wxCSConv conversion(type.Mid(static_cast<std::size_t>(named) + 10));
        wxString text;
        wxStringOutputStream out(&text, conversion);
        in.Read(out);
        return text;
    }
    wxMemoryOutputStream bytes;
    in.Read(bytes);
    const char* data = static_cast<const char*>(bytes.GetOutputStreamBuffer()->GetBufferStart());
    const std::size_t size = static_cast<std::size_t>(bytes.GetSize());
    const wxString text(data, wxConvISO8859_1, size);
    const wxString charset = wxHtmlParser::ExtractCharsetInformation(CReportParts::Linear(text.Left(64u << 10)));
    if (charset.empty())
        return text;
    wxCSConv conversion(charset);
    return wxString(data, conversion, size);
}

std::string Escaped(const wxString& text)
{
    return korvane::EscapeHtml(text.utf8_string());
}

}  // namespace

CReportWindow::CReportWindow(wxWindow* parent, long style, std::size_t turnLength)
    : wxHtmlWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, style), m_turnLength(turnLength)
{
    Bind(wxEVT_IDLE, &CReportWindow::OnIdle, this);
    Bind(wxEVT_DPI_CHANGED, &CReportWindow::OnDPIChanged, this);
}

CReportWindow::~CReportWindow() = default;

void CReportWindow::SetUpToolkit()
{
    // Without this the window takes the type of a file from the desktop's MIME database, which may
    // call ".htm" plain text and show the report's source.
    wxSystemOptions::SetOption("filesys.no-mimetypesmanager", 1);
    if (!wxFileSystem::HasHandlerForPath("data:,"))
        wxFileSystem::AddHandler(new CDataSchemeHandler);
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler);
}

std::shared_ptr<const wxString> CReportWindow::GetSource() const
{
    return m_parts ? m_parts->GetSource() : std::make_shared<const wxString>();
}

bool CReportWindow::SetPage(const wxString& source)
{
    return ShowSource(std::make_shared<const wxString>(source));
}

bool CReportWindow::ShowSource(std::shared_ptr<const wxString> source)
{
    // The window's own page setting drops the selection and everything else that points into the
    // cells of the page before.
    if (!wxHtmlWindow::SetPage(wxString()))
        return false;
    m_cuts.clear();
    std::size_t turn = 0;
    for (std::size_t start : CReportParts::Starts(*source))
        if (start - turn >= m_turnLength)
            m_cuts.push_back(turn = start);
    m_cuts.push_back(source->length());
    m_parts = std::make_unique<CReportParts>(std::move(source));
    m_next = 0;
    m_pendingAnchor.clear();
    m_offered.clear();
    wxDELETE(m_Cell);
    LayOut(m_cuts[m_next++]);
    return true;
}

wxHtmlContainerCell* CReportWindow::LayOut(std::size_t end)
{
    const bool first = m_Cell == nullptr;
    const int laidOutHeight = first ? 0 : m_Cell->GetHeight();
    wxClientDC dc(this);
    dc.SetMapMode(wxMM_TEXT);
    double pixelScale = 1.0;
#ifndef wxHAS_DPI_INDEPENDENT_PIXELS
    pixelScale = GetDPIScaleFactor();
#endif
    wxHtmlContainerCell* part = m_parts->ParseTo(end, *m_Parser, dc, pixelScale, 1.0, m_Cell);
    m_Cell->SetIndent(m_Borders, wxHTML_INDENT_ALL, wxHTML_UNITS_PIXELS);
    // On the left, where the report's rules are meant (the window centres what is narrower than
    // the page).
    m_Cell->SetAlignHor(wxHTML_ALIGN_LEFT);

    // A part below the window only lengthens the page. The window's own layout gives the page's
    // new length to the toolkit, which then lays out and draws the whole window again: while
    // parts arrive below the window, it is done every few turns.
    const bool inView = first || laidOutHeight < CalcUnscrolledPosition(wxPoint(0, GetClientSize().y)).y;
    m_lengthKnown = inView || IsComplete() || m_next % kTurnsPerLength == 0;
    if (m_lengthKnown)
        CreateLayout();
    else
        m_Cell->Layout(GetClientSize().x);
    if (inView)
        Refresh();
    return part;
}

void CReportWindow::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    if (IsComplete())
        return;
    const wxHtmlContainerCell* part = LayOut(m_cuts[m_next++]);
    if (!m_pendingAnchor.empty()) {
        const bool arrived = part->Find(wxHTML_COND_ISANCHOR, &m_pendingAnchor) != nullptr;
        if (arrived)
            ScrollTo(m_pendingAnchor);
        if (arrived || IsComplete())
            m_pendingAnchor.clear();  // one never written is not looked for again
    }
    if (!IsComplete())
        event.RequestMore();
}

bool CReportWindow::GoToAnchor(const wxString& anchor)
{
    if (!IsComplete() && m_Cell->Find(wxHTML_COND_ISANCHOR, &anchor) == nullptr) {
        m_pendingAnchor = anchor;
        return true;
    }
    m_pendingAnchor.clear();
    return ScrollTo(anchor);
}

bool CReportWindow::ScrollTo(const wxString& anchor)
{
    // The window scrolls no further than the page's length it was given last.
    if (!m_lengthKnown) {
        CreateLayout();
        m_lengthKnown = true;
    }
    return ScrollToAnchor(anchor);
}

bool CReportWindow::LoadPage(const wxString& location)
{
    const int hash = location.Find('#');
    const wxString page = hash == wxNOT_FOUND ? location : location.Left(static_cast<std::size_t>(hash));
    const wxString anchor = hash == wxNOT_FOUND ? wxString() : location.Mid(static_cast<std::size_t>(hash) + 1);
    if (hash != wxNOT_FOUND && (page.empty() || page == m_OpenedPage || m_FS->GetPath() + page == m_OpenedPage))
        return GoToAnchor(anchor);

    std::unique_ptr<wxFSFile> file(m_Parser->OpenURL(wxHTML_URL_PAGE, page));
    if (!file)
        file.reset(m_Parser->OpenURL(wxHTML_URL_PAGE, wxFileSystem::FileNameToURL(wxFileName(page))));
    // Measured before it is read: a stored report path may name any file.
    const wxFileOffset length = file && file->GetStream() != nullptr ? file->GetStream()->GetLength() : 0;
    if (length != wxInvalidOffset && static_cast<std::uintmax_t>(length) > kLargestShown) {
        Offer(file->GetLocation(), static_cast<std::uintmax_t>(length));
        return true;
    }
    // Other types, and the failure to open, as the window has them.
    if (!file || file->GetStream() == nullptr || !file->GetMimeType().StartsWith("text/html")) {
        file.reset();
        return wxHtmlWindow::LoadPage(page) && (anchor.empty() || GoToAnchor(anchor));
    }

    wxBusyCursor busy;
    m_FS->ChangePathTo(file->GetLocation());
    ShowSource(std::make_shared<const wxString>(ReadHtml(*file)));
    m_OpenedPage = file->GetLocation();
    if (m_OpenedPageTitle.empty())
        OnSetTitle(wxFileNameFromPath(m_OpenedPage));
    if (anchor.empty())
        Scroll(0, 0);
    return anchor.empty() || GoToAnchor(anchor);
}

void CReportWindow::Offer(const wxString& url, std::uintmax_t bytes)
{
    const wxString name = wxFileSystem::URLToFileName(url).GetFullPath();
    SetPage(wxString::FromUTF8("<p>The report " + Escaped(name) + " is " +
                               korvane::FixedText(static_cast<double>(bytes) / (1u << 20), 1) +
                               " MB, too large to show here.</p><p><a href=\"" + Escaped(url) +
                               "\">Open it in the web browser</a></p>"));
    m_offered = url;
}

void CReportWindow::OnLinkClicked(const wxHtmlLinkInfo& link)
{
    if (!m_offered.empty() && link.GetHref() == m_offered)
        wxLaunchDefaultBrowser(m_offered);
    else
        wxHtmlWindow::OnLinkClicked(link);
}

void CReportWindow::OnDPIChanged(wxDPIChangedEvent&)
{
    // The window would lay out again only the part it parsed last.
    const wxString page = m_OpenedPage;
    const wxString offered = m_offered;
    ShowSource(GetSource());
    m_OpenedPage = page;
    m_offered = offered;
}
