// Storing and loading a large network through the object archive.
#include <benchmark/benchmark.h>

#include "model/KorvaneDoc.h"
#include "platform/Archive.h"

namespace {

void FillNetwork(CKorvaneDoc& doc, int feeders)
{
    for (int i = 0; i < feeders; ++i) {
        auto line = std::make_unique<CLine>(CPoint(i * 10, 0), CPoint(i * 10 + 10, 0), 1, 0x808080);
        doc.AddWidget(std::move(line));
        auto load = std::make_unique<CLoadPoint>(CPoint(i * 10, 20), 1, 0x808080);
        load->m_profile.assign(24, 1.5);
        doc.AddWidget(std::move(load));
    }
}

void BM_StoreNetwork(benchmark::State& state)
{
    CKorvaneDoc doc;
    FillNetwork(doc, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CArchive ar;
        doc.Serialize(ar);
        benchmark::DoNotOptimize(ar.GetBuffer().data());
    }
}
BENCHMARK(BM_StoreNetwork)->Arg(1000);

void BM_LoadNetwork(benchmark::State& state)
{
    CKorvaneDoc doc;
    FillNetwork(doc, static_cast<int>(state.range(0)));
    CArchive out;
    doc.Serialize(out);
    for (auto _ : state) {
        CKorvaneDoc loaded;
        CArchive in(out.GetBuffer(), ModelClassRegistry());
        loaded.Serialize(in);
        benchmark::DoNotOptimize(loaded.GetWidgetCount());
    }
}
BENCHMARK(BM_LoadNetwork)->Arg(1000);

}  // namespace
