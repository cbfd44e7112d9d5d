#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"
#include "tests/Drawing.h"
#include "tests/montecarlo/NdlTestSupport.h"

using drawing::Draw;
using drawing::Segment;
using drawing::Symbol;

using namespace std::string_literals;

namespace {

// "nodes: 0 -1, 0 1": the numbers the generator gives every widget, in drawing order.
std::string Nodes(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    generator.Generate();
    std::string text = "nodes: ";
    for (const CWidget* w : doc.GetWidgetsInOrder())
        text += std::to_string(w->m_connect1) + " " + std::to_string(w->m_connect2) + ", ";
    return text.substr(0, text.size() - 2);
}

// "refuses: 1 2" or "refuses: none": the drawing positions of the widgets the connection check
// refuses. A second check on one generator lists each of them once.
std::string Refusals(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    const bool passed = generator.Validate();
    EXPECT_EQ(generator.Validate(), passed);
    const std::vector<CWidget*> order = doc.GetWidgetsInOrder();
    std::string text = "refuses:";
    for (int i = 0; i < generator.GetErrors()->GetSize(); ++i)
        text += " " + std::to_string(std::find(order.begin(), order.end(), generator.GetErrors()->GetAt(i)) -
                                     order.begin());
    EXPECT_EQ(passed, text == "refuses:");
    return text == "refuses:" ? "refuses: none" : text;
}

}  // namespace

// A source, a breaker, two feeders and two named load points, drawn end to end.
TEST(NdlGenerator, SmallNetworkGivesItsGoldenText)
{
    CKorvaneDoc doc;
    drawing::SmallNetwork(doc);
    CNDLGenerator generator(&doc);
    ASSERT_TRUE(generator.Validate());
    generator.Generate();
    testfiles::ExpectGolden(generator.GetNDL(), "montecarlo/small-network.ndl");

    // The numbers stay in the widgets, and a second run gives the same text.
    EXPECT_EQ(Nodes(doc), "nodes: 0 -1, 0 1, 1 2, 2 3, 3 -1, 1 -1");
    const std::string first = generator.GetNDL();
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(), first);
}

TEST(NdlGenerator, NumbersAndChecksEachDrawingOfTheTable)
{
    for (const testfiles::TableCase& c : testfiles::ReadTable("montecarlo/ndl-numbering.txt")) {
        for (std::size_t k = 1; k < c.fields.size(); ++k) {
            CKorvaneDoc doc;
            Draw(doc, c.fields[0]);
            const bool nodes = c.fields[k].rfind("nodes:", 0) == 0;
            EXPECT_EQ(nodes ? Nodes(doc) : Refusals(doc), c.fields[k]) << "ndl-numbering.txt:" << c.line;
        }
    }
}

// The widgets drawn since the generator was made are not seen, nor are the list's names that stand
// for no widget; a widget removed since then is not reached through the stale size.
TEST(NdlGenerator, WritesOnlyTheWidgetsTheListNamedAtConstruction)
{
    CKorvaneDoc doc;
    const std::string system = doc.m_pSimulationSettings->GetNDLDefinition();
    Segment<CLine>(doc, {0, 0}, {100, 0});
    Segment<CBusBar>(doc, {0, 300}, {100, 300});
    doc.m_widgetOrder.push_back("Line");
    doc.m_widgetOrder.push_back("line");
    doc.m_widgetOrder.push_back("Pylon");
    CNDLGenerator generator(&doc);
    auto* late = Segment<CFuse>(doc, {500, 500}, {600, 500});
    EXPECT_FALSE(generator.Validate());
    ASSERT_EQ(generator.GetErrors()->GetSize(), 2);
    generator.Generate();
    EXPECT_EQ(generator.GetNDL(), system + "line: connect = 1., 2.;\\\n\n");
    EXPECT_EQ(late->m_connect1, -1);

    CKorvaneDoc removed;
    Segment<CLine>(removed, {0, 0}, {100, 0});
    CNDLGenerator stale(&removed);
    removed.m_pLines->RemoveAt(0);  // taken from the collection while the list still names it
    EXPECT_TRUE(stale.Validate());
    stale.Generate();
    EXPECT_EQ(stale.GetNDL(), system);
}

// Names that would end the NDL string early, start a comment, macro or continuation, or break the
// line come only from old files; the check refuses them and names the load point.
TEST(NdlConnectionCheck, RefusesLoadPointNamesTheTextCannotCarry)
{
    // Regression: control characters other than CR and LF (NUL, BEL, ESC, TAB, DEL, and the C1
    // controls NEL and CSI) passed.
    const std::vector<std::string> names{"A\"B", "A#B", "A\\B", "A$B", "A\rB", "A\nB", "A\0B"s,
                                         "A\aB", "A\x1b", "A\tB", "A\x7f", "A\xc2\x85", "A\xc2\x9b"};
    for (const std::string& name : names) {
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
    EXPECT_TRUE(CNDLGenerator::IsNameWritable("M\xc3\xbchle \xe4"));  // bytes above 127 are no control characters
    EXPECT_TRUE(CNDLGenerator::IsNameWritable("\xc2\xa0\xc2\xb0 \xc3\x82\xc2"));  // nor are NBSP, the degree sign
}
