#include <gtest/gtest.h>

#include <string>

#include "editor/AnalyticalRun.h"
#include "editor/MonteCarloRun.h"
#include "editor/RunMessages.h"
#include "tests/TestFiles.h"
#include "tests/analytical/GmlText.h"
#include "tests/editor/RunTestSupport.h"

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

struct EngineRun : testing::Test {
    testfiles::TempFolder folder;
    CUiQueue ui;
    CHeard heard;

    RunResult RunToEnd(std::unique_ptr<CRunJob> job, bool stop = false)
    {
        heard = CHeard();
        CRunController controller(ui.Poster());
        EXPECT_TRUE(controller.Start(std::move(job), std::make_unique<CRecordingListener>(heard)));
        if (stop) {
            EXPECT_TRUE(ui.PumpUntil([&] { return !heard.years.empty() || !heard.finished.empty(); }));
            controller.Stop();
        }
        EXPECT_TRUE(ui.PumpUntil([&] { return !heard.finished.empty(); }));
        return heard.finished.empty() ? RunResult{} : heard.finished[0];
    }
};

}  // namespace

// What the simulator's outcome becomes for the user; the files each outcome leaves are the
// simulator's own tests.
TEST_F(EngineRun, AMonteCarloRunEndsAsItsSimulationDid)
{
    const std::string trace = (folder / "Net1.txt").string();
    const struct {
        std::string ndl;
        const char* html;
        bool stop;
        RunResult::Kind kind;
        std::string message;
    } cases[] = {
        {SmallNetwork(false), "Net1.htm", false, RunResult::Kind::Completed, ""},
        {SmallNetwork(true), "Net1.htm", true, RunResult::Kind::Stopped, ""},
        {"system: quantsPerDay = 24.;\n@\n", "Net1.htm", false, RunResult::Kind::Failed,
         run_text::ParseFailure("error: (L2 C2) syntax error, expecting keyword", trace)},
        {SmallNetwork(false), "missing/Net1.htm", false, RunResult::Kind::Failed,
         "HTML output stream handler failed! Please disable the create directory option in "
         "Settings->Workspace Settings.\nCannot create \"" + (folder / "missing/Net1.htm").string() +
             "\": No such file or directory"},
    };
    for (const auto& c : cases) {
        MonteCarloThreadParams params{"Net1", c.ndl, folder / "Net1.txt", folder / c.html, folder / "Net1.tmp"};
        const RunResult result = RunToEnd(std::make_unique<CMonteCarloJob>(params), c.stop);
        EXPECT_EQ(result.kind, c.kind) << c.message;
        EXPECT_EQ(result.message, c.message);
        EXPECT_TRUE(result.warnings.empty());
    }
    EXPECT_NE(testfiles::ReadText(folder / "Net1.htm").find("Network name :Net1"), std::string::npos);
}

// Regression: a network drawn and run at once (its lines 0 long) gave zeros and "n/a" with no hint;
// one whose lines were left at 0 kVA gave its indices without saying that it shed loads for it.
TEST_F(EngineRun, AnAnalyticalRunHandsBackTheIndicesOrWhyThereAreNone)
{
    // A breaker's main section that cannot fail, then a lateral of `length` miles failing 0.5 a mile.
    // `first` numbers the two feeders from there.
    // `breaker` protects the main section; `spare` adds a main section of id 3 beyond it.
    const auto network = [](double length, int first = 1, bool breaker = true, bool spare = false) {
        GmlText g;
        g.Supply(0).Load(1, 0, 10, 100).Junction(2).Junction(3);
        g.Feeder(0, 2, GmlText::kMain, first, 0, 0, 0, 1e7, breaker ? GmlText::Breaker : GmlText::None);
        g.Feeder(2, 1, GmlText::kLateral, first + 1, 0.5, 4, length, 1e7);
        if (spare)
            g.Feeder(2, 3, GmlText::kMain, 3, 0, 0, 0, 1e7);
        return g.Text();
    };
    // Load X behind a main section left at 0 kVA (feeder 2), tied to load Y of a second feeder
    // whose main (feeder 5, once a year, 10 h) an isolator (1 h) cuts Y off from: once the tie
    // closes nothing reaches either load, and both are short for the 9 h left.
    const auto emptyMain = [] {
        GmlText g;
        g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 10);
        for (int j = 3; j <= 7; ++j)
            g.Junction(j);
        g.Feeder(0, 3, GmlText::kMain, 1, 0, 0, 0, 1e7, GmlText::Breaker);
        g.Feeder(3, 4, GmlText::kMain, 2, 0, 0, 0, 0);
        g.Feeder(4, 1, GmlText::kLateral, 3, 0, 0, 0, 1e7);
        g.Feeder(0, 5, GmlText::kMain, 4, 0, 0, 0, 1e7, GmlText::Breaker);
        g.Feeder(5, 6, GmlText::kMain, 5, 1, 10, 1, 1e7);
        g.Feeder(6, 7, GmlText::kMain, 6, 0, 0, 0, 1e7, GmlText::Isolator, 1);
        g.Feeder(7, 2, GmlText::kLateral, 7, 0, 0, 0, 1e7);
        return g.Tie(4, 7, 0, 0.5).Text();
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
        {emptyMain(), 7, RunResult::Kind::Completed,
         "SAIFI = 1.5000\nSAIDI = 9.5000\nCAIDI = 6.3333\nASAI = 0.9989\nENS\t= 190.0000\n\n"
         "Sections that can fail: 1 of the 7 faulted.\nLoad points shed for want of capacity: 2 of the 2.\n"
         "Feeders left at 0 kVA lie on the back-feed paths and carry nothing there: 2. Fill in their \"Max "
         "Capacity\" in the analytical datasheets, or turn on \"Minimum Cut Set\" in the analytical settings.\n"},
        // Regression: each note on the network came in a box of its own after the indices.
        {network(1, 1, false, true), 2, RunResult::Kind::Completed,
         "SAIFI = 0.5000\nSAIDI = 2.0000\nCAIDI = 4.0000\nASAI = 0.9998\nENS\t= 200.0000\n\n"
         "Sections that can fail: 1 of the 2 faulted.\n\nNo protective device lies between these feeders and the "
         "supply, so their faults were cleared at the supply: 1, 2.\n\nFaulting feeders 1 to 2 (\"Number Feeders To "
         "Fault\") never reaches these feeders, so their faults are not in the indices: 3.\n"},
        {network(0, 1, false), 2, RunResult::Kind::Failed,
         "None of the 2 sections faulted can fail: a fault rate counts per mile of length, and no section has "
         "both a \"Length\" and a \"Fault rate\" above 0 in its analytical datasheet. There are no indices to show."
         "\n\nNo protective device lies between these feeders and the supply, so their faults were cleared at the "
         "supply: 1, 2.\n"},
        {network(0), 2, RunResult::Kind::Failed,
         "None of the 2 sections faulted can fail: a fault rate counts per mile of length, and no section has "
         "both a \"Length\" and a \"Fault rate\" above 0 in its analytical datasheet. There are no indices to show."},
        {network(1), 0, RunResult::Kind::Failed,
         "No section was faulted: \"Number Feeders To Fault\" in the analytical settings is 0, so there are no "
         "indices to show."},
        {GmlText().Supply(0).Load(1, 0, 10, 100).Text(), 2, RunResult::Kind::Failed,
         "The network has no feeder section to fault, so there are no indices to show.\n\nThese load points have "
         "no closed path to the supply and were counted as supplied (load ids): 0.\n"},
        {network(1, 3), 2, RunResult::Kind::Failed,
         "No section was faulted: none of the 2 feeders has an id from 1 to 2 (\"Number Feeders To Fault\"), so "
         "there are no indices to show.\n\nFaulting feeders 1 to 2 (\"Number Feeders To Fault\") never reaches these "
         "feeders, so their faults are not in the indices: 3, 4.\n"},
        {"graph [", 2, RunResult::Kind::Failed,
         "Error : cannot load the network's GML text: line 1: the list opened on line 1 is not closed"},
    };
    for (const Case& c : cases) {
        AnalyticalThreadParams params;
        params.m_strGML = c.gml;
        params.m_nFaultCount = c.faultCount;
        const RunResult result = RunToEnd(std::make_unique<CAnalyticalJob>(params));
        EXPECT_EQ(result.kind, c.kind) << c.message;
        EXPECT_EQ(result.message, c.message);
        EXPECT_TRUE(result.warnings.empty());
    }
}
