#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "editor/AnalyticalRun.h"
#include "editor/MonteCarloRun.h"
#include "tests/TestFiles.h"
#include "tests/analytical/GmlText.h"
#include "tests/editor/RunTestSupport.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace fs = std::filesystem;
using runtest::CHeard;
using runtest::CRecordingListener;
using runtest::CUiQueue;

namespace {

// A supply, a failing line and a load. Without `endless` nothing can fail and the run converges
// at year 100; with it the line fails and the run goes on until it is stopped.
std::string SmallNetwork(bool endless)
{
    std::string system = "system: quantsPerDay = 24.;\\\nyearStep = 100.;\\\n";
    system += endless ? "yearMin = 1000000000.;\\\nyearMax = 1000000000.;\\\n\n" : "yearMax = 1000.;\\\n\n";
    std::string line = "line: connect = 0., 1.;\\\ncapacity = 500.;\\\n";
    if (endless)
        line += "failure = 2.;\\\nrepair = 4.;\\\n";
    return system + "source: connect = 0.;\\\ncapacity = 1000.;\\\n\n" + line +
           "\nload: connect = 1.;\\\ncustomers = 10.;\\\naverage = 5.;\\\nname = \"Mill\";\\\n\n";
}

using testfiles::ReadText;

std::set<std::string> FilesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

struct EngineRun : testing::Test {
    ndltest::TempFolder folder;
    CUiQueue ui;
    CHeard heard;

    MonteCarloThreadParams Params(std::string ndl)
    {
        MonteCarloThreadParams params;
        params.m_strTitle = "Net1";
        params.m_strNDL = std::move(ndl);
        params.m_pszTextFile = folder.Path() / "Net1.txt";
        params.m_pszHtmlFile = folder.Path() / "Net1.htm";
        params.m_pszTempFile = folder.Path() / "Net1.tmp";
        return params;
    }
    RunResult RunToEnd(std::unique_ptr<CRunJob> job)
    {
        CRunController controller(ui.Poster());
        EXPECT_TRUE(controller.Start(std::move(job), std::make_unique<CRecordingListener>(heard)));
        EXPECT_TRUE(ui.PumpUntil([&] { return !heard.finished.empty(); }));
        return heard.finished.empty() ? RunResult{} : heard.finished[0];
    }
};

}  // namespace

TEST_F(EngineRun, ACompletedMonteCarloRunLeavesBothReportsAndNothingElse)
{
    const RunResult result = RunToEnd(std::make_unique<CMonteCarloJob>(Params(SmallNetwork(false))));
    EXPECT_EQ(result.kind, RunResult::Kind::Completed) << result.message;
    EXPECT_TRUE(result.warnings.empty());
    EXPECT_EQ(FilesIn(folder.Path()), (std::set<std::string>{"Net1.htm", "Net1.txt"}));
    EXPECT_NE(ReadText(folder.Path() / "Net1.htm").find("Network name :Net1"), std::string::npos);
    ASSERT_FALSE(heard.years.empty());
    EXPECT_EQ(heard.years.back(), 100u);
}

TEST_F(EngineRun, AStoppedMonteCarloRunLeavesNoTemporaryFile)
{
    CRunController controller(ui.Poster());
    ASSERT_TRUE(controller.Start(std::make_unique<CMonteCarloJob>(Params(SmallNetwork(true))),
                                 std::make_unique<CRecordingListener>(heard)));
    ASSERT_TRUE(ui.PumpUntil([&] { return !heard.years.empty() || !heard.finished.empty(); }));
    ASSERT_TRUE(heard.finished.empty()) << heard.finished[0].message;
    controller.Pause();
    controller.Stop();  // also wakes the paused worker
    ASSERT_TRUE(ui.PumpUntil([&] { return !heard.finished.empty(); }));
    EXPECT_EQ(heard.finished[0].kind, RunResult::Kind::Stopped);
    for (const std::string& name : FilesIn(folder.Path()))
        EXPECT_TRUE(name == "Net1.htm" || name == "Net1.txt") << name;
}

TEST_F(EngineRun, MonteCarloFailuresAreReportedAsWhatTheyAre)
{
    const RunResult parse = RunToEnd(std::make_unique<CMonteCarloJob>(Params("system: quantsPerDay = 24.;\n@\n")));
    EXPECT_EQ(parse.kind, RunResult::Kind::Failed);
    EXPECT_EQ(parse.message.rfind("Simulation stopped: the network description could not be read.\n\nerror: (L2 C2) ", 0),
              0u)
        << parse.message;
    EXPECT_NE(parse.message.find((folder.Path() / "Net1.txt").string()), std::string::npos);
    EXPECT_FALSE(folder.HasTempFiles());

    heard = CHeard();
    MonteCarloThreadParams params = Params(SmallNetwork(false));
    params.m_pszHtmlFile = folder.Path() / "missing" / "Net1.htm";
    const RunResult output = RunToEnd(std::make_unique<CMonteCarloJob>(params));
    EXPECT_EQ(output.kind, RunResult::Kind::Failed);
    EXPECT_EQ(output.message, "HTML output stream handler failed! Please disable the create directory option in "
                              "Settings->Workspace Settings.\nCannot create \"" +
                                  params.m_pszHtmlFile.string() + "\": No such file or directory");
}

// Regression: a network drawn and run at once (its lines 0 long) gave zeros and "n/a" with no hint.
TEST_F(EngineRun, AnAnalyticalRunHandsBackTheIndicesOrWhyThereAreNone)
{
    // A breaker's main section that cannot fail, then a lateral of `length` miles failing 0.5 a mile.
    const auto network = [](double length) {
        GmlText g;
        g.Supply(0).Load(1, 0, 10, 100).Junction(2);
        g.Feeder(0, 2, GmlText::kMain, 1, 0, 0, 0, 1e7, GmlText::Breaker);
        g.Feeder(2, 1, GmlText::kLateral, 2, 0.5, 4, length, 1e7);
        return g.Text();
    };
    struct Case {
        std::string gml;
        int faultCount;
        RunResult::Kind kind;
        std::string message;
    };
    const Case cases[] = {
        {network(1), 2, RunResult::Kind::Completed,
         "SAIFI = 0.5000\nSAIDI = 2.0000\nCAIDI = 4.0000\nASAI = 0.9998\nENS\t= 200.0000\n\n"
         "Sections that can fail: 1 of the 2 faulted.\n"},
        {network(0), 2, RunResult::Kind::Failed,
         "None of the 2 sections faulted can fail: a fault rate counts per mile of length, and no section has "
         "both a \"Length\" and a \"Fault rate\" above 0 in its analytical datasheet. There are no indices to show."},
        {network(1), 0, RunResult::Kind::Failed,
         "No section was faulted: \"Number Feeders To Fault\" in the analytical settings is 0, so there are no "
         "indices to show."},
        {"graph [", 2, RunResult::Kind::Failed,
         "Error : cannot load the network's GML text: line 1: the list opened on line 1 is not closed"},
    };
    for (const Case& c : cases) {
        heard = CHeard();
        AnalyticalThreadParams params;
        params.m_strGML = c.gml;
        params.m_nFaultCount = c.faultCount;
        const RunResult result = RunToEnd(std::make_unique<CAnalyticalJob>(params));
        EXPECT_EQ(result.kind, c.kind) << c.message;
        EXPECT_EQ(result.message, c.message);
    }
}
