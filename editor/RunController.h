// Runs one engine job at a time on a worker thread for a document: stop and pause through a
// CRunControl, the latest progress and the end of the run handed over to the UI thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "montecarlo/RunControl.h"
#include "montecarlo/SimulationProgress.h"

// How a run ended, for the UI thread to show.
struct RunResult {
    enum class Kind {
        Completed,  // the engine's results are there
        Stopped,    // stopped on request; no results
        Failed,     // `message` says what failed
    };
    Kind kind = Kind::Completed;
    std::string message;                // Completed: the text to show, if any; Failed: what failed
    std::vector<std::string> warnings;  // things that did not stop the run
};

// The work of one run. It owns everything it reads (copies of the generated text, the paths), so
// the document may change or close while it runs.
class CRunJob {
public:
    virtual ~CRunJob() = default;
    // Worker thread. Looks at `control` between units of work; reports through `progress`.
    virtual RunResult Execute(CRunControl& control, ISimulationProgress& progress) = 0;
};

// Told on the UI thread, never after the controller has been destroyed.
class IRunListener {
public:
    virtual ~IRunListener() = default;
    virtual void OnRunProgress(const SimulationProgress& progress) = 0;
    // The worker has ended and been joined; the controller takes a new run from here on.
    virtual void OnRunFinished(const RunResult& result) = 0;
};

class CRunController {
public:
    using Task = std::function<void()>;
    // Queues a task to run later on the UI thread; called from the worker, so it must be
    // thread-safe. Tasks may arrive after the controller is gone: they then do nothing.
    using Poster = std::function<void(Task)>;

    explicit CRunController(Poster post);
    // Stops and joins a running worker; its listener hears nothing more.
    ~CRunController();
    CRunController(const CRunController&) = delete;
    CRunController& operator=(const CRunController&) = delete;

    // UI thread only, as are all members below.
    // From Start until the listener has been told that the run finished.
    bool IsRunning() const { return m_run != nullptr; }
    // Starts the job on a new worker; false (and nothing starts) while a run is going.
    bool Start(std::unique_ptr<CRunJob> job, std::unique_ptr<IRunListener> listener);

    // The worker waits at its next check until Resume or a stop.
    void Pause();
    void Resume();
    bool IsPaused() const;
    // Asks the worker to stop at its next check, also when paused; returns at once. The listener
    // hears the end later.
    void Stop();
    // Stops the worker and waits for it, then tells the listener at once how the run ended.
    void StopAndJoin();

private:
    struct CRun;
    void Finish(std::shared_ptr<CRun> run, bool notify);

    Poster m_post;
    std::shared_ptr<CRun> m_run;
    std::thread m_worker;
};
