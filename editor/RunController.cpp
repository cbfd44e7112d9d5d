#include "editor/RunController.h"

#include <chrono>
#include <exception>
#include <mutex>
#include <new>
#include <utility>

// Shared by the controller, its worker and the tasks the worker posts. The worker touches only
// the job, the control and what the mutex guards; `owner` and `listener` belong to the UI thread.
struct CRunController::CRun : ISimulationProgress, std::enable_shared_from_this<CRun> {
    std::unique_ptr<CRunJob> job;
    CRunControl control;
    Poster post;

    std::mutex mutex;
    std::chrono::steady_clock::time_point lastPost{};  // worker thread only
    SimulationProgress latest;
    bool progressPosted = false;  // a delivery is queued and will take `latest`
    bool progressFresh = false;   // `latest` has not been delivered yet
    RunResult result;

    CRunController* owner = nullptr;
    std::unique_ptr<IRunListener> listener;

    // Worker thread: keeps the newest snapshot. At most one delivery is queued at a time, and
    // deliveries are spaced out, so a run of many thousand years a second leaves the UI thread
    // free for the user; the last snapshot is always shown when the run ends.
    void OnProgress(const SimulationProgress& progress) override
    {
        static constexpr auto kInterval = std::chrono::milliseconds(50);
        const auto now = std::chrono::steady_clock::now();
        bool postNow = false;
        {
            std::lock_guard lock(mutex);
            latest = progress;
            progressFresh = true;
            postNow = !progressPosted && now - lastPost >= kInterval;
            progressPosted = progressPosted || postNow;
        }
        if (postNow) {
            lastPost = now;
            post([self = shared_from_this()] { self->DeliverProgress(); });
        }
    }

    // UI thread.
    void DeliverProgress()
    {
        SimulationProgress snapshot;
        bool fresh = false;
        {
            std::lock_guard lock(mutex);
            progressPosted = false;
            fresh = progressFresh;
            progressFresh = false;
            snapshot = latest;
        }
        if (fresh && owner != nullptr && listener)
            listener->OnRunProgress(snapshot);
    }

    void Work()
    {
        RunResult outcome;
        try {
            outcome = job->Execute(control, *this);
        } catch (const std::bad_alloc&) {
            outcome.kind = RunResult::Kind::Failed;
            outcome.message = "Out of memory";
        } catch (const std::exception& e) {
            outcome.kind = RunResult::Kind::Failed;
            outcome.message = e.what();
        }
        job.reset();  // the model and files go with the worker, not with the UI thread
        {
            std::lock_guard lock(mutex);
            result = std::move(outcome);
        }
        post([self = shared_from_this()] {
            if (self->owner != nullptr)
                self->owner->Finish(self, true);
        });
    }
};

CRunController::CRunController(Poster post) : m_post(std::move(post)) {}

CRunController::~CRunController()
{
    if (m_run) {
        m_run->control.RequestStop();
        Finish(m_run, false);
    }
}

bool CRunController::Start(std::unique_ptr<CRunJob> job, std::unique_ptr<IRunListener> listener)
{
    if (m_run || !job)
        return false;
    auto run = std::make_shared<CRun>();
    run->job = std::move(job);
    run->post = m_post;
    run->owner = this;
    run->listener = std::move(listener);
    m_worker = std::thread([run] { run->Work(); });
    m_run = std::move(run);
    return true;
}

void CRunController::Pause()
{
    if (m_run)
        m_run->control.Pause();
}

void CRunController::Resume()
{
    if (m_run)
        m_run->control.Resume();
}

bool CRunController::IsPaused() const
{
    return m_run && m_run->control.IsPaused();
}

void CRunController::Stop()
{
    if (m_run)
        m_run->control.RequestStop();
}

void CRunController::StopAndJoin()
{
    if (!m_run)
        return;
    m_run->control.RequestStop();
    Finish(m_run, true);
}

void CRunController::Finish(std::shared_ptr<CRun> run, bool notify)
{
    if (run != m_run)
        return;  // a task of a run that has already been finished
    if (m_worker.joinable())
        m_worker.join();
    // From here the run is over for the controller: a listener may start the next one, or
    // destroy the controller, so nothing below touches `this` after the call.
    m_run.reset();
    run->owner = nullptr;
    std::unique_ptr<IRunListener> listener = std::move(run->listener);
    if (!notify || !listener)
        return;
    SimulationProgress last;
    bool fresh = false;
    RunResult result;
    {
        std::lock_guard lock(run->mutex);
        fresh = run->progressFresh;
        run->progressFresh = false;
        last = run->latest;
        result = run->result;
    }
    if (fresh)
        listener->OnRunProgress(last);
    listener->OnRunFinished(result);
}
