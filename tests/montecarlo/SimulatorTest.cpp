#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "montecarlo/RunControl.h"
#include "montecarlo/SimulationProgress.h"
#include "montecarlo/Simulator.h"
#include "tests/TestFiles.h"
#include "tests/montecarlo/TestNetworks.h"

namespace fs = std::filesystem;

namespace {

// A fresh, empty folder per test.
fs::path Folder(const std::string& name)
{
    const fs::path folder = fs::temp_directory_path() / "korvane-simulator-test" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

using testfiles::ReadText;

std::vector<std::string> FilesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Time and speed differ from run to run; so does the folder the links point into.
std::string Mask(std::string text, const fs::path& html)
{
    for (std::size_t at = text.find(html.string()); at != std::string::npos; at = text.find(html.string(), at))
        text.replace(at, html.string().size(), "@REPORT@");
    text = std::regex_replace(text, std::regex(R"(time: \d+:\d\d, speed: \d+\.\d\d years/sec)"),
                              "time: M:SS, speed: S years/sec");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+</font>:<font size="2">\d\d</font>)"),
                              "<font size=\"2\">M:SS</font>");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+:\d\d</font>)"), "<font size=\"2\">M:SS</font>");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+\.\d\d years/sec</font>)"),
                              "<font size=\"2\">S years/sec</font>");
    return text;
}

void ExpectGolden(const std::string& actual, const std::string& name)
{
    testfiles::ExpectGolden(actual, std::filesystem::path("montecarlo") / name);
}

const char* const kNetwork = mctest::kNdlNetwork;

class CStopAt : public ISimulationProgress {
public:
    CStopAt(CRunControl& control, unsigned year) : m_control(control), m_year(year) {}
    void OnProgress(const SimulationProgress& progress) override
    {
        years = progress.year;
        if (progress.year == m_year)
            m_control.RequestStop();
    }
    unsigned years = 0;

private:
    CRunControl& m_control;
    unsigned m_year;
};

}  // namespace

TEST(Simulator, NdlNetworkGivesTheGoldenReports)
{
    const fs::path folder = Folder("golden");
    const fs::path html = folder / "Net1.htm";
    CSimulator simulator;
    const SimulatorOutcome outcome =
        simulator.Run(kNetwork, "Net1", folder / "Net1.txt", html, folder / "Net1.tmp", nullptr, nullptr);
    ASSERT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed) << outcome.message;
    EXPECT_EQ(outcome.years, 200u);
    EXPECT_EQ(outcome.warning, "");
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"Net1.htm", "Net1.txt"})) << "the temporary file stays";
    ExpectGolden(Mask(ReadText(folder / "Net1.txt"), html), "report-ndl.txt");
    ExpectGolden(Mask(ReadText(html), html), "report-ndl.htm");
}

// The whole way a drawn network takes: connection check, node numbering, NDL, parse, year loop.
TEST(Simulator, RunsADrawnNetworkFromItsGeneratedText)
{
    const std::string ndl = mctest::DrawnNetworkNdl(24, 300);
    const fs::path folder = Folder("drawn");
    CSimulator simulator;
    const SimulatorOutcome outcome = simulator.Run(ndl, "Drawn", folder / "Drawn.txt",
                                                   folder / "Drawn.htm", folder / "Drawn.tmp", nullptr, nullptr);
    ASSERT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed) << outcome.message;
    EXPECT_GE(outcome.years, 100u);
    EXPECT_LE(outcome.years, 300u);
    const std::string trace = ReadText(folder / "Drawn.txt");
    // The line fails twice a year: the load point's failure rate is near 2.
    std::smatch rate;
    ASSERT_TRUE(std::regex_search(trace, rate, std::regex(R"(\|Mill         \| +([0-9.]+))"))) << trace;
    EXPECT_NEAR(std::stod(rate[1]), 2.0, 0.5) << trace;
}

TEST(Simulator, AParseErrorLeavesTheErrorLineAndATitleOnlyReport)
{
    const fs::path folder = Folder("parse-error");
    CSimulator simulator;
    const SimulatorOutcome outcome =
        simulator.Run("system: quantsPerDay = 0.;\\\nyearStep = 100.;\\\n\n", "Net <1>", folder / "n.txt",
                      folder / "n.htm", folder / "n.tmp", nullptr, nullptr);
    EXPECT_EQ(outcome.kind, SimulatorOutcome::Kind::ParseError);
    const std::string trace = ReadText(folder / "n.txt");
    EXPECT_EQ(trace, outcome.message + "\n");
    EXPECT_TRUE(std::regex_match(
        outcome.message,
        std::regex(R"(error: \(L\d+ C\d+\) the "quantsperday" attribute must be an integer in the range \[1,1440\])")))
        << outcome.message;
    EXPECT_EQ(ReadText(folder / "n.htm"), "<b><font size=\"4\">Network name :Net &lt;1&gt;</font></b><br><br>");
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"n.htm", "n.txt"}));

    const SimulatorOutcome empty =
        simulator.Run("# nothing\n", "N", folder / "e.txt", folder / "e.htm", folder / "e.tmp", nullptr, nullptr);
    EXPECT_EQ(empty.kind, SimulatorOutcome::Kind::ParseError);
    EXPECT_EQ(empty.message, "error: the network has no system definition");
    // Regression: the message pointed the user at the trace, which was empty.
    EXPECT_EQ(ReadText(folder / "e.txt"), empty.message + "\n");
}

// Regression: a temporary file that could not be made was a warning, and the run went on; then it
// failed the run but wrote a title-only report over the last finished one.
TEST(Simulator, ATemporaryFileThatCannotBeMadeFailsTheRunKeepingTheLastReports)
{
    const fs::path folder = Folder("no-temp");
    std::ofstream(folder / "n.txt") << "last trace";
    std::ofstream(folder / "n.htm") << "last report";
    CSimulator simulator;
    const SimulatorOutcome outcome = simulator.Run(kNetwork, "N", folder / "n.txt", folder / "n.htm",
                                                   folder / "missing" / "n.tmp", nullptr, nullptr);
    EXPECT_EQ(outcome.kind, SimulatorOutcome::Kind::OutputFailure);
    EXPECT_EQ(outcome.message.rfind("Warning! Cannot create temporary file handler!", 0), 0u) << outcome.message;
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"n.htm", "n.txt"}));
    EXPECT_EQ(ReadText(folder / "n.txt"), "last trace");
    EXPECT_EQ(ReadText(folder / "n.htm"), "last report");
}

TEST(Simulator, AStopEndsTheRunKeepingTheLastFinishedReports)
{
    const fs::path folder = Folder("stop");
    std::ofstream(folder / "n.txt") << "last trace";
    std::ofstream(folder / "n.htm") << "last report";
    CRunControl control;
    CStopAt progress(control, 3);
    CSimulator simulator;
    const SimulatorOutcome outcome =
        simulator.Run(kNetwork, "N", folder / "n.txt", folder / "n.htm", folder / "n.tmp", &control, &progress);
    EXPECT_EQ(outcome.kind, SimulatorOutcome::Kind::Stopped);
    EXPECT_EQ(outcome.years, 3u);
    EXPECT_EQ(progress.years, 3u);
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"n.htm", "n.txt"}));
    EXPECT_EQ(ReadText(folder / "n.txt"), "last trace");
    EXPECT_EQ(ReadText(folder / "n.htm"), "last report");
}
