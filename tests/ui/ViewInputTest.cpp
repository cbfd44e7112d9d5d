// The network view's mouse and keys as a user gives them: real pointer and key events through the
// X server and the toolkit, not events handed to the canvas.
#include <gtest/gtest.h>

#include <wx/aui/auibook.h>
#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"

using namespace UiTest;

namespace {

using ViewInput = App;

// Rounds of pumping for events the X server delivers at once: seconds.
constexpr int kRounds = 5000;

wxPoint OnScreen(CPoint p)
{
    return ActiveView()->GetCanvas()->ClientToScreen(wxPoint(p.x, p.y));
}

bool HasWidgetAt(WidgetType type, CPoint p)
{
    const CCollectionBase& widgets = App::Doc().GetCollection(type);
    for (int i = 0; i < widgets.GetSize(); ++i)
        if (widgets.GetWidgetAt(i)->GetStartPoint() == p)
            return true;
    return false;
}

// Regression: the view took the toolkit's double-click event for a second press, so a double click
// with a drawing tool placed two identical widgets on one spot (a load point's hidden copy doubled
// its energy not supplied).
TEST_F(ViewInput, ADoubleClickWithADrawingToolPlacesOneWidget)
{
    wxUIActionSimulator mouse;
    for (const WidgetType type : {WidgetType::LoadPoint, WidgetType::Line}) {
        SCOPED_TRACE(WidgetTypeName(type));
        Command(ID_WIDGET_FEEDER + static_cast<int>(type));
        mouse.MouseMove(OnScreen({100, 100}));
        mouse.MouseDblClick();
        // A click elsewhere afterwards: once it has placed its widget, the double click is all in.
        mouse.MouseMove(OnScreen({300, 200}));
        mouse.MouseClick();
        ASSERT_TRUE(PumpUntil([type] { return HasWidgetAt(type, {300, 200}); }, kRounds));
        EXPECT_TRUE(HasWidgetAt(type, {100, 100}));
        EXPECT_EQ(Doc().GetCollection(type).GetSize(), 2);
    }
}

// The notebook tab of the active editor.
wxWindow* EditorTab()
{
    for (wxWindow* child : wxGetApp().GetMainFrame()->GetClientWindow()->GetChildren())
        if (dynamic_cast<wxAuiTabCtrl*>(child) != nullptr)
            return child;
    return nullptr;
}

// Regression: the tool and zoom keys worked only while the canvas had the keyboard focus; after a
// click on the document's tab, '4' did nothing.
TEST_F(ViewInput, ToolAndZoomKeysReachTheEditorFromAnyControlOfTheMainWindow)
{
    wxUIActionSimulator keys;
    keys.MouseMove(OnScreen({200, 200}));  // the pointer's window takes the keys with no window manager
    wxWindow* frame = ActiveView()->GetFrame();
    auto* button = new wxButton(frame, wxID_ANY, "Button");
    for (wxWindow* focus : {EditorTab(), static_cast<wxWindow*>(button)}) {
        ASSERT_NE(focus, nullptr);
        SCOPED_TRACE(focus->GetClassInfo()->GetClassName());
        focus->SetFocus();
        Pump();
        ASSERT_EQ(wxWindow::FindFocus(), focus);
        const CEditController& editor = ActiveView()->GetController();
        keys.Char('4');
        EXPECT_TRUE(PumpUntil([&editor] { return editor.IsToolChecked(WidgetType::Recloser); }, kRounds));
        keys.Char('=', wxMOD_ALT | wxMOD_SHIFT);  // '+'
        EXPECT_TRUE(PumpUntil([&editor] { return editor.GetZoom() == 123; }, kRounds));
        keys.Char('-', wxMOD_ALT);
        EXPECT_TRUE(PumpUntil([&editor] { return editor.GetZoom() == 113; }, kRounds));
        keys.Char('`');
        EXPECT_TRUE(PumpUntil([&editor] { return editor.IsSelectMode() && !editor.IsZoomed(); }, kRounds));
    }

    // A box the user types into keeps its digits.
    auto* text = new wxTextCtrl(frame, wxID_ANY);
    text->SetFocus();
    Pump();
    ASSERT_EQ(wxWindow::FindFocus(), text);
    keys.Char('3');
    ASSERT_TRUE(PumpUntil([text] { return text->GetValue() == "3"; }, kRounds));
    EXPECT_TRUE(ActiveView()->GetController().IsSelectMode());
    text->Destroy();
    button->Destroy();
}

}  // namespace
