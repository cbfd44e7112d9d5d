#include <gtest/gtest.h>

#include <functional>

#include "editor/EditController.h"
#include "editor/ViewTransform.h"
#include "model/LoadPoint.h"
#include "tests/AllocationFailure.h"
#include "tests/Drawing.h"

using drawing::Draw;

namespace {

using Widgets = std::vector<const CWidget*>;

struct EditControllerTest : testing::Test {
    CKorvaneDoc doc;
    CEditController view{doc};
    CClipboard clipboard;

    EditControllerTest() { doc.m_workspace.m_nSnapGrid = 0; }

    void Click(CPoint p, bool ctrl = false)
    {
        view.OnLButtonDown(p, ctrl, false);
        view.OnLButtonUp(p);
    }
    void Drag(CPoint from, CPoint to)
    {
        view.OnLButtonDown(from, false, false);
        view.OnMouseMove(to);
        view.OnLButtonUp(to);
    }
    Widgets Selected() const { return view.GetSelectedWidgets(); }
};

}  // namespace

TEST_F(EditControllerTest, AToolAddsItsWidgetOnReleaseAndEscapeDropsIt)
{
    view.OnTool(WidgetType::BusBar);
    view.OnLButtonDown({100, 100}, false, false);
    EXPECT_TRUE(view.IsGestureActive());
    view.OnMouseMove({150, 102});
    ASSERT_TRUE(view.GetRubberLine());
    EXPECT_EQ(view.GetRubberLine()->second, CPoint(150, 102));
    view.OnMouseMove({200, 100});
    EXPECT_EQ(doc.GetWidgetCount(), 0);  // nothing is added before the release
    view.OnLButtonUp({200, 100});
    EXPECT_FALSE(view.IsGestureActive());
    ASSERT_EQ(doc.m_pBusBars->GetSize(), 1);
    EXPECT_EQ(doc.m_pBusBars->GetAt(0)->GetEndPoint(), CPoint(200, 100));
    EXPECT_TRUE(doc.IsModified());
    Drag({0, 300}, {100, 300});  // the tool stays for the next bar
    EXPECT_EQ(doc.m_pBusBars->GetSize(), 2);

    doc.SetModifiedFlag(false);
    view.OnTool(WidgetType::Line);
    view.OnLButtonDown({10, 10}, false, false);
    view.OnMouseMove({80, 10});
    view.OnEscape();
    view.OnLButtonUp({80, 10});
    EXPECT_EQ(doc.m_pLines->GetSize(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(EditControllerTest, ClickSelectsOneWidgetAndCtrlKeepsAddingUntilAnEmptyClick)
{
    const auto w = Draw(doc, "L 0 0 100 0, L 0 50 100 50, F 0 100 100 100, B 100 -50 100 50");
    Click({50, 0});
    EXPECT_EQ(Selected(), Widgets{w[0]});
    Click({50, 50});
    EXPECT_EQ(Selected(), Widgets{w[1]});

    // Ctrl pressed once latches: clicks add until a click on empty canvas.
    view.OnCtrlDown();
    Click({50, 0});
    Click({50, 100});
    EXPECT_EQ(Selected(), (Widgets{w[1], w[0], w[2]}));
    // A click on an already selected widget moves its entry to the end, never doubles it.
    Click({50, 50});
    EXPECT_EQ(Selected(), (Widgets{w[0], w[2], w[1]}));
    Click({500, 500}, true);  // a Ctrl click on empty canvas clears the latch too
    EXPECT_TRUE(Selected().empty());
    Click({50, 0});
    Click({50, 50});
    EXPECT_EQ(Selected(), Widgets{w[1]});
    // Where widgets meet the later type wins; a Ctrl click takes both.
    Click({100, 0});
    EXPECT_EQ(Selected(), Widgets{w[3]});
    Click({100, 0}, true);
    EXPECT_EQ(Selected(), (Widgets{w[0], w[3]}));
}

TEST_F(EditControllerTest, ADragMovesEverySelectedWidgetAndEscapePutsThemBack)
{
    const auto w = Draw(doc, "L 0 0 100 0, L 0 50 100 50, P 300 300");
    view.OnSelectAll();
    ASSERT_EQ(Selected().size(), 3u);
    Drag({50, 50}, {60, 70});
    EXPECT_EQ(Selected().size(), 3u);
    EXPECT_EQ(w[0]->GetStartPoint(), CPoint(10, 20));
    EXPECT_EQ(w[1]->GetEndPoint(), CPoint(110, 70));
    EXPECT_EQ(w[2]->GetStartPoint(), CPoint(310, 320));
    EXPECT_TRUE(doc.IsModified());

    doc.SetModifiedFlag(false);
    view.OnLButtonDown({60, 20}, false, false);
    view.OnMouseMove({60, 60});
    ASSERT_EQ(w[0]->GetStartPoint(), CPoint(10, 60));
    view.OnEscape();
    EXPECT_EQ(w[0]->GetStartPoint(), CPoint(10, 20));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(view.IsGestureActive());
}

TEST_F(EditControllerTest, RubberBandAndSelectAllTakeWhatLiesInside)
{
    const auto w = Draw(doc, "L 10 10 30 10, L 300 300 400 300, G 60 60, L 1100 10 1200 10, L 1000 10 1200 10");
    view.OnLButtonDown({0, 0}, false, false);
    view.OnMouseMove({80, 80});
    ASSERT_TRUE(view.GetRubberBand());
    view.OnLButtonUp({80, 80});
    EXPECT_FALSE(view.GetRubberBand());
    EXPECT_EQ(Selected(), (Widgets{w[0], w[2]}));
    // Select All keeps to the workspace (1024 wide): the line wholly right of it stays out.
    view.OnSelectAll();
    EXPECT_EQ(Selected().size(), 4u);
    EXPECT_TRUE(view.IsSelectMode());
}

TEST_F(EditControllerTest, RightClickOpensTheLastSelectedDataSheet)
{
    CWidget* line = Draw(doc, "L 0 0 100 0")[0];
    CWidget* target = nullptr;
    EXPECT_EQ(view.OnRButtonUp({50, 0}, &target), CEditController::RightClick::ContextMenu);
    Click({50, 0});
    EXPECT_EQ(view.OnRButtonUp({50, 0}, &target), CEditController::RightClick::DataSheet);
    EXPECT_EQ(target, line);
    EXPECT_EQ(view.OnRButtonUp({50, 40}, &target), CEditController::RightClick::ContextMenu);
    view.OnTool(WidgetType::Line);
    EXPECT_EQ(view.OnRButtonUp({50, 0}, &target), CEditController::RightClick::ContextMenu);
}

TEST_F(EditControllerTest, DeleteCutCopyAndPaste)
{
    Draw(doc, "L 0 0 100 0, F 0 50 100 50, L 0 100 100 100");
    view.OnCtrlDown();
    Click({50, 0});
    Click({50, 50});
    view.OnDelete();
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Line"}));
    EXPECT_EQ(doc.m_pLines->GetAt(0)->GetStartPoint(), CPoint(0, 100));
    EXPECT_TRUE(view.GetSelection().empty());
    view.OnTool(WidgetType::Line);
    view.OnDelete();  // with a tool active Delete does nothing
    EXPECT_EQ(doc.GetWidgetCount(), 1);

    // Cut, then Paste puts the widgets back at the end of the drawing order.
    view.OnSelect();
    Draw(doc, "F 0 200 100 200");
    Click({50, 100});
    view.OnEditCut(clipboard);
    EXPECT_TRUE(view.GetSelection().empty());
    EXPECT_FALSE(view.CanCopy());
    view.OnEditPaste(clipboard);
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Fuse", "Line"}));

    // Copy and Paste twice: copies of their own, in selection order; deleting one keeps the clipboard.
    static_cast<CLine*>(doc.m_pLines->GetAt(0))->m_dLength = 7.5;
    view.OnSelectAll();
    EXPECT_TRUE(view.CanCopy());
    view.OnEditCopy(clipboard);
    view.OnEditPaste(clipboard);
    view.OnEditPaste(clipboard);
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Fuse", "Line", "Line", "Fuse", "Line", "Fuse"}));
    EXPECT_EQ(doc.m_pLines->GetAt(2)->m_dLength, 7.5);
    view.SelectWidget(doc.m_pLines->GetAt(1));
    view.OnDelete();
    EXPECT_EQ(clipboard.GetSize(), 2);
    EXPECT_EQ(doc.m_pLines->GetSize(), 2);
    EXPECT_EQ(doc.m_pLines->GetAt(1)->m_dLength, 7.5);
}

// Regression: Delete left a saved document unmarked, so closing it asked nothing and the deletion
// was lost. Each edit of a saved document marks it, so that closing asks to save.
TEST_F(EditControllerTest, EveryEditMarksASavedDocumentModified)
{
    const std::function<void()> edits[] = {
        [&] { view.OnDelete(); },
        [&] { view.OnEditCut(clipboard); },
        [&] { view.OnEditPaste(clipboard); },
    };
    for (const auto& edit : edits) {
        Draw(doc, "L 0 0 100 0");
        view.OnSelectAll();
        view.OnEditCopy(clipboard);
        doc.SetModifiedFlag(false);
        edit();
        EXPECT_TRUE(doc.IsModified()) << &edit - edits;
    }
}

// Regression: a widget that could not be drawn or pasted for want of memory was dropped without
// a word. The document stays as it was and the view is told what to show.
TEST_F(EditControllerTest, AddingWhenMemoryRunsOutSaysSoAndChangesNothing)
{
    if (!testalloc::CAllocationFailure::Works())
        GTEST_SKIP() << "a sanitizer owns the allocator";
    for (int i = 0; i < 1024; ++i)
        doc.AddWidget(NewWidget(WidgetType::Line, {0, 0}, {10, 0}));  // the next name needs 64 KiB
    const CLoadPoint copied(CPoint(0, 0), 1, 0);
    clipboard.CopyFrom({&copied});
    doc.SetModifiedFlag(false);
    view.OnTool(WidgetType::LoadPoint);
    CViewUpdate drawn;
    {
        testalloc::CAllocationFailure failure(32 * 1024);
        view.OnLButtonDown({100, 100}, false, false);
        drawn = view.OnLButtonUp({100, 100});
    }
    EXPECT_EQ(drawn.error, "Out of memory");
    EXPECT_TRUE(drawn.redraw.full);
    EXPECT_FALSE(view.IsGestureActive());
    EXPECT_FALSE(doc.IsModified());
    view.OnSelect();
    CViewUpdate pasted;
    {
        testalloc::CAllocationFailure failure(32 * 1024);
        pasted = view.OnEditPaste(clipboard);
    }
    EXPECT_EQ(pasted.error, "Out of memory");
    EXPECT_EQ(doc.m_pLoadPoints->GetSize(), 0);
    EXPECT_EQ(doc.m_widgetOrder.size(), 1024u);
    EXPECT_EQ(view.OnEditPaste(clipboard).error, "");
    EXPECT_EQ(doc.m_pLoadPoints->GetSize(), 1);
}

// Delete takes a large selection out at once; when memory runs out for that, it still deletes
// the selection, a widget at a time, and nothing else.
TEST_F(EditControllerTest, DeleteWhenMemoryRunsOutStillDeletesTheSelection)
{
    if (!testalloc::CAllocationFailure::Works())
        GTEST_SKIP() << "a sanitizer owns the allocator";
    for (int i = 0; i < 1024; ++i)
        doc.AddWidget(NewWidget(WidgetType::Line, {i % 32 * 20, i / 32 * 20}, {i % 32 * 20 + 10, i / 32 * 20}));
    Draw(doc, "F 2000 2000 2010 2000");  // outside the workspace: not selected
    view.OnSelectAll();
    doc.SetModifiedFlag(false);
    {
        testalloc::CAllocationFailure failure(4 * 1024);
        EXPECT_EQ(view.OnDelete().error, "");
        EXPECT_GT(failure.GetFailures(), 0);
    }
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Fuse"}));
    EXPECT_EQ(doc.m_pLines->GetSize(), 0);
    EXPECT_TRUE(doc.IsModified());
}

// Regression: a second load point of one name, or one named like a system index, has a "$n"
// anchor in the report; clicking it jumped to the first of the name or to the system section.
TEST_F(EditControllerTest, LoadPointClickMovesAnOpenResultPageToItsSectionWithoutDragging)
{
    doc.m_results.m_monteCarloResultPath = "/tmp/MC1.htm";
    const struct {
        const char* name;
        const char* anchor;
    } cases[] = {{"Farm", "Farm"}, {"Mill", "Mill"}, {"Farm", "Farm$2"}, {"SAIFI", "SAIFI$2"}, {"Farm", "Farm$3"}};
    std::vector<CPoint> places;
    for (const auto& c : cases) {
        places.emplace_back(100 + 100 * static_cast<int>(places.size()), 200);
        drawing::Symbol<CLoadPoint>(doc, places.back())->m_strName = c.name;
    }
    // Clicked last first, so the answer cannot depend on the order of the clicks.
    for (std::size_t i = places.size(); i-- > 0;) {
        const CViewUpdate u = view.OnLButtonDown(places[i], false, true);
        view.OnMouseMove(places[i] + CPoint(60, 60));
        view.OnLButtonUp(places[i] + CPoint(60, 60));
        ASSERT_TRUE(u.anchor) << cases[i].name;
        EXPECT_EQ(*u.anchor, std::string("/tmp/MC1.htm#") + cases[i].anchor);
        EXPECT_EQ(Selected(), Widgets{doc.m_pLoadPoints->GetAt(static_cast<int>(i))});
        EXPECT_EQ(Selected()[0]->GetStartPoint(), places[i]);
    }
}

// Zoom leaves the selection and select mode, goes in steps of 10 from 23 to 253, and stays until
// Select; nothing is selectable meanwhile and the model never moves.
TEST_F(EditControllerTest, ZoomStepsAndNeverMovesTheModel)
{
    const auto w = Draw(doc, "L 10 20 110 20, P 50 60");
    Click({60, 20});
    const std::pair<int, int> steps[] = {{1, 123}, {14, 253}, {-14, 113}, {-20, 23}};  // in (+) or out (-)
    for (const auto& [times, zoom] : steps) {
        for (int i = 0; i < std::abs(times); ++i)
            times > 0 ? view.OnZoomIn() : view.OnZoomOut();
        EXPECT_EQ(view.GetZoom(), zoom);
        EXPECT_TRUE(view.IsZoomed());
        EXPECT_FALSE(view.IsSelectMode());
        Click({60, 20});
        EXPECT_TRUE(view.GetSelection().empty());
    }
    EXPECT_EQ(view.GetZoom(), CEditController::kSmallestZoom);  // the room the view keeps for names
    view.OnSelect();
    EXPECT_FALSE(view.IsZoomed());
    EXPECT_EQ(view.GetZoom(), 113);
    EXPECT_EQ(w[0]->GetEndPoint(), CPoint(110, 20));
    EXPECT_EQ(w[1]->GetStartPoint(), CPoint(50, 60));
}

TEST(ViewTransform, ZoomScalesAboutTheScrollOrigin)
{
    EXPECT_DOUBLE_EQ(ZoomScale(false, 153, 96), 1.0);
    EXPECT_DOUBLE_EQ(ZoomScale(true, 113, 100), 1.13);
    EXPECT_DOUBLE_EQ(ZoomScale(true, 200, 96), 1.92);
    const CViewTransform t{2.0, {200, 100}};
    EXPECT_EQ(t.ToDevice(CPoint(110, 60)), CPoint(20, 20));
    EXPECT_EQ(t.ToLogical(CPoint(21, 21)), CPoint(110, 60));
    EXPECT_EQ(t.ToLogical(t.ToDevice(CPoint(-7, 9))), CPoint(-7, 9));
}

TEST_F(EditControllerTest, SelectionForgetsWidgetsTheDocumentDropped)
{
    CWidget* line = Draw(doc, "L 0 0 100 0")[0];
    Click({50, 0});
    doc.RemoveWidget(line);
    view.Prune();
    EXPECT_TRUE(view.GetSelection().empty());
}
