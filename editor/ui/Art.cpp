#include "editor/ui/Art.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>

#include "editor/ui/Commands.h"
#include "editor/ui/WidgetFigures.h"

namespace {

constexpr int kSize = 24;
const wxColour kMaskColour(255, 0, 255);

// A bitmap drawn on a mask colour, so only what was drawn shows.
template <typename Paint>
wxBitmap Picture(Paint paint)
{
    wxBitmap bitmap(kSize, kSize, 24);
    {
        wxMemoryDC dc(bitmap);
        DisableAntialiasing(dc);
        dc.SetBackground(wxBrush(kMaskColour));
        dc.Clear();
        paint(dc);
    }
    bitmap.SetMask(new wxMask(bitmap, kMaskColour));
    return bitmap;
}

wxBitmap Glyph(const wxString& text)
{
    return Picture([&](wxDC& dc) {
        wxFont font(wxFontInfo(text.length() > 2 ? 6 : 8).Bold());
        dc.SetFont(font);
        dc.SetTextForeground(*wxBLACK);
        const wxSize extent = dc.GetTextExtent(text);
        dc.DrawText(text, (kSize - extent.x) / 2, (kSize - extent.y) / 2);
    });
}

std::unique_ptr<CWidget> SampleWidget(WidgetType type)
{
    const CPoint a(3, 20), b(21, 4);
    const COLORREF grey = figure::kGrey;
    switch (type) {
    case WidgetType::Line:
        return std::make_unique<CLine>(a, b, 1, grey);
    case WidgetType::CircuitBreaker:
        return std::make_unique<CCircuitBreaker>(CPoint(1, 12), CPoint(23, 12), 1, grey);
    case WidgetType::Fuse:
        return std::make_unique<CFuse>(CPoint(1, 12), CPoint(23, 12), 1, grey);
    case WidgetType::Recloser:
        return std::make_unique<CRecloser>(CPoint(1, 12), CPoint(23, 12), 1, grey);
    case WidgetType::Isolator:
        return std::make_unique<CIsolator>(CPoint(1, 6), CPoint(23, 6), 1, grey);
    case WidgetType::BusBar:
        return std::make_unique<CBusBar>(CPoint(2, 12), CPoint(22, 12), 3, RGB(0, 0, 0));
    case WidgetType::LoadPoint: {
        auto lp = std::make_unique<CLoadPoint>(CPoint(12, 3), 1, grey);
        lp->m_strName.clear();
        return lp;
    }
    case WidgetType::GenSource:
        return std::make_unique<CGenSource>(CPoint(12, 12), 1, grey);
    case WidgetType::Equipment:
        return std::make_unique<CEquipment>(CPoint(1, 12), CPoint(23, 12), 1, grey);
    case WidgetType::Transformer:
        return std::make_unique<CTransformer>(CPoint(12, 1), CPoint(12, 23), 1, grey);
    }
    return nullptr;
}

wxBitmap Stock(const wxArtID& art)
{
    return wxArtProvider::GetBitmap(art, wxART_TOOLBAR, wxSize(kSize, kSize));
}

}  // namespace

wxBitmap CommandBitmap(int id)
{
    if (const auto tool = ToolOfCommand(id)) {
        const auto widget = SampleWidget(*tool);
        return Picture([&](wxDC& dc) { MakeFigure(*widget)->Draw(dc); });
    }
    switch (id) {
    case wxID_NEW:
        return Stock(wxART_NEW);
    case wxID_OPEN:
        return Stock(wxART_FILE_OPEN);
    case wxID_SAVE:
        return Stock(wxART_FILE_SAVE);
    case wxID_CUT:
        return Stock(wxART_CUT);
    case wxID_COPY:
        return Stock(wxART_COPY);
    case wxID_PASTE:
        return Stock(wxART_PASTE);
    case wxID_PRINT:
        return Stock(wxART_PRINT);
    case wxID_ABOUT:
        return Stock(wxART_HELP);
    case ID_SELECT:
        return Picture([](wxDC& dc) {
            const wxPoint arrow[] = {{6, 3}, {6, 19}, {10, 15}, {13, 21}, {15, 20}, {12, 14}, {17, 14}};
            dc.SetPen(*wxBLACK_PEN);
            dc.SetBrush(*wxWHITE_BRUSH);
            dc.DrawPolygon(7, arrow);
        });
    case ID_SELECT_ALL:
        return Glyph("All");
    case ID_WORKSPACE_SETTINGS:
        return Glyph("WS");
    case ID_DEBUG_NETWORK:
        return Glyph("Dbg");
    case ID_MONTE_CARLO_SETTINGS:
        return Glyph("MC?");
    case ID_DISPLAY_NDL:
        return Glyph("NDL");
    case ID_MONTE_CARLO_SIMULATION:
        return Glyph("MC");
    case ID_ANALYTICAL_SETTINGS:
        return Glyph("AN?");
    case ID_DISPLAY_GML:
        return Glyph("GML");
    case ID_ANALYTICAL_SIMULATION:
        return Glyph("AN");
    case ID_ZOOM_IN:
        return Glyph("+");
    case ID_ZOOM_OUT:
        return Glyph("-");
    case ID_WINDOW_TILE_HORZ:
        return Glyph("=");
    case ID_WINDOW_TILE_VERT:
        return Glyph("||");
    case ID_WINDOW_CASCADE:
        return Glyph("[]");
    case ID_TOGGLE:
        return Picture([](wxDC& dc) {
            dc.SetPen(wxPen(wxColour(0, 0, 255)));
            dc.SetBrush(*wxWHITE_BRUSH);
            dc.DrawRectangle(2, 8, 8, 8);
            dc.DrawRectangle(14, 8, 8, 8);
        });
    case ID_DISPLAY_ERRORS:
        return Glyph("Err");
    case ID_MONTE_CARLO_RESULT_VIEWER:
        return Glyph("R1");
    case ID_ANALYTICAL_RESULT_VIEWER:
        return Glyph("R2");
    case ID_RESULT_VIEWER_DIALOG:
        return Glyph("R");
    default:
        return Picture([](wxDC&) {});
    }
}

wxBitmap SplashBitmap()
{
    const int width = 420, height = 240;
    wxBitmap bitmap(width, height, 24);
    wxMemoryDC dc(bitmap);
    DisableAntialiasing(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(wxPen(wxColour(40, 60, 120), 3));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(1, 1, width - 2, height - 2);
    dc.SetTextForeground(wxColour(40, 60, 120));
    dc.SetFont(wxFontInfo(26).Bold());
    dc.DrawText("Korvane", 28, 22);
    dc.SetFont(wxFontInfo(11));
    dc.DrawText(wxString::FromUTF8("Analytical/Verav Ezerez"), 30, 66);
    dc.DrawText("Reliability of distribution networks", 30, 86);

    // A small feeder: source, breaker, line, transformer, fuse and two load points.
    CGenSource source({40, 170}, 2, 0);
    CCircuitBreaker breaker({49, 170}, {110, 170}, 2, figure::kGrey);
    CBusBar bar({110, 140}, {110, 200}, 3, RGB(0, 0, 0));
    CLine line({110, 150}, {230, 150}, 2, figure::kGrey);
    CTransformer transformer({230, 150}, {300, 150}, 2, figure::kGrey);
    CFuse fuse({110, 190}, {200, 190}, 2, figure::kGrey);
    CRecloser recloser({300, 150}, {370, 150}, 2, figure::kGrey);
    CLoadPoint lp1({370, 150}, 2, figure::kGrey);
    CLoadPoint lp2({200, 190}, 2, figure::kGrey);
    lp1.m_strName = "LP1";
    lp2.m_strName = "LP2";
    dc.SetFont(wxFontInfo(8));
    dc.SetTextForeground(*wxBLACK);
    for (const CWidget* w : std::initializer_list<const CWidget*>{&breaker, &bar, &line, &transformer, &fuse,
                                                                   &recloser, &lp1, &lp2, &source})
        MakeFigure(*w)->Draw(dc);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}
