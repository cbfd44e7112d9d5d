#include "ui/Splash.h"

#include <wx/event.h>

#include "ui/Art.h"

bool CSplashWnd::c_bShowSplashWnd = true;
CSplashWnd* CSplashWnd::c_pSplashWnd = nullptr;

CSplashWnd::CSplashWnd(const wxBitmap& bitmap, wxWindow* parent, int milliseconds)
    : wxSplashScreen(bitmap, wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_TIMEOUT, milliseconds, parent, wxID_ANY,
                     wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP)
{
}

CSplashWnd::~CSplashWnd()
{
    if (c_pSplashWnd == this)
        c_pSplashWnd = nullptr;
}

void CSplashWnd::ShowSplashScreen(wxWindow* parent, int milliseconds)
{
    if (!c_bShowSplashWnd || c_pSplashWnd != nullptr)
        return;
    const wxBitmap bitmap = SplashBitmap();
    if (!bitmap.IsOk())
        return;
    c_pSplashWnd = new CSplashWnd(bitmap, parent, milliseconds);
    c_pSplashWnd->Update();
}

void CSplashWnd::HideSplashScreen()
{
    if (c_pSplashWnd == nullptr)
        return;
    CSplashWnd* splash = c_pSplashWnd;
    c_pSplashWnd = nullptr;
    splash->Hide();
    splash->Destroy();
    if (wxWindow* parent = splash->GetParent())
        parent->Update();
}

bool CSplashWnd::PreTranslateAppMessage(const wxEvent& event)
{
    if (c_pSplashWnd == nullptr)
        return false;
    // A key press reaches the program first as the char hook, which dialogs answer at once (Escape
    // cancels); a key that nothing hooked comes again as a key down. Return on a list comes as
    // the list's double click and no key event at all (a double click's own first press has
    // hidden the splash already).
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_CHAR_HOOK && type != wxEVT_KEY_DOWN && type != wxEVT_LISTBOX_DCLICK && type != wxEVT_LEFT_DOWN &&
        type != wxEVT_RIGHT_DOWN && type != wxEVT_MIDDLE_DOWN)
        return false;
    HideSplashScreen();
    return true;
}
