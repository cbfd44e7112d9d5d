// The figures that draw each widget type on a wx device context, from the strokes of FigureGeometry.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <wx/dc.h>

#include "editor/FigureGeometry.h"
#include "editor/WidgetIndex.h"
#include "model/Collections.h"

wxColour ToWxColour(COLORREF colour);
// Pixel-exact drawing on contexts that would otherwise smooth edges.
void DisableAntialiasing(wxDC& dc);

// A figure copies what it draws from its widget when it is made and never writes to the widget.
class CFigure {
public:
    virtual ~CFigure() = default;

    void Draw(wxDC& dc) const;
    // The marks of a selected widget: black outlines on the handles.
    void DrawSelection(wxDC& dc) const;
    // The end-point marks shown while the document's end-point option is on: blue outlines.
    void DrawHighlight(wxDC& dc) const;

protected:
    explicit CFigure(const CWidget& widget);

private:
    std::vector<figure::CStroke> m_strokes;
    std::vector<CRect> m_selection;
    std::vector<CRect> m_highlight;
};

#define KORVANE_FIGURE(Name, Widget)                                \
    class Name final : public CFigure {                             \
    public:                                                         \
        explicit Name(const Widget& widget) : CFigure(widget) {}    \
    };

KORVANE_FIGURE(CLineView, CLine)
KORVANE_FIGURE(CCircuitBreakerView, CCircuitBreaker)
KORVANE_FIGURE(CFuseView, CFuse)
KORVANE_FIGURE(CRecloserView, CRecloser)
KORVANE_FIGURE(CIsolatorView, CIsolator)
KORVANE_FIGURE(CBusBarView, CBusBar)
KORVANE_FIGURE(CLoadPointView, CLoadPoint)
KORVANE_FIGURE(CGenSourceView, CGenSource)
KORVANE_FIGURE(CEquipmentView, CEquipment)
KORVANE_FIGURE(CTransformerView, CTransformer)

#undef KORVANE_FIGURE

// The figure of the widget's type.
std::unique_ptr<CFigure> MakeFigure(const CWidget& widget);

// One repaint of a network: the widgets in the order given (the widget-order list's), each with its
// end-point marks when `endPoints`, then the marks of the selected widgets. With an area (model
// units) only the selection marks that meet it are drawn; the caller has left out the widgets
// whose drawing does not reach into it. A widget too far out for the context's scale is left out.
void DrawWidgets(wxDC& dc, const std::vector<const CWidget*>& widgets, bool endPoints,
                 const std::vector<const CWidget*>& selection, const std::optional<CRect>& area);

// The room a load point's name takes, in the font whose lines are `lineHeight` pixels high, at
// the smallest zoom on a screen of `dotsPerInch`.
CTextReach NameReach(int lineHeight, double dotsPerInch);
