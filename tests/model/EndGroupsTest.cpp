// How both text generators join widget ends into nodes, seen through the numbers they write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "analytical/GMLGenerator.h"
#include "editor/Mode.h"
#include "montecarlo/NDLGenerator.h"
#include "tests/Drawing.h"

namespace {

using Nodes = std::vector<std::pair<int, int>>;

Nodes NdlNodes(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    generator.Generate();
    Nodes nodes;
    for (const CWidget* w : doc.GetWidgetsInOrder())
        nodes.emplace_back(w->m_connect1, w->m_connect2);
    return nodes;
}

// The reasons the NDL check gives, in drawing order; whether the GML check refuses as many.
std::vector<std::string> Refusals(CKorvaneDoc& doc)
{
    CNDLGenerator ndl(&doc);
    ndl.Validate();
    std::vector<std::string> reasons;
    for (int i = 0; i < ndl.GetErrors()->GetSize(); ++i)
        reasons.push_back(std::string(WidgetTypeName(ndl.GetErrors()->GetAt(i)->GetType())) + ": " +
                          ndl.GetErrorReason(i));
    CGMLGenerator gml(&doc);
    gml.Validate();
    EXPECT_EQ(gml.GetErrors().GetSize(), ndl.GetErrors()->GetSize());
    return reasons;
}

struct Case {
    const char* what;
    std::string drawing;
    Nodes nodes;
    std::vector<std::string> refusals;
};

// Each drawing's refusals and NDL nodes, wherever in the coordinate range it lies; a device's GML
// ends fall together exactly when its NDL ends do.
template <std::size_t N>
void ExpectCases(const Case (&cases)[N])
{
    const CPoint offsets[] = {{0, 0}, {-1000003, 999983}, {INT32_MIN + 1000, INT32_MAX - 1000}};
    for (const CPoint offset : offsets) {
        for (const auto& c : cases) {
            CKorvaneDoc doc;
            for (CWidget* w : drawing::Draw(doc, c.drawing)) {
                const CPoint start = w->GetStartPoint(), end = w->GetEndPoint();
                w->SetStartPoint(start + offset);
                w->SetEndPoint(end + offset);
            }
            EXPECT_EQ(Refusals(doc), c.refusals) << c.what << " at " << offset.x << ", " << offset.y;
            EXPECT_EQ(NdlNodes(doc), c.nodes) << c.what << " at " << offset.x << ", " << offset.y;
            CGMLGenerator gml(&doc);
            gml.Generate();
            for (const CWidget* w : doc.GetWidgetsInOrder())
                EXPECT_TRUE(!w->IsTwoEnded() || w->GetType() == WidgetType::BusBar ||
                            (w->m_source == w->m_target) == (w->m_connect1 == w->m_connect2))
                    << c.what;
        }
    }
}

// Random drawings of devices one or two steps long, every end on another end or a symbol, each
// drawn in several orders and directions: both texts join two ends exactly when their points
// coincide, through a bus bar or through symbols lying on each other (and, in the GML, all sources
// are one supply); a device whose ends that makes one node is refused.
// With `besidePoints`, each symbol's anchor lies anywhere its body still holds its point.
void ExpectExactGeometry(std::mt19937& random, int step, bool besidePoints)
{
    struct Piece {
        WidgetType type;
        CPoint a, b;  // a symbol's point, and its anchor
    };
    const WidgetType devices[] = {WidgetType::Line,   WidgetType::CircuitBreaker, WidgetType::Fuse,
                                  WidgetType::Recloser, WidgetType::Isolator,     WidgetType::BusBar,
                                  WidgetType::Equipment, WidgetType::Transformer};
    auto between = [&random](int low, int high) { return low + static_cast<int>(random() % (high - low + 1)); };
    // Up to 9 px off the point, on or off an end's handle: every body holds its point, and with
    // steps of 30 or more no other point, nor a symbol beside another point.
    auto anchorFor = [&](CPoint p) { return besidePoints ? CPoint(p.x + between(-7, 7), p.y + between(-6, 3)) : p; };
    for (int drawing = 0; drawing < 150; ++drawing) {
        // A tree of devices grown from the source, with a few rings, loads on its leaves.
        std::vector<Piece> pieces{{WidgetType::GenSource, {0, 0}, {0, 0}}};
        std::vector<CPoint> points{{0, 0}};
        std::map<std::pair<int, int>, int> degree;
        const int count = 2 + static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            const CPoint from = points[random() % points.size()];
            const int steps = 1 + static_cast<int>(random() % 2);
            const int dx = static_cast<int>(random() % 3) - 1, dy = static_cast<int>(random() % 3) - 1;
            if (dx == 0 && dy == 0)
                continue;
            const CPoint to(from.x + dx * steps * step, from.y + dy * steps * step);
            pieces.push_back({devices[random() % std::size(devices)], from, to});
            ++degree[{from.x, from.y}];
            ++degree[{to.x, to.y}];
            if (std::find(points.begin(), points.end(), to) == points.end())
                points.push_back(to);
        }
        for (const CPoint p : points)
            if (degree[{p.x, p.y}] == 1 && p != CPoint(0, 0))
                pieces.push_back({WidgetType::LoadPoint, p, p});
        if (random() % 2 != 0) {
            const CPoint p = points[random() % points.size()];
            pieces.push_back({WidgetType::LoadPoint, p, p});
        }
        for (Piece& piece : pieces)
            if (piece.type == WidgetType::LoadPoint || piece.type == WidgetType::GenSource)
                piece.b = anchorFor(piece.a);

        for (int order = 0; order < 4; ++order) {
            std::shuffle(pieces.begin(), pieces.end(), random);
            CKorvaneDoc doc;
            std::vector<CPoint> pointOf;  // each widget's point (a symbol's is not its anchor)
            std::vector<CPoint> endPointOf;
            for (Piece& piece : pieces) {
                const bool symbol = piece.type == WidgetType::LoadPoint || piece.type == WidgetType::GenSource;
                if (!symbol && random() % 2 != 0)
                    std::swap(piece.a, piece.b);
                doc.AddWidget(NewWidget(piece.type, symbol ? piece.b : piece.a, piece.b));
                pointOf.push_back(piece.a);
                endPointOf.push_back(symbol ? piece.a : piece.b);
            }
            const std::vector<CWidget*> widgets = doc.GetWidgetsInOrder();

            // The reference: points joined by bus bars and by symbols lying on each other.
            std::vector<std::size_t> parent(points.size());
            std::iota(parent.begin(), parent.end(), std::size_t{0});
            auto find = [&parent](std::size_t i) {
                while (parent[i] != i)
                    i = parent[i] = parent[parent[i]];
                return i;
            };
            auto index = [&points](CPoint p) {
                return static_cast<std::size_t>(std::find(points.begin(), points.end(), p) - points.begin());
            };
            auto join = [&](CPoint p, CPoint q) { parent[find(index(p))] = find(index(q)); };
            for (std::size_t w = 0; w < widgets.size(); ++w) {
                if (widgets[w]->GetType() == WidgetType::BusBar)
                    join(pointOf[w], endPointOf[w]);
                for (std::size_t x = 0; x < widgets.size(); ++x)
                    if (!widgets[w]->IsTwoEnded() && !widgets[x]->IsTwoEnded() &&
                        widgets[w]->HitTest(widgets[x]->GetStartPoint()))
                        join(pointOf[w], pointOf[x]);
            }
            std::vector<std::string> looped;
            for (std::size_t w = 0; w < widgets.size(); ++w)
                if (widgets[w]->IsTwoEnded() && widgets[w]->GetType() != WidgetType::BusBar &&
                    find(index(pointOf[w])) == find(index(endPointOf[w])))
                    looped.push_back(std::string(WidgetTypeName(widgets[w]->GetType())) + ": both ends on one node");
            ASSERT_EQ(Refusals(doc), looped) << "step " << step << ", drawing " << drawing;

            // Every pair of ends: one NDL node exactly when one reference class.
            NdlNodes(doc);
            struct End {
                CPoint point;
                int ndl, gml;
            };
            CGMLGenerator gml(&doc);
            gml.Generate();
            std::vector<End> ends;
            for (std::size_t w = 0; w < widgets.size(); ++w) {
                if (widgets[w]->IsTwoEnded()) {
                    ends.push_back({pointOf[w], widgets[w]->m_connect1, widgets[w]->m_source});
                    ends.push_back({endPointOf[w], widgets[w]->m_connect2, widgets[w]->m_target});
                } else {
                    ends.push_back({pointOf[w], widgets[w]->m_connect1, -1});
                }
            }
            auto expect = [&](int End::*node, const char* text) {
                for (std::size_t i = 0; i < ends.size(); ++i) {
                    for (std::size_t j = 0; j < i; ++j) {
                        if (ends[i].*node >= 0 && ends[j].*node >= 0) {
                            ASSERT_EQ(ends[i].*node == ends[j].*node,
                                      find(index(ends[i].point)) == find(index(ends[j].point)))
                                << text << ", step " << step << ", drawing " << drawing;
                        }
                    }
                }
            };
            expect(&End::ndl, "NDL");
            for (std::size_t w = 0; w < widgets.size(); ++w)
                if (widgets[w]->GetType() == WidgetType::GenSource)
                    join(pointOf[w], CPoint(0, 0));
            expect(&End::gml, "GML");
        }
    }
}

}  // namespace

// Regression: a device shorter than a symbol's body had both ends joined to the symbol, so a fuse
// below a load point was looped onto one node and protected nothing.
TEST(EndGroups, ShortDevicesKeepBothEnds)
{
    // A source, a breaker and a line to load point A at (400, 0); below A a fuse of 20 or 10 px,
    // then a line to load point B. Drawn in this order at a snap grid of 10.
    const std::string belowLoadPoint = "G 0 0, C 0 0 100 0, L 100 0 400 0, P 400 0, F 400 0 400 ";
    const Nodes belowNodes = {{0, -1}, {0, 1}, {1, 2}, {2, -1}, {2, 3}, {3, 4}, {4, -1}};
    const Case cases[] = {
        {"a 20-px fuse below a load point", belowLoadPoint + "20, L 400 20 400 200, P 400 200", belowNodes, {}},
        {"a 10-px fuse below a load point", belowLoadPoint + "10, L 400 10 400 200, P 400 200", belowNodes, {}},
        {"a 10-px breaker beside a source", "G 0 0, C 0 0 10 0, L 10 0 200 0, P 200 0",
         {{0, -1}, {0, 1}, {1, 2}, {2, -1}}, {}},
        {"the far end of a short device dangling inside the body stays apart",
         "G 0 0, L 0 0 400 0, P 400 0, F 400 0 400 20", {{0, -1}, {0, 1}, {1, -1}, {1, 2}}, {"Fuse: not connected"}},
        {"a line ending inside a body, off its anchor and meeting nothing, still joins it",
         "G 0 100, L 0 100 110 110, P 100 100", {{0, -1}, {0, 1}, {1, -1}}, {}},
        {"a device of no length at a line's end is looped", "G 0 0, L 0 0 100 0, P 100 0, R 100 0 100 0",
         {{0, -1}, {0, 1}, {1, -1}, {1, 1}}, {"Recloser: both ends on one node"}},
        {"a line from one end of a bus bar to its other end is looped", "G 0 0, B 0 0 0 100, L 0 0 0 100",
         {{0, -1}, {0, 0}, {0, 0}}, {"Line: both ends on one node"}},
    };
    ExpectCases(cases);
}

// Regression: a symbol whose anchor lay off a junction where other ends met exactly, its body
// holding the junction, was "not connected", and symbols lying on each other there made an island.
// Such symbols take the nearest end's node, and a symbol already on a segment end keeps its node.
TEST(EndGroups, SymbolsBesideAJunctionTakeItsNode)
{
    const Case cases[] = {
        {"a load point 10 px beside a junction of two lines", "G 0 0, L 0 0 100 0, L 100 0 200 0, P 200 0, P 90 0",
         {{0, -1}, {0, 1}, {1, 2}, {2, -1}, {1, -1}}, {}},
        {"a load point 10 px above a bus bar's end where a line ends",
         "G 0 0, B 0 0 0 100, L 0 100 200 100, P 200 100, P 0 90", {{0, -1}, {0, 0}, {0, 1}, {1, -1}, {0, -1}}, {}},
        {"a source and a load point lying on each other beside a junction",
         "G 6 -1, P -7 0, L 0 0 100 0, L 0 0 0 100, P 100 0, P 0 100",
         {{0, -1}, {0, -1}, {0, 1}, {0, 2}, {1, -1}, {2, -1}}, {}},
        {"a load point beside a junction above a 20-px fuse takes the junction, not the fuse's end",
         "G 0 0, C 0 0 100 0, L 100 0 400 0, P 390 0, F 400 0 400 20, L 400 20 400 200, P 400 200",
         {{0, -1}, {0, 1}, {1, 2}, {2, -1}, {2, 3}, {3, 4}, {4, -1}}, {}},
        {"between two junctions as near, the left one",
         "G 0 0, L 0 0 90 0, L 90 0 110 0, L 110 0 200 0, P 200 0, P 100 0",
         {{0, -1}, {0, 1}, {1, 2}, {2, 3}, {3, -1}, {1, -1}}, {}},
        {"the same drawn backwards", "P 100 0, P 200 0, L 200 0 110 0, L 110 0 90 0, L 90 0 0 0, G 0 0",
         {{0, -1}, {1, -1}, {1, 2}, {2, 0}, {0, 3}, {3, -1}}, {}},
        {"a load point on a line's end keeps that node though its body holds another junction",
         "G 0 0, L 0 0 100 0, P 100 0, L 0 0 110 -100, L 110 -100 110 0, L 110 0 110 100, P 110 100",
         {{0, -1}, {0, 1}, {1, -1}, {0, 2}, {2, 3}, {3, 4}, {4, -1}}, {}},
    };
    ExpectCases(cases);
}

// Devices as short as one step of snap grids of 10 and 20, symbols on their points.
TEST(EndGroups, GridDrawingsNumberByTheirExactGeometry)
{
    std::mt19937 random(2024);
    for (const int grid : {10, 20})
        ExpectExactGeometry(random, grid, false);
}

// Regression: a symbol whose anchor lay beside a junction where other ends met exactly, its body
// holding the junction, was "not connected". With no device shorter than a symbol's body, every
// symbol beside its point takes the point's node, and nothing else changes.
TEST(EndGroups, SymbolsBesideTheirPointTakeItsNode)
{
    std::mt19937 random(2025);
    for (const int step : {30, 40})  // three steps of a grid of 10, two of 20: no body holds two points
        ExpectExactGeometry(random, step, true);
}
