// The result pages' HTML window and its printout on the golden reports: laid out a part at a time,
// only the parts near the view holding cells, they show and print the cells of the page laid out in
// one piece; an anchor is reached before the parts above it are measured; a file too large to hold
// is offered to the browser. How the result pages follow runs and clicks is tested in RunsTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <wx/dcmemory.h>
#include <wx/filesys.h>
#include <wx/frame.h>
#include <wx/gtk/print.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmprint.h>
#include <wx/print.h>

#include "tests/TestFiles.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/MainFrame.h"
#include "ui/NetworkDocument.h"
#include "ui/ShowAtOnce.h"
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
    CWholePage(wxWindow* parent, long style) : wxHtmlWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(780, 580), style)
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
    // Every drawn cell of the page (of the parts that hold their cells) and the page's height:
    // position, size and text. Cells that only set the colour or font draw nothing (each part
    // starts with its own).
    static std::vector<std::string> Cells(const wxHtmlWindow& page)
    {
        std::vector<std::string> cells;
        const wxHtmlContainerCell* top = page.GetInternalRepresentation();
        for (wxHtmlTerminalCellsInterator it(top->GetFirstTerminal(), top->GetLastTerminal()); it; ++it) {
            if (it->IsFormattingCell() || !it->IsTerminalCell())  // a part without its cells, or empty
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

    // Scrolls both pages through, a screen at a time, and compares the cells of the parts on show
    // with the whole page's cells there; only the parts that meet the view, widened by a screen
    // each way, may hold cells.
    static void ExpectSameCellsScrolled(CReportWindow& page, wxHtmlWindow& expected, const std::string& name)
    {
        const CReportParts& parts = *page.GetParts();
        const int screen = page.GetClientSize().y;
        int unitX = 0, unitY = 0;
        page.GetScrollPixelsPerUnit(&unitX, &unitY);
        ASSERT_GT(unitY, 0) << name;
        EXPECT_EQ(page.GetInternalRepresentation()->GetHeight(), expected.GetInternalRepresentation()->GetHeight())
            << name;
        std::vector<std::string> shown;
        for (int start = 0; start * unitY < page.GetInternalRepresentation()->GetHeight(); start += screen / unitY) {
            page.Scroll(0, start);
            page.Update();
            Pump();
            const int top = page.GetViewStart().y * unitY;
            std::size_t filled = 0;
            for (std::size_t part = 0; part < parts.GetCount(); ++part) {
                if (!parts.IsFilled(part))
                    continue;
                ++filled;
                EXPECT_TRUE(parts.GetTop(part) < top + 2 * screen &&
                            parts.GetTop(part) + parts.GetHeight(part) > top - screen)
                    << name << ": part " << part << " holds cells far from the view at " << top;
            }
            EXPECT_GE(filled, 1u) << name;
            for (std::string& cell : Cells(page))
                shown.push_back(std::move(cell));
        }
        std::sort(shown.begin(), shown.end());
        shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
        std::vector<std::string> wanted = Cells(expected);
        std::sort(wanted.begin(), wanted.end());
        std::vector<std::string> missing, extra;
        std::set_difference(wanted.begin(), wanted.end(), shown.begin(), shown.end(), std::back_inserter(missing));
        std::set_difference(shown.begin(), shown.end(), wanted.begin(), wanted.end(), std::back_inserter(extra));
        EXPECT_TRUE(missing.empty()) << name << ": " << missing.size() << " cells of " << wanted.size()
                                     << " never shown, the first \"" << (missing.empty() ? "" : missing.front()) << "\"";
        EXPECT_TRUE(extra.empty()) << name << ": " << extra.size() << " cells the whole page lacks, the first \""
                                   << (extra.empty() ? "" : extra.front()) << "\"";
    }

    // A report of `count` load point sections "S0", "S1", ... of 150 lines each, a part each.
    static wxString Sections(int count)
    {
        wxString page = "<b><font size=\"4\">Network name :N</font></b><br>";
        for (int section = 0; section < count; ++section) {
            page += wxString::Format("<br><p><u><b><a name = \"S%d\" id = \"x\">Load Point - S%d</a></b></u></p>",
                                     section, section);
            for (int line = 0; line < 150; ++line)
                page += wxString::Format("<font size=\"2\">S%d line %d 0.00000 / 0.10000</font><br>", section, line);
        }
        return page;
    }

    wxFrame* frame = nullptr;
    CReportWindow* window = nullptr;
};

}  // namespace

// Regression: the report, one long list of sibling tags, took time in the square of its length to
// lay out (78 s for a 2,000-year report of 22 load points), and its cells took sixty times its size
// in memory (1.2 GB for 300 load points). Cut into parts, each parsed on its own, and only the parts
// near the view holding cells, it must still show cell for cell what the page laid out in one piece
// shows, wherever it is scrolled to and at any width, and jump to the same anchors.
TEST_F(ReportWindow, ShowsAReportPartByPartAsTheWholePage)
{
    // The whole page without scroll bars, whose coming and going the toolkit settles only later,
    // at the width the parts were laid out at.
    auto* parts = new CReportWindow(frame, wxHW_DEFAULT_STYLE, kTurn);
    auto* whole = new CWholePage(frame, wxHW_SCROLLBAR_NEVER);
    const struct {
        const char* name;
        int width;
    } pages[] = {{"report-small.htm", 780}, {"report-ndl.htm", 780}, {"report-ndl.htm", 420}};
    for (const auto& page : pages) {
        const wxString text = Golden(page.name);
        const std::string name = page.name + std::string(" at ") + std::to_string(page.width);
        // Its three load points' sections and the system sections.
        EXPECT_EQ(CReportParts::Starts(text.utf8_string()).size(), 4u) << name;
        parts->SetSize(page.width, 2400);
        if (*parts->GetSource() != text.utf8_string()) {
            parts->SetPage(text);
            EXPECT_FALSE(parts->IsComplete()) << name << " was laid out in one turn";
        }
        // A page shown at another width measures its parts again.
        ASSERT_TRUE(PumpUntil([&] { return parts->IsComplete(); })) << name;
        whole->SetClientSize(parts->GetParts()->GetWidth(), 600);
        whole->Show(CReportParts::Linear(text));
        ExpectSameCellsScrolled(*parts, *whole, name);
        for (const wxString anchor : {"Pump station 12A", "SAIFI", "ENS"}) {
            if (!text.Contains(anchor))
                continue;
            parts->LoadPage("#" + anchor);
            EXPECT_EQ(parts->GetOpenedAnchor(), anchor);
            const wxHtmlCell* reached = parts->GetInternalRepresentation()->Find(wxHTML_COND_ISANCHOR, &anchor);
            const wxHtmlCell* wanted = whole->GetInternalRepresentation()->Find(wxHTML_COND_ISANCHOR, &anchor);
            ASSERT_TRUE(reached != nullptr && wanted != nullptr) << name << " #" << anchor;
            EXPECT_EQ(reached->GetAbsPos(), wanted->GetAbsPos()) << name << " #" << anchor;
            const int top = parts->CalcUnscrolledPosition(wxPoint()).y;
            EXPECT_TRUE(reached->GetAbsPos().y >= top && reached->GetAbsPos().y < top + parts->GetClientSize().y)
                << name << " #" << anchor;
        }
    }

    // The element around the page changes nothing; the page before its first load point's
    // section is small enough to lay out flat.
    auto* flat = new CReportWindow(frame, wxHW_SCROLLBAR_NEVER, kTurn);
    auto* flatWhole = new CWholePage(frame, wxHW_SCROLLBAR_NEVER);
    flat->SetSize(flatWhole->GetSize());
    std::string headText = Golden("report-small.htm").utf8_string();
    headText.resize(CReportParts::Starts(headText).front());
    const wxString head = wxString::FromUTF8(headText);
    flat->SetPage(head);
    EXPECT_TRUE(flat->IsComplete());
    flatWhole->Show(head);
    ExpectSameCells(*flat, *flatWhole, "the head");

    // Another page is one part, whatever it holds.
    EXPECT_TRUE(CReportParts::Starts("<p><u><b><a name = \"A\">A</a></b></u></p>").empty());
}

// An anchor is reached at once, before the parts above it are measured (they take an estimated
// height meanwhile), and the view stays on it while they are.
TEST_F(ReportWindow, ReachesAnAnchorBeforeThePartsAboveItAreMeasured)
{
    const fs::path report = folder / "Net 1.htm";
    fs::copy_file(fs::path(KORVANE_TEST_DATA) / "montecarlo" / "report-ndl.htm", report, fs::copy_options::overwrite_existing);
    // Where the anchor's text is in the window (the toolkit scrolls to the cell after the anchor).
    const auto anchorTop = [&](const wxString& anchor) {
        const wxHtmlCell* cell = window->GetInternalRepresentation()->Find(wxHTML_COND_ISANCHOR, &anchor);
        while (cell != nullptr && cell->IsFormattingCell())
            cell = cell->GetNext();
        return cell != nullptr ? window->CalcScrolledPosition(cell->GetAbsPos()).y : -1;
    };
    int unitX = 0, unitY = 0;
    for (const wxString anchor : {"SAIFI", "Pump station 12A"}) {
        ASSERT_TRUE(window->LoadPage(wxString::FromUTF8(report.string())));
        ASSERT_TRUE(window->LoadPage("#" + anchor));
        EXPECT_FALSE(window->IsComplete());
        EXPECT_EQ(window->GetOpenedAnchor(), anchor);
        window->GetScrollPixelsPerUnit(&unitX, &unitY);
        EXPECT_GT(window->GetViewStart().y, 0) << anchor;
        EXPECT_TRUE(anchorTop(anchor) >= 0 && anchorTop(anchor) < unitY) << anchor << " at " << anchorTop(anchor);
        // The view moves by whole scroll steps.
        ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
        EXPECT_TRUE(anchorTop(anchor) >= 0 && anchorTop(anchor) < 2 * unitY) << anchor << " at " << anchorTop(anchor);
    }

    // Once measured, a section is reached where it is on the page.
    const int reached = window->GetViewStart().y;
    window->LoadPage("#SAIFI");
    window->LoadPage("#Pump station 12A");
    EXPECT_EQ(window->GetViewStart().y, reached);

    // One the page does not hold leaves the view where it is.
    window->LoadPage(wxString::FromUTF8(report.string()));
    EXPECT_FALSE(window->LoadPage("#Nowhere"));
    EXPECT_EQ(window->GetViewStart().y, 0);
    EXPECT_TRUE(TakeDialogs().empty());
}

// Regression: a report could be scrolled no further than its sections measured so far (for
// seconds on a large one). Once one load point's section is measured, the others take the height
// their text would take, so the page can be scrolled to its end, and its last section shown, at once.
TEST_F(ReportWindow, CanBeScrolledToItsEndOnceOneSectionIsMeasured)
{
    window->SetPage(Sections(8));
    EXPECT_FALSE(window->IsWhole());  // its head alone
    wxTheApp->ProcessIdle();          // one turn: the first section
    ASSERT_TRUE(window->IsWhole());
    ASSERT_FALSE(window->IsComplete());
    const CReportParts& parts = *window->GetParts();
    ASSERT_FALSE(parts.IsMeasured(parts.GetCount() - 1));
    const int estimated = window->GetInternalRepresentation()->GetHeight();

    // The view at the page's end shows the last section, drawn.
    window->Scroll(0, window->GetVirtualSize().y);
    window->Update();
    const std::size_t last = parts.GetCount() - 1;
    const int top = window->CalcUnscrolledPosition(wxPoint()).y;
    EXPECT_TRUE(top > parts.GetTop(last) && top < parts.GetTop(last) + parts.GetHeight(last)) << top;
    EXPECT_TRUE(parts.IsFilled(last));
    EXPECT_TRUE(window->ToText().Contains("S7 line 149 "));

    // The sections are alike: the estimate is their height.
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    const int measured = window->GetInternalRepresentation()->GetHeight();
    EXPECT_NEAR(estimated, measured, measured / 100);
}

// The parts' anchors are found in the text before the parts are laid out: a name is read as the
// toolkit reads it (entities and all), or a click on such a load point would not move the page.
// And the view stays on the section it shows while the page, narrowed, is measured again.
TEST_F(ReportWindow, FindsEveryAnchorAsTheToolkitReadsItAndStaysOnItWhenNarrowed)
{
    const struct {
        const char* written;  // in the page
        const char* name;     // as the editor asks for it (UTF-8)
    } names[] = {{"A&amp;B", "A&B"}, {"Pump &#8470;1", "Pump \xE2\x84\x96" "1"}, {"Q&quot;s", "Q\"s"}, {"Last", "Last"}};
    wxString page = "<b><font size=\"4\">Network name :N</font></b><br>";
    for (const auto& name : names) {
        page += wxString("<br><p><u><b><a name = \"") + name.written + "\" id = \"x\">Load Point - x</a></b></u></p>";
        for (int line = 0; line < 150; ++line)
            page += "<font size=\"2\">0.00000 / 0.10000 0.00000 / 0.10000 0.00000 / 0.10000 0.00000 / 0.10000 "
                    "0.00000 / 0.10000 0.00000 / 0.10000</font><br>";
    }
    window->SetPage(page);
    ASSERT_EQ(window->GetParts()->GetCount(), 5u);
    for (const auto& name : names) {
        const wxString anchor = wxString::FromUTF8(name.name);
        std::size_t part = 0;
        EXPECT_TRUE(window->GetParts()->FindAnchor(anchor, &part)) << name.written;
        EXPECT_TRUE(window->LoadPage("#" + anchor)) << name.written;
        EXPECT_EQ(window->GetOpenedAnchor(), anchor);
    }

    // The lines above it wrap when narrowed.
    window->LoadPage("#Last");
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    const wxString anchor = "Last";
    const wxHtmlCell* cell = window->GetInternalRepresentation()->Find(wxHTML_COND_ISANCHOR, &anchor);
    ASSERT_NE(cell, nullptr);
    // The sections above, away from the view, without their cells: measured again from the text.
    Pump();
    EXPECT_LT(window->GetParts()->GetFilledCount(), 3u);
    window->SetSize(300, window->GetSize().y);
    Pump();
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    cell = window->GetInternalRepresentation()->Find(wxHTML_COND_ISANCHOR, &anchor);
    ASSERT_NE(cell, nullptr) << "the section left the view";
    int unitX = 0, unitY = 0;
    window->GetScrollPixelsPerUnit(&unitX, &unitY);
    const int top = window->CalcScrolledPosition(cell->GetAbsPos()).y;
    // Where it was, give or take the scroll step.
    EXPECT_TRUE(top >= 0 && top < 3 * unitY) << top;
}

// A selection points into the cells of its parts: they stay while it lasts, wherever the view
// goes (their loss would leave the selection pointing into freed cells).
TEST_F(ReportWindow, KeepsTheCellsASelectionHolds)
{
    const fs::path report = folder / "Net 1.htm";
    fs::copy_file(fs::path(KORVANE_TEST_DATA) / "montecarlo" / "report-ndl.htm", report, fs::copy_options::overwrite_existing);
    ASSERT_TRUE(window->LoadPage(wxString::FromUTF8(report.string())));
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    window->SelectWord(window->CalcUnscrolledPosition(wxPoint(30, 20)));
    const wxString selected = window->SelectionToText();
    EXPECT_FALSE(selected.empty());
    window->LoadPage("#SAIFI");
    Pump();
    EXPECT_TRUE(window->GetParts()->IsFilled(0));
    EXPECT_EQ(window->SelectionToText(), selected);
}

// Regression: while text was selected no part dropped its cells, so a user who selected a word and
// scrolled through a report brought every part back (toward the gigabyte the page once took). The
// parts from one end of a selection to the other keep their cells, for the selection points into
// them, beside those near the view; no other part does, and the selection still copies its text.
TEST_F(ReportWindow, KeepsOnlyThePartsFromOneEndOfTheSelectionToTheOther)
{
    window->SetPage(Sections(8));
    ASSERT_TRUE(PumpUntil([&] { return window->IsComplete(); }));
    const CReportParts& parts = *window->GetParts();
    ASSERT_EQ(parts.GetCount(), 9u);
    int unitX = 0, unitY = 0;
    window->GetScrollPixelsPerUnit(&unitX, &unitY);
    const int screen = window->GetClientSize().y;
    // Scrolls the page through from the top, a screen at a time, and at each step expects cells
    // in the parts [first, last) and those that meet the view widened by a screen each way only.
    const auto scrollThrough = [&](std::size_t first, std::size_t last, const std::string& name) {
        for (int start = 0; start * unitY < parts.GetTop(parts.GetCount() - 1); start += screen / unitY) {
            window->Scroll(0, start);
            window->Update();
            Pump();
            const int top = window->GetViewStart().y * unitY;
            for (std::size_t part = 0; part < parts.GetCount(); ++part) {
                const bool selected = part >= first && part < last;
                const bool near = parts.GetTop(part) < top + 2 * screen &&
                                  parts.GetTop(part) + parts.GetHeight(part) > top - screen;
                if (selected) {
                    EXPECT_TRUE(parts.IsFilled(part)) << name << ": part " << part << " lost its cells at " << top;
                } else if (!near) {
                    EXPECT_FALSE(parts.IsFilled(part)) << name << ": part " << part << " kept its cells at " << top;
                }
            }
        }
    };

    // A word of the third section.
    window->LoadPage("#S2");
    Pump();
    const wxPoint word = window->CalcUnscrolledPosition(wxPoint(30, 60));
    const std::size_t part = parts.PartsAt(word.y, word.y).first;
    EXPECT_EQ(part, 3u);
    window->SelectWord(word);
    const wxString selected = window->SelectionToText();
    EXPECT_TRUE(selected.StartsWith("line")) << selected;
    scrollThrough(part, part + 1, "a word");
    EXPECT_EQ(window->SelectionToText(), selected);

    // Text over several parts (as a drag over them selects it): all that holds cells with the view
    // across the third section's end.
    window->Scroll(0, (parts.GetTop(4) - screen / 2) / unitY);
    window->Update();
    Pump();
    std::size_t first = parts.GetCount(), last = 0;
    for (std::size_t filled = 0; filled < parts.GetCount(); ++filled)
        if (parts.IsFilled(filled)) {
            first = std::min(first, filled);
            last = filled + 1;
        }
    ASSERT_GE(last - first, 2u);
    window->SelectAll();
    const wxString text = window->SelectionToText();
    EXPECT_TRUE(text.Contains("S2 line 149 ") && text.Contains("S3 line 0 ")) << text;
    scrollThrough(first, last, "parts");
    EXPECT_EQ(window->SelectionToText(), text);
}

// Regression: a stored report path may name any file, and a large one froze the application for
// minutes and took memory many times its size (a report is held a part at a time; another page is
// not).
TEST_F(ReportWindow, OffersAFileTooLargeToTheBrowser)
{
    const fs::path big = folder / "Big.htm";
    std::ofstream(big) << "<p>Large</p>";
    fs::resize_file(big, CReportWindow::kLargestShown + 1);
    ASSERT_TRUE(window->LoadPage(wxString::FromUTF8(big.string())));
    EXPECT_TRUE(window->IsComplete());
    EXPECT_TRUE(window->IsOffering());
    EXPECT_EQ(window->ToText().Trim(false), wxString::FromUTF8("The report " + big.string() +
                                                             " is 96.0 MB, too large to show here.\nOpen it in the web "
                                                             "browser"));
    const wxHtmlContainerCell* page = window->GetInternalRepresentation();
    const wxHtmlCell* link = page->FindCellByPos(20, page->GetHeight() - 15);
    ASSERT_TRUE(link != nullptr && link->GetLink() != nullptr);
    EXPECT_EQ(wxFileSystem::URLToFileName(link->GetLink()->GetHref()).GetFullPath(), wxString::FromUTF8(big.string()));

    // A page that is no report, laid out in one piece, is offered from a smaller size on, whatever
    // its type; a report of that size is shown.
    const struct {
        const char* name;
        const char* head;
        bool offered;
    } pages[] = {{"Flat.htm", "<p>Flat</p>", true},
                 {"Flat.txt", "Flat", true},
                 {"Report.htm", "<b><font size=\"4\">Network name :N</font></b><br><br><p><u><b><a name = \"L\">", false}};
    for (const auto& flat : pages) {
        const fs::path file = folder / flat.name;
        std::ofstream(file) << flat.head;
        fs::resize_file(file, CReportWindow::kLargestFlat + 1);
        ASSERT_TRUE(window->LoadPage(wxString::FromUTF8(file.string()))) << flat.name;
        EXPECT_EQ(window->IsOffering(), flat.offered) << flat.name;
        if (flat.offered) {
            EXPECT_TRUE(window->ToText().Contains(" is 4.0 MB, too large to show here.")) << flat.name;
        }
    }

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

// Prints `printout`'s pages onto white A4-sized bitmaps at 72 dpi; `filled`, when given, gets the
// most parts that held cells while a page printed.
std::vector<wxImage> Print(wxPrintout& printout, std::size_t* filled = nullptr)
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
        if (filled != nullptr)
            *filled = std::max(*filled, dynamic_cast<CReportPrintout&>(printout).GetParts()->GetFilledCount());
        pages.push_back(sheet.ConvertToImage());
    }
    dc.SelectObject(wxNullBitmap);
    return pages;
}

// Regression: printing a report laid it out and looked for each page break over all of it, in
// time that grew with the square of its length (minutes for a few hundred load points), and held
// all of its cells (as much memory again as the page). Printed a part at a time, it gives the
// toolkit's pages, holding the cells of the parts on the page being printed only.
TEST_F(ReportWindow, PrintsAReportPartByPartAsTheToolkitPrintsTheWholePage)
{
    const wxString text = Golden("report-small.htm");
    CReportPrintout parts("Report", std::make_shared<const std::string>(text.utf8_string()), folder.string());
    wxHtmlPrintout whole("Report");
    whole.SetHtmlText(CReportParts::Linear(text));
    std::size_t filled = 0;
    const std::vector<wxImage> expected = Print(whole);
    const std::vector<wxImage> printed = Print(parts, &filled);
    ASSERT_EQ(printed.size(), expected.size());
    EXPECT_GT(printed.size(), 20u);
    for (std::size_t page = 0; page < printed.size(); ++page)
        EXPECT_TRUE(std::equal(printed[page].GetData(), printed[page].GetData() + 595 * 842 * 3,
                               expected[page].GetData()))
            << "page " << page + 1;
    // A page is shorter than a load point's section: it meets one part or two.
    EXPECT_GE(filled, 1u);
    EXPECT_LE(filled, 2u);
}

// Cancels each pagination once `parts` parts are laid out, as the user's Cancel in its progress does,
// while it lasts; counts the paginations cancelled.
struct CancelPagination {
    explicit CancelPagination(std::size_t parts)
    {
        CReportPrintout::SetProgress([this, parts](std::size_t done, std::size_t) {
            cancelled += done == parts ? 1 : 0;
            return done < parts;
        });
    }
    ~CancelPagination() { CReportPrintout::SetProgress(nullptr); }
    int cancelled = 0;
};

// The print's own dialog answered as by the user who keeps the printer it offers and presses Print.
void PressPrint(wxDialog&)
{
    GtkPrintUnixDialog* dialog = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* window = windows; window != nullptr; window = window->next)
        if (GTK_IS_PRINT_UNIX_DIALOG(window->data))
            dialog = GTK_PRINT_UNIX_DIALOG(window->data);
    g_list_free(windows);
    ASSERT_NE(dialog, nullptr);
    // The printers are listed after the dialog shows.
    for (int round = 0; round < 20000 && gtk_print_unix_dialog_get_selected_printer(dialog) == nullptr; ++round)
        if (!gtk_main_iteration_do(FALSE))
            g_usleep(1000);
    GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(dialog);
    ASSERT_NE(printer, nullptr);
    EXPECT_STREQ(gtk_printer_get_name(printer), "Print to File");
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
}

// While it lasts, the application's prints go to GTK's own "Print to File" printer, which writes
// `pdf`: the toolkit's print to a real printer but for where the job goes. The print system's
// printers are not listed (their backend warns on a machine without a system bus).
class CPrintingToFile {
public:
    explicit CPrintingToFile(const fs::path& pdf)
    {
        g_object_get(gtk_settings_get_default(), "gtk-print-backends", &m_backends, nullptr);
        g_object_set(gtk_settings_get_default(), "gtk-print-backends", "file", nullptr);
        wxPrintData& data = wxGetApp().GetDocManager()->GetPageSetupDialogData().GetPrintData();
        data.SetPrinterName("Print to File");
        auto* native = static_cast<wxGtkPrintNativeData*>(data.GetNativeData());
        gtk_print_settings_set(native->GetPrintConfig(), GTK_PRINT_SETTINGS_OUTPUT_URI,
                               wxFileSystem::FileNameToURL(wxString::FromUTF8(pdf.string())).utf8_string().c_str());
    }
    ~CPrintingToFile()
    {
        g_object_set(gtk_settings_get_default(), "gtk-print-backends", m_backends, nullptr);
        g_free(m_backends);
        wxGetApp().GetDocManager()->GetPageSetupDialogData().SetPrintData(wxPrintData());
    }

private:
    gchar* m_backends = nullptr;
};

// A long pagination can be cancelled. A cancelled print ends without a page and sends no job, a
// cancelled preview closes, and neither says anything more (the user asked for it), nor trips the
// toolkit: the toolkit's print takes no printout without pages, nor a cancel once its job has begun
// but from inside it.
TEST_F(ReportWindow, ACancelledPaginationPrintsAndPreviewsNothing)
{
    const fs::path report = folder / "Net 1.htm";
    fs::copy_file(fs::path(KORVANE_TEST_DATA) / "montecarlo" / "report-small.htm", report,
                  fs::copy_options::overwrite_existing);
    const auto source = std::make_shared<const std::string>(testfiles::ReadText(report));

    // Printed on a DC of its own, as the tests and tools print.
    {
        CReportPrintout printout("Report", source, folder.string());
        CancelPagination cancel(2);
        std::size_t filled = 0;
        EXPECT_TRUE(Print(printout, &filled).empty());
        EXPECT_TRUE(printout.IsCancelled());
        EXPECT_EQ(cancel.cancelled, 1);
        EXPECT_EQ(printout.GetParts()->GetFilledCount(), 0u);
        // Printed again, as the preview's Print does, it has its pages.
        CReportPrintout::SetProgress(nullptr);
        EXPECT_GT(Print(printout).size(), 20u);
        EXPECT_FALSE(printout.IsCancelled());
    }

    // The result page printed through the toolkit's print and its dialog.
    Doc().SetMonteCarloResultPath(nullptr, report.string());
    Command(ID_MONTE_CARLO_RESULT_VIEWER);
    const fs::path pdf = folder / "Printed.pdf";
    const CPrintingToFile printing(pdf);
    {
        CancelPagination cancel(2);
        Then(PressPrint);
        Command(wxID_PRINT);
        EXPECT_EQ(cancel.cancelled, 1);
        EXPECT_EQ(wxPrinter::GetLastError(), wxPRINTER_CANCELLED);
        Pump();
        EXPECT_FALSE(fs::exists(pdf)) << "a cancelled print sent its job";
    }
    // Regression: before its pagination the printout gave a last page before its first, and the
    // print's dialog offered, and printed, the first page alone.
    Then(PressPrint);
    Command(wxID_PRINT);
    EXPECT_EQ(wxPrinter::GetLastError(), wxPRINTER_NO_ERROR);
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(pdf) && fs::file_size(pdf) > 0; }));
    const std::string printed = testfiles::ReadText(pdf);
    const std::size_t count = printed.find("/Count ");
    ASSERT_NE(count, std::string::npos);
    EXPECT_GT(std::stoi(printed.substr(count + 7)), 20);

    // Its preview: one cancelled closes, one not stays.
    const auto previewFrame = [] {
        wxPreviewFrame* frame = nullptr;
        for (wxWindow* w : wxTopLevelWindows)
            frame = frame != nullptr || w->IsBeingDeleted() ? frame : wxDynamicCast(w, wxPreviewFrame);
        return frame;
    };
    for (const bool cancelling : {true, false}) {
        CancelPagination cancel(cancelling ? 2 : SIZE_MAX);
        Command(wxID_PREVIEW);
        ASSERT_TRUE(PumpUntil([&] {
            return cancelling ? cancel.cancelled == 1 && previewFrame() == nullptr
                              : previewFrame() != nullptr &&
                                    previewFrame()->GetControlBar()->GetPrintPreview()->GetMaxPage() > 20;
        }, 2000))
            << (cancelling ? "the cancelled preview stays" : "the preview has not the report's pages");
        EXPECT_EQ(cancel.cancelled, cancelling ? 1 : 0);
        if (!cancelling)
            previewFrame()->Close(true);
        Pump();
        EXPECT_TRUE(wxGetApp().GetMainFrame()->IsEnabled());  // as the preview leaves it
    }
    EXPECT_TRUE(TakeDialogs().empty());
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
