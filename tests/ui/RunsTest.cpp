// The Build commands driven through the real application: the network check and its errors bar,
// the NDL and GML windows, both runs with their messages, the progress dialog and result pages.
// What the runs compute and how they fail are tested in EngineRunTest and BuildCommandsTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <wx/aui/aui.h>
#include <wx/dcmemory.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmlwin.h>
#include <wx/listbox.h>
#include <wx/print.h>

#include "editor/RunMessages.h"
#include "tests/Drawing.h"
#include "tests/TestFiles.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"
#include "ui/results/AnalyticalHTMLView.h"
#include "ui/results/GMLDisplayDialog.h"
#include "ui/results/HTMLView.h"
#include "ui/results/NDLDisplayDialog.h"
#include "ui/results/NDLErrorsDlg.h"
#include "ui/results/SimulationProgressDlg.h"
#include "ui/results/SimulationResultDockableDlg.h"

using namespace UiTest;
namespace fs = std::filesystem;

namespace {

// Prints a view's first page onto a white A4-sized bitmap at 72 dpi and counts the pixels drawn.
int InkOnFirstPrintedPage(wxView& view)
{
    std::unique_ptr<wxPrintout> printout(view.OnCreatePrintout());
    if (!printout)
        return 0;
    wxBitmap sheet(595, 842);
    wxMemoryDC dc(sheet);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    PrepareA4At72Dpi(*printout, dc);
    if (!printout->OnBeginDocument(1, 1) || !printout->HasPage(1))
        return 0;
    printout->OnBeginPrinting();
    printout->OnPrintPage(1);
    printout->OnEndPrinting();
    dc.SelectObject(wxNullBitmap);
    const wxImage image = sheet.ConvertToImage();
    int ink = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (image.GetRed(x, y) < 128)
                ++ink;
    return ink;
}

struct Runs : App {
    void SetUp() override
    {
        App::SetUp();
        view = ActiveView();
    }

    CRunController& Controller() { return view->GetNetworkDocument().GetRunController(); }

    // A gen source, a line and a load point named `loadName`, each end on the next.
    void DrawConnected(const std::string& loadName = "Mill")
    {
        auto* load = static_cast<CLoadPoint*>(drawing::Draw(Doc(), "G 100 100, L 100 100 200 100, P 200 100")[2]);
        load->m_strName = loadName;
        load->m_nCustomers = 10;
        load->m_dAverage = 5;
        Doc().m_pSimulationSettings->quantsPerDay = 24;
    }
    // Saves the network into the test's folder and opens it from there, so its runs write there.
    void SaveAndOpen(const std::string& name)
    {
        network = folder / name;
        fs::create_directories(network.parent_path());
        Doc().SaveFile(network);
        CNetworkDocument* drawn = ActiveDocument();
        drawn->Modify(false);
        ASSERT_TRUE(wxGetApp().GetDocManager()->CloseDocument(drawn));
        const wxString path = wxString::FromUTF8(network.string());
        ASSERT_NE(wxGetApp().GetDocManager()->CreateDocument(path, wxDOC_SILENT), nullptr);
        Pump();
        view = ActiveView();
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(ActiveDocument()->GetFilename(), path);
    }
    // Saves and opens a connected network that runs until it is stopped, starts its Monte Carlo run
    // and waits for its first year; the run's progress window, or null.
    CSimulationProgressDlg* StartEndlessRun()
    {
        DrawConnected();
        Doc().m_pSimulationSettings->yearMin = 1000000000;
        Doc().m_pSimulationSettings->yearMax = 1000000000;
        SaveAndOpen("Net1.mc");
        Command(ID_MONTE_CARLO_SIMULATION);
        CSimulationProgressDlg* dialog = view->GetProgressDialog();
        if (dialog == nullptr || !PumpUntil([&] { return !Field(*dialog, CSimulationProgressDlg::ID_YEAR).empty(); }))
            return nullptr;
        return dialog;
    }
    static wxString Field(CSimulationProgressDlg& dialog, int id) { return dialog.GetField(id)->GetValue(); }
    // The files beside the network file but itself: only reports, no temporary file.
    void ExpectOnlyReportsBesideTheNetwork() const
    {
        for (const auto& entry : fs::directory_iterator(network.parent_path()))
            EXPECT_TRUE(entry.path() == network || entry.path().filename() == "Net1.htm" ||
                        entry.path().filename() == "Net1.txt")
                << entry.path();
    }
    static CNDLErrorsDlg* ErrorsBar()
    {
        return dynamic_cast<CNDLErrorsDlg*>(wxGetApp().GetMainFrame()->OnBuildDisplayErrors());
    }
    static void DoubleClick(wxListBox* list, int n)
    {
        list->SetSelection(n);
        wxCommandEvent event(wxEVT_LISTBOX_DCLICK, list->GetId());
        event.SetInt(n);
        event.SetEventObject(list);
        list->GetEventHandler()->ProcessEvent(event);
        Pump();
    }
    template <typename Page>
    Page* ResultPage() const
    {
        for (wxView* v : view->GetDocument()->GetViewsVector())
            if (v->GetClassInfo() == CLASSINFO(Page))
                return static_cast<Page*>(v);
        return nullptr;
    }
    void ActivateEditor()
    {
        static_cast<wxAuiMDIChildFrame*>(view->GetFrame())->Activate();
        Pump();
        ASSERT_EQ(ActiveView(), view);
    }
    bool RunEnded() { return !Controller().IsRunning() && view->GetProgressDialog() == nullptr; }
    // Starts a Monte Carlo run, answering yes to what it asks; false when it does not end.
    bool RunToTheEnd()
    {
        SetDialogAnswer(wxID_YES);
        Command(ID_MONTE_CARLO_SIMULATION);
        return PumpUntil([&] { return RunEnded(); });
    }
    // Opens the result page, then runs from the editor so that the report is written under it; the
    // page, or null when it does not open or the run does not end.
    CHTMLView* RunUnderTheOpenResultPage()
    {
        Command(ID_MONTE_CARLO_RESULT_VIEWER);
        CHTMLView* page = ResultPage<CHTMLView>();
        if (page == nullptr)
            return nullptr;
        ActivateEditor();
        if (!RunToTheEnd())
            return nullptr;
        TakeDialogs();
        return page;
    }
    // A click on the load point drawn by DrawConnected, with the windows side by side.
    void ClickTheLoadPoint()
    {
        Command(ID_WINDOW_TILE_VERT);
        Click(view->GetTransform().ToDevice(CPoint(200, 100)));
    }

    CKorvaneView* view = nullptr;
    fs::path network;
};

}  // namespace

TEST_F(Runs, DebugSaysWhenTheNetworkIsCleanAndListsTheFailuresSortedForADoubleClickToSelect)
{
    DrawConnected();
    Command(ID_DEBUG_NETWORK);
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"Checking completed : No error found!"});
    ASSERT_NE(ErrorsBar(), nullptr);
    EXPECT_EQ(ErrorsBar()->GetList()->GetCount(), 0u);
    // Regression: a never-saved network's run wrote its reports to ~/.Korvane.
    const fs::path data = fs::path(Home()) / ".local" / "share" / "Korvane";
    fs::remove_all(data);
    ASSERT_TRUE(RunToTheEnd());
    SetDialogAnswer(wxID_OK);
    EXPECT_TRUE(fs::exists(data / "MC1.htm") && fs::exists(data / "MC1.txt"));
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{run_text::kCompletedQuestion});

    // Drawn with the tools: a line, a bus bar and a load point that touch nothing.
    TypeChar('1');
    Drag({60, 60}, {160, 60});
    TypeChar('6');
    Drag({300, 50}, {300, 200});
    TypeChar('7');
    Click({400, 300});
    TypeChar('`');
    const CWidget* line = Doc().m_pLines->GetAt(1);
    const CWidget* bar = Doc().m_pBusBars->GetAt(0);
    const CWidget* load = Doc().m_pLoadPoints->GetAt(1);
    Command(ID_DEBUG_NETWORK);
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"Checking completed : Errors found in MC1.mc"});
    wxListBox* list = ErrorsBar()->GetList();
    ASSERT_EQ(list->GetCount(), 3u);
    EXPECT_EQ(list->GetString(0), "Bus Bar at  (300, 50)  (300, 200)  not connected");
    EXPECT_EQ(list->GetString(1), "Line at  (60, 60)  (160, 60)  not connected");
    EXPECT_EQ(list->GetString(2), "Load Point at  (400, 300)  not connected");
    const CWidget* expected[] = {bar, line, load};
    for (int n = 0; n < 3; ++n) {
        DoubleClick(list, n);
        EXPECT_EQ(view->GetController().GetSelectedWidgets(), std::vector<const CWidget*>{expected[n]}) << n;
    }

    // The line's widget is deleted: its line stays in the bar, and a double click does nothing.
    DoubleClick(list, 1);
    KeyDown(WXK_DELETE);
    DoubleClick(list, 1);
    EXPECT_TRUE(view->GetController().GetSelectedWidgets().empty());
    DoubleClick(list, 0);
    EXPECT_EQ(view->GetController().GetSelectedWidgets(), std::vector<const CWidget*>{bar});

    // Its editor closed, the bar's lines are harmless too.
    Command(wxID_CLOSE);
    EXPECT_EQ(DocumentCount(), 0);
    DoubleClick(list, 0);
}

TEST_F(Runs, DisplayWindowsShowTheTextOnceAndUpdateFromTheDocument)
{
    auto* line = static_cast<CLine*>(drawing::Draw(Doc(), "L 100 100 200 100")[0]);
    Command(ID_DISPLAY_NDL);
    CNDLDisplayDialog* ndl = view->GetNDLDialog();
    ASSERT_NE(ndl, nullptr);
    EXPECT_EQ(ndl->GetTitle(), "Network NDL for Verav Ezerez");
    EXPECT_EQ(ndl->GetEdit()->GetValue().utf8_string(), run_text::kNDLGeneratorError);
    Command(ID_DISPLAY_GML);
    CGMLDisplayDialog* gml = view->GetGMLDialog();
    ASSERT_NE(gml, nullptr);
    EXPECT_EQ(gml->GetTitle(), "Network GML for Analytical");
    EXPECT_EQ(gml->GetEdit()->GetValue().utf8_string(), run_text::kGMLGeneratorError);

    // Connected now: a second command leaves the open windows alone, "&Update" makes the text.
    drawing::Draw(Doc(), "G 100 100, P 200 100");
    Command(ID_DISPLAY_NDL);
    Command(ID_DISPLAY_GML);
    EXPECT_EQ(view->GetNDLDialog(), ndl);
    EXPECT_EQ(ndl->GetEdit()->GetValue().utf8_string(), run_text::kNDLGeneratorError);
    Press(*ndl, CNDLDisplayDialog::ID_NDL_UPDATE);
    Press(*gml, CGMLDisplayDialog::ID_GML_UPDATE);
    EXPECT_TRUE(ndl->GetEdit()->GetValue().Contains("load: connect = 1.;")) << ndl->GetEdit()->GetValue();
    EXPECT_TRUE(gml->GetEdit()->GetValue().StartsWith("graph")) << gml->GetEdit()->GetValue();

    // Closed, the next command opens a new window with a fresh text.
    line->m_dCapacity = 42;
    ndl->Close();
    Pump();
    EXPECT_EQ(view->GetNDLDialog(), nullptr);
    Command(ID_DISPLAY_NDL);
    ASSERT_NE(view->GetNDLDialog(), nullptr);
    EXPECT_TRUE(view->GetNDLDialog()->GetEdit()->GetValue().Contains("capacity = 42.;"));

    // The windows go with their editor.
    Command(wxID_CLOSE);
    Pump();
    EXPECT_TRUE(TakeDialogs().empty());
}

// Regression (the folder): the report's links held its path as it stands, so in a folder named
// "C# 100%" a click on a load point's row stopped at the "#" and found no report.
TEST_F(Runs, AMonteCarloRunWritesItsReportsAndTheOpenResultPagesShowThem)
{
    DrawConnected();
    SaveAndOpen("C# 100%/Net1.mc");
    const fs::path report = network.parent_path() / "Net1.htm";
    Command(ID_MONTE_CARLO_RESULT_VIEWER);
    CHTMLView* page = ResultPage<CHTMLView>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->GetBrowser()->ToText().empty());  // never run: blank
    EXPECT_EQ(std::unique_ptr<wxPrintout>(page->OnCreatePrintout()), nullptr);  // blank: nothing to print
    ActivateEditor();
    Command(ID_ANALYTICAL_RESULT_VIEWER);
    CAnalyticalHTMLView* analytical = ResultPage<CAnalyticalHTMLView>();
    ASSERT_NE(analytical, nullptr);
    // Regression: the pages' tabs carried the editor's name alone.
    EXPECT_EQ(page->GetFrame()->GetLabel(), wxString::FromUTF8("Net1 \u2013 Monte Carlo results"));
    EXPECT_EQ(analytical->GetFrame()->GetLabel(), wxString::FromUTF8("Net1 \u2013 Analytical results"));
    ActivateEditor();
    Command(ID_MONTE_CARLO_RESULT_VIEWER);  // one page of each kind at a time
    Command(ID_ANALYTICAL_RESULT_VIEWER);
    EXPECT_EQ(view->GetDocument()->GetViewsVector().size(), 3u);
    ActivateEditor();

    SetDialogAnswer(wxID_YES);
    Command(ID_MONTE_CARLO_SIMULATION);
    EXPECT_TRUE(ActiveDocument()->IsModified());
    ASSERT_TRUE(PumpUntil([&] { return RunEnded(); }));
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{run_text::kCompletedQuestion});
    ExpectOnlyReportsBesideTheNetwork();
    EXPECT_EQ(Doc().GetMonteCarloResultPath(), report.string());
    EXPECT_EQ(page->GetShownPath(), report.string());
    // Shown as a page, not as its markup, whatever type the system's MIME database gives ".htm".
    for (wxHtmlWindow* browser : {page->GetBrowser(), analytical->GetBrowser()}) {
        EXPECT_TRUE(browser->ToText().Contains("Network name :Net1")) << browser->ToText();
        EXPECT_FALSE(browser->ToText().Contains("<font"));
    }
    EXPECT_GT(InkOnFirstPrintedPage(*page), 1000) << "the report prints as a blank page";
    analytical->GetFrame()->Close();
    Pump();
    EXPECT_FALSE(wxGetApp().GetMainFrame()->m_bAnalyticalResultOpen);
    EXPECT_TRUE(wxGetApp().GetMainFrame()->m_bMonteCarloResultOpen);
    ActivateEditor();

    // A click on the load point, or on its row of the report, moves the page to its section.
    ClickTheLoadPoint();
    EXPECT_EQ(page->GetAnchor(), "Mill");
    ASSERT_TRUE(PumpUntil([&] { return page->GetBrowser()->GetOpenedAnchor() == "Mill"; }, 200));
    const std::string text = testfiles::ReadText(report);
    const std::size_t end = text.find("#Mill\">");
    const std::size_t start = text.rfind("href=\"", end);
    ASSERT_TRUE(end != std::string::npos && start != std::string::npos);
    page->GetBrowser()->SetPage("");
    page->GetBrowser()->OnLinkClicked(wxHtmlLinkInfo(wxString::FromUTF8(text.substr(start + 6, end + 5 - start - 6))));
    Pump();
    EXPECT_EQ(page->GetBrowser()->GetOpenedAnchor(), "Mill");
    EXPECT_TRUE(page->GetBrowser()->ToText().Contains("Load Point - Mill"));
    EXPECT_TRUE(TakeDialogs().empty());

    // Regression: after a run that fails the open page went on showing the results of the one
    // before.
    ActivateEditor();
    Doc().m_pSimulationSettings->quantsPerDay = 0;
    ASSERT_TRUE(RunToTheEnd());
    const auto dialogs = TakeDialogs();
    EXPECT_TRUE(Contains(dialogs, "Simulation stopped: the network description could not be read."));
    EXPECT_FALSE(Contains(dialogs, "Simulation completed!"));
    EXPECT_FALSE(page->GetBrowser()->ToText().Contains("Load Point - Mill")) << page->GetBrowser()->ToText();

    // Closing the page leaves the network, and the next command opens a page again.
    page->GetFrame()->Close();
    Pump();
    EXPECT_FALSE(wxGetApp().GetMainFrame()->m_bMonteCarloResultOpen);
    EXPECT_EQ(DocumentCount(), 1);
    ActivateEditor();
    Command(ID_MONTE_CARLO_RESULT_VIEWER);
    EXPECT_NE(ResultPage<CHTMLView>(), nullptr);
    Command(ID_RESULT_VIEWER_DIALOG);
    EXPECT_NE(dynamic_cast<CSimulationResultDockableDlg*>(wxGetApp().GetMainFrame()->OnBuildResultViewerDialog()),
              nullptr);
}

// Regression: the report names no encoding and the page read it as Latin-1, so a load point
// named with an umlaut showed garbled and a click on it found no section.
TEST_F(Runs, TheResultPageShowsANameBeyondAsciiAndFindsItsSection)
{
    const std::string name = "M\xC3\xBChle";
    DrawConnected(name);
    SaveAndOpen("Net1.mc");
    CHTMLView* page = RunUnderTheOpenResultPage();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->GetBrowser()->ToText().Contains(wxString::FromUTF8("Load Point - " + name)))
        << page->GetBrowser()->ToText();
    ClickTheLoadPoint();
    ASSERT_TRUE(PumpUntil([&] { return page->GetBrowser()->GetOpenedAnchor() == wxString::FromUTF8(name); }, 200));
}

// Regression: bars were drawn over their "value / probability" labels (the window rounds a
// stretched picture's position in stretched units), the picture pointed into the source tree, and
// the preview printed every underline as a thick bar.
TEST_F(Runs, TheResultPageDrawsEachBarBesideItsLabelAndPreviewsThinUnderlines)
{
    // A report copied away from where it was written, cut after its first load point.
    std::string text = testfiles::ReadText(fs::path(KORVANE_TEST_DATA) / "montecarlo" / "report-small.htm");
    text.erase(text.find("<p><u><b>", text.find("<p><u><b>") + 1));
    const fs::path report = folder / "Sent.htm";
    std::ofstream(report) << text;
    Doc().SetMonteCarloResultPath(nullptr, report.string());
    Command(ID_MONTE_CARLO_RESULT_VIEWER);
    ASSERT_NE(ResultPage<CHTMLView>(), nullptr);
    wxHtmlWindow* browser = ResultPage<CHTMLView>()->GetBrowser();
    wxHtmlContainerCell* top = browser->GetInternalRepresentation();
    wxBitmap bitmap(top->GetWidth(), 3000, 24);  // the first load point's four histograms
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        wxHtmlRenderingInfo info;
        wxDefaultHtmlRenderingStyle style(browser);
        info.SetStyle(&style);
        top->Draw(dc, 0, 0, 0, bitmap.GetHeight(), info);
    }
    const wxImage page = bitmap.ConvertToImage();
    auto isBar = [&page](int x, int y) {
        return page.GetRed(x, y) == 0x46 && page.GetGreen(x, y) == 0x82 && page.GetBlue(x, y) == 0xB4;
    };
    int barPixels = 0;
    for (int y = 0; y < page.GetHeight(); ++y)
        for (int x = 0; x < page.GetWidth(); ++x)
            barPixels += isBar(x, y) ? 1 : 0;
    EXPECT_GT(barPixels, 40 * 200) << "the bars are missing";
    for (wxHtmlTerminalCellsInterator it(top->GetFirstTerminal(), top->GetLastTerminal()); it; ++it) {
        const wxHtmlCell* cell = *it;
        const wxPoint at = cell->GetAbsPos();
        wxString word = cell->ConvertToText(nullptr);
        if (dynamic_cast<const wxHtmlWordCell*>(cell) == nullptr || word.Trim().empty() ||
            at.y + cell->GetHeight() > page.GetHeight())
            continue;
        int covered = 0;
        for (int y = at.y; y < at.y + cell->GetHeight(); ++y)
            for (int x = at.x; x < at.x + cell->GetWidth(); ++x)
                covered += isBar(x, y) ? 1 : 0;
        EXPECT_EQ(covered, 0) << "a bar covers \"" << word << "\" at " << at.y;
    }

    // The preview's page at its own zoom: no horizontal stroke is more than two rows thick.
    Command(wxID_PREVIEW);
    wxPreviewFrame* frame = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        frame = frame != nullptr ? frame : wxDynamicCast(w, wxPreviewFrame);
    ASSERT_NE(frame, nullptr);
    wxPreviewCanvas* canvas = nullptr;
    wxPrintPreviewBase* preview = nullptr;
    for (wxWindow* child : frame->GetChildren()) {
        canvas = canvas != nullptr ? canvas : wxDynamicCast(child, wxPreviewCanvas);
        if (auto* bar = wxDynamicCast(child, wxPreviewControlBar))
            preview = bar->GetPrintPreview();
    }
    ASSERT_TRUE(canvas != nullptr && preview != nullptr);
    wxBitmap sheet(canvas->GetVirtualSize());
    {
        wxMemoryDC dc(sheet);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        preview->PaintPage(canvas, dc);
    }
    const wxImage shown = sheet.ConvertToImage();
    int thickest = 0;
    for (int y = 0, rows = 0; y < shown.GetHeight(); ++y) {
        bool stroke = false;  // a black run as long as a short heading, shorter than the page's frame
        for (int x = 0, run = 0; x < shown.GetWidth(); ++x) {
            run = shown.GetRed(x, y) < 80 && shown.GetGreen(x, y) < 80 && shown.GetBlue(x, y) < 80 ? run + 1 : 0;
            stroke = stroke || (run >= 40 && run < shown.GetWidth() / 2);
        }
        rows = stroke ? rows + 1 : 0;
        thickest = std::max(thickest, rows);
    }
    EXPECT_LE(thickest, 2);
    frame->Close(true);
    Pump();
}


// Regression: closing the editor while its result page was open, declining to save, left the
// network open behind the page; opening its file again only showed the page, and a later Save As
// wrote the declined changes.
TEST_F(Runs, ClosingTheEditorClosesTheNetworkWithItsPageAndDropsDeclinedChanges)
{
    DrawConnected();
    SaveAndOpen("Net1.mc");
    ASSERT_NE(RunUnderTheOpenResultPage(), nullptr);
    drawing::Draw(Doc(), "F 500 500 600 500");
    SetDialogAnswer(wxID_NO);
    view->GetFrame()->Close();
    Pump();
    EXPECT_EQ(TakeDialogs().size(), 1u);  // the question whether to save
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_FALSE(wxGetApp().GetMainFrame()->m_bMonteCarloResultOpen);
    EXPECT_FALSE(wxGetApp().GetMainFrame()->GetTitle().Contains("Net1"));  // regression: the caption kept it

    ASSERT_NE(wxGetApp().GetDocManager()->CreateDocument(wxString::FromUTF8(network.string()), wxDOC_SILENT),
              nullptr);
    Pump();
    ASSERT_NE(ActiveView(), nullptr);
    EXPECT_EQ(Doc().GetWidgetCount(), 3);
    EXPECT_TRUE(EndsTheApplication([] { Command(wxID_EXIT); }));
}

TEST_F(Runs, PauseResumeAndCancelEndTheWorkerCleanlyAndASecondRunIsRefusedSilently)
{
    CSimulationProgressDlg* dialog = StartEndlessRun();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetTitle(), "Verav Ezerez : Simulating...");
    EXPECT_TRUE(Field(*dialog, CSimulationProgressDlg::ID_TIME).Contains(":"));
    Command(ID_MONTE_CARLO_SIMULATION);
    Command(ID_ANALYTICAL_SIMULATION);
    EXPECT_TRUE(TakeDialogs().empty());
    EXPECT_EQ(view->GetProgressDialog(), dialog);
    int progressDialogs = 0;
    for (wxWindow* w : wxTopLevelWindows)
        progressDialogs += dynamic_cast<CSimulationProgressDlg*>(w) != nullptr && w->IsShown();
    EXPECT_EQ(progressDialogs, 1);

    wxWindow* pause = dialog->FindWindow(CSimulationProgressDlg::ID_PAUSE);
    wxWindow* resume = dialog->FindWindow(CSimulationProgressDlg::ID_RESUME);
    EXPECT_TRUE(pause->IsEnabled() && !resume->IsEnabled());
    Press(*dialog, CSimulationProgressDlg::ID_PAUSE);
    EXPECT_TRUE(Controller().IsPaused());
    EXPECT_TRUE(!pause->IsEnabled() && resume->IsEnabled());
    Press(*dialog, CSimulationProgressDlg::ID_RESUME);
    EXPECT_FALSE(Controller().IsPaused());
    const wxString year = Field(*dialog, CSimulationProgressDlg::ID_YEAR);
    ASSERT_TRUE(PumpUntil([&] { return Field(*dialog, CSimulationProgressDlg::ID_YEAR) != year; }));

    // No to the question: the run goes on. The close box asks the same.
    Press(*dialog, CSimulationProgressDlg::ID_PAUSE);
    SetDialogAnswer(wxID_NO);
    Press(*dialog, wxID_CANCEL);
    dialog->Close();
    Pump();
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>(2, run_text::kTerminateQuestion));
    EXPECT_EQ(view->GetProgressDialog(), dialog);
    EXPECT_TRUE(Controller().IsRunning());

    // Yes while paused: the worker wakes, stops and is joined; no temporary file is left.
    SetDialogAnswer(wxID_YES);
    Press(*dialog, wxID_CANCEL);
    ASSERT_TRUE(PumpUntil([&] { return RunEnded(); }));
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{run_text::kTerminateQuestion});
    ExpectOnlyReportsBesideTheNetwork();
    EXPECT_EQ(wxGetApp().GetMainFrame()->GetStatusBar()->GetStatusText(0), run_text::kStopped);

    // Regressions: after a later run that completes, the stop message stayed, the dialog still
    // asked to wait with a remaining time, and the drawing keys did not reach the canvas.
    Doc().m_pSimulationSettings->yearMin = 100;
    Doc().m_pSimulationSettings->yearMax = 1000000;  // converges long before
    SetDialogAnswer(wxID_NO);  // the dialog stays after the completion question
    Command(ID_MONTE_CARLO_SIMULATION);
    dialog = view->GetProgressDialog();
    ASSERT_TRUE(PumpUntil([&] { return !Controller().IsRunning(); }));
    EXPECT_NE(wxGetApp().GetMainFrame()->GetStatusBar()->GetStatusText(0), run_text::kStopped);
    EXPECT_EQ(Field(*dialog, CSimulationProgressDlg::ID_REMAINING), "0.0");
    EXPECT_NE(wxWindow::FindWindowByLabel("Verav Ezerez simulation completed.", dialog), nullptr);
    Press(*dialog, wxID_CANCEL);
    Pump();
    EXPECT_TRUE(RunEnded());
    EXPECT_EQ(wxWindow::FindFocus(), view->GetCanvas());
}

// Closing the main window or the network asks about the run: No keeps the window, the network and
// its paused run; Yes wakes the paused worker to stop it, so the join cannot wait forever.
TEST_F(Runs, ClosingDuringAPausedRunAsksThenStopsAndJoinsTheWorker)
{
    CSimulationProgressDlg* running = StartEndlessRun();
    ASSERT_NE(running, nullptr);
    Press(*running, CSimulationProgressDlg::ID_PAUSE);
    ASSERT_TRUE(Controller().IsPaused());

    SetDialogAnswer(wxID_NO);
    wxGetApp().GetMainFrame()->Close();
    Pump();
    Command(wxID_CLOSE);
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>(2, run_text::kTerminateQuestion));
    ASSERT_NE(wxGetApp().GetMainFrame(), nullptr);
    EXPECT_TRUE(wxGetApp().GetMainFrame()->IsShown());
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_EQ(ActiveView(), view);
    EXPECT_TRUE(Controller().IsRunning() && Controller().IsPaused());

    wxWeakRef<CSimulationProgressDlg> dialog(running);
    SetDialogAnswer(wxID_YES);  // stop, then save the changes
    Command(wxID_CLOSE);
    Pump();
    EXPECT_TRUE(Contains(TakeDialogs(), run_text::kTerminateQuestion));
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_EQ(dialog.get(), nullptr);
    ExpectOnlyReportsBesideTheNetwork();
}

// Regression: each note on the network (here: no protective device) followed in a box of its own.
TEST_F(Runs, AnAnalyticalRunShowsTheFiveIndicesAndItsNotesInOneBox)
{
    // One lateral with 10 customers of 100 kVA behind a main section with no protective device:
    // 0.5 faults a year, 4 hours each.
    const auto widgets = drawing::Draw(Doc(), "G 0 0, L 0 0 100 0, L 100 0 200 0, P 200 0");
    static_cast<CLine*>(widgets[1])->m_nFeederType = 1;
    auto* lateral = static_cast<CLine*>(widgets[2]);
    lateral->m_nFeederType = 2;
    lateral->m_dFaultRate = 0.5;
    lateral->m_dFeederLength = 1;
    lateral->m_dRepairTime = 4;
    auto* load = static_cast<CLoadPoint*>(widgets[3]);
    load->m_nNumCustomers = 10;
    load->m_dLoad = 100;
    Doc().m_analytical.m_nFaultCount = 2;

    Command(ID_ANALYTICAL_SIMULATION);
    ASSERT_TRUE(PumpUntil([&] { return !Controller().IsRunning(); }));
    const auto dialogs = TakeDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].rfind("SAIFI = 0.5000\nSAIDI = 2.0000\nCAIDI = 4.0000\nASAI = 0.9998\nENS\t= 200.0000\n\n", 0), 0u)
        << dialogs[0];
    EXPECT_TRUE(Contains(dialogs, "\n\nNo protective device lies between these feeders and the supply")) << dialogs[0];
    EXPECT_TRUE(ActiveDocument()->IsModified());
}
