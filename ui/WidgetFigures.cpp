#include "ui/WidgetFigures.h"

#include <algorithm>
#include <cmath>

#include <wx/graphics.h>

#include "editor/EditController.h"
#include "editor/ViewTransform.h"

using figure::CStroke;

wxColour ToWxColour(COLORREF c)
{
    return wxColour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void DisableAntialiasing(wxDC& dc)
{
    if (wxGraphicsContext* gc = dc.GetGraphicsContext())
        gc->SetAntialiasMode(wxANTIALIAS_NONE);
}

namespace {

// Pixels from the origin at which a widget is still drawn: half the toolkit's integer range.
constexpr double kLargestDrawn = 1000000000.0;

wxPoint ToWx(CPoint p)
{
    return wxPoint(p.x, p.y);
}

// Restores the context's pen and brush, so figures leave it as they found it.
class CPenKeeper {
public:
    explicit CPenKeeper(wxDC& dc) : m_dc(dc), m_pen(dc.GetPen()), m_brush(dc.GetBrush()) {}
    ~CPenKeeper()
    {
        m_dc.SetPen(m_pen);
        m_dc.SetBrush(m_brush);
    }

private:
    wxDC& m_dc;
    wxPen m_pen;
    wxBrush m_brush;
};

// A pen narrower than a device pixel, as a one-unit pen becomes in a scaled-down view or the print
// preview, is not drawn at all once smoothing is off: a stroke is at least one device pixel wide.
// A context that draws through a graphics context takes width 0 for exactly one pixel; the
// printer's context gets the fewest whole units that make one.
int StrokeWidth(const wxDC& dc, int width)
{
    double userX = 1, userY = 1, logicalX = 1, logicalY = 1;
    dc.GetUserScale(&userX, &userY);
    dc.GetLogicalScale(&logicalX, &logicalY);
    const double scale = std::min(std::fabs(userX * logicalX), std::fabs(userY * logicalY));
    if (!(scale > 0) || width * scale >= 1)
        return width;
    if (dc.GetGraphicsContext() != nullptr)
        return 0;
    return static_cast<int>(std::min(std::ceil(1 / scale), 1e6));
}

void DrawMarks(wxDC& dc, const std::vector<CRect>& marks, const wxColour& colour)
{
    CPenKeeper keep(dc);
    dc.SetPen(wxPen(colour, StrokeWidth(dc, 1), wxPENSTYLE_SOLID));
    dc.SetBrush(*wxWHITE_BRUSH);
    for (const CRect& r : marks)
        dc.DrawRectangle(r.left, r.top, r.Width(), r.Height());
}

// The pen a stroke is drawn with, no wider than figure::kWidestPen.
wxPen StrokePen(const wxDC& dc, const CStroke& s)
{
    return wxPen(ToWxColour(s.pen), StrokeWidth(dc, std::clamp(s.penWidth, 1, figure::kWidestPen)), wxPENSTYLE_SOLID);
}

}  // namespace

CFigure::CFigure(const CWidget& widget)
    : m_strokes(figure::FigureStrokes(widget)),
      m_selection(figure::SelectionMarks(widget)),
      m_highlight(figure::HighlightMarks(widget))
{
}

void CFigure::Draw(wxDC& dc) const
{
    // Filled shapes select the brush before the pen: after a filled shape the GTK printer context
    // restores the colour it had before the shape yet takes the pen's as current, so unless the
    // pen was the last colour sent, the next line in the pen's colour printed in the fill's.
    CPenKeeper keep(dc);
    for (const CStroke& s : m_strokes) {
        switch (s.kind) {
        case CStroke::Kind::Line:
            dc.SetPen(StrokePen(dc, s));
            dc.DrawLine(ToWx(s.points[0]), ToWx(s.points[1]));
            break;
        case CStroke::Kind::Polygon: {
            std::vector<wxPoint> corners;
            for (CPoint p : s.points)
                corners.push_back(ToWx(p));
            dc.SetBrush(wxBrush(ToWxColour(s.fill)));
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.DrawPolygon(static_cast<int>(corners.size()), corners.data(), 0, 0, wxODDEVEN_RULE);
            break;
        }
        case CStroke::Kind::Ellipse: {
            const CRect box = CRect(s.points[0], s.points[1]).Normalized();
            dc.SetBrush(s.hollow ? *wxTRANSPARENT_BRUSH : wxBrush(ToWxColour(s.fill)));
            dc.SetPen(StrokePen(dc, s));
            dc.DrawEllipse(box.left, box.top, box.Width(), box.Height());
            break;
        }
        case CStroke::Kind::Text:
            dc.DrawText(wxString::FromUTF8(s.text), ToWx(s.points[0]));
            break;
        }
    }
}

void CFigure::DrawSelection(wxDC& dc) const
{
    DrawMarks(dc, m_selection, *wxBLACK);
}

void CFigure::DrawHighlight(wxDC& dc) const
{
    DrawMarks(dc, m_highlight, wxColour(0, 0, 255));
}

void DrawWidgets(wxDC& dc, const std::vector<const CWidget*>& widgets, bool endPoints,
                 const std::vector<const CWidget*>& selection, const std::optional<CRect>& area)
{
    double scaleX = 1.0, scaleY = 1.0;
    dc.GetUserScale(&scaleX, &scaleY);
    const double scale = std::max(std::fabs(scaleX), std::fabs(scaleY));
    // A widget that a file placed near the coordinate limits has no pixel position on a zoomed
    // or printed page: it is left out there rather than overflowing the toolkit's arithmetic.
    const auto drawable = [scale](const CWidget& w) {
        for (const CPoint p : {w.GetStartPoint(), w.GetEndPoint()})
            if (std::fabs(static_cast<double>(p.x)) * scale > kLargestDrawn ||
                std::fabs(static_cast<double>(p.y)) * scale > kLargestDrawn)
                return false;
        return true;
    };
    dc.SetTextForeground(*wxBLACK);
    for (const CWidget* w : widgets) {
        if (!drawable(*w))
            continue;
        const auto fig = MakeFigure(*w);
        fig->Draw(dc);
        if (endPoints)
            fig->DrawHighlight(dc);
    }
    for (const CWidget* w : selection) {
        if (!drawable(*w))
            continue;
        if (area) {
            const auto marks = figure::SelectionMarks(*w);
            if (std::none_of(marks.begin(), marks.end(), [&area](const CRect& m) { return m.Meets(*area); }))
                continue;
        }
        MakeFigure(*w)->DrawSelection(dc);
    }
}

CTextReach NameReach(int lineHeight, double dotsPerInch)
{
    // Up to three lines' height for each byte (a tab, a box for a glyph the font lacks) and two
    // lines' height for each line, in the model units of the smallest zoom.
    const double dpi = dotsPerInch > 0 ? dotsPerInch : 96.0;
    const double smallest = std::min(1.0, ZoomScale(true, CEditController::kSmallestZoom, dpi));
    return {static_cast<int>(std::ceil(3 * lineHeight / smallest)),
            static_cast<int>(std::ceil(2 * lineHeight / smallest))};
}

std::unique_ptr<CFigure> MakeFigure(const CWidget& w)
{
    switch (w.GetType()) {
    case WidgetType::Line:
        return std::make_unique<CLineView>(static_cast<const CLine&>(w));
    case WidgetType::CircuitBreaker:
        return std::make_unique<CCircuitBreakerView>(static_cast<const CCircuitBreaker&>(w));
    case WidgetType::Fuse:
        return std::make_unique<CFuseView>(static_cast<const CFuse&>(w));
    case WidgetType::Recloser:
        return std::make_unique<CRecloserView>(static_cast<const CRecloser&>(w));
    case WidgetType::Isolator:
        return std::make_unique<CIsolatorView>(static_cast<const CIsolator&>(w));
    case WidgetType::BusBar:
        return std::make_unique<CBusBarView>(static_cast<const CBusBar&>(w));
    case WidgetType::LoadPoint:
        return std::make_unique<CLoadPointView>(static_cast<const CLoadPoint&>(w));
    case WidgetType::GenSource:
        return std::make_unique<CGenSourceView>(static_cast<const CGenSource&>(w));
    case WidgetType::Equipment:
        return std::make_unique<CEquipmentView>(static_cast<const CEquipment&>(w));
    case WidgetType::Transformer:
        return std::make_unique<CTransformerView>(static_cast<const CTransformer&>(w));
    }
    return nullptr;
}
