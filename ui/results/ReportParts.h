// A page cut into parts of which only some hold the HTML toolkit's cells: each part is laid out on
// its own, in time that grows with its own length, and together as the page laid out in one piece;
// a part keeps its height when its cells are dropped, so a report of any length costs the memory of
// the parts on show. The result page's window and its printout both lay reports out through it.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <wx/string.h>

class CTextExtents;
class CReportPageCell;
class CReportPartCell;
class wxDC;
class wxHtmlCell;
class wxHtmlContainerCell;
class wxHtmlWinParser;

class CReportParts {
public:
    // What lays a part out: the parser, measuring on `dc` at these scales.
    struct Layout {
        wxHtmlWinParser& parser;
        wxDC& dc;
        double pixelScale = 1.0;
        double fontScale = 1.0;
    };

    // `source` is the page's text in UTF-8.
    explicit CReportParts(std::shared_ptr<const std::string> source);
    ~CReportParts();
    CReportParts(const CReportParts&) = delete;
    CReportParts& operator=(const CReportParts&) = delete;

    // The page with one element around it. wxHtmlParser links each top-level tag behind the
    // last by walking all of them, so a report, a long flat list of tags, took time in the
    // square of its length; inside one element a tag is linked in constant time.
    static wxString Linear(const wxString& source);
    // Where a report is cut into parts: before each load point's section and before the system
    // sections, where no element is open. Any other page is one part. The positions of the parts
    // after the first.
    static std::vector<std::size_t> Starts(std::string_view source);

    const std::shared_ptr<const std::string>& GetSource() const { return m_source; }

    // The page's cell, made here with one empty cell per part, and handed to its owner: the
    // parts' cells live in it, and this object must go before it does.
    wxHtmlContainerCell* TakePage();
    wxHtmlContainerCell* GetPage() const;

    // The width the page was laid out at last (-1 before).
    int GetWidth() const;
    std::size_t GetCount() const { return m_parts.size(); }
    // A part's length in the source, in bytes.
    std::size_t GetLength(std::size_t part) const;
    // Whether the part holds its cells; how many do.
    bool IsFilled(std::size_t part) const;
    std::size_t GetFilledCount() const;
    // Whether the part's height is that of its cells laid out at the page's width.
    bool IsMeasured(std::size_t part) const;
    // The first part whose height is not known at the page's width, or GetCount().
    std::size_t FirstUnmeasured() const;
    // Lays the page out again at the width it had last, when it had one: after parts were filled
    // or emptied. Returns whether its height changed.
    bool Relayout();
    // The part's top and height on the page, in the page's last layout.
    int GetTop(std::size_t part) const;
    int GetHeight(std::size_t part) const;
    // The parts that meet the rows [top, bottom] of the page, as [first, last), of those measured.
    std::pair<std::size_t, std::size_t> PartsAt(int top, int bottom) const;
    // The part that holds a cell of the page, or GetCount() for none.
    std::size_t PartOf(const wxHtmlCell* cell) const;

    // Parses the part into its cells; they are laid out with the page's next layout.
    void Fill(std::size_t part, const Layout& layout);
    // Drops the part's cells, keeping its height.
    void Empty(std::size_t part);
    // Gives the parts never measured the height their text would take at the height per character
    // of those measured, so that the whole page can be scrolled through and every part reached
    // before all are measured.
    void Estimate();

    // The part that holds an anchor, found in the text before any part is laid out.
    bool FindAnchor(const wxString& name, std::size_t* part) const;

private:
    std::shared_ptr<const std::string> m_source;
    std::vector<std::size_t> m_starts;  // where each part starts, and at the end the source's length
    std::unique_ptr<CReportPageCell> m_ownedPage;
    CReportPageCell* m_page = nullptr;
    std::vector<CReportPartCell*> m_parts;  // owned by the page
    std::unique_ptr<CTextExtents> m_extents;  // of the page's words, in its fonts
    std::map<wxString, std::size_t> m_anchors;  // each in the first part that holds it
};
