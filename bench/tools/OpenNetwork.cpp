// korvane-open-network NETWORK.mc: opens a saved network in the application as a user does and
// prints how long the user-interface thread took to open it and show its first screen, and then
// for a click on empty canvas, a click on a widget, a scroll by a screen, a zoom step, Select,
// Select All and a scroll with every widget selected, a drag step of every widget (repainting the
// whole view, and the regions around each widget), and Cut, Paste and Delete of every widget, each
// with its repaint (the best and the worst of five). Run it under a display (xvfb-run -a); it uses
// the profile under $HOME as the application does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

int g_paints = 0;

// The events until the canvas has painted, as the event loop runs them before the user sees
// the answer.
void Settle(CKorvaneView& view, int before)
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    const Clock::time_point start = Clock::now();
    view.GetCanvas()->Update();
    while (g_paints == before && Clock::now() - start < std::chrono::seconds(60)) {
        wxTheApp->ProcessPendingEvents();
        while (loop->Pending())
            loop->Dispatch();
        wxTheApp->ProcessIdle();
    }
    if (g_paints == before)
        std::printf("(no repaint)\n");
}

void SendMouse(CKorvaneView& view, wxEventType type, wxPoint at)
{
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.m_leftDown = type == wxEVT_LEFT_DOWN || type == wxEVT_MOTION;
    event.SetEventObject(view.GetCanvas());
    view.GetCanvas()->GetEventHandler()->ProcessEvent(event);
}

// The step with its repaint, in milliseconds.
double TimeOnce(CKorvaneView& view, const std::function<void()>& step)
{
    const int before = g_paints;
    const Clock::time_point start = Clock::now();
    step();
    Settle(view, before);
    return Milliseconds(Clock::now() - start);
}

void Print(const char* what, const std::vector<double>& times)
{
    std::printf("%-28s %10.1f %10.1f\n", what, *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
}

void Time(const char* what, CKorvaneView& view, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < 5; ++i)
        times.push_back(TimeOnce(view, step));
    Print(what, times);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvane-open-network NETWORK.mc\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    wxApp::SetInstance(new CKorvaneApp());
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets (is there a display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr());
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    auto& app = wxGetApp();
    // As the desktop starts it for a file: the main window, the network read, its window made.
    const Clock::time_point start = Clock::now();
    if (!app.InitInstance({"-Embedding", wxString::FromUTF8(argv[1])}))
        return 1;
    auto* view = wxDynamicCast(app.GetDocManager()->GetCurrentView(), CKorvaneView);
    if (view == nullptr)
        return 1;
    app.GetMainFrame()->SetSize(1280, 1024);
    view->GetCanvas()->Bind(wxEVT_PAINT, [](wxPaintEvent& event) {
        ++g_paints;
        event.Skip();
    });
    Settle(*view, 0);
    const double opened = Milliseconds(Clock::now() - start);
    const wxSize client = view->GetCanvas()->GetClientSize();
    std::printf("%d widgets, canvas %d x %d pixels\n", view->GetDoc().GetWidgetCount(), client.x, client.y);
    std::printf("%-28s %10s %10s\n", "", "best (ms)", "worst (ms)");
    std::printf("%-28s %10.1f\n", "open and first screen", opened);

    const auto click = [view](wxPoint at) {
        return [view, at] {
            SendMouse(*view, wxEVT_LEFT_DOWN, at);
            SendMouse(*view, wxEVT_LEFT_UP, at);
        };
    };
    // Beside the bus that leads from the source down to the first copy, and on that bus.
    Time("click on empty canvas", *view, click(wxPoint(600, 400)));
    Time("click on a widget", *view, click(wxPoint(20, 400)));
    int page = 0;
    const auto scroll = [view, &page] {
        int x = 0, y = 0;
        view->GetCanvas()->GetViewStart(&x, &y);
        view->GetCanvas()->Scroll(x, y + (++page % 2 == 1 ? 80 : -80));
    };
    Time("scroll by a screen", *view, scroll);
    const auto command = [view](int id) {
        return [view, id] {
            wxCommandEvent event(wxEVT_MENU, id);
            view->ProcessEvent(event);
        };
    };
    int step = 0;
    Time("zoom in or out", *view, [&] { command(++step % 2 == 1 ? ID_ZOOM_IN : ID_ZOOM_OUT)(); });
    Time("select (leaves the zoom)", *view, command(ID_SELECT));
    Time("select all", *view, command(ID_SELECT_ALL));
    Time("scroll, all selected", *view, scroll);

    // Every widget dragged by the bus it was clicked on, ten units down and back at each step.
    CKorvaneDoc& doc = view->GetDoc();
    for (const int regional : {0, 1}) {
        doc.m_workspace.m_nRedrawMode = static_cast<std::uint8_t>(regional);
        command(ID_SELECT_ALL)();
        TimeOnce(*view, [&] { SendMouse(*view, wxEVT_LEFT_DOWN, wxPoint(20, 400)); });
        int move = 0;
        Time(regional == 1 ? "drag all, regional redraw" : "drag all, whole view", *view,
             [&] { SendMouse(*view, wxEVT_MOTION, wxPoint(20, ++move % 2 == 1 ? 411 : 400)); });
        TimeOnce(*view, [&] { SendMouse(*view, wxEVT_LEFT_UP, wxPoint(20, 400)); });
    }
    doc.m_workspace.m_nRedrawMode = 0;

    // Select All is not timed; each Paste puts back what the Cut or Delete before it took.
    const auto deleteKey = [view] {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = WXK_DELETE;
        event.SetEventObject(view->GetCanvas());
        view->GetCanvas()->GetEventHandler()->ProcessEvent(event);
    };
    std::vector<double> cuts, pastes, deletes;
    for (int i = 0; i < 5; ++i) {
        TimeOnce(*view, command(ID_SELECT_ALL));
        cuts.push_back(TimeOnce(*view, command(wxID_CUT)));
        pastes.push_back(TimeOnce(*view, command(wxID_PASTE)));
        TimeOnce(*view, command(ID_SELECT_ALL));
        deletes.push_back(TimeOnce(*view, deleteKey));
        TimeOnce(*view, command(wxID_PASTE));
    }
    Print("cut all", cuts);
    Print("paste all", pastes);
    Print("delete all", deletes);
    std::printf("%d widgets at the end\n", doc.GetWidgetCount());
    // The edits are not to be saved: closing asks nothing.
    view->GetNetworkDocument().Modify(false);

    app.ExitInstance();
    wxTheApp->ProcessPendingEvents();
    while (loop.Pending())
        loop.Dispatch();
    wxEntryCleanup();
    return 0;
}
