// One screen of k copies of the four-feeder system drawn into a memory bitmap as the network view
// paints it, at the unzoomed, the smallest and the largest zoom, with only the widgets the index
// finds there (`index`) and with every widget of the drawing (`everything`, as every repaint did
// before). Needs a display: run it under xvfb-run -a.
#include <benchmark/benchmark.h>

#include <cstdio>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/init.h>
#include <wx/settings.h>

#include "bench/CopiesNetwork.h"
#include "editor/EditController.h"
#include "editor/ViewTransform.h"
#include "editor/WidgetIndex.h"
#include "ui/WidgetFigures.h"

namespace {

// The canvas of a main window of 1280 x 1024 pixels.
constexpr int kScreenWidth = 1236;
constexpr int kScreenHeight = 904;

// Range 0: copies; 1: zoom percent (113 unzoomed); 2: 1 with the index, 0 every widget.
void DrawScreen(benchmark::State& state)
{
    const int copyCount = static_cast<int>(state.range(0));
    const int zoom = static_cast<int>(state.range(1));
    const bool indexed = state.range(2) == 1;
    CKorvaneDoc doc;
    copies::Draw(doc, copyCount);
    copies::FitWorkspace(doc);
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    wxBitmap bitmap(kScreenWidth, kScreenHeight, 24);
    wxMemoryDC dc(bitmap);
    dc.SetFont(font);
    CWidgetIndex index(doc);
    index.SetTextReach(NameReach(dc.GetCharHeight(), 96));

    // Scrolled to the middle copy's first feeder.
    CViewTransform t;
    t.scale = ZoomScale(zoom != CEditController::kUnzoomed, zoom, 96);
    t.origin = CPoint(0, static_cast<std::int32_t>((copyCount / 2 * 1000 + 1000) * t.scale));
    const std::vector<CWidget*> all = doc.GetWidgetsInOrder();
    std::size_t drawn = 0;
    for (auto _ : state) {
        DisableAntialiasing(dc);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetDeviceOrigin(-t.origin.x, -t.origin.y);
        dc.SetUserScale(t.scale, t.scale);
        std::vector<const CWidget*> widgets;
        if (indexed)
            widgets = index.FindDrawn(t.ToLogicalArea(CRect(0, 0, kScreenWidth, kScreenHeight), 4));
        else
            widgets.assign(all.begin(), all.end());
        DrawWidgets(dc, widgets, doc.m_workspace.m_bShowEndPoints == 1, {}, std::nullopt);
        drawn = widgets.size();
    }
    state.counters["drawn"] = static_cast<double>(drawn);
}
BENCHMARK(DrawScreen)
    ->Name("View/DrawScreen")
    ->ArgNames({"copies", "zoom", "index"})
    ->ArgsProduct({{64, 1000}, {113, 23, 253}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets (is there a display?)\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxEntryCleanup();
    return 0;
}
