#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <regex>
#include <sstream>

#include "montecarlo/Output.h"
#include "montecarlo/ReportText.h"
#include "montecarlo/Simulation.h"
#include "montecarlo/Simulator.h"
#include "tests/TestFiles.h"
#include "tests/montecarlo/TestNetworks.h"

namespace fs = std::filesystem;

namespace {

fs::path Folder()
{
    const fs::path folder = fs::temp_directory_path() / "korvane-report-test";
    fs::create_directories(folder);
    return folder;
}

using testfiles::ReadText;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Time and speed differ from run to run; so does the folder the links point into.
std::string Mask(std::string text, const fs::path& html)
{
    ReplaceAll(text, html.string(), "@REPORT@");
    text = std::regex_replace(text, std::regex(R"(time: \d+:\d\d, speed: \d+\.\d\d years/sec)"),
                              "time: M:SS, speed: S years/sec");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+</font>:<font)"), "<font size=\"2\">M</font>:<font");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+:\d\d</font>)"), "<font size=\"2\">M:SS</font>");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+\.\d\d years/sec</font>)"),
                              "<font size=\"2\">S years/sec</font>");
    return text;
}

void ExpectGolden(const std::string& actual, const std::string& name)
{
    testfiles::ExpectGolden(actual, std::filesystem::path("montecarlo") / name);
}

bool BuildSmallNetwork(CSimulation& sim)
{
    sim.SetSystem(24, 100, 200, 100, 0.0);
    return mctest::SmallFeeder(sim);
}

SimulatorOutcome RunSmallNetwork(const fs::path& text, const fs::path& html)
{
    CSimulator simulator;
    return simulator.RunModel(
        [](CSimulation& sim, COutput&, std::string&) { return BuildSmallNetwork(sim); }, "Feeder <7>", text, html,
        nullptr, nullptr);
}

// The first tag of an HTML text that closes out of turn or stays open; empty when all nest.
std::string TagNestingFault(const std::string& html)
{
    std::vector<std::string> open;
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        const bool closing = html.compare(at + 1, 1, "/") == 0;
        std::size_t end = at + 1 + (closing ? 1 : 0);
        std::string name;
        for (; end < html.size() && std::isalnum(static_cast<unsigned char>(html[end])); ++end)
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[end])));
        if (name == "br" || name == "hr" || name == "img")
            continue;
        if (!closing)
            open.push_back(name);
        else if (!open.empty() && open.back() == name)
            open.pop_back();
        else
            return html.substr(at, 40) + " closes <" + (open.empty() ? "" : open.back()) + ">";
    }
    return open.empty() ? "" : "<" + open.back() + "> stays open";
}

}  // namespace

TEST(Report, SmallNetworkGivesTheGoldenReports)
{
    const fs::path text = Folder() / "small.txt";
    const fs::path html = Folder() / "small.htm";
    const SimulatorOutcome outcome = RunSmallNetwork(text, html);
    ASSERT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed) << outcome.message;
    EXPECT_EQ(outcome.years, 200u);
    ExpectGolden(Mask(ReadText(text), html), "report-small.txt");
    ExpectGolden(Mask(ReadText(html), html), "report-small.htm");
    // Three load-point heads left a <font> open: wxHtmlWindow painted the values beside them blue.
    EXPECT_EQ(TagNestingFault(ReadText(html)), "");
}

TEST(Report, TwoRunsOfOneNetworkDifferOnlyInTimeAndSpeed)
{
    const fs::path html = Folder() / "again.htm";
    RunSmallNetwork(Folder() / "again1.txt", html);
    const std::string first = Mask(ReadText(Folder() / "again1.txt"), html) + Mask(ReadText(html), html);
    RunSmallNetwork(Folder() / "again2.txt", html);
    const std::string second = Mask(ReadText(Folder() / "again2.txt"), html) + Mask(ReadText(html), html);
    EXPECT_EQ(first, second);
}

// Each load point's link finds its section: the HTML decodes both to the same anchor, and the
// anchor is what LoadPointAnchors gives the result view.
TEST(Report, LoadPointAnchorsAreEscapedUniqueAndMatchTheirLinks)
{
    const std::vector<std::string> names = {"Mill <&\"", "Mill <&\"", "ENS", "Town", "M\xC3\xBChle"};
    const std::vector<std::string> anchors = korvane::LoadPointAnchors(names);
    EXPECT_EQ(anchors, (std::vector<std::string>{"Mill <&\"", "Mill <&\"$2", "ENS$2", "Town", "M\xC3\xBChle"}));

    const fs::path html = Folder() / "anchors.htm";
    CSimulator simulator;
    simulator.RunModel(
        [&names](CSimulation& sim, COutput&, std::string&) {
            sim.SetSystem(24, 100, 100, 100, 0.0);
            sim.AddSupply(0, 3, -1.0);
            sim.AddBreaker(3, 2, -1.0);
            for (const std::string& name : names) {
                if (sim.AddLoad(name, 2, 1, 1, {1.0}, 1.0, 1.0) != CSimulation::LoadResult::Built)
                    return false;
            }
            return true;
        },
        "N", Folder() / "anchors.txt", html, nullptr, nullptr);
    const std::string report = ReadText(html);
    EXPECT_EQ(report.find("<&\""), std::string::npos) << "a name reached the HTML unescaped";
    for (const std::string& anchor : anchors) {
        const std::string escaped = korvane::EscapeHtml(anchor);
        EXPECT_NE(report.find("<a href=\"" + korvane::EscapeHtml(html.string()) + "#" + escaped + "\">"),
                  std::string::npos)
            << anchor;
        EXPECT_NE(report.find("<a name = \"" + escaped + "\" id = \"" + escaped + "\">"), std::string::npos) << anchor;
    }
    EXPECT_NE(report.find("Load Point - Mill &lt;&amp;&quot;</a>"), std::string::npos);
    EXPECT_NE(report.find("Load Point - M&#252;hle</a>"), std::string::npos);
    EXPECT_TRUE(std::all_of(report.begin(), report.end(), [](char c) { return (c & 0x80) == 0; }))
        << "the report names no encoding: it must be ASCII";
    EXPECT_NE(ReadText(Folder() / "anchors.txt").find("Load Point: M\xC3\xBChle\n"), std::string::npos)
        << "the trace keeps the name as it is";
}

// Regression: the links held the report's path as it stands, so in a folder named "C# 100%" they
// stopped at the folder's "#" or decoded its "%" and led nowhere.
TEST(Report, LinksFindTheReportInAFolderWithHashOrPercent)
{
    EXPECT_EQ(korvane::LinkPath("/home/ann/C# 100%/a?b/Net1.htm"), "/home/ann/C%23 100%25/a%3Fb/Net1.htm");
    EXPECT_EQ(korvane::LinkPath("/plain/M\xC3\xBChle & Co/N.htm"), "/plain/M\xC3\xBChle & Co/N.htm");

    const fs::path folder = Folder() / "C# 100%";
    fs::create_directories(folder);
    const fs::path html = folder / "N.htm";
    ASSERT_EQ(RunSmallNetwork(folder / "N.txt", html).kind, SimulatorOutcome::Kind::Completed);
    const std::string report = ReadText(html);
    const std::string link = "<a href=\"" + (Folder() / "C%23 100%25" / "N.htm").string();
    EXPECT_NE(report.find(link + "#Town\">Town</a>"), std::string::npos) << report.substr(0, 2000);
    EXPECT_NE(report.find(link + "#SAIFI\">SAIFI</a>"), std::string::npos);
    EXPECT_EQ(report.find("C# 100%"), std::string::npos);
}

// Regression: without load points N was 0 and ASUI, ASAI and AENS printed NaN; without
// interrupted customers CAIFI and ACCI did.
TEST(Report, RatiosWithoutADenominatorPrintNotAvailable)
{
    const fs::path text = Folder() / "empty.txt";
    const fs::path html = Folder() / "empty.htm";
    CSimulator simulator;
    const SimulatorOutcome outcome = simulator.RunModel(
        [](CSimulation& sim, COutput&, std::string&) {
            sim.SetSystem(24, 100, 100, 100, 0.05);
            sim.AddSupply(0, 2, -1.0);
            return true;
        },
        "Empty", text, html, nullptr, nullptr);
    ASSERT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed);
    const std::string trace = ReadText(text);
    const std::string report = ReadText(html);
    for (const std::string& all : {trace, report}) {
        EXPECT_EQ(all.find("nan"), std::string::npos) << all;
        EXPECT_EQ(all.find("inf"), std::string::npos) << all;
    }
    EXPECT_NE(trace.find("CAIFI =       n/a\nCAIDI =   0.00000      0.0%\nASUI  =          n/a\n"
                         "ASAI  =          n/a\nENS   =   0.00000      0.0%\nAENS  =       n/a\nACCI  =       n/a\n"),
              std::string::npos)
        << trace;
    EXPECT_NE(report.find("<font size=\"2\">Load Point</font>"), std::string::npos);
}

// Regression: the message did not say which file could not be made, nor why.
TEST(Simulator, OutputThatCannotBeOpenedEndsTheRunNamingTheFile)
{
    CSimulator simulator;
    bool built = false;
    auto build = [&built](CSimulation&, COutput&, std::string&) { return built = true; };
    const fs::path missing = Folder() / "no-such-folder";
    const fs::path text = Folder() / "kept.txt";
    const fs::path html = Folder() / "kept.htm";
    std::ofstream(text) << "last trace";
    std::ofstream(html) << "last report";
    struct Case {
        fs::path text;
        fs::path html;
        std::string message;
        fs::path named;
    };
    const Case cases[] = {
        {text, missing / "x.htm",
         "HTML output stream handler failed! Please disable the create directory option in "
         "Settings->Workspace Settings.\n",
         missing / "x.htm"},
        {missing / "x.txt", html, "Text file output stream handler failed!\n", missing / "x.txt"},
    };
    for (const Case& c : cases) {
        const SimulatorOutcome outcome = simulator.RunModel(build, "N", c.text, c.html, nullptr, nullptr);
        EXPECT_EQ(outcome.kind, SimulatorOutcome::Kind::OutputFailure);
        EXPECT_EQ(outcome.message, c.message + "Cannot create \"" + c.named.string() + "\": No such file or directory");
    }
    EXPECT_FALSE(built) << "nothing is built when the reports cannot be opened";
    EXPECT_EQ(ReadText(text), "last trace");
    EXPECT_EQ(ReadText(html), "last report");
}

// Regression: a run that ran out of memory replaced the last finished reports with its own
// half-written ones.
TEST(Simulator, ARunOutOfMemoryKeepsTheLastFinishedReports)
{
    const fs::path text = Folder() / "oom.txt";
    const fs::path html = Folder() / "oom.htm";
    std::ofstream(text) << "last trace";
    std::ofstream(html) << "last report";
    CSimulator simulator;
    const SimulatorOutcome outcome = simulator.RunModel(
        [](CSimulation&, COutput& output, std::string&) -> bool {
            output.Log(2, "half a trace\n");
            throw std::bad_alloc();
        },
        "N", text, html, nullptr, nullptr);
    EXPECT_EQ(outcome.kind, SimulatorOutcome::Kind::Failed);
    EXPECT_EQ(outcome.message, "Out of memory");
    EXPECT_EQ(ReadText(text), "last trace");
    EXPECT_EQ(ReadText(html), "last report");
}

TEST(ReportText, FormatsColumnsWithoutTheLocale)
{
    EXPECT_EQ(korvane::FixedText(2.5, 5, 9), "  2.50000");
    EXPECT_EQ(korvane::FixedText(1234567.125, 5, 9), "1234567.12500");
    EXPECT_EQ(korvane::FixedText(0.05, 1, 5), "  0.1");
    EXPECT_EQ(korvane::FixedText(0.000769901, 8, 12), "  0.00076990");
    EXPECT_EQ(korvane::UnsignedText(7, 2, true), "07");
    EXPECT_EQ(korvane::UnsignedText(125), "125");
    // "%-13.13s", counted in characters so that a UTF-8 name is not cut inside one.
    EXPECT_EQ(korvane::ColumnText("Mill", 13), "Mill         ");
    EXPECT_EQ(korvane::ColumnText("Eastern pumping station", 13), "Eastern pumpi");
    EXPECT_EQ(korvane::ColumnText("Größere Mühle Nord", 13), "Größere Mühle");
    EXPECT_EQ(korvane::ColumnText("Zürich", 13), "Zürich       ");
    EXPECT_EQ(korvane::EscapeHtml("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
}

// Regression: the report names no encoding, so the result page read a UTF-8 name as Latin-1
// ("MÃ¼hle"). Every character beyond ASCII now goes as a numeric reference.
TEST(ReportText, HtmlTextIsAsciiWithNumericReferences)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Gr\xC3\xB6\xC3\x9F" "ere M\xC3\xBChle", "Gr&#246;&#223;ere M&#252;hle"},
        {"\xE2\x82\xAC 5", "&#8364; 5"},
        {"\xF0\x9F\x98\x80", "&#128512;"},
        {"a\xFF" "b", "a&#65533;b"},                   // not a lead byte
        {"\xC0\xAF", "&#65533;&#65533;"},             // an over-long "/"
        {"\xE2\x82", "&#65533;&#65533;"},             // cut short
        {"\xED\xA0\x80", "&#65533;&#65533;&#65533;"},  // a surrogate
        {"\xC3<", "&#65533;&lt;"},
    };
    for (const auto& [text, html] : cases)
        EXPECT_EQ(korvane::EscapeHtml(text), html) << text;
}

namespace {

std::string Printf(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

// The customer-weighted indices from their definitions over the load points' means: N customers,
// F = sum c x frequency, I = sum c x interrupted-year share, U = sum c x unavailability (hours a
// year), D = sum of energy not supplied; CAIFI = F / I, ASUI = U / 8760 / N, ASAI = 1 - ASUI,
// AENS = D / N, ACCI = D / I. Each load point's row and each index line is the C format's text.
TEST(Report, CustomerIndicesFollowTheirDefinitionsInTheTraceText)
{
    const fs::path text = Folder() / "indices.txt";
    COutput output;
    ASSERT_TRUE(output.OpenLog(text));
    ASSERT_TRUE(output.OpenHtml(Folder() / "indices.htm"));
    CSimulation sim;
    sim.Init(&output, nullptr);
    ASSERT_TRUE(BuildSmallNetwork(sim));
    sim.Run(nullptr, "r.htm");
    ASSERT_TRUE(output.CloseLog());
    ASSERT_TRUE(output.CloseHtml());
    const std::string trace = ReadText(text);

    double n = 0, f = 0, i = 0, u = 0, d = 0;
    std::string rows;
    for (std::size_t e = 0; e < sim.GetEdgeCount(); ++e) {
        const SimEdge& load = sim.GetEdge(e);
        if (load.type != kLoadEdge)
            continue;
        n += load.customers;
        f += load.customers * load.frequency.GetMean();
        i += load.customers * load.interruptedYear.GetMean();
        u += load.customers * load.unavailability.GetMean();
        d += load.energyNotSupplied.GetMean();
        char name[32];
        std::snprintf(name, sizeof name, "|%-13.13s", load.name.c_str());
        rows += name;
        for (const CEstimate* q : {&load.frequency, &load.outageDuration, &load.unavailability, &load.energyNotSupplied})
            rows += Printf("|%9.5f", q->GetMean()) + Printf("%5.1f%%", 100 * q->GetRelativeError());
        rows += "|\n";
    }
    ASSERT_GT(i, 0.0);
    EXPECT_NE(trace.find("|Load Point   |  Failure Rate | Avg Outage Dur| Unavailability|      ENS      |\n" + rows +
                         "\n"),
              std::string::npos)
        << trace;

    auto withError = [](const char* label, const CEstimate& estimate) {
        return std::string(label) + Printf("%9.5f", estimate.GetMean()) + "    " +
               Printf("%5.1f%%", 100 * estimate.GetRelativeError()) + "\n";
    };
    const std::string indices = withError("SAIFI = ", sim.GetSAIFI()) + withError("SAIDI = ", sim.GetSAIDI()) +
                                "CAIFI = " + Printf("%9.5f", f / i) + "\n" + withError("CAIDI = ", sim.GetCAIDI()) +
                                "ASUI  = " + Printf("%12.8f", u / 8760.0 / n) + "\n" +
                                "ASAI  = " + Printf("%12.8f", 1 - u / 8760.0 / n) + "\n" +
                                withError("ENS   = ", sim.GetENS()) + "AENS  = " + Printf("%9.5f", d / n) + "\n" +
                                "ACCI  = " + Printf("%9.5f", d / i) + "\n";
    EXPECT_NE(trace.find(indices), std::string::npos) << indices << "\n---\n" << trace;
}
