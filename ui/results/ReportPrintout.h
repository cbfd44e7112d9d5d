// The printout of a result page: the page's report laid out a part at a time, as the page lays it
// out, so that a report of any length is paginated in time that grows with its length and holds the
// cells of the page being printed only (the toolkit's HTML printout took minutes and gigabytes for a
// report of a few hundred load points). A long pagination shows its progress, with which the user
// may cancel the print or the preview; the application answers meanwhile.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/filesys.h>
#include <wx/html/winpars.h>
#include <wx/print.h>

class CReportParts;

class CReportPrintout : public wxPrintout {
public:
    // `source` is the page's HTML text in UTF-8, `location` the file it came from.
    CReportPrintout(const wxString& title, std::shared_ptr<const std::string> source, const wxString& location);
    ~CReportPrintout() override;

    void OnPreparePrinting() override;
    bool OnPrintPage(int page) override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selectedFrom, int* selectedTo) override;

    // The report's parts as laid out for printing; null before OnPreparePrinting.
    const CReportParts* GetParts() const { return m_parts.get(); }
    // Whether the user cancelled the last pagination: the printout has no page then.
    bool IsCancelled() const { return m_cancelled; }

    // What a pagination that takes long reports to: the parts laid out of all, and it answers
    // false once the user cancelled. By default a progress dialog with Cancel; tests put their own
    // in its place, and an empty one brings the dialog back.
    using Progress = std::function<bool(std::size_t done, std::size_t parts)>;
    static void SetProgress(Progress progress);

private:
    // Sets the DC's scale and the parser's scales for the page size; gives the area that a page
    // prints on, in pixels, and where it starts.
    wxRect PrintArea(wxDC& dc);
    // Ends a cancelled pagination without a page; the toolkit's print job is dropped unsent, and a
    // preview closes.
    void Cancel();

    std::shared_ptr<const std::string> m_source;
    wxFileSystem m_files;  // for the page's pictures
    wxHtmlWinParser m_parser;
    double m_pixelScale = 1.0, m_fontScale = 1.0;
    std::unique_ptr<CReportParts> m_parts;
    std::vector<int> m_breaks;  // where each page starts, and after the last where the report ends
    bool m_cancelled = false;
};
