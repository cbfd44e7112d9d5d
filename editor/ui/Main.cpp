// Entry point of the desktop application.
#include <wx/app.h>

#include "editor/ui/KorvaneApp.h"

wxIMPLEMENT_APP(CKorvaneApp);
