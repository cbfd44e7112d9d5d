#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "montecarlo/Output.h"
#include "montecarlo/Simulation.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace {

using testfiles::ReadText;

double CurveMean(const CSimulation& sim, std::size_t edge)
{
    const std::uint64_t quanta = 365ull * sim.GetQuantsPerDay();
    double sum = 0.0;
    for (std::uint64_t i = 0; i < quanta; ++i)
        sum += sim.GetLoadCurveValue(edge, i);
    return sum / static_cast<double>(quanta);
}

}  // namespace

TEST(SimulationBuild, EdgesJoinTheirNodesAndTheModelGrows)
{
    CSimulation sim;
    sim.Init();
    sim.SetSystem(24, 100, 1000, 100, 0.05);
    EXPECT_EQ(sim.GetNodeCount(), 2u);
    sim.AddSupply(0, 3, 10.0);
    sim.AddBreaker(3, 2, 10.0);
    EXPECT_EQ(sim.GetNodeCount(), 4u);
    const SimNode& node = sim.GetNode(3);
    ASSERT_EQ(node.adjacency.size(), 2u);
    EXPECT_TRUE(node.adjacency[0].edge == 0 && !node.adjacency[0].fromHere);
    EXPECT_TRUE(node.adjacency[1].edge == 1 && node.adjacency[1].fromHere);
    // Far more than a thousand nodes and edges.
    for (unsigned n = 2; n < 3000; ++n)
        sim.AddLine(n, n + 1, -1.0, 0.1, 1.0, 1.0, 1.0, 4.0, 1.0);
    EXPECT_EQ(sim.GetNodeCount(), 3001u);
    EXPECT_EQ(sim.GetEdgeCount(), 3000u);
    EXPECT_EQ(sim.GetEdge(2999).from, 2999u);
}

TEST(SimulationBuild, ConvertsRatesAndHoursIntoWeibullScalesInQuanta)
{
    struct Case {
        unsigned q;
        double rate, hours;
        double failureScale, hoursScale;
    };
    const Case cases[] = {
        {24, 2.0, 4.0, 1.0 / ((2.0 / 24) / 365.0) - 0.5, 3.5},
        {24, 365.0 * 24, 0.5, 0.5, 0.0},    // a rate of 365 q: scale 0.5; half a quantum: 0
        {24, 730.0 * 24, 0.4, 0.0, 0.0},    // 730 q and more: 0
        {1440, 1.0, 1.0, 525600.0 - 0.5, 59.5},
    };
    for (const Case& c : cases) {
        CSimulation sim;
        sim.Init();
        sim.SetSystem(c.q, 100, 1000, 100, 0.05);
        sim.AddEquipment(2, 3, 5.0, c.rate, 1.5, c.hours, 2.0, c.hours, 3.0);
        sim.AddRecloser(3, 4, 5.0, c.hours, 4.0);
        const SimEdge& equipment = sim.GetEdge(0);
        EXPECT_EQ(equipment.type, kEquipmentEdge);
        EXPECT_DOUBLE_EQ(equipment.failure.GetScale(), c.failureScale) << c.rate;
        EXPECT_EQ(equipment.failure.GetShape(), 1.5);
        EXPECT_DOUBLE_EQ(equipment.isolation.GetScale(), c.hoursScale) << c.hours;
        EXPECT_EQ(equipment.isolation.GetShape(), 2.0);
        EXPECT_DOUBLE_EQ(equipment.repair.GetScale(), c.hoursScale);
        EXPECT_EQ(equipment.repair.GetShape(), 3.0);
        EXPECT_DOUBLE_EQ(sim.GetEdge(1).reclose.GetScale(), c.hoursScale);
        EXPECT_EQ(sim.GetEdge(1).reclose.GetShape(), 4.0);
    }

    CSimulation never;
    never.Init();
    never.SetSystem(24, 100, 1000, 100, 0.05);
    never.AddLine(2, 3, 1.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0);
    EXPECT_TRUE(std::isinf(never.GetEdge(0).failure.GetScale())) << "a rate of 0 must mean never";
}

// Each profile of the table scaled to its average and peak, or refused with the reason.
TEST(SimulationBuild, ScalesLoadCurvesToTheirAverageAndPeakOrRefusesThem)
{
    using Result = CSimulation::LoadResult;
    for (const ndltest::TableCase& c : ndltest::ReadTable("load-scaling.txt")) {
        const std::string where = "load-scaling.txt:" + std::to_string(c.line);
        std::vector<double> profile;
        std::istringstream values(c.fields.at(0));
        for (std::string value; values >> value;)
            profile.push_back(std::strtod(value.c_str(), nullptr));
        CSimulation sim;
        sim.Init();
        sim.SetSystem(24, 100, 1000, 100, 0.05);
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
    sim.Init();
    sim.SetSystem(24, 100, 1000, 100, 0.05);
    EXPECT_EQ(sim.AddLoad("A", 2, 1, 1, {1}, 6e14, -1.0), Result::Built);
    EXPECT_EQ(sim.AddLoad("B", 3, 1, 1, {1}, 6e14, -1.0), Result::BeyondAnyNetwork);
    EXPECT_EQ(sim.AddLoad("C", 4, 1, 1, {1}, 4e14, -1.0), Result::Built);
    EXPECT_EQ(sim.GetEdgeCount(), 2u);
}

TEST(SimulationBuild, StretchesTheProfileOverTheYear)
{
    CSimulation sim;
    sim.Init();
    sim.SetSystem(1, 100, 1000, 100, 0.05);
    // 730 values over 365 quanta: every other one is used.
    std::vector<double> profile(730);
    for (std::size_t i = 0; i < profile.size(); ++i)
        profile[i] = i % 2 == 0 ? 1.0 : 3.0;
    ASSERT_EQ(sim.AddLoad("thin", 2, 1, 1, profile, -1.0, 5.0), CSimulation::LoadResult::Built);
    for (std::uint64_t t = 0; t < 365; ++t)
        ASSERT_DOUBLE_EQ(sim.GetLoadCurveValue(0, t), 5.0) << t;
    EXPECT_FALSE(sim.HasVaryingLoads());

    // A day profile at 1440 quanta a day: quantum i takes hour (i x 24) / 525600 of the day...
    CSimulation day;
    day.Init();
    day.SetSystem(1440, 100, 1000, 100, 0.05);
    std::vector<double> hours(8760);
    for (std::size_t i = 0; i < hours.size(); ++i)
        hours[i] = 1.0 + static_cast<double>(i % 24);
    // ... where the 64-bit index matters: i x 8760 passes 2^32.
    ASSERT_EQ(day.AddLoad("hourly", 2, 1, 1, hours, -1.0, 24.0), CSimulation::LoadResult::Built);
    EXPECT_DOUBLE_EQ(day.GetLoadCurveValue(0, 525599), 24.0);
    EXPECT_DOUBLE_EQ(day.GetLoadCurveValue(0, 60), 2.0);
    EXPECT_TRUE(day.HasVaryingLoads());
}

TEST(SimulationBuild, WarnsWhenScalingMissesItsTarget)
{
    ndltest::TempFolder folder;
    COutput output;
    ASSERT_TRUE(output.OpenLog(folder / "warn.txt"));
    CSimulation sim;
    sim.Init(&output);
    sim.SetSystem(24, 100, 1000, 100, 0.05);
    // An average above the peak turns the curve over its peak; an average far below it needs
    // values below 0, which the floor of 1e-9 holds up.
    ASSERT_EQ(sim.AddLoad("Mill", 2, 1, 1, {0, 10}, 3.0, 2.0), CSimulation::LoadResult::Built);
    ASSERT_EQ(sim.AddLoad("Farm", 2, 1, 1, {0, 10}, 1.0, 10.0), CSimulation::LoadResult::Built);
    ASSERT_TRUE(output.CloseReports());
    EXPECT_EQ(ReadText(folder / "warn.txt"),
              "warning: load scaling failed (Mill), desired peak = 2.0000, actual = 4.0000)\n"
              "warning: load scaling failed (Farm), desired average = 1.0000, actual = 5.0000\n");
}

// The mean that scales a curve is summed over every quantum of the year in order; summing each
// profile value's run of quanta at once must give the same bits.
TEST(SimulationBuild, ScalesByTheMeanOfTheYearsQuantaToTheBit)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(0.1, 5.0);
    for (const unsigned quantsPerDay : {1u, 24u, 1440u}) {
        for (const std::size_t size : {1u, 3u, 7u, 365u, 8760u, 9001u}) {
            for (const bool round : {false, true}) {
                std::vector<double> profile(size);
                for (double& v : profile)
                    v = round ? std::floor(value(random)) + 1.0 : value(random);
                CSimulation sim;
                sim.Init();
                sim.SetSystem(quantsPerDay, 100, 1000, 100, 0.05);
                ASSERT_EQ(sim.AddLoad("LP", 2, 1, 1, profile, 2.5, -1.0), CSimulation::LoadResult::Built);

                const std::uint64_t quanta = 365ull * quantsPerDay;
                double sum = 0.0;
                for (std::uint64_t i = 0; i < quanta; ++i)
                    sum += profile[i * size / quanta];
                const double factor = 2.5 / (sum / static_cast<double>(quanta));
                for (const std::uint64_t t : {std::uint64_t{0}, quanta / 3, quanta - 1}) {
                    const double expected = std::max(profile[t * size / quanta] * factor, 1e-9);
                    ASSERT_EQ(sim.GetLoadCurveValue(0, t), expected) << quantsPerDay << " " << size << " " << t;
                }
            }
        }
    }
}
