#include <gtest/gtest.h>

#include "model/Collections.h"
#include "platform/Archive.h"

namespace {

// The widget's stored record: equal bytes, equal stored values.
std::vector<std::uint8_t> Record(CWidget& widget)
{
    CArchive ar;
    widget.Serialize(ar);
    return ar.GetBuffer();
}

}  // namespace

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

// A clone keeps the datasheet's values and geometry; the numbers and ids the generators give
// go back to unset (a recloser's feeder id to its 3), and its values are its own.
TEST(Widget, ClonesCopyDatasheetValuesButNotGeneratorIdentifiers)
{
    CLoadPoint load(CPoint(1, 2), 3, 0x123456);
    load.m_connect1 = 7, load.m_source = 3, load.m_nNodeId = 4, load.m_nLoadId = 5;
    load.m_strName = "Farm", load.m_profile = {1, 2, 3}, load.m_dLoad = 2.5;
    CTransformer transformer(CPoint(0, 0), CPoint(10, 0), 1, 0);
    transformer.m_nFeederType = 1, transformer.m_nMainFeederId = 4, transformer.m_nLateralFeederId = 5;
    transformer.m_dTransOutageRate = 0.5, transformer.m_connect2 = 8;
    CRecloser recloser(CPoint(0, 0), CPoint(10, 0), 1, 0);
    recloser.m_nReclFeederId = 12, recloser.m_dReclTime = 3;
    CBusBar bar(CPoint(0, 0), CPoint(10, 0), 2, 0);
    bar.m_nSpare = 4, bar.m_dSpare2 = 1.5;
    // The expected clone: the original with the generators' numbers unset.
    CLoadPoint loadClone = load;
    loadClone.m_connect1 = loadClone.m_source = loadClone.m_nNodeId = loadClone.m_nLoadId = -1;
    CTransformer transformerClone = transformer;
    transformerClone.m_nMainFeederId = transformerClone.m_nLateralFeederId = transformerClone.m_connect2 = -1;
    CRecloser recloserClone = recloser;
    recloserClone.m_nReclFeederId = 3;
    CBusBar barClone = bar;
    barClone.m_nSpare = -1;
    const std::pair<CWidget*, CWidget*> cases[] = {
        {&load, &loadClone}, {&transformer, &transformerClone}, {&recloser, &recloserClone}, {&bar, &barClone}};
    for (const auto& [original, expected] : cases)
        EXPECT_EQ(Record(*original->Clone()), Record(*expected)) << original->GetRuntimeClass().name;
    auto copy = load.Clone();
    static_cast<CLoadPoint&>(*copy).m_profile[0] = 9;
    EXPECT_EQ(load.m_profile[0], 1);
}

TEST(Widget, NdlDefinitionsWriteSetAttributesInFixedOrder)
{
    CLine line(CPoint(0, 0), CPoint(1, 1), 1, 0);
    line.m_connect1 = 1, line.m_connect2 = 2, line.m_dLength = 3.5, line.m_dCapacity = 400;
    line.m_dFailure1 = 0.5, line.m_dFailure2 = 2, line.m_dRepair2 = 4;
    EXPECT_EQ(line.GetNDLDefinition(),
              "line: connect = 1., 2.;\\\nlength = 3.5;\\\ncapacity = 400.;\\\nfailure = 0.5, 2.;\\\n"
              "repair = 1.e-010, 4.;\\\n\n");

    CEquipment equipment(CPoint(0, 0), CPoint(1, 1), 1, 0);
    CTransformer transformer(CPoint(0, 0), CPoint(1, 1), 1, 0);
    for (CBranchWidget* w : {static_cast<CBranchWidget*>(&equipment), static_cast<CBranchWidget*>(&transformer)})
        w->m_connect1 = 100000, w->m_connect2 = 99999, w->m_dLength = 2, w->m_dIsolation1 = 0.05;
    EXPECT_EQ(equipment.GetNDLDefinition(), "equipment: connect = 100000, 99999.;\\\nisolation = 5.e-002;\\\n\n");
    EXPECT_EQ(transformer.GetNDLDefinition(), equipment.GetNDLDefinition());
    EXPECT_EQ(transformer.GetGMLRecord(), equipment.GetGMLRecord());

    EXPECT_EQ(CFuse().GetNDLDefinition(), "fuse: \n");
    EXPECT_EQ(CBusBar().GetNDLDefinition(), "");
    EXPECT_EQ(CBusBar().GetGMLRecord(), "");
    EXPECT_EQ(CLoadPoint().GetNDLDefinition(), "load: name = \"LP\";\\\n\n");

    CLoadPoint load;
    load.m_connect1 = 0, load.m_nCustomers = 25, load.m_dPeak = 3, load.m_strName = "A #\"", load.m_profile = {1, 2, 3};
    EXPECT_EQ(load.GetNDLDefinition(),
              "load: connect = 0.;\\\ncustomers = 25.;\\\npeak = 3.;\\\nname = \"A #\"\";\\\nprofile = 1. ,2. ,3.;\\\n\n");
    load.m_profile = {1};
    load.m_strName.clear();
    EXPECT_EQ(load.GetNDLDefinition(), "load: connect = 0.;\\\ncustomers = 25.;\\\npeak = 3.;\\\nprofile = 1.;\\\n\n");

    CRecloser recloser;
    recloser.m_connect1 = 4, recloser.m_connect2 = 5, recloser.m_dReclose1 = 0.25;
    EXPECT_EQ(recloser.GetNDLDefinition(), "recloser: connect = 4., 5.;\\\nreclose = 0.25;\\\n\n");
    CGenSource source;
    source.m_connect1 = 0, source.m_dCapacity = 1e6;
    EXPECT_EQ(source.GetNDLDefinition(), "source: connect = 0.;\\\ncapacity = 1.e+006;\\\n\n");
    CCircuitBreaker breaker;
    breaker.m_connect1 = 1, breaker.m_dCapacity = 12.5;  // one end unnumbered: no connect piece
    EXPECT_EQ(breaker.GetNDLDefinition(), "breaker: capacity = 12.5;\\\n\n");
}
