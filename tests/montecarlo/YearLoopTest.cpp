#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iomanip>
#include <sstream>
#include <thread>

#include "montecarlo/Output.h"
#include "montecarlo/RunControl.h"
#include "montecarlo/Simulation.h"
#include "montecarlo/SimulationProgress.h"
#include "tests/montecarlo/NdlTestSupport.h"

using namespace ndltest;

namespace {

// The results of the load point of that name.
const SimLoadEstimates& Load(const CSimulation& sim, const std::string& name)
{
    for (std::size_t e = 0; e < sim.GetEdgeCount(); ++e) {
        if (sim.GetEdge(e).type == kLoadEdge && sim.GetEdge(e).name == name)
            return sim.GetLoadEstimates(e);
    }
    throw std::runtime_error("no load " + name);
}

// Runs the network `build` draws for exactly `years` years: accuracy 0 never stops it early.
CSimulation::StopReason RunForYears(CSimulation& sim, unsigned years, const std::function<void(CSimulation&)>& build,
                                    unsigned quantsPerDay = 24, COutput* output = nullptr)
{
    sim.Init(output);
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

// The yearly means of each load, "name: interruptions, interrupted-year share, hours, energy not
// supplied; outages of D hours (relative error) x the number ended", then SAIFI, SAIDI, CAIDI x
// its samples, and ENS.
std::string Means(const CSimulation& sim)
{
    std::ostringstream out;
    out.precision(15);
    for (std::size_t e = 0; e < sim.GetEdgeCount(); ++e) {
        if (sim.GetEdge(e).type != kLoadEdge)
            continue;
        const SimLoadEstimates& l = sim.GetLoadEstimates(e);
        out << sim.GetEdge(e).name << ": " << l.frequency.GetMean() << ' ' << l.interruptedYear.GetMean() << ' '
            << l.unavailability.GetMean() << ' ' << l.energyNotSupplied.GetMean() << "; " << l.outageDuration.GetMean()
            << " (" << std::setprecision(2) << l.outageDuration.GetRelativeError() << std::setprecision(15) << ") x "
            << l.outageDuration.GetWeight() << " | ";
    }
    out << sim.GetSAIFI().GetMean() << ' ' << sim.GetSAIDI().GetMean() << ' ' << sim.GetCAIDI().GetMean() << " x "
        << sim.GetCAIDI().GetWeight() << ' ' << sim.GetENS().GetMean();
    return out.str();
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
            const SimLoadEstimates& load = Load(sim, e.load);
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
        const SimLoadEstimates& load = Load(sim, "LP");
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

// Networks whose every year is known. A run stops at the first tested year (yearMin, then every
// yearStep) at which every tested estimate is within the accuracy, or after yearMax years.
TEST(YearLoop, KnownYearsGiveTheirExactMeans)
{
    // Two breakers in parallel from the source, neither enough alone for the load.
    auto twoPaths = [](double demand, double first, double second) {
        return [=](CSimulation& s) {
            s.AddSupply(0, 10, -1.0);
            s.AddBreaker(10, 2, first);
            s.AddBreaker(10, 2, second);
            AddFlatLoad(s, "LP", 2, 1, demand);
        };
    };
    // Supply 2, demand 1 but for 3 on day 10 and on days 100 to 102.
    auto twoOverloads = [](CSimulation& s) {
        std::vector<double> profile(365, 1.0);
        profile[10] = profile[100] = profile[101] = profile[102] = 3.0;
        AddSource(s, 2, 2.0);
        ASSERT_EQ(s.AddLoad("LP", 2, 1, 1, profile, -1.0, 3.0), CSimulation::LoadResult::Built);
    };
    struct Case {
        std::function<void(CSimulation&)> build;
        unsigned quantsPerDay, yearMin, yearStep, yearMax;
        double accuracy;
        unsigned years;
        std::string means;
    };
    const std::string nothing = "LP: 0 0 0 0; 0 (0) x 0 | 0 0 0 x 0 0";
    const Case cases[] = {
        // A network that never fails stops at the first tested year; its years give CAIDI no sample.
        {PerfectConductor, 24, 100, 100, 100000, 0.05, 100, nothing},
        {PerfectConductor, 24, 250, 100, 100000, 0.05, 300, nothing},
        {PerfectConductor, 24, 100, 7, 100000, 0.05, 105, nothing},
        // At one quantum a day every year has the same two interruptions, so every tested estimate
        // has relative error 0 from the start, while the outage durations alternate between 24 and
        // 72 hours: the outage duration takes no part in the stopping test.
        {twoOverloads, 1, 100, 100, 100000, 0.01, 100, "LP: 2 1 96 288; 48 (0.035) x 200 | 2 96 48 x 200 288"},
        // Supply 7 for two loads of 5: one of them is cut in every quantum, in one interruption that
        // never ends and counts once, in its first year.
        {SupplyTooSmall, 24, 100, 100, 200, 0.0, 200,
         "A: 0 0 0 0; 0 (0) x 0 | B: 0.005 0.005 8760 43800; 0 (0) x 0 | 0.0025 4380 8760 x 0.5 43800"},
        // Regression: a load was supplied only when the flow met its demand to within 1e-10
        // absolutely, below the rounding of a flow summed over two paths once demands reach about a
        // million, so a fully supplied load counted as interrupted in every quantum. With these
        // pairs first + (demand - first) rounds away from the demand; the last two fall short.
        {twoPaths(3445178.93, 1067860.535, 3445178.93), 24, 100, 100, 1, 0.0, 1, nothing},
        {twoPaths(7680681.971, 1225869.196, 7680681.971), 24, 100, 100, 1, 0.0, 1, nothing},
        {twoPaths(2.5, 0.7, 2.0), 24, 100, 100, 1, 0.0, 1, nothing},
        {twoPaths(3445178.93, 1067860.535, 2000000.0), 24, 100, 100, 1, 0.0, 1,
         "LP: 1 1 8760 30179767426.8022; 0 (0) x 0 | 1 8760 8760 x 1 30179767426.8022"},
        {twoPaths(2.5, 0.7, 1.7999999), 24, 100, 100, 1, 0.0, 1, "LP: 1 1 8760 21900; 0 (0) x 0 | 1 8760 8760 x 1 21900"},
        // A working time fixed at 8758 quanta and a repair of 10: the first outage runs from quantum
        // 8758 of year 1 to quantum 7 of year 2. It counts once, in year 1, with 2 hours there and 8
        // in year 2, and its duration once, when it ends; CAIDI takes the hours of year 1 only, the
        // year with the interruption.
        {OutageOverTheYearsEnd, 24, 100, 100, 2, 0.0, 2, "LP: 0.5 0.5 5 5; 10 (0) x 1 | 0.5 5 2 x 1 5"},
        // Demand 1 in the first half of the year and 3 in the second, supply 2: the load is cut from
        // quantum 183 to the year's end, every year; the last year's outage has not ended.
        {HalfYearOverload, 1, 100, 100, 10, 0.0, 10, "LP: 1 1 4368 13104; 4368 (0) x 9 | 1 4368 4368 x 10 13104"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        CSimulation sim;
        sim.Init();
        sim.SetSystem(c.quantsPerDay, c.yearMin, c.yearMax, c.yearStep, c.accuracy);
        c.build(sim);
        EXPECT_EQ(sim.Run(nullptr, "r.htm"),
                  c.years < c.yearMax ? CSimulation::StopReason::Converged : CSimulation::StopReason::YearMax);
        EXPECT_EQ(sim.GetYearsSimulated(), c.years);
        EXPECT_EQ(Means(sim), c.means);
    }
}

TEST(YearLoop, ARecloserClosesUnlessOtherClosedEdgesBypassIt)
{
    for (bool bypassed : {false, true}) {
        CSimulation sim;
        RunForYears(sim, 100, [&](CSimulation& s) { RecloserOnTheFeeder(s, bypassed); });
        ASSERT_EQ(sim.GetEdge(3).type, kRecloserEdge);
        EXPECT_EQ(sim.GetCurrentCapacity(3) == 0.0, bypassed);
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
    RunForYears(sim, 1, UnprotectedLine, 24, output.Get());
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

