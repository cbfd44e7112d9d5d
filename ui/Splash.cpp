#include "ui/Splash.h"

#include "ui/Art.h"

bool CSplashWnd::c_bShowSplashWnd = true;
CSplashWnd* CSplashWnd::c_pSplashWnd = nullptr;

CSplashWnd::CSplashWnd(const wxBitmap& bitmap, wxWindow* parent)
    : wxSplashScreen(bitmap, wxSPLASH_CENTRE_ON_PARENT | wxSPLASH_TIMEOUT, 2500, parent, wxID_ANY,
                     wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP)
{
}

CSplashWnd::~CSplashWnd()
{
    if (c_pSplashWnd == this)
        c_pSplashWnd = nullptr;
}

void CSplashWnd::ShowSplashScreen(wxWindow* parent)
{
    if (!c_bShowSplashWnd || c_pSplashWnd != nullptr)
        return;
    const wxBitmap bitmap = SplashBitmap();
    if (!bitmap.IsOk())
        return;
    c_pSplashWnd = new CSplashWnd(bitmap, parent);
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
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_KEY_DOWN && type != wxEVT_LEFT_DOWN && type != wxEVT_RIGHT_DOWN && type != wxEVT_MIDDLE_DOWN)
        return false;
    HideSplashScreen();
    return true;
}
