#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"

namespace UiTest {

namespace {

std::string g_home;
std::vector<wxString> g_dialogs;
int g_answer = wxID_OK;

class CAnsweringHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override
    {
        wxString text = dialog->GetTitle();
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog))
            text += ": " + box->GetMessage() + " " + box->GetExtendedMessage();
        g_dialogs.push_back(text);
        return g_answer;
    }
    void Exit(wxDialog*) override {}
};

CAnsweringHook g_hook;

void Send(wxEvent& event)
{
    CKorvaneView* view = ActiveView();
    ASSERT_NE(view, nullptr);
    view->GetCanvas()->GetEventHandler()->ProcessEvent(event);
    Pump();
}

void Mouse(wxEventType type, CPoint p)
{
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(p.x, p.y));
    event.m_leftDown = type == wxEVT_LEFT_DOWN || type == wxEVT_MOTION;
    Send(event);
}

}  // namespace

void SetHome(const std::string& home)
{
    g_home = home;
}

const std::string& Home()
{
    return g_home;
}

void InstallDialogHook()
{
    g_hook.Register();
}

void RemoveDialogHook()
{
    g_hook.Unregister();
}

std::vector<wxString> TakeDialogs()
{
    std::vector<wxString> seen;
    seen.swap(g_dialogs);
    return seen;
}

void SetDialogAnswer(int id)
{
    g_answer = id;
}

void Pump()
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    for (int round = 0; round < 5; ++round) {
        wxTheApp->ProcessPendingEvents();
        while (loop != nullptr && loop->Pending())
            loop->Dispatch();
        wxTheApp->ProcessIdle();
    }
}

void Start(const std::vector<wxString>& args)
{
    SetDialogAnswer(wxID_OK);
    ASSERT_TRUE(wxGetApp().InitInstance(args));
    Pump();
}

void Stop()
{
    wxGetApp().ExitInstance();
    Pump();
}

bool EndsTheApplication(const std::function<void()>& way)
{
    wxGetApp().CallAfter(way);
    if (wxGetApp().OnRun() != 0)
        return false;
    wxGetApp().OnExit();
    Pump();
    return wxGetApp().GetMainFrame() == nullptr && wxTopLevelWindows.empty();
}

CKorvaneView* ActiveView()
{
    wxDocManager* manager = wxGetApp().GetDocManager();
    return manager == nullptr ? nullptr : wxDynamicCast(manager->GetCurrentView(), CKorvaneView);
}

CNetworkDocument* ActiveDocument()
{
    CKorvaneView* view = ActiveView();
    return view == nullptr ? nullptr : &view->GetNetworkDocument();
}

int DocumentCount()
{
    return static_cast<int>(wxGetApp().GetDocManager()->GetDocumentsVector().size());
}

void Command(int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    wxGetApp().GetMainFrame()->GetEventHandler()->ProcessEvent(event);
    Pump();
}

void MouseDown(CPoint p)
{
    Mouse(wxEVT_LEFT_DOWN, p);
}

void MouseMove(CPoint p)
{
    Mouse(wxEVT_MOTION, p);
}

void MouseUp(CPoint p)
{
    Mouse(wxEVT_LEFT_UP, p);
}

void Drag(CPoint from, CPoint to)
{
    MouseDown(from);
    MouseMove(to);
    MouseUp(to);
}

void TypeChar(int character, bool alt)
{
    wxKeyEvent event(wxEVT_CHAR);
    event.m_uniChar = static_cast<wxChar>(character);
    event.m_keyCode = character;
    event.m_altDown = alt;
    Send(event);
}

void KeyDown(int keyCode)
{
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = keyCode;
    Send(event);
}

wxImage Render(int width, int height)
{
    wxBitmap bitmap(width, height, 24);
    {
        wxMemoryDC dc(bitmap);
        ActiveView()->Paint(dc);
    }
    return bitmap.ConvertToImage();
}

}  // namespace UiTest
