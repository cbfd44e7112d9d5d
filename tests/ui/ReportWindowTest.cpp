// The result pages' HTML window on the golden reports: laid out a part at a time, it holds the
// cells of the page laid out in one piece; anchors wait for their part; a file too large to hold
// is offered to the browser. How the result pages follow runs and clicks is tested in RunsTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/filesys.h>
#include <wx/frame.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmprint.h>
#include <wx/print.h>

#include "tests/TestFiles.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/MainFrame.h"
#include "ui/NetworkDocument.h"
#include "ui/results/HTMLView.h"
#include "ui/results/ReportParts.h"
#include "ui/results/ReportPrintout.h"
#include "ui/results/ReportWindow.h"

using namespace UiTest;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTurn = 1000;

// The toolkit's window as the page was shown before: the whole text parsed at once.
class CWholePage : public wxHtmlWindow {
public:
    explicit CWholePage(wxWindow* parent)
        : wxHtmlWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(780, 580), wxHW_SCROLLBAR_NEVER)
    {
    }
    void Show(const wxString& text)
    {
        SetPage(text);
        m_Cell->SetAlignHor(wxHTML_ALIGN_LEFT);
        CreateLayout();
    }
};

struct ReportWindow : App {
    void SetUp() override
    {
        App::SetUp();
        frame = new wxFrame(nullptr, wxID_ANY, "Report", wxDefaultPosition, wxSize(800, 600));
        ShowAtOnce(*frame);  // as the application's frames
        // Short turns: each section of the golden reports a turn of its own.
        window = new CReportWindow(frame, wxHW_DEFAULT_STYLE, kTurn);
        frame->Show();
        Pump();
    }
    void TearDown() override
    {
        frame->Destroy();
        Pump();
        App::TearDown();
    }
    static wxString Golden(const char* name)
    {
        return wxString::FromUTF8(testfiles::ReadText(fs::path(KORVANE_TEST_DATA) / "montecarlo" / name));
    }
    // Every drawn cell of the page and the page's height: position, size and text. Cells that
    // only set the colour or font draw nothing (each part starts with its own).
    static std::vector<std::string> Cells(const wxHtmlWindow& page)
    {
        std::vector<std::string> cells;
        const wxHtmlContainerCell* top = page.GetInternalRepresentation();
        for (wxHtmlTerminalCellsInterator it(top->GetFirstTerminal(), top->GetLastTerminal()); it; ++it) {
            if (it->IsFormattingCell())
                continue;
            const wxPoint at = it->GetAbsPos();
            cells.push_back(std::to_string(at.x) + " " + std::to_string(at.y) + " " + std::to_string(it->GetWidth()) +
                            "x" + std::to_string(it->GetHeight()) + " " + it->ConvertToText(nullptr).utf8_string());
        }
        cells.push_back("height " + std::to_string(top->GetHeight()));
        return cells;
    }
    // The first cell where the pages differ, rather than a diff of thousands of lines.
    static void ExpectSameCells(const wxHtmlWindow& page, const wxHtmlWindow& expected, const std::string& name)
    {
        const std::vector<std::string> cells = Cells(page), wanted = Cells(expected);
        const auto differ = std::mismatch(cells.begin(), cells.end(), wanted.begin(), wanted.end());
        if (differ.first != cells.end() || differ.second != wanted.end())
            ADD_FAILURE() << name << ", cell " << differ.first - cells.begin() << " of " << wanted.size() << ": \""
                          << (differ.first != cells.end() ? *differ.first : "") << "\" where the whole page has \""
                          << (differ.second != wanted.end() ? *differ.second : "") << "\"";
    }

    wxFrame* frame = nullptr;
    CReportWindow* window = nullptr;
};

}  // namespace

// Regression: the report, one long list of sibling tags, took time in the square of its length to
// lay out (78 s for a 2,000-year report of 22 load points). Cut into parts, and each part parsed
// on where the last left off, it must still lay out cell for cell as the page did in one piece.
TEST_F(ReportWindow, ShowsAReportPartByPartAsTheWholePage)
{
    // Without scroll bars, whose coming and going the toolkit settles only later, the two lay out
    // at one width.
    auto* parts = new CReportWindow(frame, wxHW_SCROLLBAR_NEVER, kTurn);
    auto* whole = new CWholePage(frame);
    parts->SetSize(whole->GetSize());
    for (const char* name : {"report-small.htm", "report-ndl.htm"}) {
        const wxString text = Golden(name);
        // Its three load points' sections and the system sections.
        EXPECT_EQ(CReportParts::Starts(text).size(), 4u) << name;
        parts->SetPage(text);
        EXPECT_FALSE(parts->IsComplete()) << name << " was laid out in one turn";
        ASSERT_TRUE(PumpUntil([&] { return parts->IsComplete(); })) << name;
        whole->Show(CReportParts::Linear(text));
        ExpectSameCells(*parts, *whole, name);
    }

    // The element around the page changes nothing; the page before its first load point's
    // section is small enough to lay out flat.
    wxString head = Golden("report-small.htm");
    head.Truncate(CReportParts::Starts(head).front());
    parts->SetPage(head);
    EXPECT_TRUE(parts->IsComplete());
    whole->Show(head);
    ExpectSameCells(*parts, *whole, "the head");

    // Another page is one part, whatever it holds.
    EXPECT_TRUE(CReportParts::Starts("<p><u><b><a name = \"A\">A</a></b></u></p>").empty());
}

TEST_F(ReportWindow, ReachesAnAnchorWhenItsPartArrives)
{
    const fs::path report = folder / "Net 1.htm";
    fs::copy_file(fs::path(KORVANE_TEST_DATA) / "montecarlo" / "report-ndl.htm", report);
    // The system sections come last.
    ASSERT_TRUE(window->LoadPage(wxString::FromUTF8(report.string() + "#SAIFI")));
    EXPECT_FALSE(window->IsComplete());
    EXPECT_EQ(window->GetOpenedAnchor(), "");
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    EXPECT_EQ(window->GetOpenedAnchor(), "SAIFI");
    EXPECT_GT(window->GetViewStart().y, 0);

    // A load point's section in the middle of the page, reached as on the whole page.
    window->LoadPage(wxString::FromUTF8(report.string()));
    window->LoadPage("#Pump station 12A");
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    const int reached = window->GetViewStart().y;
    window->LoadPage("#SAIFI");
    window->LoadPage("#Pump station 12A");
    EXPECT_EQ(window->GetViewStart().y, reached);
    EXPECT_GT(reached, 0);

    // Asked while the page arrives, a later anchor wins; one the page never holds is dropped
    // without a word when the page is complete.
    window->LoadPage(wxString::FromUTF8(report.string()));
    window->LoadPage("#ENS");
    window->LoadPage("#Nowhere");
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    EXPECT_EQ(window->GetOpenedAnchor(), "");
    EXPECT_EQ(window->GetViewStart().y, 0);
    EXPECT_TRUE(TakeDialogs().empty());
}

// Regression: a stored report path may name any file, and a large one froze the application for
// minutes and took memory many times its size.
TEST_F(ReportWindow, OffersAFileTooLargeToTheBrowser)
{
    const fs::path big = folder / "Big.htm";
    std::ofstream(big) << "<p>Large</p>";
    fs::resize_file(big, CReportWindow::kLargestShown + 1);
    ASSERT_TRUE(window->LoadPage(wxString::FromUTF8(big.string())));
    EXPECT_TRUE(window->IsComplete());
    EXPECT_TRUE(window->IsOffering());
    EXPECT_EQ(window->ToText().Trim(false), wxString::FromUTF8("The report " + big.string() +
                                                             " is 32.0 MB, too large to show here.\nOpen it in the web "
                                                             "browser"));
    const wxHtmlContainerCell* page = window->GetInternalRepresentation();
    const wxHtmlCell* link = page->FindCellByPos(20, page->GetHeight() - 15);
    ASSERT_TRUE(link != nullptr && link->GetLink() != nullptr);
    EXPECT_EQ(wxFileSystem::URLToFileName(link->GetLink()->GetHref()).GetFullPath(), wxString::FromUTF8(big.string()));

    // The result page stored with such a report offers it, and has nothing to print.
    Doc().SetMonteCarloResultPath(nullptr, big.string());
    CNetworkDocument* network = ActiveDocument();
    Command(ID_MONTE_CARLO_RESULT_VIEWER);
    CHTMLView* result = nullptr;
    for (wxView* view : network->GetViewsVector())
        result = result != nullptr ? result : wxDynamicCast(view, CHTMLView);
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->GetBrowser()->IsOffering());
    EXPECT_EQ(std::unique_ptr<wxPrintout>(result->OnCreatePrintout()), nullptr);
}

// Prints `printout`'s pages onto white A4-sized bitmaps at 72 dpi.
std::vector<wxImage> Print(wxPrintout& printout)
{
    wxBitmap sheet(595, 842);
    wxMemoryDC dc(sheet);
    PrepareA4At72Dpi(printout, dc);
    int first = 0, last = 0, from = 0, to = 0;
    printout.GetPageInfo(&first, &last, &from, &to);
    std::vector<wxImage> pages;
    for (int page = first; page <= last && printout.HasPage(page); ++page) {
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        printout.OnPrintPage(page);
        pages.push_back(sheet.ConvertToImage());
    }
    dc.SelectObject(wxNullBitmap);
    return pages;
}

// Regression: printing a report laid it out and looked for each page break over all of it, in
// time that grew with the square of its length (minutes for a few hundred load points). Printed a
// part at a time, it gives the toolkit's pages.
TEST_F(ReportWindow, PrintsAReportPartByPartAsTheToolkitPrintsTheWholePage)
{
    const wxString text = Golden("report-small.htm");
    CReportPrintout parts("Report", std::make_shared<const wxString>(text), folder.string());
    wxHtmlPrintout whole("Report");
    whole.SetHtmlText(CReportParts::Linear(text));
    const std::vector<wxImage> printed = Print(parts), expected = Print(whole);
    ASSERT_EQ(printed.size(), expected.size());
    EXPECT_GT(printed.size(), 20u);
    for (std::size_t page = 0; page < printed.size(); ++page)
        EXPECT_TRUE(std::equal(printed[page].GetData(), printed[page].GetData() + 595 * 842 * 3,
                               expected[page].GetData()))
            << "page " << page + 1;
}

// The window reads a page's character set from its head, as the toolkit's reader does from the
// whole page.
TEST_F(ReportWindow, ReadsAPageInTheCharacterSetItNames)
{
    const struct {
        const char* bytes;
        const char* shown;  // UTF-8
    } pages[] = {
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><p>M\xC3\xBChle</p>",
         "M\xC3\xBChle"},
        {"<p>M\xFChle</p>", "M\xC3\xBChle"},  // none named: Latin-1
    };
    for (const auto& page : pages) {
        const fs::path file = folder / "Page.htm";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << page.bytes;
        ASSERT_TRUE(window->LoadPage(wxString::FromUTF8(file.string())));
        EXPECT_EQ(window->ToText().Trim(false), wxString::FromUTF8(page.shown)) << page.bytes;
    }
}
