// The application's frame through its commands: start, keys and tools, clipboard commands, the
// recent-file list, greyed commands, the splash and the ways the application ends.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>

#include <wx/aui/auibar.h>
#include <wx/filehistory.h>
#include <wx/menu.h>

#include "tests/AllocationFailure.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkDocument.h"
#include "ui/ShellLog.h"
#include "ui/Splash.h"

using namespace UiTest;

namespace {

using Shell = App;

TEST_F(Shell, StartsWithOneEmptyNetworkAfterTheTypeChoice)
{
    Stop();
    Start();
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"New"});
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

// The typed keys reach the canvas (GTK does not fire them as menu accelerators); the drawing
// reopened from the recent-file list is the same picture.
TEST_F(Shell, TypedKeysDrawEveryWidgetAndTheRecentListReopensTheSamePicture)
{
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        TypeChar(t == 9 ? '0' : '1' + t);
        EXPECT_TRUE(ActiveView()->GetController().IsToolChecked(static_cast<WidgetType>(t))) << t;
        Drag({40 + 60 * t, 80}, {40 + 60 * t + (t % 2) * 30, 160});
        EXPECT_EQ(Doc().GetCollection(static_cast<WidgetType>(t)).GetSize(), 1) << t;
    }
    EXPECT_TRUE(ActiveDocument()->wxDocument::IsModified());  // the window title shows it
    TypeChar('`');
    EXPECT_TRUE(ActiveView()->GetController().IsSelectMode());
    const wxImage before = Render(700, 260);
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        int ink = 0;
        for (int x = 40 + 60 * t - 15; x < 40 + 60 * t + 40; ++x)
            for (int y = 60; y < 200; ++y)
                ink += before.GetRed(x, y) != 255 || before.GetBlue(x, y) != 255;
        EXPECT_GT(ink, 20) << WidgetTypeName(static_cast<WidgetType>(t));
    }

    const std::string path = (folder / "reopen.mc").string();
    ASSERT_TRUE(ActiveDocument()->OnSaveDocument(path));
    Command(wxID_CLOSE);
    EXPECT_EQ(DocumentCount(), 0);
    wxFileHistory* history = wxGetApp().GetDocManager()->GetFileHistory();
    ASSERT_GE(history->GetCount(), 1u);
    EXPECT_EQ(history->GetHistoryFile(0), wxString(path));
    Command(wxID_FILE1);
    ASSERT_EQ(DocumentCount(), 1);
    const wxImage after = Render(700, 260);
    EXPECT_EQ(0, std::memcmp(before.GetData(), after.GetData(), before.GetWidth() * before.GetHeight() * 3));

    TypeChar('+', true);
    EXPECT_EQ(ActiveView()->GetController().GetZoom(), 123);
    TypeChar('-', true);
    EXPECT_LT(ActiveView()->GetController().GetZoom(), 123);
}

TEST_F(Shell, ClipboardCommandsReachTheEditorThroughTheFrame)
{
    Command(ID_WIDGET_FEEDER);
    Drag({50, 50}, {150, 50});
    Command(ID_SELECT_ALL);
    Command(wxID_COPY);
    Command(wxID_PASTE);
    EXPECT_EQ(Doc().GetWidgetCount(), 2);
    Command(ID_SELECT_ALL);
    Command(wxID_CUT);
    EXPECT_EQ(Doc().GetWidgetCount(), 0);
    EXPECT_EQ(wxGetApp().GetMainFrame()->m_clipboard.GetSize(), 2);
    Command(wxID_PASTE);
    EXPECT_EQ(Doc().GetWidgetCount(), 2);
}

// Regression: a widget that could not be drawn for want of memory was dropped without a word.
TEST_F(Shell, DrawingWhenMemoryRunsOutSaysSoWithTheStopIcon)
{
    if (!testalloc::CAllocationFailure::Works())
        GTEST_SKIP() << "a sanitizer owns the allocator";
    for (int i = 0; i < 4096; ++i)
        Doc().AddWidget(std::make_unique<CLine>(CPoint(0, 0), CPoint(10, 0), 1, 0));  // the next name needs 256 KiB
    Command(ID_WIDGET_LOAD_POINT);
    TakeDialogs();
    MouseDown({100, 100});
    {
        testalloc::CAllocationFailure failure(128 * 1024);
        MouseUp({100, 100});
    }
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"Out of memory"});
    EXPECT_EQ(LastMessageBoxStyle() & wxICON_MASK, wxICON_ERROR);
    EXPECT_EQ(Doc().m_pLoadPoints->GetSize(), 0);
    EXPECT_EQ(Doc().m_widgetOrder.size(), 4096u);
}

TEST_F(Shell, RecentFileListKeepsSixAcrossRestarts)
{
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(ActiveDocument()->OnSaveDocument((folder / ("net" + std::to_string(i) + ".mc")).string()));
    EXPECT_EQ(wxGetApp().GetDocManager()->GetFileHistory()->GetCount(), 6u);
    Stop();
    Start({"-Embedding"});
    wxFileHistory* history = wxGetApp().GetDocManager()->GetFileHistory();
    ASSERT_EQ(history->GetCount(), 6u);
    EXPECT_EQ(history->GetHistoryFile(0), wxString((folder / "net7.mc").string()));
    EXPECT_EQ(history->GetHistoryFile(5), wxString((folder / "net2.mc").string()));
}

TEST_F(Shell, AFileThatCannotBeOpenedAtTheStartIsReportedAndWorkGoesOn)
{
    Stop();
    const std::string path = (folder / "broken.mc").string();
    std::ofstream(path) << "not a network";
    Start({"-Embedding", path});
    const auto dialogs = TakeDialogs();
    ASSERT_FALSE(dialogs.empty());
    EXPECT_TRUE(Contains(dialogs, path));
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_EQ(Doc().GetWidgetCount(), 0);
    EXPECT_TRUE(wxGetApp().GetMainFrame()->IsShown());
}

TEST_F(Shell, UnhandledCommandsAreGreyed)
{
    CMainFrame* frame = wxGetApp().GetMainFrame();
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    for (const int id : {int(wxID_UNDO), int(ID_IMPORT), int(ID_EXPORT), int(ID_ANALYTICAL_SETTINGS_MENU)})
        EXPECT_FALSE(bar->FindItem(id)->IsEnabled()) << id;
    EXPECT_TRUE(bar->FindItem(ID_ZOOM_IN)->IsEnabled());

    // Regression: the tooltips said "F5" where the menu's key is Ctrl+F5.
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

    // Regression: the widget bar's three spare buttons showed nothing; they show a picture,
    // greyed, with no tooltip.
    wxAuiToolBar* widgets = frame->GetWidgetBarPane();
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    int spare = 0;
    for (size_t i = 0; i < widgets->GetToolCount(); ++i) {
        wxAuiToolBarItem* tool = widgets->FindToolByIndex(static_cast<int>(i));
        if (tool->GetId() != ID_SPARE_BUTTON && tool->GetId() != ID_SPARE_BUTTON_2)
            continue;
        ++spare;
        EXPECT_TRUE(tool->GetState() & wxAUI_BUTTON_STATE_DISABLED) << i;
        EXPECT_TRUE(tool->GetShortHelp().empty()) << i;
        // Taken for the bar: a tool's own window is that of a control item, none for a button.
        const wxImage picture = tool->GetBitmapFor(widgets).ConvertToImage();
        int ink = 0;
        for (int x = 0; x < picture.GetWidth(); ++x)
            for (int y = 0; y < picture.GetHeight(); ++y)
                ink += !picture.IsTransparent(x, y) && picture.GetRed(x, y) < 128;
        EXPECT_GT(ink, 20) << i;
    }
    EXPECT_EQ(spare, 3);
}

// Catches a second key that the toolkit cannot read and the table leaves out without a word.
TEST_F(Shell, SecondKeysSendTheirCommands)
{
    const wxAcceleratorTable* table = wxGetApp().GetMainFrame()->GetAcceleratorTable();
    int keys = 0;
    for (const CCommand& command : Commands()) {
        if (command.otherKey == nullptr)
            continue;
        ++keys;
        wxAcceleratorEntry key;
        ASSERT_TRUE(key.FromString(command.otherKey)) << command.otherKey;
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = key.GetKeyCode();
        event.SetControlDown(key.GetFlags() & wxACCEL_CTRL);
        event.SetShiftDown(key.GetFlags() & wxACCEL_SHIFT);
        event.SetAltDown(key.GetFlags() & wxACCEL_ALT);
        EXPECT_EQ(table->GetCommand(event), ToolkitId(command.id)) << command.otherKey;
    }
    EXPECT_EQ(keys, 4);  // Ctrl+Ins, Shift+Del, Shift+Ins, Alt+Back
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

// Regression: a message logged once the main window had gone showed a box with no window to stand
// on (at the very end, after the application object was gone, a crash), and on a print-only
// command line a box that nobody was there to answer.
TEST_F(Shell, LogMessagesAreBoxesOnlyWhileTheMainWindowIsThere)
{
    auto* log = new CShellLog;
    wxLog* previous = wxLog::SetActiveTarget(log);
    const auto say = [log](const char* text) {
        testing::internal::CaptureStderr();
        wxLogError("%s", text);
        log->Flush();
        return testing::internal::GetCapturedStderr();
    };
    EXPECT_EQ(say("in a session"), "");
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"in a session"});

    Stop();
    EXPECT_EQ(say("after the end"), "korvane: after the end\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(wxGetApp().InitInstance({"/p", (folder / "net.mc").string()}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(say("while printing"), "korvane: while printing\n");
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{});
    delete wxLog::SetActiveTarget(previous);
}

}  // namespace
