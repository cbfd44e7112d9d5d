#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "editor/SimulationSettingsValues.h"
#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/Simulation.h"
#include "tests/Drawing.h"
#include "tests/montecarlo/NdlTestSupport.h"

using ndltest::Times;
using testfiles::ReadTable;
using testfiles::TableCase;

namespace {

struct Outcome {
    bool ok = false;
    std::string trace;
};

// Parses the text into `model` (a scratch one when null) as a run does: Parse, then Run, then Close.
Outcome Build(const std::string& text, CSimulation* model = nullptr)
{
    CSimulation scratch;
    model = model != nullptr ? model : &scratch;
    ndltest::TempFolder folder;
    ndltest::TracedOutput output(folder);
    model->Init(output.Get());
    CParserDistrib parser(output.Get());
    Outcome outcome;
    outcome.ok = parser.Parse(text, folder.Path()) && parser.Run(model);
    EXPECT_TRUE(parser.Close());
    EXPECT_FALSE(folder.HasTempFiles());
    outcome.trace = output.Trace();
    return outcome;
}

// The model's edges as the tables write them: "supply 0-3 9, breaker 3-2 -1".
std::string Edges(const CSimulation& model)
{
    static const char* const kTypes[] = {"supply", "load", "breaker", "isolator", "equipment", "line", "recloser"};
    std::ostringstream out;
    for (std::size_t i = 0; i < model.GetEdgeCount(); ++i) {
        const SimEdge& e = model.GetEdge(i);
        out << (i > 0 ? ", " : "") << kTypes[e.type] << ' ' << e.from << '-' << e.to << ' ' << e.capacity;
    }
    return out.str();
}

const std::string kSystem = "system: quantsperday = 24\n";

}  // namespace

TEST(NdlParser, ReportsEveryErrorWithItsPosition)
{
    for (const TableCase& c : ReadTable("montecarlo/ndl-errors.txt")) {
        const Outcome outcome = Build(c.fields.at(0));
        EXPECT_FALSE(outcome.ok) << "ndl-errors.txt:" << c.line;
        EXPECT_EQ(outcome.trace, c.fields.at(1)) << "ndl-errors.txt:" << c.line;
    }
    // A keyword too long to show is cut to 64 characters.
    const std::string longKeyword(5000, 'k');
    EXPECT_EQ(Build(longKeyword + ": a = 1\n").trace,
              "error: (L1 C5002) unknown type keyword \"" + std::string(64, 'k') + "\"\n");
    EXPECT_EQ(Build(kSystem + "line: " + longKeyword + " = 1;").trace,
              "error: (L2 C5012) unknown attribute keyword \"" + std::string(64, 'k') + "\"\n");
}

TEST(NdlSemantics, BuildsEachComponentAsItsEdges)
{
    for (const TableCase& c : ReadTable("montecarlo/ndl-models.txt")) {
        CSimulation model;
        const Outcome outcome = Build(c.fields.at(0), &model);
        EXPECT_TRUE(outcome.ok) << "ndl-models.txt:" << c.line << ": " << outcome.trace;
        EXPECT_EQ(Edges(model), c.fields.at(1)) << "ndl-models.txt:" << c.line;
    }
    // A switched-off fuse, isolator or recloser is a perfect conductor.
    CSimulation model;
    ASSERT_TRUE(Build("system: quantsperday = 24; fuses = 0\nfuse: connect = 1, 2\n", &model).ok);
    EXPECT_EQ(Times(model.GetEdge(0)),
              "failure 87599999999999.5/10000000000, isolation 0/10000000000, repair 0/10000000000");
}

// A distribution given by its first value alone has shape 1; a load without customers has one,
// without a name none, without average or peak a demand of 1.
TEST(NdlSemantics, ValuesReachTheModelWithTheirDefaults)
{
    CSimulation model;
    const Outcome outcome = Build("system: quantsperday = 24; accuracy = 5.e-002\n"
                                  "equipment: connect = 999999, 0; failure = 0.25; isolation = 0, 2\n"
                                  "recloser: connect = 0, 999999; reclose = 12\n"
                                  "load: connect = 0; customers = 100000; average = 3\n"
                                  "load: connect = 0; peak = 4; profile = 1, 2\n"
                                  "load: connect = 0\n",
                                  &model);
    ASSERT_TRUE(outcome.ok) << outcome.trace;
    EXPECT_DOUBLE_EQ(model.GetAccuracy(), 0.05);
    // NDL 999999 is the first node met, model node 2.
    EXPECT_EQ(Edges(model), "equipment 2-3 -1, breaker 3-4 -1, recloser 4-5 -1, breaker 5-2 -1, load 3-1 3, "
                            "load 3-1 4, load 3-1 1");
    EXPECT_EQ(Times(model.GetEdge(0)), "failure 35039.5/1, isolation 0/2, repair 0/1");
    EXPECT_EQ(Times(model.GetEdge(2)), "reclose 11.5/1");
    EXPECT_EQ(model.GetEdge(5).customers, 1u);
    EXPECT_EQ(model.GetEdge(6).name, "");
}

// Every attribute against every definition: refused as "not valid" exactly where the table does
// not name the definition, and never refused that way where it does.
TEST(NdlSemantics, EachAttributeIsValidExactlyInItsDefinitions)
{
    const std::vector<TableCase> attributes = ReadTable("montecarlo/ndl-attributes.txt");
    ASSERT_EQ(attributes.size(), 21u);
    for (const TableCase& a : attributes) {
        const std::string& keyword = a.fields.at(0);
        const std::string valid = " " + a.fields.at(1) + " ";
        for (const std::string type :
             {"system", "source", "load", "breaker", "fuse", "isolator", "equipment", "line", "recloser"}) {
            const Outcome outcome = Build((type == "system" ? "" : kSystem) + type + ": " + keyword + " = 1\n");
            const bool refused =
                outcome.trace.find("the \"" + keyword + "\" attribute is not valid in this definition\n") !=
                std::string::npos;
            EXPECT_EQ(refused, valid.find(" " + type + " ") == std::string::npos) << keyword << " in " << type;
        }
    }
}

// The integer attributes take every whole number of their range, also one written a hair off a
// whole number, and refuse the numbers just outside it and those clearly not whole. The settings
// dialog's edit for the attribute takes the same range (regression: its Max years took 2000000000,
// and the run then refused it).
TEST(NdlSemantics, IntegerAttributesTakeTheirWholeRangeOnly)
{
    using Dialog = CSimulationSettingsValues;
    struct Case {
        const char* keyword;
        std::string before;  // the text up to the value
        long long minimum, maximum;
        // The value as the model got it; null where the model keeps no trace of it.
        long long (*read)(const CSimulation&);
        const CFieldRule* dialog = nullptr;  // the settings dialog's edit for it
    };
    const Case cases[] = {
        {"quantsperday", "system: quantsperday = ", 1, 1440, [](const CSimulation& m) -> long long {
             return m.GetQuantsPerDay(); }, &Dialog::kQuantsRule},
        {"yearmin", "system: quantsperday = 1; yearmin = ", 100, 1000000000, [](const CSimulation& m) -> long long {
             return m.GetYearMin(); }, &Dialog::kYearsRule},
        {"yearmax", "system: quantsperday = 1; yearmax = ", 100, 1000000000, [](const CSimulation& m) -> long long {
             return m.GetYearMax(); }, &Dialog::kYearsRule},
        {"yearstep", "system: quantsperday = 1; yearstep = ", 1, 1000000, [](const CSimulation& m) -> long long {
             return m.GetYearStep(); }, &Dialog::kYearStepRule},
        {"customers", kSystem + "load: connect = 0; customers = ", 1, 999999, [](const CSimulation& m) -> long long {
             return m.GetEdge(0).customers; }},
        {"connect", kSystem + "breaker: connect = 5, ", 0, 999999, nullptr},
    };
    for (const Case& c : cases) {
        const std::string refusal = std::string("the \"") + c.keyword + "\" attribute must be an integer in the range [" +
                                    std::to_string(c.minimum) + "," + std::to_string(c.maximum) + "]\n";
        for (const long long value : {c.minimum, c.maximum}) {
            if (c.dialog != nullptr) {
                EXPECT_TRUE(c.dialog->Parse(std::to_string(value)).value) << c.keyword << " " << value;
            }
            for (const char* hair : {"", ".000000000", ".0000000001"}) {
                CSimulation model;
                const Outcome outcome = Build(c.before + std::to_string(value) + hair + "\n", &model);
                ASSERT_TRUE(outcome.ok) << c.keyword << " " << value << hair << ": " << outcome.trace;
                if (c.read != nullptr) {
                    EXPECT_EQ(c.read(model), value) << c.keyword;
                }
            }
        }
        for (const std::string& value : {std::to_string(c.minimum - 1), std::to_string(c.maximum + 1),
                                         std::to_string(c.minimum) + ".5", std::to_string(c.maximum) + ".0000001"}) {
            const Outcome outcome = Build(c.before + value + "\n");
            EXPECT_NE(outcome.trace.find(refusal), std::string::npos) << c.keyword << " " << value << ": " << outcome.trace;
            // Quanta of 0 are "not given yet": the dialog takes them and the run asks about them.
            if (c.dialog != nullptr) {
                EXPECT_EQ(c.dialog->Parse(value).value.has_value(), c.dialog == &Dialog::kQuantsRule && value == "0")
                    << c.keyword << " " << value;
            }
        }
    }
    EXPECT_FALSE(Dialog::kAccuracyRule.Parse("-0.01").value);  // the reader wants it positive; 0 is "not given"
}

// Every widget kind with every Monte Carlo value set, drawn in a chain ending on a bus bar: the
// generated text parses without error into the edges each kind stands for. Catches a widget that
// writes what the reader refuses (an equipment's or a transformer's length) or a value that reaches
// the wrong field.
TEST(NdlSemantics, EveryWidgetKindWithEveryValueSetParsesBack)
{
    CKorvaneDoc doc;
    doc.m_pSimulationSettings->quantsPerDay = 24;
    const std::vector<CWidget*> w = drawing::Draw(doc, "G 0 0, L 0 0 100 0, C 100 0 200 0, F 200 0 300 0, I 300 0 400 0, "
                                                       "R 400 0 500 0, E 500 0 600 0, T 600 0 700 0, B 700 0 700 300, P 700 300");
    static_cast<CGenSource*>(w[0])->m_dCapacity = 1000;
    for (const std::size_t i : {2, 3, 4})
        static_cast<CSwitchWidget*>(w[i])->m_dCapacity = 1000.0 - 100 * i;
    auto* recloser = static_cast<CRecloser*>(w[5]);
    recloser->m_dCapacity = 500;
    recloser->m_dReclose1 = 2;
    recloser->m_dReclose2 = 3;
    for (const std::size_t i : {1, 6, 7}) {
        auto* b = static_cast<CBranchWidget*>(w[i]);
        b->m_dCapacity = i == 1 ? 900 : 1000.0 - 100 * i;
        b->m_dLength = 2;  // only the line's is written
        b->m_dFailure1 = 0.25;
        b->m_dFailure2 = 1.5;
        b->m_dIsolation1 = 2;
        b->m_dIsolation2 = 2.5;
        b->m_dRepair1 = 5;
        b->m_dRepair2 = 3;
    }
    auto* load = static_cast<CLoadPoint*>(w[9]);
    load->m_strName = "Plant";
    load->m_nCustomers = 7;
    load->m_dAverage = 2;
    load->m_dPeak = 4;
    load->m_profile = {1, 3};

    CNDLGenerator generator(&doc);
    ASSERT_TRUE(generator.Validate());
    generator.Generate();
    CSimulation model;
    const Outcome outcome = Build(generator.GetNDL(), &model);
    ASSERT_TRUE(outcome.ok) << outcome.trace << generator.GetNDL();

    // The bus bar is NDL node 0 and the source 1; the model numbers them in order of first use.
    EXPECT_EQ(Edges(model), "supply 0-3 1000, breaker 3-2 1000, line 2-4 900, breaker 4-5 800, breaker 5-6 700, "
                            "isolator 6-7 600, breaker 7-9 500, recloser 9-10 500, breaker 10-8 500, "
                            "equipment 8-11 400, equipment 11-12 300, load 12-1 4");
    // Rates per year and hours, in quanta of one hour (a rate r a year is a scale of 8760 / r - 0.5);
    // only the line's rate is per unit length.
    EXPECT_EQ(Times(model.GetEdge(2)), "failure 17519.5/1.5, isolation 1.5/2.5, repair 4.5/3");
    for (const std::size_t i : {9, 10})
        EXPECT_EQ(Times(model.GetEdge(i)), "failure 35039.5/1.5, isolation 1.5/2.5, repair 4.5/3") << i;
    EXPECT_EQ(Times(model.GetEdge(7)), "reclose 1.5/3");
    EXPECT_EQ(model.GetEdge(11).name, "Plant");
    EXPECT_EQ(model.GetEdge(11).customers, 7u);
}
