#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "montecarlo/Output.h"
#include "montecarlo/Simulation.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace {

// An empty model at these quanta a day.
void Start(CSimulation& sim, unsigned quantsPerDay, COutput* output = nullptr)
{
    sim.Init(output);
    sim.SetSystem(quantsPerDay, 100, 1000, 100, 0.05);
}

double CurveMean(const CSimulation& sim, std::size_t edge)
{
    const std::uint64_t quanta = 365ull * sim.GetQuantsPerDay();
    double sum = 0.0;
    for (std::uint64_t i = 0; i < quanta; ++i)
        sum += sim.GetLoadCurveValue(edge, i);
    return sum / static_cast<double>(quanta);
}

}  // namespace

// The model holds no fixed number of nodes or edges.
TEST(SimulationBuild, TheModelGrowsFarBeyondAThousandNodesAndEdges)
{
    CSimulation sim;
    Start(sim, 24);
    for (unsigned n = 2; n < 3002; ++n)
        sim.AddLine(n, n + 1, -1.0, 0.1, 1.0, 1.0, 1.0, 4.0, 1.0);
    EXPECT_EQ(sim.GetNodeCount(), 3003u);
    EXPECT_EQ(sim.GetEdgeCount(), 3000u);
    EXPECT_EQ(sim.GetEdge(2999).from, 3001u);
}

TEST(SimulationBuild, ConvertsRatesAndHoursIntoWeibullScalesInQuanta)
{
    struct Case {
        unsigned q;
        double rate, hours;
        const char* equipment;
        const char* recloser;
    };
    const Case cases[] = {
        {24, 2.0, 4.0, "failure 4379.5/1.5, isolation 3.5/2, repair 3.5/3", "reclose 3.5/4"},
        // a rate of 365 q: scale 0.5; half a quantum: 0
        {24, 365.0 * 24, 0.5, "failure 0.5/1.5, isolation 0/2, repair 0/3", "reclose 0/4"},
        // 730 q and more: 0
        {24, 730.0 * 24, 0.4, "failure 0/1.5, isolation 0/2, repair 0/3", "reclose 0/4"},
        {1440, 1.0, 1.0, "failure 525599.5/1.5, isolation 59.5/2, repair 59.5/3", "reclose 59.5/4"},
        // a rate of 0: never
        {24, 0.0, 1.0, "failure inf/1.5, isolation 0.5/2, repair 0.5/3", "reclose 0.5/4"},
    };
    for (const Case& c : cases) {
        CSimulation sim;
        Start(sim, c.q);
        sim.AddEquipment(2, 3, 5.0, c.rate, 1.5, c.hours, 2.0, c.hours, 3.0);
        sim.AddRecloser(3, 4, 5.0, c.hours, 4.0);
        EXPECT_EQ(ndltest::Times(sim.GetEdge(0)), c.equipment) << c.rate;
        EXPECT_EQ(ndltest::Times(sim.GetEdge(1)), c.recloser) << c.hours;
    }
}

// Each profile of the table scaled to its average and peak, or refused with the reason.
TEST(SimulationBuild, ScalesLoadCurvesToTheirAverageAndPeakOrRefusesThem)
{
    using Result = CSimulation::LoadResult;
    for (const testfiles::TableCase& c : testfiles::ReadTable("montecarlo/load-scaling.txt")) {
        const std::string where = "load-scaling.txt:" + std::to_string(c.line);
        std::vector<double> profile;
        std::istringstream values(c.fields.at(0));
        for (std::string value; values >> value;)
            profile.push_back(std::strtod(value.c_str(), nullptr));
        CSimulation sim;
        Start(sim, 24);
        const Result result = sim.AddLoad("LP", 2, 1, 10, profile, std::strtod(c.fields.at(1).c_str(), nullptr),
                                          std::strtod(c.fields.at(2).c_str(), nullptr));
        const std::string& want = c.fields.at(3);
        if (want == "nothing to scale" || want == "beyond any network") {
            EXPECT_EQ(result, want[0] == 'n' ? Result::NothingToScale : Result::BeyondAnyNetwork) << where;
            EXPECT_EQ(sim.GetEdgeCount(), 0u) << where << ": a refused load builds nothing";
            continue;
        }
        ASSERT_EQ(result, Result::Built) << where;
        std::string word, varying;
        double peak = 0.0, mean = 0.0;
        std::istringstream(want) >> word >> peak >> word >> mean >> varying;
        const double capacity = sim.GetEdge(0).capacity;
        EXPECT_NEAR(capacity, peak, 1e-12 * peak) << where;
        EXPECT_EQ(sim.GetCurrentCapacity(0), capacity) << where;
        EXPECT_NEAR(CurveMean(sim, 0), mean, 1e-10 * mean) << where;
        EXPECT_EQ(sim.HasVaryingLoads(), varying == "varying") << where;
    }

    // All loads together: the one that takes the sum of the peaks past the limit is refused, and
    // counts for nothing afterwards.
    CSimulation sim;
    Start(sim, 24);
    EXPECT_EQ(sim.AddLoad("A", 2, 1, 1, {1}, 6e14, -1.0), Result::Built);
    EXPECT_EQ(sim.AddLoad("B", 3, 1, 1, {1}, 6e14, -1.0), Result::BeyondAnyNetwork);
    EXPECT_EQ(sim.AddLoad("C", 4, 1, 1, {1}, 4e14, -1.0), Result::Built);
    EXPECT_EQ(sim.GetEdgeCount(), 2u);
}

TEST(SimulationBuild, WarnsWhenScalingMissesItsTarget)
{
    ndltest::TempFolder folder;
    ndltest::TracedOutput output(folder);
    CSimulation sim;
    Start(sim, 24, output.Get());
    // An average above the peak turns the curve over its peak; an average far below it needs
    // values below 0, which the floor of 1e-9 holds up.
    ASSERT_EQ(sim.AddLoad("Mill", 2, 1, 1, {0, 10}, 3.0, 2.0), CSimulation::LoadResult::Built);
    ASSERT_EQ(sim.AddLoad("Farm", 2, 1, 1, {0, 10}, 1.0, 10.0), CSimulation::LoadResult::Built);
    EXPECT_EQ(output.Trace(),
              "warning: load scaling failed (Mill), desired peak = 2.0000, actual = 4.0000)\n"
              "warning: load scaling failed (Farm), desired average = 1.0000, actual = 5.0000\n");
}

// The mean that scales a curve is summed over every quantum of the year in order; summing each
// profile value's run of quanta at once must give the same bits. Quantum t takes profile value
// t x size / quanta, an index that passes 2^32 at 1440 quanta a day; a profile longer than the year
// is sampled, and does not vary if its samples do not.
TEST(SimulationBuild, ScalesByTheMeanOfTheYearsQuantaToTheBit)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(0.1, 5.0);
    for (const unsigned quantsPerDay : {1u, 24u, 1440u}) {
        for (const std::size_t size : {1u, 3u, 7u, 365u, 730u, 8760u, 9001u}) {
            for (const int kind : {0, 1, 2}) {  // any values, whole ones, every other one the same
                std::vector<double> profile(size);
                for (std::size_t k = 0; k < size; ++k)
                    profile[k] = kind == 0 ? value(random) : kind == 1 ? std::floor(value(random)) + 1.0 : 1.0 + k % 2;
                CSimulation sim;
                Start(sim, quantsPerDay);
                ASSERT_EQ(sim.AddLoad("LP", 2, 1, 1, profile, 2.5, -1.0), CSimulation::LoadResult::Built);

                const std::uint64_t quanta = 365ull * quantsPerDay;
                double sum = 0.0;
                bool varies = false;
                for (std::uint64_t i = 0; i < quanta; ++i) {
                    sum += profile[i * size / quanta];
                    varies = varies || profile[i * size / quanta] != profile[0];
                }
                const double factor = 2.5 / (sum / static_cast<double>(quanta));
                for (const std::uint64_t t : {std::uint64_t{0}, quanta / 3, quanta - 1}) {
                    const double expected = std::max(profile[t * size / quanta] * factor, 1e-9);
                    ASSERT_EQ(sim.GetLoadCurveValue(0, t), expected) << quantsPerDay << " " << size << " " << t;
                }
                EXPECT_EQ(sim.HasVaryingLoads(), varies) << quantsPerDay << " " << size << " " << kind;
            }
        }
    }
}
