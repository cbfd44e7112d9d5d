#include "editor/FigureGeometry.h"

#include <cmath>
#include <cstdlib>

#include "model/LoadPoint.h"

namespace figure {

namespace {

// A point beside c, held inside the coordinate range: a file may place widgets at its edge.
CPoint At(CPoint c, std::int64_t dx, std::int64_t dy)
{
    return {ClampCoordinate(c.x + dx), ClampCoordinate(c.y + dy)};
}

constexpr double kPi = 3.141592653589793;

struct CTurn {
    int sa, ca, sb, cb;
};

// The angle of the segment from the horizontal as whole-unit sines and cosines of size s.
CTurn Turn(std::int64_t dx, std::int64_t dy, int s)
{
    const double a = kPi / 2 - std::atan(std::fabs(static_cast<double>(dy) / static_cast<double>(dx)));
    const double b = kPi / 2 - a;
    return {static_cast<int>(std::trunc(s * std::sin(a))), static_cast<int>(std::trunc(s * std::cos(a))),
            static_cast<int>(std::trunc(s * std::sin(b))), static_cast<int>(std::trunc(s * std::cos(b)))};
}

bool OppositeSigns(std::int64_t dx, std::int64_t dy)
{
    return (dx < 0) != (dy < 0);
}

std::int64_t Dx(CPoint start, CPoint end)
{
    return static_cast<std::int64_t>(end.x) - start.x;
}

std::int64_t Dy(CPoint start, CPoint end)
{
    return static_cast<std::int64_t>(end.y) - start.y;
}

CStroke Line(CPoint a, CPoint b, COLORREF pen, int width)
{
    CStroke s;
    s.kind = CStroke::Kind::Line;
    s.points = {a, b};
    s.pen = pen;
    s.penWidth = width;
    return s;
}

CStroke Polygon(std::vector<CPoint> corners, COLORREF fill)
{
    CStroke s;
    s.kind = CStroke::Kind::Polygon;
    s.points = std::move(corners);
    s.fill = fill;
    return s;
}

CStroke Circle(CPoint centre, int radius, COLORREF pen, int width, bool hollow = false)
{
    CStroke s;
    s.kind = CStroke::Kind::Ellipse;
    s.points = {At(centre, -radius, -radius), At(centre, radius, radius)};
    s.pen = pen;
    s.penWidth = width;
    s.hollow = hollow;
    return s;
}

void TwoEnded(const CWidget& w, std::vector<CStroke>& out)
{
    const CPoint start = w.GetStartPoint();
    const CPoint end = w.GetEndPoint();
    const int width = w.GetWidth();
    const COLORREF colour = w.GetColour();
    const CPoint m = Midpoint(start, end);
    const CStroke line = Line(start, end, colour, width);

    switch (w.GetType()) {
    case WidgetType::Line:
    case WidgetType::BusBar:
        out.push_back(line);
        break;
    case WidgetType::CircuitBreaker: {
        const CTurnedCross c = TurnedCross(start, end, 7);
        out.push_back(line);
        out.push_back(Line(c.p1, c.p2, kBlack, width));
        out.push_back(Line(c.p3, c.p4, kBlack, width));
        break;
    }
    case WidgetType::Equipment: {
        const CTurnedCross c = TurnedCross(start, end, 7);
        out.push_back(line);
        out.push_back(Polygon({c.p1, c.p3, c.p2, c.p4}, kGrey));
        out.push_back(Line(c.p1, c.p3, kBlack, width));
        out.push_back(Line(c.p1, c.p4, kBlack, width));
        out.push_back(Line(c.p3, c.p2, kBlack, width));
        out.push_back(Line(c.p4, c.p2, kBlack, width));
        break;
    }
    case WidgetType::Fuse: {
        const CTurnedCross c = TurnedCross(start, end, 7);
        const bool flat = start.y == end.y;
        out.push_back(line);
        if (flat) {
            out.push_back(Polygon({c.p1, c.p4, m}, kGrey));
            out.push_back(Polygon({c.p2, c.p3, m}, kGrey));
        } else {
            out.push_back(Polygon({c.p1, c.p3, m}, kGrey));
            out.push_back(Polygon({c.p2, c.p4, m}, kGrey));
        }
        out.push_back(Line(c.p1, c.p2, kBlack, width));
        out.push_back(Line(c.p3, c.p4, kBlack, width));
        if (flat) {
            out.push_back(Line(c.p1, c.p4, kBlack, width));
            out.push_back(Line(c.p2, c.p3, kBlack, width));
        } else {
            out.push_back(Line(c.p1, c.p3, kBlack, width));
            out.push_back(Line(c.p2, c.p4, kBlack, width));
        }
        break;
    }
    case WidgetType::Recloser: {
        const CTurnedCross c = TurnedCross(start, end, 5);
        out.push_back(Circle(m, 7, kBlack, width));
        out.push_back(Line(c.p1, c.p2, kBlack, width));
        out.push_back(line);
        break;
    }
    case WidgetType::Isolator: {
        const CIsolatorBlade b = IsolatorBlade(start, end);
        const CStroke gap = Line(b.gapFrom, b.gapTo, kWhite, b.gapUsesWidgetWidth ? width : 2);
        const CStroke blade = Line(m, b.blade, kBlack, width);
        out.push_back(line);
        if (b.gapFirst) {
            out.push_back(gap);
            out.push_back(blade);
        } else {
            out.push_back(blade);
            out.push_back(gap);
        }
        break;
    }
    case WidgetType::Transformer: {
        const auto [c1, c2] = TransformerRingCentres(start, end);
        out.push_back(line);
        out.push_back(Circle(c1, 7, colour, width));
        out.push_back(Circle(c2, 7, colour, width));
        // The first ring's outline again, so both rings show whole where they overlap.
        out.push_back(Circle(c1, 7, colour, width, true));
        break;
    }
    default:
        break;
    }
}

}  // namespace

CPoint Midpoint(CPoint start, CPoint end)
{
    return {static_cast<std::int32_t>((static_cast<std::int64_t>(start.x) + end.x) / 2),
            static_cast<std::int32_t>((static_cast<std::int64_t>(start.y) + end.y) / 2)};
}

CTurnedCross TurnedCross(CPoint start, CPoint end, int s)
{
    const CPoint m = Midpoint(start, end);
    const std::int64_t dx = Dx(start, end);
    const std::int64_t dy = Dy(start, end);
    if (dx == 0 || dy == 0)
        return {At(m, -s, -s), At(m, s, s), At(m, s, -s), At(m, -s, s)};
    const auto [sa, ca, sb, cb] = Turn(dx, dy, s);
    if (OppositeSigns(dx, dy))
        return {At(m, cb - ca, -sb - sa),
                At(m, -cb + ca, sb + sa),
                At(m, cb + ca, -sb + sa),
                At(m, -cb - ca, sb - sa)};
    return {At(m, -cb - ca, -sb + sa),
            At(m, cb + ca, sb - sa),
            At(m, -cb + ca, -sb - sa),
            At(m, cb - ca, sb + sa)};
}

CIsolatorBlade IsolatorBlade(CPoint start, CPoint end)
{
    const CPoint m = Midpoint(start, end);
    const std::int64_t dx = Dx(start, end);
    const std::int64_t dy = Dy(start, end);
    CIsolatorBlade b;
    if (dx == 0 || dy == 0) {
        b.blade = At(m, 12, 12);
        b.gapUsesWidgetWidth = true;
        if (dx == 0) {
            b.gapFrom = At(m, 0, 1);
            b.gapTo = At(m, 0, 12);
        } else {
            b.gapFrom = At(m, 1, 0);
            b.gapTo = At(m, 12, 0);
        }
        return b;
    }
    const auto [sa, ca, sb, cb] = Turn(dx, dy, 12);
    b.gapFirst = true;
    b.gapFrom = m;
    if (OppositeSigns(dx, dy)) {
        b.blade = At(m, -cb + ca, sb + sa);
        b.gapTo = At(m, -cb, sb);
    } else {
        b.blade = At(m, cb + ca, sb - sa);
        b.gapTo = At(m, cb, sb);
    }
    return b;
}

std::pair<CPoint, CPoint> TransformerRingCentres(CPoint start, CPoint end)
{
    const CPoint m = Midpoint(start, end);
    const std::int64_t dx = Dx(start, end);
    const std::int64_t dy = Dy(start, end);
    if (dx == 0)
        return {At(m, 0, -3), At(m, 0, 3)};
    if (dy == 0)
        return {At(m, -3, 0), At(m, 3, 0)};
    const double a = kPi / 2 - std::atan(std::fabs(static_cast<double>(dy) / static_cast<double>(dx)));
    const int p = static_cast<int>(std::trunc(3 * std::sin(a)));
    const int q = static_cast<int>(std::trunc(3 * std::cos(a)));
    if (OppositeSigns(dx, dy))
        return {At(m, p, -q), At(m, -p, q)};
    return {At(m, -p, -q), At(m, p, q)};
}

std::vector<CStroke> FigureStrokes(const CWidget& widget)
{
    std::vector<CStroke> out;
    const int width = widget.GetWidth();
    const CPoint p = widget.GetStartPoint();
    switch (widget.GetType()) {
    case WidgetType::GenSource:
        // The symbol is always black; the stored colour plays no part.
        out.push_back(Circle(p, 9, kBlack, width));
        out.push_back(Line(p, At(p, -3, -3), kBlack, width));
        out.push_back(Line(At(p, -3, -3), At(p, -6, 2), kBlack, width));
        out.push_back(Line(p, At(p, 2, 3), kBlack, width));
        out.push_back(Line(At(p, 2, 3), At(p, 6, -2), kBlack, width));
        break;
    case WidgetType::LoadPoint: {
        // Below the position, unless the position lies above the canvas's first row.
        const int dir = p.y < 1 ? -1 : 1;
        out.push_back(Line(At(p, -11, dir * 9), At(p, 11, dir * 9), kBlack, width));
        const auto& name = static_cast<const CLoadPoint&>(widget).m_strName;
        if (!name.empty()) {
            CStroke text;
            text.kind = CStroke::Kind::Text;
            text.points = {At(p, -12, dir * 11)};
            text.text = name;
            out.push_back(std::move(text));
        }
        out.push_back(Line(p, At(p, 0, dir * 9), widget.GetColour(), width));
        break;
    }
    default:
        TwoEnded(widget, out);
        break;
    }
    return out;
}

std::vector<CRect> SelectionMarks(const CWidget& widget)
{
    const CPoint p = widget.GetStartPoint();
    switch (widget.GetType()) {
    case WidgetType::GenSource:
        return {CRect::Around(p, -13, -13, -7, -7), CRect::Around(p, 7, 7, 13, 13)};
    case WidgetType::LoadPoint:
        return {CRect::Around(p, -13, -7, -7, -1), CRect::Around(p, 10, 20, 16, 26)};
    default: {
        const CPoint e = widget.GetEndPoint();
        return {CRect::Around(p, -3, -3, 3, 3), CRect::Around(e, -3, -3, 3, 3)};
    }
    }
}

std::vector<CRect> HighlightMarks(const CWidget& widget)
{
    const CPoint p = widget.GetStartPoint();
    if (!widget.IsTwoEnded())
        return {CRect::Around(p, -4, -4, 4, 4)};
    const CPoint e = widget.GetEndPoint();
    return {CRect::Around(p, -4, -4, 4, 4), CRect::Around(e, -4, -4, 4, 4)};
}

}  // namespace figure
