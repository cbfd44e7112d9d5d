#include "ui/Art.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>

#include "ui/Commands.h"
#include "ui/WidgetFigures.h"

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

// The pictures' parts, drawn as the widget figures are: thin unsmoothed strokes in black and the
// figures' grey on white, with a few signal colours. A main motif fills the upper left; a badge in
// the lower right says what is done with it.
const wxColour kGreyPen(128, 128, 128);
const wxColour kGreen(0, 150, 0);
const wxColour kRed(200, 0, 0);
const wxColour kBlue(0, 0, 255);
const wxColour kYellow(250, 210, 0);
const wxColour kTitle(90, 110, 160);

void Outline(wxDC& dc, const wxColour& fill = *wxWHITE)
{
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(wxBrush(fill));
}

// A die with three pips: the Monte Carlo engine.
void Die(wxDC& dc, int x, int y, int size)
{
    Outline(dc);
    dc.DrawRoundedRectangle(x, y, size, size, 2);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    for (int i = 1; i <= 3; ++i)
        dc.DrawRectangle(x + size * i / 4 - 1, y + size - size * i / 4 - 1, 2, 2);
}

// A sum sign: the analytical engine's computed indices.
void Sigma(wxDC& dc, int x, int y, int size)
{
    Outline(dc);
    dc.DrawRectangle(x, y, size, size);
    dc.SetPen(wxPen(*wxBLACK, size > 12 ? 2 : 1));
    const int l = x + 3, r = x + size - 4, t = y + 3, b = y + size - 4, m = y + size / 2;
    dc.DrawLine(r, t, l, t);
    dc.DrawLine(l, t, x + size / 2, m);
    dc.DrawLine(x + size / 2, m, l, b);
    dc.DrawLine(l, b, r, b);
}

// A sheet of text.
void Page(wxDC& dc, int x, int y, int w, int h)
{
    Outline(dc);
    const wxPoint sheet[] = {{x, y}, {x + w - 5, y}, {x + w - 1, y + 4}, {x + w - 1, y + h - 1}, {x, y + h - 1}};
    dc.DrawPolygon(5, sheet);
    dc.DrawLine(x + w - 5, y, x + w - 5, y + 4);
    dc.DrawLine(x + w - 5, y + 4, x + w - 1, y + 4);
    dc.SetPen(wxPen(kGreyPen));
    for (int line = y + 4; line < y + h - 2; line += 3)
        dc.DrawLine(x + 2, line, x + w - (line < y + 6 ? 6 : 3), line);
}

// A result page: bars of a histogram on a sheet.
void Histogram(wxDC& dc, int x, int y, int w, int h)
{
    Outline(dc);
    dc.DrawRectangle(x, y, w, h);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(kTitle));
    const int heights[] = {4, 9, 6, 11};
    const int bar = (w - 3) / 4;
    for (int i = 0; i < 4; ++i)
        dc.DrawRectangle(x + 2 + i * bar, y + h - 1 - heights[i], bar - 1, heights[i]);
}

// Badges, in the lower right corner.
void PlayBadge(wxDC& dc)
{
    dc.SetPen(wxPen(kGreen.ChangeLightness(70)));
    dc.SetBrush(wxBrush(kGreen));
    const wxPoint triangle[] = {{13, 11}, {23, 17}, {13, 23}};
    dc.DrawPolygon(3, triangle);
}

void SlidersBadge(wxDC& dc)
{
    Outline(dc);
    dc.DrawRectangle(12, 12, 12, 12);
    for (const auto& [y, knob] : {std::pair{15, 20}, {18, 15}, {21, 18}}) {
        dc.SetPen(wxPen(kGreyPen));
        dc.DrawLine(14, y, 22, y);
        dc.SetPen(*wxBLACK_PEN);
        dc.SetBrush(*wxBLACK_BRUSH);
        dc.DrawRectangle(knob - 1, y - 1, 2, 3);
    }
}

void DieBadge(wxDC& dc)
{
    Die(dc, 13, 13, 11);
}

void SigmaBadge(wxDC& dc)
{
    Sigma(dc, 13, 13, 11);
}

// A magnifying glass; `plus` adds the vertical stroke of "+".
void Magnifier(wxDC& dc, bool plus)
{
    dc.SetPen(wxPen(*wxBLACK, 3));
    dc.DrawLine(14, 14, 21, 21);
    Outline(dc);
    dc.SetPen(wxPen(*wxBLACK, 2));
    dc.DrawCircle(9, 9, 7);
    dc.DrawLine(5, 9, 14, 9);
    if (plus)
        dc.DrawLine(9, 5, 9, 14);
}

// A window with its title bar.
void Window(wxDC& dc, int x, int y, int w, int h)
{
    Outline(dc);
    dc.DrawRectangle(x, y, w, h);
    dc.SetBrush(wxBrush(kTitle));
    dc.DrawRectangle(x, y, w, 4);
}

// A section of line between its two end points, as the end-point marks show it.
void Section(wxDC& dc, int x1, int y1, int x2, int y2)
{
    dc.SetPen(wxPen(kGreyPen));
    dc.DrawLine(x1, y1, x2, y2);
    dc.SetPen(wxPen(kBlue));
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(x1 - 3, y1 - 3, 7, 7);
    dc.DrawRectangle(x2 - 3, y2 - 3, 7, 7);
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

// The common file and edit commands look as they do in every program on the desktop.
wxArtID DesktopArt(CommandIcon icon)
{
    switch (icon) {
    case CommandIcon::New:
        return wxART_NEW;
    case CommandIcon::Open:
        return wxART_FILE_OPEN;
    case CommandIcon::Save:
        return wxART_FILE_SAVE;
    case CommandIcon::Cut:
        return wxART_CUT;
    case CommandIcon::Copy:
        return wxART_COPY;
    case CommandIcon::Paste:
        return wxART_PASTE;
    case CommandIcon::Print:
        return wxART_PRINT;
    case CommandIcon::Help:
        return wxART_HELP;
    default:
        return wxArtID();
    }
}

}  // namespace

wxBitmap CommandBitmap(const CCommand& command)
{
    const wxArtID art = DesktopArt(command.icon);
    return art.empty() ? DrawnCommandBitmap(command)
                       : wxArtProvider::GetBitmap(art, wxART_TOOLBAR, wxSize(kSize, kSize));
}

wxBitmap DrawnCommandBitmap(const CCommand& command)
{
    if (!DesktopArt(command.icon).empty())
        return wxNullBitmap;
    if (command.icon == CommandIcon::Figure && command.places) {
        const auto widget = SampleWidget(*command.places);
        return Picture([&](wxDC& dc) { MakeFigure(*widget)->Draw(dc); });
    }
    switch (command.icon) {
    case CommandIcon::Select:
        return Picture([](wxDC& dc) {
            const wxPoint arrow[] = {{6, 3}, {6, 19}, {10, 15}, {13, 21}, {15, 20}, {12, 14}, {17, 14}};
            dc.SetPen(*wxBLACK_PEN);
            dc.SetBrush(*wxWHITE_BRUSH);
            dc.DrawPolygon(7, arrow);
        });
    case CommandIcon::SelectAll:
        return Picture([](wxDC& dc) {
            dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_DOT));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(1, 1, 22, 22);
            dc.SetPen(wxPen(kGreyPen));
            dc.DrawLine(6, 17, 17, 6);
            dc.DrawCircle(16, 16, 3);
            dc.SetPen(*wxBLACK_PEN);
            dc.SetBrush(*wxBLACK_BRUSH);
            for (const wxPoint p : {wxPoint(6, 17), wxPoint(17, 6), wxPoint(16, 16)})
                dc.DrawRectangle(p.x - 1, p.y - 1, 3, 3);
        });
    case CommandIcon::WorkspaceSettings:
        return Picture([](wxDC& dc) {
            Outline(dc);
            dc.DrawRectangle(1, 2, 18, 16);
            dc.SetPen(wxPen(kGreyPen));
            for (int x = 4; x < 18; x += 4)
                for (int y = 5; y < 17; y += 4)
                    dc.DrawPoint(x, y);
            SlidersBadge(dc);
        });
    case CommandIcon::Debug:
        return Picture([](wxDC& dc) {
            Section(dc, 4, 6, 17, 6);
            dc.SetPen(wxPen(kGreen, 3));
            dc.DrawLine(7, 16, 11, 20);
            dc.DrawLine(11, 20, 20, 10);
        });
    case CommandIcon::MonteCarloSettings:
        return Picture([](wxDC& dc) {
            Die(dc, 1, 1, 15);
            SlidersBadge(dc);
        });
    case CommandIcon::MonteCarloText:
        return Picture([](wxDC& dc) {
            Page(dc, 2, 1, 14, 20);
            DieBadge(dc);
        });
    case CommandIcon::MonteCarloRun:
        return Picture([](wxDC& dc) {
            Die(dc, 1, 1, 15);
            PlayBadge(dc);
        });
    case CommandIcon::AnalyticalSettings:
        return Picture([](wxDC& dc) {
            Sigma(dc, 1, 1, 15);
            SlidersBadge(dc);
        });
    case CommandIcon::AnalyticalText:
        return Picture([](wxDC& dc) {
            Page(dc, 2, 1, 14, 20);
            SigmaBadge(dc);
        });
    case CommandIcon::AnalyticalRun:
        return Picture([](wxDC& dc) {
            Sigma(dc, 1, 1, 15);
            PlayBadge(dc);
        });
    case CommandIcon::ZoomIn:
        return Picture([](wxDC& dc) { Magnifier(dc, true); });
    case CommandIcon::ZoomOut:
        return Picture([](wxDC& dc) { Magnifier(dc, false); });
    case CommandIcon::TileHorizontal:
        return Picture([](wxDC& dc) {
            Window(dc, 1, 1, 22, 10);
            Window(dc, 1, 12, 22, 10);
        });
    case CommandIcon::TileVertical:
        return Picture([](wxDC& dc) {
            Window(dc, 1, 1, 10, 21);
            Window(dc, 12, 1, 10, 21);
        });
    case CommandIcon::Cascade:
        return Picture([](wxDC& dc) {
            Window(dc, 1, 1, 15, 13);
            Window(dc, 7, 8, 15, 13);
        });
    case CommandIcon::EndPoints:
        return Picture([](wxDC& dc) { Section(dc, 5, 12, 18, 12); });
    case CommandIcon::Errors:
        return Picture([](wxDC& dc) {
            Page(dc, 2, 1, 14, 20);
            Outline(dc, kYellow);
            const wxPoint warning[] = {{17, 10}, {23, 22}, {11, 22}};
            dc.DrawPolygon(3, warning);
            dc.DrawLine(17, 14, 17, 19);
            dc.DrawPoint(17, 20);
        });
    case CommandIcon::MonteCarloResults:
        return Picture([](wxDC& dc) {
            Histogram(dc, 1, 1, 16, 16);
            DieBadge(dc);
        });
    case CommandIcon::AnalyticalResults:
        return Picture([](wxDC& dc) {
            Histogram(dc, 1, 1, 16, 16);
            SigmaBadge(dc);
        });
    case CommandIcon::ResultViewer:
        return Picture([](wxDC& dc) {
            Window(dc, 1, 2, 22, 19);
            dc.SetPen(*wxBLACK_PEN);
            dc.DrawLine(14, 6, 14, 20);
            dc.SetPen(wxPen(kGreyPen));
            for (int y = 9; y < 20; y += 3)
                dc.DrawRectangle(16, y, 5, 2);
        });
    case CommandIcon::Spare:
        // An empty slot: a button with nothing behind it.
        return Picture([](wxDC& dc) {
            dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_SHORT_DASH));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(3, 3, 18, 18);
        });
    default:
        return Picture([](wxDC&) {});
    }
}

wxBitmap WorkspaceOptionsBitmap()
{
    // A corner of the drawing: the snap grid's dots and a feeder with a breaker on it.
    const int size = 48;
    wxBitmap bitmap(size, size, 24);
    wxMemoryDC dc(bitmap);
    DisableAntialiasing(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(0, 0, size, size);
    dc.SetPen(wxPen(kGreyPen));
    for (int x = 6; x < size; x += 6)
        for (int y = 6; y < size; y += 6)
            dc.DrawPoint(x, y);
    CLine feeder({6, 36}, {42, 36}, 1, figure::kGrey);
    CCircuitBreaker breaker({12, 18}, {36, 18}, 1, figure::kGrey);
    MakeFigure(feeder)->Draw(dc);
    MakeFigure(breaker)->Draw(dc);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
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
