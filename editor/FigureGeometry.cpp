#include "editor/FigureGeometry.h"

#include <cmath>
#include <cstdlib>

#include "model/LoadPoint.h"

namespace figure {

namespace {

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
    s.points = {{centre.x - radius, centre.y - radius}, {centre.x + radius, centre.y + radius}};
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
        return {{m.x - s, m.y - s}, {m.x + s, m.y + s}, {m.x + s, m.y - s}, {m.x - s, m.y + s}};
    const auto [sa, ca, sb, cb] = Turn(dx, dy, s);
    if (OppositeSigns(dx, dy))
        return {{m.x + cb - ca, m.y - sb - sa},
                {m.x - cb + ca, m.y + sb + sa},
                {m.x + cb + ca, m.y - sb + sa},
                {m.x - cb - ca, m.y + sb - sa}};
    return {{m.x - cb - ca, m.y - sb + sa},
            {m.x + cb + ca, m.y + sb - sa},
            {m.x - cb + ca, m.y - sb - sa},
            {m.x + cb - ca, m.y + sb + sa}};
}

CIsolatorBlade IsolatorBlade(CPoint start, CPoint end)
{
    const CPoint m = Midpoint(start, end);
    const std::int64_t dx = Dx(start, end);
    const std::int64_t dy = Dy(start, end);
    CIsolatorBlade b;
    if (dx == 0 || dy == 0) {
        b.blade = {m.x + 12, m.y + 12};
        b.gapUsesWidgetWidth = true;
        if (dx == 0) {
            b.gapFrom = {m.x, m.y + 1};
            b.gapTo = {m.x, m.y + 12};
        } else {
            b.gapFrom = {m.x + 1, m.y};
            b.gapTo = {m.x + 12, m.y};
        }
        return b;
    }
    const auto [sa, ca, sb, cb] = Turn(dx, dy, 12);
    b.gapFirst = true;
    b.gapFrom = m;
    if (OppositeSigns(dx, dy)) {
        b.blade = {m.x - cb + ca, m.y + sb + sa};
        b.gapTo = {m.x - cb, m.y + sb};
    } else {
        b.blade = {m.x + cb + ca, m.y + sb - sa};
        b.gapTo = {m.x + cb, m.y + sb};
    }
    return b;
}

std::pair<CPoint, CPoint> TransformerRingCentres(CPoint start, CPoint end)
{
    const CPoint m = Midpoint(start, end);
    const std::int64_t dx = Dx(start, end);
    const std::int64_t dy = Dy(start, end);
    if (dx == 0)
        return {{m.x, m.y - 3}, {m.x, m.y + 3}};
    if (dy == 0)
        return {{m.x - 3, m.y}, {m.x + 3, m.y}};
    const double a = kPi / 2 - std::atan(std::fabs(static_cast<double>(dy) / static_cast<double>(dx)));
    const int p = static_cast<int>(std::trunc(3 * std::sin(a)));
    const int q = static_cast<int>(std::trunc(3 * std::cos(a)));
    if (OppositeSigns(dx, dy))
        return {{m.x + p, m.y - q}, {m.x - p, m.y + q}};
    return {{m.x - p, m.y - q}, {m.x + p, m.y + q}};
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
        out.push_back(Line(p, {p.x - 3, p.y - 3}, kBlack, width));
        out.push_back(Line({p.x - 3, p.y - 3}, {p.x - 6, p.y + 2}, kBlack, width));
        out.push_back(Line(p, {p.x + 2, p.y + 3}, kBlack, width));
        out.push_back(Line({p.x + 2, p.y + 3}, {p.x + 6, p.y - 2}, kBlack, width));
        break;
    case WidgetType::LoadPoint: {
        // Below the position, unless the position lies above the canvas's first row.
        const int dir = p.y < 1 ? -1 : 1;
        out.push_back(Line({p.x - 11, p.y + dir * 9}, {p.x + 11, p.y + dir * 9}, kBlack, width));
        const auto& name = static_cast<const CLoadPoint&>(widget).m_strName;
        if (!name.empty()) {
            CStroke text;
            text.kind = CStroke::Kind::Text;
            text.points = {{p.x - 12, p.y + dir * 11}};
            text.text = name;
            out.push_back(std::move(text));
        }
        out.push_back(Line(p, {p.x, p.y + dir * 9}, widget.GetColour(), width));
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
        return {{p.x - 13, p.y - 13, p.x - 7, p.y - 7}, {p.x + 7, p.y + 7, p.x + 13, p.y + 13}};
    case WidgetType::LoadPoint:
        return {{p.x - 13, p.y - 7, p.x - 7, p.y - 1}, {p.x + 10, p.y + 20, p.x + 16, p.y + 26}};
    default: {
        const CPoint e = widget.GetEndPoint();
        return {{p.x - 3, p.y - 3, p.x + 3, p.y + 3}, {e.x - 3, e.y - 3, e.x + 3, e.y + 3}};
    }
    }
}

std::vector<CRect> HighlightMarks(const CWidget& widget)
{
    const CPoint p = widget.GetStartPoint();
    if (!widget.IsTwoEnded())
        return {{p.x - 4, p.y - 4, p.x + 4, p.y + 4}};
    const CPoint e = widget.GetEndPoint();
    return {{p.x - 4, p.y - 4, p.x + 4, p.y + 4}, {e.x - 4, e.y - 4, e.x + 4, e.y + 4}};
}

}  // namespace figure
