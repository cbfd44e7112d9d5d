// The application object: start-up and shut-down of the desktop shell.
#pragma once

#include <wx/app.h>

class CKorvaneApp : public wxApp {
public:
    bool OnInit() override;
};

wxDECLARE_APP(CKorvaneApp);
