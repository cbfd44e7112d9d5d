#include <gtest/gtest.h>

#include <limits>

#include "editor/EditController.h"
#include "editor/FigureGeometry.h"
#include "editor/WidgetModes.h"
#include "platform/Archive.h"
#include "tests/Drawing.h"

using drawing::Draw;

namespace {

struct ModeTest : testing::Test {
    CKorvaneDoc doc;
    ViewCursor cursor = ViewCursor::Unchanged;
    ModeTest() { doc.m_workspace.m_nSnapGrid = 0; }
};

}  // namespace

TEST(ModeGeometry, SnapGoesToTheNearestMultipleWithHalvesUpAndAdaptingSquaresTheSegment)
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
    const std::pair<CPoint, CPoint> adapted[] = {
        {{130, 110}, {130, 100}}, {{105, 140}, {100, 140}},
        {{130, 130}, {130, 100}},  // an exact diagonal goes flat
        {{70, 70}, {70, 100}},     {{100, 150}, {100, 150}},
    };
    for (auto [end, expected] : adapted) {
        CMode::AdaptiveAdjust(100, 100, &end);
        EXPECT_EQ(end, expected);
    }
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
        // A symbol stands at the release, snapped.
        EXPECT_EQ(w->GetStartPoint(), w->IsTwoEnded() ? CPoint(10, 30) : CPoint(60, 100));
        EXPECT_EQ(w->GetEndPoint(), CPoint(60, 100));
        EXPECT_EQ(mode->GetWidget(), w);
    }
    EXPECT_TRUE(doc.IsModified());
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
    Draw(doc, "L 100 100 200 100, L 100 100 200 100, P 400 200, G 600 600");
    const struct {
        WidgetType type;
        CPoint press;
        int part, end;
    } cases[] = {
        {WidgetType::Line, {150, 101}, 1, 2},     {WidgetType::Line, {198, 101}, 2, 1},
        {WidgetType::Line, {102, 99}, 2, 0},      {WidgetType::Line, {150, 120}, 0, 2},
        {WidgetType::LoadPoint, {422, 222}, 2, 1},
        {WidgetType::GenSource, {609, 609}, 1, 2},  // inside both the body and the end handle
        {WidgetType::GenSource, {615, 615}, 0, 2},  // the end handle alone never binds a gen source
    };
    for (const auto& c : cases) {
        auto mode = MakeMode(c.type, doc);
        mode->OnLButtonDown(c.press);
        EXPECT_EQ(mode->GetPart(), c.part) << c.press.x << "," << c.press.y;
        EXPECT_EQ(mode->GetEnd(), c.end);
        EXPECT_EQ(mode->IsSelected(), c.part != 0);
        EXPECT_EQ(mode->GetWidget(), c.part == 0 ? nullptr : doc.GetCollection(c.type).GetWidgetAt(0));
    }
    CGenSourceMode source(doc);
    source.OnLButtonDown({609, 609});
    EXPECT_FALSE(source.HitSelectedEnds({610, 610}));
}

TEST_F(ModeTest, BodyDragMovesBothEndsAndFollowsTheGrid)
{
    CWidget* line = Draw(doc, "L 100 100 200 100")[0];
    CLineMode mode(doc);
    mode.OnLButtonDown({150, 100});
    mode.SnapPoint({150, 100});
    mode.OnMouseMove({157, 103}, cursor);
    EXPECT_EQ(line->GetStartPoint(), CPoint(107, 103));
    EXPECT_EQ(line->GetEndPoint(), CPoint(207, 103));
    EXPECT_EQ(cursor, ViewCursor::SizeAll);
    EXPECT_TRUE(doc.IsModified());

    // With a grid the widget moves in whole steps and keeps up with a mouse that lands on one.
    doc.m_workspace.m_nSnapGrid = 10;
    mode.SnapPoint({157, 103});  // reference (160, 100)
    for (const auto& [mouse, x] : {std::pair{CPoint(170, 100), 117}, {CPoint(174, 96), 117}, {CPoint(176, 96), 127}}) {
        mode.OnMouseMove(mouse, cursor);
        EXPECT_EQ(line->GetStartPoint(), CPoint(x, 103));
    }
}

TEST_F(ModeTest, EndDragSnapsThenAdaptsAroundTheFixedEndAndALoadPointHandleHoldsStill)
{
    doc.m_workspace.m_nSnapGrid = 10;
    doc.m_workspace.m_bAdaptiveDrawing = 1;
    const auto w = Draw(doc, "L 100 100 200 100, P 400 200");
    CLineMode mode(doc);
    mode.OnLButtonDown({200, 100});
    mode.OnMouseMove({244, 117}, cursor);  // snapped to (240, 120), then squared to the start
    EXPECT_EQ(w[0]->GetEndPoint(), CPoint(240, 100));
    EXPECT_EQ(w[0]->GetStartPoint(), CPoint(100, 100));
    EXPECT_EQ(cursor, ViewCursor::SizeNWSE);

    CLineMode startMode(doc);
    startMode.OnLButtonDown({100, 100});
    startMode.OnMouseMove({236, 31}, cursor);  // (240, 30): straight above the end, kept
    EXPECT_EQ(w[0]->GetStartPoint(), CPoint(240, 30));
    startMode.OnMouseMove({96, 31}, cursor);  // (100, 30), squared to the end's row
    EXPECT_EQ(w[0]->GetStartPoint(), CPoint(100, 100));

    doc.SetModifiedFlag(false);
    CLoadPointMode load(doc);
    load.OnLButtonDown({422, 222});
    load.OnMouseMove({500, 300}, cursor);
    EXPECT_EQ(w[1]->GetStartPoint(), CPoint(400, 200));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ModeTest, CancelPutsTheWidgetBack)
{
    CWidget* fuse = Draw(doc, "F 0 0 0 50")[0];
    CFuseMode mode(doc);
    mode.OnLButtonDown({1, 25});
    mode.SnapPoint({1, 25});
    mode.OnMouseMove({41, 65}, cursor);
    ASSERT_EQ(fuse->GetStartPoint(), CPoint(40, 40));
    mode.Cancel();
    EXPECT_EQ(fuse->GetStartPoint(), CPoint(0, 0));
    EXPECT_EQ(fuse->GetEndPoint(), CPoint(0, 50));
}

TEST_F(ModeTest, RegionalRedrawCoversTheOldAndTheNewPlace)
{
    doc.m_workspace.m_nRedrawMode = 1;
    Draw(doc, "B 0 0 100 0");
    CBusBarMode mode(doc);
    mode.OnLButtonDown({50, 1});
    mode.SnapPoint({50, 1});
    const CRedraw r = mode.OnMouseMove({50, 301}, cursor);
    ASSERT_FALSE(r.full);
    EXPECT_EQ(r.regions, (std::vector<CRect>{CRect(-10, -10, 110, 10), CRect(-10, 290, 110, 310)}));
    doc.m_workspace.m_nRedrawMode = 0;
    EXPECT_TRUE(mode.OnMouseMove({50, 1}, cursor).full);
}

TEST_F(ModeTest, SelectInRectTakesWidgetsWithAHandlePointInside)
{
    // An end inside; wholly outside; a start on the excluded edge; load points with (50, 50)
    // inside and (106, 106) outside.
    Draw(doc, "L 0 0 50 50, L 200 200 300 300, L 100 100 0 0, P 36 36, P 120 120");
    CLineMode lines(doc);
    const auto found = lines.SelectInRect({100, 100}, {40, 40});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->GetWidget(), doc.m_pLines->GetAt(0));
    EXPECT_EQ(found[0]->GetPart(), 1);
    CLoadPointMode points(doc);
    EXPECT_EQ(points.SelectInRect({40, 40}, {100, 100}).size(), 1u);
    EXPECT_TRUE(lines.SelectInRect({50, 50}, {50, 50}).empty());
}

TEST_F(ModeTest, DeleteRemovesTheBoundWidgetAndAStaleModeIsHarmless)
{
    const auto w = Draw(doc, "L 0 0 10 0, F 0 10 10 10, L 0 20 10 20, L 0 40 10 40");
    CLineMode mode(doc);
    mode.SelectMatching(w[2]);
    EXPECT_TRUE(mode.DeleteWidget());
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Line", "Fuse", "Line"}));
    EXPECT_EQ(doc.m_pLines->GetAt(1), w[3]);
    EXPECT_EQ(mode.GetWidget(), nullptr);
    EXPECT_FALSE(mode.DeleteWidget());
    EXPECT_FALSE(mode.HitSelected({5, 20}));
    EXPECT_EQ(doc.m_pLines->GetSize(), 2);
}

// A mode remembers that the document held its widget until a widget is removed or a network
// loaded: then it looks again, so a widget deleted by another mode, or replaced by a load, is never
// answered for (nor dereferenced).
TEST_F(ModeTest, ABoundModeAnswersForItsWidgetOnlyWhileTheDocumentHoldsIt)
{
    const auto w = Draw(doc, "L 0 0 10 0, L 0 20 10 20");
    CLineMode pressed(doc), matched(doc), other(doc);
    pressed.OnLButtonDown({5, 0});
    matched.SelectMatching(w[1]);
    ASSERT_EQ(pressed.GetWidget(), w[0]);
    ASSERT_EQ(matched.GetWidget(), w[1]);
    Draw(doc, "L 0 40 10 40");
    EXPECT_EQ(pressed.GetWidget(), w[0]);
    other.SelectMatching(w[0]);
    ASSERT_TRUE(other.DeleteWidget());
    EXPECT_EQ(pressed.GetWidget(), nullptr);
    EXPECT_EQ(matched.GetWidget(), w[1]);

    CArchive stored;
    doc.Serialize(stored);
    CArchive load(stored.GetBuffer(), ModelClassRegistry());
    doc.Serialize(load);
    EXPECT_EQ(matched.GetWidget(), nullptr);
    EXPECT_FALSE(matched.HitSelected({5, 20}));
}

// Catches signed overflow (undefined behaviour) in the modes' arithmetic when a file holds widgets
// at the coordinate limits or an out-of-range snap step: placing, hitting, dragging a body or an
// end and the regional redraw rectangles must all stay within 32 bits.
TEST_F(ModeTest, ExtremeCoordinatesAndSnapStepsStayWithinRange)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    for (const std::int32_t grid : {0, 10, kMax}) {
        for (const std::uint8_t redraw : {0, 1}) {
            SCOPED_TRACE("grid " + std::to_string(grid) + " redraw " + std::to_string(redraw));
            CKorvaneDoc d;
            d.m_workspace.m_nSnapGrid = grid;
            d.m_workspace.m_nRedrawMode = redraw;
            d.m_workspace.m_bAdaptiveDrawing = 1;
            for (int t = 0; t < kWidgetTypeCount; ++t) {
                const auto type = static_cast<WidgetType>(t);
                for (const auto& [a, b] : {std::pair{CPoint(kMax, kMax), CPoint(kMin, kMin)},
                                           std::pair{CPoint(kMin, kMax), CPoint(kMax - 1, kMin + 1)}}) {
                    MakeMode(type, d)->OnLButtonUp(a, b, b);
                    for (const CPoint press : {a, b}) {
                        auto mode = MakeMode(type, d);
                        mode->OnLButtonDown(press);
                        if (!mode->IsSelected())
                            continue;
                        mode->SnapPoint(press);
                        mode->OnMouseMove(press == a ? b : a, cursor);
                        mode->OnMouseMove(press, cursor);
                    }
                    MakeMode(type, d)->SelectInRect(CPoint(kMin, kMin), CPoint(kMax, kMax));
                }
            }
            // The same through the view's rules: select all of a workspace at the limits, drag all
            // of it across the range, rubber-band from corner to corner.
            d.m_workspace.m_nWorkspaceWidth = d.m_workspace.m_nWorkspaceHeight = kMax;
            CEditController view(d);
            view.OnSelectAll();
            for (const auto& [from, to] : {std::pair{CPoint(kMax, kMax), CPoint(kMin, kMin)},
                                           std::pair{CPoint(kMin + 5, kMax - 5), CPoint(kMax, kMin)}}) {
                view.OnLButtonDown(from, false, false);
                view.OnMouseMove(to);
                view.OnLButtonUp(to);
            }
        }
    }
}
