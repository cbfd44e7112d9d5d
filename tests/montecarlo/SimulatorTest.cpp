// A run from NDL text or a built model to its reports, and what the reports say.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <new>
#include <set>

#include <unistd.h>

#include "montecarlo/ReportText.h"
#include "montecarlo/RunControl.h"
#include "montecarlo/Simulator.h"
#include "platform/Files.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace fs = std::filesystem;
using ndltest::MaskReport;
using ndltest::TempFolder;
using testfiles::FileNames;
using testfiles::ReadText;

namespace {

// A run of a built model into n.txt and n.htm in the folder, and the reports it left.
struct Reports {
    SimulatorOutcome outcome;
    std::string trace;
    std::string html;
};

Reports RunModel(const fs::path& folder, const CSimulator::ModelBuilder& build)
{
    Reports reports;
    reports.outcome = CSimulator().RunModel(build, "N", folder / "n.txt", folder / "n.htm", nullptr, nullptr);
    reports.trace = ReadText(folder / "n.txt");
    reports.html = ReadText(folder / "n.htm");
    return reports;
}

bool BuildSmallFeeder(CSimulation& sim, COutput&, std::string&)
{
    sim.SetSystem(24, 100, 200, 100, 0.0);
    return ndltest::SmallFeeder(sim);
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

// The NDL network from its text, and the small feeder from the model's builders.
TEST(Simulator, GivesTheGoldenReports)
{
    for (const std::string golden : {"montecarlo/report-ndl", "montecarlo/report-small"}) {
        TempFolder folder;
        const SimulatorOutcome outcome =
            golden == "montecarlo/report-ndl"
                ? CSimulator().Run(ndltest::NdlNetwork(), "Net1", folder / "n.txt", folder / "n.htm", folder / "n.tmp",
                                   nullptr, nullptr)
                : CSimulator().RunModel(BuildSmallFeeder, "Feeder <7>", folder / "n.txt", folder / "n.htm", nullptr,
                                        nullptr);
        ASSERT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed) << outcome.message;
        EXPECT_EQ(outcome.years, 200u);
        EXPECT_EQ(outcome.warning, "");
        EXPECT_EQ(FileNames(folder.Path()), (std::set<std::string>{"n.htm", "n.txt"})) << "the temporary file stays";
        const std::string html = ReadText(folder / "n.htm");
        testfiles::ExpectGolden(MaskReport(ReadText(folder / "n.txt"), folder / "n.htm"), golden + ".txt");
        testfiles::ExpectGolden(MaskReport(html, folder / "n.htm"), golden + ".htm");
        // Three load-point heads left a <font> open: wxHtmlWindow painted the values beside them blue.
        EXPECT_EQ(TagNestingFault(html), "");
    }
}

// Every way a run ends without results: what it says, and the reports it leaves.
TEST(Simulator, ARunWithoutResultsSaysWhyAndKeepsTheLastReports)
{
    using Kind = SimulatorOutcome::Kind;
    const std::string network = ndltest::NdlNetwork();
    struct Case {
        std::string ndl;      // empty: a model builder that runs out of memory
        std::string missing;  // the file, "txt", "htm" or "tmp", that is to go in a folder not there
        unsigned stopAt;      // the year after which the run is asked to stop; 0: never
        Kind kind;
        std::string message;  // "@" stands for the folder
    };
    const Case cases[] = {
        {"system: quantsPerDay = 0.;\\\nyearStep = 100.;\\\n\n", "", 0, Kind::ParseError,
         "error: (L1 C27) the \"quantsperday\" attribute must be an integer in the range [1,1440]"},
        // Regression: the message pointed the user at the trace, which was empty.
        {"# nothing\n", "", 0, Kind::ParseError, "error: the network has no system definition"},
        // Regression: a temporary file that could not be made was a warning, and the run went on;
        // then it failed the run but wrote a title-only report over the last finished one.
        {network, "tmp", 0, Kind::OutputFailure,
         "Warning! Cannot create temporary file handler!\nCannot create a file in \"@/missing\": No such file or directory"},
        {network, "", 3, Kind::Stopped, ""},
        // Regression: the message did not say which file could not be made, nor why.
        {network, "htm", 0, Kind::OutputFailure,
         "HTML output stream handler failed! Please disable the create directory option in "
         "Settings->Workspace Settings.\nCannot create \"@/missing/n.htm\": No such file or directory"},
        {network, "txt", 0, Kind::OutputFailure,
         "Text file output stream handler failed!\nCannot create \"@/missing/n.txt\": No such file or directory"},
        // Regression: a run that ran out of memory replaced the last finished reports with its own
        // half-written ones.
        {"", "", 0, Kind::Failed, "Out of memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        TempFolder folder;
        std::ofstream(folder / "n.txt") << "last trace";
        std::ofstream(folder / "n.htm") << "last report";
        const auto file = [&](const std::string& type) { return folder / ((type == c.missing ? "missing/n." : "n.") + type); };
        CRunControl control;
        ndltest::ProgressLog progress(&control, c.stopAt);
        auto outOfMemory = [](CSimulation&, COutput& output, std::string&) -> bool {
            output.Log(2, "half a trace\n");
            throw std::bad_alloc();
        };
        const SimulatorOutcome outcome =
            c.ndl.empty() ? CSimulator().RunModel(outOfMemory, "N <1>", file("txt"), file("htm"), &control, &progress)
                          : CSimulator().Run(c.ndl, "N <1>", file("txt"), file("htm"), file("tmp"), &control, &progress);
        EXPECT_EQ(outcome.kind, c.kind);
        std::string message = c.message;
        for (std::size_t at = message.find('@'); at != std::string::npos; at = message.find('@'))
            message.replace(at, 1, folder.Path().string());
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(outcome.years, c.stopAt);
        EXPECT_EQ(progress.snapshots.size(), c.stopAt) << "nothing more is simulated";
        // The last finished run's reports stay, but for a text that did not parse: its trace holds
        // the error line.
        const bool parseError = c.kind == Kind::ParseError;
        EXPECT_EQ(ReadText(folder / "n.txt"), parseError ? message + "\n" : "last trace");
        EXPECT_EQ(ReadText(folder / "n.htm"),
                  parseError ? "<b><font size=\"4\">Network name :N &lt;1&gt;</font></b><br><br>" : "last report");
        EXPECT_EQ(FileNames(folder.Path()), (std::set<std::string>{"n.htm", "n.txt"}));
    }
}

// Regression: with a title of 238 to 251 bytes the reports' names fitted but their temporary names
// did not, and the run failed telling the user to disable the create directory option. A name
// too long itself is found before anything is simulated.
TEST(Simulator, ReportsTakeEveryNameThatFits)
{
    for (const std::size_t length : {238u, 251u, 252u}) {
        SCOPED_TRACE(length);
        TempFolder folder;
        const std::string title(length, 't');
        const SimulatorOutcome outcome = CSimulator().Run(ndltest::NdlNetwork(), "N", folder / (title + ".txt"),
                                                          folder / (title + ".htm"), folder / "n.tmp", nullptr, nullptr);
        if (length <= 251) {
            EXPECT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed) << outcome.message;
            EXPECT_EQ(FileNames(folder.Path()), (std::set<std::string>{title + ".htm", title + ".txt"}));
        } else {
            EXPECT_EQ(outcome.message, std::string(kHtmlOutputFailed) + "\nCannot create \"" +
                                           (folder / (title + ".htm")).string() + "\": File name too long");
            EXPECT_EQ(FileNames(folder.Path()), std::set<std::string>{});
        }
    }
}

// Each load point's link finds its section, also in a folder whose name holds '#' and '%': the
// HTML decodes both to the same anchor, the anchor is what LoadPointAnchors gives the result
// view, and the link's path is percent-encoded.
TEST(Report, LoadPointLinksFindTheirEscapedUniqueAnchors)
{
    const std::vector<std::string> names = {"Mill <&\"", "Mill <&\"", "ENS", "Town", "M\xC3\xBChle"};
    const std::vector<std::string> anchors = korvane::LoadPointAnchors(names);
    EXPECT_EQ(anchors, (std::vector<std::string>{"Mill <&\"", "Mill <&\"$2", "ENS$2", "Town", "M\xC3\xBChle"}));
    // Regression: the links held the report's path as it stands, so in a folder named "C# 100%"
    // they stopped at the folder's "#" or decoded its "%" and led nowhere.
    EXPECT_EQ(korvane::LinkPath("/home/ann/C# 100%/a?b/Net1.htm"), "/home/ann/C%23 100%25/a%3Fb/Net1.htm");
    EXPECT_EQ(korvane::LinkPath("/plain/M\xC3\xBChle & Co/N.htm"), "/plain/M\xC3\xBChle & Co/N.htm");

    TempFolder temp;
    fs::create_directories(temp / "C# 100%");
    const Reports reports = RunModel(temp / "C# 100%", [&names](CSimulation& sim, COutput&, std::string&) {
        sim.SetSystem(24, 100, 100, 100, 0.0);
        ndltest::AddSource(sim, 2);
        for (const std::string& name : names) {
            if (sim.AddLoad(name, 2, 1, 1, {1.0}, 1.0, 1.0) != CSimulation::LoadResult::Built)
                return false;
        }
        return true;
    });
    const std::string& html = reports.html;
    const std::string link = "<a href=\"" + (temp / "C%23 100%25" / "n.htm").string() + "#";
    for (const std::string& anchor : anchors) {
        const std::string escaped = korvane::EscapeHtml(anchor);
        EXPECT_NE(html.find(link + escaped + "\">"), std::string::npos) << anchor;
        EXPECT_NE(html.find("<a name = \"" + escaped + "\" id = \"" + escaped + "\">"), std::string::npos) << anchor;
    }
    EXPECT_NE(html.find(link + "SAIFI\">SAIFI</a>"), std::string::npos);
    EXPECT_EQ(html.find("C# 100%"), std::string::npos);
    EXPECT_EQ(html.find("<&\""), std::string::npos) << "a name reached the HTML unescaped";
    EXPECT_NE(html.find("Load Point - M&#252;hle</a>"), std::string::npos);
    EXPECT_TRUE(std::all_of(html.begin(), html.end(), [](char c) { return (c & 0x80) == 0; }))
        << "the report names no encoding: it must be ASCII";
    EXPECT_NE(reports.trace.find("Load Point: M\xC3\xBChle\n"), std::string::npos) << "the trace keeps the name";
}

// Regression: without load points N was 0 and ASUI, ASAI and AENS printed NaN; without
// interrupted customers CAIFI and ACCI did.
TEST(Report, RatiosWithoutADenominatorPrintNotAvailable)
{
    TempFolder folder;
    const Reports reports = RunModel(folder.Path(), [](CSimulation& sim, COutput&, std::string&) {
        sim.SetSystem(24, 100, 100, 100, 0.05);
        sim.AddSupply(0, 2, -1.0);
        return true;
    });
    ASSERT_EQ(reports.outcome.kind, SimulatorOutcome::Kind::Completed);
    for (const std::string& all : {reports.trace, reports.html}) {
        EXPECT_EQ(all.find("nan"), std::string::npos) << all;
        EXPECT_EQ(all.find("inf"), std::string::npos) << all;
    }
    EXPECT_NE(reports.trace.find("CAIFI =       n/a\nCAIDI =   0.00000      0.0%\nASUI  =          n/a\n"
                                 "ASAI  =          n/a\nENS   =   0.00000      0.0%\nAENS  =       n/a\n"
                                 "ACCI  =       n/a\n"),
              std::string::npos)
        << reports.trace;
    EXPECT_NE(reports.html.find("<font size=\"2\">Load Point</font>"), std::string::npos);
}

// The customer-weighted indices from their definitions over the load points' means: N customers,
// F = sum c x frequency, I = sum c x interrupted-year share, U = sum c x unavailability (hours a
// year), D = sum of energy not supplied; CAIFI = F / I, ASUI = U / 8760 / N, ASAI = 1 - ASUI,
// AENS = D / N, ACCI = D / I.
TEST(Report, CustomerIndicesFollowTheirDefinitionsInTheTraceText)
{
    TempFolder folder;
    ndltest::TracedOutput output(folder);
    CSimulation sim;
    sim.Init(output.Get(), nullptr);
    std::string unused;
    ASSERT_TRUE(BuildSmallFeeder(sim, *output.Get(), unused));
    sim.Run(nullptr, "r.htm");
    const std::string trace = output.Trace();

    double n = 0, f = 0, i = 0, u = 0, d = 0;
    for (std::size_t e = 0; e < sim.GetEdgeCount(); ++e) {
        const SimEdge& load = sim.GetEdge(e);
        if (load.type != kLoadEdge)
            continue;
        const SimLoadEstimates& results = sim.GetLoadEstimates(e);
        n += load.customers;
        f += load.customers * results.frequency.GetMean();
        i += load.customers * results.interruptedYear.GetMean();
        u += load.customers * results.unavailability.GetMean();
        d += results.energyNotSupplied.GetMean();
    }
    ASSERT_GT(i, 0.0);
    using korvane::FixedText;
    for (const std::string& line : {"CAIFI = " + FixedText(f / i, 5, 9), "ASUI  = " + FixedText(u / 8760.0 / n, 8, 12),
                                    "ASAI  = " + FixedText(1 - u / 8760.0 / n, 8, 12), "AENS  = " + FixedText(d / n, 5, 9),
                                    "ACCI  = " + FixedText(d / i, 5, 9)})
        EXPECT_NE(trace.find("\n" + line + "\n"), std::string::npos) << line << "\n---\n" << trace;
}

// Numbers in columns whatever the locale; names cut to a column by characters, not bytes.
// Regression: the report names no encoding, so the result page read a UTF-8 name as Latin-1
// ("MÃ¼hle"). Every character beyond ASCII now goes as a numeric reference.
TEST(ReportText, FormatsColumnsAndEscapesHtmlWithoutTheLocale)
{
    EXPECT_EQ(korvane::FixedText(2.5, 5, 9), "  2.50000");
    EXPECT_EQ(korvane::FixedText(1234567.125, 5, 9), "1234567.12500");
    EXPECT_EQ(korvane::FixedText(0.05, 1, 5), "  0.1");
    EXPECT_EQ(korvane::ColumnText("Mill", 13), "Mill         ");
    EXPECT_EQ(korvane::ColumnText("Eastern pumping station", 13), "Eastern pumpi");
    EXPECT_EQ(korvane::ColumnText("Größere Mühle Nord", 13), "Größere Mühle");
    EXPECT_EQ(korvane::ColumnText("Zürich", 13), "Zürich       ");
    for (const testfiles::TableCase& c : testfiles::ReadTable("montecarlo/html-escapes.txt"))
        EXPECT_EQ(korvane::EscapeHtml(c.fields.at(0)), c.fields.at(1)) << "html-escapes.txt:" << c.line;
}

// Regression: the reports were written under names anyone could foresee and opened without
// exclusivity, so a link planted under such a name in a shared folder made the run create, or
// overwrite, the file the link points to.
TEST(Simulator, NeverWritesThroughALinkPlantedUnderItsTemporaryNames)
{
    TempFolder temp;
    const fs::path out = temp / "out";
    const fs::path elsewhere = temp / "elsewhere";
    fs::create_directories(out);
    fs::create_directories(elsewhere);
    std::ofstream(elsewhere / "kept") << "the user's";
    // Links under the names the run's next temporary files would take, the first to a file that
    // exists, the others to none.
    const std::string probe = korvane::UniqueSiblingName(out / "probe", "").filename().string();
    const unsigned long counter = std::stoul(probe.substr(probe.rfind('-') + 1));
    int links = 0;
    for (const std::string base : {"n.txt", "n.htm", "ndl"}) {
        for (unsigned long k = 1; k <= 8; ++k, ++links) {
            const fs::path target = k == 1 ? elsewhere / "kept" : elsewhere / (base + std::to_string(k));
            const std::string name = base + "." + std::to_string(::getpid()) + "-" + std::to_string(counter + k);
            fs::create_symlink(target, out / (name + (base == "ndl" ? ".tmp" : ".part")));
        }
    }
    const SimulatorOutcome outcome = CSimulator().Run(ndltest::NdlNetwork(), "Net1", out / "n.txt", out / "n.htm",
                                                      out / "n.tmp", nullptr, nullptr);
    ASSERT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed) << outcome.message;
    EXPECT_EQ(FileNames(elsewhere), std::set<std::string>{"kept"});
    EXPECT_EQ(ReadText(elsewhere / "kept"), "the user's");
    EXPECT_NE(ReadText(out / "n.htm").find("Network name :Net1"), std::string::npos);
    EXPECT_EQ(FileNames(out).size(), 2u + links) << "the reports, and the links as they were";
}
