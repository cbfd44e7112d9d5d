// The index of where widgets lie, held to a walk over every widget on random drawings: what it
// finds for a repaint or a click, and the widget a click binds, before and after edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "editor/EditController.h"
#include "editor/FigureGeometry.h"
#include "editor/WidgetIndex.h"
#include "model/LoadPoint.h"
#include "platform/Archive.h"
#include "tests/Drawing.h"

namespace {

constexpr CTextReach kText{40, 20};

// Widgets of every type over a few hundred units, piled so that clicks meet several at once, with
// now and then a wide pen, a long name, a long slanted segment or a point at the coordinate limits.
void DrawRandom(CKorvaneDoc& doc, std::mt19937& random, int count)
{
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int i = 0; i < count; ++i) {
        const auto type = static_cast<WidgetType>(pick(0, kWidgetTypeCount - 1));
        const CPoint start(pick(-200, 900), pick(-200, 700));
        CPoint end = start + CPoint(pick(-150, 150), pick(-150, 150));
        if (pick(0, 3) == 0)
            end = CPoint(end.x, start.y);  // flat, as the editor draws most
        if (pick(0, 40) == 0)
            end = start + CPoint(pick(-30000, 30000), pick(-30000, 30000));
        if (pick(0, 60) == 0)
            end = CPoint(pick(0, 1) == 0 ? INT32_MIN : INT32_MAX, pick(0, 1) == 0 ? INT32_MIN : INT32_MAX);
        auto w = NewWidget(type, start, end);
        const int widths[] = {1, 1, 1, 2, 0, -4, 9, 64, 300, 100000};
        w->m_nWidth = widths[pick(0, 9)];
        if (type == WidgetType::LoadPoint)
            static_cast<CLoadPoint&>(*w).m_strName =
                std::string(static_cast<std::size_t>(pick(0, 40)), 'W') + (pick(0, 5) == 0 ? "\n\nX" : "");
        doc.AddWidget(std::move(w));
    }
}

struct WidgetIndexTest : testing::Test {
    CKorvaneDoc doc;
    CEditController view{doc};
    std::mt19937 random{20240611};

    WidgetIndexTest()
    {
        doc.m_workspace.m_nSnapGrid = 0;
        view.GetIndex().SetTextReach(kText);
    }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    CPoint Near()
    {
        const std::vector<CWidget*> all = doc.GetWidgetsInOrder();
        if (all.empty() || Pick(0, 4) == 0)
            return {Pick(-300, 1100), Pick(-300, 900)};
        const CWidget* w = all[static_cast<std::size_t>(Pick(0, static_cast<int>(all.size()) - 1))];
        return (Pick(0, 1) == 0 ? w->GetStartPoint() : figure::Midpoint(w->GetStartPoint(), w->GetEndPoint())) +
               CPoint(Pick(-25, 25), Pick(-25, 25));
    }

    // The index against the walk over every widget, for random points and areas.
    void ExpectSameAsEveryWidget(const char* after)
    {
        SCOPED_TRACE(after);
        CWidgetIndex& index = view.GetIndex();
        for (int round = 0; round < 150; ++round) {
            const CPoint p = Near();
            const auto hits = index.FindHits(p);
            for (int t = 0; t < kWidgetTypeCount; ++t) {
                const auto type = static_cast<WidgetType>(t);
                // The widget a press binds, its part and end, as when the mode looked at every one.
                for (const int grid : {0, 10}) {
                    doc.m_workspace.m_nSnapGrid = grid;
                    const auto everyWidget = MakeMode(type, doc);
                    const auto indexed = MakeMode(type, doc);
                    everyWidget->OnLButtonDown(p);
                    indexed->OnLButtonDown(p, hits[t]);
                    ASSERT_EQ(indexed->GetWidget(), everyWidget->GetWidget()) << WidgetTypeName(type) << " at " << p.x
                                                                              << "," << p.y;
                    ASSERT_EQ(indexed->GetPart(), everyWidget->GetPart());
                    ASSERT_EQ(indexed->GetEnd(), everyWidget->GetEnd());
                }
                doc.m_workspace.m_nSnapGrid = 0;
            }

            const CRect area = CRect(p, p + CPoint(Pick(0, 400), Pick(0, 300)));
            std::vector<const CWidget*> boxed;
            for (const CWidget* w : doc.GetWidgetsInOrder()) {
                if (CWidgetIndex::DrawnBox(*w, kText).Meets(area))
                    boxed.push_back(w);
            }
            ASSERT_EQ(index.FindDrawn(area), boxed);
        }
    }
};

}  // namespace

TEST_F(WidgetIndexTest, FindsWhatAWalkOverEveryWidgetFindsThroughEdits)
{
    DrawRandom(doc, random, 600);
    ExpectSameAsEveryWidget("drawn");

    // Drags of bodies and ends, and one put back by Escape.
    for (int drag = 0; drag < 40; ++drag) {
        const CPoint from = Near();
        view.OnLButtonDown(from, false, false);
        view.OnMouseMove(from + CPoint(Pick(-300, 300), Pick(-300, 300)));
        const CPoint to = from + CPoint(Pick(-300, 300), Pick(-300, 300));
        view.OnMouseMove(to);
        if (drag % 10 == 9)
            view.OnEscape();
        else
            view.OnLButtonUp(to);
    }
    ExpectSameAsEveryWidget("moved");

    view.OnTool(WidgetType::Fuse);
    view.OnLButtonDown({50, 60}, false, false);
    view.OnLButtonUp({120, 60});
    view.OnSelect();
    DrawRandom(doc, random, 20);
    ExpectSameAsEveryWidget("added");

    CClipboard clipboard;
    view.OnLButtonDown({-300, -300}, false, false);
    view.OnMouseMove({300, 300});
    view.OnLButtonUp({300, 300});
    view.OnEditCut(clipboard);
    ExpectSameAsEveryWidget("cut");
    view.OnEditPaste(clipboard);
    view.OnEditPaste(clipboard);
    ExpectSameAsEveryWidget("pasted");

    // Past the document's own calls: a feeder put in its collection without a name, a name without
    // its widget, and then widgets added as the editor adds them.
    doc.m_pLines->Add(std::make_unique<CLine>(CPoint(10, 10), CPoint(90, 10), 1, 0));
    ExpectSameAsEveryWidget("a widget without its name");
    doc.m_widgetOrder.push_back("Fuse");
    ExpectSameAsEveryWidget("a name without its widget");
    DrawRandom(doc, random, 10);
    ExpectSameAsEveryWidget("added after those");

    for (int i = 0; i < 5; ++i) {
        view.SelectWidget(doc.GetWidgetsInOrder()[static_cast<std::size_t>(Pick(0, 100))]);
        view.OnDelete();
    }
    ExpectSameAsEveryWidget("deleted");

    // Moved and renamed by hand, then told.
    CWidget* w = doc.GetWidgetsInOrder()[7];
    w->SetStartPoint(w->GetStartPoint() + CPoint(500, -400));
    view.GetIndex().Update(w);
    if (doc.m_pLoadPoints->GetSize() > 0) {
        doc.m_pLoadPoints->GetAt(0)->m_strName = std::string(200, 'M');
        view.GetIndex().Update(doc.m_pLoadPoints->GetAt(0));
    }
    ExpectSameAsEveryWidget("moved by hand");

    // The stored network read back into the same document, as reverting to the saved file does;
    // the widgets are new objects in new places.
    CArchive out;
    doc.Serialize(out);
    CKorvaneDoc other;
    DrawRandom(other, random, 50);
    CArchive store;
    other.Serialize(store);
    CArchive in(store.GetBuffer(), ModelClassRegistry());
    doc.Serialize(in);
    ExpectSameAsEveryWidget("loaded another");
    CArchive back(out.GetBuffer(), ModelClassRegistry());
    doc.Serialize(back);
    ExpectSameAsEveryWidget("loaded back");
}

namespace {

// A feeder that counts the hit tests made on it.
class CCountedLine : public CLine {
public:
    CCountedLine(CPoint start, CPoint end, int* tests) : CLine(start, end, 1, 0), m_tests(tests) {}
    bool HitTest(CPoint p) const override
    {
        ++*m_tests;
        return CLine::HitTest(p);
    }

private:
    int* m_tests;
};

}  // namespace

// Regression: a press hit-tested every widget of the drawing, a tenth of a second at 7,500 widgets
// and two seconds at 117,000; it now tests only the few widgets near the point.
TEST_F(WidgetIndexTest, APressTestsOnlyTheWidgetsNearIt)
{
    int tests = 0;
    for (int row = 0; row < 100; ++row)
        for (int column = 0; column < 100; ++column)
            doc.AddWidget(std::make_unique<CCountedLine>(CPoint(column * 200, row * 50),
                                                         CPoint(column * 200 + 150, row * 50), &tests));
    view.OnLButtonDown({5075, 2501}, false, false);
    view.OnLButtonUp({5075, 2501});
    ASSERT_EQ(view.GetSelectedWidgets().size(), 1u);
    EXPECT_EQ(view.GetSelectedWidgets()[0]->GetStartPoint(), CPoint(5000, 2500));
    EXPECT_LE(tests, 10);
}
