#include "ui/results/ReportParts.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include <wx/dcgraph.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmlpars.h>
#include <wx/html/winpars.h>

namespace {

// The report's first words and the heads its parts start with, as the Monte Carlo run writes them.
const std::string_view kReportHead = "<b><font size=\"4\">Network name :";
const std::string_view kLoadPointSection = "<p><u><b><a name = \"";
const std::string_view kSystemSections = "<u><B>Detailed overall network value</B></u>";
// A part starts with the line break before its head: laid out in one piece, that break opens the
// empty line the head then takes; a part of its own opens it itself and so lays out the same.
const std::string_view kLineBreak = "<br>";

}  // namespace

// The page: its parts one below the other.
class CReportPageCell : public wxHtmlContainerCell {
public:
    CReportPageCell() : wxHtmlContainerCell(nullptr) {}

    void Layout(int w) override
    {
        m_width = w;
        wxHtmlContainerCell::Layout(w);
    }
    // A part's height changed without the page's knowing.
    void Invalidate() { m_LastLayout = -1; }
    int GetLayoutWidth() const { return m_width; }

private:
    int m_width = -1;  // of the last layout
};

// A part of the page. It starts with its own colour and font, so what follows it does not depend
// on its cells: where it is not drawn it is not walked, and it may drop its cells. (The toolkit walks
// every cell it does not draw in every paint and every printed page, setting each font it meets,
// and for every page break it looks for; a long page took a large part of a second to draw, and
// minutes to paginate.) A selection's state still needs the walk.
class CReportPartCell : public wxHtmlContainerCell {
public:
    explicit CReportPartCell(wxHtmlContainerCell* page) : wxHtmlContainerCell(page) {}

    bool IsFilled() const { return m_filled; }
    bool IsMeasured() const { return m_measuredWidth >= 0 && m_measuredWidth == m_width; }
    bool WasMeasured() const { return m_measuredWidth >= 0; }
    int GetMeasuredHeight() const { return m_measuredHeight; }
    // The height a part never measured takes meanwhile.
    void Estimate(int height)
    {
        if (m_measuredWidth < 0)
            m_measuredHeight = height;
    }

    // Takes the cells of a parsed page.
    void Fill(wxHtmlContainerCell* parsed)
    {
        Empty();
        while (wxHtmlCell* cell = parsed->GetFirstChild()) {
            parsed->Detach(cell);
            InsertCell(cell);
        }
        m_filled = true;
    }
    void Empty()
    {
        for (wxHtmlCell* cell = m_Cells; cell != nullptr;) {
            wxHtmlCell* const next = cell->GetNext();
            delete cell;
            cell = next;
        }
        m_Cells = m_LastCell = nullptr;
        m_filled = false;
        m_LastLayout = -1;
    }

    // Without cells, the part keeps the height it had at the width it was last laid out at.
    void Layout(int w) override
    {
        m_width = w;
        if (m_filled) {
            wxHtmlContainerCell::Layout(w);
            m_measuredWidth = w;
            m_measuredHeight = m_Height;
            m_measuredExtent = m_Width;
            return;
        }
        wxHtmlCell::Layout(w);
        m_Height = m_measuredHeight;
        m_Width = w == m_measuredWidth ? m_measuredExtent : w;
    }
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

private:
    bool m_filled = false;
    int m_width = -1;  // of the last layout
    int m_measuredWidth = -1, m_measuredHeight = 0, m_measuredExtent = 0;  // of the last with cells
};

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
        const auto known = inFont->second.find(text);
        return known == inFont->second.end() ? nullptr : &known->second;
    }
    const Extent& Add(const wxFont& font, const wxString& text, const Extent& extent)
    {
        auto inFont = m_extents.find(font.GetRefData());
        if (inFont == m_extents.end()) {
            m_fonts.push_back(font);  // kept, so that no other font takes the address a key holds
            inFont = m_extents.emplace(font.GetRefData(), Extents()).first;
        }
        return inFont->second.emplace(text, extent).first->second;
    }

private:
    using Extents = std::unordered_map<wxString, Extent>;

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

namespace {

// The names of the anchors in a text, as the toolkit reads them: each "<a" tag read alone.
class CAnchorNames : public wxHtmlParser {
public:
    CAnchorNames() { AddTagHandler(new CNameHandler(m_names)); }

    // Of the UTF-8 text from `begin` to `end`.
    std::vector<wxString> Read(const std::string& text, std::size_t begin, std::size_t end)
    {
        std::string tags;
        for (std::size_t at = text.find('<', begin); at != std::string::npos && at + 2 < end;
             at = text.find('<', at + 1)) {
            if ((text[at + 1] != 'a' && text[at + 1] != 'A') || !std::isspace(static_cast<unsigned char>(text[at + 2])))
                continue;
            const std::size_t close = text.find('>', at);
            if (close == std::string::npos || close >= end)
                break;
            tags.append(text, at, close + 1 - at);
        }
        m_names.clear();
        if (!tags.empty())
            Parse(wxString::FromUTF8(tags));
        return m_names;
    }
    wxObject* GetProduct() override { return nullptr; }

protected:
    void AddText(const wxString&) override {}

private:
    class CNameHandler : public wxHtmlTagHandler {
    public:
        explicit CNameHandler(std::vector<wxString>& names) : m_names(names) {}
        wxString GetSupportedTags() override { return "A"; }
        bool HandleTag(const wxHtmlTag& tag) override
        {
            wxString name;
            if (tag.GetParamAsString("NAME", &name))
                m_names.push_back(name);
            return false;
        }

    private:
        std::vector<wxString>& m_names;
    };

    std::vector<wxString> m_names;
};

}  // namespace

CReportParts::CReportParts(std::shared_ptr<const std::string> source)
    : m_source(std::move(source)), m_ownedPage(std::make_unique<CReportPageCell>()), m_page(m_ownedPage.get()),
      m_extents(std::make_unique<CTextExtents>())
{
    m_starts = Starts(*m_source);
    m_starts.insert(m_starts.begin(), 0);
    m_starts.push_back(m_source->length());
    CAnchorNames names;
    for (std::size_t part = 0; part + 1 < m_starts.size(); ++part) {
        m_parts.push_back(new CReportPartCell(m_page));
        for (const wxString& name : names.Read(*m_source, m_starts[part], m_starts[part + 1]))
            m_anchors.emplace(name, part);  // the first part that holds it, as the page's own search finds
    }
}

CReportParts::~CReportParts() = default;

wxString CReportParts::Linear(const wxString& source)
{
    // A name no page uses, so that no end tag of the page can close it early.
    return "<korvane-page>" + source + "</korvane-page>";
}

std::vector<std::size_t> CReportParts::Starts(std::string_view source)
{
    std::vector<std::size_t> starts;
    if (source.substr(0, kReportHead.size()) != kReportHead)
        return starts;
    const auto addPart = [&](std::size_t head) {
        const std::size_t start = head - kLineBreak.length();
        if (head >= kLineBreak.length() && source.substr(start, kLineBreak.length()) == kLineBreak)
            starts.push_back(start);
    };
    for (std::size_t at = source.find(kLoadPointSection); at != std::string_view::npos;
         at = source.find(kLoadPointSection, at + 1))
        addPart(at);
    const std::size_t system = source.find(kSystemSections, starts.empty() ? 0 : starts.back());
    if (system != std::string_view::npos)
        addPart(system);
    return starts;
}

wxHtmlContainerCell* CReportParts::TakePage()
{
    return m_ownedPage.release();
}

wxHtmlContainerCell* CReportParts::GetPage() const
{
    return m_page;
}

int CReportParts::GetWidth() const
{
    return m_page->GetLayoutWidth();
}

std::size_t CReportParts::GetLength(std::size_t part) const
{
    return m_starts[part + 1] - m_starts[part];
}

bool CReportParts::IsFilled(std::size_t part) const
{
    return m_parts[part]->IsFilled();
}

std::size_t CReportParts::GetFilledCount() const
{
    std::size_t filled = 0;
    for (const CReportPartCell* part : m_parts)
        filled += part->IsFilled() ? 1 : 0;
    return filled;
}

bool CReportParts::IsMeasured(std::size_t part) const
{
    return m_parts[part]->IsMeasured();
}

std::size_t CReportParts::FirstUnmeasured() const
{
    std::size_t part = 0;
    while (part < m_parts.size() && m_parts[part]->IsMeasured())
        ++part;
    return part;
}

bool CReportParts::Relayout()
{
    if (m_page->GetLayoutWidth() < 0)
        return false;
    const int height = m_page->GetHeight();
    m_page->Invalidate();
    m_page->Layout(m_page->GetLayoutWidth());
    return m_page->GetHeight() != height;
}

int CReportParts::GetTop(std::size_t part) const
{
    return m_parts[part]->GetPosY();
}

int CReportParts::GetHeight(std::size_t part) const
{
    return m_parts[part]->GetHeight();
}

std::pair<std::size_t, std::size_t> CReportParts::PartsAt(int top, int bottom) const
{
    std::size_t first = 0;
    while (first < m_parts.size() && m_parts[first]->GetPosY() + m_parts[first]->GetHeight() <= top)
        ++first;
    std::size_t last = first;
    while (last < m_parts.size() && m_parts[last]->GetPosY() <= bottom && m_parts[last]->GetHeight() > 0)
        ++last;
    return {first, last};
}

std::size_t CReportParts::PartOf(const wxHtmlCell* cell) const
{
    while (cell != nullptr && cell->GetParent() != m_page)
        cell = cell->GetParent();
    return static_cast<std::size_t>(std::find(m_parts.begin(), m_parts.end(), cell) - m_parts.begin());
}

void CReportParts::Fill(std::size_t part, const Layout& layout)
{
    const bool first = part == 0;
    const bool last = part + 1 == m_parts.size();
    const wxString text = wxString::FromUTF8(m_source->data() + m_starts[part], GetLength(part));
    // The steps of wxHtmlParser::Parse but the last, which would take the spacing off both ends of
    // every part rather than off the page's own ends.
    CMeasuringDC measuring(layout.dc, *m_extents);
    wxHtmlWinParser& parser = layout.parser;
    parser.SetDC(&measuring, layout.pixelScale, layout.fontScale);
    parser.InitParser(Linear(text));
    wxHtmlContainerCell* parsed = parser.GetContainer();
    while (parsed->GetParent() != nullptr)
        parsed = parsed->GetParent();
    parser.DoParsing();
    if (last) {
        parser.CloseContainer();
        parser.OpenContainer();
    }
    parser.DoneParser();
    parser.SetDC(nullptr);

    m_parts[part]->Fill(parsed);
    delete parsed;
    m_parts[part]->RemoveExtraSpacing(first, last);
    m_page->Invalidate();
}

void CReportParts::Estimate()
{
    // From the parts measured, but the first if others were: it holds the table of all load
    // points, denser than their sections.
    long long height = 0, length = 0;
    for (std::size_t part = m_parts.size() > 1 && m_parts[1]->WasMeasured() ? 1 : 0; part < m_parts.size(); ++part)
        if (m_parts[part]->WasMeasured()) {
            height += m_parts[part]->GetMeasuredHeight();
            length += static_cast<long long>(GetLength(part));
        }
    if (length == 0)
        return;
    for (std::size_t part = 0; part < m_parts.size(); ++part)
        m_parts[part]->Estimate(static_cast<int>(height * static_cast<long long>(GetLength(part)) / length));
    m_page->Invalidate();
}

void CReportParts::Empty(std::size_t part)
{
    if (!m_parts[part]->IsFilled())
        return;
    m_parts[part]->Empty();
    m_page->Invalidate();
}

bool CReportParts::FindAnchor(const wxString& name, std::size_t* part) const
{
    const auto found = m_anchors.find(name);
    if (found == m_anchors.end())
        return false;
    *part = found->second;
    return true;
}
