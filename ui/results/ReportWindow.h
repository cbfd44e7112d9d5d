// The result pages' HTML window: shows a report of any size without leaving the application
// unanswering. A report is laid out a part at a time while the application idles, a file too large
// to hold is offered to the desktop's browser, and an anchor asked for before its part has arrived
// is reached when it does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <wx/html/htmlwin.h>

class CReportParts;
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
    // The text of the page shown, shared rather than copied: a report's text takes four times the
    // size of its file. And whether the page offers a file to the browser instead.
    std::shared_ptr<const wxString> GetSource() const;
    bool IsOffering() const { return !m_offered.empty(); }

private:
    // SetPage without a copy of the text.
    bool ShowSource(std::shared_ptr<const wxString> source);
    // Lays out the source up to `end` as one part below the parts laid out before.
    wxHtmlContainerCell* LayOut(std::size_t end);
    // Moves to the anchor now or, while it has not arrived, when it does.
    bool GoToAnchor(const wxString& anchor);
    bool ScrollTo(const wxString& anchor);
    void Offer(const wxString& url, std::uintmax_t bytes);
    void OnIdle(wxIdleEvent& event);
    void OnDPIChanged(wxDPIChangedEvent& event);

    std::size_t m_turnLength;
    std::unique_ptr<CReportParts> m_parts;  // the page shown, kept to lay it out again
    std::vector<std::size_t> m_cuts;        // where each turn's parts end, in order
    std::size_t m_next = 0;                 // the next turn in m_cuts
    bool m_lengthKnown = true;              // whether the toolkit has the page's length
    wxString m_pendingAnchor;
    wxString m_offered;  // the URL of a file offered to the browser
};
