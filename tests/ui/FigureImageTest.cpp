// The ten figures drawn into a memory bitmap without antialiasing, compared with golden images
// (tests/data/figures; KORVANE_UPDATE_GOLDEN=1 rewrites them after a deliberate change), and
// probed at pixels that the drawing rules fix.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <wx/dcmemory.h>
#include <wx/image.h>

#include "editor/Mode.h"
#include "editor/ui/WidgetFigures.h"

namespace {

constexpr int kCell = 80;
constexpr int kWidth = kCell * kWidgetTypeCount;
constexpr int kRowHeight = 90;

// Row 0 horizontal, 1 vertical, 2 rising, 3 falling; cell t holds widget type t.
std::unique_ptr<CWidget> Sample(WidgetType type, int row)
{
    const int x = kCell * static_cast<int>(type) + 10;
    const int y = kRowHeight * row + 15;
    CPoint start, end;
    switch (row) {
    case 0:
        start = {x, y + 30}, end = {x + 60, y + 30};
        break;
    case 1:
        start = {x + 30, y}, end = {x + 30, y + 60};
        break;
    case 2:
        start = {x, y + 60}, end = {x + 60, y + 10};
        break;
    default:
        start = {x, y}, end = {x + 60, y + 45};
        break;
    }
    if (type == WidgetType::LoadPoint) {
        // No name: text would tie the image to the machine's fonts.
        auto lp = NewWidget(type, CPoint(x + 30, y + 20), end);
        static_cast<CLoadPoint&>(*lp).m_strName.clear();
        return lp;
    }
    if (type == WidgetType::GenSource)
        return NewWidget(type, CPoint(x + 30, y + 30), end);
    return NewWidget(type, start, end);
}

wxImage DrawAll()
{
    wxBitmap bitmap(kWidth, kRowHeight * 4, 24);
    {
        wxMemoryDC dc(bitmap);
        DisableAntialiasing(dc);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        for (int row = 0; row < 4; ++row)
            for (int t = 0; t < kWidgetTypeCount; ++t) {
                const auto widget = Sample(static_cast<WidgetType>(t), row);
                const auto fig = MakeFigure(*widget);
                fig->Draw(dc);
                fig->DrawSelection(dc);
            }
    }
    return bitmap.ConvertToImage();
}

wxColour At(const wxImage& image, int x, int y)
{
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

}  // namespace

TEST(FigureImages, MatchTheGoldenImage)
{
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler);
    const wxImage actual = DrawAll();
    const wxString golden = wxString(KORVANE_TEST_DATA) + "/figures/figures.png";
    if (std::getenv("KORVANE_UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(actual.SaveFile(golden, wxBITMAP_TYPE_PNG));
        GTEST_SKIP() << "golden image rewritten";
    }
    wxImage expected;
    ASSERT_TRUE(expected.LoadFile(golden, wxBITMAP_TYPE_PNG)) << golden;
    ASSERT_EQ(expected.GetSize(), actual.GetSize());
    const int bytes = actual.GetWidth() * actual.GetHeight() * 3;
    if (std::memcmp(expected.GetData(), actual.GetData(), bytes) != 0) {
        actual.SaveFile("figures-actual.png", wxBITMAP_TYPE_PNG);
        FAIL() << "the figures differ from " << golden << "; see figures-actual.png in the test folder";
    }
}

TEST(FigureImages, FollowTheDrawingRules)
{
    const wxImage image = DrawAll();
    const wxColour grey(128, 128, 128), black(0, 0, 0), white(255, 255, 255);
    const int y = 45;  // the horizontal row's line
    auto cx = [](WidgetType t) { return kCell * static_cast<int>(t) + 40; };  // the midpoint's x

    // Lines take the widget's colour; symbols are black.
    EXPECT_EQ(At(image, cx(WidgetType::Line), y), grey);
    EXPECT_EQ(At(image, cx(WidgetType::CircuitBreaker) + 4, y + 4), black);  // on the X
    EXPECT_EQ(At(image, cx(WidgetType::CircuitBreaker) - 20, y), grey);
    // The fuse's bow tie and the equipment's square are grey inside.
    EXPECT_EQ(At(image, cx(WidgetType::Fuse) - 4, y + 1), grey);
    EXPECT_EQ(At(image, cx(WidgetType::Fuse), y - 5), white);
    EXPECT_EQ(At(image, cx(WidgetType::Equipment) + 3, y - 3), grey);
    // The recloser's circle is white inside, crossed by the line.
    EXPECT_EQ(At(image, cx(WidgetType::Recloser) + 2, y - 3), white);
    EXPECT_EQ(At(image, cx(WidgetType::Recloser) + 3, y), grey);
    // The isolator's line is broken right of the midpoint, and the blade leaves it downward.
    EXPECT_EQ(At(image, cx(WidgetType::Isolator) + 6, y), white);
    EXPECT_EQ(At(image, cx(WidgetType::Isolator) - 6, y), grey);
    EXPECT_EQ(At(image, cx(WidgetType::Isolator) + 6, y + 6), black);
    // The transformer's rings hide the line inside them.
    EXPECT_EQ(At(image, cx(WidgetType::Transformer), y), white);
    // Selection marks: 6 by 6 outlines on the ends.
    EXPECT_EQ(At(image, kCell * static_cast<int>(WidgetType::BusBar) + 10 - 3, y - 3), black);
    EXPECT_EQ(At(image, kCell * static_cast<int>(WidgetType::BusBar) + 10 - 1, y - 2), white);
}
