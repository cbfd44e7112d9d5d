// A page cut into parts that the HTML toolkit lays out one at a time, each in time that grows with
// its own length only, and together as the page laid out in one piece: the result page's window
// lays a report out a part per turn of the event loop, its printout all at once.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include <wx/string.h>

class CTextExtents;
class wxDC;
class wxHtmlContainerCell;
class wxHtmlWinParser;

class CReportParts {
public:
    explicit CReportParts(std::shared_ptr<const wxString> source);
    ~CReportParts();

    // The page with one element around it. wxHtmlParser links each top-level tag behind the
    // last by walking all of them, so a report, a long flat list of tags, took time in the
    // square of its length; inside one element a tag is linked in constant time.
    static wxString Linear(const wxString& source);
    // Where a report is cut into parts: before each load point's section and before the system
    // sections, where no element is open. Any other page is one part. The positions of the parts
    // after the first.
    static std::vector<std::size_t> Starts(const wxString& source);

    const std::shared_ptr<const wxString>& GetSource() const { return m_source; }

    // Parses the source from where the last call ended up to `end` as one part, with `parser`
    // measuring on `dc`, and adds it below `page`'s cells; the first part becomes the page (which
    // is null until then). The parser's DC is unset afterwards. Returns the part's cell.
    wxHtmlContainerCell* ParseTo(std::size_t end, wxHtmlWinParser& parser, wxDC& dc, double pixelScale,
                                 double fontScale, wxHtmlContainerCell*& page);

private:
    std::shared_ptr<const wxString> m_source;  // shared with the page's printouts
    std::size_t m_parsed = 0;
    std::unique_ptr<CTextExtents> m_extents;  // of the page's words, in its fonts
};
