#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "analytical/ADist_Graph.h"
#include "analytical/AnalyticalSimulator.h"
#include "analytical/GMLGenerator.h"
#include "bench/CopiesNetwork.h"
#include "editor/Mode.h"
#include "tests/Drawing.h"
#include "tests/analytical/GmlText.h"

using drawing::Symbol;

namespace {

const std::string kPrefix = "Error : cannot load the network's GML text: ";

GmlText OneLoad()
{
    GmlText g;
    g.Supply(0).Load(1, 0, 10, 100).Junction(2);
    g.Feeder(0, 2, GmlText::kMain, 1, 0, 0, 0, 1e7, GmlText::Breaker);
    g.Feeder(2, 1, GmlText::kLateral, 2, 0.5, 4, 1, 1e7);
    return g;
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(AnalyticalRun, RefusesGmlThatDoesNotLoadNamingWhatAndWhere)
{
    const std::string good = OneLoad().Text();
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {Replace(good, "component_id 2", "component_id 3"),
         "the network has no supply: no node has \"component_id 2\" (is a Gen Source drawn?)"},
        {Replace(good, "component_id 1", "component_id 7"), "line 11: unknown \"component_id\" 7 (expected 1 to 4)"},
        {Replace(good, "id 0\ncomponent_id 2", "id 0\nlabel 2"),
         "line 6: the node record must go on with \"component_id\" after its \"id\""},
        {Replace(good, "id 2\ncomponent_id 3", "id 2\ncomponent_id 2"),
         "line 19: a second supply node (\"component_id 2\"); a network has one"},
        {Replace(good, "num_customers 10", "num_customers -10"), "line 13: \"num_customers\" must not be negative"},
        {Replace(good, "load_id 0", "load_id 3000000000"), "line 12: \"load_id\" 3000000000 is out of range"},
        {Replace(good, "load 100.0000", "load 1e13"), "line 14: \"load\" 1.e+013 is out of range (at most 1e12)"},
        {Replace(good, "feeder_type_id 2", "feeder_type_id 9"), "line 43: unknown \"feeder_type_id\" 9 (expected 1 to 3)"},
        {Replace(good, "feeder_type_id 2", "feeder_type_id 1"),
         "line 44: expected \"main_feeder_id\" (an integer), found \"lat_feeder_id\""},
        {Replace(good, "switch_id 3", "switch_id 8"), "line 36: unknown \"switch_id\" 8 (expected 0 to 4)"},
        {Replace(good, "switch_id 3", "switch_id 4"),
         "line 36: a recloser (\"switch_id 4\") belongs on a reclosing feeder (\"feeder_type_id 3\")"},
        {Replace(good, "switch_id 3\ntrans_id 0", "switch_id 3\ntrans_id 5"),
         "line 37: unknown \"trans_id\" 5 (expected 0 or 1)"},
        {Replace(good, "switch_id 3\ntrans_id 0", "switch_id 2\ntrans_id 0"),
         "line 37: expected \"switch_time\" (a number), found \"trans_id\""},
        {Replace(good, "fault_rate 0.5000", "fault_rate -0.5"), "line 45: \"fault_rate\" must not be negative"},
        {Replace(good, "trans_id 0\n]\nedge", "\n]\nedge"), "line 26: the record ends where \"trans_id\" (an integer) is expected"},
        {Replace(Replace(good, "node\n[\nid 999\ncomponent_id 4\n]\n", ""), "target 999", "target 1"),
         "the network has no terminal node: no node has \"component_id 4\""},
        {Replace(good, "lat_feeder_id 2", "lat_feeder_id -3"), "line 44: feeder id -3 is negative; a feeder's id is positive"},
        {Replace(good, "lat_feeder_id 2", "lat_feeder_id 1"), "line 44: feeder id 1 is given twice (first on line 31)"},
        // Regression: a feeder that fails, numbered 0, was taken for a link and never faulted.
        {Replace(good, "lat_feeder_id 2", "lat_feeder_id 0"),
         "line 44: feeder id 0 belongs to links that never fail; a feeder that can fail needs a positive id"},
        // Regression: 0.5 faults a year of 20000 h each printed an ASAI below 0.
        {Replace(good, "repair_time 4.0000", "repair_time 20000"),
         "Error : the fault rates, lengths and repair times leave load point 0 without supply 10000. hours a year, "
         "more than a year has: ASAI and ENS would mean nothing."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CAnalyticalResult result = CAnalyticalSimulator().Run(c.text, 0, 1, 10);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, c.error.starts_with("Error : ") ? c.error : kPrefix + c.error);
        EXPECT_TRUE(result.message.empty());
    }
}

// Of the two feeders, the breaker's section never fails: the lateral can. A hand-written text may
// number its feeders as it likes; a run faults those whose ids lie in 1 to the count asked for
// and names the others. Regression: ids other than 1 to the number of feeders were refused.
TEST(AnalyticalRun, FaultsTheFeedersWhoseIdsItReachesAndNamesTheOthers)
{
    struct Case {
        int breakerId, lateralId, asked, faulted, failing;
        const char* warning;  // "" for none
    };
    const Case cases[] = {
        {1, 2, -2, 0, 0, ""},
        {1, 2, 0, 0, 0, ""},
        {1, 2, 2, 2, 1, ""},
        {1, 2, 1000000, 2, 1, ""},
        {1, 2, 1, 1, 0, "Faulting feeders 1 to 1 (\"Number Feeders To Fault\") never reaches these feeders, so "
                        "their faults are not in the indices: 2."},
        {50, 7, 11, 1, 1, "Faulting feeders 1 to 11 (\"Number Feeders To Fault\") never reaches these feeders, so "
                          "their faults are not in the indices: 50."},
        {50, 7, 50, 2, 1, ""},
        // The breaker's section never fails: numbered 0, it is a link, which no run faults.
        {0, 2, 2, 1, 1, ""},
    };
    for (const Case& c : cases) {
        const std::string breaker = std::to_string(c.breakerId);
        const std::string lateral = std::to_string(c.lateralId);
        SCOPED_TRACE(breaker + ", " + lateral + ", " + std::to_string(c.asked));
        std::string gml = Replace(OneLoad().Text(), "main_feeder_id 1\n", "main_feeder_id " + breaker + "\n");
        gml = Replace(gml, "lat_feeder_id 2", "lat_feeder_id " + lateral);
        const CAnalyticalResult result = CAnalyticalSimulator().Run(gml, 0, 0, c.asked);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.faultedFeeders, c.faulted);
        EXPECT_EQ(result.failingFeeders, c.failing);
        EXPECT_DOUBLE_EQ(result.metrics.SAIFI, c.failing == 1 ? 0.5 : 0.0);
        EXPECT_EQ(result.warnings, *c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{});
    }
}

namespace {

// A random drawing on a 6 x 6 grid, `x` to the right: sections of every kind between neighbouring
// points (rings, ties, dead ends and islands included) with random datasheet values, loads and gen
// sources.
void DrawRandomNetwork(CKorvaneDoc& doc, std::mt19937& random, int x = 0)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto at = [x](int i, int j) { return CPoint(x + i * 100, j * 100); };
    auto feederValues = [&](CFeederData& f) {
        f.m_nFeederType = unit(random) < 0.6 ? 1 : 2;
        f.m_dFaultRate = unit(random) < 0.8 ? unit(random) : 0.0;
        f.m_dFeederLength = 1 + 3 * unit(random);
        f.m_dRepairTime = 10 * unit(random);
        f.m_dMaxCapacity = unit(random) < 0.3 ? 50 * unit(random) : 1e7;
    };
    // Below each bound, the kind of section.
    const std::pair<double, WidgetType> kinds[] = {
        {0.4, WidgetType::Line},     {0.5, WidgetType::CircuitBreaker}, {0.6, WidgetType::Fuse},
        {0.75, WidgetType::Isolator}, {0.85, WidgetType::Recloser},     {0.9, WidgetType::BusBar},
        {0.95, WidgetType::Transformer}, {1.1, WidgetType::Equipment}};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            for (int dir = 0; dir < 2; ++dir) {
                if (unit(random) < 0.35 || (dir == 0 ? i == 5 : j == 5))
                    continue;
                CPoint a = at(i, j);
                CPoint b = dir == 0 ? at(i + 1, j) : at(i, j + 1);
                if (unit(random) < 0.5)
                    std::swap(a, b);
                const double kind = unit(random);
                const auto type = std::find_if(std::begin(kinds), std::end(kinds), [&](auto k) { return kind < k.first; });
                CWidget* w = doc.AddWidget(NewWidget(type->second, a, b));
                if (auto* feeder = dynamic_cast<CFeederData*>(w))
                    feederValues(*feeder);
                if (auto* isolator = dynamic_cast<CIsolator*>(w))
                    isolator->m_dSwitchTime = 2 * unit(random);
                if (auto* recloser = dynamic_cast<CRecloser*>(w))
                    recloser->m_dReclTime = 3 * unit(random);
            }
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            const double kind = unit(random);
            if (kind < 0.3) {
                CLoadPoint* load = Symbol<CLoadPoint>(doc, at(i, j));
                load->m_nNumCustomers = static_cast<int>(100 * unit(random));
                load->m_dLoad = 40 * unit(random);
            } else if (kind < 0.34) {
                Symbol<CGenSource>(doc, at(i, j));
            }
        }
}

std::string GmlOf(CKorvaneDoc& doc)
{
    CGMLGenerator generator(&doc);
    generator.Generate();
    return generator.GetGML();
}

// The text with its node records and its edge records each in a random order.
std::string ShuffleRecords(const std::string& gml, std::mt19937& random)
{
    std::vector<std::string> records[2];  // nodes, edges
    std::size_t at = gml.find("\nnode\n") + 1;
    while (gml.compare(at, 5, "node\n") == 0 || gml.compare(at, 5, "edge\n") == 0) {
        const std::size_t end = gml.find("\n]\n", at) + 3;
        records[gml[at] == 'n' ? 0 : 1].push_back(gml.substr(at, end - at));
        at = end;
    }
    std::string text = "graph [\ndirected 1\n";
    for (std::vector<std::string>& kind : records) {
        std::shuffle(kind.begin(), kind.end(), random);
        for (const std::string& record : kind)
            text += record;
    }
    return text + gml.substr(at);
}

bool Same(double copies, double one)
{
    return std::isnan(copies) ? std::isnan(one) : std::fabs(copies - one) <= 1e-9 * std::max(1.0, std::fabs(one));
}

// The GML text of a random drawing.
std::string RandomGml(std::mt19937& random)
{
    CKorvaneDoc doc;
    DrawRandomNetwork(doc, random);
    return GmlOf(doc);
}

// Whether two runs give the same SAIFI, SAIDI and ENS to the last bit (NaN where the other has NaN).
bool SameIndices(const CAnalyticalResult& one, const CAnalyticalResult& two)
{
    const auto identical = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    const AReliabilityMetrics& a = one.metrics;
    const AReliabilityMetrics& b = two.metrics;
    return identical(a.SAIFI, b.SAIFI) && identical(a.SAIDI, b.SAIDI) && identical(a.ENS, b.ENS);
}

}  // namespace

// Whatever is drawn, faulting every feeder ends, leaves the graph's edges as they were, keeps each
// load's outage within the repair and gives the same records when a fault is played again. Two
// runs of one text give the same message, and two copies of a drawing side by side on one supply
// give the indices of one, with twice the ENS. Regression: a fault that closed a tie shed every
// load short of capacity anywhere in the network, so independent copies added to each other's
// shortages.
TEST(AnalyticalRun, AnyDrawingRunsToAnEndRepeatsItselfAndKeepsCopiesApart)
{
    std::mt19937 random(2024);
    int ran = 0;
    for (int round = 0; round < 200; ++round) {
        std::mt19937 first = random;
        std::mt19937 second = random;
        CKorvaneDoc doc;
        DrawRandomNetwork(doc, random);
        const std::string gml = GmlOf(doc);
        for (bool thesis : {true, false}) {
            ADist_Graph graph;
            if (graph.load(gml).IsError()) {
                EXPECT_EQ(doc.m_pGenSources->GetSize(), 0) << graph.load(gml).Text();
                continue;
            }
            ++ran;
            graph.setLateralCapacities();
            graph.setTerminalCapacities();
            std::vector<CGMLResult> records;
            graph.setResultList(&records);
            const int edges = graph.EdgeCount();
            const int slots = graph.EdgeSlots();
            std::vector<double> repair(static_cast<std::size_t>(graph.getFeederCount()) + 1, 0.0);
            graph.ForEachEdge([&](ADist_Graph::Edge e) {
                const AFeeder* f = graph.getEdgeFeeder(e);
                if ((f->isMain() || f->isLateral()) && f->getId() >= 1 && f->getId() <= graph.getFeederCount())
                    repair[static_cast<std::size_t>(f->getId())] = f->getRepairTime();
            });
            const std::size_t loads = doc.m_pLoadPoints->GetSize();
            for (int id = 1; id <= graph.getFeederCount(); ++id) {
                for (int again = 0; again < 2; ++again) {
                    ASSERT_TRUE(graph.simulateFault(id, thesis));
                    ASSERT_EQ(graph.EdgeCount(), edges);
                    ASSERT_EQ(graph.EdgeSlots(), slots);
                }
                const std::size_t end = records.size();
                for (std::size_t k = 0; k < loads; ++k) {
                    const CGMLResult& once = records[end - 2 * loads + k];
                    const CGMLResult& twice = records[end - loads + k];
                    const double before = end >= 3 * loads ? records[end - 3 * loads + k].m_dTotalUnavailability : 0.0;
                    const double out = twice.m_dTimeNotConnected - once.m_dTimeNotConnected;
                    EXPECT_NEAR(twice.m_dTotalUnavailability - once.m_dTotalUnavailability,
                                once.m_dTotalUnavailability - before, 1e-9)
                        << "round " << round << " feeder " << id << " load " << k;
                    EXPECT_TRUE(out >= 0.0 && out <= repair[static_cast<std::size_t>(id)] + 1e-9)
                        << "round " << round << " feeder " << id << " load " << k << " out " << out;
                }
            }
            const AReliabilityMetrics m = graph.computeReliabilityMetrics();
            for (double v : {m.SAIFI, m.SAIDI, m.ENS})
                EXPECT_TRUE(std::isnan(v) || v >= 0.0);
            EXPECT_TRUE(std::isnan(m.ASAI) || m.ASAI <= 1.0);
        }

        CKorvaneDoc twice;
        DrawRandomNetwork(twice, first);
        DrawRandomNetwork(twice, second, 1000);
        const CAnalyticalResult one = CAnalyticalSimulator().Run(gml, round % 2, 1, 1000);
        EXPECT_EQ(CAnalyticalSimulator().Run(gml, round % 2, 1, 1000).message, one.message);
        const CAnalyticalResult copies = CAnalyticalSimulator().Run(GmlOf(twice), round % 2, 1, 1000);
        ASSERT_EQ(copies.ok, one.ok) << "round " << round << copies.error << one.error;
        const AReliabilityMetrics& c = copies.metrics;
        const AReliabilityMetrics& o = one.metrics;
        EXPECT_TRUE(Same(c.SAIFI, o.SAIFI) && Same(c.SAIDI, o.SAIDI) && Same(c.CAIDI, o.CAIDI) && Same(c.ASAI, o.ASAI) &&
                    Same(c.ENS, 2 * o.ENS))
            << "round " << round << "\n" << copies.message << one.message;
    }
    EXPECT_GT(ran, 250);
}

// Regression: which branch a maximum flow fed first, which way a ring's sections pointed and which
// of two ties feeding a part at the same moment closed all followed the order of the records, so
// the same network written in another order gave other indices.
TEST(AnalyticalRun, IndicesDoNotDependOnTheOrderOfTheRecords)
{
    std::mt19937 random(19);
    int ran = 0;
    for (int round = 0; round < 300; ++round) {
        const std::string gml = RandomGml(random);
        for (int method : {0, 1}) {
            const CAnalyticalResult one = CAnalyticalSimulator().Run(gml, 0, method, 1000);
            ran += one.ok;
            for (int again = 0; again < 2; ++again) {
                const std::string shuffled = ShuffleRecords(gml, random);
                const CAnalyticalResult two = CAnalyticalSimulator().Run(shuffled, 0, method, 1000);
                ASSERT_EQ(two.ok, one.ok) << two.error << one.error;
                EXPECT_TRUE(SameIndices(one, two))
                    << "round " << round << " method " << method << "\n" << one.message << two.message << shuffled;
                EXPECT_EQ(two.warnings.size(), one.warnings.size());
            }
        }
    }
    EXPECT_GT(ran, 400);
}

// A new Line is rated 0 kVA, and with "Minimum Cut Set" off a back-feed passes none: on the
// four-feeder system with its Lines left at 0, every load that a tie takes back is shed, and so
// are the loads of the feeder it comes from, which never lost supply. The run keeps that rule but
// says how many load points it shed and which feeders left at 0 kVA it met on the way. Regression:
// the indices came out worse without a word.
TEST(AnalyticalRun, SaysWhichLoadsItShedAndWhichFeedersAtZeroKvaShedThem)
{
    CKorvaneDoc doc;
    copies::Draw(doc, 1);
    const std::string filled = GmlOf(doc);
    for (int i = 0; i < doc.m_pLines->GetSize(); ++i)
        doc.m_pLines->GetAt(i)->m_dMaxCapacity = 0.0;
    const std::string empty = GmlOf(doc);
    // The main Lines, tie lines included: the back-feeds run along them.
    std::vector<int> mainLines;
    for (int i = 0; i < doc.m_pLines->GetSize(); ++i)
        if (doc.m_pLines->GetAt(i)->m_nFeederType == 1)
            mainLines.push_back(doc.m_pLines->GetAt(i)->m_nMainFeederId);
    std::sort(mainLines.begin(), mainLines.end());
    ASSERT_EQ(mainLines.size(), 24u);
    for (int method : {0, 1}) {
        SCOPED_TRACE(method);
        const CAnalyticalResult asFilled = CAnalyticalSimulator().Run(filled, 0, method, 1000);
        const CAnalyticalResult left = CAnalyticalSimulator().Run(empty, 0, method, 1000);
        const CAnalyticalResult cutSet = CAnalyticalSimulator().Run(empty, 1, method, 1000);
        ASSERT_TRUE(asFilled.ok && left.ok && cutSet.ok);
        for (const CAnalyticalResult* r : {&asFilled, &cutSet}) {
            EXPECT_NEAR(r->metrics.SAIFI, 0.36054976303317537, 1e-12);
            EXPECT_NEAR(r->metrics.SAIDI, 0.95103317535545029, 1e-12);
            EXPECT_NEAR(r->metrics.ENS, 6229.6, 1e-9);
            EXPECT_EQ(r->shedLoads, 0);
            EXPECT_EQ(r->capacityNote, "");
        }
        // Regression: the loads that a fault's own breaker fed again, as before it, were shed as
        // well, behind Lines at 0 kVA that no back-feed passed: on each feeder, the faults on its
        // third and fourth main sections (0.052 a year) took the two loads above them (280
        // customers in all, 2,500 kVA) from 1 h to the 5 h repair: 29.12 interruptions, 116.48
        // hours and 1,040 kVAh a year too many over the 1,055 customers.
        EXPECT_NEAR(left.metrics.SAIFI, 0.69768720379146909 - 29.12 / 1055, 1e-12);
        EXPECT_NEAR(left.metrics.SAIDI, 2.2995829383886255 - 116.48 / 1055, 1e-12);
        EXPECT_NEAR(left.metrics.ENS, 14986.4 - 1040, 1e-9);
        EXPECT_EQ(left.shedLoads, 22);
        EXPECT_EQ(left.loads, 22);
        EXPECT_EQ(left.emptyFeeders, mainLines);
    }
}

// Drawn with its Lines left at 0 kVA, as new Lines are. Feeder 1: a breaker, a Line to Q's tap, an
// isolator (0.5 h), M (0.2 a year, 8 h) to B's tap, an isolator (3 h) and a Line to A's tap.
// Feeder 2 feeds C and is tied (1 h) to M's end; feeder 3's Line ends in a tie (1 h) at A's tap. A fault
// on M takes Q out 0.5 h and B the 8 h; A is back at 3 h through feeder 3's Line, which carries
// nothing, so A is shed to the repair. Q is fed again as before the fault, C never lost supply: the
// note names feeder 3's Line alone. Regression: Q and C were shed too, and the note named feeder
// 1's first Line and feeder 2's, which no back-feed used.
TEST(AnalyticalRun, NamesOnlyTheFeedersAtZeroKvaThatABackFeedUsed)
{
    CKorvaneDoc doc;
    const std::vector<CWidget*> w = drawing::Draw(
        doc, "G 0 0, C 0 0 100 0, L 100 0 200 0, L 200 0 200 100, P 200 100, I 200 0 260 0, L 260 0 360 0, "
             "L 360 0 360 100, P 360 100, I 360 0 420 0, L 420 0 520 0, L 520 0 520 -100, P 520 -100, "
             "C 0 0 0 -100, L 0 -100 360 -100, L 360 -100 360 -200, P 360 -200, R 360 0 360 -100, "
             "C 0 0 0 200, L 0 200 520 200, R 520 200 520 0");
    const auto feeder = [&](std::size_t i) { return dynamic_cast<CFeederData*>(w[i]); };
    for (std::size_t i : {1, 2, 5, 6, 9, 10, 13, 14, 18, 19})
        feeder(i)->m_nFeederType = 1;
    feeder(6)->m_dFaultRate = 0.2;
    feeder(6)->m_dFeederLength = 1;
    feeder(6)->m_dRepairTime = 8;
    static_cast<CIsolator*>(w[5])->m_dSwitchTime = 0.5;
    static_cast<CIsolator*>(w[9])->m_dSwitchTime = 3;
    for (std::size_t i : {17, 20})
        static_cast<CRecloser*>(w[i])->m_dReclTime = 1;
    const std::pair<std::size_t, std::pair<int, double>> loads[] = {
        {4, {10, 100}}, {8, {5, 200}}, {12, {20, 30}}, {16, {10, 200}}};  // Q, B, A, C
    for (const auto& [i, load] : loads) {
        static_cast<CLoadPoint*>(w[i])->m_nNumCustomers = load.first;
        static_cast<CLoadPoint*>(w[i])->m_dLoad = load.second;
    }
    CGMLGenerator generator(&doc);
    ASSERT_TRUE(generator.Validate());
    generator.Generate();
    for (int method : {0, 1}) {
        const CAnalyticalResult result = CAnalyticalSimulator().Run(generator.GetGML(), 0, method, 1000);
        ASSERT_TRUE(result.ok) << result.error;
        // Q 0.5 h, B 8 h, A 3 h and shed 5 h at 0 kVA, over 45 customers.
        EXPECT_NEAR(result.metrics.SAIFI, 0.2 * (10 + 5 + 20 + 20) / 45, 1e-12);
        EXPECT_NEAR(result.metrics.SAIDI, 0.2 * (5 + 40 + 60 + 100) / 45, 1e-12);
        EXPECT_NEAR(result.metrics.ENS, 0.2 * (50 + 1600 + 90 + 150), 1e-9);
        EXPECT_EQ(result.shedLoads, 1);
        EXPECT_EQ(result.emptyFeeders, std::vector<int>{feeder(19)->m_nMainFeederId});
    }
}

// Ties that could close only after every repair (10 h at most) take no part in any fault: three
// added between random nodes of a random drawing change no index, note or warning. Regression: a
// tie at the end of a faulted section, or at a faulted lateral's tap, drew the feeder beyond it
// into the shedding of the fault's back-feeds, and its loads short before any fault were shed; a
// tie into a node of a lateral stopped a lateral fault's search for its isolator there; a tie
// closing after the repair still closed, moving the fault's clock on a million hours, and the
// shortages before it, counted back from there, lost their last digits.
TEST(AnalyticalRun, ATieThatNeverClosesChangesNothing)
{
    std::mt19937 random(23);
    int changed = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string gml = RandomGml(random);
        std::vector<std::string> nodes;  // the ids of nodes other than the terminal
        const std::string head = "node\n[\nid ";
        for (std::size_t at = gml.find(head); at != std::string::npos; at = gml.find(head, at + 1)) {
            std::istringstream record(gml.substr(at + head.size(), 40));
            std::string id, key;
            int code = 0;
            record >> id >> key >> code;
            if (code != 4)
                nodes.push_back(id);
        }
        if (nodes.size() < 2)
            continue;
        std::string ties;
        for (int k = 0; k < 3; ++k) {
            std::shuffle(nodes.begin(), nodes.end(), random);
            ties += "edge\n[\nsource " + nodes[0] + "\ntarget " + nodes[1] + "\nfeeder_type_id 3\nrecl_feeder_id " +
                    std::to_string(9990 + k) + "\nlength 0.0000\nmax_cap " + (k == 0 ? "0.0000" : "10000000.") +
                    "\nswitch_id 4\nrecl_time 1000000.0000\ntrans_id 0\n]\n";
        }
        const std::string tied = gml.substr(0, gml.size() - 2) + ties + "]\n";
        for (int method : {0, 1}) {
            const CAnalyticalResult one = CAnalyticalSimulator().Run(gml, 0, method, 1000);
            const CAnalyticalResult two = CAnalyticalSimulator().Run(tied, 0, method, 1000);
            ASSERT_EQ(two.ok, one.ok) << two.error << one.error;
            const bool same =
                SameIndices(one, two) && two.capacityNote == one.capacityNote && two.warnings == one.warnings;
            EXPECT_TRUE(same || changed > 0) << "round " << round << " method " << method << "\n" << one.message
                                             << one.capacityNote << two.message << two.capacityNote << ties;
            changed += !same;
        }
    }
    EXPECT_EQ(changed, 0);
}
