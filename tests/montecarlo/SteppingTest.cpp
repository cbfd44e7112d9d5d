// The production stepping of the year loop against the reference stepping, which simulates every
// quantum on its own: the same reports, the same years and the same model state to the bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <regex>
#include <sstream>

#include "bench/CopiesNetwork.h"
#include "bench/MonteCarloNetworks.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/Simulation.h"
#include "tests/Drawing.h"
#include "tests/montecarlo/NdlTestSupport.h"

using Stepping = CSimulation::Stepping;

namespace {

// A network built either by the model's builders (after SetSystem) or from NDL text, and the
// years it runs at 1 or 24 and at 1440 quanta a day; above accuracy 0 the run may stop before its
// last year.
struct Network {
    std::string name;
    unsigned yearsAt24 = 20;
    unsigned yearsAt1440 = 2;
    double accuracy = 0.0;
    std::function<void(CSimulation&)> build = nullptr;   // or
    std::function<std::string(unsigned)> ndl = nullptr;  // the text at these quanta per day
};

void PrintTo(const Network& network, std::ostream* out)
{
    *out << network.name;
}

struct Outcome {
    std::string trace;
    std::string html;
    std::string state;  // the model after the run, every number in hexadecimal floating point
    unsigned years = 0;
};

// Everything the year loop leaves behind: the estimates, the generator, and each edge's state,
// countdowns and capacity, and each load's flow and tallies of the last year (the flows through
// other edges are the maximum flow's working, which the production stepping skips where nothing
// can bind).
std::string DescribeState(const CSimulation& sim)
{
    std::ostringstream out;
    out << std::hexfloat;
    auto estimates = [&out](std::initializer_list<const CEstimate*> list) {
        for (const CEstimate* e : list)
            out << ' ' << e->GetMean() << '/' << e->GetRelativeError() << '/' << e->GetWeight();
    };
    out << "random " << sim.GetRandomState() << " SAIFI, SAIDI, CAIDI, ENS";
    estimates({&sim.GetSAIFI(), &sim.GetSAIDI(), &sim.GetCAIDI(), &sim.GetENS()});
    out << "\n";
    for (std::size_t i = 0; i < sim.GetEdgeCount(); ++i) {
        const SimEdge& e = sim.GetEdge(i);
        out << "edge " << i << " state " << e.state << " countdowns " << e.failureCountdown << ' '
            << e.isolationCountdown << ' ' << e.repairCountdown << ' ' << e.recloseCountdown << " current "
            << sim.GetCurrentCapacity(i);
        if (e.type == kLoadEdge) {
            out << " flow " << sim.GetFlow(i) << " supplied " << e.supplied << " tallies " << e.interruptionsThisYear << ' '
                << e.interruptedQuantaThisYear << ' ' << e.runningInterruptionQuanta << ' '
                << e.energyNotSuppliedThisYear;
            const SimLoadEstimates& l = sim.GetLoadEstimates(i);
            estimates({&l.frequency, &l.interruptedYear, &l.unavailability, &l.outageDuration, &l.energyNotSupplied});
        }
        out << "\n";
    }
    return out.str();
}

// Runs from year 2, testing every year.
Outcome Simulate(const Network& network, unsigned quantsPerDay, unsigned yearMax, Stepping stepping)
{
    ndltest::TempFolder folder;
    ndltest::TracedOutput output(folder, true);
    CSimulation sim;
    sim.Init(output.Get());
    if (network.ndl) {
        CParserDistrib parser(output.Get());
        EXPECT_TRUE(parser.Parse(network.ndl(quantsPerDay), folder.Path()) && parser.Run(&sim))
            << parser.GetErrorMessage();
        parser.Close();
    }
    // After the text's own system, which asks for at least 100 years: the model is built, so fewer
    // can be asked for.
    sim.SetSystem(quantsPerDay, 2, yearMax, 1, network.accuracy);
    if (network.build)
        network.build(sim);
    sim.SetStepping(stepping);
    sim.Run(nullptr, "report.htm");  // the links name the same report for both
    const unsigned years = sim.GetYearsSimulated();
    const std::string state = DescribeState(sim);
    sim.Free();
    const std::string trace = ndltest::MaskReport(output.Trace(), output.HtmlPath());
    return {trace, ndltest::MaskReport(output.Html(), output.HtmlPath()), state, years};
}

// Random networks dense with events: short times, rings through reclosers, switches in rings,
// elements that no switch protects, too little supply, load curves of sizes that do not divide
// the year and curves longer than it.
void BuildRandomNetwork(CSimulation& sim, unsigned seed)
{
    std::mt19937 random(seed);
    auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto pick = [&random](unsigned count) { return std::uniform_int_distribution<unsigned>(0, count - 1)(random); };

    const unsigned nodes = 6 + pick(8);  // model nodes 2 .. nodes + 1
    auto node = [&](unsigned below) { return 2 + pick(below); };
    auto addElement = [&](unsigned from, unsigned to) {
        const double capacity = pick(4) == 0 ? uniform(1.0, 6.0) : -1.0;
        switch (pick(6)) {
        case 0: sim.AddBreaker(from, to, capacity); break;
        case 1: sim.AddIsolator(from, to, capacity); break;
        case 2: {
            // As the parser builds a recloser, between two nodes of its own.
            const unsigned a = 200 + 2 * pick(40), b = a + 1;
            sim.AddBreaker(from, a, capacity);
            sim.AddRecloser(a, b, capacity, uniform(0.0, 0.5), uniform(0.5, 3.0));
            sim.AddBreaker(b, to, capacity);
            break;
        }
        case 3:
            sim.AddEquipment(from, to, capacity, uniform(1.0, 40.0), uniform(0.5, 3.0), uniform(0.0, 1.0),
                             uniform(0.5, 3.0), uniform(0.0, 3.0), uniform(0.5, 3.0));
            break;
        default:
            sim.AddLine(from, to, capacity, uniform(1.0, 60.0), uniform(0.5, 3.0), uniform(0.0, 1.0),
                        uniform(0.5, 3.0), uniform(0.0, 3.0), uniform(0.5, 3.0));
            break;
        }
    };

    // One or two sources, mostly behind a breaker, then a tree and a few extra edges for rings.
    for (unsigned s = 0, sources = 1 + pick(2); s < sources; ++s) {
        const unsigned inner = 100 + s;
        sim.AddSupply(0, inner, pick(3) == 0 ? uniform(2.0, 8.0) : -1.0);
        if (pick(4) == 0)
            addElement(inner, node(nodes));
        else
            sim.AddBreaker(inner, node(nodes), -1.0);
    }
    for (unsigned n = 3; n < nodes + 2; ++n)
        addElement(node(n - 2), n);
    for (unsigned rings = pick(4); rings > 0; --rings)
        addElement(node(nodes), node(nodes));

    for (unsigned loads = 1 + pick(4), i = 0; i < loads; ++i) {
        const std::size_t sizes[] = {1, 7, 24, 1000, 8760, 9001};
        std::vector<double> profile(sizes[pick(6)]);
        for (std::size_t k = 0; k < profile.size(); ++k)
            profile[k] = k % 5 == 4 && k > 0 ? profile[k - 1] : uniform(0.2, 2.0);  // some steps repeat
        const double average = uniform(0.5, 3.0);
        ASSERT_EQ(sim.AddLoad("L" + std::to_string(i), node(nodes), 1, 1 + pick(50), profile, average,
                                pick(2) == 0 ? -1.0 : average * uniform(1.0, 1.6)), CSimulation::LoadResult::Built);
    }
}

// Copies of the benchmarks' four-feeder system on one source bus; `ringed` ties them into one
// ring, with mains that a tie's transfer overloads, load curves and a load on the source bus.
std::function<std::string(unsigned)> CopiesNdl(int count, bool ringed)
{
    return [count, ringed](unsigned quantsPerDay) {
        CKorvaneDoc doc;
        copies::Options options;
        options.quantsPerDay = static_cast<int>(quantsPerDay);
        options.tiesBetweenCopies = options.curves = ringed;
        options.mainCapacity = ringed ? 2500.0 : options.mainCapacity;
        copies::Draw(doc, count, options);
        if (ringed) {
            auto* load = drawing::Symbol<CLoadPoint>(doc, {0, -1000});
            load->m_dAverage = 500.0;
            load->m_profile = {1.0, 2.0, 1.5};
        }
        return copies::Ndl(doc);
    };
}

// Every network that the Monte Carlo tests and benchmarks run, and random ones.
std::vector<Network> Networks()
{
    using namespace ndltest;
    auto ndl = [](unsigned quantsPerDay) {
        return std::regex_replace(NdlNetwork(), std::regex("quantsPerDay = 24"),
                                  "quantsPerDay = " + std::to_string(quantsPerDay));
    };
    auto generated = [](unsigned quantsPerDay) {
        CKorvaneDoc doc;
        drawing::SmallNetwork(doc);
        doc.m_pSimulationSettings->quantsPerDay = static_cast<int>(quantsPerDay);
        return copies::Ndl(doc);
    };
    std::vector<Network> networks = {
        {"OneLine", 20, 2, 0.0, OneLine},
        {"IsolatorBetweenLoads", 20, 2, 0.0, IsolatorBetweenLoads},
        {"PerfectConductor", 20, 4, 0.05, PerfectConductor},
        {"SourceAndLoad", 20, 3, 0.05, SourceAndLoad},
        {"SupplyTooSmall", 20, 2, 0.0, SupplyTooSmall},
        {"OutageOverTheYearsEnd", 20, 2, 0.0, OutageOverTheYearsEnd},
        {"HalfYearOverload", 20, 2, 0.0, HalfYearOverload},
        {"Recloser", 20, 2, 0.0, [](CSimulation& sim) { RecloserOnTheFeeder(sim, false); }},
        {"BypassedRecloser", 20, 2, 0.0, [](CSimulation& sim) { RecloserOnTheFeeder(sim, true); }},
        {"LineIsolatorEquipment", 20, 2, 0.0, LineIsolatorEquipment},
        {"NeverFailing", 20, 2, 0.0, NeverFailing},
        {"UnprotectedLine", 20, 1, 0.0, UnprotectedLine},
        {"SmallFeeder", 40, 2, 0.3, [](CSimulation& sim) { ASSERT_TRUE(SmallFeeder(sim)); }},
        {"NdlNetwork", 20, 2, 0.0, nullptr, ndl},
        {"DrawnNetwork", 20, 2, 0.2, nullptr, generated},
        {"Copies", 20, 1, 0.0, nullptr, CopiesNdl(4, false)},
        {"CopiesRinged", 10, 1, 0.0, nullptr, CopiesNdl(3, true)},
        {"BenchSmallCurve", 10, 1, 0.0, mcbench::BuildSmallNetwork},
        {"BenchGenerated", 10, 1, 0.0, [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, false, false); }},
        {"BenchGeneratedCurve", 5, 1, 0.0, [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, true, false); }},
        {"BenchGeneratedRing", 10, 1, 0.0, [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, false, true); }},
        {"BenchGeneratedCurveRing", 5, 1, 0.0, [](CSimulation& sim) { mcbench::BuildGeneratedNetwork(sim, true, true); }},
    };
    for (unsigned seed = 1; seed <= 12; ++seed)
        networks.push_back({"Random" + std::to_string(seed), 10, 1, seed % 3 == 0 ? 0.3 : 0.0,
                            [seed](CSimulation& sim) { BuildRandomNetwork(sim, seed); }});
    return networks;
}

// One case per network and quanta per day, so that they run side by side. With one quantum a day
// a curve of 8760 values is longer than the year's 365 quanta.
class YearLoopStepping : public ::testing::TestWithParam<std::tuple<Network, unsigned>> {};

}  // namespace

TEST_P(YearLoopStepping, ProductionGivesTheReferenceReportsYearsAndStateToTheBit)
{
    const auto& [network, quantsPerDay] = GetParam();
    const unsigned yearMax = quantsPerDay == 1440 ? network.yearsAt1440 : network.yearsAt24;
    const Outcome reference = Simulate(network, quantsPerDay, yearMax, Stepping::Reference);
    const Outcome production = Simulate(network, quantsPerDay, yearMax, Stepping::Production);
    EXPECT_EQ(production.years, reference.years);
    EXPECT_EQ(production.trace, reference.trace);
    EXPECT_EQ(production.html, reference.html);
    EXPECT_EQ(production.state, reference.state);
    EXPECT_NE(reference.trace.find("simulation years: " + std::to_string(reference.years)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Networks, YearLoopStepping,
                         ::testing::Combine(::testing::ValuesIn(Networks()), ::testing::Values(1u, 24u, 1440u)),
                         [](const auto& info) {
                             return std::get<0>(info.param).name + "_" + std::to_string(std::get<1>(info.param));
                         });
