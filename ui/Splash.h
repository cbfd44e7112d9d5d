// The start-up picture: shown for 2.5 seconds or until the first key or mouse press, which it swallows.
#pragma once

#include <wx/splash.h>

class wxEvent;

class CSplashWnd : public wxSplashScreen {
public:
    static void EnableSplashScreen(bool enable) { c_bShowSplashWnd = enable; }
    // Shown centred on the screen, for `milliseconds` or until the first press.
    static void ShowSplashScreen(wxWindow* parent, int milliseconds = 2500);
    // True (and the splash goes) when a splash is up and the event is a button press. A key press
    // never reaches the application's events while a splash is up: the splash takes it first.
    static bool PreTranslateAppMessage(const wxEvent& event);
    static CSplashWnd* GetInstance() { return c_pSplashWnd; }
    static void HideSplashScreen();

    ~CSplashWnd() override;

private:
    CSplashWnd(const wxBitmap& bitmap, wxWindow* parent, int milliseconds);
    static void Forget();

    static bool c_bShowSplashWnd;
    static CSplashWnd* c_pSplashWnd;
    static unsigned c_nKeySnooper;
};
