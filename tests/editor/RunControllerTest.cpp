#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <future>
#include <memory>
#include <new>
#include <stdexcept>

#include "editor/RunController.h"
#include "tests/editor/RunTestSupport.h"

using runtest::CHeard;
using runtest::CRecordingListener;
using runtest::CUiQueue;

namespace {

// What a counting job shares with its test.
struct CJobState {
    std::atomic<unsigned> years{0};
    std::atomic<bool> destroyed{false};
    std::promise<void> go;  // the job waits for it before its first year
};

// Counts years as the year loop does: the stop and pause check at the top of each year, then the
// progress; it can throw instead of counting.
class CCountingJob : public CRunJob {
public:
    CCountingJob(std::shared_ptr<CJobState> state, unsigned yearMax, bool waitForGo = false)
        : m_state(std::move(state)), m_yearMax(yearMax), m_waitForGo(waitForGo)
    {
    }
    ~CCountingJob() override { m_state->destroyed = true; }

    std::function<void()> thrower;

    RunResult Execute(CRunControl& control, ISimulationProgress& progress) override
    {
        if (m_waitForGo)
            m_state->go.get_future().wait();
        if (thrower)
            thrower();
        for (unsigned year = 1; year <= m_yearMax; ++year) {
            if (!control.WaitWhilePaused())
                return {RunResult::Kind::Stopped, "", {}};
            SimulationProgress p;
            p.year = year;
            p.yearMax = m_yearMax;
            progress.OnProgress(p);
            m_state->years = year;
        }
        return {RunResult::Kind::Completed, "counted " + std::to_string(m_yearMax), {"a warning"}};
    }

private:
    std::shared_ptr<CJobState> m_state;
    unsigned m_yearMax;
    bool m_waitForGo;
};

struct RunController : testing::Test {
    CUiQueue ui;
    CHeard heard;
    std::shared_ptr<CJobState> state = std::make_shared<CJobState>();

    std::unique_ptr<CRecordingListener> Listener() { return std::make_unique<CRecordingListener>(heard); }
    bool Finished() { return !heard.finished.empty(); }
};

}  // namespace

TEST_F(RunController, HandsTheLastProgressAndThenTheResultToTheUiThread)
{
    CRunController controller(ui.Poster());
    ASSERT_TRUE(controller.Start(std::make_unique<CCountingJob>(state, 500), Listener()));
    EXPECT_TRUE(controller.IsRunning());
    ASSERT_TRUE(ui.PumpUntil([&] { return Finished(); }));

    EXPECT_FALSE(controller.IsRunning());
    EXPECT_FALSE(heard.otherThread);
    EXPECT_FALSE(heard.progressAfterFinish);
    ASSERT_FALSE(heard.years.empty());
    EXPECT_EQ(heard.years.back(), 500u);  // the final year is shown before the end is told
    EXPECT_TRUE(std::is_sorted(heard.years.begin(), heard.years.end()));
    ASSERT_EQ(heard.finished.size(), 1u);
    EXPECT_EQ(heard.finished[0].kind, RunResult::Kind::Completed);
    EXPECT_EQ(heard.finished[0].message, "counted 500");
    EXPECT_EQ(heard.finished[0].warnings, std::vector<std::string>{"a warning"});
    EXPECT_TRUE(state->destroyed);
}

TEST_F(RunController, RefusesASecondRunUntilTheFirstHasBeenTold)
{
    CRunController controller(ui.Poster());
    ASSERT_TRUE(controller.Start(std::make_unique<CCountingJob>(state, 3, true), Listener()));
    auto second = std::make_shared<CJobState>();
    EXPECT_FALSE(controller.Start(std::make_unique<CCountingJob>(second, 3), Listener()));
    EXPECT_TRUE(second->destroyed);  // the refused job is dropped, never run
    EXPECT_EQ(second->years, 0u);

    state->go.set_value();
    ASSERT_TRUE(ui.PumpUntil([&] { return Finished(); }));
    EXPECT_TRUE(controller.Start(std::make_unique<CCountingJob>(std::make_shared<CJobState>(), 3), Listener()));
    ASSERT_TRUE(ui.PumpUntil([&] { return heard.finished.size() == 2; }));
}

// The worker reaches its first check paused; Resume lets it finish, Stop ends it there.
TEST_F(RunController, APausedWorkerWaitsUntilResumeOrStop)
{
    for (const bool resume : {true, false}) {
        heard = CHeard();
        state = std::make_shared<CJobState>();
        CRunController controller(ui.Poster());
        ASSERT_TRUE(controller.Start(std::make_unique<CCountingJob>(state, resume ? 10 : UINT_MAX, true), Listener()));
        controller.Pause();
        EXPECT_TRUE(controller.IsPaused());
        state->go.set_value();
        resume ? controller.Resume() : controller.Stop();
        ASSERT_TRUE(ui.PumpUntil([&] { return Finished(); }));
        EXPECT_EQ(heard.finished[0].kind, resume ? RunResult::Kind::Completed : RunResult::Kind::Stopped);
        EXPECT_EQ(state->years, resume ? 10u : 0u);
        EXPECT_EQ(heard.years.empty(), !resume);
    }
}

TEST_F(RunController, StopAndJoinTellsTheListenerAtOnceAndLaterPostsDoNothing)
{
    CRunController controller(ui.Poster());
    ASSERT_TRUE(controller.Start(std::make_unique<CCountingJob>(state, UINT_MAX), Listener()));
    ASSERT_TRUE(ui.PumpUntil([&] { return !heard.years.empty(); }));
    controller.StopAndJoin();
    EXPECT_FALSE(controller.IsRunning());
    ASSERT_EQ(heard.finished.size(), 1u);
    EXPECT_EQ(heard.finished[0].kind, RunResult::Kind::Stopped);
    EXPECT_TRUE(state->destroyed);

    const std::size_t yearsHeard = heard.years.size();
    ui.RunQueued();  // the worker's last posts
    EXPECT_EQ(heard.finished.size(), 1u);
    EXPECT_EQ(heard.years.size(), yearsHeard);
}

TEST_F(RunController, DestroyingTheControllerStopsAndJoinsItsWorkerSilently)
{
    auto controller = std::make_unique<CRunController>(ui.Poster());
    ASSERT_TRUE(controller->Start(std::make_unique<CCountingJob>(state, UINT_MAX), Listener()));
    ASSERT_TRUE(ui.PumpUntil([&] { return !heard.years.empty(); }));
    controller.reset();
    EXPECT_TRUE(state->destroyed);  // joined: the job is gone with its worker
    ui.RunQueued();
    EXPECT_TRUE(heard.finished.empty());
}

TEST_F(RunController, AJobThatThrowsEndsAsAFailureNamingWhy)
{
    const struct {
        std::function<void()> thrower;
        const char* message;
    } cases[] = {
        {[] { throw std::runtime_error("Cannot read the network"); }, "Cannot read the network"},
        {[] { throw std::bad_alloc(); }, "Out of memory"},
    };
    CRunController controller(ui.Poster());
    for (const auto& c : cases) {
        heard = CHeard();
        auto job = std::make_unique<CCountingJob>(std::make_shared<CJobState>(), 5);
        job->thrower = c.thrower;
        ASSERT_TRUE(controller.Start(std::move(job), Listener()));
        ASSERT_TRUE(ui.PumpUntil([&] { return Finished(); }));
        EXPECT_EQ(heard.finished[0].kind, RunResult::Kind::Failed);
        EXPECT_EQ(heard.finished[0].message, c.message);
    }
}

TEST_F(RunController, AListenerMayStartTheNextRunWhenToldTheEnd)
{
    CRunController controller(ui.Poster());
    CHeard second;
    auto listener = std::make_unique<CRecordingListener>(heard, [&](const RunResult&) {
        EXPECT_FALSE(controller.IsRunning());
        EXPECT_TRUE(controller.Start(std::make_unique<CCountingJob>(std::make_shared<CJobState>(), 2),
                                     std::make_unique<CRecordingListener>(second)));
    });
    ASSERT_TRUE(controller.Start(std::make_unique<CCountingJob>(state, 2), std::move(listener)));
    ASSERT_TRUE(ui.PumpUntil([&] { return !second.finished.empty(); }));
    EXPECT_EQ(second.finished[0].kind, RunResult::Kind::Completed);
}

TEST_F(RunController, AFastWorkerQueuesAtMostOneProgressDeliveryAtATime)
{
    CRunController controller(ui.Poster());
    ASSERT_TRUE(controller.Start(std::make_unique<CCountingJob>(state, 20000), Listener()));
    ui.WaitForQueued(2);  // one progress delivery and, once the job is done, its end
    controller.StopAndJoin();
    EXPECT_EQ(ui.Queued(), 2u);
    ASSERT_EQ(heard.finished.size(), 1u);
    EXPECT_EQ(heard.finished[0].kind, RunResult::Kind::Completed);
    ASSERT_EQ(heard.years.size(), 1u);
    EXPECT_EQ(heard.years[0], 20000u);
}
