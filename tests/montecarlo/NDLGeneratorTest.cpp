#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"
#include "tests/Drawing.h"

namespace {

constexpr COLORREF kGrey = 0x808080;

using drawing::Segment;
using drawing::Symbol;

using Nodes = std::vector<std::pair<int, int>>;

// The node numbers of every widget, in drawing order.
Nodes NodesInOrder(const CKorvaneDoc& doc)
{
    Nodes nodes;
    for (const CWidget* w : doc.GetWidgetsInOrder())
        nodes.emplace_back(w->m_connect1, w->m_connect2);
    return nodes;
}

Nodes Generate(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    generator.Generate();
    return NodesInOrder(doc);
}

// A drawing and the node numbers the generator gives its widgets, in drawing order.
struct NumberingCase {
    const char* what;
    void (*draw)(CKorvaneDoc&);
    Nodes nodes;
};

void ExpectNumbering(std::span<const NumberingCase> cases)
{
    for (const NumberingCase& c : cases) {
        CKorvaneDoc doc;
        c.draw(doc);
        EXPECT_EQ(Generate(doc), c.nodes) << c.what;
    }
}

std::vector<const CWidget*> Failures(CKorvaneDoc& doc, bool* passed = nullptr)
{
    CNDLGenerator generator(&doc);
    const bool result = generator.Validate();
    if (passed != nullptr)
        *passed = result;
    std::vector<const CWidget*> failed;
    for (int i = 0; i < generator.GetErrors()->GetSize(); ++i)
        failed.push_back(generator.GetErrors()->GetAt(i));
    return failed;
}

const std::string kDefaultSystem =
    "system: quantsPerDay = 0.;\\\n"
    "yearStep = 100.;\\\n"
    "yearMax = 1000000.;\\\n"
    "yearMin = 100.;\\\n"
    "accuracy = 5.e-002;\\\n"
    "maxFlow = 1.;\\\n"
    "fuses = 1.;\\\n"
    "isolators = 1.;\\\n"
    "reclosers = 1.;\\\n"
    "\n";

}  // namespace

TEST(NdlGenerator, EmptyDocumentGivesTheSystemDefinitionAlone)
{
    CKorvaneDoc doc;
    CNDLGenerator generator(&doc);
    EXPECT_TRUE(generator.Validate());
    EXPECT_EQ(generator.GetErrors()->GetSize(), 0);
    EXPECT_EQ(generator.GetNDL(), "");
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(), kDefaultSystem);
}

// A source, a breaker, two feeders and two named load points, drawn end to end.
TEST(NdlGenerator, SmallNetworkGivesItsTextByteForByte)
{
    CKorvaneDoc doc;
    drawing::SmallNetwork(doc);

    CNDLGenerator generator(&doc);
    ASSERT_TRUE(generator.Validate());
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(),
              "system: quantsPerDay = 24.;\\\n"
              "yearStep = 100.;\\\n"
              "yearMax = 1000000.;\\\n"
              "yearMin = 100.;\\\n"
              "accuracy = 5.e-002;\\\n"
              "maxFlow = 1.;\\\n"
              "fuses = 1.;\\\n"
              "isolators = 1.;\\\n"
              "reclosers = 1.;\\\n"
              "\n"
              "source: connect = 0.;\\\n"
              "capacity = 1000.;\\\n"
              "\n"
              "line: connect = 0., 1.;\\\n"
              "length = 2.;\\\n"
              "capacity = 500.;\\\n"
              "failure = 0.1, 1.5;\\\n"
              "isolation = 1.;\\\n"
              "repair = 4., 2.;\\\n"
              "\n"
              "breaker: connect = 1., 2.;\\\n"
              "capacity = 800.;\\\n"
              "\n"
              "line: connect = 2., 3.;\\\n"
              "length = 0.5;\\\n"
              "failure = 1.e-010, 2.;\\\n"
              "\n"
              "load: connect = 3.;\\\n"
              "customers = 10.;\\\n"
              "average = 5.;\\\n"
              "peak = 8.;\\\n"
              "name = \"Mill\";\\\n"
              "profile = 1. ,2. ,3.;\\\n"
              "\n"
              "load: connect = 1.;\\\n"
              "customers = 3.;\\\n"
              "average = 2.5;\\\n"
              "name = \"Farm\";\\\n"
              "\n");

    // The numbers stay in the widgets, and a second run gives the same text.
    EXPECT_EQ(NodesInOrder(doc), (Nodes{{0, -1}, {0, 1}, {1, 2}, {2, 3}, {3, -1}, {1, -1}}));
    const std::string first = generator.GetNDL();
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(), first);
}

TEST(NdlGenerator, CleanDrawingsKeepTheirNumbering)
{
    const NumberingCase cases[] = {
        {"a lone bus bar is numbered first, a lone line gets two new numbers, start first",
         [](CKorvaneDoc& d) {
             Segment<CLine>(d, {0, 0}, {100, 0});
             Segment<CBusBar>(d, {0, 300}, {100, 300});
         },
         {{1, 2}, {0, 0}}},
        {"a bus bar touching an earlier one's end shares its number; one touching nothing gets the next",
         [](CKorvaneDoc& d) {
             Segment<CBusBar>(d, {0, 0}, {100, 0});
             Segment<CBusBar>(d, {200, 0}, {100, 0});
             Segment<CBusBar>(d, {0, 500}, {100, 500});
         },
         {{0, 0}, {0, 0}, {1, 1}}},
        {"two lines end to end: the second takes the first's end number",
         [](CKorvaneDoc& d) {
             Segment<CLine>(d, {0, 0}, {100, 0});
             Segment<CLine>(d, {200, 0}, {100, 0});
         },
         {{0, 1}, {2, 1}}},
        {"a load point on the free end of an earlier line takes that end's number",
         [](CKorvaneDoc& d) {
             Segment<CLine>(d, {0, 0}, {100, 0});
             Symbol<CLoadPoint>(d, {100, 0});
         },
         {{0, 1}, {1, -1}}},
        {"a load point drawn first gets a number, and the line's end takes it",
         [](CKorvaneDoc& d) {
             Symbol<CLoadPoint>(d, {100, 0});
             Segment<CLine>(d, {0, 0}, {100, 0});
         },
         {{0, -1}, {1, 0}}},
        {"lines ending on a bus bar's ends take the bus bar's number",
         [](CKorvaneDoc& d) {
             Segment<CFuse>(d, {0, 0}, {100, 0});
             Segment<CBusBar>(d, {100, 0}, {100, 200});
             Segment<CIsolator>(d, {100, 200}, {300, 200});
             Segment<CRecloser>(d, {300, 200}, {400, 200});
             Segment<CEquipment>(d, {400, 200}, {500, 200});
             Segment<CTransformer>(d, {500, 200}, {600, 200});
             Symbol<CGenSource>(d, {0, 0});
         },
         {{1, 0}, {0, 0}, {0, 2}, {2, 3}, {3, 4}, {4, 5}, {1, -1}}},
        {"the worked example: source, line, breaker, line, load",
         [](CKorvaneDoc& d) {
             Symbol<CGenSource>(d, {10, 10});
             Segment<CLine>(d, {10, 10}, {110, 10});
             Segment<CCircuitBreaker>(d, {110, 10}, {150, 10});
             Segment<CLine>(d, {150, 10}, {250, 10});
             Symbol<CLoadPoint>(d, {250, 10});
         },
         {{0, -1}, {0, 1}, {1, 2}, {2, 3}, {3, -1}}},
    };
    ExpectNumbering(cases);
}

// Ends the connection check accepts as touching always share a node, also where the one-sided
// tests of each widget would have given them different numbers.
TEST(NdlGenerator, EveryTouchingPairSharesOneNode)
{
    const NumberingCase cases[] = {
        {"a load point whose box holds a bus bar's end",
         [](CKorvaneDoc& d) {
             Segment<CBusBar>(d, {0, 0}, {100, 0});
             Symbol<CLoadPoint>(d, {104, 4});
         },
         {{0, 0}, {0, -1}}},
        {"a bus bar joining two bus bars drawn apart: one node for the chain",
         [](CKorvaneDoc& d) {
             Segment<CBusBar>(d, {0, 0}, {100, 0});
             Segment<CBusBar>(d, {200, 0}, {300, 0});
             Segment<CBusBar>(d, {100, 0}, {200, 0});
             Segment<CLine>(d, {300, 0}, {300, 100});
         },
         {{0, 0}, {0, 0}, {0, 0}, {0, 1}}},
        {"a line ending inside a load point drawn before it, off its handle",
         [](CKorvaneDoc& d) {
             Symbol<CLoadPoint>(d, {100, 100});
             Segment<CLine>(d, {0, 100}, {110, 110});
         },
         {{0, -1}, {1, 0}}},
        {"ends exactly five apart: only one handle holds the other's end",
         [](CKorvaneDoc& d) {
             Segment<CLine>(d, {105, 0}, {200, 0});
             Segment<CLine>(d, {0, 0}, {100, 0});
         },
         {{0, 1}, {2, 0}}},
        {"a source touching a bus bar's end",
         [](CKorvaneDoc& d) {
             Symbol<CGenSource>(d, {0, 0});
             Segment<CBusBar>(d, {5, 5}, {100, 5});
         },
         {{0, -1}, {0, 0}}},
    };
    ExpectNumbering(cases);
}

TEST(NdlGenerator, WalksOnlyTheWidgetsTheListNamesAtConstruction)
{
    CKorvaneDoc doc;
    Segment<CLine>(doc, {0, 0}, {100, 0});
    Segment<CBusBar>(doc, {0, 300}, {100, 300});
    // Surplus and unknown entries stand for no widget.
    doc.m_widgetOrder.push_back("Line");
    doc.m_widgetOrder.push_back("line");
    doc.m_widgetOrder.push_back("Pylon");
    CNDLGenerator generator(&doc);
    // A widget added after the generator was made is not seen.
    auto* late = Segment<CFuse>(doc, {500, 500}, {600, 500});
    EXPECT_FALSE(generator.Validate());
    ASSERT_EQ(generator.GetErrors()->GetSize(), 2);
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(), kDefaultSystem + "line: connect = 1., 2.;\\\n\n");
    EXPECT_EQ(late->m_connect1, -1);
}

// A widget removed after the generator was made must not be reached through the stale size.
TEST(NdlGenerator, ToleratesWidgetsRemovedSinceConstruction)
{
    CKorvaneDoc doc;
    Segment<CLine>(doc, {0, 0}, {100, 0});
    CNDLGenerator generator(&doc);
    // Taken from the collection while the list still names it.
    doc.m_pLines->RemoveAt(0);
    EXPECT_TRUE(generator.Validate());
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(), kDefaultSystem);
}

TEST(NdlGenerator, BusBarsAddNoText)
{
    CKorvaneDoc doc;
    Segment<CBusBar>(doc, {0, 0}, {100, 0});
    Segment<CBusBar>(doc, {100, 0}, {200, 0});
    CNDLGenerator generator(&doc);
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(), kDefaultSystem);
}

TEST(NdlConnectionCheck, ListsExactlyTheUnconnectedWidgetsInDrawingOrder)
{
    struct Case {
        const char* what;
        void (*draw)(CKorvaneDoc&);
        std::vector<int> failing;  // positions in drawing order
    };
    const Case cases[] = {
        {"a lone line", [](CKorvaneDoc& d) { Segment<CLine>(d, {0, 0}, {100, 0}); }, {0}},
        {"a lone load point", [](CKorvaneDoc& d) { Symbol<CLoadPoint>(d, {0, 0}); }, {0}},
        {"a line touching only at its start",
         [](CKorvaneDoc& d) {
             Symbol<CGenSource>(d, {0, 0});
             Segment<CLine>(d, {0, 0}, {100, 0});
         },
         {1}},
        {"two lines end to end with free other ends",
         [](CKorvaneDoc& d) {
             Segment<CLine>(d, {0, 0}, {100, 0});
             Segment<CLine>(d, {100, 0}, {200, 0});
         },
         {0, 1}},
        {"a chain from a source through lines to a load point",
         [](CKorvaneDoc& d) {
             Symbol<CGenSource>(d, {0, 0});
             Segment<CLine>(d, {0, 0}, {100, 0});
             Segment<CFuse>(d, {100, 0}, {150, 0});
             Segment<CLine>(d, {150, 0}, {250, 0});
             Symbol<CLoadPoint>(d, {250, 0});
         },
         {}},
        {"a load point on a bus bar's end, and the bus bar's other end on a source",
         [](CKorvaneDoc& d) {
             Segment<CBusBar>(d, {0, 0}, {100, 0});
             Symbol<CLoadPoint>(d, {100, 0});
             Symbol<CGenSource>(d, {0, 0});
         },
         {}},
        {"a load point touching only another load point",
         [](CKorvaneDoc& d) {
             Symbol<CLoadPoint>(d, {100, 100});
             Symbol<CLoadPoint>(d, {105, 105});
         },
         {}},
        {"a bus bar with widgets ending on its middle only",
         [](CKorvaneDoc& d) {
             Segment<CBusBar>(d, {0, 0}, {200, 0});
             Segment<CLine>(d, {100, 0}, {100, 100});
             Symbol<CLoadPoint>(d, {100, 100});
         },
         {0, 1}},
        {"a line ending inside a load point's box, off its own handle",
         [](CKorvaneDoc& d) {
             Symbol<CLoadPoint>(d, {100, 100});
             Segment<CLine>(d, {0, 100}, {110, 110});
             Symbol<CGenSource>(d, {0, 100});
         },
         {}},
        {"several kinds failing, listed in drawing order",
         [](CKorvaneDoc& d) {
             Segment<CTransformer>(d, {0, 0}, {100, 0});
             Symbol<CGenSource>(d, {100, 0});
             Segment<CRecloser>(d, {1000, 0}, {1100, 0});
             Symbol<CLoadPoint>(d, {3000, 3000});
             Segment<CBusBar>(d, {100, 0}, {100, 500});
         },
         {0, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        CKorvaneDoc doc;
        c.draw(doc);
        const std::vector<CWidget*> order = doc.GetWidgetsInOrder();
        std::vector<const CWidget*> expected;
        for (int i : c.failing)
            expected.push_back(order[static_cast<std::size_t>(i)]);
        bool passed = false;
        EXPECT_EQ(Failures(doc, &passed), expected) << c.what;
        EXPECT_EQ(passed, expected.empty()) << c.what;
    }
}

// A second check on one generator lists each failure once.
TEST(NdlConnectionCheck, RepeatedCheckDoesNotRepeatFailures)
{
    CKorvaneDoc doc;
    Segment<CLine>(doc, {0, 0}, {100, 0});
    CNDLGenerator generator(&doc);
    EXPECT_FALSE(generator.Validate());
    EXPECT_FALSE(generator.Validate());
    EXPECT_EQ(generator.GetErrors()->GetSize(), 1);
    EXPECT_EQ(generator.GetErrorReason(0), "not connected");
}

// Names that would end the NDL string early, start a comment, macro or continuation, or break the
// line come only from old files; the check refuses them and names the load point.
TEST(NdlConnectionCheck, RefusesLoadPointNamesTheTextCannotCarry)
{
    const std::string bad[] = {"A\"B", "A#B", "A\\B", "A$B", "A\rB", "A\nB"};
    for (const std::string& name : bad) {
        CKorvaneDoc doc;
        Symbol<CGenSource>(doc, {0, 0});
        auto* load = Symbol<CLoadPoint>(doc, {0, 0});
        load->m_strName = name;
        CNDLGenerator generator(&doc);
        EXPECT_FALSE(generator.Validate()) << name;
        ASSERT_EQ(generator.GetErrors()->GetSize(), 1) << name;
        EXPECT_EQ(generator.GetErrors()->GetAt(0), load);
        EXPECT_NE(generator.GetErrorReason(0).find("load point \"A"), std::string::npos) << generator.GetErrorReason(0);
    }
    EXPECT_TRUE(CNDLGenerator::IsNameWritable("Mill 3 (north), 11kV; 'B' feeder"));
}

namespace {

// The one-sided numbering rules, followed literally: each widget takes numbers only from bus bars
// and from widgets drawn before it, through its own hit tests. Only used to show that drawings
// whose ends meet cleanly come out the same.
void ReferenceNumbering(CKorvaneDoc& doc)
{
    const std::vector<CWidget*> order = doc.GetWidgetsInOrder();
    for (CWidget* w : order)
        w->m_connect1 = w->m_connect2 = -1;
    int counter = 0;
    const CBusBarCollection& bars = *doc.m_pBusBars;
    for (int i = 0; i < bars.GetSize(); ++i) {
        CBusBar* b = bars.GetAt(i);
        if (bars.GetSize() >= 2) {
            for (int j = 0; j < bars.GetSize() && b->m_connect1 == -1; ++j) {
                const CBusBar* o = bars.GetAt(j);
                if (o == b)
                    continue;
                const CPoint s = o->GetStartPoint(), e = o->GetEndPoint();
                if (b->HitTestStart(s) && o->m_connect1 != -1)
                    b->m_connect1 = b->m_connect2 = o->m_connect1;
                else if (b->HitTestStart(e) && o->m_connect2 != -1)
                    b->m_connect1 = b->m_connect2 = o->m_connect2;
                else if (b->HitTestEnd(s) && o->m_connect1 != -1)
                    b->m_connect1 = b->m_connect2 = o->m_connect1;
                else if (b->HitTestEnd(e) && o->m_connect2 != -1)
                    b->m_connect1 = b->m_connect2 = o->m_connect2;
            }
        }
        if (b->m_connect1 == -1)
            b->m_connect1 = b->m_connect2 = counter++;
    }
    for (CWidget* w : order) {
        if (w->GetType() == WidgetType::BusBar)
            continue;
        if (w->IsTwoEnded()) {
            for (const CWidget* o : order) {
                if (o == w)
                    continue;
                const CPoint s = o->GetStartPoint(), e = o->GetEndPoint();
                if (o->IsTwoEnded()) {
                    if (w->HitTestStart(s) && o->m_connect1 != -1) w->m_connect1 = o->m_connect1;
                    if (w->HitTestStart(e) && o->m_connect2 != -1) w->m_connect1 = o->m_connect2;
                    if (w->HitTestEnd(s) && o->m_connect1 != -1) w->m_connect2 = o->m_connect1;
                    if (w->HitTestEnd(e) && o->m_connect2 != -1) w->m_connect2 = o->m_connect2;
                } else {
                    if (w->HitTestStart(s) && o->m_connect1 != -1) w->m_connect1 = o->m_connect1;
                    if (w->HitTestEnd(s) && o->m_connect1 != -1) w->m_connect2 = o->m_connect1;
                }
                if (w->m_connect1 != -1 && w->m_connect2 != -1)
                    break;
            }
            if (w->m_connect1 == -1)
                w->m_connect1 = counter++;
            if (w->m_connect2 == -1)
                w->m_connect2 = counter++;
        } else {
            for (const CWidget* o : order) {
                if (o == w || o->GetType() == WidgetType::BusBar)
                    continue;
                const CPoint s = o->GetStartPoint(), e = o->GetEndPoint();
                if (w->HitTest(s) && o->m_connect1 != -1) w->m_connect1 = o->m_connect1;
                if (o->IsTwoEnded() && w->HitTest(e) && o->m_connect2 != -1) w->m_connect1 = o->m_connect2;
                if (w->m_connect1 != -1)
                    break;
            }
            if (w->m_connect1 == -1)
                w->m_connect1 = counter++;
        }
    }
}

}  // namespace

// Random drawings on a coarse grid whose ends meet exactly: no bus bar touches another and no
// symbol sits on a bus bar, the two places where the one-sided rules split a node.
TEST(NdlGenerator, CleanRandomDrawingsNumberAsTheOneSidedRulesDo)
{
    std::mt19937 random(12345);
    auto grid = [&random] {
        return CPoint(static_cast<int>(random() % 5) * 100, static_cast<int>(random() % 5) * 100);
    };
    for (int drawing = 0; drawing < 400; ++drawing) {
        CKorvaneDoc doc;
        std::vector<CPoint> busBarEnds, symbols;
        auto used = [](const std::vector<CPoint>& v, CPoint p) { return std::find(v.begin(), v.end(), p) != v.end(); };
        const int count = 1 + static_cast<int>(random() % 14);
        for (int i = 0; i < count; ++i) {
            const int kind = static_cast<int>(random() % kWidgetTypeCount);
            const auto type = static_cast<WidgetType>(kind);
            if (type == WidgetType::LoadPoint || type == WidgetType::GenSource) {
                const CPoint p = grid();
                if (used(busBarEnds, p))
                    continue;
                symbols.push_back(p);
                if (type == WidgetType::LoadPoint)
                    Symbol<CLoadPoint>(doc, p);
                else
                    Symbol<CGenSource>(doc, p);
                continue;
            }
            const CPoint a = grid(), b = grid();
            if (a == b)
                continue;
            if (type == WidgetType::BusBar) {
                if (used(busBarEnds, a) || used(busBarEnds, b) || used(symbols, a) || used(symbols, b))
                    continue;
                busBarEnds.push_back(a);
                busBarEnds.push_back(b);
            }
            std::unique_ptr<CWidget> w;
            switch (type) {
            case WidgetType::Line: w = std::make_unique<CLine>(a, b, 1, kGrey); break;
            case WidgetType::CircuitBreaker: w = std::make_unique<CCircuitBreaker>(a, b, 1, kGrey); break;
            case WidgetType::Fuse: w = std::make_unique<CFuse>(a, b, 1, kGrey); break;
            case WidgetType::Recloser: w = std::make_unique<CRecloser>(a, b, 1, kGrey); break;
            case WidgetType::Isolator: w = std::make_unique<CIsolator>(a, b, 1, kGrey); break;
            case WidgetType::BusBar: w = std::make_unique<CBusBar>(a, b, 2, kGrey); break;
            case WidgetType::Equipment: w = std::make_unique<CEquipment>(a, b, 1, kGrey); break;
            default: w = std::make_unique<CTransformer>(a, b, 1, kGrey); break;
            }
            doc.AddWidget(std::move(w));
        }
        ReferenceNumbering(doc);
        const Nodes expected = NodesInOrder(doc);
        EXPECT_EQ(Generate(doc), expected) << "drawing " << drawing;
    }
}

// Where two ends stop touching: a segment's end handle is the half-open square [-5, 5) around
// it, a load point's body [-10, 16) x [-6, 21) and a gen source's [-11, 11) x [-11, 11) around
// its point. Ends touch when either one's area holds the other's point (so two segment ends
// touch at (5, 5) and (-5, -5) apart, not at (5, -5)); then the check passes and both ends carry
// one node, else both widgets fail and get nodes of their own.
TEST(NdlConnectionCheck, EndsTouchExactlyWithinTheirHitAreas)
{
    enum class Pair { LineToLine, LineToLoadPoint, LineToGenSource };
    struct Case {
        Pair pair;
        CPoint offset;  // of the line's end from the other end
        bool touch;
    };
    const Case cases[] = {
        {Pair::LineToLine, {0, 0}, true},        {Pair::LineToLine, {5, 5}, true},
        {Pair::LineToLine, {-5, -5}, true},      {Pair::LineToLine, {5, -5}, false},
        {Pair::LineToLine, {-5, 5}, false},      {Pair::LineToLine, {6, 0}, false},
        {Pair::LineToLine, {0, -6}, false},      {Pair::LineToLine, {-6, 6}, false},
        {Pair::LineToLine, {5, 6}, false},       {Pair::LineToLoadPoint, {15, 20}, true},
        {Pair::LineToLoadPoint, {-10, -6}, true}, {Pair::LineToLoadPoint, {16, 0}, false},
        {Pair::LineToLoadPoint, {0, 21}, false}, {Pair::LineToLoadPoint, {-11, 0}, false},
        {Pair::LineToLoadPoint, {0, -7}, false}, {Pair::LineToGenSource, {10, 10}, true},
        {Pair::LineToGenSource, {-11, -11}, true}, {Pair::LineToGenSource, {11, 0}, false},
        {Pair::LineToGenSource, {0, -12}, false},
    };
    for (const Case& c : cases) {
        // A source feeding line A, whose far end meets the tested end; a load point closes B.
        CKorvaneDoc doc;
        const CPoint meet(1000, 1000);
        const CPoint moved(meet.x + c.offset.x, meet.y + c.offset.y);
        Nodes touching, apart;
        switch (c.pair) {
        case Pair::LineToLine:
            Symbol<CGenSource>(doc, {0, 0});
            Segment<CLine>(doc, {0, 0}, meet);
            Segment<CLine>(doc, moved, {2000, 0});
            Symbol<CLoadPoint>(doc, {2000, 0});
            touching = {{0, -1}, {0, 1}, {1, 2}, {2, -1}};
            apart = {{0, -1}, {0, 1}, {2, 3}, {3, -1}};
            break;
        case Pair::LineToLoadPoint:
            Symbol<CGenSource>(doc, {0, 0});
            Segment<CLine>(doc, {0, 0}, moved);
            Symbol<CLoadPoint>(doc, meet);
            touching = {{0, -1}, {0, 1}, {1, -1}};
            apart = {{0, -1}, {0, 1}, {2, -1}};
            break;
        case Pair::LineToGenSource:
            Symbol<CLoadPoint>(doc, {0, 0});
            Segment<CLine>(doc, {0, 0}, moved);
            Symbol<CGenSource>(doc, meet);
            touching = {{0, -1}, {0, 1}, {1, -1}};
            apart = {{0, -1}, {0, 1}, {2, -1}};
            break;
        }
        const std::vector<CWidget*> order = doc.GetWidgetsInOrder();
        std::vector<const CWidget*> failing;
        if (!c.touch)
            failing = {order[1], order[2]};  // the two widgets whose ends meet
        bool passed = false;
        EXPECT_EQ(Failures(doc, &passed), failing) << static_cast<int>(c.pair) << " at " << c.offset.x << "," << c.offset.y;
        EXPECT_EQ(passed, c.touch);
        EXPECT_EQ(Generate(doc), c.touch ? touching : apart)
            << static_cast<int>(c.pair) << " at " << c.offset.x << "," << c.offset.y;
    }
}
