#include "editor/ui/KorvaneApp.h"

#include <wx/frame.h>

bool CKorvaneApp::OnInit()
{
    if (!wxApp::OnInit())
        return false;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Korvane");
    frame->Maximize();
    frame->Show();
    return true;
}
