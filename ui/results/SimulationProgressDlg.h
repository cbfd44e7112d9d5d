// The modeless window of a running Monte Carlo simulation: year, time, speed, remaining time and
// a progress bar, with Pause, Resume and Cancel, and the question when the run has completed.
#pragma once

#include <wx/dialog.h>
#include <wx/weakref.h>

struct SimulationProgress;
class CKorvaneView;
class wxButton;
class wxGauge;
class wxStaticText;
class wxTextCtrl;

class CSimulationProgressDlg : public wxDialog {
public:
    enum {
        ID_PROGRESS_BAR = 1134,
        ID_YEAR = 1090,
        ID_TIME = 1089,
        ID_SPEED = 1087,
        ID_REMAINING = 1088,
        ID_PAUSE = 4,
        ID_RESUME = 3,
    };

    // Pause, Resume and Cancel act on `view`'s run.
    CSimulationProgressDlg(wxWindow* parent, CKorvaneView* view);

    // The fields after a simulated year, set in the year loop's order.
    void ShowProgress(const SimulationProgress& progress);
    // The run has written its reports: asks whether to close; the dialog counts as completed
    // whatever the answer.
    void OnSimulationCompleted();
    bool IsCompleted() const { return m_bCompleted; }
    // The run ended without results (a failure or a stop), or its editor is closing: goes
    // without asking.
    void CloseWithoutAsking();

    wxTextCtrl* GetField(int id) const;

private:
    void OnPause(wxCommandEvent& event);
    void OnResume(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void AskCompletion();
    // Stops the run (if it still goes), frees the editor for the next one and closes.
    void End();

    wxWeakRef<CKorvaneView> m_pView;
    wxTextCtrl* m_year = nullptr;
    wxTextCtrl* m_time = nullptr;
    wxTextCtrl* m_speed = nullptr;
    wxTextCtrl* m_remaining = nullptr;
    wxGauge* m_progress = nullptr;
    wxButton* m_resume = nullptr;
    wxButton* m_pause = nullptr;
    wxStaticText* m_note = nullptr;
    bool m_bCompleted = false;
    bool m_bAsking = false;           // one of its questions is open
    bool m_bCompletionWaits = false;  // the run completed while it was
    bool m_bEnded = false;
};
