// Simulated years per second of the Monte Carlo year loop, under both steppings, on the small
// network and the generated one at 24, 240 and 1440 quanta a day; and of the production loop on
// 1 to 1,000 copies of a four-feeder system on one source bus.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "bench/CopiesNetwork.h"
#include "bench/MonteCarloNetworks.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/Simulation.h"

namespace {

using Stepping = CSimulation::Stepping;

// Runs `years` years (accuracy 0, so all of them) per iteration; building the model is not timed.
// A build that fails ends the benchmark with an error.
void RunYears(benchmark::State& state, const std::function<bool(CSimulation&)>& build, Stepping stepping,
              unsigned quantsPerDay, unsigned years)
{
    std::uint64_t simulated = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CSimulation sim;
        sim.Init();
        sim.SetSystem(quantsPerDay, 100, years, 100, 0.0);
        if (!build(sim)) {
            state.SkipWithError("the network does not build");
            break;
        }
        sim.SetStepping(stepping);
        state.ResumeTiming();
        sim.Run(nullptr, "bench.htm");
        simulated += sim.GetYearsSimulated();
    }
    state.counters["years/s"] = benchmark::Counter(static_cast<double>(simulated), benchmark::Counter::kIsRate);
    state.counters["s/year"] = benchmark::Counter(static_cast<double>(simulated),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct Network {
    const char* name;
    std::function<void(CSimulation&)> build;
    unsigned productionYears;  // per iteration, the same at every quanta per day
};

// Names read MonteCarlo/<network>/<stepping>/<quanta per day>, so that figures compare by name.
int RegisterAll()
{
    const Network networks[] = {
        {"SmallCurve", mcbench::BuildSmallNetwork, 20},
        {"Generated", [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, false, false); }, 200},
        {"GeneratedCurve", [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, true, false); }, 20},
        {"GeneratedRing", [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, false, true); }, 200},
        {"GeneratedCurveRing", [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, true, true); }, 20},
    };
    for (const Network& network : networks) {
        for (const Stepping stepping : {Stepping::Production, Stepping::Reference}) {
            const bool production = stepping == Stepping::Production;
            for (const unsigned quantsPerDay : {24u, 240u, 1440u}) {
                // The reference stepping's cost grows with the quanta; a year or two is enough.
                const unsigned years = production ? network.productionYears : 24 * 20 / quantsPerDay + 1;
                const std::string name = std::string("MonteCarlo/") + network.name + "/" +
                                         (production ? "Production" : "Reference") + "/" +
                                         std::to_string(quantsPerDay);
                const auto build = [builder = network.build](CSimulation& sim) {
                    builder(sim);
                    return true;
                };
                benchmark::RegisterBenchmark(name.c_str(), RunYears, build, stepping, quantsPerDay, years)
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    return 0;
}

const int registered = RegisterAll();

// The NDL text of k copies at 24 quanta a day, generated once.
const std::string& CopiesNdl(int copyCount)
{
    static std::map<int, std::string> texts;
    auto [it, fresh] = texts.try_emplace(copyCount);
    if (fresh) {
        CKorvaneDoc doc;
        copies::Draw(doc, copyCount);
        it->second = copies::Ndl(doc);
    }
    return it->second;
}

// MonteCarlo/Copies/<k>: the production loop on k copies, parsed from their NDL text (not timed).
void MonteCarloCopies(benchmark::State& state, int copyCount, unsigned years)
{
    const std::string& ndl = CopiesNdl(copyCount);
    const auto build = [&ndl, years](CSimulation& sim) {
        CParserDistrib parser;
        if (!parser.Parse(ndl, std::filesystem::temp_directory_path()) || !parser.Run(&sim))
            return false;
        parser.Close();
        sim.SetSystem(24, 100, years, 100, 0.0);
        return true;
    };
    RunYears(state, build, Stepping::Production, 24, years);
    state.counters["elements"] = copyCount * copies::kWidgetsPerCopy;
}

int RegisterCopies()
{
    // Years per iteration: enough that what a run costs once (its model, its report of every load
    // point) is a few percent of the time at every size, not a share that grows with the network.
    const std::pair<int, unsigned> sizes[] = {{1, 20000}, {4, 10000}, {16, 4000}, {64, 2000}, {256, 2000}, {1000, 500}};
    for (const auto& [copyCount, years] : sizes)
        benchmark::RegisterBenchmark(("MonteCarlo/Copies/" + std::to_string(copyCount)).c_str(), MonteCarloCopies,
                                     copyCount, years)
            ->Unit(benchmark::kMillisecond);
    return 0;
}

const int registeredCopies = RegisterCopies();

}  // namespace
