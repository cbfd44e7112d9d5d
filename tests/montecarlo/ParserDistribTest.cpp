#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "editor/SimulationSettingsValues.h"
#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/Simulation.h"
#include "tests/Drawing.h"
#include "tests/montecarlo/NdlTestSupport.h"

using ndltest::TempFolder;
using ndltest::TracedOutput;

namespace {

struct Outcome {
    bool ok = false;
    std::string trace;
};

// Parses the text into `model` as a run does: Parse, then Run, then Close.
Outcome Build(const std::string& text, CSimulation& model)
{
    TempFolder folder;
    TracedOutput output(folder);
    model.Init(output.Get());
    CParserDistrib parser(output.Get());
    Outcome outcome;
    outcome.ok = parser.Parse(text, folder.Path()) && parser.Run(&model);
    EXPECT_TRUE(parser.Close());
    EXPECT_FALSE(folder.HasTempFiles());
    outcome.trace = output.Trace();
    return outcome;
}

Outcome Build(const std::string& text)
{
    CSimulation model;
    return Build(text, model);
}

// An edge as the tests compare it: type, ends, capacity.
struct EdgeShape {
    int type;
    unsigned from;
    unsigned to;
    double capacity;
    friend bool operator==(const EdgeShape&, const EdgeShape&) = default;
};

std::vector<EdgeShape> Shapes(const CSimulation& model)
{
    std::vector<EdgeShape> shapes;
    for (std::size_t i = 0; i < model.GetEdgeCount(); ++i) {
        const SimEdge& e = model.GetEdge(i);
        shapes.push_back({e.type, e.from, e.to, e.capacity});
    }
    return shapes;
}

void PrintTo(const EdgeShape& e, std::ostream* os)
{
    *os << "{type " << e.type << ", " << e.from << "->" << e.to << ", cap " << e.capacity << "}";
}

const std::string kSystem = "system: quantsperday = 24\n";

}  // namespace

// The drawing of the generator's test, generated and parsed: the node map, the edges, their
// capacities and the distributions converted into quanta.
TEST(NdlSemantics, GeneratedSmallNetworkBuildsItsModel)
{
    CKorvaneDoc doc;
    drawing::SmallNetwork(doc);

    CNDLGenerator generator(&doc);
    ASSERT_TRUE(generator.Validate());
    generator.Generate();
    CSimulation model;
    const Outcome outcome = Build(generator.GetNDL(), model);
    ASSERT_TRUE(outcome.ok) << outcome.trace;
    EXPECT_EQ(outcome.trace, "");

    EXPECT_EQ(model.GetQuantsPerDay(), 24u);
    EXPECT_EQ(model.GetYearMin(), 100u);
    EXPECT_EQ(model.GetYearMax(), 1000000u);
    EXPECT_EQ(model.GetYearStep(), 100u);
    EXPECT_DOUBLE_EQ(model.GetAccuracy(), 0.05);

    // NDL nodes 0, 1, 2, 3 become model nodes 2, 4, 5, 6; the source's own node is 3.
    EXPECT_EQ(Shapes(model), (std::vector<EdgeShape>{
                                 {kSupplyEdge, 0, 3, 1000},
                                 {kBreakerEdge, 3, 2, 1000},
                                 {kLineEdge, 2, 4, 500},
                                 {kBreakerEdge, 4, 5, 800},
                                 {kLineEdge, 5, 6, -1},
                                 {kLoadEdge, 6, 1, 8},
                                 {kLoadEdge, 4, 1, 2.5},
                             }));
    EXPECT_EQ(model.GetNodeCount(), 7u);

    // The rate per unit length times the length, in quanta: 1 / ((0.2 / 24) / 365) - 0.5.
    const SimEdge& line1 = model.GetEdge(2);
    EXPECT_DOUBLE_EQ(line1.failure.GetScale(), 43799.5);
    EXPECT_DOUBLE_EQ(line1.failure.GetShape(), 1.5);
    EXPECT_DOUBLE_EQ(line1.isolation.GetScale(), 0.5);  // 1 hour: 24 x 1 / 24 - 0.5
    EXPECT_DOUBLE_EQ(line1.isolation.GetShape(), 1.0);
    EXPECT_DOUBLE_EQ(line1.repair.GetScale(), 3.5);
    EXPECT_DOUBLE_EQ(line1.repair.GetShape(), 2.0);

    // Only the shape was given: the rate is the default 1e-10 per unit, times the length 0.5.
    const SimEdge& line2 = model.GetEdge(4);
    EXPECT_DOUBLE_EQ(line2.failure.GetScale(), 1.0 / ((0.5e-10 / 24) / 365.0) - 0.5);
    EXPECT_DOUBLE_EQ(line2.failure.GetShape(), 2.0);
    EXPECT_DOUBLE_EQ(line2.repair.GetScale(), 0.0);  // 1e-10 hours is below half a quantum

    const SimEdge& millEdge = model.GetEdge(5);
    EXPECT_EQ(millEdge.name, "Mill");
    EXPECT_EQ(millEdge.customers, 10u);
    // Scaled to the peak 8, then about the peak until the mean is the average 5.
    ASSERT_EQ(millEdge.loadCurve.size(), 3u);
    EXPECT_NEAR(millEdge.loadCurve[0], 2.0, 1e-12);
    EXPECT_NEAR(millEdge.loadCurve[1], 5.0, 1e-12);
    EXPECT_NEAR(millEdge.loadCurve[2], 8.0, 1e-12);
    const SimEdge& farmEdge = model.GetEdge(6);
    EXPECT_EQ(farmEdge.name, "Farm");
    EXPECT_EQ(farmEdge.customers, 3u);
    EXPECT_TRUE(model.HasVaryingLoads());
}

// The settings' defaults write quantsPerDay = 0., which the reader refuses at the semicolon.
TEST(NdlSemantics, DefaultDocumentStopsAtItsQuantaPerDay)
{
    CKorvaneDoc doc;
    CNDLGenerator generator(&doc);
    ASSERT_TRUE(generator.Validate());
    generator.Generate();
    const Outcome outcome = Build(generator.GetNDL());
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.trace,
              "error: (L1 C27) the \"quantsperday\" attribute must be an integer in the range [1,1440]\n");
}

// Every message of both layers, with its position: the line is the newlines read plus 1, the
// column one more than the characters read on the line, the current one (one ahead of what was
// understood) included, so a line's first character is column 2.
TEST(NdlParser, ReportsEveryErrorWithItsPosition)
{
    struct Case {
        std::string text;
        std::string trace;
    };
    const std::string longKeyword(5000, 'k');
    const Case cases[] = {
        // Lexical layer.
        {"system:\n", "error: (L2 C1) syntax error, expecting keyword\n"},
        {kSystem + "\n=\n", "error: (L3 C2) syntax error, expecting keyword\n"},
        {"\t=", "error: (L1 C6) syntax error, expecting keyword\n"},
        {kSystem + "line connect = 1, 2\n", "error: (L2 C7) syntax error, expecting ':'\n"},
        {"system: quantsperday 24\n", "error: (L1 C23) syntax error, expecting '='\n"},
        {"system: quantsperday = 24 yearmin = 200\n",
         "error: (L1 C28) syntax error, expecting ';', <eol> or <eof>\n"},
        {"system: quantsperday = x\n", "error: (L1 C25) syntax error, expecting string or numeric value\n"},
        {kSystem + "load: name = \"ab\n", "error: (L3 C1) syntax error, unexpected <eol> in string\n"},
        {kSystem + "load: name = \"a#b\";\n", "error: (L3 C1) syntax error, unexpected <eol> in string\n"},
        {kSystem + "load: name = \"ab", "error: (L2 C17) syntax error, unexpected <eof> in string\n"},
        {"system: quantsperday = 1-2;\n", "error: (L1 C28) syntax error, invalid number format\n"},
        {"system: quantsperday = 1-2\n", "error: (L2 C1) syntax error, invalid number format\n"},
        {"system: quantsperday = 1e400;", "error: (L1 C30) syntax error, invalid number format\n"},
        {"system: quantsperday = 1e;", "error: (L1 C27) syntax error, invalid number format\n"},
        {"system: quantsperday = .;", "error: (L1 C26) syntax error, invalid number format\n"},
        {kSystem + "line: connect = 1, ;", "error: (L2 C21) syntax error, invalid number format\n"},
        {"$1 = 2\n", "error: (L1 C3) invalid macro identifier\n"},
        {"system: quantsperday = $;\n", "error: (L1 C26) invalid macro identifier\n"},
        {"$a 1\n", "error: (L1 C5) syntax error, expecting '='\n"},
        // A '$' first on a line always starts a definition.
        {"$k = system\n$k: quantsperday = 1\n", "error: (L2 C4) syntax error, expecting '='\n"},
        {"$a = 1\n$A = 2\n", "error: (L2 C6) macro identifier is already defined\n"},
        {"system: quantsperday = $b;\n", "error: (L1 C27) undefined macro identifier\n"},
        {"$a = $a\n", "error: (L2 C1) undefined macro identifier\n"},
        // Semantic layer.
        {"pylon: a = 1\n", "error: (L1 C7) unknown type keyword \"pylon\"\n"},
        {longKeyword + ": a = 1\n",
         "error: (L1 C5002) unknown type keyword \"" + std::string(64, 'k') + "\"\n"},
        {"line: connect = 1, 2\n", "error: (L1 C6) a system definition must occur before any component definition\n"},
        {kSystem + "system: quantsperday = 1\n", "error: (L2 C8) duplicate system definition\n"},
        {kSystem + "line: colour = 1;", "error: (L2 C18) unknown attribute keyword \"colour\"\n"},
        {kSystem + "line: " + longKeyword + " = 1;",
         "error: (L2 C5012) unknown attribute keyword \"" + std::string(64, 'k') + "\"\n"},
        {kSystem + "breaker: length = 1;", "error: (L2 C21) the \"length\" attribute is not valid in this definition\n"},
        {kSystem + "load: capacity = 1;", "error: (L2 C20) the \"capacity\" attribute is not valid in this definition\n"},
        {kSystem + "equipment: length = 1;",
         "error: (L2 C23) the \"length\" attribute is not valid in this definition\n"},
        {"system: yearmin = 100; quantsperday = 1; reclose = 1;",
         "error: (L1 C54) the \"reclose\" attribute is not valid in this definition\n"},
        {kSystem + "line: length = \"x\";", "error: (L2 C20) the \"length\" attribute must be of numeric type\n"},
        {"system: accuracy = 1, 2;", "error: (L1 C25) the \"accuracy\" attribute must be a single number\n"},
        {"system: yearstep = 1, 2;", "error: (L1 C25) the \"yearstep\" attribute must be a single number\n"},
        {"system: quantsperday = 0;",
         "error: (L1 C26) the \"quantsperday\" attribute must be an integer in the range [1,1440]\n"},
        {"system: quantsperday = 1441;",
         "error: (L1 C29) the \"quantsperday\" attribute must be an integer in the range [1,1440]\n"},
        {"system: quantsperday = 2.5;",
         "error: (L1 C28) the \"quantsperday\" attribute must be an integer in the range [1,1440]\n"},
        {"system: yearmin = 99;",
         "error: (L1 C22) the \"yearmin\" attribute must be an integer in the range [100,1000000000]\n"},
        {"system: yearmax = 1e10;",
         "error: (L1 C24) the \"yearmax\" attribute must be an integer in the range [100,1000000000]\n"},
        {"system: yearstep = 0;",
         "error: (L1 C22) the \"yearstep\" attribute must be an integer in the range [1,1000000]\n"},
        {kSystem + "load: customers = 0;",
         "error: (L2 C21) the \"customers\" attribute must be an integer in the range [1,999999]\n"},
        {kSystem + "fuse: connect = 1000000, 1;",
         "error: (L2 C28) the \"connect\" attribute must be an integer in the range [0,999999]\n"},
        {kSystem + "fuse: connect = 1, -1;",
         "error: (L2 C23) the \"connect\" attribute must be an integer in the range [0,999999]\n"},
        {"system: accuracy = 0;", "error: (L1 C22) the \"accuracy\" attribute number must be positive\n"},
        {kSystem + "load: average = -3;", "error: (L2 C20) the \"average\" attribute number must be positive\n"},
        {"system: maxflow = 2;", "error: (L1 C21) the \"maxflow\" attribute must be either the number 0 or 1\n"},
        {"system: fuses = 0, 1;", "error: (L1 C22) the \"fuses\" attribute must be either the number 0 or 1\n"},
        {"system: isolators = \"1\";",
         "error: (L1 C25) the \"isolators\" attribute must be either the number 0 or 1\n"},
        {kSystem + "line: failure = 1, 2, 3;", "error: (L2 C25) the \"failure\" attribute must be one or two numbers\n"},
        {kSystem + "line: repair = \"x\";", "error: (L2 C20) the \"repair\" attribute must be of numeric type\n"},
        {kSystem + "line: failure = -1;", "error: (L2 C20) the \"failure\" attribute first number must be non-negative\n"},
        {kSystem + "line: failure = 1, 0;", "error: (L2 C22) the \"failure\" attribute second number must be positive\n"},
        {"system: name = \"x\";", "error: (L1 C20) the \"name\" attribute is not valid in this definition\n"},
        {kSystem + "load: name = 5;", "error: (L2 C16) the \"name\" attribute must be of string type\n"},
        {"system: connect = 1;", "error: (L1 C21) the \"connect\" attribute is not valid in this definition\n"},
        {kSystem + "load: connect = \"a\";", "error: (L2 C21) the \"connect\" attribute must be of numeric type\n"},
        {kSystem + "line: connect = 1;", "error: (L2 C19) the \"connect\" attribute must be a pair of numbers\n"},
        {kSystem + "source: connect = 1, 2;", "error: (L2 C24) the \"connect\" attribute must be a single number\n"},
        {kSystem + "line: profile = 1;", "error: (L2 C19) the \"profile\" attribute is not valid in this definition\n"},
        {kSystem + "load: profile = \"x\";", "error: (L2 C21) the \"profile\" attribute must be of numeric type\n"},
        {kSystem + "load: profile = 1, -2;", "error: (L2 C23) the \"profile\" attribute requires non-negative numbers\n"},
        {"system: yearmin = 100\n", "error: (L2 C1) the \"quantsperday\" attribute is required\n"},
        {kSystem + "breaker: capacity = 5\n", "error: (L3 C1) the \"connect\" attribute is required\n"},
        {kSystem + "load: connect = 1; name = \"Mill\"; profile = 0, 0; peak = 2\n",
         "error: (L3 C1) the \"profile\" attribute of the load \"Mill\" must hold a number above 0 to be scaled to its "
         "average or peak\n"},
        // Demands beyond any network: one load, and loads that only together pass the limit.
        {kSystem + "load: connect = 1; name = \"Smelter\"; average = 1e300\n",
         "error: (L3 C1) the load \"Smelter\" demands more than any network can carry: its scaled peak, added to the "
         "peaks of the loads before it, must not exceed 1e15\n"},
        {kSystem + "load: connect = 1; name = \"A\"; peak = 6e14\nload: connect = 2; name = \"B\"; peak = 6e14\n",
         "error: (L4 C1) the load \"B\" demands more than any network can carry: its scaled peak, added to the "
         "peaks of the loads before it, must not exceed 1e15\n"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Build(c.text);
        EXPECT_FALSE(outcome.ok) << c.text.substr(0, 80);
        EXPECT_EQ(outcome.trace, c.trace) << c.text.substr(0, 80);
    }
}

TEST(NdlSemantics, ATextWithoutASystemDefinitionFailsSilently)
{
    for (const char* text : {"", "\n\n# nothing here\n"}) {
        const Outcome outcome = Build(text);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.trace, "");
    }
}

TEST(NdlSemantics, BuildsEachComponentAsItsEdges)
{
    struct Case {
        const char* what;
        std::string text;
        std::vector<EdgeShape> edges;
    };
    const Case cases[] = {
        {"a source: its own node, a supply edge and a switch, the capacity on both",
         "source: connect = 7; capacity = 9\n", {{kSupplyEdge, 0, 3, 9}, {kBreakerEdge, 3, 2, 9}}},
        {"a load runs to the common sink", "load: connect = 7\n", {{kLoadEdge, 2, 1, 1}}},
        {"breaker, fuse, isolator", "breaker: connect = 1, 2\nfuse: connect = 2, 3; capacity = 4\nisolator: connect = 3, 1\n",
         {{kBreakerEdge, 2, 3, -1}, {kBreakerEdge, 3, 4, 4}, {kIsolatorEdge, 4, 2, -1}}},
        {"a recloser: a switch, the recloser between two new nodes, a switch",
         "recloser: connect = 5, 6; capacity = 3\n",
         {{kBreakerEdge, 2, 4, 3}, {kRecloserEdge, 4, 5, 3}, {kBreakerEdge, 5, 3, 3}}},
        {"two sources and two reclosers each get nodes of their own",
         "source: connect = 1\nsource: connect = 1\nrecloser: connect = 1, 2\nrecloser: connect = 2, 1\n",
         {{kSupplyEdge, 0, 3, -1}, {kBreakerEdge, 3, 2, -1}, {kSupplyEdge, 0, 4, -1}, {kBreakerEdge, 4, 2, -1},
          {kBreakerEdge, 2, 6, -1}, {kRecloserEdge, 6, 7, -1}, {kBreakerEdge, 7, 5, -1},
          {kBreakerEdge, 5, 8, -1}, {kRecloserEdge, 8, 9, -1}, {kBreakerEdge, 9, 2, -1}}},
        {"equipment and line", "equipment: connect = 0, 1; capacity = 2\nline: connect = 1, 0\n",
         {{kEquipmentEdge, 2, 3, 2}, {kLineEdge, 3, 2, -1}}},
        {"keywords in capitals", "LINE: CONNECT = 1, 2; Capacity = 6\n", {{kLineEdge, 2, 3, 6}}},
        {"an attribute given twice keeps its last value", "breaker: capacity = 1; connect = 1, 2; capacity = 2\n",
         {{kBreakerEdge, 2, 3, 2}}},
    };
    for (const Case& c : cases) {
        CSimulation model;
        const Outcome outcome = Build("system: quantsperday = 24\n" + c.text, model);
        ASSERT_TRUE(outcome.ok) << c.what << ": " << outcome.trace;
        EXPECT_EQ(Shapes(model), c.edges) << c.what;
    }
}

// Disabled fuses, isolators and reclosers join their two sides as perfect conductors; without
// the maximum flow every capacity is unset.
TEST(NdlSemantics, SystemFlagsSteerTheComponents)
{
    CSimulation model;
    const Outcome outcome = Build("system: quantsperday = 24; fuses = 0; isolators = 0; reclosers = 0; maxflow = 0\n"
                                  "fuse: connect = 1, 2; capacity = 5\n"
                                  "isolator: connect = 2, 3; capacity = 5\n"
                                  "recloser: connect = 3, 4; capacity = 5; reclose = 2\n"
                                  "source: connect = 1; capacity = 5\n",
                                  model);
    ASSERT_TRUE(outcome.ok) << outcome.trace;
    EXPECT_EQ(Shapes(model), (std::vector<EdgeShape>{{kEquipmentEdge, 2, 3, -1},
                                                      {kEquipmentEdge, 3, 4, -1},
                                                      {kEquipmentEdge, 4, 5, -1},
                                                      {kSupplyEdge, 0, 6, -1},
                                                      {kBreakerEdge, 6, 2, -1}}));
    for (std::size_t i = 0; i < 3; ++i) {
        const SimEdge& conductor = model.GetEdge(i);
        EXPECT_DOUBLE_EQ(conductor.failure.GetShape(), 1e10);
        EXPECT_DOUBLE_EQ(conductor.isolation.GetShape(), 1e10);
        EXPECT_DOUBLE_EQ(conductor.repair.GetShape(), 1e10);
        EXPECT_DOUBLE_EQ(conductor.repair.GetScale(), 0.0);
    }
}

TEST(NdlSemantics, ValuesReadAsTheirNumbersWithTheirDefaults)
{
    CSimulation model;
    const Outcome outcome =
        Build("system: quantsPerDay = 24.000000001; yearMin = 1.e+006; yearMax = 1000000000; yearStep = 7.; "
              "accuracy = 5.e-002\n"
              "equipment: connect = 999999, 0; failure = 0.25; isolation = 0, 2\n"
              "recloser: connect = 0, 999999; reclose = 12\n"
              "load: connect = 0; customers = 100000; average = 3\n"
              "load: connect = 0; peak = 4; profile = 1, 2\n"
              "load: connect = 0\n",
              model);
    ASSERT_TRUE(outcome.ok) << outcome.trace;
    EXPECT_EQ(model.GetQuantsPerDay(), 24u);
    EXPECT_EQ(model.GetYearMin(), 1000000u);
    EXPECT_EQ(model.GetYearMax(), 1000000000u);
    EXPECT_EQ(model.GetYearStep(), 7u);
    EXPECT_DOUBLE_EQ(model.GetAccuracy(), 0.05);

    const SimEdge& equipment = model.GetEdge(0);
    EXPECT_EQ(equipment.from, 2u);  // the first NDL node met is model node 2
    EXPECT_EQ(equipment.to, 3u);
    EXPECT_DOUBLE_EQ(equipment.failure.GetScale(), 1.0 / ((0.25 / 24) / 365.0) - 0.5);
    EXPECT_DOUBLE_EQ(equipment.failure.GetShape(), 1.0);
    EXPECT_DOUBLE_EQ(equipment.isolation.GetScale(), 0.0);
    EXPECT_DOUBLE_EQ(equipment.isolation.GetShape(), 2.0);

    const SimEdge& recloser = model.GetEdge(2);
    EXPECT_EQ(recloser.type, kRecloserEdge);
    EXPECT_DOUBLE_EQ(recloser.reclose.GetScale(), 11.5);
    EXPECT_DOUBLE_EQ(recloser.reclose.GetShape(), 1.0);
    EXPECT_EQ(model.GetEdge(3).to, 2u);  // NDL 999999 is the node the equipment started at

    const SimEdge& averageOnly = model.GetEdge(4);
    EXPECT_EQ(averageOnly.customers, 100000u);
    EXPECT_DOUBLE_EQ(averageOnly.capacity, 3.0);
    const SimEdge& peakOnly = model.GetEdge(5);
    EXPECT_DOUBLE_EQ(peakOnly.capacity, 4.0);
    EXPECT_EQ(peakOnly.customers, 1u);
    // Neither average nor peak: both 1.
    const SimEdge& plain = model.GetEdge(6);
    EXPECT_DOUBLE_EQ(plain.capacity, 1.0);
    EXPECT_EQ(plain.name, "");
}

// The parser is used once per run, but a second text on the same object must not inherit the
// first one's system or nodes.
TEST(NdlSemantics, ASecondParseStartsAfresh)
{
    TempFolder folder;
    CParserDistrib parser;
    CSimulation first;
    first.Init();
    ASSERT_TRUE(parser.Parse(kSystem + "breaker: connect = 5, 6\n", folder.Path()));
    ASSERT_TRUE(parser.Run(&first));
    parser.Close();
    CSimulation second;
    second.Init();
    ASSERT_TRUE(parser.Parse(kSystem + "breaker: connect = 6, 5\n", folder.Path()));
    ASSERT_TRUE(parser.Run(&second));
    parser.Close();
    EXPECT_EQ(Shapes(second), (std::vector<EdgeShape>{{kBreakerEdge, 2, 3, -1}}));
}

// Every attribute against every definition: refused as "not valid" exactly where its definitions
// do not include it, and never refused that way where they do.
TEST(NdlSemantics, EachAttributeIsValidExactlyInItsDefinitions)
{
    const char* types[] = {"system", "source", "load", "breaker", "fuse", "isolator", "equipment", "line", "recloser"};
    enum : unsigned {
        S = 1u << 0, Src = 1u << 1, Ld = 1u << 2, Brk = 1u << 3, Fu = 1u << 4, Iso = 1u << 5, Eq = 1u << 6,
        Ln = 1u << 7, Rc = 1u << 8,
        Components = Src | Ld | Brk | Fu | Iso | Eq | Ln | Rc,
    };
    struct Attribute {
        const char* keyword;
        unsigned validIn;
    };
    const Attribute attributes[] = {
        {"quantsperday", S}, {"yearmin", S}, {"yearmax", S}, {"yearstep", S}, {"accuracy", S},
        {"fuses", S}, {"isolators", S}, {"reclosers", S}, {"maxflow", S},
        {"name", Components}, {"connect", Components}, {"capacity", Components & ~Ld},
        {"customers", Ld}, {"length", Ln}, {"failure", Eq | Ln}, {"isolation", Eq | Ln}, {"repair", Eq | Ln},
        {"reclose", Rc}, {"profile", Ld}, {"average", Ld}, {"peak", Ld},
    };
    for (const Attribute& a : attributes) {
        for (unsigned code = 0; code < std::size(types); ++code) {
            const std::string type = types[code];
            const std::string text =
                (code == 0 ? "" : kSystem) + type + ": " + a.keyword + " = 1\n";
            const std::string refusal =
                std::string("the \"") + a.keyword + "\" attribute is not valid in this definition\n";
            const Outcome outcome = Build(text);
            const bool refused = outcome.trace.find(refusal) != std::string::npos;
            EXPECT_EQ(refused, (a.validIn & (1u << code)) == 0) << a.keyword << " in " << type << ": " << outcome.trace;
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
        std::string after;
        long long minimum;
        long long maximum;
        // The value as the model got it; null where the model keeps no trace of it.
        long long (*read)(const CSimulation&);
        const CFieldRule* dialog = nullptr;  // the settings dialog's edit for it
    };
    const Case cases[] = {
        {"quantsperday", "system: quantsperday = ", "\n", 1, 1440,
         [](const CSimulation& m) { return static_cast<long long>(m.GetQuantsPerDay()); }, &Dialog::kQuantsRule},
        {"yearmin", "system: quantsperday = 1; yearmin = ", "\n", 100, 1000000000,
         [](const CSimulation& m) { return static_cast<long long>(m.GetYearMin()); }, &Dialog::kYearsRule},
        {"yearmax", "system: quantsperday = 1; yearmax = ", "\n", 100, 1000000000,
         [](const CSimulation& m) { return static_cast<long long>(m.GetYearMax()); }, &Dialog::kYearsRule},
        {"yearstep", "system: quantsperday = 1; yearstep = ", "\n", 1, 1000000,
         [](const CSimulation& m) { return static_cast<long long>(m.GetYearStep()); }, &Dialog::kYearStepRule},
        {"customers", kSystem + "load: connect = 0; customers = ", "\n", 1, 999999,
         [](const CSimulation& m) { return static_cast<long long>(m.GetEdge(0).customers); }},
        {"connect", kSystem + "breaker: connect = 5, ", "\n", 0, 999999, nullptr},
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
                const Outcome outcome = Build(c.before + std::to_string(value) + hair + c.after, model);
                ASSERT_TRUE(outcome.ok) << c.keyword << " " << value << hair << ": " << outcome.trace;
                if (c.read != nullptr) {
                    EXPECT_EQ(c.read(model), value) << c.keyword;
                }
            }
        }
        for (const std::string& value : {std::to_string(c.minimum - 1), std::to_string(c.maximum + 1),
                                         std::to_string(c.minimum) + ".5", std::to_string(c.maximum) + ".0000001"}) {
            const Outcome outcome = Build(c.before + value + c.after);
            EXPECT_FALSE(outcome.ok) << c.keyword << " " << value;
            EXPECT_NE(outcome.trace.find(refusal), std::string::npos) << c.keyword << " " << value << ": " << outcome.trace;
            if (c.dialog != nullptr) {
                EXPECT_FALSE(c.dialog->Parse(value).value) << c.keyword << " " << value;
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
    auto* source = drawing::Symbol<CGenSource>(doc, {0, 0});
    source->m_dCapacity = 1000;
    auto* line = drawing::Segment<CLine>(doc, {0, 0}, {100, 0});
    line->m_dCapacity = 900;
    line->m_dLength = 2;
    line->m_dFailure1 = 0.25;
    line->m_dFailure2 = 1.5;
    line->m_dIsolation1 = 2;
    line->m_dIsolation2 = 2.5;
    line->m_dRepair1 = 5;
    line->m_dRepair2 = 3;
    drawing::Segment<CCircuitBreaker>(doc, {100, 0}, {200, 0})->m_dCapacity = 800;
    drawing::Segment<CFuse>(doc, {200, 0}, {300, 0})->m_dCapacity = 700;
    drawing::Segment<CIsolator>(doc, {300, 0}, {400, 0})->m_dCapacity = 600;
    auto* recloser = drawing::Segment<CRecloser>(doc, {400, 0}, {500, 0});
    recloser->m_dCapacity = 500;
    recloser->m_dReclose1 = 2;
    recloser->m_dReclose2 = 3;
    CBranchWidget* branches[] = {drawing::Segment<CEquipment>(doc, {500, 0}, {600, 0}),
                                 drawing::Segment<CTransformer>(doc, {600, 0}, {700, 0})};
    double capacity = 400;
    for (CBranchWidget* b : branches) {
        b->m_dCapacity = capacity;
        capacity -= 100;
        b->m_dLength = 3;  // kept in the widget, left out of the text
        b->m_dFailure1 = 0.5;
        b->m_dFailure2 = 2;
        b->m_dIsolation1 = 1;
        b->m_dRepair1 = 8;
    }
    drawing::Segment<CBusBar>(doc, {700, 0}, {700, 300});
    auto* load = drawing::Symbol<CLoadPoint>(doc, {700, 300});
    load->m_strName = "Plant";
    load->m_nCustomers = 7;
    load->m_dAverage = 2;
    load->m_dPeak = 4;
    load->m_profile = {1, 3};

    CNDLGenerator generator(&doc);
    ASSERT_TRUE(generator.Validate());
    generator.Generate();
    CSimulation model;
    const Outcome outcome = Build(generator.GetNDL(), model);
    ASSERT_TRUE(outcome.ok) << outcome.trace << generator.GetNDL();

    // The bus bar is NDL node 0 and the source 1; the model numbers them in order of first use.
    EXPECT_EQ(Shapes(model), (std::vector<EdgeShape>{
                                 {kSupplyEdge, 0, 3, 1000},
                                 {kBreakerEdge, 3, 2, 1000},
                                 {kLineEdge, 2, 4, 900},
                                 {kBreakerEdge, 4, 5, 800},
                                 {kBreakerEdge, 5, 6, 700},
                                 {kIsolatorEdge, 6, 7, 600},
                                 {kBreakerEdge, 7, 9, 500},
                                 {kRecloserEdge, 9, 10, 500},
                                 {kBreakerEdge, 10, 8, 500},
                                 {kEquipmentEdge, 8, 11, 400},
                                 {kEquipmentEdge, 11, 12, 300},
                                 {kLoadEdge, 12, 1, 4},
                             }));
    // Rates per year and hours, in quanta of one hour; only the line's rate is per unit length.
    const SimEdge& lineEdge = model.GetEdge(2);
    EXPECT_DOUBLE_EQ(lineEdge.failure.GetScale(), 1.0 / ((0.5 / 24) / 365.0) - 0.5);
    EXPECT_DOUBLE_EQ(lineEdge.failure.GetShape(), 1.5);
    EXPECT_DOUBLE_EQ(lineEdge.isolation.GetScale(), 1.5);
    EXPECT_DOUBLE_EQ(lineEdge.isolation.GetShape(), 2.5);
    EXPECT_DOUBLE_EQ(lineEdge.repair.GetScale(), 4.5);
    EXPECT_DOUBLE_EQ(lineEdge.repair.GetShape(), 3.0);
    const SimEdge& recloserEdge = model.GetEdge(7);
    EXPECT_DOUBLE_EQ(recloserEdge.reclose.GetScale(), 1.5);
    EXPECT_DOUBLE_EQ(recloserEdge.reclose.GetShape(), 3.0);
    for (std::size_t i : {9u, 10u}) {
        const SimEdge& e = model.GetEdge(i);
        EXPECT_DOUBLE_EQ(e.failure.GetScale(), 1.0 / ((0.5 / 24) / 365.0) - 0.5) << i;
        EXPECT_DOUBLE_EQ(e.failure.GetShape(), 2.0) << i;
        EXPECT_DOUBLE_EQ(e.isolation.GetScale(), 0.5) << i;
        EXPECT_DOUBLE_EQ(e.repair.GetScale(), 7.5) << i;
    }
    const SimEdge& loadEdge = model.GetEdge(11);
    EXPECT_EQ(loadEdge.name, "Plant");
    EXPECT_EQ(loadEdge.customers, 7u);
}
