#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include <sys/resource.h>
#include <unistd.h>

#include "montecarlo/Output.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace fs = std::filesystem;
using testfiles::FileNames;
using testfiles::ReadText;

namespace {

// Old reports in `folder`, "last trace" and "last report", and `output` writing new ones over them,
// a trace line written.
void OpenOverOldReports(COutput& output, const fs::path& folder)
{
    std::ofstream(folder / "n.txt") << "last trace";
    std::ofstream(folder / "n.htm") << "last report";
    ASSERT_TRUE(output.OpenLog(folder / "n.txt"));
    ASSERT_TRUE(output.OpenHtml(folder / "n.htm"));
    output.Log(3, "new trace");
}

}  // namespace

TEST(Output, WritesTraceLevelsWithBitTwoAndReplacesTheOldReports)
{
    ndltest::TempFolder folder;
    std::ofstream(folder / "n.htm") << "an old report that is much longer";
    COutput output;
    ASSERT_TRUE(output.OpenLog(folder / "n.txt"));
    ASSERT_TRUE(output.OpenHtml(folder / "n.htm"));
    for (unsigned level : {0u, 1u, 2u, 3u, 4u, 6u})
        output.Log(level, "L" + std::to_string(level) + "\n");
    output.WriteHtml("<br>");
    output.WriteHtml("<br>");
    ASSERT_TRUE(output.CloseReports());
    EXPECT_EQ(ReadText(folder / "n.txt"), "L2\nL3\nL6\n");
    EXPECT_EQ(ReadText(folder / "n.htm"), "<br><br>");
    EXPECT_FALSE(output.Failed());
}

// Regression: when one report could not be written in full, or could not take its name (a folder
// had taken it since the run began), the other still replaced its old file, so a new trace sat
// beside the old report. A folder there at the start is found then, not after the run.
TEST(Output, TheReportPairIsCommittedTogetherOrNotAtAll)
{
    for (const bool folderTakesTheName : {true, false}) {
        ndltest::TempFolder temp;
        const fs::path& folder = temp.Path();
        COutput output;
        ASSERT_NO_FATAL_FAILURE(OpenOverOldReports(output, folder));
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        if (folderTakesTheName) {
            fs::remove(folder / "n.htm");
            fs::create_directory(folder / "n.htm");
        } else {
            rlimit limited = saved;
            limited.rlim_cur = 100;
            std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
            output.WriteHtml(std::string(1000, 'x'));
        }
        EXPECT_FALSE(output.CloseReports());
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(output.GetError().rfind("Cannot write \"" + (folder / "n.htm").string() + "\": ", 0), 0u);
        EXPECT_EQ(ReadText(folder / "n.txt"), "last trace");
        EXPECT_EQ(ReadText(folder / "n.htm"), folderTakesTheName ? "" : "last report");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
        if (folderTakesTheName) {
            COutput again;
            EXPECT_FALSE(again.OpenHtml(folder / "n.htm"));
            EXPECT_EQ(again.GetError(), "Cannot create \"" + (folder / "n.htm").string() + "\": Is a directory");
        }
    }
}

// Regression: the temporary files of a killed run stayed beside the reports for good, and those
// of another network's run (a report of gigabytes) until that network ran there again.
TEST(Output, OpeningAReportRemovesTheTemporaryFilesOfEveryEndedRunInItsFolder)
{
    ndltest::TempFolder temp;
    const fs::path& folder = temp.Path();
    const std::string ended = "4194304";  // above any process id Linux gives
    const std::string running = std::to_string(::getpid());
    const std::vector<std::string> kept = {"n.htm.x-1.part", "n.htm." + running + "-900.part", "n.htm.part",
                                           "ndl." + ended + "-0.tmp", "." + ended + "-0.part"};
    for (const std::string& name : kept)
        std::ofstream(folder / name) << "";
    for (const std::string& name : {"n.htm." + ended + "-3.part", "other.txt." + ended + "-0.part", "a." + ended + "-7.part"})
        std::ofstream(folder / name) << "";
    COutput output;
    ASSERT_TRUE(output.OpenHtml(folder / "n.htm"));
    output.AbandonReports();
    EXPECT_EQ(FileNames(folder), std::set<std::string>(kept.begin(), kept.end()));
}

// Regression: when the new trace could not take its name, the old trace was "restored" by renaming
// its second name onto itself, which does nothing and succeeds, so that name stayed beside it.
TEST(Output, AFailedCommitLeavesTheOldReportsAndNoTemporaryName)
{
    ndltest::TempFolder temp;
    const fs::path& folder = temp.Path();
    COutput output;
    ASSERT_NO_FATAL_FAILURE(OpenOverOldReports(output, folder));
    // The trace being written goes from under the run, so its rename fails.
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().rfind("n.txt.", 0) == 0)
            fs::remove(entry.path());
    EXPECT_FALSE(output.CloseReports());
    EXPECT_EQ(output.GetError().rfind("Cannot write \"" + (folder / "n.txt").string() + "\": ", 0), 0u);
    EXPECT_EQ(FileNames(folder), (std::set<std::string>{"n.htm", "n.txt"}));
    EXPECT_EQ(ReadText(folder / "n.txt"), "last trace");
    EXPECT_EQ(ReadText(folder / "n.htm"), "last report");
}
