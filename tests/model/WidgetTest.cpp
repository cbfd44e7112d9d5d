#include <gtest/gtest.h>

#include "model/Collections.h"

TEST(Widget, SegmentHitTestsAreHalfOpenAndInclusiveAlongTheBody)
{
    const CLine horizontal(CPoint(10, 50), CPoint(110, 50), 1, 0x808080);  // t = 4
    const CLine vertical(CPoint(30, 10), CPoint(30, 110), 1, 0);
    const CLine diagonal(CPoint(0, 0), CPoint(100, 100), 2, 0);  // t = 5
    const CFuse dot(CPoint(100, 100), CPoint(100, 100), 1, 0);
    struct Case {
        const CSegmentWidget* widget;
        CPoint p;
        bool body, start, end;
    };
    const Case cases[] = {
        {&horizontal, {60, 46}, true, false, false},
        {&horizontal, {60, 53}, true, false, false},
        {&horizontal, {60, 54}, false, false, false},
        {&horizontal, {10, 50}, true, true, false},
        {&horizontal, {110, 50}, false, false, true},
        {&horizontal, {9, 50}, false, true, false},
        {&vertical, {26, 60}, true, false, false},
        {&vertical, {34, 60}, false, false, false},
        {&diagonal, {50, 50}, true, false, false},
        {&diagonal, {53, 47}, true, false, false},
        {&diagonal, {56, 44}, false, false, false},
        {&dot, {100, 100}, false, true, true},
        {&dot, {95, 95}, false, true, true},
        {&dot, {104, 104}, false, true, true},
        {&dot, {105, 100}, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.widget->HitTest(c.p), c.body) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.widget->HitTestStart(c.p), c.start) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.widget->HitTestEnd(c.p), c.end) << c.p.x << "," << c.p.y;
    }
}

// Huge coordinates from a file once overflowed the 32-bit products of the body test.
TEST(Widget, HitTestsAreSafeAtTheCoordinateLimits)
{
    const CLine far(CPoint(-2000000000, -2000000000), CPoint(2000000000, 2000000000), 2147483647, 0);
    EXPECT_TRUE(far.HitTest(CPoint(0, 0)));
    EXPECT_TRUE(far.HitTest(CPoint(1000, 1000)));
    EXPECT_FALSE(far.HitTest(CPoint(2000000000, -2000000000)));
    const CLine wide(CPoint(0, 0), CPoint(10, 0), 2147483647, 0);
    EXPECT_TRUE(wide.HitTest(CPoint(5, 2000000000)));

    // Regression (found by fuzzing a file): symbol boxes and handles at the edge of the range
    // overflowed their corner arithmetic.
    const CGenSource low(CPoint(-2147483638, -2147483638), 1, 0);
    EXPECT_TRUE(low.HitTest(CPoint(-2147483648, -2147483648)));
    EXPECT_FALSE(low.HitTestStart(CPoint(0, 0)));
    const CLoadPoint high(CPoint(2147483630, 2147483630), 1, 0);
    EXPECT_TRUE(high.HitTestEnd(CPoint(2147483646, 2147483646)));
    EXPECT_FALSE(high.HitTestEnd(CPoint(2147483647, 2147483647)));  // the clamped side stays excluded
    const CFuse corner(CPoint(2147483647, -2147483647 - 1), CPoint(2147483647, -2147483647 - 1), 1, 0);
    EXPECT_TRUE(corner.HitTestStart(CPoint(2147483643, -2147483647 - 1)));
}

// Regression: growing or measuring a box around widgets at the edge of the range (from a file)
// overflowed 32 bits when the editor drew or dragged them.
TEST(Geometry, BoxesStayInsideTheCoordinateRange)
{
    const CRect edge = CRect(CPoint(INT32_MAX - 1, INT32_MIN + 1), CPoint(INT32_MIN, INT32_MAX)).Normalized();
    EXPECT_EQ(edge.Inflated(5, 5), CRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_EQ(edge.Width(), INT32_MAX);
    EXPECT_EQ(edge.Height(), INT32_MAX);
    EXPECT_EQ(CRect(0, 0, 10, 20).Inflated(2, 3), CRect(-2, -3, 12, 23));
    EXPECT_EQ(CRect(5, 5, 2, 1).Width(), -3);
}

TEST(Widget, SymbolHitTestsUseFixedBoxes)
{
    CLoadPoint load(CPoint(200, 200), 1, 0);
    CGenSource source(CPoint(100, 100), 7, 0);
    EXPECT_TRUE(load.HitTest(CPoint(190, 194)));
    EXPECT_FALSE(load.HitTest(CPoint(216, 200)));
    EXPECT_TRUE(load.HitTestEnd(CPoint(222, 222)));
    EXPECT_FALSE(load.HitTestEnd(CPoint(223, 223)));
    EXPECT_TRUE(load.HitTestStart(CPoint(186, 186)));
    EXPECT_FALSE(load.HitTestStart(CPoint(196, 196)));
    EXPECT_TRUE(source.HitTest(CPoint(89, 89)));
    EXPECT_FALSE(source.HitTest(CPoint(111, 100)));
    EXPECT_TRUE(source.HitTestEnd(CPoint(117, 117)));
    EXPECT_FALSE(source.HitTestEnd(CPoint(118, 108)));

    EXPECT_EQ(load.GetEndPoint(), load.GetStartPoint());
    load.SetEndPoint(CPoint(5, 6));
    EXPECT_EQ(load.GetStartPoint(), CPoint(5, 6));
}

TEST(Widget, ClonesCopyDatasheetValuesButNotGeneratorIdentifiers)
{
    CLoadPoint load(CPoint(1, 2), 3, 0x123456);
    load.m_connect1 = 7;
    load.m_source = 3;
    load.m_nNodeId = 4;
    load.m_nLoadId = 5;
    load.m_strName = "Farm";
    load.m_profile = {1, 2, 3};
    load.m_dLoad = 2.5;
    auto copy = load.Clone();
    auto* clone = dynamic_cast<CLoadPoint*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->m_connect1, -1);
    EXPECT_EQ(clone->m_source, -1);
    EXPECT_EQ(clone->m_nNodeId, -1);
    EXPECT_EQ(clone->m_nLoadId, -1);
    EXPECT_EQ(clone->m_strName, "Farm");
    EXPECT_EQ(clone->m_profile, load.m_profile);
    EXPECT_EQ(clone->m_dLoad, 2.5);
    EXPECT_EQ(clone->m_position, CPoint(1, 2));
    EXPECT_EQ(clone->GetWidth(), 3);
    EXPECT_EQ(clone->GetColour(), 0x123456u);
    // The clone's values are its own.
    clone->m_profile[0] = 9;
    EXPECT_EQ(load.m_profile[0], 1);

    CTransformer transformer(CPoint(0, 0), CPoint(10, 0), 1, 0);
    transformer.m_nFeederType = 1;
    transformer.m_nMainFeederId = 4;
    transformer.m_nLateralFeederId = 5;
    transformer.m_dTransOutageRate = 0.5;
    transformer.m_connect2 = 8;
    auto t = transformer.Clone();
    auto* tc = dynamic_cast<CTransformer*>(t.get());
    ASSERT_NE(tc, nullptr);
    EXPECT_EQ(tc->m_nFeederType, 1);
    EXPECT_EQ(tc->m_nMainFeederId, -1);
    EXPECT_EQ(tc->m_nLateralFeederId, -1);
    EXPECT_EQ(tc->m_connect2, -1);
    EXPECT_EQ(tc->m_dTransOutageRate, 0.5);

    CRecloser recloser(CPoint(0, 0), CPoint(10, 0), 1, 0);
    recloser.m_nReclFeederId = 12;
    recloser.m_dReclTime = 3;
    auto r = recloser.Clone();
    EXPECT_EQ(static_cast<CRecloser*>(r.get())->m_nReclFeederId, 3);
    EXPECT_EQ(static_cast<CRecloser*>(r.get())->m_dReclTime, 3);

    CBusBar bar(CPoint(0, 0), CPoint(10, 0), 2, 0);
    bar.m_nSpare = 4;
    bar.m_dSpare2 = 1.5;
    auto b = bar.Clone();
    EXPECT_EQ(static_cast<CBusBar*>(b.get())->m_nSpare, -1);
    EXPECT_EQ(static_cast<CBusBar*>(b.get())->m_dSpare2, 1.5);
}

TEST(Widget, NdlDefinitionsWriteSetAttributesInFixedOrder)
{
    CLine line(CPoint(0, 0), CPoint(1, 1), 1, 0);
    line.m_connect1 = 1;
    line.m_connect2 = 2;
    line.m_dLength = 3.5;
    line.m_dCapacity = 400;
    line.m_dFailure1 = 0.5;
    line.m_dFailure2 = 2;
    line.m_dRepair2 = 4;
    EXPECT_EQ(line.GetNDLDefinition(),
              "line: connect = 1., 2.;\\\nlength = 3.5;\\\ncapacity = 400.;\\\nfailure = 0.5, 2.;\\\n"
              "repair = 1.e-010, 4.;\\\n\n");

    CEquipment equipment(CPoint(0, 0), CPoint(1, 1), 1, 0);
    CTransformer transformer(CPoint(0, 0), CPoint(1, 1), 1, 0);
    for (CBranchWidget* w : {static_cast<CBranchWidget*>(&equipment), static_cast<CBranchWidget*>(&transformer)}) {
        w->m_connect1 = 100000;
        w->m_connect2 = 99999;
        w->m_dLength = 2;
        w->m_dIsolation1 = 0.05;
    }
    EXPECT_EQ(equipment.GetNDLDefinition(), "equipment: connect = 100000, 99999.;\\\nisolation = 5.e-002;\\\n\n");
    EXPECT_EQ(transformer.GetNDLDefinition(), equipment.GetNDLDefinition());
    EXPECT_EQ(transformer.GetGMLRecord(), equipment.GetGMLRecord());

    EXPECT_EQ(CFuse().GetNDLDefinition(), "fuse: \n");
    EXPECT_EQ(CBusBar().GetNDLDefinition(), "");
    EXPECT_EQ(CLoadPoint().GetNDLDefinition(), "load: name = \"LP\";\\\n\n");

    CLoadPoint load;
    load.m_connect1 = 0;
    load.m_nCustomers = 25;
    load.m_dPeak = 3;
    load.m_strName = "A #\"";
    load.m_profile = {1, 2, 3};
    EXPECT_EQ(load.GetNDLDefinition(),
              "load: connect = 0.;\\\ncustomers = 25.;\\\npeak = 3.;\\\nname = \"A #\"\";\\\nprofile = 1. ,2. ,3.;\\\n\n");
    load.m_profile = {1};
    load.m_strName.clear();
    EXPECT_EQ(load.GetNDLDefinition(), "load: connect = 0.;\\\ncustomers = 25.;\\\npeak = 3.;\\\nprofile = 1.;\\\n\n");

    CRecloser recloser;
    recloser.m_connect1 = 4;
    recloser.m_connect2 = 5;
    recloser.m_dReclose1 = 0.25;
    EXPECT_EQ(recloser.GetNDLDefinition(), "recloser: connect = 4., 5.;\\\nreclose = 0.25;\\\n\n");
    CGenSource source;
    source.m_connect1 = 0;
    source.m_dCapacity = 1e6;
    EXPECT_EQ(source.GetNDLDefinition(), "source: connect = 0.;\\\ncapacity = 1.e+006;\\\n\n");
    CCircuitBreaker breaker;
    breaker.m_connect1 = 1;  // one end unnumbered: no connect piece
    breaker.m_dCapacity = 12.5;
    EXPECT_EQ(breaker.GetNDLDefinition(), "breaker: capacity = 12.5;\\\n\n");
}

TEST(Widget, GmlRecordsCarryTheirCodes)
{
    CLine line;
    line.m_source = 1;
    line.m_target = 2;
    line.m_nLateralFeederId = 7;
    EXPECT_EQ(line.GetGMLRecord(),
              "edge\n[\nsource 1\ntarget 2\nfeeder_type_id 2\nlat_feeder_id 7\nfault_rate 0.0000\n"
              "repair_time 0.0000\nlength 0.0000\nmax_cap 0.0000\nswitch_id 0\ntrans_id 0\n]\n");

    CIsolator isolator;
    isolator.m_nFeederType = 1;
    isolator.m_nMainFeederId = 3;
    isolator.m_dSwitchTime = 0.5;
    isolator.m_dFaultRate = 0.12345;
    EXPECT_EQ(isolator.GetGMLRecord(),
              "edge\n[\nsource -1\ntarget -1\nfeeder_type_id 1\nmain_feeder_id 3\nfault_rate 0.1235\n"
              "repair_time 0.0000\nlength 0.0000\nmax_cap 10000000.0000\nswitch_id 2\nswitch_time 0.5000\n"
              "trans_id 0\n]\n");

    EXPECT_NE(CFuse().GetGMLRecord().find("max_cap 10000000.0000\nswitch_id 1\ntrans_id 0\n"), std::string::npos);
    EXPECT_NE(CCircuitBreaker().GetGMLRecord().find("switch_id 3\ntrans_id 0\n"), std::string::npos);
    EXPECT_NE(CEquipment().GetGMLRecord().find(
                  "switch_id 0\ntrans_id 1\ntrans_outage_rate 0.0000\ntrans_repair_time 0.0000\n]\n"),
              std::string::npos);

    CRecloser recloser;
    recloser.m_dFeederLength = 2;
    EXPECT_EQ(recloser.GetGMLRecord(),
              "edge\n[\nsource -1\ntarget -1\nfeeder_type_id 3\nrecl_feeder_id 3\nlength 2.0000\n"
              "max_cap 10000000.\nswitch_id 4\nrecl_time 0.0000\ntrans_id 0\n]\n");

    CLoadPoint load;
    load.m_nNodeId = 5;
    load.m_nLoadId = 0;
    load.m_nNumCustomers = 10;
    load.m_dLoad = 1.25;
    EXPECT_EQ(load.GetGMLRecord(), "node\n[\nid 5\ncomponent_id 1\nload_id 0\nnum_customers 10\nload 1.2500\n]\n");
    CGenSource source;
    source.m_nNodeId = 0;
    EXPECT_EQ(source.GetGMLRecord(), "node\n[\nid 0\ncomponent_id 2\n]\n");
    EXPECT_EQ(CBusBar().GetGMLRecord(), "");
}

TEST(Collection, KeepsCreationOrderAndHandsOutRemovedWidgets)
{
    CFuseCollection fuses;
    EXPECT_EQ(fuses.Find(nullptr), -1);
    CFuse* a = fuses.Add(std::make_unique<CFuse>());
    CFuse* b = fuses.Add(std::make_unique<CFuse>());
    CFuse* c = fuses.Add(std::make_unique<CFuse>());
    CFuse stranger;
    EXPECT_EQ(fuses.Find(&stranger), -1);
    auto removed = fuses.RemoveAt(0);
    EXPECT_EQ(removed.get(), a);
    EXPECT_EQ(fuses.GetAt(0), b);
    EXPECT_EQ(fuses.GetSize(), 2);
    EXPECT_EQ(fuses.Find(c), 1);
    fuses.DeleteAll();
    EXPECT_EQ(fuses.GetSize(), 0);
    fuses.DeleteAll();

    std::unique_ptr<CWidget> wrongType = std::make_unique<CLine>();
    EXPECT_EQ(fuses.AddWidget(wrongType), nullptr);
    EXPECT_NE(wrongType, nullptr);
}
