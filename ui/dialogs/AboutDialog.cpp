#include "ui/dialogs/AboutDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "ui/Art.h"

CAboutDialog::CAboutDialog(wxWindow* parent) : wxDialog(parent, wxID_ANY, "About Korvane")
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticBitmap(this, wxID_ANY, SplashBitmap()), 0, wxALL, 10);
    sizer->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("Korvane - Verav Ezerez, version 0.1")), 0,
               wxLEFT | wxRIGHT, 10);
    sizer->Add(new wxStaticText(this, wxID_ANY,
                                "Reliability assessment of electrical distribution networks:\n"
                                "Monte Carlo simulation and analytical feeder-fault assessment."),
               0, wxALL, 10);
    sizer->Add(CreateStdDialogButtonSizer(wxOK), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    CentreOnParent();
}
