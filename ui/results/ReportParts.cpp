#include "ui/results/ReportParts.h"

#include <string>
#include <unordered_map>
#include <utility>

#include <wx/dcgraph.h>
#include <wx/html/htmlcell.h>
#include <wx/html/winpars.h>

namespace {

// The report's first words and the heads its parts start with, as the Monte Carlo run writes them.
const wxString kReportHead = "<b><font size=\"4\">Network name :";
const wxString kLoadPointSection = "<p><u><b><a name = \"";
const wxString kSystemSections = "<u><B>Detailed overall network value</B></u>";
// A part starts with the line break before its head: laid out in one piece, that break opens the
// empty line the head then takes; a part of its own opens it itself and so lays out the same.
const wxString kLineBreak = "<br>";

// A later part of a page, below the parts before. It starts with its own colour and font, so what
// follows it does not depend on its cells: where it is not drawn it is not walked. (The toolkit
// walks every cell it does not draw in every paint and every printed page, setting each font it
// meets, and for every page break it looks for; a long page took a large part of a second to draw,
// and minutes to paginate.) A selection's state still needs the walk.
class CPartCell : public wxHtmlContainerCell {
public:
    using wxHtmlContainerCell::wxHtmlContainerCell;

    void DrawInvisible(wxDC& dc, int x, int y, wxHtmlRenderingInfo& info) override
    {
        if (info.GetSelection() != nullptr)
            wxHtmlContainerCell::DrawInvisible(dc, x, y, info);
    }
    // Only a part across the break can move it.
    bool AdjustPagebreak(int* pagebreak, int pageHeight) const override
    {
        if (*pagebreak <= GetPosY() || *pagebreak >= GetPosY() + GetHeight())
            return false;
        return wxHtmlContainerCell::AdjustPagebreak(pagebreak, pageHeight);
    }
};

}  // namespace

// The extents of a page's words measured so far, in each font. A report repeats a few hundred
// words thousands of times (its histograms' probabilities are counts of years), and measuring
// words with the toolkit was most of the time a page took to lay out.
class CTextExtents {
public:
    struct Extent {
        wxCoord width = 0, height = 0, descent = 0, externalLeading = 0;
    };

    // The extent of `text` in `font`, or null when it is not known yet.
    const Extent* Find(const wxFont& font, const wxString& text) const
    {
        const auto inFont = m_extents.find(font.GetRefData());
        if (inFont == m_extents.end())
            return nullptr;
        const auto known = inFont->second.find(text.ToStdWstring());
        return known == inFont->second.end() ? nullptr : &known->second;
    }
    const Extent& Add(const wxFont& font, const wxString& text, const Extent& extent)
    {
        auto inFont = m_extents.find(font.GetRefData());
        if (inFont == m_extents.end()) {
            m_fonts.push_back(font);  // kept, so that no other font takes the address a key holds
            inFont = m_extents.emplace(font.GetRefData(), Extents()).first;
        }
        return inFont->second.emplace(text.ToStdWstring(), extent).first->second;
    }

private:
    using Extents = std::unordered_map<std::wstring, Extent>;

    std::vector<wxFont> m_fonts;
    std::unordered_map<const wxObjectRefData*, Extents> m_extents;
};

namespace {

// Measures text as `real` does, through the page's extents. The parser only sets fonts and
// measures.
class CMeasuringDCImpl : public wxGCDCImpl {
public:
    CMeasuringDCImpl(wxDC* owner, wxDC& real, CTextExtents& extents)
        : wxGCDCImpl(owner), m_real(real), m_extents(extents)
    {
    }

    void SetFont(const wxFont& font) override { m_font = font; }
    wxCoord GetCharHeight() const override { return Real(m_font).GetCharHeight(); }
    wxCoord GetCharWidth() const override { return Real(m_font).GetCharWidth(); }
    void DoGetTextExtent(const wxString& text, wxCoord* width, wxCoord* height, wxCoord* descent,
                         wxCoord* externalLeading, const wxFont* font) const override
    {
        const wxFont& measured = font != nullptr ? *font : m_font;
        const CTextExtents::Extent* extent = m_extents.Find(measured, text);
        if (extent == nullptr) {
            CTextExtents::Extent measuring;
            Real(measured).GetTextExtent(text, &measuring.width, &measuring.height, &measuring.descent,
                                         &measuring.externalLeading);
            extent = &m_extents.Add(measured, text, measuring);
        }
        if (width != nullptr)
            *width = extent->width;
        if (height != nullptr)
            *height = extent->height;
        if (descent != nullptr)
            *descent = extent->descent;
        if (externalLeading != nullptr)
            *externalLeading = extent->externalLeading;
    }

private:
    // The real DC with the font set: only when it changes, as setting one costs as much as
    // measuring a word.
    wxDC& Real(const wxFont& font) const
    {
        if (font.IsOk() && font.GetRefData() != m_realFont.GetRefData()) {
            m_real.SetFont(font);
            m_realFont = font;
        }
        return m_real;
    }

    wxDC& m_real;
    mutable wxFont m_realFont;  // the font set on m_real last
    CTextExtents& m_extents;
};

class CMeasuringDC : public wxDC {
public:
    CMeasuringDC(wxDC& real, CTextExtents& extents) : wxDC(new CMeasuringDCImpl(this, real, extents)) {}
};

}  // namespace

CReportParts::CReportParts(std::shared_ptr<const wxString> source)
    : m_source(std::move(source)), m_extents(std::make_unique<CTextExtents>())
{
}

CReportParts::~CReportParts() = default;

wxString CReportParts::Linear(const wxString& source)
{
    // A name no page uses, so that no end tag of the page can close it early.
    return "<korvane-page>" + source + "</korvane-page>";
}

std::vector<std::size_t> CReportParts::Starts(const wxString& source)
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

wxHtmlContainerCell* CReportParts::ParseTo(std::size_t end, wxHtmlWinParser& parser, wxDC& dc, double pixelScale,
                                           double fontScale, wxHtmlContainerCell*& page)
{
    const bool first = page == nullptr;
    const bool last = end >= m_source->length();
    // The steps of wxHtmlParser::Parse but the last, which would take the spacing off both ends of
    // every part rather than off the page's own ends.
    CMeasuringDC measuring(dc, *m_extents);
    parser.SetDC(&measuring, pixelScale, fontScale);
    parser.InitParser(Linear(m_source->substr(m_parsed, end - m_parsed)));
    wxHtmlContainerCell* part = parser.GetContainer();
    while (part->GetParent() != nullptr)
        part = part->GetParent();
    parser.DoParsing();
    if (last) {
        parser.CloseContainer();
        parser.OpenContainer();
    }
    parser.DoneParser();
    parser.SetDC(nullptr);
    m_parsed = end;

    if (first) {
        page = part;
    } else {
        wxHtmlContainerCell* const parsed = part;
        part = new CPartCell(page);
        while (wxHtmlCell* cell = parsed->GetFirstChild()) {
            parsed->Detach(cell);
            cell->SetNext(nullptr);
            part->InsertCell(cell);
        }
        delete parsed;
    }
    part->RemoveExtraSpacing(first, last);
    return part;
}
