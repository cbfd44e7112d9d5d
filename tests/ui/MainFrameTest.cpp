// The main frame's own parts: the splash at start-up, the toolbars' prompts in the status bar and
// the docking bars.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <wx/aui/aui.h>
#include <wx/display.h>
#include <wx/listbox.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "tests/Drawing.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/Splash.h"
#include "ui/results/NDLErrorsDlg.h"

using namespace UiTest;

namespace {

using MainFrame = App;

void Mouse(wxWindow& window, wxEventType type, wxPoint at)
{
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(&window);
    window.GetEventHandler()->ProcessEvent(event);
    Pump();
}

// Regression: the buttons showed only their tooltips.
TEST_F(MainFrame, AButtonShowsItsPromptInTheStatusBarWhileThePointerIsOverIt)
{
    CMainFrame* frame = wxGetApp().GetMainFrame();
    const auto message = [frame] { return frame->GetStatusBar()->GetStatusText(0).utf8_string(); };
    const std::string idle = message();
    EXPECT_EQ(idle, "Select & right click to bring up component dialog box");
    const struct {
        wxAuiToolBar* bar;
        int id;
        std::string prompt;
    } steps[] = {
        {frame->GetToolBarPane(), ID_DEBUG_NETWORK, "Debug Drawing/Settings Ctrl+F5"},
        {frame->GetToolBarPane(), wxID_NEW, "Create a new document"},
        {frame->GetWidgetBarPane(), ID_WIDGET_FEEDER, "Feeder"},
        {frame->GetWidgetBarPane(), ID_SPARE_BUTTON, idle},  // no prompt: the text as it was
    };
    for (const auto& step : steps) {
        Mouse(*step.bar, wxEVT_MOTION, step.bar->GetToolRect(step.id).GetPosition() + wxPoint(2, 2));
        EXPECT_EQ(message(), step.prompt) << step.id;
    }
    Mouse(*frame->GetWidgetBarPane(), wxEVT_MOTION, frame->GetWidgetBarPane()->GetToolRect(ID_SELECT).GetPosition());
    Mouse(*frame->GetWidgetBarPane(), wxEVT_LEAVE_WINDOW, wxPoint(-1, -1));
    EXPECT_EQ(message(), idle);
}

// Regression: the result bar opened too narrow for its right column; only dragging floated a bar.
TEST_F(MainFrame, ADoubleClickOnADockingBarsCaptionFloatsItAtItsFullSizeAndOnItsBodyDocksIt)
{
    CMainFrame* frame = wxGetApp().GetMainFrame();
    wxWindow* content = frame->OnBuildResultViewerDialog();
    Pump();
    const auto fieldsShown = [content] {
        int fields = 0;
        for (wxWindow* group : content->GetChildren())
            for (wxWindow* field : group->GetChildren())
                if (wxDynamicCast(field, wxTextCtrl) != nullptr) {
                    ++fields;
                    const wxRect r(content->ScreenToClient(field->GetScreenPosition()), field->GetSize());
                    if (!wxRect(content->GetClientSize()).Contains(r))
                        return -1;
                }
        return fields;
    };
    EXPECT_EQ(fieldsShown(), 13);

    wxAuiPaneInfo& pane = wxAuiManager::GetManager(content)->GetPane(content);
    ASSERT_TRUE(pane.IsDocked());
    // The caption lies just above what the bar holds.
    Mouse(*frame, wxEVT_LEFT_DCLICK, content->GetPosition() - wxPoint(-20, 5));
    EXPECT_TRUE(pane.IsFloating());
    ASSERT_TRUE(PumpUntil([&] { return pane.frame != nullptr && pane.frame->GetClientSize() == pane.best_size; }, 2000));
    EXPECT_EQ(fieldsShown(), 13);
    // Its body: a group box of the fields.
    Mouse(*content->FindWindow(1145), wxEVT_LEFT_DCLICK, wxPoint(2, 2));
    EXPECT_TRUE(pane.IsDocked());
    EXPECT_TRUE(pane.IsShown());
}

// Regression: once floating, the "NDL Errors" bar never docked by a double click: its list fills
// its body, and its caption, drawn by the bar's own frame, reported the click to no window.
TEST_F(MainFrame, AFloatingErrorsBarDocksByADoubleClickOnItsCaptionWhileItsLinesStillSelect)
{
    const CWidget* load = drawing::Draw(Doc(), "P 200 100")[0];  // one error line: not connected
    Command(ID_DEBUG_NETWORK);
    TakeDialogs();
    auto* errors = dynamic_cast<CNDLErrorsDlg*>(wxGetApp().GetMainFrame()->OnBuildDisplayErrors());
    ASSERT_NE(errors, nullptr);
    ASSERT_EQ(errors->GetList()->GetCount(), 1u);
    wxAuiManager& bars = *wxAuiManager::GetManager(errors);
    wxAuiPaneInfo& pane = bars.GetPane(errors);
    pane.Float();
    bars.Update();
    ASSERT_TRUE(PumpUntil([&] { return pane.frame != nullptr && pane.frame->IsShownOnScreen(); }, 5000));
    Pump();

    wxUIActionSimulator mouse;
    mouse.MouseMove(errors->GetList()->ClientToScreen(wxPoint(30, 6)));
    mouse.MouseDblClick();
    const CEditController& editor = ActiveView()->GetController();
    EXPECT_TRUE(PumpUntil([&] { return editor.GetSelectedWidgets() == std::vector<const CWidget*>{load}; }, 5000));
    EXPECT_TRUE(pane.IsFloating());

    mouse.MouseMove(pane.frame->GetScreenPosition() + wxPoint(40, 10));
    mouse.MouseDblClick();
    EXPECT_TRUE(PumpUntil([&] { return pane.IsDocked(); }, 5000));
    EXPECT_TRUE(pane.IsShown());
}

// The start-up splash waits for the test's keys however slow the machine is: its timer stopped.
void StopTimer(CSplashWnd& splash)
{
    struct Access : wxSplashScreen {
        static auto Timer() { return &Access::m_timer; }
    };
    (splash.*Access::Timer()).Stop();
}

bool IsPressed(wxWindow& button)
{
    return (gtk_widget_get_state_flags(button.GetHandle()) & GTK_STATE_FLAG_ACTIVE) != 0;
}

// Regression: Return and keypad Enter pressed during the splash of a real start-up hid it and
// went on to the "New" box (its list presses the default button before any key event is sent),
// whose OK made MC1; before that, Escape cancelled the box. The splash was centred on the hidden
// frame, not on the screen. Each first key is the splash's; the key after it is the box's.
TEST_F(MainFrame, TheSplashOfARealStartUpSwallowsTheFirstRealKeyAndTheNewBoxGetsTheNext)
{
    const struct {
        int key;
        int next;
        int answer;
    } presses[] = {
        {WXK_RETURN, WXK_ESCAPE, wxID_CANCEL}, {WXK_NUMPAD_ENTER, WXK_ESCAPE, wxID_CANCEL},
        {WXK_ESCAPE, WXK_RETURN, wxID_OK},     {' ', WXK_ESCAPE, wxID_CANCEL},
        {WXK_TAB, WXK_ESCAPE, wxID_CANCEL},    {'a', WXK_ESCAPE, wxID_CANCEL},
    };
    Stop();
    for (const auto& press : presses) {
        SCOPED_TRACE(press.key);
        bool centred = false, swallowed = false, okPressed = true, answered = false;
        int answer = wxID_NONE;
        Then([&](wxDialog& dialog) {
            CSplashWnd* splash = CSplashWnd::GetInstance();
            ASSERT_NE(splash, nullptr);
            StopTimer(*splash);
            // A real key goes where the keyboard focus is: into the box, once it is shown (a
            // window manager gives it the focus; without one, raising it does).
            dialog.Raise();
            ASSERT_TRUE(PumpUntil([&] {
                wxWindow* focus = wxWindow::FindFocus();
                return focus != nullptr && wxGetTopLevelParent(focus) == &dialog;
            }, 5000));
            const wxRect screen = wxDisplay(wxDisplay::GetFromWindow(splash)).GetGeometry();
            const wxPoint offset = splash->GetScreenRect().GetPosition() + splash->GetSize() / 2 -
                                   (screen.GetPosition() + screen.GetSize() / 2);
            centred = std::abs(offset.x) <= 1 && std::abs(offset.y) <= 1;
            wxUIActionSimulator keys;
            keys.Char(press.key);
            swallowed = PumpUntil([] { return CSplashWnd::GetInstance() == nullptr; }, 2000);
            // A key that reaches the box presses its default button at once and clicks it a
            // moment later.
            okPressed = !dialog.IsModal() || IsPressed(*dialog.FindWindow(wxID_OK));
            keys.Char(press.next);
            answered = PumpUntil([&] { return !dialog.IsModal(); }, 5000);
            answer = dialog.GetReturnCode();
        });
        Start();
        EXPECT_TRUE(centred);
        EXPECT_TRUE(swallowed);
        EXPECT_FALSE(okPressed);
        EXPECT_TRUE(answered);
        EXPECT_EQ(answer, press.answer);
        EXPECT_EQ(DocumentCount(), press.answer == wxID_OK ? 1 : 0);
        Stop();
    }
    Start({"-Embedding"});
}

// A mouse press anywhere is the splash's too: on a tool outside it, it does not choose the tool.
TEST_F(MainFrame, TheSplashSwallowsTheFirstRealMousePress)
{
    wxAuiToolBar* tools = wxGetApp().GetMainFrame()->GetWidgetBarPane();
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(wxGetApp().GetMainFrame(), 600000);
    ASSERT_NE(CSplashWnd::GetInstance(), nullptr);
    Pump();
    wxUIActionSimulator mouse;
    mouse.MouseMove(tools->ClientToScreen(tools->GetToolRect(ID_WIDGET_FUSE).GetPosition() + wxPoint(4, 4)));
    mouse.MouseClick();
    EXPECT_TRUE(PumpUntil([] { return CSplashWnd::GetInstance() == nullptr; }, 2000));
    Pump();
    const CEditController& editor = ActiveView()->GetController();
    EXPECT_TRUE(editor.IsSelectMode());
    mouse.MouseClick();
    EXPECT_TRUE(PumpUntil([&editor] { return editor.IsToolChecked(WidgetType::Fuse); }, 2000));
}

}  // namespace
