// The figures that draw each widget type on a wx device context, from the strokes of FigureGeometry.
#pragma once

#include <memory>
#include <vector>

#include <wx/dc.h>

#include "editor/FigureGeometry.h"
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
