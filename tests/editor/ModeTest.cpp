#include <gtest/gtest.h>

#include <limits>

#include "tests/editor/EditorTestSupport.h"
#include "editor/EditController.h"
#include "editor/FigureGeometry.h"
#include "editor/WidgetModes.h"

namespace {

struct ModeTest : testing::Test {
    CKorvaneDoc doc;
    ModeTest() { doc.m_workspace.m_nSnapGrid = 0; }
};

CPoint Adapted(CPoint start, CPoint end)
{
    CMode::AdaptiveAdjust(start.x, start.y, &end);
    return end;
}

}  // namespace

TEST(ModeGeometry, SnapGoesToTheNearestMultipleWithHalvesUp)
{
    const struct {
        int value, grid, expected;
    } cases[] = {{25, 10, 30}, {24, 10, 20}, {-25, 10, -20}, {-26, 10, -30}, {0, 10, 0},
                 {7, 5, 5},    {8, 5, 10},   {13, 0, 13},    {999, 20, 1000}};
    for (const auto& c : cases) {
        CPoint p(c.value, c.value);
        CMode::SnapToGrid(&p, c.grid);
        EXPECT_EQ(p, CPoint(c.expected, c.expected)) << c.value << " on " << c.grid;
    }
}

TEST(ModeGeometry, AdaptiveDrawingSquaresTheSegment)
{
    EXPECT_EQ(Adapted({100, 100}, {130, 110}), CPoint(130, 100));
    EXPECT_EQ(Adapted({100, 100}, {105, 140}), CPoint(100, 140));
    EXPECT_EQ(Adapted({100, 100}, {130, 130}), CPoint(130, 100));  // an exact diagonal goes flat
    EXPECT_EQ(Adapted({100, 100}, {70, 70}), CPoint(70, 100));
    EXPECT_EQ(Adapted({100, 100}, {100, 150}), CPoint(100, 150));  // already square
}

TEST_F(ModeTest, PlacingSnapsAndAddsGreyWidgetsOfTheirWidth)
{
    doc.m_workspace.m_nSnapGrid = 10;
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        const auto type = static_cast<WidgetType>(t);
        auto mode = MakeMode(type, doc);
        mode->OnLButtonUp({13, 27}, {58, 95}, {58, 95});
        const CCollectionBase& c = doc.GetCollection(type);
        ASSERT_EQ(c.GetSize(), 1) << WidgetTypeName(type);
        const CWidget* w = c.GetWidgetAt(0);
        EXPECT_EQ(w->GetWidth(), type == WidgetType::BusBar ? 2 : 1);
        EXPECT_EQ(w->GetColour(), RGB(128, 128, 128));
        if (w->IsTwoEnded()) {
            EXPECT_EQ(w->GetStartPoint(), CPoint(10, 30));
            EXPECT_EQ(w->GetEndPoint(), CPoint(60, 100));
        } else {
            EXPECT_EQ(w->GetStartPoint(), CPoint(60, 100));  // at the release, snapped
        }
        EXPECT_EQ(mode->GetWidget(), w);
        EXPECT_EQ(doc.m_widgetOrder.back(), WidgetTypeName(type));
    }
    EXPECT_TRUE(doc.IsModified());
    ExpectOrderInStep(doc);
}

TEST_F(ModeTest, PlacingWithoutGridKeepsThePointsAndAdaptsBeforeSnapping)
{
    CLineMode mode(doc);
    mode.OnLButtonUp({13, 27}, {58, 95}, {58, 95});
    EXPECT_EQ(doc.m_pLines->GetAt(0)->GetEndPoint(), CPoint(58, 95));

    doc.m_workspace.m_bAdaptiveDrawing = 1;
    doc.m_workspace.m_nSnapGrid = 10;
    mode.OnLButtonUp({100, 100}, {133, 112}, {133, 112});
    EXPECT_EQ(doc.m_pLines->GetAt(1)->GetStartPoint(), CPoint(100, 100));
    EXPECT_EQ(doc.m_pLines->GetAt(1)->GetEndPoint(), CPoint(130, 100));
}

TEST_F(ModeTest, HitPrefersEndHandlesAndTheLowestIndex)
{
    AddTo<CLine>(doc, CPoint(100, 100), CPoint(200, 100), 1, 0);
    AddTo<CLine>(doc, CPoint(100, 100), CPoint(200, 100), 1, 0);
    const struct {
        CPoint press;
        int part, end;
    } cases[] = {{{150, 101}, 1, 2}, {{198, 101}, 2, 1}, {{102, 99}, 2, 0}, {{150, 120}, 0, 2}};
    for (const auto& c : cases) {
        CLineMode mode(doc);
        mode.OnLButtonDown(c.press);
        EXPECT_EQ(mode.GetPart(), c.part) << c.press.x << "," << c.press.y;
        EXPECT_EQ(mode.GetEnd(), c.end);
        EXPECT_EQ(mode.IsSelected(), c.part != 0);
        if (c.part != 0) {
            EXPECT_EQ(mode.GetWidget(), doc.m_pLines->GetAt(0));
        }
    }
}

TEST_F(ModeTest, PointSymbolsHitByBodyAndOnlyTheLoadPointByHandle)
{
    AddTo<CLoadPoint>(doc, CPoint(200, 200), 1, 0);
    AddTo<CGenSource>(doc, CPoint(400, 400), 1, 0);
    CLoadPointMode lp(doc);
    lp.OnLButtonDown({222, 222});
    EXPECT_EQ(lp.GetPart(), 2);
    EXPECT_EQ(lp.GetEnd(), 1);
    CGenSourceMode gs(doc);
    gs.OnLButtonDown({409, 409});  // inside both the body and the end handle
    EXPECT_EQ(gs.GetPart(), 1);
    EXPECT_FALSE(gs.HitSelectedEnds({410, 410}));
    CGenSourceMode miss(doc);
    miss.OnLButtonDown({415, 415});  // the end handle alone never binds a gen source
    EXPECT_FALSE(miss.IsSelected());
}

TEST_F(ModeTest, BodyDragMovesBothEndsAndFollowsTheGrid)
{
    CLine* line = AddTo<CLine>(doc, CPoint(100, 100), CPoint(200, 100), 1, 0);
    CLineMode mode(doc);
    mode.OnLButtonDown({150, 100});
    mode.SnapPoint({150, 100});
    ViewCursor cursor = ViewCursor::Unchanged;
    mode.OnMouseMove({157, 103}, cursor);
    EXPECT_EQ(line->GetStartPoint(), CPoint(107, 103));
    EXPECT_EQ(line->GetEndPoint(), CPoint(207, 103));
    EXPECT_EQ(cursor, ViewCursor::SizeAll);
    EXPECT_TRUE(doc.IsModified());

    // With a grid the widget moves in whole steps and keeps up with a mouse that lands on one.
    doc.m_workspace.m_nSnapGrid = 10;
    mode.SnapPoint({157, 103});  // reference (160, 100)
    mode.OnMouseMove({170, 100}, cursor);
    EXPECT_EQ(line->GetStartPoint(), CPoint(117, 103));
    mode.OnMouseMove({174, 96}, cursor);
    EXPECT_EQ(line->GetStartPoint(), CPoint(117, 103));
    mode.OnMouseMove({176, 96}, cursor);
    EXPECT_EQ(line->GetStartPoint(), CPoint(127, 103));
}

TEST_F(ModeTest, EndDragSnapsThenAdaptsAroundTheFixedEnd)
{
    doc.m_workspace.m_nSnapGrid = 10;
    doc.m_workspace.m_bAdaptiveDrawing = 1;
    CLine* line = AddTo<CLine>(doc, CPoint(100, 100), CPoint(200, 100), 1, 0);
    CLineMode mode(doc);
    mode.OnLButtonDown({200, 100});
    ASSERT_EQ(mode.GetPart(), 2);
    ASSERT_EQ(mode.GetEnd(), 1);
    ViewCursor cursor = ViewCursor::Unchanged;
    mode.OnMouseMove({244, 117}, cursor);  // snapped to (240, 120), then squared to the start
    EXPECT_EQ(line->GetEndPoint(), CPoint(240, 100));
    EXPECT_EQ(line->GetStartPoint(), CPoint(100, 100));
    EXPECT_EQ(cursor, ViewCursor::SizeNWSE);

    CLineMode startMode(doc);
    startMode.OnLButtonDown({100, 100});
    ASSERT_EQ(startMode.GetEnd(), 0);
    startMode.OnMouseMove({236, 31}, cursor);  // (240, 30): straight above the end, kept
    EXPECT_EQ(line->GetStartPoint(), CPoint(240, 30));
    startMode.OnMouseMove({96, 31}, cursor);  // (100, 30), squared to the end's row
    EXPECT_EQ(line->GetStartPoint(), CPoint(100, 100));
}

TEST_F(ModeTest, LoadPointHeldByAHandleStaysButMarksModified)
{
    CLoadPoint* lp = AddTo<CLoadPoint>(doc, CPoint(200, 200), 1, 0);
    CLoadPointMode mode(doc);
    mode.OnLButtonDown({222, 222});
    ViewCursor cursor = ViewCursor::Unchanged;
    mode.OnMouseMove({300, 300}, cursor);
    EXPECT_EQ(lp->GetStartPoint(), CPoint(200, 200));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ModeTest, CancelPutsTheWidgetBack)
{
    CFuse* fuse = AddTo<CFuse>(doc, CPoint(0, 0), CPoint(0, 50), 1, 0);
    CFuseMode mode(doc);
    mode.OnLButtonDown({1, 25});
    mode.SnapPoint({1, 25});
    ViewCursor cursor;
    mode.OnMouseMove({41, 65}, cursor);
    ASSERT_EQ(fuse->GetStartPoint(), CPoint(40, 40));
    mode.Cancel();
    EXPECT_EQ(fuse->GetStartPoint(), CPoint(0, 0));
    EXPECT_EQ(fuse->GetEndPoint(), CPoint(0, 50));
}

TEST_F(ModeTest, RegionalRedrawCoversTheOldAndTheNewPlace)
{
    doc.m_workspace.m_nRedrawMode = 1;
    AddTo<CBusBar>(doc, CPoint(0, 0), CPoint(100, 0), 2, 0);
    CBusBarMode mode(doc);
    mode.OnLButtonDown({50, 1});
    mode.SnapPoint({50, 1});
    ViewCursor cursor;
    const CRedraw r = mode.OnMouseMove({50, 301}, cursor);
    ASSERT_FALSE(r.full);
    ASSERT_EQ(r.regions.size(), 2u);
    EXPECT_EQ(r.regions[0], CRect(-10, -10, 110, 10));
    EXPECT_EQ(r.regions[1], CRect(-10, 290, 110, 310));

    doc.m_workspace.m_nRedrawMode = 0;
    EXPECT_TRUE(mode.OnMouseMove({50, 1}, cursor).full);
}

TEST_F(ModeTest, SelectInRectTakesWidgetsWithAHandlePointInside)
{
    AddTo<CLine>(doc, CPoint(0, 0), CPoint(50, 50), 1, 0);      // end inside
    AddTo<CLine>(doc, CPoint(200, 200), CPoint(300, 300), 1, 0);  // wholly outside
    AddTo<CLine>(doc, CPoint(100, 100), CPoint(0, 0), 1, 0);    // start on the excluded edge
    AddTo<CLoadPoint>(doc, CPoint(36, 36), 1, 0);                // (50, 50) inside
    AddTo<CLoadPoint>(doc, CPoint(120, 120), 1, 0);              // (106, 106) outside
    CLineMode lines(doc);
    const auto found = lines.SelectInRect({100, 100}, {40, 40});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->GetWidget(), doc.m_pLines->GetAt(0));
    EXPECT_EQ(found[0]->GetPart(), 1);
    CLoadPointMode points(doc);
    EXPECT_EQ(points.SelectInRect({40, 40}, {100, 100}).size(), 1u);
    EXPECT_TRUE(lines.SelectInRect({50, 50}, {50, 50}).empty());
}

TEST_F(ModeTest, DeleteRemovesTheMatchingWidgetOrderEntry)
{
    AddTo<CLine>(doc, CPoint(0, 0), CPoint(10, 0), 1, 0);
    AddTo<CFuse>(doc, CPoint(0, 10), CPoint(10, 10), 1, 0);
    CLine* second = AddTo<CLine>(doc, CPoint(0, 20), CPoint(10, 20), 1, 0);
    AddTo<CBusBar>(doc, CPoint(0, 30), CPoint(10, 30), 2, 0);
    CLine* third = AddTo<CLine>(doc, CPoint(0, 40), CPoint(10, 40), 1, 0);
    CLineMode mode(doc);
    mode.SelectMatching(second);
    EXPECT_TRUE(mode.DeleteWidget());
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Line", "Fuse", "Bus Bar", "Line"}));
    EXPECT_EQ(doc.m_pLines->GetAt(1), third);
    ExpectOrderInStep(doc);

    // A stale mode is harmless: nothing left to delete, hit or report.
    EXPECT_EQ(mode.GetWidget(), nullptr);
    EXPECT_FALSE(mode.DeleteWidget());
    EXPECT_FALSE(mode.HitSelected({5, 20}));
    EXPECT_EQ(doc.m_pLines->GetSize(), 2);
}

// Catches signed overflow (undefined behaviour) in the modes' arithmetic when a file holds widgets
// at the coordinate limits or an out-of-range snap step: placing, hitting, dragging a body or an
// end and the regional redraw rectangles must all stay within 32 bits.
TEST_F(ModeTest, ExtremeCoordinatesAndSnapStepsStayWithinRange)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    for (const std::int32_t grid : {0, 10, kMax}) {
        for (const std::uint8_t redraw : {std::uint8_t{0}, std::uint8_t{1}}) {
            SCOPED_TRACE("grid " + std::to_string(grid) + " redraw " + std::to_string(redraw));
            CKorvaneDoc d;
            d.m_workspace.m_nSnapGrid = grid;
            d.m_workspace.m_nRedrawMode = redraw;
            d.m_workspace.m_bAdaptiveDrawing = 1;
            for (int t = 0; t < kWidgetTypeCount; ++t) {
                const auto type = static_cast<WidgetType>(t);
                for (const auto& [a, b] : {std::pair{CPoint(kMax, kMax), CPoint(kMin, kMin)},
                                           std::pair{CPoint(kMin, kMax), CPoint(kMax - 1, kMin + 1)}}) {
                    auto tool = MakeMode(type, d);
                    tool->OnLButtonUp(a, b, b);
                    for (const CPoint press : {a, b}) {
                        auto mode = MakeMode(type, d);
                        mode->OnLButtonDown(press);
                        if (!mode->IsSelected())
                            continue;
                        mode->SnapPoint(press);
                        ViewCursor cursor = ViewCursor::Unchanged;
                        mode->OnMouseMove(press == a ? b : a, cursor);
                        mode->OnMouseMove(press, cursor);
                    }
                    auto all = MakeMode(type, d);
                    all->SelectInRect(CPoint(kMin, kMin), CPoint(kMax, kMax));
                }
            }
            // The same through the view's rules: select all of a workspace at the limits, drag all
            // of it across the range, rubber-band from corner to corner.
            d.m_workspace.m_nWorkspaceWidth = kMax;
            d.m_workspace.m_nWorkspaceHeight = kMax;
            CEditController view(d);
            view.OnSelectAll();
            view.OnLButtonDown(CPoint(kMax, kMax), false, false);
            view.OnMouseMove(CPoint(kMin, kMin));
            view.OnLButtonUp(CPoint(kMin, kMin));
            view.OnLButtonDown(CPoint(kMin + 5, kMax - 5), false, false);
            view.OnMouseMove(CPoint(kMax, kMin));
            view.OnLButtonUp(CPoint(kMax, kMin));
        }
    }
}
