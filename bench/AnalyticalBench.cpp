// Cost of the analytical run (every feeder faulted) and of the GML generator on drawn networks of
// about 100, 1,000 and 10,000 widgets, radial or with recloser ties between neighbouring feeders;
// and of the run on 1, 16, 64 and 256 copies of a four-feeder system on one source bus.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "analytical/AnalyticalSimulator.h"
#include "bench/CopiesNetwork.h"
#include "analytical/GMLGenerator.h"
#include "model/KorvaneDoc.h"

namespace {

template <typename T>
T* Place(CKorvaneDoc& doc, CPoint a, CPoint b)
{
    return static_cast<T*>(doc.AddWidget(std::make_unique<T>(a, b, 1, 0)));
}

void MainValues(CFeederData& f)
{
    f.m_nFeederType = 1;
    f.m_dFaultRate = 0.1;
    f.m_dFeederLength = 1.0;
    f.m_dRepairTime = 4.0;
    f.m_dMaxCapacity = 1500.0;
}

// Feeders side by side, each a gen source, a breaker and a main line along x; every fourth main
// section is an isolator; at every main node a lateral (every third behind a fuse) goes down to a
// load point. With `tied`, a recloser joins the ends of feeders 0 and 1, 2 and 3, and so on. About
// 3.6 widgets a main section.
std::unique_ptr<CKorvaneDoc> DrawNetwork(int widgets, bool tied)
{
    auto doc = std::make_unique<CKorvaneDoc>();
    const int feeders = widgets < 300 ? 2 : widgets < 3000 ? 6 : 20;
    const int sections = std::max(1, static_cast<int>(widgets / 3.6) / feeders);
    for (int f = 0; f < feeders; ++f) {
        const int y = f * 200;
        doc->AddWidget(std::make_unique<CGenSource>(CPoint(0, y), 1, 0));
        MainValues(*Place<CCircuitBreaker>(*doc, {0, y}, {50, y}));
        for (int s = 0; s < sections; ++s) {
            const int x = 50 + s * 100;
            if (s % 4 == 3) {
                auto* isolator = Place<CIsolator>(*doc, {x, y}, {x + 100, y});
                MainValues(*isolator);
                isolator->m_dSwitchTime = 0.5;
            } else {
                MainValues(*Place<CLine>(*doc, {x, y}, {x + 100, y}));
            }
            CPoint top(x + 100, y);
            if (s % 3 == 0) {
                Place<CFuse>(*doc, top, {x + 100, y + 30});
                top = CPoint(x + 100, y + 30);
            }
            CLine* lateral = Place<CLine>(*doc, top, {x + 100, y + 60});
            lateral->m_dFaultRate = 0.2;
            lateral->m_dFeederLength = 0.5;
            lateral->m_dRepairTime = 2.0;
            auto* load = static_cast<CLoadPoint*>(doc->AddWidget(std::make_unique<CLoadPoint>(CPoint(x + 100, y + 60), 1, 0)));
            load->m_nNumCustomers = 10 + (s * 7 + f) % 40;
            load->m_dLoad = 20.0 + (s * 13 + f * 5) % 60;
        }
        if (tied && f % 2 == 1) {
            const int xEnd = 50 + sections * 100;
            Place<CRecloser>(*doc, {xEnd, y - 200}, {xEnd + 50, y - 100})->m_dReclTime = 1.0;
            CLine* link = Place<CLine>(*doc, {xEnd + 50, y - 100}, {xEnd, y});
            link->m_nFeederType = 1;
            link->m_dMaxCapacity = 1e7;
        }
    }
    return doc;
}

// Made once per network: the drawing and its text outlive the benchmark's repetitions and are not
// timed.
const std::string& GmlOnce(const std::string& network, const std::function<std::string()>& make)
{
    static std::map<std::string, std::string> texts;
    auto [it, fresh] = texts.try_emplace(network);
    if (fresh)
        it->second = make();
    return it->second;
}

// Every feeder of the network faulted in each timed run.
void TimeRuns(benchmark::State& state, const std::string& gml, int method)
{
    int faults = 0;
    for (auto _ : state) {
        const CAnalyticalResult result = CAnalyticalSimulator().Run(gml, 0, method, 1000000);
        if (!result.ok)
            state.SkipWithError(result.error.c_str());
        faults = result.faultedFeeders;
        benchmark::DoNotOptimize(result.metrics.SAIDI);
    }
    state.counters["faults"] = faults;
    state.counters["faults/s"] = benchmark::Counter(static_cast<double>(faults) * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

void AnalyticalRun(benchmark::State& state)
{
    const int widgets = static_cast<int>(state.range(0));
    const bool tied = state.range(1) != 0;
    const std::string& gml = GmlOnce(std::to_string(widgets) + (tied ? " tied" : ""), [&] {
        auto doc = DrawNetwork(widgets, tied);
        CGMLGenerator generator(doc.get());
        generator.Generate();
        return generator.GetGML();
    });
    TimeRuns(state, gml, static_cast<int>(state.range(2)));
}
BENCHMARK(AnalyticalRun)
    ->ArgNames({"widgets", "tied", "thesis"})
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}, {1}})
    ->Args({1000, 1, 0})
    ->Unit(benchmark::kMillisecond);

void GmlGenerate(benchmark::State& state)
{
    auto doc = DrawNetwork(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        CGMLGenerator generator(doc.get());
        benchmark::DoNotOptimize(generator.Validate());
        generator.Generate();
        benchmark::DoNotOptimize(generator.GetGML().size());
    }
}
BENCHMARK(GmlGenerate)->ArgName("widgets")->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The resident-set size of this process and its peak so far, in kB ("VmRSS", "VmHWM").
long StatusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return 0;
}

// The memory one run takes at its peak beyond what the process held before, in MB: measured in
// a child process that hands the memory freed so far back to the system and starts the peak from
// there, so that neither the heap nor the high-water mark of earlier runs count.
double RunPeakMegabytes(const std::string& gml)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKb("VmRSS");
        const CAnalyticalResult result = CAnalyticalSimulator().Run(gml, 0, 1, 1000000);
        benchmark::DoNotOptimize(result.metrics.SAIDI);
        const long grown = StatusKb("VmHWM") - before;
        (void)!write(pipeEnds[1], &grown, sizeof grown);
        _exit(0);
    }
    close(pipeEnds[1]);
    long grown = -1024;
    if (child < 0 || read(pipeEnds[0], &grown, sizeof grown) != static_cast<ssize_t>(sizeof grown))
        grown = -1024;
    close(pipeEnds[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return static_cast<double>(grown) / 1024.0;
}

// Analytical/Copies/<k>: every feeder of k copies faulted.
void AnalyticalCopies(benchmark::State& state, int copyCount)
{
    const std::string& gml = GmlOnce("copies " + std::to_string(copyCount), [&] {
        CKorvaneDoc doc;
        copies::Draw(doc, copyCount);
        return copies::Gml(doc);
    });
    TimeRuns(state, gml, 1);
    state.counters["peak MB"] = RunPeakMegabytes(gml);
}

int RegisterCopies()
{
    for (int copyCount : {1, 16, 64, 256})
        benchmark::RegisterBenchmark(("Analytical/Copies/" + std::to_string(copyCount)).c_str(), AnalyticalCopies,
                                     copyCount)
            ->Unit(benchmark::kMillisecond);
    return 0;
}
const int registeredCopies = RegisterCopies();

}  // namespace
