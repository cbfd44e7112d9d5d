// Helpers of the shell tests: start and stop the application, pump its events, send commands,
// mouse and keys, answer modal boxes, and render a view into a bitmap.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/string.h>

#include "platform/Geometry.h"

class CKorvaneView;
class CNetworkDocument;

namespace UiTest {

void SetHome(const std::string& home);
const std::string& Home();

// Every modal dialog is answered without showing; what they said is recorded.
void InstallDialogHook();
void RemoveDialogHook();
// Texts (caption and message) of the modal boxes seen since the last call.
std::vector<wxString> TakeDialogs();
// The answer for the next modal boxes (wxID_OK unless set).
void SetDialogAnswer(int id);

void Start(const std::vector<wxString>& args = {});
void Stop();
void Pump();
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
void MouseMove(CPoint p);
void MouseUp(CPoint p);
void Drag(CPoint from, CPoint to);
void TypeChar(int character, bool alt = false);
void KeyDown(int keyCode);

// The active view painted into an image of the given size.
wxImage Render(int width, int height);

}  // namespace UiTest
