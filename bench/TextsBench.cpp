// Cost of checking a drawing and writing both its texts, as "Debug network" and the runs do, on a
// long chain of line sections and on k copies of the four-feeder system, each drawn along both axes:
// joining the touching ends must cost about the same whichever way a drawing runs.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include "analytical/GMLGenerator.h"
#include "bench/CopiesNetwork.h"
#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"

namespace {

// A source, a breaker and `sections` line sections of 100 px end to end along x, a load point at
// the end of every section.
void DrawChain(CKorvaneDoc& doc, int sections)
{
    doc.AddWidget(std::make_unique<CGenSource>(CPoint(0, 0), 1, 0));
    doc.AddWidget(std::make_unique<CCircuitBreaker>(CPoint(0, 0), CPoint(100, 0), 1, 0));
    for (int s = 1; s <= sections; ++s) {
        doc.AddWidget(std::make_unique<CLine>(CPoint(100 * s, 0), CPoint(100 * (s + 1), 0), 1, 0));
        doc.AddWidget(std::make_unique<CLoadPoint>(CPoint(100 * (s + 1), 0), 1, 0));
    }
}

// Mirrors the drawing in its diagonal, so that what ran along x runs along y. Every end lies on
// another end or on a symbol's anchor, so every widget stays joined as before.
void Transpose(CKorvaneDoc& doc)
{
    for (CWidget* w : doc.GetWidgetsInOrder()) {
        const CPoint start = w->GetStartPoint(), end = w->GetEndPoint();
        w->SetStartPoint({start.y, start.x});
        w->SetEndPoint({end.y, end.x});
    }
}

// Both checks and both texts per iteration; drawing is not timed.
void WriteTexts(benchmark::State& state, const std::function<void(CKorvaneDoc&)>& draw, bool transposed)
{
    CKorvaneDoc doc;
    draw(doc);
    if (transposed)
        Transpose(doc);
    for (auto _ : state) {
        CNDLGenerator ndl(&doc);
        CGMLGenerator gml(&doc);
        if (!ndl.Validate() || !gml.Validate()) {
            state.SkipWithError("the drawing does not connect");
            break;
        }
        ndl.Generate();
        gml.Generate();
        benchmark::DoNotOptimize(ndl.GetNDL().size() + gml.GetGML().size());
    }
    state.counters["widgets"] = static_cast<double>(doc.GetWidgetsInOrder().size());
}

// Texts/Chain/<sections>/<horizontal|vertical> and Texts/Copies/<k>/<stacked|sideBySide>: copies
// are drawn one above another, and side by side when transposed.
int RegisterTexts()
{
    for (const int sections : {1000, 20000}) {
        for (const bool vertical : {false, true})
            benchmark::RegisterBenchmark(
                ("Texts/Chain/" + std::to_string(sections) + (vertical ? "/vertical" : "/horizontal")).c_str(),
                WriteTexts, [sections](CKorvaneDoc& doc) { DrawChain(doc, sections); }, vertical)
                ->Unit(benchmark::kMillisecond);
    }
    for (const int copyCount : {64, 1000}) {
        for (const bool sideBySide : {false, true})
            benchmark::RegisterBenchmark(
                ("Texts/Copies/" + std::to_string(copyCount) + (sideBySide ? "/sideBySide" : "/stacked")).c_str(),
                WriteTexts, [copyCount](CKorvaneDoc& doc) { copies::Draw(doc, copyCount); }, sideBySide)
                ->Unit(benchmark::kMillisecond);
    }
    return 0;
}

const int registered = RegisterTexts();

}  // namespace
