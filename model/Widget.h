// Base of the ten network elements: node numbers, geometry access, hit tests and texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Geometry.h"
#include "platform/Serializable.h"

// The ten kinds of widget, in the order of the document's collections.
enum class WidgetType {
    Line,
    CircuitBreaker,
    Fuse,
    Recloser,
    Isolator,
    BusBar,
    LoadPoint,
    GenSource,
    Equipment,
    Transformer,
};
constexpr int kWidgetTypeCount = 10;

// The widget-order list name of a type ("Line", "Bus Bar", "Load Point", ...).
const char* WidgetTypeName(WidgetType type);
// The type of a widget-order list name, or -1 when the name is none of the ten.
int WidgetTypeFromName(const std::string& name);

// A number no other widget of this process has had: a copy gets a new one and assignment keeps
// its own, so a reference by serial never finds a pasted copy or a widget made in a freed place.
class CWidgetSerial {
public:
    CWidgetSerial();
    CWidgetSerial(const CWidgetSerial&) : CWidgetSerial() {}
    CWidgetSerial& operator=(const CWidgetSerial&) { return *this; }
    std::uint64_t Get() const { return m_value; }

private:
    std::uint64_t m_value;
};

class CWidget : public CSerializable {
public:
    // Node numbers: NDL ends (m_connect2 unused by one-point widgets) and GML edge ends; -1 while unset.
    std::int32_t m_connect1 = -1;
    std::int32_t m_connect2 = -1;
    std::int32_t m_source = -1;
    std::int32_t m_target = -1;
    // The pen the widget is drawn with, stored with its geometry.
    std::int32_t m_nWidth = 1;
    COLORREF m_colour = 0;

    std::uint64_t GetSerial() const { return m_serial.Get(); }
    int GetWidth() const { return m_nWidth; }
    COLORREF GetColour() const { return m_colour; }
    virtual WidgetType GetType() const = 0;
    // True for the eight two-ended widgets, false for the load point and the gen source.
    virtual bool IsTwoEnded() const = 0;

    // Body test; handle tests of the start and the end (both half-open rectangles).
    virtual bool HitTest(CPoint p) const = 0;
    virtual bool HitTestStart(CPoint p) const = 0;
    virtual bool HitTestEnd(CPoint p) const = 0;
    // The two ends; a one-point widget answers its position for both and moves on either setter.
    virtual CPoint GetStartPoint() const = 0;
    virtual CPoint GetEndPoint() const = 0;
    virtual void SetStartPoint(CPoint p) = 0;
    virtual void SetEndPoint(CPoint p) = 0;
    // The component definition in NDL: keyword, set attributes, a final empty line. Bus bars give "".
    virtual std::string GetNDLDefinition() const = 0;
    // The GML node or edge record; bus bars give "".
    virtual std::string GetGMLRecord() const = 0;
    // A widget of the same class with the same geometry and datasheet values; node numbers and
    // generator identifiers keep their defaults.
    virtual std::unique_ptr<CWidget> Clone() const = 0;

protected:
    CWidget() = default;
    CWidget(int width, COLORREF colour) : m_nWidth(width), m_colour(colour) {}
    CWidget(const CWidget&) = default;
    CWidget& operator=(const CWidget&) = default;
    void ResetNodeNumbers() { m_connect1 = m_connect2 = m_source = m_target = -1; }

private:
    CWidgetSerial m_serial;
};

// A widget drawn as a segment from a start point to an end point.
class CSegmentWidget : public CWidget {
public:
    CPoint m_startPoint;
    CPoint m_endPoint;

    // Half the side of the square handle at each end.
    static constexpr int kHandleReach = 5;

    bool IsTwoEnded() const override { return true; }
    // Within t = width + 3 of the segment, measured along and across it; ends inclusive.
    bool HitTest(CPoint p) const override;
    bool HitTestStart(CPoint p) const override;
    bool HitTestEnd(CPoint p) const override;
    CPoint GetStartPoint() const override { return m_startPoint; }
    CPoint GetEndPoint() const override { return m_endPoint; }
    void SetStartPoint(CPoint p) override { m_startPoint = p; }
    void SetEndPoint(CPoint p) override { m_endPoint = p; }

protected:
    CSegmentWidget() = default;
    CSegmentWidget(CPoint start, CPoint end, int width, COLORREF colour)
        : CWidget(width, colour), m_startPoint(start), m_endPoint(end) {}
    // Stores or loads the geometry: start, end, width, colour.
    void SerializeGeometry(CArchive& ar);
};

// A widget drawn as a symbol at one position.
class CSymbolWidget : public CWidget {
public:
    CPoint m_position;

    bool IsTwoEnded() const override { return false; }
    bool HitTest(CPoint p) const override { return BodyBox().PtInRect(p); }
    bool HitTestStart(CPoint p) const override;
    bool HitTestEnd(CPoint p) const override { return EndHandleBox().PtInRect(p); }
    CPoint GetStartPoint() const override { return m_position; }
    CPoint GetEndPoint() const override { return m_position; }
    void SetStartPoint(CPoint p) override { m_position = p; }
    void SetEndPoint(CPoint p) override { m_position = p; }

    // The symbol's body box and end-handle box around the position; the pen width plays no part.
    virtual CRect BodyBox() const = 0;
    virtual CRect EndHandleBox() const = 0;

protected:
    CSymbolWidget() = default;
    CSymbolWidget(CPoint position, int width, COLORREF colour)
        : CWidget(width, colour), m_position(position) {}
    void SerializeGeometry(CArchive& ar);
};

// The analytical feeder values shared by feeders, equipment, transformers, breakers, fuses and
// isolators; the GML generator assigns the two ids.
struct CFeederData {
    std::int32_t m_nFeederType = 2;  // 1 main feeder, 2 lateral feeder
    std::int32_t m_nMainFeederId = -1;
    std::int32_t m_nLateralFeederId = -1;
    double m_dFaultRate = 0.0;
    double m_dRepairTime = 0.0;
    double m_dFeederLength = 0.0;
    double m_dMaxCapacity = 10000000.0;

    // The feeder lines of a GML edge record, "source" to "max_cap".
    std::string GmlFeederLines(const CWidget& w) const;
    void ResetFeederIds() { m_nMainFeederId = m_nLateralFeederId = -1; }
};
