// The view's mapping between the model's coordinates and window pixels: a scale and a scroll
// origin. Zoom and printing change only this mapping; the model's coordinates are never touched.
#pragma once

#include <cmath>

#include "platform/Geometry.h"

struct CViewTransform {
    double scale = 1.0;  // pixels per model unit
    CPoint origin;       // the scroll offset in pixels

    CPoint ToLogical(CPoint device) const
    {
        return {ClampCoordinate(std::floor((static_cast<double>(device.x) + origin.x) / scale)),
                ClampCoordinate(std::floor((static_cast<double>(device.y) + origin.y) / scale))};
    }
    CPoint ToDevice(CPoint logical) const
    {
        return {ClampCoordinate(std::floor(logical.x * scale) - origin.x),
                ClampCoordinate(std::floor(logical.y * scale) - origin.y)};
    }
    // The pixels that cover a model rectangle, one pixel wider on each side for rounding.
    CRect ToDevice(const CRect& logical) const
    {
        const CRect n = logical.Normalized();
        const CPoint a = ToDevice(CPoint(n.left, n.top));
        const CPoint b = ToDevice(CPoint(n.right, n.bottom));
        return CRect::Around(a, -1, -1, 0, 0).Union(CRect::Around(b, 0, 0, 2, 2));
    }
    // The model units under a rectangle of pixels (its right and bottom edges outside), with
    // `margin` pixels more on every side.
    CRect ToLogicalArea(const CRect& device, double margin) const
    {
        const CRect n = device.Normalized();
        const auto units = static_cast<std::int64_t>(std::ceil(margin / scale)) + 1;
        return CRect(ToLogical(CPoint(n.left, n.top)), ToLogical(CPoint(n.right, n.bottom))).Inflated(units, units);
    }
};

// Pixels per model unit: 1 in the editing state; zoomed (and on paper), a model unit is
// 0.01 inch scaled by zoom / 100, on a device of `dotsPerInch`.
inline double ZoomScale(bool zoomed, int zoomPercent, double dotsPerInch)
{
    if (!zoomed)
        return 1.0;
    return dotsPerInch / 100.0 * zoomPercent / 100.0;
}
