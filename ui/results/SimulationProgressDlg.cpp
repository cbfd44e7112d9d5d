#include "ui/results/SimulationProgressDlg.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "editor/RunMessages.h"
#include "montecarlo/SimulationProgress.h"
#include "ui/KorvaneView.h"

CSimulationProgressDlg::CSimulationProgressDlg(wxWindow* parent, CKorvaneView* view)
    : wxDialog(parent, wxID_ANY, "Verav Ezerez : Simulating...", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      m_pView(view)
{
    auto* stats = new wxStaticBoxSizer(wxVERTICAL, this, "Simulation satistics");
    auto* grid = new wxFlexGridSizer(4, 4, 8);
    auto field = [&](const char* label, int id) {
        grid->Add(new wxStaticText(stats->GetStaticBox(), wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        auto* edit = new wxTextCtrl(stats->GetStaticBox(), id, wxString(), wxDefaultPosition, wxSize(90, -1),
                                    wxTE_READONLY);
        grid->Add(edit);
        return edit;
    };
    m_year = field("Year", ID_YEAR);
    m_time = field("Time", ID_TIME);
    m_speed = field("Speed (yrs/sec)", ID_SPEED);
    m_remaining = field("Remaining time", ID_REMAINING);
    stats->Add(grid, 0, wxALL, 4);

    m_progress = new wxGauge(this, ID_PROGRESS_BAR, 100);

    auto* note = new wxBoxSizer(wxHORIZONTAL);
    note->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_MESSAGE_BOX)), 0,
              wxRIGHT, 8);
    m_note = new wxStaticText(this, wxID_ANY, "Please wait while Verav Ezerez simulation on progress.");
    note->Add(m_note, 1, wxALIGN_CENTER_VERTICAL);

    m_pause = new wxButton(this, ID_PAUSE, "&Pause");
    m_resume = new wxButton(this, ID_RESUME, "&Resume");
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(m_pause, 0, wxRIGHT, 4);
    buttons->Add(m_resume, 0, wxRIGHT, 4);
    buttons->Add(new wxButton(this, wxID_CANCEL, "&Cancel"));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(stats, 0, wxEXPAND | wxALL, 8);
    sizer->Add(m_progress, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    sizer->Add(note, 0, wxEXPAND | wxALL, 8);
    sizer->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(sizer);
    CentreOnScreen();

    m_resume->Disable();
    Bind(wxEVT_BUTTON, &CSimulationProgressDlg::OnPause, this, ID_PAUSE);
    Bind(wxEVT_BUTTON, &CSimulationProgressDlg::OnResume, this, ID_RESUME);
    Bind(wxEVT_BUTTON, &CSimulationProgressDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CSimulationProgressDlg::OnCloseWindow, this);
}

wxTextCtrl* CSimulationProgressDlg::GetField(int id) const
{
    switch (id) {
    case ID_YEAR:
        return m_year;
    case ID_TIME:
        return m_time;
    case ID_SPEED:
        return m_speed;
    case ID_REMAINING:
        return m_remaining;
    default:
        return nullptr;
    }
}

void CSimulationProgressDlg::ShowProgress(const SimulationProgress& progress)
{
    m_speed->ChangeValue(progress.SpeedText());
    m_year->ChangeValue(progress.YearText());
    m_time->ChangeValue(progress.TimeText());
    m_remaining->ChangeValue(progress.RemainingText());
    // A percentage above 100 leaves the bar as it was.
    if (progress.percent < 101)
        m_progress->SetValue(static_cast<int>(progress.percent));
}

void CSimulationProgressDlg::OnPause(wxCommandEvent&)
{
    if (CKorvaneView* view = m_pView)
        view->SuspendSimulation();
    m_pause->Disable();
    m_resume->Enable();
}

void CSimulationProgressDlg::OnResume(wxCommandEvent&)
{
    if (CKorvaneView* view = m_pView)
        view->ResumeSimulation();
    m_pause->Enable();
    m_resume->Disable();
}

void CSimulationProgressDlg::OnCancel(wxCommandEvent&)
{
    if (m_bEnded || m_bAsking)
        return;
    if (!m_bCompleted) {
        // The run goes on while the user decides.
        m_bAsking = true;
        const int answer =
            wxMessageBox(run_text::kTerminateQuestion, wxTheApp->GetAppDisplayName(), wxYES_NO | wxICON_QUESTION, this);
        m_bAsking = false;
        if (m_bEnded) {
            Destroy();  // closed while the question was open
            return;
        }
        if (answer != wxYES) {
            if (m_bCompletionWaits)
                AskCompletion();
            return;
        }
    }
    End();
}

void CSimulationProgressDlg::OnCloseWindow(wxCloseEvent& event)
{
    // The close box is Cancel: it asks too, so that No really leaves the run going.
    if (!event.CanVeto()) {
        End();
        return;
    }
    wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
    OnCancel(cancel);
    if (!m_bEnded)
        event.Veto();
}

void CSimulationProgressDlg::OnSimulationCompleted()
{
    m_bCompleted = true;
    m_pause->Disable();
    m_resume->Disable();
    m_note->SetLabel("Verav Ezerez simulation completed.");
    m_remaining->ChangeValue("0.0");
    if (m_bAsking) {
        m_bCompletionWaits = true;  // asked once the Cancel question is answered with No
        return;
    }
    AskCompletion();
}

void CSimulationProgressDlg::AskCompletion()
{
    m_bCompletionWaits = false;
    m_bAsking = true;
    const int answer =
        wxMessageBox(run_text::kCompletedQuestion, wxTheApp->GetAppDisplayName(), wxYES_NO | wxICON_QUESTION, this);
    m_bAsking = false;
    if (m_bEnded)
        Destroy();
    else if (answer == wxYES)
        End();
}

void CSimulationProgressDlg::CloseWithoutAsking()
{
    End();
}

void CSimulationProgressDlg::End()
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    if (CKorvaneView* view = m_pView)
        view->StopSimulation();
    Hide();
    // While one of its questions is open the dialog must outlive it; the question's end destroys it.
    if (!m_bAsking)
        Destroy();
}
