// korvane-show-report [--whole] REPORT.htm...: shows each report in the result page's window as
// the application does, one after the other, and prints how long it took until the first part of
// the page was on the screen, until the whole page could be scrolled through (every part with a
// height, measured or estimated), how long a jump to the last load point's section took meanwhile,
// and until every part was measured, the longest the event loop went unanswered meanwhile (a
// timer's longest wait), how long the page's printout took to lay out and paginate on A4 at 72 dpi
// (and its pages), and the process's peak memory. With --whole the toolkit's own window reads each
// page in one piece, as the page did before, and nothing is printed. Run it under a display
// (xvfb-run -a); it takes the time of one showing, so repeat runs to see the spread. A toolkit
// assert is printed and makes the exit status 1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/timer.h>

#include "ui/ShowAtOnce.h"
#include "ui/results/ReportPrintout.h"
#include "ui/results/ReportWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

// The process's peak resident memory so far, in MB.
double PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}

// Lays the printout out on A4 at 72 dpi and paginates it; the number of pages (none when cancelled).
int Paginate(CReportPrintout&& printout)
{
    wxBitmap sheet(595, 842);
    wxMemoryDC dc(sheet);
    printout.SetDC(&dc);
    printout.SetPPIScreen(72, 72);
    printout.SetPPIPrinter(72, 72);
    printout.SetPageSizePixels(595, 842);
    printout.SetPageSizeMM(210, 297);
    printout.SetPaperRectPixels(wxRect(0, 0, 595, 842));
    printout.OnPreparePrinting();
    int first = 0, last = 0, from = 0, to = 0;
    printout.GetPageInfo(&first, &last, &from, &to);
    return printout.IsCancelled() ? 0 : last;
}

class CShowReportApp : public wxApp {
public:
    bool OnInit() override
    {
        for (int n = 1; n < argc; ++n) {
            if (argv[n] == "--whole")
                m_whole = true;
            else
                m_files.push_back(argv[n]);
        }
        if (m_files.empty()) {
            std::fprintf(stderr, "usage: korvane-show-report [--whole] REPORT.htm...\n");
            return false;
        }
        wxSetAssertHandler(&CShowReportApp::OnToolkitAssert);
        CReportWindow::SetUpToolkit();
        m_frame = new wxFrame(nullptr, wxID_ANY, "Report", wxDefaultPosition, wxSize(1000, 800));
        m_frame->SetSizer(new wxBoxSizer(wxVERTICAL));
        ShowAtOnce(*m_frame);  // as the application's frames: else the page is laid out a pixel wide
        m_frame->Show();
        m_ticks.Bind(wxEVT_TIMER, &CShowReportApp::OnTick, this);
        std::printf("%-24s %8s %10s %10s %10s %12s %12s %10s %7s %8s\n", "report", "MB", "first (s)", "whole (s)",
                    "jump (s)", "measured (s)", "unanswered", "print (s)", "pages", "peak MB");
        CallAfter(&CShowReportApp::ShowNext);
        return true;
    }

    int OnRun() override
    {
        const int status = wxApp::OnRun();
        return c_asserted ? 1 : status;
    }

private:
    // A misuse of the toolkit is a fault of the page, not to be measured past; the default
    // handler would wait on a box.
    static void OnToolkitAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                                const wxString& msg)
    {
        std::fprintf(stderr, "wx assert %s:%d %s: %s %s\n", file.utf8_str().data(), line, func.utf8_str().data(),
                     cond.utf8_str().data(), msg.utf8_str().data());
        c_asserted = true;
    }

    void ShowNext()
    {
        if (m_page != nullptr)
            m_page->Destroy();
        m_page = nullptr;
        if (m_next == m_files.size()) {
            m_frame->Close(true);
            return;
        }
        const wxFileName file(m_files[m_next++]);
        m_page = m_whole ? new wxHtmlWindow(m_frame) : new CReportWindow(m_frame);
        m_frame->GetSizer()->Add(m_page, 1, wxEXPAND);
        m_frame->Layout();
        m_longest = {};
        m_start = m_lastTick = Clock::now();
        m_ticks.Start(5);
        m_page->LoadFile(file);
        m_firstShown = Clock::now() - m_start;
        m_jump = {};
        m_wholeShown = {};
        NoteWhole();
        m_name = file.GetFullName();
        m_megabytes = static_cast<double>(file.GetSize().ToDouble()) / (1 << 20);
        m_page->Bind(wxEVT_IDLE, &CShowReportApp::OnIdle, this);
    }

    void OnTick(wxTimerEvent&) { Tick(); }
    void Tick()
    {
        const Clock::time_point now = Clock::now();
        m_longest = std::max(m_longest, now - m_lastTick);
        m_lastTick = now;
    }

    // The section of the report's last load point reached, as a click on it in the editor reaches
    // it, while the sections above it are still being measured; and back to the top.
    void JumpToTheLastSection()
    {
        const auto* parts = dynamic_cast<const CReportWindow*>(m_page);
        if (parts == nullptr || parts->IsOffering())
            return;
        const std::string& text = *parts->GetSource();
        const std::string head = "<p><u><b><a name = \"";
        const std::size_t at = text.rfind(head);
        if (at == std::string::npos)
            return;
        const std::size_t end = text.find('"', at + head.size());
        const wxString anchor = wxString::FromUTF8(text.substr(at + head.size(), end - at - head.size()));
        const Clock::time_point start = Clock::now();
        m_page->LoadPage("#" + anchor);
        m_page->Update();
        m_jump = Clock::now() - start;
        m_page->Scroll(0, 0);
    }

    void NoteWhole()
    {
        const auto* parts = dynamic_cast<const CReportWindow*>(m_page);
        if (m_wholeShown == Clock::duration() && (parts == nullptr || parts->IsWhole())) {
            m_wholeShown = Clock::now() - m_start;
            JumpToTheLastSection();
        }
    }

    void OnIdle(wxIdleEvent& event)
    {
        event.Skip();
        NoteWhole();
        const auto* parts = dynamic_cast<const CReportWindow*>(m_page);
        if (parts != nullptr && !parts->IsComplete())
            return;
        const Clock::duration whole = Clock::now() - m_start;
        Tick();
        m_ticks.Stop();
        double printing = 0.0;
        int pages = 0;
        if (parts != nullptr && !parts->IsOffering()) {
            const Clock::time_point start = Clock::now();
            pages = Paginate(CReportPrintout(m_name, parts->GetSource(), m_name));
            printing = Seconds(Clock::now() - start);
        }
        std::printf("%-24s %8.1f %10.3f %10.3f %10.3f %12.3f %12.3f %10.3f %7d %8.0f\n",
                    static_cast<const char*>(m_name.utf8_str()), m_megabytes, Seconds(m_firstShown),
                    Seconds(m_wholeShown), Seconds(m_jump), Seconds(whole), Seconds(m_longest), printing, pages,
                    PeakMegabytes());
        std::fflush(stdout);
        m_page->Unbind(wxEVT_IDLE, &CShowReportApp::OnIdle, this);
        CallAfter(&CShowReportApp::ShowNext);
    }

    static inline bool c_asserted = false;
    std::vector<wxString> m_files;
    std::size_t m_next = 0;
    bool m_whole = false;
    wxFrame* m_frame = nullptr;
    wxHtmlWindow* m_page = nullptr;
    wxTimer m_ticks;
    Clock::time_point m_start, m_lastTick;
    Clock::duration m_longest{}, m_firstShown{}, m_wholeShown{}, m_jump{};
    wxString m_name;
    double m_megabytes = 0.0;
};

}  // namespace

wxIMPLEMENT_APP(CShowReportApp);
