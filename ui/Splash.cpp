#include "ui/Splash.h"

#include <wx/event.h>

// GTK's key snooper is deprecated but stays in GTK 3, and nothing else takes a key before every
// window: the toolkit's event handler, which would, is replaced by each wxYield.
#define GDK_DISABLE_DEPRECATION_WARNINGS
#include <gtk/gtk.h>

#include "ui/Art.h"

bool CSplashWnd::c_bShowSplashWnd = true;
CSplashWnd* CSplashWnd::c_pSplashWnd = nullptr;
unsigned CSplashWnd::c_nKeySnooper = 0;

namespace {

// Widgets act on some keys before the application's key events are sent (Return on a list
// presses the dialog's default button), and a native message box sends none at all: the key is
// taken here, before any window sees it.
gint SwallowKeyPress(GtkWidget*, GdkEventKey* key, gpointer)
{
    if (key->type != GDK_KEY_PRESS)
        return FALSE;
    CSplashWnd::HideSplashScreen();
    return TRUE;
}

}  // namespace

CSplashWnd::CSplashWnd(const wxBitmap& bitmap, wxWindow* parent, int milliseconds)
    : wxSplashScreen(bitmap, wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_TIMEOUT, milliseconds, parent, wxID_ANY,
                     wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP)
{
}

CSplashWnd::~CSplashWnd()
{
    if (c_pSplashWnd == this)
        Forget();
}

void CSplashWnd::ShowSplashScreen(wxWindow* parent, int milliseconds)
{
    if (!c_bShowSplashWnd || c_pSplashWnd != nullptr)
        return;
    const wxBitmap bitmap = SplashBitmap();
    if (!bitmap.IsOk())
        return;
    c_pSplashWnd = new CSplashWnd(bitmap, parent, milliseconds);
    c_nKeySnooper = gtk_key_snooper_install(&SwallowKeyPress, nullptr);
    c_pSplashWnd->Update();
}

void CSplashWnd::Forget()
{
    c_pSplashWnd = nullptr;
    gtk_key_snooper_remove(c_nKeySnooper);
    c_nKeySnooper = 0;
}

void CSplashWnd::HideSplashScreen()
{
    if (c_pSplashWnd == nullptr)
        return;
    CSplashWnd* splash = c_pSplashWnd;
    Forget();
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
    if (type != wxEVT_LEFT_DOWN && type != wxEVT_RIGHT_DOWN && type != wxEVT_MIDDLE_DOWN)
        return false;
    HideSplashScreen();
    return true;
}
