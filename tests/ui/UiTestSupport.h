// Helpers of the shell tests: the running application as a fixture, its events pumped, commands,
// mouse, keys and control clicks sent, modal dialogs answered without showing, a view rendered.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/print.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "model/KorvaneDoc.h"
#include "platform/Geometry.h"

class CKorvaneView;
class CNetworkDocument;

namespace UiTest {

void SetHome(const std::string& home);
const std::string& Home();

// Every modal dialog is answered without showing. A message box gets the answer set (OK unless
// set), a file chooser Cancel; any other dialog runs the next steps queued by `Then` inside its
// own modal loop, as a user would, and is cancelled if they leave it open (with no steps queued it
// gets the answer set).
void InstallDialogHook();
void Then(std::function<void(wxDialog&)> steps);
void SetDialogAnswer(int id);
// What the dialogs said since the last call: a message box's message, and after a line break the
// smaller text under it when there is one; another dialog answered without steps, its title.
std::vector<std::string> TakeDialogs();
// The caption of the last message box answered.
const std::string& LastMessageCaption();
bool Contains(const std::vector<std::string>& dialogs, const std::string& text);
// The style of the last message box, its icon among it.
long LastMessageBoxStyle();
// File choosers answered since the last call.
int TakeFileChoosers();

// Controls of an open dialog, driven as a user would: the owner sees the change notification.
template <typename T>
T* Find(wxWindow& parent, int id)
{
    return dynamic_cast<T*>(parent.FindWindow(id));
}
void Press(wxWindow& parent, int id);
void Toggle(wxWindow& parent, int id);
void Choose(wxWindow& parent, int id);
void Type(wxWindow& parent, int id, const char* text);
// Chooses the entry of a choice or combo box.
void SelectEntry(wxWindow& parent, int id, int index);
// A page of a property sheet.
wxWindow& Page(wxDialog& sheet, int index);

void Start(const std::vector<wxString>& args = {});
void Stop();
void Pump();
// Pumps events until `done` holds, at most `rounds` times with a pause of a millisecond.
bool PumpUntil(const std::function<bool()>& done, int rounds = 20000);
// Runs the application's main loop, in which `way` is called, then the application's own end;
// true when the loop ended and no window is left.
bool EndsTheApplication(const std::function<void()>& way);

CKorvaneView* ActiveView();
CNetworkDocument* ActiveDocument();
int DocumentCount();
// Sends a menu command through the main frame, as a menu or accelerator does.
void Command(int id);
// Mouse and key events on the active view's canvas, in window pixels.
void MouseDown(CPoint p);
void MouseUp(CPoint p);
void Click(CPoint p);
void RightClick(CPoint p);
void Drag(CPoint from, CPoint to);
void TypeChar(int character, bool alt = false);
void KeyDown(int keyCode);

// The active view painted into an image of the given size; with an area, as the canvas repaints
// only that area.
wxImage Render(int width, int height, const std::optional<wxRect>& area = std::nullopt);
// Readies `printout` to print on `dc`, which draws on a 595 x 842 bitmap: an A4 page at 72 dpi.
void PrepareA4At72Dpi(wxPrintout& printout, wxDC& dc);

// The running application with one new network and a folder of the test's own; at the end
// nothing is saved.
struct App : testing::Test {
    void SetUp() override;
    void TearDown() override;
    static CKorvaneDoc& Doc();

    std::filesystem::path folder;
};

}  // namespace UiTest
