#include "ui/results/ReportWindow.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <wx/dcclient.h>
#include <wx/dcgraph.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/html/htmlpars.h>
#include <wx/html/winpars.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/sstream.h>
#include <wx/strconv.h>
#include <wx/sysopt.h>
#include <wx/utils.h>

#include "montecarlo/ReportText.h"
#include "ui/results/DataSchemeHandler.h"

namespace {

// The report's first words and the heads its parts start with, as the Monte Carlo run writes them.
const wxString kReportHead = "<b><font size=\"4\">Network name :";
const wxString kLoadPointSection = "<p><u><b><a name = \"";
const wxString kSystemSections = "<u><B>Detailed overall network value</B></u>";
// A part starts with the line break before its head: laid out in one piece, that break opens the
// empty line the head then takes; a part of its own opens it itself and so lays out the same.
const wxString kLineBreak = "<br>";
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
    const wxString charset = wxHtmlParser::ExtractCharsetInformation(CReportWindow::Linear(text.Left(64u << 10)));
    if (charset.empty())
        return text;
    wxCSConv conversion(charset);
    return wxString(data, conversion, size);
}

// A later part of a page, laid out below the parts before. It starts with its own colour and
// font, so what follows it does not depend on its cells: out of view it is not walked. (The window
// walks every cell it does not draw in every paint, setting each font it meets, and a long page
// took a large part of a second to draw.) A selection's state still needs the walk.
class CPartCell : public wxHtmlContainerCell {
public:
    using wxHtmlContainerCell::wxHtmlContainerCell;

    void DrawInvisible(wxDC& dc, int x, int y, wxHtmlRenderingInfo& info) override
    {
        if (info.GetSelection() != nullptr)
            wxHtmlContainerCell::DrawInvisible(dc, x, y, info);
    }
};

}  // namespace

// The extents of the words of a page measured so far, in each font. A report repeats a few hundred
// words thousands of times (its histograms' probabilities are counts of years), and measuring
// words with the toolkit was most of the time a page took to lay out.
class CTextExtents {
public:
    struct Extent {
        wxCoord width = 0, height = 0, descent = 0, externalLeading = 0;
    };

    // The extent of `text` in `font`, measured with `real` when it is new.
    const Extent& Of(const wxString& text, const wxFont& font, wxDC& real)
    {
        auto inFont = m_extents.find(font.GetRefData());
        if (inFont == m_extents.end()) {
            m_fonts.push_back(font);  // kept, so that no other font takes the address a key holds
            inFont = m_extents.emplace(font.GetRefData(), Extents()).first;
        }
        std::wstring word = text.ToStdWstring();
        auto known = inFont->second.find(word);
        if (known == inFont->second.end()) {
            Extent extent;
            In(font, real).GetTextExtent(text, &extent.width, &extent.height, &extent.descent, &extent.externalLeading);
            known = inFont->second.emplace(std::move(word), extent).first;
        }
        return known->second;
    }

    // The real DC with the font set: only when it changes, as setting one costs as much as
    // measuring a word.
    wxDC& In(const wxFont& font, wxDC& real)
    {
        if (font.IsOk() && font.GetRefData() != m_realFont.GetRefData()) {
            real.SetFont(font);
            m_realFont = font;
        }
        return real;
    }

private:
    using Extents = std::unordered_map<std::wstring, Extent>;

    std::vector<wxFont> m_fonts;
    std::unordered_map<const wxObjectRefData*, Extents> m_extents;
    wxFont m_realFont;  // the font set on the real DC last
};

namespace {

// Measures text as the window's own DC does, through the page's extents. The parser only sets
// fonts and measures.
class CMeasuringDCImpl : public wxGCDCImpl {
public:
    CMeasuringDCImpl(wxDC* owner, wxDC& real, CTextExtents& extents)
        : wxGCDCImpl(owner), m_real(real), m_extents(extents)
    {
    }

    void SetFont(const wxFont& font) override { m_font = font; }
    wxCoord GetCharHeight() const override { return m_extents.In(m_font, m_real).GetCharHeight(); }
    wxCoord GetCharWidth() const override { return m_extents.In(m_font, m_real).GetCharWidth(); }
    void DoGetTextExtent(const wxString& text, wxCoord* width, wxCoord* height, wxCoord* descent,
                         wxCoord* externalLeading, const wxFont* font) const override
    {
        const CTextExtents::Extent& extent = m_extents.Of(text, font != nullptr ? *font : m_font, m_real);
        if (width != nullptr)
            *width = extent.width;
        if (height != nullptr)
            *height = extent.height;
        if (descent != nullptr)
            *descent = extent.descent;
        if (externalLeading != nullptr)
            *externalLeading = extent.externalLeading;
    }

private:
    wxDC& m_real;
    CTextExtents& m_extents;
};

class CMeasuringDC : public wxDC {
public:
    CMeasuringDC(wxDC& real, CTextExtents& extents) : wxDC(new CMeasuringDCImpl(this, real, extents)) {}
};

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

wxString CReportWindow::Linear(const wxString& source)
{
    // A name no page uses, so that no end tag of the page can close it early.
    return "<korvane-page>" + source + "</korvane-page>";
}

std::vector<std::size_t> CReportWindow::PartStarts(const wxString& source)
{
    std::vector<std::size_t> starts;
    if (!source.StartsWith(kReportHead))
        return starts;
    const auto addPart = [&](std::size_t head) {
        const std::size_t start = head - kLineBreak.length();
        if (head >= kLineBreak.length() && source.compare(start, kLineBreak.length(), kLineBreak) == 0)
            starts.push_back(start);
    };
    for (std::size_t at = source.find(kLoadPointSection); at != wxString::npos;
         at = source.find(kLoadPointSection, at + 1))
        addPart(at);
    const std::size_t system = source.find(kSystemSections, starts.empty() ? 0 : starts.back());
    if (system != wxString::npos)
        addPart(system);
    return starts;
}

bool CReportWindow::SetPage(const wxString& source)
{
    // The window's own page setting drops the selection and everything else that points into the
    // cells of the page before.
    if (!wxHtmlWindow::SetPage(wxString()))
        return false;
    m_source = source;
    m_cuts.clear();
    std::size_t turn = 0;
    for (std::size_t start : PartStarts(source))
        if (start - turn >= m_turnLength)
            m_cuts.push_back(turn = start);
    m_cuts.push_back(source.length());
    m_next = 0;
    m_laidOut = 0;
    m_pendingAnchor.clear();
    m_offered.clear();
    m_extents = std::make_unique<CTextExtents>();
    LayOut(m_cuts[m_next++]);
    return true;
}

wxHtmlContainerCell* CReportWindow::LayOut(std::size_t end)
{
    const bool first = m_laidOut == 0;
    const bool last = end >= m_source.length();
    const int laidOutHeight = first ? 0 : m_Cell->GetHeight();
    wxClientDC dc(this);
    dc.SetMapMode(wxMM_TEXT);
    double pixelScale = 1.0;
#ifndef wxHAS_DPI_INDEPENDENT_PIXELS
    pixelScale = GetDPIScaleFactor();
#endif
    // The steps of wxHtmlParser::Parse but the last, which would take the spacing off both ends
    // of every part rather than off the page's own ends.
    CMeasuringDC measuring(dc, *m_extents);
    m_Parser->SetDC(&measuring, pixelScale, 1.0);
    m_Parser->InitParser(Linear(m_source.substr(m_laidOut, end - m_laidOut)));
    wxHtmlContainerCell* part = m_Parser->GetContainer();
    while (part->GetParent() != nullptr)
        part = part->GetParent();
    m_Parser->DoParsing();
    if (last) {
        m_Parser->CloseContainer();
        m_Parser->OpenContainer();
    }
    m_Parser->DoneParser();
    m_Parser->SetDC(nullptr);
    if (first) {
        delete m_Cell;
        m_Cell = part;
    } else {
        auto* parsed = part;
        part = new CPartCell(m_Cell);
        while (wxHtmlCell* cell = parsed->GetFirstChild()) {
            parsed->Detach(cell);
            cell->SetNext(nullptr);
            part->InsertCell(cell);
        }
        delete parsed;
    }
    part->RemoveExtraSpacing(first, last);
    m_laidOut = end;

    m_Cell->SetIndent(m_Borders, wxHTML_INDENT_ALL, wxHTML_UNITS_PIXELS);
    // On the left, where the report's rules are meant (the window centres what is narrower than
    // the page).
    m_Cell->SetAlignHor(wxHTML_ALIGN_LEFT);
    // A part below the window only lengthens the page. The window's own layout gives the page's
    // new length to the toolkit, which then lays out and draws the whole window again: while
    // parts arrive below the window, it is done every few turns.
    const bool inView = first || laidOutHeight < CalcUnscrolledPosition(wxPoint(0, GetClientSize().y)).y;
    m_lengthKnown = inView || last || m_next % kTurnsPerLength == 0;
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
    const wxString text = ReadHtml(*file);
    m_FS->ChangePathTo(file->GetLocation());
    SetPage(text);
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
    SetPage(wxString(m_source));
    m_OpenedPage = page;
    m_offered = offered;
}
