#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include <wx/aui/auibar.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/print.h>

#include "tests/editor/EditorTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"
#include "ui/Splash.h"

using namespace UiTest;

namespace {

struct Shell : testing::Test {
    void SetUp() override
    {
        InstallDialogHook();
        CSplashWnd::EnableSplashScreen(false);
        Start({"-Embedding"});
        TakeDialogs();
    }
    void TearDown() override
    {
        Stop();
        RemoveDialogHook();
    }

    static std::string TempFile(const std::string& name) { return Home() + "/" + name; }
    static CKorvaneDoc& Doc() { return ActiveDocument()->GetDoc(); }
};

}  // namespace

TEST_F(Shell, StartsWithOneEmptyNetworkAfterTheTypeChoice)
{
    Stop();
    Start();
    const auto dialogs = TakeDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].StartsWith("New"));
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_EQ(ActiveDocument()->GetUserReadableName(), "MC1");
    EXPECT_EQ(Doc().GetWidgetCount(), 0);
    EXPECT_FALSE(ActiveDocument()->IsModified());
    EXPECT_TRUE(wxGetApp().GetMainFrame()->IsShown());

    // Cancel at the type choice makes nothing.
    SetDialogAnswer(wxID_CANCEL);
    Command(wxID_NEW);
    EXPECT_EQ(DocumentCount(), 1);
    SetDialogAnswer(wxID_OK);
    Command(wxID_NEW);
    EXPECT_EQ(DocumentCount(), 2);
    EXPECT_EQ(ActiveDocument()->GetUserReadableName(), "MC2");
}

TEST_F(Shell, KeySixAndADragMakeAGreyBusBar)
{
    TypeChar('6');
    EXPECT_TRUE(ActiveView()->GetController().IsToolChecked(WidgetType::BusBar));
    Drag({100, 100}, {260, 100});
    ASSERT_EQ(Doc().m_pBusBars->GetSize(), 1);
    const CBusBar* bar = Doc().m_pBusBars->GetAt(0);
    EXPECT_EQ(bar->GetWidth(), 2);
    EXPECT_EQ(bar->GetColour(), RGB(128, 128, 128));
    EXPECT_EQ(bar->GetStartPoint(), CPoint(100, 100));
    EXPECT_EQ(bar->GetEndPoint(), CPoint(260, 100));
    EXPECT_TRUE(ActiveDocument()->IsModified());
    EXPECT_TRUE(ActiveDocument()->wxDocument::IsModified());  // the window title shows it too

    TypeChar('`');
    EXPECT_TRUE(ActiveView()->GetController().IsSelectMode());
    TypeChar('+', true);
    EXPECT_EQ(ActiveView()->GetController().GetZoom(), 123);
}

TEST_F(Shell, CopyPasteAndCutKeepTheOrderListInStep)
{
    Command(ID_WIDGET_FEEDER);
    Drag({50, 50}, {150, 50});
    Command(ID_WIDGET_LOAD_POINT);
    Drag({150, 50}, {150, 50});
    Command(ID_SELECT_ALL);
    EXPECT_EQ(ActiveView()->GetController().GetSelection().size(), 2u);
    Command(wxID_COPY);
    Command(wxID_PASTE);
    Command(wxID_PASTE);
    EXPECT_EQ(Doc().GetWidgetCount(), 6);
    ExpectOrderInStep(Doc());
    Command(ID_SELECT_ALL);
    Command(wxID_CUT);
    EXPECT_EQ(Doc().GetWidgetCount(), 0);
    EXPECT_TRUE(Doc().m_widgetOrder.empty());
    EXPECT_EQ(wxGetApp().GetMainFrame()->m_clipboard.GetSize(), 6);
    Command(wxID_PASTE);
    EXPECT_EQ(Doc().GetWidgetCount(), 6);
    ExpectOrderInStep(Doc());
}

TEST_F(Shell, SavingWhileZoomedStoresTheTrueDrawing)
{
    Command(ID_WIDGET_FUSE);
    Drag({40, 60}, {140, 60});
    Command(ID_ZOOM_IN);
    Command(ID_ZOOM_IN);
    EXPECT_TRUE(ActiveView()->GetController().IsZoomed());
    const std::string path = TempFile("zoomed.mc");
    ASSERT_TRUE(ActiveDocument()->OnSaveDocument(path));
    EXPECT_FALSE(ActiveDocument()->IsModified());

    CKorvaneDoc reread;
    reread.OpenFile(path);
    ASSERT_EQ(reread.m_pFuses->GetSize(), 1);
    EXPECT_EQ(reread.m_pFuses->GetAt(0)->GetStartPoint(), CPoint(40, 60));
    EXPECT_EQ(reread.m_pFuses->GetAt(0)->GetEndPoint(), CPoint(140, 60));
}

TEST_F(Shell, ReopeningFromTheRecentListRedrawsTheSamePicture)
{
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        Command(ID_WIDGET_FEEDER + t);
        Drag({40 + 60 * t, 80}, {40 + 60 * t, 160});
    }
    const wxImage before = Render(700, 260);
    const std::string path = TempFile("reopen.mc");
    ASSERT_TRUE(ActiveDocument()->OnSaveDocument(path));
    Command(wxID_CLOSE);
    EXPECT_EQ(DocumentCount(), 0);

    wxFileHistory* history = wxGetApp().GetDocManager()->GetFileHistory();
    ASSERT_GE(history->GetCount(), 1u);
    EXPECT_EQ(history->GetHistoryFile(0), wxString(path));
    Command(wxID_FILE1);
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_EQ(Doc().GetWidgetCount(), kWidgetTypeCount);
    const wxImage after = Render(700, 260);
    ASSERT_EQ(before.GetWidth(), after.GetWidth());
    EXPECT_EQ(0, std::memcmp(before.GetData(), after.GetData(), before.GetWidth() * before.GetHeight() * 3));
}

TEST_F(Shell, RecentFileListKeepsSixAcrossRestarts)
{
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(ActiveDocument()->OnSaveDocument(TempFile("net" + std::to_string(i) + ".mc")));
    EXPECT_EQ(wxGetApp().GetDocManager()->GetFileHistory()->GetCount(), 6u);
    Stop();
    Start({"-Embedding"});
    wxFileHistory* history = wxGetApp().GetDocManager()->GetFileHistory();
    ASSERT_EQ(history->GetCount(), 6u);
    EXPECT_EQ(history->GetHistoryFile(0), wxString(TempFile("net7.mc")));
    EXPECT_EQ(history->GetHistoryFile(5), wxString(TempFile("net2.mc")));
}

TEST_F(Shell, AFileThatCannotBeOpenedIsReportedAndWorkGoesOn)
{
    Stop();
    const std::string path = TempFile("broken.mc");
    std::ofstream(path) << "not a network";
    Start({"-Embedding", path});
    const auto dialogs = TakeDialogs();
    ASSERT_FALSE(dialogs.empty());
    EXPECT_NE(dialogs[0].Find("broken.mc"), wxNOT_FOUND);
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_EQ(Doc().GetWidgetCount(), 0);
    EXPECT_TRUE(wxGetApp().GetMainFrame()->IsShown());
}

TEST_F(Shell, PrintPreviewOpens)
{
    Command(ID_WIDGET_RECLOSER);
    Drag({40, 60}, {140, 90});
    Command(wxID_PREVIEW);
    wxPreviewFrame* preview = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* p = wxDynamicCast(w, wxPreviewFrame))
            preview = p;
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->IsShown());
    preview->Close(true);
    Pump();
    // Printing is a transform: the drawing is untouched.
    EXPECT_EQ(Doc().m_pReclosers->GetAt(0)->GetEndPoint(), CPoint(140, 90));
}

TEST_F(Shell, SplashSwallowsTheFirstKeyPress)
{
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(wxGetApp().GetMainFrame());
    ASSERT_NE(CSplashWnd::GetInstance(), nullptr);
    wxKeyEvent key(wxEVT_KEY_DOWN);
    EXPECT_EQ(wxGetApp().FilterEvent(key), wxApp::Event_Processed);
    EXPECT_EQ(CSplashWnd::GetInstance(), nullptr);
    EXPECT_EQ(wxGetApp().FilterEvent(key), wxApp::Event_Skip);
    Pump();
}

TEST_F(Shell, UnhandledCommandsAreGreyed)
{
    wxMenuBar* bar = wxGetApp().GetMainFrame()->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    wxGetApp().GetMainFrame()->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    for (const int id : {int(wxID_UNDO), int(ID_IMPORT), int(ID_EXPORT), int(ID_ANALYTICAL_SETTINGS_MENU)}) {
        wxMenuItem* item = bar->FindItem(id);
        ASSERT_NE(item, nullptr) << id;
        EXPECT_FALSE(item->IsEnabled()) << id;
    }
    EXPECT_TRUE(bar->FindItem(ID_ZOOM_IN)->IsEnabled());

    // Regression: the tooltips said "F5" where the menu's key is Ctrl+F5.
    CMainFrame* frame = wxGetApp().GetMainFrame();
    for (const int id : {int(ID_DEBUG_NETWORK), int(ID_MONTE_CARLO_SIMULATION), int(ID_DISPLAY_NDL),
                         int(ID_ANALYTICAL_SIMULATION), int(ID_DISPLAY_GML)}) {
        const std::unique_ptr<wxAcceleratorEntry> key(bar->FindItem(id)->GetAccel());
        EXPECT_TRUE(frame->GetToolBarPane()->GetToolShortHelp(id).EndsWith(" " + key->ToString())) << id;
    }

    // Regression: with no network the toolbars' document commands and drawing tools looked
    // enabled and did nothing.
    const std::set<int> always = {wxID_NEW, wxID_OPEN, wxID_ABOUT, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT,
                                  ID_WINDOW_CASCADE, ID_DISPLAY_ERRORS, ID_MONTE_CARLO_RESULT_VIEWER,
                                  ID_ANALYTICAL_RESULT_VIEWER, ID_RESULT_VIEWER_DIALOG};
    const auto enabled = [frame](int id) {
        wxAuiToolBar* bar = frame->GetToolBarPane()->FindTool(id) ? frame->GetToolBarPane() : frame->GetWidgetBarPane();
        return bar->GetToolEnabled(id);
    };
    Command(wxID_CLOSE);
    for (const auto* layout : {&MainToolBarLayout(), &WidgetToolBarLayout()})
        for (const int id : *layout)
            EXPECT_TRUE(id == 0 || enabled(ToolkitId(id)) == (always.count(ToolkitId(id)) == 1)) << id;
    Command(wxID_NEW);
    for (const int id : {int(ID_SELECT), int(ID_WIDGET_GEN_SOURCE), int(ID_TOGGLE), int(ID_DEBUG_NETWORK)})
        EXPECT_TRUE(enabled(id)) << id;
}

TEST_F(Shell, ADrawnNetworkShowsAllTenFigures)
{
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        TypeChar(t == 9 ? '0' : '1' + t);
        Drag({40 + 60 * t, 80}, {40 + 60 * t + (t % 2) * 30, 160});
    }
    TypeChar('`');
    ASSERT_EQ(Doc().GetWidgetCount(), kWidgetTypeCount);
    const wxImage image = Render(700, 260);
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        int ink = 0;
        for (int x = 40 + 60 * t - 15; x < 40 + 60 * t + 40; ++x)
            for (int y = 60; y < 200; ++y)
                ink += image.GetRed(x, y) != 255 || image.GetBlue(x, y) != 255;
        EXPECT_GT(ink, 20) << WidgetTypeName(static_cast<WidgetType>(t));
    }

    // A grab of the whole window, kept in the temporary folder for a look by eye.
    wxFrame* frame = wxGetApp().GetMainFrame();
    frame->Raise();
    Pump();
    const wxRect area = frame->GetScreenRect();
    wxBitmap grab(area.width, area.height, 24);
    {
        wxScreenDC screen;
        wxMemoryDC dc(grab);
        dc.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler);
    grab.SaveFile(wxFileName::GetTempDir() + "/korvane-network-screenshot.png", wxBITMAP_TYPE_PNG);
}

// Regression: the application's end destroyed the main window again after the toolkit had deleted
// it (a read of freed memory), and the process could stay in its event loop.
TEST_F(Shell, ExitTheCloseBoxAndTheEndOfTheSessionEndTheApplication)
{
    const std::function<void()> ways[] = {
        [] { Command(wxID_EXIT); },
        [] { wxGetApp().GetMainFrame()->Close(); },
        [] { std::raise(SIGTERM); },
    };
    for (const auto& way : ways) {
        Command(ID_WIDGET_FUSE);
        Drag({40, 60}, {140, 60});
        SetDialogAnswer(wxID_NO);  // the changes are not saved
        EXPECT_TRUE(EndsTheApplication(way));
        Start({"-Embedding"});
    }
}
