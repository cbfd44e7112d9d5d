// The Monte Carlo result page: a second view of a network document that shows the HTML report of
// its last run, reloads it when a run stores or completes a report, and moves to a load point's
// section when the editor asks.
#pragma once

#include <string>

#include <wx/docview.h>

#include "model/KorvaneDoc.h"
#include "ui/results/ReportWindow.h"

class CKorvaneDoc;
class CMainFrame;
class wxSizeEvent;

class CHTMLView : public wxView, public IDocumentObserver {
    wxDECLARE_DYNAMIC_CLASS(CHTMLView);

public:
    CHTMLView() = default;
    // Clears the main frame's flag, so a new page may open and the editor sends no more anchors.
    ~CHTMLView() override;

    // Makes the page's frame and shows the document's result path (blank when it has none).
    bool OnCreate(wxDocument* doc, long flags) override;
    // A result page closes only itself, never the network.
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC*) override {}
    // The tab names the network and what the page shows ("MC1 – Monte Carlo results").
    void OnChangeFilename() override;
    // Prints the report shown (its own layout, not the window); a blank page has nothing to print.
    wxPrintout* OnCreatePrintout() override;
    // A text hint is a report path, or a path, "#" and a load point's name; an empty text or no
    // text changes nothing.
    void OnDocumentUpdate(const void* sender, const std::string* hint) override;

    CKorvaneDoc& GetDoc() const;
    CReportWindow* GetBrowser() const { return m_browser; }
    // The report shown ("" while blank) and the last anchor asked for.
    const std::string& GetShownPath() const { return m_path; }
    const std::string& GetAnchor() const { return m_anchor; }
    // Shows a report, then moves to the anchor when one is given. `reload` reads the file again
    // even when it is the one shown.
    void Navigate(const std::string& path, const std::string& anchor, bool reload);

protected:
    // What the page shows when it opens, and the frame flag that says it is open.
    virtual std::string GetInitialPath() const;
    virtual bool* OpenFlag(CMainFrame& frame) const;
    virtual const char* PageName() const { return "Monte Carlo results"; }

private:
    void ScrollToAnchor();
    void OnBrowserSize(wxSizeEvent& event);

    CReportWindow* m_browser = nullptr;
    bool* m_openFlag = nullptr;  // the main frame's flag for this kind of page
    std::string m_path;
    std::string m_anchor;
    bool m_anchorPending = false;  // asked before the page had its size: asked again on resize
};
