// Shared by the run tests: a UI-thread stand-in that queues the worker's posts and runs them on
// the test's own thread, and a listener that records what it was told.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/RunController.h"

namespace runtest {

class CUiQueue {
public:
    CRunController::Poster Poster()
    {
        return [this](CRunController::Task task) {
            {
                std::lock_guard lock(m_mutex);
                m_tasks.push_back(std::move(task));
            }
            m_posted.notify_all();
        };
    }

    // Runs the queued tasks on this thread until `done` holds, waiting for the worker's posts in
    // between; false when `done` still fails after `rounds` waits.
    bool PumpUntil(const std::function<bool()>& done, int rounds = 20000)
    {
        for (int i = 0; i < rounds && !done(); ++i) {
            std::deque<CRunController::Task> tasks;
            {
                std::unique_lock lock(m_mutex);
                m_posted.wait_for(lock, std::chrono::milliseconds(5), [this] { return !m_tasks.empty(); });
                tasks.swap(m_tasks);
            }
            for (auto& task : tasks)
                task();
        }
        return done();
    }
    // Blocks until at least `count` tasks are queued, without running them.
    void WaitForQueued(std::size_t count)
    {
        std::unique_lock lock(m_mutex);
        m_posted.wait(lock, [&] { return m_tasks.size() >= count; });
    }
    std::size_t Queued()
    {
        std::lock_guard lock(m_mutex);
        return m_tasks.size();
    }
    void RunQueued() { PumpUntil([] { return false; }, 1); }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<CRunController::Task> m_tasks;
};

// What a listener heard, all on the thread that made it.
struct CHeard {
    std::vector<unsigned> years;
    std::vector<RunResult> finished;
    bool otherThread = false;
    bool progressAfterFinish = false;
};

class CRecordingListener : public IRunListener {
public:
    explicit CRecordingListener(CHeard& heard, std::function<void(const RunResult&)> onFinish = {})
        : m_heard(heard), m_onFinish(std::move(onFinish)), m_thread(std::this_thread::get_id())
    {
    }
    void OnRunProgress(const SimulationProgress& progress) override
    {
        Check();
        m_heard.progressAfterFinish = m_heard.progressAfterFinish || !m_heard.finished.empty();
        m_heard.years.push_back(progress.year);
    }
    void OnRunFinished(const RunResult& result) override
    {
        Check();
        m_heard.finished.push_back(result);
        if (m_onFinish)
            m_onFinish(result);
    }

private:
    void Check() { m_heard.otherThread = m_heard.otherThread || std::this_thread::get_id() != m_thread; }

    CHeard& m_heard;
    std::function<void(const RunResult&)> m_onFinish;
    std::thread::id m_thread;
};

}  // namespace runtest
