#include "tests/ui/UiTestSupport.h"

#include <deque>
#include <utility>

#include <wx/bookctrl.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/propdlg.h>
#include <wx/utils.h>

#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"
#include "ui/Splash.h"

namespace UiTest {

namespace {

std::string g_home;

class CAnsweringHook : public wxModalDialogHook {
public:
    std::deque<std::function<void(wxDialog&)>> steps;
    std::vector<std::string> seen;
    long boxStyle = 0;
    std::string lastCaption;
    int answer = wxID_OK;
    int fileChoosers = 0;

protected:
    int Enter(wxDialog* dialog) override
    {
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            const std::string detail = box->GetExtendedMessage().utf8_string();
            seen.push_back(box->GetMessage().utf8_string() + (detail.empty() ? "" : "\n" + detail));
            boxStyle = box->GetMessageDialogStyle();
            lastCaption = dialog->GetTitle().utf8_string();
            return answer;
        }
        if (dynamic_cast<wxFileDialogBase*>(dialog) != nullptr) {
            ++fileChoosers;
            return wxID_CANCEL;
        }
        if (steps.empty()) {
            seen.push_back(dialog->GetTitle().utf8_string());
            return answer;
        }
        auto next = std::move(steps.front());
        steps.pop_front();
        dialog->CallAfter([dialog, next] {
            next(*dialog);
            if (dialog->IsModal())
                dialog->EndModal(wxID_CANCEL);
        });
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}
};

CAnsweringHook g_hook;

void Send(wxEvent& event)
{
    CKorvaneView* view = ActiveView();
    ASSERT_NE(view, nullptr);
    event.SetEventObject(view->GetCanvas());  // as the toolkit's own events carry their window
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

void Notify(wxWindow* control, wxEventType type, int value)
{
    wxCommandEvent event(type, control->GetId());
    event.SetInt(value);
    event.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(event);
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

void Then(std::function<void(wxDialog&)> steps)
{
    g_hook.steps.push_back(std::move(steps));
}

void SetDialogAnswer(int id)
{
    g_hook.answer = id;
}

std::vector<std::string> TakeDialogs()
{
    return std::exchange(g_hook.seen, {});
}

const std::string& LastMessageCaption()
{
    return g_hook.lastCaption;
}

bool Contains(const std::vector<std::string>& dialogs, const std::string& text)
{
    for (const std::string& d : dialogs)
        if (d.find(text) != std::string::npos)
            return true;
    return false;
}

long LastMessageBoxStyle()
{
    return g_hook.boxStyle;
}

int TakeFileChoosers()
{
    return std::exchange(g_hook.fileChoosers, 0);
}

void Press(wxWindow& parent, int id)
{
    Notify(parent.FindWindow(id), wxEVT_BUTTON, 0);
}

void Toggle(wxWindow& parent, int id)
{
    auto* check = Find<wxCheckBox>(parent, id);
    check->SetValue(!check->GetValue());
    Notify(check, wxEVT_CHECKBOX, check->GetValue());
}

void Choose(wxWindow& parent, int id)
{
    Find<wxRadioButton>(parent, id)->SetValue(true);
    Notify(parent.FindWindow(id), wxEVT_RADIOBUTTON, 1);
}

void Type(wxWindow& parent, int id, const char* text)
{
    Find<wxTextCtrl>(parent, id)->SetValue(wxString::FromUTF8(text));
}

void SelectEntry(wxWindow& parent, int id, int index)
{
    wxWindow* control = parent.FindWindow(id);
    dynamic_cast<wxItemContainerImmutable*>(control)->SetSelection(index);
    Notify(control, dynamic_cast<wxComboBox*>(control) != nullptr ? wxEVT_COMBOBOX : wxEVT_CHOICE, index);
}

wxWindow& Page(wxDialog& sheet, int index)
{
    return *static_cast<wxPropertySheetDialog&>(sheet).GetBookCtrl()->GetPage(static_cast<size_t>(index));
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

bool PumpUntil(const std::function<bool()>& done, int rounds)
{
    for (int i = 0; i < rounds && !done(); ++i) {
        Pump();
        wxMilliSleep(1);
    }
    return done();
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

void MouseUp(CPoint p)
{
    Mouse(wxEVT_LEFT_UP, p);
}

void Click(CPoint p)
{
    MouseDown(p);
    MouseUp(p);
}

void RightClick(CPoint p)
{
    Mouse(wxEVT_RIGHT_UP, p);
}

void Drag(CPoint from, CPoint to)
{
    MouseDown(from);
    Mouse(wxEVT_MOTION, to);
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

wxImage Render(int width, int height, const std::optional<wxRect>& area)
{
    wxBitmap bitmap(width, height, 24);
    {
        wxMemoryDC dc(bitmap);
        ActiveView()->Paint(dc, area);
    }
    return bitmap.ConvertToImage();
}

void PrepareA4At72Dpi(wxPrintout& printout, wxDC& dc)
{
    printout.SetDC(&dc);
    printout.SetPPIScreen(72, 72);
    printout.SetPPIPrinter(72, 72);
    printout.SetPageSizePixels(595, 842);
    printout.SetPageSizeMM(210, 297);
    printout.SetPaperRectPixels(wxRect(0, 0, 595, 842));
    printout.OnPreparePrinting();
}

void App::SetUp()
{
    CSplashWnd::EnableSplashScreen(false);
    Start({"-Embedding"});
    TakeDialogs();
    folder = std::filesystem::path(Home()) / testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(folder);
}

void App::TearDown()
{
    SetDialogAnswer(wxID_NO);
    Stop();
    TakeDialogs();
    TakeFileChoosers();
}

CKorvaneDoc& App::Doc()
{
    return ActiveDocument()->GetDoc();
}

}  // namespace UiTest
