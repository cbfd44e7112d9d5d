#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analytical/ADist_Graph.h"
#include "analytical/AnalyticalSimulator.h"
#include "analytical/GMLGenerator.h"
#include "editor/BuildCommands.h"
#include "editor/Datasheet.h"
#include "editor/OutputNames.h"
#include "editor/RunMessages.h"
#include "editor/SavedNetworkRun.h"
#include "model/KorvaneDoc.h"
#include "model/WidgetText.h"
#include "montecarlo/NDLGenerator.h"
#include "montecarlo/NdlRange.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/Simulator.h"
#include "platform/Files.h"
#include "tests/Drawing.h"
#include "tests/TestFiles.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace fs = std::filesystem;
using drawing::Draw;

namespace {

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
constexpr const char* kConnected = "G 100 100, L 100 100 200 100, P 200 100";
constexpr const char* kLoneLine = "L 10 20 50 20";

template <class T>
T& At(std::vector<CWidget*>& widgets, int index)
{
    return *static_cast<T*>(widgets[static_cast<std::size_t>(index)]);
}

// Whether the NDL reader takes the network's text, generated whatever the check says.
bool ReaderTakes(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    generator.Generate();
    testfiles::TempFolder folder;
    ndltest::TracedOutput output(folder);
    CSimulation model;
    model.Init(output.Get());
    CParserDistrib parser(output.Get());
    const bool taken = parser.Parse(generator.GetNDL(), folder.Path()) && parser.Run(&model);
    parser.Close();
    return taken;
}

// Whether the analytical engine's GML reader takes the network's text.
bool GmlReaderTakes(CKorvaneDoc& doc)
{
    CGMLGenerator generator(&doc);
    generator.Generate();
    ADist_Graph graph;
    return !graph.load(generator.GetGML()).IsError();
}

std::vector<std::string> Texts(const std::vector<CNetworkError>& errors)
{
    std::vector<std::string> texts;
    for (const CNetworkError& e : errors)
        texts.push_back(e.text);
    return texts;
}

// Why Debug network refuses a value, as its line says after the widget.
std::string Refused(const char* field, const std::string& shown)
{
    return std::string("the value of \"") + field + "\" is " + shown;
}

// Draws one widget of each kind in a row (numbered as drawn: 0 source, 1 line, 2 breaker, 3 fuse,
// 4 isolator, 5 recloser, 6 equipment, 7 transformer, 8 load point, then 9 a line to 10 a second
// load point) at 24 quanta a day, and lets `set` change values. Expects Debug network to list
// exactly `lines` (by widget, -1 for the settings, and reason), and each engine's text and run to
// refuse the network exactly when that engine's reader refuses its text.
void ExpectDebugNamesTheRefusedValues(CKorvaneDoc& doc, const std::vector<std::pair<int, std::string>>& lines,
                                      const std::function<void(CSimulationSettings&, std::vector<CWidget*>&)>& set)
{
    doc.SetTitle("Net1");
    std::vector<CWidget*> w = Draw(doc, "G 0 0, L 0 0 100 0, C 100 0 200 0, F 200 0 300 0, I 300 0 400 0, "
                                        "R 400 0 500 0, E 500 0 600 0, T 600 0 700 0, P 700 0, L 700 0 800 0, P 800 0");
    doc.m_pSimulationSettings->quantsPerDay = 24;
    set(*doc.m_pSimulationSettings, w);
    CScriptedPrompts prompts;
    std::vector<std::string> listed = Texts(CBuildCommands(doc, prompts).DebugNetwork());
    std::vector<std::string> expected;
    for (const auto& [widget, reason] : lines)
        expected.push_back(widget < 0 ? "Verav Ezerez simulation settings  " + reason
                                      : DescribeNetworkError(*w[static_cast<std::size_t>(widget)], reason));
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);

    const bool ndlTakes = ReaderTakes(doc);
    const bool gmlTakes = GmlReaderTakes(doc);
    EXPECT_EQ(lines.empty(), ndlTakes && gmlTakes);
    EXPECT_EQ(CBuildCommands::NDLText(doc) != run_text::kNDLGeneratorError, ndlTakes);
    EXPECT_EQ(CBuildCommands::GMLText(doc) != run_text::kGMLGeneratorError, gmlTakes);
    testfiles::TempFolder folder;
    const COutputPlace place{folder / "Net1.mc", ""};
    EXPECT_EQ(CBuildCommands(doc, prompts).PrepareMonteCarloRun(false, place, nullptr) != nullptr, ndlTakes);
    EXPECT_EQ(CBuildCommands(doc, prompts).PrepareAnalyticalRun(false, place) != nullptr, gmlTakes);
}

}  // namespace

TEST(BuildCommands, DebugNamesTheFileAndDescribesEachFailure)
{
    CKorvaneDoc doc;
    doc.SetTitle("Net1");
    Draw(doc, kConnected);
    CScriptedPrompts clean;
    EXPECT_TRUE(CBuildCommands(doc, clean).DebugNetwork().empty());
    EXPECT_EQ(clean.shown, std::vector<std::string>{"i:Checking completed : No error found!"});

    const auto bad = Draw(doc, "L 10 20 50 20, P 300 400, B -5 7 -5 90, P 600 40, L 600 40 700 40, G 700 40");
    static_cast<CLoadPoint*>(bad[3])->m_strName = "A#B";
    CScriptedPrompts prompts;
    const auto errors = CBuildCommands(doc, prompts).DebugNetwork();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"i:Checking completed : Errors found in Net1.mc"});
    ASSERT_EQ(errors.size(), 4u);
    const std::size_t sorted[] = {2, 0, 1, 3};  // the errors bar's alphabetical order
    for (std::size_t i = 0; i < errors.size(); ++i)
        EXPECT_EQ(errors[i].widget, bad[sorted[i]]->GetSerial());
    EXPECT_EQ(errors[0].text, "Bus Bar at  (-5, 7)  (-5, 90)  not connected");
    EXPECT_EQ(errors[1].text, "Line at  (10, 20)  (50, 20)  not connected");
    EXPECT_EQ(errors[2].text, "Load Point at  (300, 400)  not connected");
    EXPECT_EQ(errors[3].text.rfind("Load Point at  (600, 40)  the load point \"A#B\"", 0), 0u) << errors[3].text;
}

// Regression: a NaN or infinity that a file brought in passed the check and surfaced as a syntax
// error at some line of the NDL text, naming neither the widget nor the value.
TEST(BuildCommands, DebugNamesAValueThatIsNoNumberAndRunsRefuseIt)
{
    CKorvaneDoc doc;
    doc.SetTitle("Net1");
    const auto widgets = Draw(doc, std::string(kConnected) + ", F 500 500 600 500");
    static_cast<CLine*>(widgets[1])->m_dFailure1 = std::numeric_limits<double>::quiet_NaN();
    static_cast<CLoadPoint*>(widgets[2])->m_dLoad = std::numeric_limits<double>::infinity();
    static_cast<CFuse*>(widgets[3])->m_dFaultRate = -HUGE_VAL;
    CScriptedPrompts prompts;
    const std::string noNumber = " is not a finite number (NaN or infinite)";
    EXPECT_EQ(Texts(CBuildCommands(doc, prompts).DebugNetwork()),
              (std::vector<std::string>{
                  "Fuse at  (500, 500)  (600, 500)  not connected",
                  "Fuse at  (500, 500)  (600, 500)  the value of \"Fault rate\"" + noNumber,
                  "Line at  (100, 100)  (200, 100)  the value of \"Failure 1\"" + noNumber,
                  "Load Point at  (200, 100)  the value of \"Load\"" + noNumber}));
    prompts.shown.clear();
    EXPECT_EQ(CBuildCommands(doc, prompts).PrepareAnalyticalRun(false, {{}, "/nowhere"}), nullptr);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{std::string("!:") + run_text::kDebugFirst});
}

// Regression: a value the Monte Carlo datasheet or a file let through but the NDL reader refuses (a
// capacity or customer count of 0, a negative time, a profile of zeros, a stored accuracy of NaN)
// passed the check, and the run stopped on an error at a line of a text the user never wrote. The
// check names each by widget or settings and field, exactly when the reader refuses it; unset values
// (-1) and 0 in the settings ("not given") are left out of the text and pass.
// Regression: a load whose scaled peak, alone or added to the peaks of the loads before it, passes
// 1e15 passed the check, and so did a load point name with a control character other than CR and
// LF; the reader refuses both. Regression: only the first refused value of each widget and of the
// settings was named. Regression: the GML text and the analytical run refused a network for a
// Monte Carlo value, which the GML never carries.
TEST(BuildCommands, DebugNamesEveryValueTheNdlReaderRefusesAndOnlyThose)
{
    using W = std::vector<CWidget*>;
    using S = CSimulationSettings;
    const std::string above0 = ", not a number above 0", from0 = ", not a number of at least 0";
    const std::string beyond = ", which gives the load a scaled peak above 1e15, more than any network can carry";
    const std::string noName = " has a name that NDL cannot carry (it holds \", #, \\, $ or a control character)";
    const struct {
        int widget;  // the widget the line names; -1: the settings
        void (*set)(S&, W&);
        std::string reason;  // empty: the check and the reader take the value
    } cases[] = {
        {1, [](S&, W& w) { At<CLine>(w, 1).m_dCapacity = 0; }, Refused("Capacity", "0" + above0)},
        {0, [](S& s, W& w) { At<CGenSource>(w, 0).m_dCapacity = -5, s.maxFlow = 0; },
         Refused("Capacity", "-5" + above0)},
        {1, [](S&, W& w) { At<CLine>(w, 1).m_dFailure1 = 0; }, ""},
        {1, [](S&, W& w) { At<CLine>(w, 1).m_dFailure1 = -0.1; }, Refused("Failure 1", "-0.1" + from0)},
        {1, [](S&, W& w) { At<CLine>(w, 1).m_dFailure2 = 0; }, Refused("Failure 2", "0" + above0)},
        {1, [](S&, W& w) { At<CLine>(w, 1).m_dLength = 0; }, Refused("Length", "0" + above0)},
        {1, [](S&, W& w) { At<CLine>(w, 1).m_dRepair2 = -1; }, ""},
        {6, [](S&, W& w) { At<CEquipment>(w, 6).m_dLength = 0; }, ""},  // the text leaves it out
        {7, [](S&, W& w) { At<CTransformer>(w, 7).m_dIsolation1 = -2; }, Refused("Isolation 1", "-2" + from0)},
        {5, [](S&, W& w) { At<CRecloser>(w, 5).m_dReclose1 = -4; }, Refused("Reclosing time 1", "-4" + from0)},
        {5, [](S&, W& w) { At<CRecloser>(w, 5).m_dReclose2 = 0; }, Refused("Reclosing time 2", "0" + above0)},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_nCustomers = 0; },
         Refused("Num customers", "0, not an integer from 1 to 999999")},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_nCustomers = 999999; }, ""},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dPeak = 0; }, Refused("Peak", "0" + above0)},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_profile = {0, -1}; }, Refused("Load Profile", "-1" + from0)},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_profile = {0, 2}; }, ""},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_profile = {0, 0}; },
         Refused("Load Profile", "0 throughout, with no value above 0 to scale")},
        {-1, [](S& s, W&) { s.accuracy = std::numeric_limits<double>::quiet_NaN(); },
         Refused("Accuracy", "not a finite number (NaN or infinite)")},
        {-1, [](S& s, W&) { s.accuracy = -0.05; }, Refused("Accuracy", "-0.05" + above0)},
        {-1, [](S& s, W&) { s.accuracy = 0, s.yearMin = 0, s.yearStep = 0, s.yearMax = 1000000000; }, ""},
        {-1, [](S& s, W&) { s.quantsPerDay = 1441; }, Refused("QuantsPerDay", "1441, not an integer from 1 to 1440")},
        {-1, [](S& s, W&) { s.yearMin = 99; }, Refused("Min years", "99, not an integer from 100 to 1000000000")},
        {-1, [](S& s, W&) { s.fuses = 2; }, Refused("Fuses", "2, not 0 or 1")},
        // The demand the reader scales each load to, alone and added to the loads before it.
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dAverage = 1e300; }, Refused("Average", "1e+300" + beyond)},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dPeak = 1e300, At<CLoadPoint>(w, 8).m_dAverage = 2; },
         Refused("Peak", "1e+300" + beyond)},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dPeak = 1, At<CLoadPoint>(w, 8).m_dAverage = 1e15,
                           At<CLoadPoint>(w, 8).m_profile = {1, 2}; },
         Refused("Average", "1e+15" + beyond)},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_profile = {1e-320}; },
         Refused("Load Profile",
                 "at most 9.99988867182683e-321, too small to be scaled to the load's average or peak")},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dAverage = 5e14, At<CLoadPoint>(w, 8).m_profile = {20, 1, 1, 1}; },
         Refused("Average", "500000000000000" + beyond)},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dPeak = 5e14, At<CLoadPoint>(w, 10).m_dPeak = 5e14; }, ""},
        {10, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dPeak = 6e14, At<CLoadPoint>(w, 10).m_dPeak = 6e14; },
         Refused("Peak", "600000000000000, which gives the load a scaled peak of 600000000000000 that, added to the "
                         "600000000000000 of the loads before it, passes 1e15")},
        {10, [](S&, W& w) { At<CLoadPoint>(w, 8).m_dPeak = 1e15; },
         Refused("Peak", "not given, which gives the load a scaled peak of 1 that, added to the 1e+15 of the loads "
                         "before it, passes 1e15")},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_strName = std::string("A\0B", 3); },
         "the load point \"A\\x00B\"" + noName},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_strName = "\x1b[31mA\a\x7f"; },
         "the load point \"\\x1b[31mA\\x07\\x7f\"" + noName},
        {8, [](S&, W& w) { At<CLoadPoint>(w, 8).m_strName = "A\xc2\x85" "B\xc2\xb0"; },
         "the load point \"A\\u0085B\xc2\xb0\"" + noName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        CKorvaneDoc doc;
        std::vector<std::pair<int, std::string>> lines;
        if (!c.reason.empty())
            lines.push_back({c.widget, c.reason});
        ExpectDebugNamesTheRefusedValues(doc, lines, c.set);
    }

    // Every refused value at once, each on its own line: three of a line, two of a load point and
    // five of the settings.
    CKorvaneDoc doc;
    ExpectDebugNamesTheRefusedValues(
        doc,
        {{1, Refused("Capacity", "0" + above0)}, {1, Refused("Failure 2", "0" + above0)},
         {1, Refused("Length", "0" + above0)}, {8, Refused("Num customers", "0, not an integer from 1 to 999999")},
         {8, Refused("Peak", "0" + above0)}, {-1, Refused("QuantsPerDay", "1441, not an integer from 1 to 1440")},
         {-1, Refused("Min years", "99, not an integer from 100 to 1000000000")},
         {-1, Refused("Accuracy", "-0.05" + above0)}, {-1, Refused("Fuses", "2, not 0 or 1")},
         {-1, Refused("Maximum Flow", "3, not 0 or 1")}},
        [](S& s, W& w) {
            At<CLine>(w, 1).m_dCapacity = 0, At<CLine>(w, 1).m_dFailure2 = 0, At<CLine>(w, 1).m_dLength = 0;
            At<CLoadPoint>(w, 8).m_nCustomers = 0, At<CLoadPoint>(w, 8).m_dPeak = 0;
            s.quantsPerDay = 1441, s.yearMin = 99, s.accuracy = -0.05, s.fuses = 2, s.maxFlow = 3;
        });
}

// Regression: the check judged each value as held, not as the text writes it, and took any finite
// analytical value, while the GML reader refuses a number below 0 or above 1e12 (a file can bring
// one, also into a greyed field), so the analytical run stopped at a line of a text the user never
// wrote. The check now reads each value back from its written text, as the run's reader will.
// With six or eight significant digits even the largest double reads back (1.79769e+308 and
// 1.7976931e+308), and the smallest above 0 stays above 0; the GML text's four decimals turn
// -0.00004 into a harmless -0.0000 but -0.00005 into -0.0001.
TEST(BuildCommands, DebugJudgesEachValueAsItsTextReadsBack)
{
    using W = std::vector<CWidget*>;
    using S = CSimulationSettings;
    constexpr double kMax = std::numeric_limits<double>::max();
    constexpr double kTiny = std::numeric_limits<double>::denorm_min();
    const double aboveCap = std::nextafter(1e12, HUGE_VAL);
    const std::string gmlRange = ", not a number from 0 to 1e12";
    const struct {
        int widget;  // the widget the line names; -1: the settings
        void (*set)(S&, W&, double);
        double value;
        const char* field;  // null: the check and both readers take the value
        std::string shown;
        bool ndlRefuses;
    } cases[] = {
        {1, [](S&, W& w, double x) { At<CLine>(w, 1).m_dCapacity = x; }, kMax, nullptr, "", false},
        {1, [](S&, W& w, double x) { At<CLine>(w, 1).m_dFailure1 = x; }, -kMax, "Failure 1",
         "-1.7976931348623157e+308, not a number of at least 0", true},
        {8, [](S&, W& w, double x) { At<CLoadPoint>(w, 8).m_dAverage = x; }, kTiny, nullptr, "", false},
        {8, [](S&, W& w, double x) { At<CLoadPoint>(w, 8).m_profile = {x}; }, kMax, nullptr, "", false},
        {-1, [](S& s, W&, double x) { s.accuracy = x; }, kMax, nullptr, "", false},
        {-1, [](S& s, W&, double x) { s.accuracy = x; }, kTiny, nullptr, "", false},
        {2, [](S&, W& w, double x) { At<CCircuitBreaker>(w, 2).m_dFaultRate = x; }, 1e12, nullptr, "", false},
        {2, [](S&, W& w, double x) { At<CCircuitBreaker>(w, 2).m_dFaultRate = x; }, aboveCap, "Fault rate",
         "1000000000000.0001" + gmlRange, false},
        {3, [](S&, W& w, double x) { At<CFuse>(w, 3).m_dRepairTime = x; }, -0.00004, nullptr, "", false},
        {3, [](S&, W& w, double x) { At<CFuse>(w, 3).m_dRepairTime = x; }, -0.00005, "Repair Time",
         "-5e-05" + gmlRange, false},
        {5, [](S&, W& w, double x) { At<CRecloser>(w, 5).m_dReclTime = x; }, -kMax, "Reclosing time",
         "-1.7976931348623157e+308" + gmlRange, false},
        {8, [](S&, W& w, double x) { At<CLoadPoint>(w, 8).m_dLoad = x; }, kMax, "Load",
         "1.7976931348623157e+308" + gmlRange, false},
        {8, [](S&, W& w, double x) { At<CLoadPoint>(w, 8).m_nNumCustomers = static_cast<int>(x); }, -1,
         "Num customers", "-1" + gmlRange, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        CKorvaneDoc doc;
        ExpectDebugNamesTheRefusedValues(doc,
                                         c.field == nullptr ? std::vector<std::pair<int, std::string>>{}
                                                            : std::vector<std::pair<int, std::string>>{
                                                                  {c.widget, Refused(c.field, c.shown)}},
                                         [&c](S& s, W& w) { c.set(s, w, c.value); });
        EXPECT_EQ(ReaderTakes(doc), !c.ndlRefuses);
        EXPECT_EQ(GmlReaderTakes(doc), c.field == nullptr || c.ndlRefuses);
    }
}

// The check reads a value back from the text that each count of significant digits gives it: with
// ten, the count fields' digits, values from 1.7976931345e+308 up round past the largest double.
TEST(BuildCommands, ARunValueIsJudgedByTheNumberItsWrittenTextReadsAs)
{
    const double firstPast = 1.7976931345e308, lastBefore = std::nextafter(firstPast, 0.0);
    const std::string tooLarge = ", a number too large to read back";
    const struct {
        double value;
        int digits;
        const CNdlRange& range;
        std::string problem;  // empty: taken
    } cases[] = {
        {std::numeric_limits<double>::max(), kNdlDigits, ndl_range::kAccuracy, ""},
        {std::numeric_limits<double>::max(), CSimulationSettings::kAccuracyDigits, ndl_range::kAccuracy, ""},
        {std::numeric_limits<double>::denorm_min(), kNdlDigits, ndl_range::kAccuracy, ""},
        {lastBefore, CSimulationSettings::kCountDigits, ndl_range::kAccuracy, ""},
        {firstPast, CSimulationSettings::kCountDigits, ndl_range::kAccuracy,
         "1.7976931345e+308, which the NDL text writes as 1.797693135e+308" + tooLarge},
        {-lastBefore, CSimulationSettings::kCountDigits, ndl_range::kAccuracy,
         "-1.7976931344999998e+308, not a number above 0"},
        {-firstPast, CSimulationSettings::kCountDigits, ndl_range::kAccuracy,
         "-1.7976931345e+308, which the NDL text writes as -1.797693135e+308" + tooLarge},
        {999999, 5, ndl_range::kCustomers,
         "999999, which the NDL text writes as 1.e+006, not an integer from 1 to 999999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        const auto problem = RunValueProblem("Accuracy", c.value, &c.range, c.digits);
        EXPECT_EQ(problem ? problem->field + ": " + problem->message : "",
                  c.problem.empty() ? "" : "Accuracy: " + c.problem);
    }
}

TEST(BuildCommands, NdlAndGmlTextsAreTheGeneratorErrorUntilTheNetworkIsConnected)
{
    CKorvaneDoc doc;
    auto* line = static_cast<CLine*>(Draw(doc, kLoneLine)[0]);
    EXPECT_EQ(CBuildCommands::NDLText(doc), run_text::kNDLGeneratorError);
    EXPECT_EQ(CBuildCommands::GMLText(doc), run_text::kGMLGeneratorError);
    Draw(doc, "G 10 20, P 50 20");
    const std::string ndl = CBuildCommands::NDLText(doc);
    EXPECT_EQ(ndl.rfind("system: quantsPerDay = 0.;", 0), 0u) << ndl;
    EXPECT_NE(ndl.find("line: connect = 0., 1.;"), std::string::npos) << ndl;
    EXPECT_EQ(CBuildCommands::GMLText(doc).rfind("graph", 0), 0u);
    EXPECT_NE(line->m_source, -1);
}

// Each run command's checks in their order: the first that fails ends it. The Monte Carlo run asks
// about quanta of 0; a run of the document already going ends it silently.
TEST(BuildCommands, RunChecksComeInTheirOrderAndStopAtTheFirstThatFails)
{
    testfiles::TempFolder folder;
    const COutputPlace place{folder.Path() / "Net1.mc", folder.Path() / "data"};
    const std::string debugFirst = std::string("!:") + run_text::kDebugFirst;
    const std::string quants = std::string("?!:") + run_text::kQuantsQuestion;
    const std::string badName = std::string("!:") + run_text::kInvalidOutputName;
    const struct {
        bool monteCarlo;
        bool connected;
        int quants;
        bool busy;
        const char* title;
        std::vector<bool> answers;
        std::vector<std::string> shown;
        bool starts;
    } cases[] = {
        {true, false, 0, true, "", {}, {debugFirst}, false},
        {true, true, 0, false, "Net1", {false}, {quants}, false},
        {true, true, 0, true, "Net1", {true}, {quants}, false},
        {true, true, 1, true, "", {}, {}, false},
        {true, true, 1, false, "", {}, {badName}, false},
        {true, true, 1, false, "..", {}, {badName}, false},
        {true, true, 0, false, "Net1", {true}, {quants}, true},
        {true, true, 24, false, "Net1", {}, {}, true},
        {false, false, 0, true, "", {}, {debugFirst}, false},
        {false, true, 0, true, "", {}, {}, false},
        {false, true, 0, false, "", {}, {badName}, false},
        {false, true, 0, false, "Net2", {}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        CKorvaneDoc doc;
        doc.SetTitle(c.title);
        Draw(doc, c.connected ? kConnected : kLoneLine);
        doc.m_pSimulationSettings->quantsPerDay = c.quants;
        doc.m_analytical.m_bMinimumCutSet = 1, doc.m_analytical.m_nLoadSheddingMethod = 0;
        doc.m_analytical.m_nFaultCount = 7;
        doc.m_workspace.m_bCreateDirectory = c.monteCarlo ? 0 : 1;
        doc.SetModifiedFlag(false);
        CScriptedPrompts prompts;
        prompts.answers = c.answers;
        CBuildCommands commands(doc, prompts);
        const auto analytical = c.monteCarlo ? nullptr : commands.PrepareAnalyticalRun(c.busy, place);
        const bool started = c.monteCarlo ? commands.PrepareMonteCarloRun(c.busy, place, nullptr) != nullptr
                                          : analytical != nullptr;
        EXPECT_EQ(prompts.shown, c.shown);
        EXPECT_EQ(started, c.starts);
        EXPECT_EQ(doc.IsModified(), c.starts);
        EXPECT_EQ(doc.GetMonteCarloResultPath().empty(), !(c.starts && c.monteCarlo));
        if (!analytical)
            continue;
        const AnalyticalThreadParams& params = analytical->GetParams();
        EXPECT_EQ(params.m_bMinimumCutSet, 1);
        EXPECT_EQ(params.m_nLoadSheddingMethod, 0);
        EXPECT_EQ(params.m_nFaultCount, 7);
        EXPECT_EQ(params.m_strGML, CBuildCommands::GMLText(doc));
        EXPECT_FALSE(fs::exists(folder / "Net2"));  // the text goes from memory: no folder is made for it
    }
}

// The analytical run is told whether the network holds a transformer or an equipment widget;
// either kind alone is enough.
TEST(BuildCommands, AnAnalyticalRunKnowsWhetherTheNetworkHoldsATransformerOrEquipment)
{
    testfiles::TempFolder folder;
    const struct {
        const char* extra;
        int expected;
    } cases[] = {
        {"", 0},
        {", E 200 100 300 100, P 300 100", 1},
        {", T 200 100 300 100, P 300 100", 1},
        {", E 200 100 300 100, T 300 100 400 100, P 400 100", 1},
        {", L 200 100 300 100, P 300 100", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extra);
        CKorvaneDoc doc;
        doc.SetTitle("Net1");
        Draw(doc, std::string(kConnected) + c.extra);
        CScriptedPrompts prompts;
        const auto job = CBuildCommands(doc, prompts).PrepareAnalyticalRun(false, {folder.Path() / "Net1.mc", ""});
        ASSERT_NE(job, nullptr) << (prompts.shown.empty() ? "" : prompts.shown[0]);
        EXPECT_EQ(job->GetParams().m_bHasTransformerOrEquipment, c.expected);
    }
}

// Regression: a folder that could not be made went unreported, and the run then failed on its
// report with "No such file or directory" instead of the reason. A title that names the folder
// but is too long for the reports is refused as too long, before the folder is made.
TEST(BuildCommands, AMonteCarloRunThatCannotWriteItsReportsIsRefusedWithTheReason)
{
    testfiles::TempFolder folder;
    std::ofstream(folder / "file") << "";
    const std::string longest(251, 't');
    const std::string tooLong(252, 't');
    const struct {
        std::string title;
        fs::path document;
        std::string shown;  // empty: the run starts
    } cases[] = {
        {"Net1", folder / "file" / "Net1.mc",
         std::string("!:") + kHtmlOutputFailed + "\nCannot create the folder \"" + (folder / "file" / "Net1").string() +
             "\": Not a directory"},
        {tooLong, folder / "n.mc",
         std::string("!:") + run_text::kOutputNameTooLong + "\nCannot create \"" +
             (folder / tooLong / (tooLong + ".htm")).string() + "\": File name too long"},
        {longest, folder / "n.mc", ""},
    };
    for (const auto& c : cases) {
        CKorvaneDoc doc;
        doc.SetTitle(c.title);
        doc.m_workspace.m_bCreateDirectory = 1;
        Draw(doc, kConnected);
        doc.m_pSimulationSettings->quantsPerDay = 24;
        CScriptedPrompts prompts;
        const auto job = CBuildCommands(doc, prompts).PrepareMonteCarloRun(false, {c.document, ""}, nullptr);
        EXPECT_EQ(job != nullptr, c.shown.empty());
        EXPECT_EQ(prompts.shown, c.shown.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.shown});
        EXPECT_EQ(fs::is_directory(c.document.parent_path() / c.title), c.shown.empty());
    }
}

TEST(BuildCommands, APreparedMonteCarloRunCarriesTheTextAndPathsAndTellsTheViews)
{
    struct CObserver : IDocumentObserver {
        std::vector<std::string> hints;
        void OnDocumentUpdate(const void*, const std::string* hint) override { hints.push_back(hint ? *hint : "-"); }
    } observer;
    testfiles::TempFolder folder;
    CKorvaneDoc doc;
    doc.SetTitle("Net1");
    doc.m_workspace.m_bCreateDirectory = 1;
    Draw(doc, kConnected);
    doc.m_pSimulationSettings->quantsPerDay = 24;
    doc.AddObserver(&observer);
    CScriptedPrompts prompts;
    const auto job = CBuildCommands(doc, prompts).PrepareMonteCarloRun(false, {folder.Path() / "Net1.mc", ""}, nullptr);
    ASSERT_NE(job, nullptr);
    const MonteCarloThreadParams& params = job->GetParams();
    const fs::path out = folder.Path() / "Net1";
    EXPECT_EQ(params.m_strTitle, "Net1");
    EXPECT_EQ(params.m_strNDL, CBuildCommands::NDLText(doc));
    EXPECT_EQ(params.m_pszTextFile, out / "Net1.txt");
    EXPECT_EQ(params.m_pszHtmlFile, out / "Net1.htm");
    EXPECT_EQ(params.m_pszTempFile.parent_path(), out);
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_EQ(observer.hints, std::vector<std::string>{(out / "Net1.htm").string()});
    EXPECT_EQ(doc.GetMonteCarloResultPath(), observer.hints[0]);
    doc.RemoveObserver(&observer);
}

TEST(OutputNames, FollowTheDocumentOrTheUserDataFolder)
{
    const auto unquoted = [](const std::string& t) { return t.front() == '"' ? t.substr(1, t.size() - 2) : t; };
    const std::string working = fs::current_path().string();
    for (const testfiles::TableCase& c : testfiles::ReadTable("editor/output-names.txt")) {
        const std::string title = unquoted(c.fields[0]);
        const std::string data = c.fields.size() > 4 ? c.fields[4] : "/home/ann/.local/share/Korvane";
        const auto names = MakeOutputNames(title, unquoted(c.fields[1]), data, c.fields[2] == "1");
        ASSERT_EQ(names.has_value(), c.fields[3] != "refused") << "output-names.txt:" << c.line;
        if (!names)
            continue;
        const fs::path folder = c.fields[3][0] == '@' ? working + c.fields[3].substr(1) : c.fields[3];
        EXPECT_EQ(names->folder, folder);
        EXPECT_EQ(names->textFile, folder / (title + ".txt"));
        EXPECT_EQ(names->htmlFile, folder / (title + ".htm"));
    }
}

// The headless tools take a saved network as the application does: checked for its engine,
// generated and run with its own settings, a refusal listing the errors bar's lines in its order.
TEST(SavedNetworkRun, PreparesTheRunsOfAStoredFileAsTheBuildCommandsDo)
{
    testfiles::TempFolder folder;
    CKorvaneDoc doc;
    Draw(doc, kConnected);
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

    Draw(doc, "L 10 20 50 20, B -5 7 -5 90");
    doc.SaveFile(folder.Path() / "Net2.mc");
    const auto refused = PrepareSavedNetworkRun(folder.Path() / "Net2.mc", EngineKind::Analytical, out);
    EXPECT_EQ(refused.job, nullptr);
    EXPECT_EQ(refused.messages, (std::vector<std::string>{"Checking completed : Errors found in Net2.mc",
                                                          "Bus Bar at  (-5, 7)  (-5, 90)  not connected",
                                                          "Line at  (10, 20)  (50, 20)  not connected"}));
    EXPECT_THROW(PrepareSavedNetworkRun(folder.Path() / "none.mc", EngineKind::MonteCarlo, out), korvane::FileError);

    // Regression: a value only the Monte Carlo text carries stopped the analytical run as well.
    CKorvaneDoc zero;
    zero.m_pSimulationSettings->quantsPerDay = 24;
    static_cast<CLine*>(Draw(zero, kConnected)[1])->m_dCapacity = 0;
    zero.SaveFile(folder.Path() / "Zero.mc");
    EXPECT_NE(PrepareSavedNetworkRun(folder.Path() / "Zero.mc", EngineKind::Analytical, out).job, nullptr);
    const auto zeroRefused = PrepareSavedNetworkRun(folder.Path() / "Zero.mc", EngineKind::MonteCarlo, out);
    EXPECT_EQ(zeroRefused.job, nullptr);
    EXPECT_EQ(zeroRefused.messages,
              (std::vector<std::string>{
                  "Checking completed : Errors found in Zero.mc",
                  "Line at  (100, 100)  (200, 100)  the value of \"Capacity\" is 0, not a number above 0"}));
}

// Regression: a fuse shorter than a load point's body, drawn below it at the default snap grid,
// was looped onto the load point's node: load point A counted every fault beyond it in both
// engines (2.2 failures a year instead of the first line's 0.2).
TEST(SavedNetworkRun, AShortFuseBelowALoadPointProtectsItInBothEngines)
{
    testfiles::TempFolder folder;
    CKorvaneDoc doc;
    doc.m_pSimulationSettings->quantsPerDay = 24;
    doc.m_pSimulationSettings->yearMin = doc.m_pSimulationSettings->yearMax = 4000;
    const auto w = Draw(doc, "G 0 0, C 0 0 100 0, L 100 0 400 0, P 400 0, F 400 0 400 20, L 400 20 400 200, P 400 200");
    static_cast<CGenSource*>(w[0])->m_dCapacity = 100;
    for (const auto& [line, rate] : {std::pair{2, 0.2}, {5, 2.0}}) {
        auto* l = static_cast<CLine*>(w[line]);
        l->m_dFailure1 = l->m_dFaultRate = rate, l->m_dFailure2 = 1, l->m_dRepair1 = l->m_dRepairTime = 4;
        l->m_dRepair2 = 1, l->m_dFeederLength = 1;
        auto* load = static_cast<CLoadPoint*>(w[line + 1]);
        load->m_strName = line == 2 ? "A" : "B";
        load->m_nCustomers = load->m_nNumCustomers = 1, load->m_dAverage = load->m_dLoad = 1;
    }
    doc.SaveFile(folder.Path() / "Fused.mc");

    const auto mc = PrepareSavedNetworkRun(folder.Path() / "Fused.mc", EngineKind::MonteCarlo, folder.Path());
    ASSERT_NE(mc.job, nullptr);
    const MonteCarloThreadParams& run = dynamic_cast<const CMonteCarloJob&>(*mc.job).GetParams();
    CSimulator().Run(run.m_strNDL, "Fused", run.m_pszTextFile, run.m_pszHtmlFile, run.m_pszTempFile, nullptr, nullptr);
    const std::string trace = testfiles::ReadText(run.m_pszTextFile);
    const auto at = trace.find("Failure Rate = ", trace.find("Load Point: A"));
    ASSERT_NE(at, std::string::npos) << trace;
    // 4000 years of 0.2 failures: within four standard errors (0.03) of 0.2.
    EXPECT_NEAR(std::stod(trace.substr(at + 15, 12)), 0.2, 0.03) << trace.substr(at, 40);

    const auto analytical = PrepareSavedNetworkRun(folder.Path() / "Fused.mc", EngineKind::Analytical, folder.Path());
    ASSERT_NE(analytical.job, nullptr);
    std::vector<CGMLResult> records;
    const auto& gml = dynamic_cast<const CAnalyticalJob&>(*analytical.job).GetParams().m_strGML;
    ASSERT_TRUE(CAnalyticalSimulator().Run(gml, 0, 1, 10, &records).ok);
    ASSERT_EQ(records.back().m_nLoadId, 1);
    EXPECT_DOUBLE_EQ(records[records.size() - 2].m_dTotalOutageRate, 0.2);
}

// Regression: an errors-bar line kept the widget's address, so after Cut and Paste it could
// select the pasted copy that the allocator placed where the cut widget had lived.
TEST(BuildCommands, AnErrorLineNeverFindsAPastedCopyOfItsWidget)
{
    CKorvaneDoc doc;
    Draw(doc, kLoneLine);
    CScriptedPrompts prompts;
    const auto errors = CBuildCommands(doc, prompts).DebugNetwork();
    ASSERT_EQ(errors.size(), 1u);
    CWidget* line = doc.FindWidget(errors[0].widget);
    ASSERT_NE(line, nullptr);
    doc.AddWidget(doc.RemoveWidget(line)->Clone());
    EXPECT_EQ(doc.FindWidget(errors[0].widget), nullptr);
}
