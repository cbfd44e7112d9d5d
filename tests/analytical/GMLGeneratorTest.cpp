#include <gtest/gtest.h>


#include "analytical/AnalyticalSimulator.h"
#include "analytical/GMLGenerator.h"
#include "tests/Drawing.h"

using drawing::Segment;
using drawing::Symbol;

namespace {

std::string Generated(CKorvaneDoc& doc)
{
    CGMLGenerator generator(&doc);
    EXPECT_TRUE(generator.Validate());
    generator.Generate();
    return generator.GetGML();
}

int Count(const std::string& text, const std::string& piece)
{
    int n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(GMLGenerator, WritesTheGenSourceLineLoadExampleByteForByte)
{
    CKorvaneDoc doc;
    Symbol<CGenSource>(doc, {100, 100});
    CLine* line = Segment<CLine>(doc, {100, 100}, {200, 100});
    CLoadPoint* load = Symbol<CLoadPoint>(doc, {200, 100});

    EXPECT_EQ(Generated(doc),
              "graph [\n"
              "directed 1\n"
              "node\n[\nid 0\ncomponent_id 2\n]\n"
              "node\n[\nid 1\ncomponent_id 1\nload_id 0\nnum_customers 0\nload 0.0000\n]\n"
              "edge\n[\nsource 0\ntarget 1\nfeeder_type_id 2\nlat_feeder_id 1\nfault_rate 0.0000\n"
              "repair_time 0.0000\nlength 0.0000\nmax_cap 0.0000\nswitch_id 0\ntrans_id 0\n]\n"
              "node\n[\nid 2\ncomponent_id 4\n]\n"
              "edge\n[\nsource 1\ntarget 2\nfeeder_type_id 1\nmain_feeder_id 3\nfault_rate 0\nrepair_time 0\n"
              "length 0\nmax_cap 10000000.\nswitch_id 0\ntrans_id 0\n]\n"
              "]\n");
    EXPECT_EQ(line->m_nLateralFeederId, 1);
    EXPECT_EQ(line->m_source, 0);
    EXPECT_EQ(line->m_target, 1);
    EXPECT_EQ(load->m_nNodeId, 1);
    EXPECT_EQ(load->m_nLoadId, 0);
}

TEST(GMLGenerator, WritesEveryKindOfEdgeRecord)
{
    CKorvaneDoc doc;
    Symbol<CGenSource>(doc, {0, 0});
    auto* breaker = Segment<CCircuitBreaker>(doc, {0, 0}, {100, 0});
    breaker->m_nFeederType = 1;
    breaker->m_dFaultRate = 0.125;
    Segment<CFuse>(doc, {100, 0}, {200, 0});
    auto* isolator = Segment<CIsolator>(doc, {200, 0}, {300, 0});
    isolator->m_dSwitchTime = 0.5;
    auto* recloser = Segment<CRecloser>(doc, {300, 0}, {400, 0});
    recloser->m_dReclTime = 1.25;
    recloser->m_dFeederLength = 2;
    auto* equipment = Segment<CEquipment>(doc, {400, 0}, {500, 0});
    equipment->m_dTransOutageRate = 0.02;
    equipment->m_dTransRepairTime = 150;
    auto* transformer = Segment<CTransformer>(doc, {500, 0}, {600, 0});
    transformer->m_dTransOutageRate = 0.02;
    transformer->m_dTransRepairTime = 150;
    Symbol<CLoadPoint>(doc, {600, 0});

    const std::string gml = Generated(doc);
    const std::string feederValues = "fault_rate 0.0000\nrepair_time 0.0000\nlength 0.0000\nmax_cap 10000000.0000\n";
    EXPECT_NE(gml.find("edge\n[\nsource 0\ntarget 2\nfeeder_type_id 1\nmain_feeder_id 1\nfault_rate 0.1250\n"
                       "repair_time 0.0000\nlength 0.0000\nmax_cap 10000000.0000\nswitch_id 3\ntrans_id 0\n]\n"),
              std::string::npos)
        << gml;
    EXPECT_NE(gml.find("edge\n[\nsource 2\ntarget 3\nfeeder_type_id 2\nlat_feeder_id 2\n" + feederValues +
                       "switch_id 1\ntrans_id 0\n]\n"),
              std::string::npos);
    EXPECT_NE(gml.find("edge\n[\nsource 3\ntarget 4\nfeeder_type_id 2\nlat_feeder_id 3\n" + feederValues +
                       "switch_id 2\nswitch_time 0.5000\ntrans_id 0\n]\n"),
              std::string::npos);
    // Reclosers are numbered apart, from 0, and take no feeder id.
    EXPECT_NE(gml.find("edge\n[\nsource 4\ntarget 5\nfeeder_type_id 3\nrecl_feeder_id 0\nlength 2.0000\n"
                       "max_cap 10000000.\nswitch_id 4\nrecl_time 1.2500\ntrans_id 0\n]\n"),
              std::string::npos);
    const std::string transformerTail = "switch_id 0\ntrans_id 1\ntrans_outage_rate 0.0200\ntrans_repair_time 150.0000\n]\n";
    EXPECT_NE(gml.find("source 5\ntarget 6\nfeeder_type_id 2\nlat_feeder_id 4\n" + feederValues + transformerTail),
              std::string::npos);
    EXPECT_NE(gml.find("source 6\ntarget 1\nfeeder_type_id 2\nlat_feeder_id 5\n" + feederValues + transformerTail),
              std::string::npos);
    // Terminal edge ids start two above the last widget's.
    EXPECT_NE(gml.find("node\n[\nid 7\ncomponent_id 4\n]\nedge\n[\nsource 1\ntarget 7\nfeeder_type_id 1\n"
                       "main_feeder_id 7\n"),
              std::string::npos);
}

TEST(GMLGenerator, NumbersNodesAsDrawn)
{
    struct Case {
        const char* name;
        void (*draw)(CKorvaneDoc&);
        void (*check)(CKorvaneDoc&, const std::string&);
    };
    const Case cases[] = {
        {"without a gen source the first load point is node 0",
         [](CKorvaneDoc& doc) {
             Symbol<CLoadPoint>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0});
             Symbol<CLoadPoint>(doc, {100, 0});
         },
         [](CKorvaneDoc& doc, const std::string& gml) {
             EXPECT_EQ(doc.m_pLoadPoints->GetAt(0)->m_nNodeId, 0);
             EXPECT_EQ(Count(gml, "component_id 2"), 0);
         }},
        {"without load points there is a terminal and no terminal edge",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0});
             Segment<CLine>(doc, {100, 0}, {200, 0});
             Symbol<CGenSource>(doc, {200, 0});
         },
         [](CKorvaneDoc&, const std::string& gml) {
             EXPECT_EQ(Count(gml, "component_id 4"), 1);
             EXPECT_EQ(Count(gml, "main_feeder_id"), 0);
         }},
        {"two gen sources share the one supply node",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0});
             Symbol<CLoadPoint>(doc, {100, 0});
             Segment<CLine>(doc, {100, 0}, {200, 0});
             Symbol<CGenSource>(doc, {200, 0});
         },
         [](CKorvaneDoc& doc, const std::string& gml) {
             EXPECT_EQ(Count(gml, "component_id 2"), 1);
             EXPECT_EQ(doc.m_pGenSources->GetAt(1)->m_nNodeId, 0);
             EXPECT_EQ(doc.m_pLines->GetAt(1)->m_target, 0);
         }},
        {"lines drawn end to end share one junction",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0});
             Segment<CLine>(doc, {100, 0}, {200, 0});
             Symbol<CLoadPoint>(doc, {200, 0});
         },
         [](CKorvaneDoc& doc, const std::string& gml) {
             EXPECT_EQ(doc.m_pLines->GetAt(0)->m_target, 2);
             EXPECT_EQ(doc.m_pLines->GetAt(1)->m_source, 2);
             EXPECT_EQ(Count(gml, "component_id 3"), 1);
         }},
        {"a main feeder writes its main feeder id",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0})->m_nFeederType = 1;
             Symbol<CLoadPoint>(doc, {100, 0});
         },
         [](CKorvaneDoc& doc, const std::string& gml) {
             EXPECT_EQ(doc.m_pLines->GetAt(0)->m_nMainFeederId, 1);
             EXPECT_NE(gml.find("feeder_type_id 1\nmain_feeder_id 1\n"), std::string::npos);
         }},
        {"lines on a bus bar share its node, which gets a junction record",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0});
             Segment<CBusBar>(doc, {100, 0}, {100, 200});
             Segment<CLine>(doc, {100, 200}, {200, 200});
             Symbol<CLoadPoint>(doc, {200, 200});
         },
         [](CKorvaneDoc& doc, const std::string& gml) {
             const std::int32_t bar = doc.m_pBusBars->GetAt(0)->m_source;
             EXPECT_EQ(bar, 2);
             EXPECT_EQ(doc.m_pLines->GetAt(0)->m_target, bar);
             EXPECT_EQ(doc.m_pLines->GetAt(1)->m_source, bar);
             EXPECT_NE(gml.find("node\n[\nid 2\ncomponent_id 3\n]\n"), std::string::npos);
         }},
        {"touching bus bars share one node through a chain, whatever their order",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0});
             Segment<CBusBar>(doc, {100, 0}, {100, 100});
             Segment<CBusBar>(doc, {100, 200}, {100, 300});
             Segment<CBusBar>(doc, {100, 100}, {100, 200});
             Segment<CLine>(doc, {100, 300}, {200, 300});
             Symbol<CLoadPoint>(doc, {200, 300});
         },
         [](CKorvaneDoc& doc, const std::string& gml) {
             for (int i = 0; i < 3; ++i)
                 EXPECT_EQ(doc.m_pBusBars->GetAt(i)->m_source, 2) << "bar " << i;
             EXPECT_EQ(doc.m_pLines->GetAt(1)->m_source, 2);
             EXPECT_EQ(Count(gml, "component_id 3"), 1);
         }},
        {"a bus bar that a gen source stands on is the supply node",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CBusBar>(doc, {0, 0}, {0, 100});
             Segment<CLine>(doc, {0, 100}, {100, 100});
             Symbol<CLoadPoint>(doc, {100, 100});
         },
         [](CKorvaneDoc& doc, const std::string& gml) {
             EXPECT_EQ(doc.m_pBusBars->GetAt(0)->m_source, 0);
             EXPECT_EQ(doc.m_pLines->GetAt(0)->m_source, 0);
             EXPECT_EQ(Count(gml, "component_id 3"), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKorvaneDoc doc;
        c.draw(doc);
        const std::string gml = Generated(doc);
        c.check(doc, gml);
        // Generating again resets and repeats every number.
        EXPECT_EQ(Generated(doc), gml);
    }
}

TEST(GMLGenerator, ValidateListsEveryUnconnectedWidget)
{
    CKorvaneDoc doc;
    Symbol<CGenSource>(doc, {0, 0});
    Segment<CLine>(doc, {0, 0}, {100, 0});
    Symbol<CLoadPoint>(doc, {100, 0});
    CLoadPoint* alone = Symbol<CLoadPoint>(doc, {500, 500});
    CFuse* halfway = Segment<CFuse>(doc, {100, 0}, {100, 300});
    CBusBar* bar = Segment<CBusBar>(doc, {800, 0}, {900, 0});

    CGMLGenerator generator(&doc);
    EXPECT_FALSE(generator.Validate());
    ASSERT_EQ(generator.GetErrors().GetSize(), 3);
    EXPECT_EQ(generator.GetErrors().GetAt(0), alone);
    EXPECT_EQ(generator.GetErrors().GetAt(1), halfway);
    EXPECT_EQ(generator.GetErrors().GetAt(2), bar);
}

// A feeder type other than 1 or 2 (a damaged file) gets the lateral id its record writes, and the
// engine refuses the text naming the line instead of reading a feeder id of -1.
TEST(GMLGenerator, OddFeederTypeKeepsItsRecordConsistent)
{
    CKorvaneDoc doc;
    Symbol<CGenSource>(doc, {0, 0});
    CLine* line = Segment<CLine>(doc, {0, 0}, {100, 0});
    line->m_nFeederType = 0;
    Symbol<CLoadPoint>(doc, {100, 0});
    const std::string gml = Generated(doc);
    EXPECT_NE(gml.find("feeder_type_id 0\nlat_feeder_id 1\n"), std::string::npos) << gml;
    EXPECT_EQ(line->m_nMainFeederId, -1);
    EXPECT_EQ(CAnalyticalSimulator().Run(gml, 0, 1, 1).error,
              "Error : cannot load the network's GML text: line 20: unknown \"feeder_type_id\" 0 (expected 1 to 3)");
}

// Regression: an end took only the numbers of widgets before it in the list, and a later match
// overwrote an earlier one, so ends that the check accepts as touching could get two different
// nodes and the network fell apart in the GML: the loads beyond the split were never supplied.
TEST(GMLGenerator, EndsTheCheckJoinsShareOneNode)
{
    struct Case {
        const char* name;
        CPoint secondStart;  // where the line after the first one starts
        CPoint branchStart;  // where the third line starts
    };
    const Case cases[] = {
        // The first line's end holds (95, 0) in its handle square; (95, 0)'s square does not hold
        // (100, 0): the squares are half-open, so the touch is seen from one side only.
        {"a touch seen from the earlier widget only", {95, 0}, {95, 0}},
        // (100, 0) and (108, 0) do not touch each other; (104, 0) touches both.
        {"ends joined through a third end", {108, 0}, {104, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKorvaneDoc doc;
        Symbol<CGenSource>(doc, {0, 0});
        CLine* first = Segment<CLine>(doc, {0, 0}, {100, 0});
        CLine* second = Segment<CLine>(doc, c.secondStart, {300, 0});
        CLine* branch = Segment<CLine>(doc, c.branchStart, {c.branchStart.x, 200});
        Symbol<CLoadPoint>(doc, {300, 0})->m_nNumCustomers = 10;
        Symbol<CLoadPoint>(doc, {c.branchStart.x, 200})->m_nNumCustomers = 10;
        for (CLine* line : {first, second, branch})
            line->m_dFaultRate = 0.1, line->m_dRepairTime = 2, line->m_dFeederLength = 1;

        const std::string gml = Generated(doc);
        EXPECT_EQ(second->m_source, first->m_target);
        EXPECT_EQ(branch->m_source, first->m_target);
        EXPECT_EQ(Count(gml, "component_id 3"), 1) << gml;
        // Every load is reached from the supply: no load is left "counted as supplied".
        const CAnalyticalResult result = CAnalyticalSimulator().Run(gml, 0, 1, 3);
        ASSERT_TRUE(result.ok) << result.error;
        for (const std::string& warning : result.warnings)
            EXPECT_EQ(warning.find("no closed path"), std::string::npos) << warning;
    }
}

// Regression: where one node touched several symbols it took the supply's or the first load's
// number, and every further load had no edge: it was counted as always supplied, so its customers
// lowered SAIFI as if they never lost supply.
TEST(GMLGenerator, EverySymbolOnOneNodeIsFedThroughIt)
{
    // A source, a breaker and a line (0.5 faults a year, 4 hours each) to (100, 0); a load point of
    // 10 customers there, and one of 30 customers where the case puts it.
    struct Case {
        const char* name;
        CPoint second;
        bool busBar;  // a bus bar from the line's end to (160, 0)
        double saifi;
        double saidi;
    };
    const Case cases[] = {
        {"two load points on one line end", {95, 0}, false, 0.5, 2.0},
        {"a load point on a bus bar's other end", {160, 0}, true, 0.5, 2.0},
        // The breaker clears the line's fault: the load point at the source never loses supply.
        {"a load point at the source", {0, 0}, false, 0.125, 0.5},
        // Its body lies on the source's and touches no line end.
        {"a load point touching only the source", {-9, 9}, false, 0.125, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKorvaneDoc doc;
        Symbol<CGenSource>(doc, {0, 0});
        Segment<CCircuitBreaker>(doc, {0, 0}, {20, 0});
        CLine* line = Segment<CLine>(doc, {20, 0}, {100, 0});
        line->m_dFaultRate = 0.5, line->m_dRepairTime = 4, line->m_dFeederLength = 1;
        if (c.busBar)
            Segment<CBusBar>(doc, {100, 0}, {160, 0});
        CLoadPoint* first = Symbol<CLoadPoint>(doc, {100, 0});
        first->m_nNumCustomers = 10;
        first->m_dLoad = 1;
        CLoadPoint* second = Symbol<CLoadPoint>(doc, c.second);
        second->m_nNumCustomers = 30;
        second->m_dLoad = 1;

        const std::string gml = Generated(doc);
        // Asked for more, the run faults the two drawn feeders only: the links are not feeders.
        const CAnalyticalResult result = CAnalyticalSimulator().Run(gml, 0, 1, 100);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.faultedFeeders, 2);
        for (const std::string& warning : result.warnings)
            EXPECT_EQ(warning.find("no closed path"), std::string::npos) << warning << "\n" << gml;
        EXPECT_NEAR(result.metrics.SAIFI, c.saifi, 1e-12) << gml;
        EXPECT_NEAR(result.metrics.SAIDI, c.saidi, 1e-12) << gml;
    }
}

// Regression: a generator made before widgets were deleted indexed past the end of a collection.
TEST(GMLGenerator, PassesOverWidgetsRemovedSinceItWasMade)
{
    CKorvaneDoc doc;
    Symbol<CGenSource>(doc, {0, 0});
    Segment<CLine>(doc, {0, 0}, {100, 0});
    CBusBar* bar = Segment<CBusBar>(doc, {100, 0}, {100, 100});
    CLoadPoint* load = Symbol<CLoadPoint>(doc, {100, 100});
    CGMLGenerator generator(&doc);
    doc.RemoveWidget(load);
    doc.RemoveWidget(bar);
    EXPECT_FALSE(generator.Validate());
    generator.Generate();
    EXPECT_EQ(Count(generator.GetGML(), "component_id 1"), 0);
}
