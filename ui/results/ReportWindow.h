// The result pages' HTML window: shows a report of any size without leaving the application
// unanswering. A report is laid out a part at a time while the application idles, a file too large
// to hold is offered to the desktop's browser, and an anchor asked for before its part has arrived
// is reached when it does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <wx/html/htmlwin.h>

class CTextExtents;
class wxDPIChangedEvent;
class wxIdleEvent;

class CReportWindow : public wxHtmlWindow {
public:
    // A page holds about forty times its size in memory: larger files go to the browser.
    static constexpr std::uintmax_t kLargestShown = 32u << 20;
    // The least source laid out in one turn of the event loop (one or more whole parts).
    static constexpr std::size_t kTurnLength = 128u << 10;

    explicit CReportWindow(wxWindow* parent, long style = wxHW_DEFAULT_STYLE, std::size_t turnLength = kTurnLength);
    ~CReportWindow() override;
    // What the reports need of the toolkit before a page shows one: ".htm" read as HTML, and the
    // "data:" URLs and PNG pictures of their bars.
    static void SetUpToolkit();

    // Lays out the first parts now and the rest while the application idles.
    bool SetPage(const wxString& source) override;
    // A file beyond kLargestShown is offered to the browser; an anchor of the page shown is
    // reached now or when its part arrives.
    bool LoadPage(const wxString& location) override;
    void OnLinkClicked(const wxHtmlLinkInfo& link) override;

    // True once the whole page is laid out.
    bool IsComplete() const { return m_next >= m_cuts.size(); }
    // The text of the page shown, and whether it offers a file to the browser instead.
    const wxString& GetSource() const { return m_source; }
    bool IsOffering() const { return !m_offered.empty(); }

    // The page with one element around it. wxHtmlParser links each top-level tag behind the
    // last by walking all of them, so a report, a long flat list of tags, took time in the
    // square of its length; inside one element a tag is linked in constant time.
    static wxString Linear(const wxString& source);
    // Where a report is cut into parts: before each load point's section and before the system
    // sections, where no element is open. Any other page is one part. The positions of the parts
    // after the first.
    static std::vector<std::size_t> PartStarts(const wxString& source);

private:
    // Lays out the parts up to `end` below those laid out before, each part parsed on its own
    // into a container of the page; the cells are placed as in the page laid out in one piece.
    wxHtmlContainerCell* LayOut(std::size_t end);
    // Moves to the anchor now or, while it has not arrived, when it does.
    bool GoToAnchor(const wxString& anchor);
    bool ScrollTo(const wxString& anchor);
    void Offer(const wxString& url, std::uintmax_t bytes);
    void OnIdle(wxIdleEvent& event);
    void OnDPIChanged(wxDPIChangedEvent& event);

    std::size_t m_turnLength;
    wxString m_source;                // the page shown, kept to lay it out again
    std::vector<std::size_t> m_cuts;  // where each turn's parts end, in order
    std::size_t m_next = 0;           // the next turn in m_cuts
    std::size_t m_laidOut = 0;        // how much of m_source is laid out
    bool m_lengthKnown = true;        // whether the toolkit has the page's length
    std::unique_ptr<CTextExtents> m_extents;  // of the page's words, in its fonts
    wxString m_pendingAnchor;
    wxString m_offered;  // the URL of a file offered to the browser
};
