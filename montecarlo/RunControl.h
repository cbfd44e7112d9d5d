// The stop flag and pause gate that a run's owner shares with its worker thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

// The worker looks at it only between simulated years; Pause and Resume take effect there.
class CRunControl {
public:
    void RequestStop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop.store(true);
        }
        m_wake.notify_all();
    }

    void Pause() { m_paused.store(true); }
    void Resume()
    {
        {
            std::lock_guard lock(m_mutex);
            m_paused.store(false);
        }
        m_wake.notify_all();
    }
    bool IsPaused() const { return m_paused.load(); }

    // Blocks while paused; false when a stop has been requested. Takes no lock unless paused.
    bool WaitWhilePaused()
    {
        if (m_paused.load()) {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_paused.load() || m_stop.load(); });
        }
        return !m_stop.load();
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_paused{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
};
