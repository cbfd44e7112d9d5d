// How both text generators join widget ends into nodes, seen through the numbers they write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "analytical/AnalyticalSimulator.h"
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

// Random drawings on a grid of `step`: a tree of devices one or two steps long grown from the
// source, with a few rings, load points on its leaves and up to three more on any points; with
// `besidePoints`, most symbols lie up to 9 px off their points, where their bodies still hold them
// and no other point is as near. Each drawing, in several orders and directions, is checked against
// a reference that knows only where each piece was put: the ends at one point and the symbols put
// there are one node, a bus bar's two points are one, and a device whose points so fall together
// is refused. Returns how many drawings either text numbers otherwise, and the first of them.
std::pair<int, std::string> WronglyNumbered(std::mt19937& random, int step, bool besidePoints, int drawings)
{
    struct Piece {
        WidgetType type;
        CPoint a, b;  // a symbol's point, and its anchor
    };
    const WidgetType devices[] = {WidgetType::Line,   WidgetType::CircuitBreaker, WidgetType::Fuse,
                                  WidgetType::Recloser, WidgetType::Isolator,     WidgetType::BusBar,
                                  WidgetType::Equipment, WidgetType::Transformer};
    auto between = [&random](int low, int high) { return low + static_cast<int>(random() % (high - low + 1)); };
    auto distance2 = [](CPoint p, CPoint q) {
        return std::int64_t{p.x - q.x} * (p.x - q.x) + std::int64_t{p.y - q.y} * (p.y - q.y);
    };
    int wrong = 0;
    std::string first;
    for (int drawing = 0; drawing < drawings; ++drawing) {
        std::vector<Piece> pieces{{WidgetType::GenSource, {0, 0}, {0, 0}}};
        std::vector<CPoint> points{{0, 0}};
        std::map<std::pair<int, int>, int> degree;
        const int count = 2 + static_cast<int>(random() % 12);
        while (pieces.size() < static_cast<std::size_t>(count)) {
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
        for (int extra = static_cast<int>(random() % 4); extra > 0; --extra) {
            const CPoint p = points[random() % points.size()];
            pieces.push_back({WidgetType::LoadPoint, p, p});
        }
        for (Piece& piece : pieces) {
            if (piece.type != WidgetType::LoadPoint && piece.type != WidgetType::GenSource)
                continue;
            const bool beside = besidePoints && random() % 4 != 0;
            for (int attempt = 0; beside && attempt < 50; ++attempt) {
                const CPoint anchor(piece.a.x + between(-9, 9), piece.a.y + between(-9, 9));
                const bool nearest = std::all_of(points.begin(), points.end(), [&](CPoint q) {
                    return q == piece.a || distance2(anchor, q) > distance2(anchor, piece.a);
                });
                if (nearest && NewWidget(piece.type, anchor, anchor)->HitTest(piece.a)) {
                    piece.b = anchor;
                    break;
                }
            }
        }

        // The reference: points joined by bus bars.
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
        for (const Piece& piece : pieces)
            if (piece.type == WidgetType::BusBar)
                parent[find(index(piece.a))] = find(index(piece.b));

        std::string fault;
        for (int order = 0; order < 4 && fault.empty(); ++order) {
            std::shuffle(pieces.begin(), pieces.end(), random);
            CKorvaneDoc doc;
            std::vector<CPoint> pointOf, endPointOf;  // each widget's points (a symbol's, not its anchor)
            for (Piece& piece : pieces) {
                const bool symbol = piece.type == WidgetType::LoadPoint || piece.type == WidgetType::GenSource;
                if (!symbol && random() % 2 != 0)
                    std::swap(piece.a, piece.b);
                doc.AddWidget(NewWidget(piece.type, symbol ? piece.b : piece.a, piece.b));
                pointOf.push_back(piece.a);
                endPointOf.push_back(symbol ? piece.a : piece.b);
            }
            const std::vector<CWidget*> widgets = doc.GetWidgetsInOrder();
            std::vector<std::string> looped;
            for (std::size_t w = 0; w < widgets.size(); ++w)
                if (widgets[w]->IsTwoEnded() && widgets[w]->GetType() != WidgetType::BusBar &&
                    find(index(pointOf[w])) == find(index(endPointOf[w])))
                    looped.push_back(std::string(WidgetTypeName(widgets[w]->GetType())) + ": both ends on one node");
            if (Refusals(doc) != looped) {
                fault = "refusals";
                break;
            }

            // Every pair of ends: one node exactly when one reference class.
            NdlNodes(doc);
            CGMLGenerator gml(&doc);
            gml.Generate();
            struct End {
                CPoint point;
                int ndl, gml;
            };
            std::vector<End> ends;
            for (std::size_t w = 0; w < widgets.size(); ++w) {
                if (widgets[w]->IsTwoEnded()) {
                    ends.push_back({pointOf[w], widgets[w]->m_connect1, widgets[w]->m_source});
                    ends.push_back({endPointOf[w], widgets[w]->m_connect2, widgets[w]->m_target});
                } else {
                    ends.push_back({pointOf[w], widgets[w]->m_connect1, -1});
                }
            }
            for (std::size_t i = 0; i < ends.size() && fault.empty(); ++i) {
                for (std::size_t j = 0; j < i; ++j) {
                    const bool together = find(index(ends[i].point)) == find(index(ends[j].point));
                    if ((ends[i].ndl == ends[j].ndl) != together ||
                        (ends[i].gml >= 0 && ends[j].gml >= 0 && (ends[i].gml == ends[j].gml) != together)) {
                        fault = "nodes";
                        break;
                    }
                }
            }
        }
        if (!fault.empty() && wrong++ == 0) {
            first = "step " + std::to_string(step) + ", drawing " + std::to_string(drawing) + " (" + fault + "):";
            for (const Piece& piece : pieces)
                first += " " + std::string(WidgetTypeName(piece.type)) + " " + std::to_string(piece.a.x) + " " +
                         std::to_string(piece.a.y) + " " + std::to_string(piece.b.x) + " " + std::to_string(piece.b.y);
        }
    }
    return {wrong, first};
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
        {"a line ending inside the body of a load point that is on another line's end joins it",
         "G 0 0, L 0 0 100 0, P 100 0, L 108 8 200 100, P 200 100", {{0, -1}, {0, 1}, {1, -1}, {1, 2}, {2, -1}}, {}},
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

// Regression: two symbols each on its own device's end, one step of a fine grid apart, were
// joined because one's body held the other's anchor, so two feeders' loads shared one node and a
// fuse between two load points was refused as looped. Symbols beside their points, their bodies
// holding the points, were left "not connected" or joined to a neighbouring point.
TEST(EndGroups, RandomDrawingsNumberEachPieceWhereItWasPut)
{
    std::mt19937 random(2024);
    for (const int step : {10, 20, 30, 40}) {
        for (const bool besidePoints : {false, true}) {
            const auto [wrong, first] = WronglyNumbered(random, step, besidePoints, 200);
            EXPECT_EQ(wrong, 0) << "of 200 at step " << step << (besidePoints ? ", symbols beside their points" : "") << "; first: " << first;
        }
    }
}

// Regression: two symbols each on its own device's end were joined whenever one's body held the
// other's anchor. Two feeders' loads 20 px apart shared one node, each counting both feeders'
// faults; a 20-px fuse between two load points was refused as looped onto one node. Drawn so, each
// network gives the texts, and so the figures, of the same network drawn further apart.
TEST(EndGroups, SymbolsOnTheirOwnEndsKeepTheirNodes)
{
    struct Case {
        const char* what;
        std::string near, far;
        std::vector<double> outageRates;  // each load's, from the analytical run
    };
    // A source, a breaker and a line (1.023 faults a year) to load A at (200, 200); a second
    // breaker and line (0.295) to load B below it.
    auto feeders = [](int y) {
        return "G 0 200, C 0 200 50 200, L 50 200 200 200, P 200 200, C 0 200 0 300, L 0 300 200 " +
               std::to_string(y) + ", P 200 " + std::to_string(y);
    };
    // A source, a breaker and a line to load A at (400, 0); a fuse below it to load B.
    auto fuse = [](int length) {
        const std::string end = "400 " + std::to_string(length);
        return "G 0 0, C 0 0 100 0, L 100 0 400 0, P 400 0, F 400 0 " + end + ", P " + end;
    };
    const Case cases[] = {
        {"loads of two feeders 20 px apart", feeders(220), feeders(240), {1.023, 0.295}},
        {"a 20-px fuse between two load points", fuse(20), fuse(30), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string ndl[2], gml[2];
        CAnalyticalResult result[2];
        std::vector<CGMLResult> records;
        for (int drawn = 0; drawn < 2; ++drawn) {
            CKorvaneDoc doc;
            const std::vector<CWidget*> widgets = drawing::Draw(doc, drawn == 0 ? c.near : c.far);
            double rate = 1.023;
            for (CWidget* w : widgets) {
                if (auto* line = dynamic_cast<CLine*>(w)) {
                    line->m_dFaultRate = rate, line->m_dRepairTime = 4, line->m_dFeederLength = 1;
                    line->m_dFailure1 = rate, line->m_dRepair1 = 4;
                    rate = 0.295;
                } else if (auto* load = dynamic_cast<CLoadPoint*>(w)) {
                    load->m_nNumCustomers = load->m_nCustomers = 10;
                    load->m_dLoad = load->m_dAverage = 1;
                }
            }
            CNDLGenerator ndlGenerator(&doc);
            EXPECT_TRUE(ndlGenerator.Validate()) << (ndlGenerator.GetErrors()->GetSize() > 0 ? ndlGenerator.GetErrorReason(0) : "");
            ndlGenerator.Generate();
            ndl[drawn] = ndlGenerator.GetNDL();
            CGMLGenerator gmlGenerator(&doc);
            EXPECT_TRUE(gmlGenerator.Validate());
            gmlGenerator.Generate();
            gml[drawn] = gmlGenerator.GetGML();
            result[drawn] = CAnalyticalSimulator().Run(gml[drawn], 0, 1, 100, drawn == 0 ? &records : nullptr);
            EXPECT_TRUE(result[drawn].ok) << result[drawn].error;
        }
        EXPECT_EQ(ndl[0], ndl[1]);
        EXPECT_EQ(gml[0], gml[1]);
        EXPECT_EQ(result[0].message, result[1].message);
        ASSERT_GE(records.size(), c.outageRates.size());
        for (std::size_t k = 0; k < c.outageRates.size(); ++k)
            EXPECT_NEAR(records[records.size() - c.outageRates.size() + k].m_dTotalOutageRate, c.outageRates[k], 1e-12);
    }
}
