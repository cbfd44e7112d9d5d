// Point, size, rectangle and colour value types of the drawing; products are taken in 64 bits.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

using COLORREF = std::uint32_t;  // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// A coordinate worked out in a wider type, held inside the 32-bit range: points from a file may
// lie at its edge, and sums beyond it must neither wrap nor be undefined.
constexpr std::int32_t ClampCoordinate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

inline std::int32_t ClampCoordinate(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<std::int32_t>(std::clamp(v, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

struct CPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(std::int32_t px, std::int32_t py) : x(px), y(py) {}
    friend constexpr bool operator==(CPoint, CPoint) = default;
    // Saturating: a step that would leave the coordinate range stops at its edge.
    constexpr CPoint operator+(CPoint o) const
    {
        return {ClampCoordinate(std::int64_t{x} + o.x), ClampCoordinate(std::int64_t{y} + o.y)};
    }
    constexpr CPoint operator-(CPoint o) const
    {
        return {ClampCoordinate(std::int64_t{x} - o.x), ClampCoordinate(std::int64_t{y} - o.y)};
    }
};

struct CSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;

    constexpr CSize() = default;
    constexpr CSize(std::int32_t w, std::int32_t h) : cx(w), cy(h) {}
    friend constexpr bool operator==(CSize, CSize) = default;
};

// A rectangle given by two corners; hit tests normalise it and exclude its right and bottom edges.
struct CRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint a, CPoint b) : left(a.x), top(a.y), right(b.x), bottom(b.y) {}
    // The box from c + (dl, dt) to c + (dr, db), its sides held inside the coordinate range, so a
    // point at the edge of the range (from a file) cannot overflow.
    static constexpr CRect Around(CPoint c, std::int32_t dl, std::int32_t dt, std::int32_t dr, std::int32_t db)
    {
        return {Clamped(std::int64_t{c.x} + dl), Clamped(std::int64_t{c.y} + dt), Clamped(std::int64_t{c.x} + dr),
                Clamped(std::int64_t{c.y} + db)};
    }
    static constexpr std::int32_t Clamped(std::int64_t v) { return ClampCoordinate(v); }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;

    constexpr CRect Normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    // Held inside the coordinate range, like every corner below: widgets from a file may lie
    // anywhere in it.
    constexpr std::int32_t Width() const { return Clamped(std::int64_t{right} - left); }
    constexpr std::int32_t Height() const { return Clamped(std::int64_t{bottom} - top); }

    // Half-open: l <= x < r and t <= y < b after normalising.
    constexpr bool PtInRect(CPoint p) const
    {
        const CRect n = Normalized();
        return n.left <= p.x && p.x < n.right && n.top <= p.y && p.y < n.bottom;
    }
    // Sides held inside the coordinate range.
    constexpr CRect Inflated(std::int64_t dx, std::int64_t dy) const
    {
        return {Clamped(std::int64_t{left} - dx), Clamped(std::int64_t{top} - dy), Clamped(std::int64_t{right} + dx),
                Clamped(std::int64_t{bottom} + dy)};
    }
    constexpr CRect Union(const CRect& o) const
    {
        const CRect a = Normalized();
        const CRect b = o.Normalized();
        return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
    }
    // Whether the two share a point, right and bottom edges included (unlike PtInRect): for
    // boxes drawn wider than what they bound.
    constexpr bool Meets(const CRect& o) const
    {
        const CRect a = Normalized();
        const CRect b = o.Normalized();
        return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
    }
};
