#include <gtest/gtest.h>

#include "editor/EditController.h"
#include "tests/editor/EditorTestSupport.h"
#include "editor/ViewTransform.h"

namespace {

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
    std::vector<const CWidget*> Selected() const { return view.GetSelectedWidgets(); }
};

}  // namespace

TEST_F(EditControllerTest, StartsInSelectModeUnzoomed)
{
    EXPECT_TRUE(view.IsSelectMode());
    EXPECT_FALSE(view.IsToolActive());
    EXPECT_FALSE(view.IsZoomed());
    EXPECT_EQ(view.GetZoom(), 113);
}

TEST_F(EditControllerTest, BusBarToolDrawsAGreyWidthTwoBar)
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
    EXPECT_EQ(doc.m_pBusBars->GetAt(0)->GetWidth(), 2);
    EXPECT_EQ(doc.m_pBusBars->GetAt(0)->GetColour(), RGB(128, 128, 128));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(view.IsToolActive());  // the tool stays for the next bar
    ExpectOrderInStep(doc);
}

TEST_F(EditControllerTest, EscapeDropsTheRubberLineAndLeavesTheDocumentAlone)
{
    view.OnTool(WidgetType::Line);
    view.OnLButtonDown({10, 10}, false, false);
    view.OnMouseMove({80, 10});
    view.OnEscape();
    view.OnLButtonUp({80, 10});
    EXPECT_EQ(doc.GetWidgetCount(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(EditControllerTest, ClickSelectsOneWidgetAndCtrlKeepsAdding)
{
    CLine* a = AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    CLine* b = AddTo<CLine>(doc, CPoint(0, 50), CPoint(100, 50), 1, 0);
    CFuse* c = AddTo<CFuse>(doc, CPoint(0, 100), CPoint(100, 100), 1, 0);
    Click({50, 0});
    EXPECT_EQ(Selected(), (std::vector<const CWidget*>{a}));
    Click({50, 50});
    EXPECT_EQ(Selected(), (std::vector<const CWidget*>{b}));

    // Ctrl pressed once latches: clicks add until a click on empty canvas.
    view.OnCtrlDown();
    Click({50, 0});
    Click({50, 100});
    EXPECT_EQ(Selected(), (std::vector<const CWidget*>{b, a, c}));
    // A click on an already selected widget moves its entry to the end, never doubles it.
    Click({50, 50});
    EXPECT_EQ(Selected(), (std::vector<const CWidget*>{a, c, b}));
    Click({500, 500});
    EXPECT_FALSE(view.IsMultiSelect());
    EXPECT_TRUE(Selected().empty());
}

TEST_F(EditControllerTest, ClickOnOneOfSeveralSelectedDragsThemAll)
{
    CLine* a = AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    CLine* b = AddTo<CLine>(doc, CPoint(0, 50), CPoint(100, 50), 1, 0);
    CLoadPoint* lp = AddTo<CLoadPoint>(doc, CPoint(300, 300), 1, 0);
    view.OnSelectAll();
    ASSERT_EQ(Selected().size(), 3u);
    Drag({50, 50}, {60, 70});
    EXPECT_EQ(Selected().size(), 3u);
    EXPECT_EQ(a->GetStartPoint(), CPoint(10, 20));
    EXPECT_EQ(b->GetEndPoint(), CPoint(110, 70));
    EXPECT_EQ(lp->GetStartPoint(), CPoint(310, 320));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(EditControllerTest, LaterTypeWinsWhereWidgetsMeet)
{
    AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    CBusBar* bar = AddTo<CBusBar>(doc, CPoint(100, -50), CPoint(100, 50), 2, 0);
    Click({100, 0});
    EXPECT_EQ(Selected(), (std::vector<const CWidget*>{bar}));
    view.OnCtrlDown();
    Click({500, 500}, true);  // a Ctrl click on empty canvas still clears the latch
    Click({100, 0}, true);
    EXPECT_EQ(Selected().size(), 2u);
}

TEST_F(EditControllerTest, EscapeDuringADragPutsWidgetsBack)
{
    CLine* a = AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    view.OnLButtonDown({50, 0}, false, false);
    view.OnMouseMove({50, 40});
    ASSERT_EQ(a->GetStartPoint(), CPoint(0, 40));
    view.OnEscape();
    EXPECT_EQ(a->GetStartPoint(), CPoint(0, 0));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(view.IsGestureActive());
}

TEST_F(EditControllerTest, RubberBandSelectsWhatItEncloses)
{
    AddTo<CLine>(doc, CPoint(10, 10), CPoint(30, 10), 1, 0);
    AddTo<CLine>(doc, CPoint(300, 300), CPoint(400, 300), 1, 0);
    CGenSource* gs = AddTo<CGenSource>(doc, CPoint(60, 60), 1, 0);
    view.OnLButtonDown({0, 0}, false, false);
    view.OnMouseMove({80, 80});
    ASSERT_TRUE(view.GetRubberBand());
    view.OnLButtonUp({80, 80});
    EXPECT_FALSE(view.GetRubberBand());
    const auto selected = Selected();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[1], gs);
}

TEST_F(EditControllerTest, SelectAllStaysInsideTheWorkspace)
{
    AddTo<CLine>(doc, CPoint(10, 10), CPoint(30, 10), 1, 0);
    AddTo<CLine>(doc, CPoint(1100, 10), CPoint(1200, 10), 1, 0);  // wholly right of 1024
    AddTo<CLine>(doc, CPoint(1000, 10), CPoint(1200, 10), 1, 0);  // its start is inside
    view.OnSelectAll();
    EXPECT_EQ(Selected().size(), 2u);
    EXPECT_TRUE(view.IsSelectMode());
}

TEST_F(EditControllerTest, RightClickOpensTheLastSelectedDataSheet)
{
    CLine* a = AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    CWidget* target = nullptr;
    EXPECT_EQ(view.OnRButtonUp({50, 0}, &target), CEditController::RightClick::ContextMenu);
    Click({50, 0});
    EXPECT_EQ(view.OnRButtonUp({50, 0}, &target), CEditController::RightClick::DataSheet);
    EXPECT_EQ(target, a);
    EXPECT_EQ(view.OnRButtonUp({50, 40}, &target), CEditController::RightClick::ContextMenu);
    view.OnTool(WidgetType::Line);
    EXPECT_EQ(view.OnRButtonUp({50, 0}, &target), CEditController::RightClick::ContextMenu);
}

TEST_F(EditControllerTest, DeleteKeepsTheOrderListInStep)
{
    AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    AddTo<CFuse>(doc, CPoint(0, 50), CPoint(100, 50), 1, 0);
    AddTo<CLine>(doc, CPoint(0, 100), CPoint(100, 100), 1, 0);
    view.OnCtrlDown();
    Click({50, 0});
    Click({50, 50});
    view.OnDelete();
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Line"}));
    EXPECT_EQ(doc.m_pLines->GetAt(0)->GetStartPoint(), CPoint(0, 100));
    EXPECT_TRUE(view.GetSelection().empty());
    ExpectOrderInStep(doc);

    // With a tool active Delete does nothing.
    view.OnTool(WidgetType::Line);
    view.OnDelete();
    EXPECT_EQ(doc.GetWidgetCount(), 1);
}

TEST_F(EditControllerTest, CopyPasteTwiceMakesIndependentCopies)
{
    CLine* a = AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    a->m_dLength = 7.5;
    AddTo<CLoadPoint>(doc, CPoint(300, 300), 1, 0);
    view.OnSelectAll();
    EXPECT_TRUE(view.CanCopy());
    view.OnEditCopy(clipboard);
    view.OnEditPaste(clipboard);
    view.OnEditPaste(clipboard);
    EXPECT_EQ(doc.m_pLines->GetSize(), 3);
    EXPECT_EQ(doc.m_pLoadPoints->GetSize(), 3);
    EXPECT_EQ(doc.m_widgetOrder,
              (std::vector<std::string>{"Line", "Load Point", "Line", "Load Point", "Line", "Load Point"}));
    EXPECT_EQ(doc.m_pLines->GetAt(1)->m_dLength, 7.5);
    EXPECT_NE(doc.m_pLines->GetAt(1), doc.m_pLines->GetAt(2));
    ExpectOrderInStep(doc);

    // Deleting one copy leaves the clipboard and the other copy.
    view.SelectWidget(doc.m_pLines->GetAt(1));
    view.OnDelete();
    EXPECT_EQ(clipboard.GetSize(), 2);
    EXPECT_EQ(doc.m_pLines->GetSize(), 2);
    EXPECT_EQ(doc.m_pLines->GetAt(1)->m_dLength, 7.5);
    ExpectOrderInStep(doc);
}

TEST_F(EditControllerTest, CutThenPasteRestoresAtTheEndOfTheOrder)
{
    AddTo<CFuse>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    AddTo<CLine>(doc, CPoint(0, 50), CPoint(100, 50), 1, 0);
    Click({50, 0});
    view.OnEditCut(clipboard);
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Line"}));
    EXPECT_TRUE(view.GetSelection().empty());
    EXPECT_FALSE(view.CanCopy());
    view.OnEditPaste(clipboard);
    EXPECT_EQ(doc.m_widgetOrder, (std::vector<std::string>{"Line", "Fuse"}));
    EXPECT_EQ(doc.m_pFuses->GetAt(0)->GetEndPoint(), CPoint(100, 0));
    ExpectOrderInStep(doc);
}

TEST_F(EditControllerTest, LoadPointClickMovesAnOpenResultPageWithoutDragging)
{
    doc.m_results.m_monteCarloResultPath = "/tmp/MC1.htm";
    CLoadPoint* lp = AddTo<CLoadPoint>(doc, CPoint(200, 200), 1, 0);
    lp->m_strName = "Farm";
    const CViewUpdate u = view.OnLButtonDown({200, 200}, false, true);
    ASSERT_TRUE(u.anchor);
    EXPECT_EQ(*u.anchor, "/tmp/MC1.htm#Farm");
    EXPECT_EQ(Selected(), (std::vector<const CWidget*>{lp}));
    view.OnMouseMove({260, 260});
    view.OnLButtonUp({260, 260});
    EXPECT_EQ(lp->GetStartPoint(), CPoint(200, 200));
}

// Regression: a second load point of one name, or one named like a system index, has a "$n"
// anchor in the report; clicking it jumped to the first of the name or to the system section.
TEST_F(EditControllerTest, LoadPointClickAsksForTheAnchorItsReportSectionCarries)
{
    doc.m_results.m_monteCarloResultPath = "/tmp/MC1.htm";
    const struct {
        const char* name;
        const char* anchor;
    } cases[] = {{"Farm", "Farm"}, {"Mill", "Mill"}, {"Farm", "Farm$2"}, {"SAIFI", "SAIFI$2"}, {"Farm", "Farm$3"}};
    std::vector<CPoint> places;
    for (const auto& c : cases) {
        places.emplace_back(100 + 100 * static_cast<int>(places.size()), 200);
        AddTo<CLoadPoint>(doc, places.back(), 1, 0)->m_strName = c.name;
    }
    // Clicked last first, so the answer cannot depend on the order of the clicks.
    for (std::size_t i = places.size(); i-- > 0;) {
        const CViewUpdate u = view.OnLButtonDown(places[i], false, true);
        view.OnLButtonUp(places[i]);
        ASSERT_TRUE(u.anchor) << cases[i].name;
        EXPECT_EQ(*u.anchor, std::string("/tmp/MC1.htm#") + cases[i].anchor);
    }
}

TEST_F(EditControllerTest, ZoomStepsAndNeverMovesTheModel)
{
    CLine* a = AddTo<CLine>(doc, CPoint(10, 20), CPoint(110, 20), 1, 0);
    CLoadPoint* lp = AddTo<CLoadPoint>(doc, CPoint(50, 60), 1, 0);
    Click({60, 20});
    view.OnZoomIn();
    EXPECT_EQ(view.GetZoom(), 123);
    EXPECT_TRUE(view.IsZoomed());
    EXPECT_FALSE(view.IsSelectMode());
    EXPECT_TRUE(view.GetSelection().empty());
    for (int i = 0; i < 14; ++i)
        view.OnZoomIn();
    EXPECT_EQ(view.GetZoom(), 253);
    // Zoomed: nothing is selectable.
    Click({60, 20});
    EXPECT_TRUE(view.GetSelection().empty());
    for (int i = 0; i < 14; ++i)
        view.OnZoomOut();
    EXPECT_EQ(view.GetZoom(), 113);
    EXPECT_TRUE(view.IsZoomed());  // back at 113 but still zoomed until Select
    for (int i = 0; i < 20; ++i)
        view.OnZoomOut();
    EXPECT_EQ(view.GetZoom(), 23);
    EXPECT_EQ(a->GetStartPoint(), CPoint(10, 20));
    EXPECT_EQ(lp->GetStartPoint(), CPoint(50, 60));
    view.OnSelect();
    EXPECT_FALSE(view.IsZoomed());
    EXPECT_EQ(view.GetZoom(), 113);
    EXPECT_EQ(a->GetEndPoint(), CPoint(110, 20));
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
    CLine* a = AddTo<CLine>(doc, CPoint(0, 0), CPoint(100, 0), 1, 0);
    Click({50, 0});
    doc.RemoveWidget(a);
    view.Prune();
    EXPECT_TRUE(view.GetSelection().empty());
}
