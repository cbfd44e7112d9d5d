#include <gtest/gtest.h>

#include <filesystem>

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

#include "tests/ui/DialogScript.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"
#include "ui/Splash.h"

using namespace dialog_test;

namespace {

// The running application with one network, its dialogs driven by a script.
struct DialogCommands : testing::Test {
    void SetUp() override
    {
        UiTest::InstallDialogHook();
        CSplashWnd::EnableSplashScreen(false);
        UiTest::Start({"-Embedding"});
        UiTest::TakeDialogs();
        UiTest::RemoveDialogHook();
    }
    void TearDown() override
    {
        UiTest::InstallDialogHook();
        UiTest::SetDialogAnswer(wxID_NO);  // do not save
        UiTest::Stop();
        UiTest::SetDialogAnswer(wxID_OK);
        UiTest::RemoveDialogHook();
    }

    static CKorvaneDoc& Doc() { return UiTest::ActiveDocument()->GetDoc(); }
    static void RightClick(CPoint p)
    {
        wxMouseEvent event(wxEVT_RIGHT_UP);
        event.SetPosition(wxPoint(p.x, p.y));
        UiTest::ActiveView()->GetCanvas()->GetEventHandler()->ProcessEvent(event);
        UiTest::Pump();
    }
};

TEST_F(DialogCommands, RightClickOnASelectedFeederOpensItsDatasheet)
{
    UiTest::TypeChar('1');
    UiTest::Drag({100, 100}, {260, 100});
    ASSERT_EQ(Doc().m_pLines->GetSize(), 1);
    UiTest::TypeChar('`');
    UiTest::MouseDown({180, 100});
    UiTest::MouseUp({180, 100});
    UiTest::ActiveDocument()->Modify(false);

    CDialogScript script;
    wxString title;
    script.Then([&](wxDialog& sheet) {
        title = sheet.GetTitle();
        wxWindow& page = *static_cast<wxPropertySheetDialog&>(sheet).GetBookCtrl()->GetPage(0);
        Toggle(Find<wxCheckBox>(page, 1106));
        Type(Find<wxTextCtrl>(page, 1111), "0.2");
        Press(sheet, wxID_OK);
    });
    RightClick({180, 100});
    EXPECT_EQ(title, "Feeder Datasheet");
    EXPECT_EQ(Doc().m_pLines->GetAt(0)->m_dFailure1, 0.2);
    // The edit reaches the file: closing would ask to save.
    EXPECT_TRUE(UiTest::ActiveDocument()->IsModified());
}

TEST_F(DialogCommands, WorkspaceSettingsRefuse30001AndResizeTheCanvasOnOk)
{
    CDialogScript script;
    bool stayedOpen = false;
    script.Then([&](wxDialog& dialog) {
        Type(Find<wxTextCtrl>(dialog, 1026), "30001");
        Press(dialog, wxID_OK);
        stayedOpen = dialog.IsModal();
        Press(dialog, 1034);  // "1920*1440"
        Press(dialog, wxID_OK);
    });
    UiTest::Command(ID_WORKSPACE_SETTINGS);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(script.messages, std::vector<std::string>{"Please enter an integer between 0 and 30000."});
    EXPECT_EQ(Doc().m_workspace.m_nWorkspaceWidth, 1920);
    EXPECT_EQ(Doc().m_workspace.m_sizeDoc.cy, 1440);
    EXPECT_EQ(UiTest::ActiveView()->GetCanvas()->GetVirtualSize(), wxSize(1920, 1440));
    EXPECT_TRUE(UiTest::ActiveDocument()->IsModified());

    // Cancel changes nothing.
    UiTest::ActiveDocument()->Modify(false);
    script.Then([](wxDialog& dialog) {
        Press(dialog, 1028);
        Press(dialog, wxID_CANCEL);
    });
    UiTest::Command(ID_WORKSPACE_SETTINGS);
    EXPECT_EQ(UiTest::ActiveView()->GetCanvas()->GetVirtualSize(), wxSize(1920, 1440));
    EXPECT_FALSE(UiTest::ActiveDocument()->IsModified());
}

TEST_F(DialogCommands, MonteCarloSettingsCommandEditsTheDocumentsSettings)
{
    CDialogScript script;
    script.Then([](wxDialog& dialog) {
        Type(Find<wxTextCtrl>(dialog, 1061), "48");
        Press(dialog, wxID_OK);
    });
    UiTest::Command(ID_MONTE_CARLO_SETTINGS);
    EXPECT_EQ(Doc().m_pSimulationSettings->quantsPerDay, 48);
    EXPECT_TRUE(UiTest::ActiveDocument()->IsModified());
}

TEST_F(DialogCommands, AnalyticalSettingsButtonReportsAMissingDataFile)
{
    const std::string missing = UiTest::Home() + "/no-interval-data.txt";
    CDialogScript script;
    script.Then([](wxDialog& dialog) { Press(dialog, wxID_OK); });
    Doc().m_analytical.m_dataFiles[kIntervalData] = missing;
    UiTest::Command(ID_ANALYTICAL_SETTINGS);
    EXPECT_EQ(script.messages, std::vector<std::string>{"Cannot open interval data " + missing});
    EXPECT_TRUE(UiTest::ActiveDocument()->IsModified());
}

}  // namespace
