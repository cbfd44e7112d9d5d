#include <gtest/gtest.h>

#include "analytical/AnalyticalSimulator.h"
#include "analytical/GMLGenerator.h"
#include "tests/Drawing.h"
#include "tests/TestFiles.h"

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

// A record of every kind: the supply, junctions, load points, a line with its datasheet's
// defaults, main and lateral feeders with every switch and both kinds of equipment, a recloser
// (numbered apart, from 0, with no feeder id), and the terminal, whose edge ids start two above
// the last widget's.
TEST(GMLGenerator, WritesEveryKindOfRecordByteForByte)
{
    CKorvaneDoc doc;
    Symbol<CGenSource>(doc, {0, 0});
    auto* breaker = Segment<CCircuitBreaker>(doc, {0, 0}, {100, 0});
    breaker->m_nFeederType = 1;
    breaker->m_dFaultRate = 0.125;
    Segment<CFuse>(doc, {100, 0}, {200, 0});
    Segment<CIsolator>(doc, {200, 0}, {300, 0})->m_dSwitchTime = 0.5;
    auto* recloser = Segment<CRecloser>(doc, {300, 0}, {400, 0});
    recloser->m_dReclTime = 1.25;
    recloser->m_dFeederLength = 2;
    for (CEquipmentBase* e : {static_cast<CEquipmentBase*>(Segment<CEquipment>(doc, {400, 0}, {500, 0})),
                              static_cast<CEquipmentBase*>(Segment<CTransformer>(doc, {500, 0}, {600, 0}))}) {
        e->m_dTransOutageRate = 0.02;
        e->m_dTransRepairTime = 150;
    }
    Symbol<CLoadPoint>(doc, {600, 0});
    CLine* line = Segment<CLine>(doc, {600, 0}, {700, 0});
    CLoadPoint* load = Symbol<CLoadPoint>(doc, {700, 0});
    testfiles::ExpectGolden(Generated(doc), "analytical/every-kind.gml");
    // The numbers go back to the widgets too.
    EXPECT_EQ(line->m_nLateralFeederId, 6);
    EXPECT_EQ(line->m_target, load->m_nNodeId);
    EXPECT_EQ(load->m_nLoadId, 1);
}

// How ends join into nodes is the end groups' rule; what the GML makes of those nodes is here.
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
        {"the node of lines on a bus bar gets one junction record",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CLine>(doc, {0, 0}, {100, 0});
             Segment<CBusBar>(doc, {100, 0}, {100, 200});
             Segment<CLine>(doc, {100, 200}, {200, 200});
             Symbol<CLoadPoint>(doc, {200, 200});
         },
         [](CKorvaneDoc&, const std::string& gml) { EXPECT_EQ(Count(gml, "component_id 3"), 1); }},
        {"a bus bar that a gen source stands on is the supply node, no junction",
         [](CKorvaneDoc& doc) {
             Symbol<CGenSource>(doc, {0, 0});
             Segment<CBusBar>(doc, {0, 0}, {0, 100});
             Segment<CLine>(doc, {0, 100}, {100, 100});
             Symbol<CLoadPoint>(doc, {100, 100});
         },
         [](CKorvaneDoc&, const std::string& gml) { EXPECT_EQ(Count(gml, "component_id 3"), 0); }},
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
        double saifi, saidi;
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
        first->m_nNumCustomers = 10, first->m_dLoad = 1;
        CLoadPoint* second = Symbol<CLoadPoint>(doc, c.second);
        second->m_nNumCustomers = 30, second->m_dLoad = 1;

        const std::string gml = Generated(doc);
        // Asked for more, the run faults the two drawn feeders only: the links are not feeders.
        const CAnalyticalResult result = CAnalyticalSimulator().Run(gml, 0, 1, 100);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.faultedFeeders, 2);
        EXPECT_TRUE(result.warnings.empty()) << result.warnings.front() << "\n" << gml;
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
