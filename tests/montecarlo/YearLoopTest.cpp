#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>

#include "montecarlo/Output.h"
#include "montecarlo/RunControl.h"
#include "montecarlo/Simulation.h"
#include "montecarlo/SimulationProgress.h"
#include "tests/montecarlo/NdlTestSupport.h"
#include "tests/montecarlo/TestNetworks.h"

using namespace mctest;

namespace {

const SimEdge& Load(const CSimulation& sim, const std::string& name)
{
    for (std::size_t e = 0; e < sim.GetEdgeCount(); ++e) {
        if (sim.GetEdge(e).type == kLoadEdge && sim.GetEdge(e).name == name)
            return sim.GetEdge(e);
    }
    throw std::runtime_error("no load " + name);
}

// Runs the network `build` draws for exactly `years` years: accuracy 0 never stops it early.
CSimulation::StopReason RunForYears(CSimulation& sim, unsigned years, const std::function<void(CSimulation&)>& build,
                                    unsigned quantsPerDay = 24)
{
    sim.Init();
    sim.SetSystem(quantsPerDay, 100, years, 100, 0.0);
    build(sim);
    return sim.Run(nullptr, "r.htm");
}

// "the mean is within four standard errors of the closed form"
void ExpectWithinFourStandardErrors(const CEstimate& estimate, double expected, const char* what)
{
    const double standardError = estimate.GetRelativeError() * estimate.GetMean();
    EXPECT_GT(standardError, 0.0) << what;
    EXPECT_NEAR(estimate.GetMean(), expected, 4 * standardError) << what;
}

// Mean whole quanta of a drawn exponential time of mean `scale`: floor(X + 1) is geometric.
double MeanDrawnQuanta(double scale)
{
    return 1.0 / (1.0 - std::exp(-1.0 / scale));
}

}  // namespace

// Failure rate 2 a year (shape 1) and fixed outages at 24 quanta a day: faults recur after F + R
// quanta, F the drawn working time and R the repair, and each interrupts every load for its fixed
// outage. On one line that is the 4-hour repair. Behind an isolator (isolation 2 hours, repair 5)
// the breaker clears the fault for both loads, then the isolator opens and gives the upstream load
// back; the downstream load waits for the repair.
TEST(YearLoop, FixedOutagesMatchTheElementCycleInClosedForm)
{
    struct Expected {
        const char* load;
        double hours, customers, demand;
    };
    struct Case {
        void (*build)(CSimulation&);
        unsigned years;
        double repair;
        std::vector<Expected> loads;
    };
    const Case cases[] = {
        {OneLine, 4000, 4.0, {{"LP", 4.0, 10, 5.0}}},
        {IsolatorBetweenLoads, 3000, 5.0, {{"Up", 2.0, 1, 1.0}, {"Down", 5.0, 1, 1.0}}},
    };
    for (const Case& c : cases) {
        CSimulation sim;
        ASSERT_EQ(RunForYears(sim, c.years, c.build), CSimulation::StopReason::YearMax);
        ASSERT_EQ(sim.GetYearsSimulated(), c.years);
        const double frequency = 8760.0 / (MeanDrawnQuanta(1.0 / ((2.0 / 24) / 365.0) - 0.5) + c.repair);
        double customers = 0, customerHours = 0, energy = 0;
        for (const Expected& e : c.loads) {
            const SimEdge& load = Load(sim, e.load);
            EXPECT_EQ(load.outageDuration.GetMean(), e.hours) << e.load;
            EXPECT_EQ(load.outageDuration.GetRelativeError(), 0.0) << e.load;
            EXPECT_EQ(load.frequency.GetMean(), Load(sim, c.loads[0].load).frequency.GetMean()) << "one fault, all loads";
            ExpectWithinFourStandardErrors(load.frequency, frequency, e.load);
            ExpectWithinFourStandardErrors(load.unavailability, e.hours * frequency, e.load);
            ExpectWithinFourStandardErrors(load.energyNotSupplied, e.demand * e.hours * frequency, e.load);
            customers += e.customers;
            customerHours += e.customers * e.hours;
            energy += e.demand * e.hours;
        }
        ExpectWithinFourStandardErrors(sim.GetSAIFI(), frequency, "SAIFI");
        ExpectWithinFourStandardErrors(sim.GetSAIDI(), customerHours / customers * frequency, "SAIDI");
        ExpectWithinFourStandardErrors(sim.GetENS(), energy * frequency, "ENS");
        // Summed customer hours over summed interruptions, but for the hours of an outage still
        // running when the last year ends.
        EXPECT_NEAR(sim.GetCAIDI().GetMean(), customerHours / customers, c.repair / (2.0 * c.years));
    }
}

// One line behind a breaker, failing 2000 times a year with isolation 1 hour and repair 1 hour,
// all exponential (shape 1), at one quantum a minute, run for one year. Drawn times are whole
// quanta, floor(X + 1), so working and out times are geometric: the line works on from one
// quantum to the next with probability e^(-1/scale) and is out for R quanta (the isolation is cut
// to the repair, which counts from the failure). Each quantum is then a two-state Markov chain
// started in the working state, whose year has closed forms. The same year replayed draw by draw
// from the generator (F, I, R per failure, in that order) gives the exact counts: a change in the
// order or number of draws, or in the conversions into quanta, changes them.
TEST(YearLoop, OneExponentialLineForOneYearFollowsItsDrawsAndItsClosedForm)
{
    constexpr unsigned q = 1440;
    constexpr std::uint64_t Y = 365ull * q;
    constexpr double rate = 2000.0, isolationHours = 1.0, repairHours = 1.0, demand = 5.0;
    constexpr unsigned customers = 7;
    const double failureScale = 1.0 / ((rate / q) / 365.0) - 0.5;
    const double isolationScale = q * isolationHours / 24.0 - 0.5;
    const double repairScale = q * repairHours / 24.0 - 0.5;

    // The year replayed: draws at the first quantum of each cycle, while it is in the year.
    std::uint64_t state = 1;
    auto draw = [&state](double scale) {
        state = state * 16807 % 2147483647;
        return std::floor(scale * -std::log(static_cast<double>(state) / 2147483647.0) + 1.0);
    };
    std::uint64_t failures = 0, outageQuanta = 0, ended = 0;
    double durationSum = 0.0;  // hours of the outages that end within the year
    for (std::uint64_t t = 0; t < Y;) {
        const double f = draw(failureScale);
        (void)draw(isolationScale);
        const double r = draw(repairScale);
        t += static_cast<std::uint64_t>(f);
        if (t >= Y)
            break;
        ++failures;
        const auto out = static_cast<std::uint64_t>(r);
        outageQuanta += std::min(out, Y - t);
        if (t + out < Y) {
            ++ended;
            durationSum += static_cast<double>(out) * 24.0 / q;
        }
        t += out;
    }
    const double hours = static_cast<double>(outageQuanta) * 24.0 / q;

    // The closed forms. W_t: working in quantum t; P(W_t) = pi + (1 - pi) lambda^t.
    const double a = 1.0 - std::exp(-1.0 / failureScale);  // working -> out
    const double b = 1.0 - std::exp(-1.0 / repairScale);   // out -> working
    const double pi = b / (a + b);
    const double lambda = 1.0 - a - b;
    const double n = static_cast<double>(Y);
    // A failure begins in quantum t >= 1 after a working quantum t - 1.
    const double expectedFailures = a * ((n - 1) * pi + (1 - pi) * (1 - std::pow(lambda, n - 1)) / (1 - lambda));
    const double expectedOutageQuanta = (1 - pi) * (n - (1 - std::pow(lambda, n)) / (1 - lambda));
    // Renewal-reward spreads, cycle C = F + R: Var N ~ n Var C / mu^3; Var U ~ (n / mu) Var(R - rC).
    const double mu = 1 / a + 1 / b;
    const double varF = (1 - a) / (a * a), varR = (1 - b) / (b * b);
    const double sdFailures = std::sqrt(n * (varF + varR) / (mu * mu * mu));
    const double share = (1 / b) / mu;
    const double sdOutageQuanta = std::sqrt(n / mu * ((1 - share) * (1 - share) * varR + share * share * varF));
    EXPECT_NEAR(static_cast<double>(failures), expectedFailures, 4 * sdFailures);
    EXPECT_NEAR(static_cast<double>(outageQuanta), expectedOutageQuanta, 4 * sdOutageQuanta);

    for (const auto stepping : {CSimulation::Stepping::Production, CSimulation::Stepping::Reference}) {
        CSimulation sim;
        const auto build = [&](CSimulation& s) {
            AddSource(s, 2);
            s.AddLine(2, 3, -1.0, rate, 1.0, isolationHours, 1.0, repairHours, 1.0);
            AddFlatLoad(s, "LP", 3, customers, demand);
            s.SetStepping(stepping);
        };
        ASSERT_EQ(RunForYears(sim, 1, build, q), CSimulation::StopReason::YearMax);

        EXPECT_EQ(sim.GetRandomState(), state) << "three draws for each cycle begun in the year";
        const SimEdge& load = Load(sim, "LP");
        EXPECT_EQ(load.frequency.GetMean(), static_cast<double>(failures));
        EXPECT_EQ(load.interruptedYear.GetMean(), 1.0);
        EXPECT_EQ(load.unavailability.GetMean(), hours);
        EXPECT_EQ(load.energyNotSupplied.GetMean(), demand * static_cast<double>(outageQuanta) * 24.0 / q);
        EXPECT_EQ(load.outageDuration.GetWeight(), static_cast<double>(ended));
        EXPECT_DOUBLE_EQ(load.outageDuration.GetMean(), durationSum / static_cast<double>(ended));
        EXPECT_EQ(sim.GetSAIFI().GetMean(), static_cast<double>(failures));
        EXPECT_DOUBLE_EQ(sim.GetSAIDI().GetMean(), hours);
        EXPECT_DOUBLE_EQ(sim.GetCAIDI().GetMean(), hours / static_cast<double>(failures));
        EXPECT_EQ(sim.GetENS().GetMean(), demand * static_cast<double>(outageQuanta) * 24.0 / q);
    }
}

TEST(YearLoop, ANetworkThatNeverFailsStopsAtTheFirstTestedYear)
{
    struct Case {
        unsigned yearMin, yearStep;
        unsigned years;
    };
    for (const Case& c : {Case{100, 100, 100}, Case{250, 100, 300}, Case{100, 7, 105}}) {
        CSimulation sim;
        sim.Init();
        sim.SetSystem(24, c.yearMin, 100000, c.yearStep, 0.05);
        PerfectConductor(sim);
        EXPECT_EQ(sim.Run(nullptr, "r.htm"), CSimulation::StopReason::Converged);
        EXPECT_EQ(sim.GetYearsSimulated(), c.years) << c.yearMin << "/" << c.yearStep;
        const SimEdge& load = Load(sim, "LP");
        for (const CEstimate* estimate : {&load.frequency, &load.interruptedYear, &load.unavailability,
                                          &load.outageDuration, &load.energyNotSupplied, &sim.GetSAIFI(),
                                          &sim.GetSAIDI(), &sim.GetCAIDI(), &sim.GetENS()}) {
            EXPECT_EQ(estimate->GetMean(), 0.0);
            EXPECT_EQ(estimate->GetRelativeError(), 0.0);
        }
        EXPECT_EQ(sim.GetCAIDI().GetWeight(), 0.0) << "a year without interruptions gives CAIDI no sample";
    }
}

// One quantum a day, supply 2, demand 1 but for 3 on day 10 and on days 100 to 102: every year
// the same two interruptions, so every tested estimate has relative error 0 from the start,
// while the outage durations alternate between 24 and 72 hours (relative error 0.035 after 100
// years). The run stops at year 100 because the outage duration is not tested.
TEST(YearLoop, TheOutageDurationTakesNoPartInTheStoppingTest)
{
    std::vector<double> profile(365, 1.0);
    profile[10] = profile[100] = profile[101] = profile[102] = 3.0;
    CSimulation sim;
    sim.Init();
    sim.SetSystem(1, 100, 100000, 100, 0.01);
    AddSource(sim, 2, 2.0);
    ASSERT_EQ(sim.AddLoad("LP", 2, 1, 1, profile, -1.0, 3.0), CSimulation::LoadResult::Built);
    EXPECT_EQ(sim.Run(nullptr, "r.htm"), CSimulation::StopReason::Converged);
    EXPECT_EQ(sim.GetYearsSimulated(), 100u);
    const SimEdge& load = Load(sim, "LP");
    EXPECT_EQ(load.frequency.GetMean(), 2.0);
    EXPECT_EQ(load.energyNotSupplied.GetMean(), 3.0 * 4 * 24);
    EXPECT_EQ(load.outageDuration.GetMean(), 48.0);
    EXPECT_GT(load.outageDuration.GetRelativeError(), 0.03);
    for (const CEstimate* tested : {&load.frequency, &load.interruptedYear, &load.unavailability,
                                    &load.energyNotSupplied, &sim.GetSAIFI(), &sim.GetSAIDI(), &sim.GetCAIDI(),
                                    &sim.GetENS()})
        EXPECT_EQ(tested->GetRelativeError(), 0.0);
}

TEST(YearLoop, ASupplyTooSmallForTwoLoadsCutsExactlyOneInEveryQuantum)
{
    CSimulation sim;
    RunForYears(sim, 200, SupplyTooSmall);
    const SimEdge& a = Load(sim, "A");
    const SimEdge& b = Load(sim, "B");
    const SimEdge& cut = a.unavailability.GetMean() > 0 ? a : b;
    const SimEdge& fed = a.unavailability.GetMean() > 0 ? b : a;
    EXPECT_EQ(cut.unavailability.GetMean(), 8760.0);
    EXPECT_EQ(cut.energyNotSupplied.GetMean(), 5.0 * 8760.0);
    // One interruption that never ends: it counts once, in its first year.
    EXPECT_DOUBLE_EQ(cut.frequency.GetMean(), 1.0 / 200);
    EXPECT_EQ(cut.outageDuration.GetWeight(), 0.0);
    EXPECT_EQ(fed.unavailability.GetMean(), 0.0);
    EXPECT_EQ(fed.frequency.GetMean(), 0.0);
}

// Regression: a load was supplied only when the flow met its demand to within 1e-10 absolutely,
// below the rounding of a flow summed over two paths once demands reach about a million, so a
// fully supplied load counted as interrupted in every quantum. Two breakers in parallel, neither
// enough alone, carry the whole demand; a third case is a real shortfall.
TEST(YearLoop, ALoadFedThroughTwoPathsIsSuppliedAtEveryMagnitude)
{
    struct Case {
        double demand, first, second;
        bool supplied;
    };
    // With these pairs first + (demand - first) rounds away from the demand.
    const Case cases[] = {
        {3445178.93, 1067860.535, 3445178.93, true},
        {7680681.971, 1225869.196, 7680681.971, true},
        {2.5, 0.7, 2.0, true},
        {3445178.93, 1067860.535, 2000000.0, false},
        {2.5, 0.7, 1.7999999, false},
    };
    for (const Case& c : cases) {
        CSimulation sim;
        RunForYears(sim, 1, [&](CSimulation& s) {
            s.AddSupply(0, 10, -1.0);
            s.AddBreaker(10, 2, c.first);
            s.AddBreaker(10, 2, c.second);
            AddFlatLoad(s, "LP", 2, 1, c.demand);
        });
        const SimEdge& load = Load(sim, "LP");
        EXPECT_EQ(load.unavailability.GetMean(), c.supplied ? 0.0 : 8760.0) << c.demand << " " << c.second;
        EXPECT_EQ(load.frequency.GetMean(), c.supplied ? 0.0 : 1.0) << c.demand << " " << c.second;
    }
}

// A working time fixed at 8758 quanta and a repair of 10: the first outage runs from quantum
// 8758 of year 1 to quantum 7 of year 2.
TEST(YearLoop, AnOutageOverTheYearsEndCountsOnceWithItsQuantaInBothYears)
{
    CSimulation sim;
    RunForYears(sim, 2, OutageOverTheYearsEnd);
    const SimEdge& load = Load(sim, "LP");
    EXPECT_EQ(load.frequency.GetMean(), 0.5);        // 1 and 0
    EXPECT_EQ(load.interruptedYear.GetMean(), 0.5);
    EXPECT_EQ(load.unavailability.GetMean(), 5.0);   // 2 hours and 8
    EXPECT_EQ(load.energyNotSupplied.GetMean(), 5.0);
    EXPECT_EQ(load.outageDuration.GetMean(), 10.0);  // recorded once, when it ends
    EXPECT_EQ(load.outageDuration.GetWeight(), 1.0);
}

// Demand 1 in the first half of the year and 3 in the second, supply 2: the load is cut from
// quantum 183 to the year's end, every year.
TEST(YearLoop, AVaryingLoadIsCutWhileItsDemandExceedsTheSupply)
{
    CSimulation sim;
    RunForYears(sim, 10, HalfYearOverload, 1);
    ASSERT_TRUE(sim.HasVaryingLoads());
    const SimEdge& load = Load(sim, "LP");
    EXPECT_EQ(load.frequency.GetMean(), 1.0);
    EXPECT_EQ(load.unavailability.GetMean(), 182 * 24.0);
    EXPECT_EQ(load.energyNotSupplied.GetMean(), 3.0 * 182 * 24.0);
    EXPECT_EQ(load.outageDuration.GetMean(), 182 * 24.0);
    EXPECT_EQ(load.outageDuration.GetWeight(), 9.0) << "the last year's outage has not ended";
    EXPECT_EQ(sim.GetSAIFI().GetMean(), 1.0);
    EXPECT_EQ(sim.GetCAIDI().GetMean(), 182 * 24.0);
}

TEST(YearLoop, ARecloserClosesUnlessOtherClosedEdgesBypassIt)
{
    for (bool bypassed : {false, true}) {
        CSimulation sim;
        RunForYears(sim, 100, [&](CSimulation& s) { RecloserOnTheFeeder(s, bypassed); });
        const std::size_t recloser = 3;
        ASSERT_EQ(sim.GetEdge(recloser).type, kRecloserEdge);
        EXPECT_EQ(sim.GetCurrentCapacity(recloser) == 0.0, bypassed);
        EXPECT_EQ(Load(sim, "LP").unavailability.GetMean(), 0.0);
    }
}

// The watcher hears of every year; a paused run waits at the top of a year, before the first one
// here, until it is resumed or stopped.
TEST(YearLoop, ARunReportsEachYearAndAPausedRunWaitsAtTheTopOfAYear)
{
    for (const bool resume : {true, false}) {
        CRunControl control;
        ndltest::ProgressLog progress;
        CSimulation sim;
        sim.Init(nullptr, &progress);
        sim.SetSystem(24, 100, 250, 100, 0.0);
        SourceAndLoad(sim);
        control.Pause();
        CSimulation::StopReason reason{};
        std::thread worker([&] { reason = sim.Run(&control, "r.htm"); });
        EXPECT_TRUE(progress.snapshots.empty());
        if (resume)
            control.Resume();
        else
            control.RequestStop();
        worker.join();
        EXPECT_EQ(reason, resume ? CSimulation::StopReason::YearMax : CSimulation::StopReason::Stopped);
        ASSERT_EQ(progress.snapshots.size(), resume ? 250u : 0u);
        if (!resume)
            continue;
        const SimulationProgress& last = progress.snapshots.back();
        EXPECT_EQ(last.year, 250u);
        EXPECT_EQ(last.yearMax, 250u);
        EXPECT_EQ(last.percent, 100u);
        EXPECT_EQ(progress.snapshots[124].percent, 50u);
        EXPECT_GE(last.elapsedMs, 1u);
        EXPECT_GT(last.speed, 0.0);
        EXPECT_EQ(last.remainingSeconds, 0.0);
    }
}

// Regression: 32-bit countdowns clamped every "never failing" element to 2^32 - 1 quanta, so
// all of them failed together once that many quanta had passed.
TEST(YearLoop, ElementsThatNeverFailKeepCountdownsBeyondThirtyTwoBits)
{
    CSimulation sim;
    RunForYears(sim, 1, NeverFailing);
    EXPECT_GT(sim.GetEdge(2).failureCountdown, 4294967295ull);
    EXPECT_GT(sim.GetEdge(3).failureCountdown, 4294967295ull);
}

TEST(YearLoop, ProtectionThatReachesTheSupplyIsTraced)
{
    ndltest::TempFolder folder;
    ndltest::TracedOutput output(folder);
    CSimulation sim;
    sim.Init(output.Get());
    sim.SetSystem(24, 100, 1, 100, 0.0);
    UnprotectedLine(sim);
    sim.Run(nullptr, "r.htm");
    EXPECT_EQ(output.Trace().substr(0, 16), "_Isolate failed\n");
}

TEST(SimulationProgress, GivesTheProgressWindowsTexts)
{
    SimulationProgress progress{50, 100, 5000, 3, 7, 300.0, 3.0, 50};
    EXPECT_EQ(progress.YearText() + " " + progress.TimeText() + " " + progress.SpeedText() + " " + progress.RemainingText(),
              "50 3:07 300.00 3.0");
    progress.minutes = 125;
    progress.seconds = 0;
    EXPECT_EQ(progress.TimeText(), "125:00");
}
