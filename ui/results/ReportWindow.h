// The result pages' HTML window: shows a report of any size without leaving the application
// unanswering, in the memory of the parts on show. A report is measured a part at a time while the
// application idles, the parts not measured yet taking an estimated height meanwhile, so that the
// whole page can be scrolled through and every anchor reached at once; only the parts on or near the
// screen keep their cells, and a file too large to hold is offered to the desktop's browser.
#pragma once

#include <cstdint>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <wx/html/htmlwin.h>

class CReportParts;
class wxDPIChangedEvent;
class wxIdleEvent;
class wxPaintEvent;
class wxSizeEvent;

class CReportWindow : public wxHtmlWindow {
public:
    // Larger files go to the browser.
    static constexpr std::uintmax_t kLargestShown = 96u << 20;
    // A page that is no report is laid out in one piece and holds about sixty times its size in
    // memory: larger ones go to the browser too.
    static constexpr std::uintmax_t kLargestFlat = 4u << 20;
    // The least source measured in one turn of the event loop (one or more whole parts).
    static constexpr std::size_t kTurnLength = 128u << 10;

    explicit CReportWindow(wxWindow* parent, long style = wxHW_DEFAULT_STYLE, std::size_t turnLength = kTurnLength);
    ~CReportWindow() override;
    // What the reports need of the toolkit before a page shows one: ".htm" read as HTML, and the
    // "data:" URLs and PNG pictures of their bars.
    static void SetUpToolkit();

    // Lays out the first parts now and measures the rest while the application idles.
    bool SetPage(const wxString& source) override;
    // A file beyond kLargestShown, or kLargestFlat for a page that is no report, is offered to the
    // browser; an anchor of the page shown is reached at once, measured or not.
    bool LoadPage(const wxString& location) override;
    void OnLinkClicked(const wxHtmlLinkInfo& link) override;

    // True once every part's height is known at the page's width, and once every part has a
    // height, measured or estimated, so that the whole page can be scrolled through.
    bool IsComplete() const;
    bool IsWhole() const;
    // The page's parts (null while nothing is shown).
    const CReportParts* GetParts() const { return m_parts.get(); }
    // The text of the page shown in UTF-8, shared rather than copied. And whether the page offers
    // a file to the browser instead.
    std::shared_ptr<const std::string> GetSource() const;
    bool IsOffering() const { return !m_offered.empty(); }

private:
    // Where the view's top is, as a part and the rows below its top, so that the view stays on
    // what it shows while the parts above it change their heights.
    struct ViewHold {
        std::size_t part = SIZE_MAX;
        int offset = 0;
        int viewStart = -1;  // the scroll position this was taken or set at
    };

    // SetPage without a copy of the text.
    bool ShowSource(std::shared_ptr<const std::string> source);
    // Measures the next parts whose heights are not known, about m_turnLength of their text.
    void MeasureTurn();
    void Fill(const std::vector<std::size_t>& parts);
    // Drops the cells of the parts away from the view but those from one end of a selection to the
    // other.
    void EmptyFarParts();
    void HoldView();
    int HeldViewStart() const;
    void RestoreView();
    int ScrollUnit() const;
    // Moves to the anchor, its part filled first; the view stays on it while the parts above it
    // are measured.
    bool GoToAnchor(const wxString& anchor);
    void UpdateLength();
    void Offer(const wxString& url, std::uintmax_t bytes);
    void OnIdle(wxIdleEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnDPIChanged(wxDPIChangedEvent& event);

    std::size_t m_turnLength;
    std::unique_ptr<CReportParts> m_parts;  // the page shown, whose cells are m_Cell
    std::size_t m_turns = 0;                // measuring turns since the page was set
    bool m_estimated = false;               // whether the parts not measured have estimated heights
    bool m_lengthKnown = true;              // whether the toolkit has the page's length
    ViewHold m_hold;
    wxString m_offered;  // the URL of a file offered to the browser
};
