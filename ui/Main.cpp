// Entry point of the desktop application.
#include <wx/app.h>

#include "ui/KorvaneApp.h"

wxIMPLEMENT_WX_THEME_SUPPORT;

int main(int argc, char** argv)
{
    wxApp::SetInstance(new CKorvaneApp);
    return wxEntry(argc, argv);
}
