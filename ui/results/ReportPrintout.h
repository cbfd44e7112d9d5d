// The printout of a result page: the page's report laid out a part at a time, as the page lays it
// out, so that a report of any length is laid out and paginated in time that grows with its length
// (the toolkit's HTML printout took minutes for a report of a few hundred load points).
#pragma once

#include <memory>
#include <vector>

#include <wx/filesys.h>
#include <wx/html/htmprint.h>
#include <wx/html/winpars.h>
#include <wx/print.h>

class CReportParts;

class CReportPrintout : public wxPrintout {
public:
    // `source` is the page's HTML text, `location` the file it came from.
    CReportPrintout(const wxString& title, std::shared_ptr<const wxString> source, const wxString& location);
    ~CReportPrintout() override;

    void OnPreparePrinting() override;
    bool OnPrintPage(int page) override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selectedFrom, int* selectedTo) override;

private:
    // Sets the DC's scale and the renderer's resolutions for the page size; gives the area that
    // a page prints on, in pixels, and where it starts.
    wxRect PrintArea(wxDC& dc);

    std::shared_ptr<const wxString> m_source;
    wxFileSystem m_files;  // for the page's pictures
    wxHtmlWinParser m_parser;
    wxHtmlDCRenderer m_renderer;
    std::unique_ptr<wxHtmlContainerCell> m_page;
    std::vector<int> m_breaks;  // where each page starts, and after the last where the report ends
};
