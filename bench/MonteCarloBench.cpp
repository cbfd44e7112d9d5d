// Simulated years per second of the Monte Carlo year loop on a small and a generated network.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "montecarlo/Simulation.h"

namespace {

// A daily shape repeated over the year, hour by hour.
std::vector<double> HourlyProfile(double phase)
{
    std::vector<double> profile(8760);
    for (std::size_t h = 0; h < profile.size(); ++h)
        profile[h] = 1.0 + 0.5 * std::sin((static_cast<double>(h % 24) + phase) * M_PI / 12.0);
    return profile;
}

// A source behind its breaker, two feeders and two named load points with profile, average and
// peak, numbered as the parser numbers them.
void BuildSmallNetwork(CSimulation& sim)
{
    sim.AddSupply(0, 3, -1.0);
    sim.AddBreaker(3, 2, -1.0);
    sim.AddLine(2, 4, -1.0, 0.2, 1.0, 1.0, 1.0, 4.0, 1.0);
    sim.AddBreaker(4, 5, -1.0);
    sim.AddLine(5, 6, -1.0, 0.3, 1.0, 1.0, 1.0, 6.0, 1.0);
    (void)sim.AddLoad("LP1", 4, 1, 100, HourlyProfile(0.0), 40.0, 60.0);
    (void)sim.AddLoad("LP2", 6, 1, 250, HourlyProfile(6.0), 80.0, 100.0);
}

// About 200 widgets: a main feeder of 30 sections with isolators and a recloser, and at every
// main node a fused lateral of two sections with an isolator and a load point.
void BuildRadialNetwork(CSimulation& sim, bool varyingLoads)
{
    unsigned next = 2;
    auto node = [&next] { return next++; };
    const unsigned root = node();
    const unsigned sourceInner = node();
    sim.AddSupply(0, sourceInner, -1.0);
    sim.AddBreaker(sourceInner, root, -1.0);
    unsigned main = root;
    for (int section = 0; section < 30; ++section) {
        const unsigned end = node();
        sim.AddLine(main, end, -1.0, 0.05, 1.0, 0.5, 1.0, 3.0, 1.0);
        main = end;
        if (section % 3 == 2) {
            const unsigned after = node();
            sim.AddIsolator(main, after, -1.0);
            main = after;
        }
        if (section == 10) {
            const unsigned a = node(), b = node(), after = node();
            sim.AddBreaker(main, a, -1.0);
            sim.AddRecloser(a, b, -1.0, 0.05, 1.0);
            sim.AddBreaker(b, after, -1.0);
            main = after;
        }
        const unsigned fused = node(), middle = node(), isolated = node(), end2 = node();
        sim.AddBreaker(main, fused, -1.0);  // a fuse
        sim.AddLine(fused, middle, -1.0, 0.2, 1.0, 1.0, 1.0, 4.0, 1.0);
        sim.AddIsolator(middle, isolated, -1.0);
        sim.AddLine(isolated, end2, -1.0, 0.2, 1.0, 1.0, 1.0, 4.0, 1.0);
        const std::string name = "LP" + std::to_string(section + 1);
        if (varyingLoads && section % 2 == 0)
            (void)sim.AddLoad(name, end2, 1, 50, HourlyProfile(section), 2.0, 3.0);
        else
            (void)sim.AddLoad(name, end2, 1, 50, {1.0}, 2.0, 2.0);
        if (section % 5 == 0)
            sim.AddEquipment(main, node(), -1.0, 0.02, 1.0, 1.0, 1.0, 24.0, 1.0);  // a transformer
    }
}

template <typename Build>
void RunYears(benchmark::State& state, Build build)
{
    const auto quantsPerDay = static_cast<unsigned>(state.range(0));
    const auto years = static_cast<unsigned>(state.range(1));
    std::uint64_t simulated = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CSimulation sim;
        sim.Init();
        sim.SetSystem(quantsPerDay, 100, years, 100, 0.0);
        build(sim);
        state.ResumeTiming();
        sim.Run(nullptr, "bench.htm");
        simulated += sim.GetYearsSimulated();
    }
    state.counters["years/s"] = benchmark::Counter(static_cast<double>(simulated), benchmark::Counter::kIsRate);
}

void BM_SmallNetwork(benchmark::State& state)
{
    RunYears(state, BuildSmallNetwork);
}
BENCHMARK(BM_SmallNetwork)->Args({24, 200})->Args({1440, 5})->Unit(benchmark::kMillisecond);

void BM_RadialNetworkConstantLoads(benchmark::State& state)
{
    RunYears(state, [](CSimulation& sim) { BuildRadialNetwork(sim, false); });
}
BENCHMARK(BM_RadialNetworkConstantLoads)->Args({24, 200})->Args({1440, 20})->Unit(benchmark::kMillisecond);

void BM_RadialNetworkVaryingLoads(benchmark::State& state)
{
    RunYears(state, [](CSimulation& sim) { BuildRadialNetwork(sim, true); });
}
BENCHMARK(BM_RadialNetworkVaryingLoads)->Args({24, 20})->Args({1440, 1})->Unit(benchmark::kMillisecond);

}  // namespace
