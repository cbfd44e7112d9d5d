// A repaint of part of the network view draws only the widgets that reach into that part, and
// leaves its pixels exactly as drawing every widget does: at every zoom, scrolled, with end-point
// and selection marks, wide pens and load point names in wide glyphs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include <wx/dcmemory.h>
#include <wx/dcsvg.h>

#include "editor/Mode.h"
#include "model/LoadPoint.h"
#include "tests/TestFiles.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneView.h"
#include "ui/NetworkCanvas.h"
#include "ui/WidgetFigures.h"

using namespace UiTest;

namespace {

using ViewPaint = App;

constexpr int kWidth = 480;
constexpr int kHeight = 360;

bool SamePixels(const wxImage& a, const wxImage& b)
{
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           std::memcmp(a.GetData(), b.GetData(), static_cast<std::size_t>(a.GetWidth()) * a.GetHeight() * 3) == 0;
}

// Widgets of every type piled over the workspace and past it, pens up to the widest drawn and
// beyond, names of every width.
void DrawRandom(CKorvaneDoc& doc, std::mt19937& random)
{
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    // Glyphs the font may lack are drawn as boxes of fixed pixels; a tab reaches a fixed stop.
    const char* const names[] = {"", "LP7", "WWWWWWWWWW", "\x7F\x7F", "\xEF\xB7\xBD\xEF\xB7\xBD",  // U+FDFD twice
                                 "\xE6\xBC\xA2\xE5\xAD\x97", "\t\xF0\x9F\x99\x82 A", "Mill\nand\nfarm"};
    for (int i = 0; i < 400; ++i) {
        const auto type = static_cast<WidgetType>(pick(0, kWidgetTypeCount - 1));
        const CPoint start(pick(-50, 1100), pick(-50, 850));
        CPoint end = start + CPoint(pick(-120, 120), pick(-120, 120));
        if (pick(0, 2) == 0)
            end.y = start.y;
        auto w = NewWidget(type, start, end);
        const int widths[] = {1, 1, 2, 2, 5, 17, 64, 500};
        w->m_nWidth = widths[pick(0, 7)];
        w->m_colour = RGB(pick(0, 255), pick(0, 255), pick(0, 255));
        if (type == WidgetType::LoadPoint)
            static_cast<CLoadPoint&>(*w).m_strName = names[pick(0, 7)];
        doc.AddWidget(std::move(w));
    }
}

}  // namespace

TEST_F(ViewPaint, APartRepaintedHasThePixelsOfTheWholeDrawing)
{
    std::mt19937 random(7);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    DrawRandom(Doc(), random);
    CNetworkCanvas* canvas = ActiveView()->GetCanvas();
    canvas->SetClientSize(kWidth, kHeight);

    struct Case {
        const char* what;
        int zoomIns, zoomOuts;
        bool selectAll, endPoints;
    };
    const Case cases[] = {{"editing, everything selected", 0, 0, true, false},
                          {"editing, end points", 0, 0, false, true},
                          {"zoomed in once", 1, 0, false, true},
                          {"zoomed in fully", 14, 0, false, true},
                          {"zoomed out fully", 0, 9, false, true},
                          {"zoomed out a little", 0, 4, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Command(ID_SELECT);
        Doc().m_workspace.m_bShowEndPoints = c.endPoints ? 1 : 0;
        for (int i = 0; i < c.zoomIns; ++i)
            Command(ID_ZOOM_IN);
        for (int i = 0; i < c.zoomOuts; ++i)
            Command(ID_ZOOM_OUT);
        if (c.selectAll)
            Command(ID_SELECT_ALL);
        for (int scroll = 0; scroll < 3; ++scroll) {
            canvas->Scroll(scroll == 0 ? 0 : pick(0, 40), scroll == 0 ? 0 : pick(0, 30));
            const wxImage whole = Render(kWidth, kHeight);
            for (int part = 0; part < 30; ++part) {
                // Thin strips across the whole picture cut through most of its widgets' edges.
                const int x = pick(0, kWidth - 1), y = pick(0, kHeight - 1);
                const wxRect area = part % 3 == 0   ? wxRect(x, y, pick(1, kWidth - x), pick(1, kHeight - y))
                                    : part % 3 == 1 ? wxRect(x, 0, pick(1, std::min(6, kWidth - x)), kHeight)
                                                    : wxRect(0, y, kWidth, pick(1, std::min(6, kHeight - y)));
                ASSERT_TRUE(SamePixels(Render(kWidth, kHeight, area).GetSubImage(area), whole.GetSubImage(area)))
                    << "scrolled to " << canvas->GetViewStart().x << "," << canvas->GetViewStart().y << ", area "
                    << area.x << "," << area.y << " " << area.width << "x" << area.height;
            }
        }
    }
}

// Regression: every repaint drew every widget of the network, also those far off the screen, so
// a click on a drawing of 117,000 widgets took two seconds to answer.
TEST_F(ViewPaint, ARepaintDrawsOnlyTheWidgetsThatReachIntoIt)
{
    for (int i = 0; i < 50; ++i) {
        auto far = NewWidget(WidgetType::LoadPoint, CPoint(3000 + 40 * i, 2000), {});
        static_cast<CLoadPoint&>(*far).m_strName = "Far" + std::to_string(i);
        Doc().AddWidget(std::move(far));
    }
    auto near = NewWidget(WidgetType::LoadPoint, CPoint(100, 100), {});
    static_cast<CLoadPoint&>(*near).m_strName = "Near";
    Doc().AddWidget(std::move(near));

    const std::string file = (folder / "repaint.svg").string();
    {
        wxSVGFileDC dc(file, kWidth, kHeight);
        ActiveView()->Paint(dc, wxRect(0, 0, kWidth, kHeight));
    }
    const std::string drawn = testfiles::ReadText(file);
    EXPECT_NE(drawn.find("Near"), std::string::npos);
    EXPECT_EQ(drawn.find("Far"), std::string::npos);
}

// Catches a view that does not tell its index of a load point renamed on its datasheet: a repaint
// of where the longer name now reaches, past the room the short name had, left the name's end out.
TEST_F(ViewPaint, ANameLengthenedOnTheDatasheetIsRepaintedWhereItNowReaches)
{
    auto load = NewWidget(WidgetType::LoadPoint, CPoint(100, 100), {});
    static_cast<CLoadPoint&>(*load).m_strName = "A";
    CNetworkCanvas* canvas = ActiveView()->GetCanvas();
    const CTextReach reach = NameReach(canvas->GetCharHeight(), canvas->GetDPI().x);
    const int beyond = CWidgetIndex::DrawnBox(*load, reach).right + 10;  // unzoomed: in pixels
    Doc().AddWidget(std::move(load));
    Click({100, 100});
    const std::string name(60, 'W');
    Then([&name](wxDialog& sheet) {
        Type(Page(sheet, 0), 1086, name.c_str());
        Press(sheet, wxID_OK);
    });
    RightClick({100, 100});
    ASSERT_EQ(TakeDialogs(), std::vector<std::string>{});
    ASSERT_EQ(Doc().m_pLoadPoints->GetAt(0)->m_strName, name);

    const int width = beyond + 20;
    const wxImage whole = Render(width, kHeight);
    const wxRect strip(beyond, 0, 10, kHeight);
    const wxImage drawn = whole.GetSubImage(strip);
    const unsigned char* rgb = drawn.GetData();
    ASSERT_TRUE(std::any_of(rgb, rgb + strip.width * strip.height * 3, [](unsigned char c) { return c != 255; }))
        << "the name does not reach " << beyond;
    EXPECT_TRUE(SamePixels(Render(width, kHeight, strip).GetSubImage(strip), drawn));
}
