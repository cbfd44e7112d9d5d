// What the network editor does on k copies of the four-feeder system besides drawing: sorting its
// widgets into the index (once on opening and after a widget is removed), taking in a widget the
// feeder tool adds, selecting every widget, and a press on the canvas with the index and with
// every widget hit-tested, as before; and the edits of a whole drawing: Select All with Delete or
// Cut, a Paste of all of it, and a drag of all of it.
#include <benchmark/benchmark.h>

#include <memory>

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

// k copies drawn and every widget selected, as Select All leaves them.
struct CSelectedCopies {
    CKorvaneDoc doc;
    CEditController editor{doc};

    explicit CSelectedCopies(int copyCount)
    {
        copies::Draw(doc, copyCount);
        copies::FitWorkspace(doc);
        editor.GetIndex().FindHits({0, 0});  // sorted once, as on opening
        editor.OnSelectAll();
    }
};

// Select All, then Delete (range 1: 0) or Cut (1), with the index sorted again as the next repaint
// asks. Drawing the copies and selecting them is not timed.
void DeleteAll(benchmark::State& state)
{
    const int copyCount = static_cast<int>(state.range(0));
    CClipboard clipboard;
    for (auto _ : state) {
        state.PauseTiming();
        auto copies = std::make_unique<CSelectedCopies>(copyCount);
        state.ResumeTiming();
        if (state.range(1) == 1)
            copies->editor.OnEditCut(clipboard);
        else
            copies->editor.OnDelete();
        benchmark::DoNotOptimize(copies->editor.GetIndex().FindHits({0, 0}));
        state.PauseTiming();
        if (copies->doc.GetWidgetCount() != 0)
            state.SkipWithError("widgets left");
        copies.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(DeleteAll)
    ->Name("Editor/DeleteAll")
    ->ArgNames({"copies", "cut"})
    ->ArgsProduct({{64, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A Paste of every widget of k copies into the drawing they were copied from, with the index
// taking them in as the next repaint asks.
void PasteAll(benchmark::State& state)
{
    const int copyCount = static_cast<int>(state.range(0));
    CClipboard clipboard;
    CSelectedCopies(copyCount).editor.OnEditCopy(clipboard);
    for (auto _ : state) {
        state.PauseTiming();
        auto copies = std::make_unique<CSelectedCopies>(copyCount);
        state.ResumeTiming();
        copies->editor.OnEditPaste(clipboard);
        benchmark::DoNotOptimize(copies->editor.GetIndex().FindHits({0, 0}));
        state.PauseTiming();
        copies.reset();
        state.ResumeTiming();
    }
    state.counters["pasted"] = clipboard.GetSize();
}
BENCHMARK(PasteAll)->Name("Editor/PasteAll")->Arg(64)->Arg(1000)->Unit(benchmark::kMillisecond);

// One step of a drag of every widget, by the body of one, with the repaint the whole view (range
// 1: 0) or the regions around each widget's old and new place (1).
void DragAll(benchmark::State& state)
{
    const int copyCount = static_cast<int>(state.range(0));
    CSelectedCopies copies(copyCount);
    copies.doc.m_workspace.m_nRedrawMode = static_cast<std::uint8_t>(state.range(1));
    const CPoint at = OnAWidget(copyCount);
    copies.editor.OnLButtonDown(at, false, false);
    std::size_t regions = 0;
    int step = 0;
    for (auto _ : state) {
        const CViewUpdate update = copies.editor.OnMouseMove(at + CPoint(0, ++step % 2 == 1 ? 10 : 0));
        regions = update.redraw.regions.size();
    }
    copies.editor.OnLButtonUp(at);
    state.counters["regions"] = static_cast<double>(regions);
    state.counters["moved"] = static_cast<double>(copies.editor.GetSelection().size());
}
BENCHMARK(DragAll)
    ->Name("Editor/DragAll")
    ->ArgNames({"copies", "regional"})
    ->ArgsProduct({{64, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
