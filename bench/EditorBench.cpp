// What the network editor does on k copies of the four-feeder system besides drawing: sorting its
// widgets into the index (once on opening and after a widget is removed), taking in a widget the
// feeder tool adds, selecting every widget, and a press on the canvas with the index and with
// every widget hit-tested, as before.
#include <benchmark/benchmark.h>

#include "bench/CopiesNetwork.h"
#include "editor/EditController.h"
#include "editor/WidgetModes.h"

namespace {

// The middle of the drawing: the first main section of the middle copy's first feeder, and the
// empty canvas beside that copy.
CPoint OnAWidget(int copyCount)
{
    return {195, copyCount / 2 * 1000 + 1120};
}

CPoint Beside(int copyCount)
{
    return {5000, copyCount / 2 * 1000 + 1120};
}

void IndexBuild(benchmark::State& state)
{
    CKorvaneDoc doc;
    copies::Draw(doc, static_cast<int>(state.range(0)));
    copies::FitWorkspace(doc);
    for (auto _ : state) {
        CWidgetIndex index(doc);
        benchmark::DoNotOptimize(index.FindHits({0, 0}));
    }
    state.counters["widgets"] = doc.GetWidgetCount();
}
BENCHMARK(IndexBuild)->Name("Editor/IndexBuild")->Arg(64)->Arg(1000)->Unit(benchmark::kMillisecond);

// The feeder tool adds a line beside the drawing, and the index takes it in.
void PlaceFeeder(benchmark::State& state)
{
    CKorvaneDoc doc;
    copies::Draw(doc, static_cast<int>(state.range(0)));
    copies::FitWorkspace(doc);
    CEditController editor(doc);
    editor.OnTool(WidgetType::Line);
    editor.GetIndex().FindHits({0, 0});
    int y = 0;
    for (auto _ : state) {
        editor.OnLButtonDown({3000, y}, false, false);
        editor.OnLButtonUp({3100, y});
        benchmark::DoNotOptimize(editor.GetIndex().FindHits({3050, y}));
        y += 20;
    }
}
BENCHMARK(PlaceFeeder)->Name("Editor/PlaceFeeder")->Arg(64)->Arg(1000)->Iterations(2000);

// Select All, and the selected widgets as every repaint asks for them for the selection marks.
void SelectAll(benchmark::State& state)
{
    CKorvaneDoc doc;
    copies::Draw(doc, static_cast<int>(state.range(0)));
    copies::FitWorkspace(doc);
    CEditController editor(doc);
    for (auto _ : state) {
        editor.OnSelectAll();
        benchmark::DoNotOptimize(editor.GetSelectedWidgets());
    }
    state.counters["selected"] = static_cast<double>(editor.GetSelectedWidgets().size());
}
BENCHMARK(SelectAll)->Name("Editor/SelectAll")->Arg(64)->Arg(1000)->Unit(benchmark::kMillisecond);

// A press and release in select mode, on a widget or on empty canvas (range 1: 0 or 1).
void Press(benchmark::State& state)
{
    const int copyCount = static_cast<int>(state.range(0));
    CKorvaneDoc doc;
    copies::Draw(doc, copyCount);
    copies::FitWorkspace(doc);
    doc.m_workspace.m_nSnapGrid = 0;
    CEditController editor(doc);
    const CPoint at = state.range(1) == 1 ? OnAWidget(copyCount) : Beside(copyCount);
    editor.GetIndex().FindHits(at);  // sorted once, as on opening
    for (auto _ : state) {
        editor.OnLButtonDown(at, false, false);
        editor.OnLButtonUp(at);
    }
    if (state.range(1) == 1 && editor.GetSelectedWidgets().size() != 1)
        state.SkipWithError("the press hit nothing");
}
BENCHMARK(Press)->Name("Editor/Press")->ArgNames({"copies", "onWidget"})->ArgsProduct({{64, 1000}, {0, 1}});

// The same press as every mode made it before: each of the ten looks at every widget of its type.
void PressTestingEveryWidget(benchmark::State& state)
{
    const int copyCount = static_cast<int>(state.range(0));
    CKorvaneDoc doc;
    copies::Draw(doc, copyCount);
    copies::FitWorkspace(doc);
    const CPoint at = state.range(1) == 1 ? OnAWidget(copyCount) : Beside(copyCount);
    for (auto _ : state)
        for (int t = 0; t < kWidgetTypeCount; ++t) {
            const auto mode = MakeMode(static_cast<WidgetType>(t), doc);
            mode->OnLButtonDown(at);
            benchmark::DoNotOptimize(mode->IsSelected());
        }
}
BENCHMARK(PressTestingEveryWidget)
    ->Name("Editor/PressTestingEveryWidget")
    ->ArgNames({"copies", "onWidget"})
    ->ArgsProduct({{64, 1000}, {0, 1}});

}  // namespace
