// Point arithmetic of the widget figures: what each symbol draws, as lines, polygons, circles and text.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/Widget.h"
#include "platform/Geometry.h"

namespace figure {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The widest pen a stroke is drawn with. The editor only ever gives widths 1 and 2; a file may
// hold any width, and one in the millions makes every repaint take seconds, so drawing keeps it
// between 1 and this (the stored width is left as it is).
constexpr int kWidestPen = 64;

// (start + end) / 2, truncating toward zero.
CPoint Midpoint(CPoint start, CPoint end);

// The four points of a cross of size s through the midpoint, turned with the segment: P1-P2 and
// P3-P4 are its strokes, and P1, P3, P2, P4 in that order are the corners of a square of half-side s.
struct CTurnedCross {
    CPoint p1, p2, p3, p4;
};
CTurnedCross TurnedCross(CPoint start, CPoint end, int s);

// The isolator's open blade: the line is painted white from the midpoint over `gapTo` (the gap),
// and a black blade runs from the midpoint to `blade`.
struct CIsolatorBlade {
    CPoint blade;
    CPoint gapFrom, gapTo;
    bool gapUsesWidgetWidth = false;  // else the gap pen is 2 wide
    bool gapFirst = false;            // slanted segments paint the gap before the blade
};
CIsolatorBlade IsolatorBlade(CPoint start, CPoint end);

// Centres of the transformer's two rings (radius 7), 3 apart along the segment.
std::pair<CPoint, CPoint> TransformerRingCentres(CPoint start, CPoint end);

// One drawing step of a figure. Lines use the pen; polygons are filled with `fill` and have no
// outline; ellipses are outlined with the pen and filled with `fill` unless `hollow`.
struct CStroke {
    enum class Kind { Line, Polygon, Ellipse, Text };
    Kind kind = Kind::Line;
    std::vector<CPoint> points;  // line: 2 ends; polygon: corners; ellipse: box corners; text: origin
    COLORREF pen = kBlack;
    int penWidth = 1;
    COLORREF fill = kWhite;
    bool hollow = false;
    std::string text;
};

// Everything `Draw` of the widget's figure paints, in order.
std::vector<CStroke> FigureStrokes(const CWidget& widget);

// The boxes of the selection marks and of the end-point marks (left, top, right, bottom with the
// right and bottom edges outside, as a rectangle is filled).
std::vector<CRect> SelectionMarks(const CWidget& widget);
std::vector<CRect> HighlightMarks(const CWidget& widget);

}  // namespace figure
