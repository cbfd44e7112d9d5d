#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "editor/BuildCommands.h"
#include "editor/OutputNames.h"
#include "editor/RunMessages.h"
#include "editor/SavedNetworkRun.h"
#include "montecarlo/Simulator.h"
#include "analytical/AnalyticalSimulator.h"
#include "model/KorvaneDoc.h"
#include "platform/Files.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr COLORREF kGrey = 0x808080;

// Records the boxes in order and answers the questions from a list.
class CScriptedPrompts : public IBuildPrompts {
public:
    std::vector<std::string> shown;
    std::vector<bool> answers;

    void ShowMessage(const std::string& text, Icon icon) override { shown.push_back(Tag(icon) + text); }
    bool AskYesNo(const std::string& text, Icon icon) override
    {
        shown.push_back("?" + Tag(icon) + text);
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.erase(answers.begin());
        return answer;
    }

private:
    static std::string Tag(Icon icon)
    {
        return icon == Icon::Information ? "i:" : icon == Icon::Exclamation ? "!:" : "q:";
    }
};

// A gen source, a line and a load point, each end on the next.
void DrawConnected(CKorvaneDoc& doc)
{
    AddTo<CGenSource>(doc, CPoint(100, 100), 1, kGrey);
    AddTo<CLine>(doc, CPoint(100, 100), CPoint(200, 100), 1, kGrey);
    AddTo<CLoadPoint>(doc, CPoint(200, 100), 1, kGrey);
}

// A titled network that passes the generator's check, or a lone line that fails it.
void DrawTitled(CKorvaneDoc& doc, const std::string& title, bool connected)
{
    doc.SetTitle(title);
    if (connected)
        DrawConnected(doc);
    else
        AddTo<CLine>(doc, CPoint(10, 20), CPoint(50, 20), 1, kGrey);
}

}  // namespace

TEST(BuildCommands, DebugNamesTheFileAndDescribesEachFailure)
{
    CKorvaneDoc doc;
    doc.SetTitle("Net1");
    DrawConnected(doc);
    CScriptedPrompts clean;
    EXPECT_TRUE(CBuildCommands(doc, clean).DebugNetwork().empty());
    EXPECT_EQ(clean.shown, std::vector<std::string>{"i:Checking completed : No error found!"});

    const CWidget* line = AddTo<CLine>(doc, CPoint(10, 20), CPoint(50, 20), 1, kGrey);
    const CWidget* load = AddTo<CLoadPoint>(doc, CPoint(300, 400), 1, kGrey);
    const CWidget* bar = AddTo<CBusBar>(doc, CPoint(-5, 7), CPoint(-5, 90), 2, kGrey);
    auto* named = AddTo<CLoadPoint>(doc, CPoint(600, 40), 1, kGrey);
    named->m_strName = "A#B";
    AddTo<CLine>(doc, CPoint(600, 40), CPoint(700, 40), 1, kGrey);
    AddTo<CGenSource>(doc, CPoint(700, 40), 1, kGrey);

    CScriptedPrompts prompts;
    const auto errors = CBuildCommands(doc, prompts).DebugNetwork();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"i:Checking completed : Errors found in Net1.mc"});
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0].widget, line->GetSerial());
    EXPECT_EQ(errors[0].text, "Line at  (10, 20)  (50, 20)  not connected");
    EXPECT_EQ(errors[1].widget, load->GetSerial());
    EXPECT_EQ(errors[1].text, "Load Point at  (300, 400)  not connected");
    EXPECT_EQ(errors[2].widget, bar->GetSerial());
    EXPECT_EQ(errors[2].text, "Bus Bar at  (-5, 7)  (-5, 90)  not connected");
    EXPECT_EQ(errors[3].widget, named->GetSerial());
    EXPECT_EQ(errors[3].text.rfind("Load Point at  (600, 40)  the load point \"A#B\"", 0), 0u) << errors[3].text;
}

// Regression: a NaN or infinity that a file brought in passed the check and surfaced as a syntax
// error at some line of the NDL text, naming neither the widget nor the value.
TEST(BuildCommands, DebugNamesAValueThatIsNoNumberAndRunsRefuseIt)
{
    CKorvaneDoc doc;
    doc.SetTitle("Net1");
    DrawConnected(doc);
    const std::vector<CWidget*> widgets = doc.GetWidgetsInOrder();
    static_cast<CLine*>(widgets[1])->m_dFailure1 = std::numeric_limits<double>::quiet_NaN();
    static_cast<CLoadPoint*>(widgets[2])->m_dLoad = std::numeric_limits<double>::infinity();
    AddTo<CFuse>(doc, CPoint(500, 500), CPoint(600, 500), 1, kGrey)->m_dFaultRate = -HUGE_VAL;

    CScriptedPrompts prompts;
    std::vector<std::string> lines;
    for (const CNetworkError& error : CBuildCommands(doc, prompts).DebugNetwork())
        lines.push_back(error.text);
    const std::string noNumber = " is not a finite number (NaN or infinite)";
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Line at  (100, 100)  (200, 100)  the value of \"Failure 1\"" + noNumber,
                         "Load Point at  (200, 100)  the value of \"Load\"" + noNumber,
                         "Fuse at  (500, 500)  (600, 500)  not connected, and the value of \"Fault rate\"" + noNumber}));
    prompts.shown.clear();
    const COutputPlace place{{}, "/nowhere"};
    EXPECT_EQ(CBuildCommands(doc, prompts).PrepareAnalyticalRun(false, place), nullptr);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{std::string("!:") + run_text::kDebugFirst});
}

TEST(BuildCommands, NdlAndGmlTextsAreTheGeneratorErrorUntilTheNetworkIsConnected)
{
    CKorvaneDoc doc;
    CLine* line = AddTo<CLine>(doc, CPoint(10, 20), CPoint(50, 20), 1, kGrey);
    for (const auto& [text, kind] : {std::pair{CBuildCommands::NDLText(doc), "NDL"}, {CBuildCommands::GMLText(doc), "GML"}})
        EXPECT_EQ(text, std::string(kind) + " Generator error:\n====================\n\nThere are errors in the "
                                            "network\ndrawn by user.\n\nFor more information, please\ndebug the "
                                            "network settings \nusing the debugger.");
    AddTo<CGenSource>(doc, CPoint(10, 20), 1, kGrey);
    AddTo<CLoadPoint>(doc, CPoint(50, 20), 1, kGrey);
    const std::string ndl = CBuildCommands::NDLText(doc);
    EXPECT_EQ(ndl.rfind("system: quantsPerDay = 0.;", 0), 0u) << ndl;
    EXPECT_NE(ndl.find("line: connect = 0., 1.;"), std::string::npos) << ndl;
    const std::string gml = CBuildCommands::GMLText(doc);
    EXPECT_EQ(gml.rfind("graph", 0), 0u) << gml;
    EXPECT_NE(line->m_source, -1);
}

TEST(BuildCommands, MonteCarloChecksComeInTheirOrderAndStopAtTheFirstThatFails)
{
    ndltest::TempFolder folder;
    const COutputPlace place{folder.Path() / "Net1.mc", folder.Path() / "data"};
    const std::string debugFirst = std::string("!:") + run_text::kDebugFirst;
    const std::string quants = std::string("?!:") + run_text::kQuantsQuestion;
    const std::string badName = std::string("!:") + run_text::kInvalidOutputName;
    const struct {
        bool connected;
        int quants;
        bool busy;
        const char* title;
        std::vector<bool> answers;
        std::vector<std::string> shown;
        bool starts;
    } cases[] = {
        {false, 0, true, "", {}, {debugFirst}, false},
        {true, 0, false, "Net1", {false}, {quants}, false},
        {true, 0, true, "Net1", {true}, {quants}, false},  // a run going: silently nothing
        {true, 1, true, "", {}, {}, false},
        {true, 1, false, "", {}, {badName}, false},
        {true, 1, false, "..", {}, {badName}, false},
        {true, 0, false, "Net1", {true}, {quants}, true},
        {true, 24, false, "Net1", {}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        CKorvaneDoc doc;
        DrawTitled(doc, c.title, c.connected);
        doc.m_pSimulationSettings->quantsPerDay = c.quants;
        doc.SetModifiedFlag(false);
        CScriptedPrompts prompts;
        prompts.answers = c.answers;
        const auto job = CBuildCommands(doc, prompts).PrepareMonteCarloRun(c.busy, place, nullptr);
        EXPECT_EQ(prompts.shown, c.shown);
        EXPECT_EQ(job != nullptr, c.starts);
        EXPECT_EQ(doc.IsModified(), c.starts);
        EXPECT_EQ(doc.GetMonteCarloResultPath().empty(), !c.starts);
    }
}

TEST(BuildCommands, APreparedMonteCarloRunCarriesTheTextAndPathsAndTellsTheViews)
{
    struct CObserver : IDocumentObserver {
        std::vector<std::string> hints;
        void OnDocumentUpdate(const void*, const std::string* hint) override { hints.push_back(hint ? *hint : "-"); }
    } observer;
    ndltest::TempFolder folder;
    CKorvaneDoc doc;
    doc.SetTitle("Net1");
    doc.m_workspace.m_bCreateDirectory = 1;
    DrawConnected(doc);
    doc.m_pSimulationSettings->quantsPerDay = 24;
    doc.AddObserver(&observer);
    CScriptedPrompts prompts;
    const auto job =
        CBuildCommands(doc, prompts)
            .PrepareMonteCarloRun(false, {folder.Path() / "Net1.mc", "/nowhere"}, nullptr);
    ASSERT_NE(job, nullptr);
    const MonteCarloThreadParams& params = job->GetParams();
    EXPECT_EQ(params.m_strTitle, "Net1");
    EXPECT_EQ(params.m_strNDL, CBuildCommands::NDLText(doc));
    EXPECT_EQ(params.m_pszTextFile, folder.Path() / "Net1" / "Net1.txt");
    EXPECT_EQ(params.m_pszHtmlFile, folder.Path() / "Net1" / "Net1.htm");
    EXPECT_EQ(params.m_pszTempFile.parent_path(), folder.Path() / "Net1");
    EXPECT_TRUE(fs::is_directory(folder.Path() / "Net1"));
    EXPECT_EQ(doc.GetMonteCarloResultPath(), (folder.Path() / "Net1" / "Net1.htm").string());
    EXPECT_EQ(observer.hints, std::vector<std::string>{doc.GetMonteCarloResultPath()});
    doc.RemoveObserver(&observer);
}

TEST(OutputNames, FollowTheDocumentOrTheUserDataFolder)
{
    const struct {
        const char* title;
        const char* document;
        bool createDirectory;
        const char* folder;  // null: refused
    } cases[] = {
        {"Net1", "/home/ann/nets/Net1.mc", false, "/home/ann/nets"},
        {"Net1", "/home/ann/nets/Net1.mc", true, "/home/ann/nets/Net1"},
        {"MC1", "", false, "/home/ann/.local/share/Korvane"},
        {"MC1", "", true, "/home/ann/.local/share/Korvane/MC1"},
        {"Net 2 (copy)", "/x/Net 2 (copy).mc", false, "/x"},
        {"", "/x/y.mc", false, nullptr},
        {".", "/x/y.mc", false, nullptr},
        {"..", "/x/y.mc", true, nullptr},
        {"a/b", "/x/y.mc", false, nullptr},
    };
    for (const auto& c : cases) {
        const auto names = MakeOutputNames(c.title, c.document, "/home/ann/.local/share/Korvane", c.createDirectory);
        ASSERT_EQ(names.has_value(), c.folder != nullptr) << c.title;
        if (!names)
            continue;
        const fs::path folder = c.folder;
        EXPECT_EQ(names->folder, folder);
        EXPECT_EQ(names->textFile, folder / (std::string(c.title) + ".txt"));
        EXPECT_EQ(names->htmlFile, folder / (std::string(c.title) + ".htm"));
    }
}

TEST(BuildCommands, AnalyticalChecksComeInTheirOrderAndThePreparedRunCopiesTheSettings)
{
    const COutputPlace place{"/work/nets/Net1.mc", "/nowhere"};
    const std::string debugFirst = std::string("!:") + run_text::kDebugFirst;
    const std::string badName = std::string("!:") + run_text::kInvalidOutputName;
    const struct {
        bool connected;
        bool busy;
        const char* title;
        std::vector<std::string> shown;
        bool starts;
    } cases[] = {
        {false, true, "", {debugFirst}, false},
        {true, true, "", {}, false},
        {true, false, "", {badName}, false},
        {true, false, "Net1", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        CKorvaneDoc doc;
        DrawTitled(doc, c.title, c.connected);
        CScriptedPrompts prompts;
        const auto job = CBuildCommands(doc, prompts).PrepareAnalyticalRun(c.busy, place);
        EXPECT_EQ(prompts.shown, c.shown);
        EXPECT_EQ(job != nullptr, c.starts);
        EXPECT_EQ(doc.IsModified(), c.starts);
    }

    CKorvaneDoc doc;
    doc.SetTitle("Net1");
    DrawConnected(doc);
    doc.m_analytical.m_bMinimumCutSet = 1;
    doc.m_analytical.m_nLoadSheddingMethod = 0;
    doc.m_analytical.m_nFaultCount = 7;
    CScriptedPrompts prompts;
    const auto job = CBuildCommands(doc, prompts).PrepareAnalyticalRun(false, place);
    ASSERT_NE(job, nullptr);
    const AnalyticalThreadParams& params = job->GetParams();
    EXPECT_EQ(params.m_bMinimumCutSet, 1);
    EXPECT_EQ(params.m_nLoadSheddingMethod, 0);
    EXPECT_EQ(params.m_nFaultCount, 7);
    EXPECT_EQ(params.m_strGML, CBuildCommands::GMLText(doc));
    EXPECT_FALSE(fs::exists("/work/nets"));  // the text goes from memory: no folder is made for it
}

// The headless tools take a saved network as the application does: checked, generated and run
// with its own settings, a refusal listing the errors bar's lines in its order.
TEST(SavedNetworkRun, PreparesTheRunsOfAStoredFileAsTheBuildCommandsDo)
{
    ndltest::TempFolder folder;
    CKorvaneDoc doc;
    DrawConnected(doc);
    doc.m_pSimulationSettings->quantsPerDay = 24;
    doc.m_analytical.m_nLoadSheddingMethod = 0;
    doc.m_analytical.m_nFaultCount = 7;
    doc.SaveFile(folder.Path() / "Net1.MC");
    const fs::path out = folder.Path() / "out" / "new";
    const auto mc = PrepareSavedNetworkRun(folder.Path() / "Net1.MC", EngineKind::MonteCarlo, out);
    ASSERT_NE(mc.job, nullptr);
    EXPECT_TRUE(mc.messages.empty());
    const MonteCarloThreadParams& run = dynamic_cast<const CMonteCarloJob&>(*mc.job).GetParams();
    EXPECT_EQ(run.m_strTitle, "Net1");
    EXPECT_EQ(run.m_strNDL, CBuildCommands::NDLText(doc));
    EXPECT_EQ(run.m_pszHtmlFile, out / "Net1.htm");
    EXPECT_TRUE(fs::is_directory(out));
    const auto analytical = PrepareSavedNetworkRun(folder.Path() / "Net1.MC", EngineKind::Analytical, out);
    ASSERT_NE(analytical.job, nullptr);
    const AnalyticalThreadParams& params = dynamic_cast<const CAnalyticalJob&>(*analytical.job).GetParams();
    EXPECT_EQ(params.m_strGML, CBuildCommands::GMLText(doc));
    EXPECT_EQ(params.m_nLoadSheddingMethod, 0);
    EXPECT_EQ(params.m_nFaultCount, 7);

    AddTo<CLine>(doc, CPoint(10, 20), CPoint(50, 20), 1, kGrey);
    AddTo<CBusBar>(doc, CPoint(-5, 7), CPoint(-5, 90), 2, kGrey);
    doc.SaveFile(folder.Path() / "Net2.mc");
    const auto refused = PrepareSavedNetworkRun(folder.Path() / "Net2.mc", EngineKind::Analytical, out);
    EXPECT_EQ(refused.job, nullptr);
    EXPECT_EQ(refused.messages, (std::vector<std::string>{"Checking completed : Errors found in Net2.mc",
                                                          "Bus Bar at  (-5, 7)  (-5, 90)  not connected",
                                                          "Line at  (10, 20)  (50, 20)  not connected"}));
    EXPECT_THROW(PrepareSavedNetworkRun(folder.Path() / "none.mc", EngineKind::MonteCarlo, out), korvane::FileError);
}

// Regression: a fuse shorter than a load point's body, drawn below it at the default snap grid,
// was looped onto the load point's node; the load above it counted every fault beyond it (2.2
// failures a year instead of 0.2) in both engines.
TEST(SavedNetworkRun, AShortFuseBelowALoadPointProtectsItInBothEngines)
{
    ndltest::TempFolder folder;
    CKorvaneDoc doc;
    doc.m_pSimulationSettings->quantsPerDay = 24;
    doc.m_pSimulationSettings->yearMin = doc.m_pSimulationSettings->yearMax = 4000;
    AddTo<CGenSource>(doc, CPoint(0, 0), 1, kGrey)->m_dCapacity = 100;
    AddTo<CCircuitBreaker>(doc, CPoint(0, 0), CPoint(100, 0), 1, kGrey);
    for (const auto& [from, to, rate] : {std::tuple{CPoint(100, 0), CPoint(400, 0), 0.2},
                                         std::tuple{CPoint(400, 20), CPoint(400, 200), 2.0}}) {
        CLine* line = AddTo<CLine>(doc, from, to, 1, kGrey);
        line->m_dFailure1 = rate, line->m_dFailure2 = 1, line->m_dRepair1 = 4, line->m_dRepair2 = 1;
        line->m_dFaultRate = rate, line->m_dFeederLength = 1, line->m_dRepairTime = 4;
        if (to == CPoint(400, 0))
            AddTo<CFuse>(doc, to, CPoint(400, 20), 1, kGrey);
        auto* load = AddTo<CLoadPoint>(doc, to, 1, kGrey);
        load->m_strName = to == CPoint(400, 0) ? "A" : "B";
        load->m_nCustomers = load->m_nNumCustomers = 1;
        load->m_dAverage = load->m_dLoad = 1;
    }
    doc.SaveFile(folder.Path() / "Fused.mc");

    const auto mc = PrepareSavedNetworkRun(folder.Path() / "Fused.mc", EngineKind::MonteCarlo, folder.Path());
    ASSERT_NE(mc.job, nullptr);
    const MonteCarloThreadParams& run = dynamic_cast<const CMonteCarloJob&>(*mc.job).GetParams();
    CSimulator().Run(run.m_strNDL, "Fused", run.m_pszTextFile, run.m_pszHtmlFile, run.m_pszTempFile, nullptr, nullptr);
    const std::string trace = testfiles::ReadText(run.m_pszTextFile);
    const auto at = trace.find("Failure Rate = ", trace.find("Load Point: A"));
    ASSERT_NE(at, std::string::npos) << trace;
    // 4000 years of 0.2 failures: the mean lies within 0.03 (four standard errors) of 0.2.
    EXPECT_NEAR(std::stod(trace.substr(at + 15, 12)), 0.2, 0.03) << trace.substr(at, 40);

    const auto analytical = PrepareSavedNetworkRun(folder.Path() / "Fused.mc", EngineKind::Analytical, folder.Path());
    ASSERT_NE(analytical.job, nullptr);
    std::vector<CGMLResult> records;
    const auto& gml = dynamic_cast<const CAnalyticalJob&>(*analytical.job).GetParams().m_strGML;
    ASSERT_TRUE(CAnalyticalSimulator().Run(gml, 0, 1, 10, &records).ok);
    EXPECT_EQ(records.back().m_nLoadId, 1);
    EXPECT_DOUBLE_EQ(records[records.size() - 2].m_dTotalOutageRate, 0.2);
}

// Regression: an errors-bar line kept the widget's address, so after Cut and Paste it could
// select the pasted copy that the allocator placed where the cut widget had lived.
TEST(BuildCommands, AnErrorLineNeverFindsAPastedCopyOfItsWidget)
{
    CKorvaneDoc doc;
    AddTo<CLine>(doc, CPoint(10, 20), CPoint(50, 20), 1, kGrey);
    CScriptedPrompts prompts;
    const auto errors = CBuildCommands(doc, prompts).DebugNetwork();
    ASSERT_EQ(errors.size(), 1u);
    CWidget* line = doc.FindWidget(errors[0].widget);
    ASSERT_NE(line, nullptr);
    const std::unique_ptr<CWidget> cut = doc.RemoveWidget(line);
    doc.AddWidget(cut->Clone());
    EXPECT_EQ(doc.FindWidget(errors[0].widget), nullptr);
}
