#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "editor/FigureGeometry.h"
#include "editor/Mode.h"
#include "model/Collections.h"

using figure::CStroke;

namespace {

std::vector<CPoint> CrossPoints(CPoint s, CPoint e, int size)
{
    const auto c = figure::TurnedCross(s, e, size);
    return {c.p1, c.p2, c.p3, c.p4};
}

}  // namespace

TEST(FigureGeometry, TurnedCrossFollowsTheSegment)
{
    struct Case {
        CPoint start, end;
        int size;
        std::vector<CPoint> expected;  // P1, P2, P3, P4
    };
    const Case cases[] = {
        // Axis-aligned and zero-length segments put the corners at M +- s.
        {{0, 50}, {100, 50}, 7, {{43, 43}, {57, 57}, {57, 43}, {43, 57}}},
        {{50, 0}, {50, 100}, 7, {{43, 43}, {57, 57}, {57, 43}, {43, 57}}},
        {{30, 30}, {30, 30}, 7, {{23, 23}, {37, 37}, {37, 23}, {23, 37}}},
        // A 45-degree segment makes the cross upright (sa = ca = sb = cb = 4).
        {{0, 0}, {20, 20}, 7, {{2, 10}, {18, 10}, {10, 2}, {10, 18}}},
        {{20, 20}, {0, 0}, 7, {{2, 10}, {18, 10}, {10, 2}, {10, 18}}},
        // Opposite signs of dx and dy.
        {{0, 20}, {20, 0}, 7, {{10, 2}, {10, 18}, {18, 10}, {2, 10}}},
        // A shallow slope (sa = cb = 4, ca = sb = 2): the square's sides run along and across it.
        {{0, 0}, {40, 20}, 5, {{14, 12}, {26, 8}, {18, 4}, {22, 16}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CrossPoints(c.start, c.end, c.size), c.expected)
            << "(" << c.start.x << "," << c.start.y << ")-(" << c.end.x << "," << c.end.y << ")";
}

TEST(FigureGeometry, IsolatorBladeOpensAtTheMidpoint)
{
    const auto flat = figure::IsolatorBlade({0, 0}, {40, 0});
    EXPECT_EQ(flat.blade, CPoint(32, 12));
    EXPECT_EQ(flat.gapFrom, CPoint(21, 0));
    EXPECT_EQ(flat.gapTo, CPoint(32, 0));
    EXPECT_TRUE(flat.gapUsesWidgetWidth);
    EXPECT_FALSE(flat.gapFirst);

    const auto upright = figure::IsolatorBlade({0, 0}, {0, 40});
    EXPECT_EQ(upright.gapFrom, CPoint(0, 21));
    EXPECT_EQ(upright.gapTo, CPoint(0, 32));

    // 45 degrees: trunc(12 sin 45) = 8.
    const auto slanted = figure::IsolatorBlade({0, 0}, {20, 20});
    EXPECT_EQ(slanted.blade, CPoint(26, 10));
    EXPECT_EQ(slanted.gapFrom, CPoint(10, 10));
    EXPECT_EQ(slanted.gapTo, CPoint(18, 18));
    EXPECT_TRUE(slanted.gapFirst);
    EXPECT_FALSE(slanted.gapUsesWidgetWidth);

    const auto opposite = figure::IsolatorBlade({0, 20}, {20, 0});
    EXPECT_EQ(opposite.blade, CPoint(10, 26));
    EXPECT_EQ(opposite.gapTo, CPoint(2, 18));
}

TEST(FigureGeometry, TransformerRingsSitThreeApartAlongTheSegment)
{
    using Pair = std::pair<CPoint, CPoint>;
    EXPECT_EQ(figure::TransformerRingCentres({10, 0}, {10, 40}), Pair({10, 17}, {10, 23}));
    EXPECT_EQ(figure::TransformerRingCentres({0, 10}, {40, 10}), Pair({17, 10}, {23, 10}));
    EXPECT_EQ(figure::TransformerRingCentres({0, 0}, {20, 20}), Pair({8, 8}, {12, 12}));
    EXPECT_EQ(figure::TransformerRingCentres({0, 20}, {20, 0}), Pair({12, 8}, {8, 12}));
    EXPECT_EQ(figure::Midpoint({-5, -5}, {0, 0}), CPoint(-2, -2));  // truncated toward zero
}

TEST(FigureGeometry, SymbolsAreBlackAndOnlyLinesTakeTheWidgetColour)
{
    const COLORREF red = RGB(255, 0, 0);
    const CCircuitBreaker breaker({0, 0}, {40, 30}, 2, red);
    const CFuse fuse({0, 0}, {40, 0}, 1, red);
    const CEquipment equipment({0, 0}, {0, 40}, 1, red);
    const CGenSource source({50, 50}, 3, red);
    for (const CWidget* w : std::initializer_list<const CWidget*>{&breaker, &fuse, &equipment}) {
        const auto strokes = figure::FigureStrokes(*w);
        ASSERT_FALSE(strokes.empty());
        EXPECT_EQ(strokes[0].pen, red);  // the line itself
        for (std::size_t i = 1; i < strokes.size(); ++i) {
            if (strokes[i].kind == CStroke::Kind::Polygon)
                EXPECT_EQ(strokes[i].fill, figure::kGrey);
            else
                EXPECT_EQ(strokes[i].pen, figure::kBlack);
        }
    }
    for (const CStroke& s : figure::FigureStrokes(source)) {
        EXPECT_EQ(s.pen, figure::kBlack);
        EXPECT_EQ(s.penWidth, 3);
    }
}

TEST(FigureGeometry, RecloserCircleStaysUprightAndTheLineGoesOverIt)
{
    const CRecloser recloser({0, 0}, {40, 30}, 1, figure::kGrey);
    const auto strokes = figure::FigureStrokes(recloser);
    ASSERT_EQ(strokes.size(), 3u);
    EXPECT_EQ(strokes[0].kind, CStroke::Kind::Ellipse);
    EXPECT_EQ(strokes[0].points, (std::vector<CPoint>{{13, 8}, {27, 22}}));
    EXPECT_EQ(strokes[2].kind, CStroke::Kind::Line);
    EXPECT_EQ(strokes[2].points, (std::vector<CPoint>{{0, 0}, {40, 30}}));
}

TEST(FigureGeometry, LoadPointDrawsBarNameAndStem)
{
    CLoadPoint lp({100, 100}, 1, figure::kGrey);
    lp.m_strName = "LP7";
    auto strokes = figure::FigureStrokes(lp);
    ASSERT_EQ(strokes.size(), 3u);
    EXPECT_EQ(strokes[0].points, (std::vector<CPoint>{{89, 109}, {111, 109}}));
    EXPECT_EQ(strokes[0].pen, figure::kBlack);
    EXPECT_EQ(strokes[1].kind, CStroke::Kind::Text);
    EXPECT_EQ(strokes[1].text, "LP7");
    EXPECT_EQ(strokes[1].points[0], CPoint(88, 111));
    EXPECT_EQ(strokes[2].points, (std::vector<CPoint>{{100, 100}, {100, 109}}));
    EXPECT_EQ(strokes[2].pen, figure::kGrey);

    // Above the first row the symbol hangs upward; without a name only stem and bar are drawn.
    lp.m_position = {100, 0};
    lp.m_strName.clear();
    strokes = figure::FigureStrokes(lp);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].points, (std::vector<CPoint>{{89, -9}, {111, -9}}));
    EXPECT_EQ(strokes[1].points, (std::vector<CPoint>{{100, 0}, {100, -9}}));
}

TEST(FigureGeometry, MarksSitOnTheHandles)
{
    const CLine line({10, 20}, {110, 20}, 1, 0);
    EXPECT_EQ(figure::SelectionMarks(line), (std::vector<CRect>{{7, 17, 13, 23}, {107, 17, 113, 23}}));
    EXPECT_EQ(figure::HighlightMarks(line), (std::vector<CRect>{{6, 16, 14, 24}, {106, 16, 114, 24}}));
    const CGenSource source({50, 50}, 1, 0);
    EXPECT_EQ(figure::SelectionMarks(source), (std::vector<CRect>{{37, 37, 43, 43}, {57, 57, 63, 63}}));
    EXPECT_EQ(figure::HighlightMarks(source), (std::vector<CRect>{{46, 46, 54, 54}}));
    const CLoadPoint lp({50, 50}, 1, 0);
    EXPECT_EQ(figure::SelectionMarks(lp), (std::vector<CRect>{{37, 43, 43, 49}, {60, 70, 66, 76}}));
}

// Catches signed overflow (undefined behaviour) in the figures of widgets that a file placed at
// the edges of the coordinate range, where every symbol is worked out around its points.
TEST(FigureGeometry, WidgetsAtTheCoordinateLimitsHaveFiguresWithinRange)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const CPoint corners[] = {{kMin, kMin}, {kMax, kMax}, {kMin, kMax}, {kMax, kMin}, {0, kMin}, {kMax, 0}};
    for (const CPoint a : corners) {
        for (const CPoint b : corners) {
            for (int t = 0; t < kWidgetTypeCount; ++t) {
                const auto w = NewWidget(static_cast<WidgetType>(t), a, b);
                EXPECT_FALSE(figure::FigureStrokes(*w).empty());
                figure::SelectionMarks(*w);
                figure::HighlightMarks(*w);
            }
        }
    }
}
