#include "ui/results/ReportWindow.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

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
std::string ReadHtml(wxFSFile& file)
{
    wxInputStream& in = *file.GetStream();
    const wxString type = file.GetMimeType();
    const int named = type.Find("; charset=");
    if (named != wxNOT_FOUND) {
        wxCSConv conversion(type.Mid(static_cast<std::size_t>(named) + 10));
        wxString text;
        wxStringOutputStream out(&text, conversion);
        in.Read(out);
        return text.utf8_string();
    }
    std::vector<char> bytes(1u << 16);
    const auto read = [&] { return in.IsOk() ? in.Read(bytes.data(), bytes.size()).LastRead() : 0; };
    std::size_t got = read();
    const wxString head(bytes.data(), wxConvISO8859_1, got);
    const wxString charset = wxHtmlParser::ExtractCharsetInformation(CReportParts::Linear(head));
    if (!charset.empty()) {
        wxMemoryOutputStream all;
        all.Write(bytes.data(), got);
        in.Read(all);
        wxCSConv conversion(charset);
        return wxString(static_cast<const char*>(all.GetOutputStreamBuffer()->GetBufferStart()), conversion,
                        static_cast<std::size_t>(all.GetSize()))
            .utf8_string();
    }
    // Latin-1, kept as UTF-8 and read a piece at a time: a page's text as the toolkit's strings hold
    // it, four bytes a character, and a copy of its bytes took longer to read than the page's head
    // to lay out, and most of the page's memory.
    std::string text;
    const wxFileOffset length = in.GetLength();
    if (length > 0)
        text.reserve(static_cast<std::size_t>(length));
    for (; got > 0; got = read())
        for (std::size_t at = 0; at < got; ++at) {
            const auto byte = static_cast<unsigned char>(bytes[at]);
            if (byte < 0x80) {
                text += static_cast<char>(byte);
            } else {
                text += static_cast<char>(0xC0 | (byte >> 6));
                text += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
    return text;
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
    Bind(wxEVT_PAINT, &CReportWindow::OnPaint, this);
    Bind(wxEVT_SIZE, &CReportWindow::OnSize, this);
    Bind(wxEVT_DPI_CHANGED, &CReportWindow::OnDPIChanged, this);
}

CReportWindow::~CReportWindow()
{
    m_parts.reset();  // before the window deletes the page's cells
}

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

std::shared_ptr<const std::string> CReportWindow::GetSource() const
{
    return m_parts ? m_parts->GetSource() : std::make_shared<const std::string>();
}

bool CReportWindow::IsWhole() const
{
    return !m_parts || m_estimated || IsComplete();
}

bool CReportWindow::IsComplete() const
{
    return !m_parts || m_parts->FirstUnmeasured() == m_parts->GetCount();
}

bool CReportWindow::SetPage(const wxString& source)
{
    return ShowSource(std::make_shared<const std::string>(source.utf8_string()));
}

bool CReportWindow::ShowSource(std::shared_ptr<const std::string> source)
{
    m_parts.reset();
    // The window's own page setting drops the selection and everything else that points into the
    // cells of the page before.
    if (!wxHtmlWindow::SetPage(wxString()))
        return false;
    wxDELETE(m_Cell);
    m_parts = std::make_unique<CReportParts>(std::move(source));
    m_Cell = m_parts->TakePage();
    m_Cell->SetIndent(m_Borders, wxHTML_INDENT_ALL, wxHTML_UNITS_PIXELS);
    // On the left, where the report's rules are meant (the window centres what is narrower than
    // the page).
    m_Cell->SetAlignHor(wxHTML_ALIGN_LEFT);
    m_turns = 0;
    m_estimated = false;
    m_hold = ViewHold();
    m_offered.clear();
    MeasureTurn();
    return true;
}

int CReportWindow::ScrollUnit() const
{
    int unitX = 0, unitY = 0;
    GetScrollPixelsPerUnit(&unitX, &unitY);
    return unitY > 0 ? unitY : 1;
}

void CReportWindow::Fill(const std::vector<std::size_t>& parts)
{
    wxClientDC dc(this);
    dc.SetMapMode(wxMM_TEXT);
    double pixelScale = 1.0;
#ifndef wxHAS_DPI_INDEPENDENT_PIXELS
    pixelScale = GetDPIScaleFactor();
#endif
    const CReportParts::Layout layout{*m_Parser, dc, pixelScale, 1.0};
    for (std::size_t part : parts)
        m_parts->Fill(part, layout);
}

void CReportWindow::MeasureTurn()
{
    HoldView();
    const bool first = m_turns++ == 0;
    std::vector<std::size_t> parts;
    std::size_t length = 0;
    // The first turn shows the page's head alone, the sooner.
    for (std::size_t part = m_parts->FirstUnmeasured();
         part < m_parts->GetCount() && length < (first ? 1 : m_turnLength); ++part) {
        if (m_parts->IsMeasured(part))
            continue;
        if (!m_parts->IsFilled(part))
            parts.push_back(part);
        length += m_parts->GetLength(part);
    }
    Fill(parts);

    // Once a load point's section is measured, the parts not measured yet take the height its text
    // would take meanwhile.
    const bool estimating = !m_estimated && (m_parts->GetCount() < 2 || m_parts->IsFilled(1) || m_parts->IsMeasured(1));
    const int laidOutHeight = m_Cell->GetHeight();
    if (first || estimating)
        CreateLayout();
    if (estimating) {
        m_parts->Estimate();
        m_estimated = true;
    }
    m_parts->Relayout();
    // Parts below the window only lengthen the page. The window's own layout gives the page's new
    // length to the toolkit, which then lays out and draws the whole window again: while parts
    // are measured below the window, it is done every few turns.
    const bool moved = m_hold.part < m_parts->GetCount() && HeldViewStart() != GetViewStart().y;
    const bool inView = first || estimating || laidOutHeight < CalcUnscrolledPosition(wxPoint(0, GetClientSize().y)).y;
    m_lengthKnown = inView || moved || IsComplete() || m_turns % kTurnsPerLength == 0;
    if (m_lengthKnown)
        CreateLayout();
    if (moved)
        RestoreView();
    EmptyFarParts();
    if (inView || moved)
        Refresh();
}

void CReportWindow::EmptyFarParts()
{
    // A selection being made points into the parts the mouse passed over.
    if (m_makingSelection)
        return;
    const int screen = GetClientSize().y;
    const int top = GetViewStart().y * ScrollUnit();
    const auto [first, last] = m_parts->PartsAt(top - screen, top + 2 * screen);
    // A selection points into the cells of its ends, and its text is that of the cells from one to
    // the other: the parts from one end to the other keep their cells while it lasts.
    std::size_t selectionFirst = 0, selectionLast = 0;
    if (m_selection != nullptr) {
        const std::size_t count = m_parts->GetCount();
        const std::size_t from = m_parts->PartOf(m_selection->GetFromCell());
        const std::size_t to = m_parts->PartOf(m_selection->GetToCell());
        const bool found = from < count && to < count;
        selectionFirst = found ? std::min(from, to) : 0;
        selectionLast = found ? std::max(from, to) + 1 : count;
    }
    bool emptied = false;
    for (std::size_t part = 0; part < m_parts->GetCount(); ++part)
        if ((part < first || part >= last) && (part < selectionFirst || part >= selectionLast) &&
            m_parts->IsFilled(part)) {
            m_parts->Empty(part);
            emptied = true;
        }
    if (emptied) {
        // The mouse's last cell and link may have gone with them.
        m_tmpLastCell = nullptr;
        m_tmpLastLink = nullptr;
        m_parts->Relayout();
    }
}

void CReportWindow::HoldView()
{
    const int start = GetViewStart().y;
    if (m_hold.part < m_parts->GetCount() && start == m_hold.viewStart)
        return;  // not scrolled since: the view stays where it was meant to be
    m_hold = ViewHold();
    // The part at the view's top, or one that starts within the scroll step below it (the view
    // moves by whole steps, so an anchor's part usually starts just below the top).
    const int top = start * ScrollUnit();
    const int below = top + ScrollUnit() - 1;
    const std::size_t part = m_parts->PartsAt(below, below).first;
    if (top > 0 && part < m_parts->GetCount())
        m_hold = {part, top - m_parts->GetTop(part), start};
}

int CReportWindow::HeldViewStart() const
{
    return (m_parts->GetTop(m_hold.part) + m_hold.offset) / ScrollUnit();
}

void CReportWindow::RestoreView()
{
    if (!m_parts || m_hold.part >= m_parts->GetCount())
        return;
    const int start = HeldViewStart();
    if (start != GetViewStart().y)
        Scroll(-1, start);
    m_hold.viewStart = GetViewStart().y;
}

void CReportWindow::OnSize(wxSizeEvent& event)
{
    event.Skip();
    // The parts on show lay out again at the new width with the toolkit's layout, which follows;
    // the view goes back to what it showed after that.
    if (!m_parts)
        return;
    HoldView();
    CallAfter([this] {
        if (!m_parts)
            return;
        RestoreView();
        EmptyFarParts();
        Refresh();
    });
}

void CReportWindow::UpdateLength()
{
    if (!m_parts)
        return;
    CreateLayout();
    m_lengthKnown = true;
    Refresh();
}

void CReportWindow::OnPaint(wxPaintEvent& event)
{
    event.Skip();
    if (!m_parts)
        return;
    // The parts about to be drawn get their cells first.
    const wxRect box = GetUpdateRegion().GetBox();
    const int origin = GetViewStart().y * ScrollUnit();
    const auto [first, last] = m_parts->PartsAt(origin + box.GetTop(), origin + box.GetBottom());
    std::vector<std::size_t> parts;
    for (std::size_t part = first; part < last; ++part)
        if (!m_parts->IsFilled(part))
            parts.push_back(part);
    if (parts.empty())
        return;
    Fill(parts);
    // A part last measured at another width moves what is below it: the toolkit gets the page's
    // length, and draws it all again, once the paint is done.
    if (m_parts->Relayout())
        CallAfter(&CReportWindow::UpdateLength);
}

void CReportWindow::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    if (IsComplete()) {
        if (m_parts)
            EmptyFarParts();
        return;
    }
    MeasureTurn();
    if (!IsComplete())
        event.RequestMore();
}

bool CReportWindow::GoToAnchor(const wxString& anchor)
{
    if (m_Cell == nullptr)
        return false;
    std::size_t part = 0;
    if (m_parts && m_parts->FindAnchor(anchor, &part) && !m_parts->IsFilled(part)) {
        Fill({part});
        m_parts->Relayout();
        m_lengthKnown = false;
    }
    // The window scrolls no further than the page's length it was given last.
    if (!m_lengthKnown) {
        CreateLayout();
        m_lengthKnown = true;
    }
    m_hold = ViewHold();
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
    const std::uintmax_t bytes = length != wxInvalidOffset ? static_cast<std::uintmax_t>(length) : 0;
    if (bytes > kLargestShown) {
        Offer(file->GetLocation(), bytes);
        return true;
    }
    // Other types, and the failure to open, as the window has them.
    if (!file || file->GetStream() == nullptr || !file->GetMimeType().StartsWith("text/html")) {
        if (bytes > kLargestFlat) {
            Offer(file->GetLocation(), bytes);
            return true;
        }
        file.reset();
        return wxHtmlWindow::LoadPage(page) && (anchor.empty() || GoToAnchor(anchor));
    }

    wxBusyCursor busy;
    auto text = std::make_shared<const std::string>(ReadHtml(*file));
    if (text->size() > kLargestFlat && CReportParts::Starts(*text).empty()) {
        Offer(file->GetLocation(), std::max<std::uintmax_t>(bytes, text->size()));
        return true;
    }
    m_FS->ChangePathTo(file->GetLocation());
    ShowSource(std::move(text));
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
