// Fault simulations on small networks whose indices are worked out by hand in the comments.
#include <gtest/gtest.h>

#include "analytical/ADist_Graph.h"
#include "analytical/AnalyticalSimulator.h"
#include "tests/analytical/GmlText.h"

namespace {

constexpr double kBig = 10000000.0;
constexpr int kThesis = 1;
constexpr int kPractical = 0;

// The start most of the small networks share: load A (node 1) and load B (node 2), one customer
// and 10 kVA each, junctions J3 up to `lastJunction`, and the breaker section (main 1) from the
// supply to J3.
GmlText TwoLoadsBehindABreaker(int lastJunction, double breakerCapacity = kBig)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 10);
    for (int j = 3; j <= lastJunction; ++j)
        g.Junction(j);
    g.Feeder(0, 3, GmlText::kMain, 1, 0, 0, 0, breakerCapacity, GmlText::Breaker);
    return g;
}

// A second feeder that never fails, for ties to start from: its breaker section (main `id`) from the
// supply to `first`, then main `id + 1` of `capacity` kVA on to `first + 1`.
void AddNeighbourFeeder(GmlText& g, int first, int id, double capacity = kBig)
{
    g.Feeder(0, first, GmlText::kMain, id, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(first, first + 1, GmlText::kMain, id + 1, 0, 0, 0, capacity);
}

// Supply 0 - breaker 1 - J1 - M1 (0.1 a year, 4 h) - J2 - M2 (0.2, 5 h) - J3.
// Lateral L1 (0.05, 2 h) from J2 to load A (10 customers, 100 kVA); a fuse from J3 to J4, then
// lateral L2 (0.3, 3 h) to load B (20 customers, 50 kVA).
GmlText RadialWithFuse()
{
    GmlText g;
    g.Supply(0).Load(1, 0, 10, 100).Load(2, 1, 20, 50).Junction(10).Junction(11).Junction(12).Junction(13);
    g.Feeder(0, 10, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(10, 11, GmlText::kMain, 2, 0.1, 4, 1, kBig);
    g.Feeder(11, 12, GmlText::kMain, 3, 0.2, 5, 1, kBig);
    g.Feeder(11, 1, GmlText::kLateral, 4, 0.05, 2, 1, kBig);
    g.Feeder(12, 13, GmlText::kLateral, 5, 0, 0, 0, kBig, GmlText::Fuse);
    g.Feeder(13, 2, GmlText::kLateral, 6, 0.3, 3, 1, kBig);
    return g;
}

// As above with an isolator (0.5 h) between J2 and the second main section.
GmlText RadialWithIsolator()
{
    GmlText g;
    g.Supply(0).Load(1, 0, 10, 100).Load(2, 1, 20, 50).Junction(10).Junction(11).Junction(12).Junction(13);
    g.Junction(14);
    g.Feeder(0, 10, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(10, 11, GmlText::kMain, 2, 0.1, 4, 1, kBig);
    g.Feeder(11, 14, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
    g.Feeder(14, 12, GmlText::kMain, 4, 0.2, 5, 1, kBig);
    g.Feeder(11, 1, GmlText::kLateral, 5, 0.05, 2, 1, kBig);
    g.Feeder(12, 13, GmlText::kLateral, 6, 0, 0, 0, kBig, GmlText::Fuse);
    g.Feeder(13, 2, GmlText::kLateral, 7, 0.3, 3, 1, kBig);
    return g;
}

// Two feeders joined by a recloser tie.
// Feeder A: supply - breaker 1 - J1 - M1 (0.1, 4 h) - J2 - isolator I1 (0.5 h) - J3 - M2 (0.2, 5 h)
//   - J4 - isolator I2 (0.75 h) - J5 - M3 (0.15, 6 h) - J6; lateral L1 (0.05, 2 h) from J2 to load A
//   (10 customers, 100 kVA), lateral L2 (0.3, 3 h) from J6 to load B (20 customers, 50 kVA).
// Feeder B: supply - breaker 9 - K1 - N1 (never fails, `n1` kVA) - K2; lateral from K2 to load C
//   (30 customers, 40 kVA). The tie closes from K2 to J6 after `reclose` hours.
// With `turned`, the tie and M2 are drawn the other way round.
GmlText Tied(double n1, double reclose, bool turned = false)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 10, 100).Load(2, 1, 20, 50).Load(3, 2, 30, 40);
    for (int j = 4; j <= 11; ++j)
        g.Junction(j);  // J1..J6 are 4..9, K1 and K2 are 10 and 11
    g.Feeder(0, 4, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(4, 5, GmlText::kMain, 2, 0.1, 4, 1, kBig);
    g.Feeder(5, 6, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
    if (turned)
        g.Feeder(7, 6, GmlText::kMain, 4, 0.2, 5, 1, kBig);
    else
        g.Feeder(6, 7, GmlText::kMain, 4, 0.2, 5, 1, kBig);
    g.Feeder(7, 8, GmlText::kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, 0.75);
    g.Feeder(8, 9, GmlText::kMain, 6, 0.15, 6, 1, kBig);
    g.Feeder(5, 1, GmlText::kLateral, 7, 0.05, 2, 1, kBig);
    g.Feeder(9, 2, GmlText::kLateral, 8, 0.3, 3, 1, kBig);
    AddNeighbourFeeder(g, 10, 9, n1);
    g.Feeder(11, 3, GmlText::kLateral, 11, 0, 0, 0, kBig);
    if (turned)
        g.Tie(9, 11, 0, reclose);
    else
        g.Tie(11, 9, 0, reclose);
    return g;
}

struct Expected {
    double saifi;
    double saidi;
    double ens;
};

void ExpectIndices(const CAnalyticalResult& result, const Expected& e)
{
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_NEAR(result.metrics.SAIFI, e.saifi, 1e-12);
    EXPECT_NEAR(result.metrics.SAIDI, e.saidi, 1e-12);
    EXPECT_NEAR(result.metrics.CAIDI, e.saidi / e.saifi, 1e-12);
    EXPECT_NEAR(result.metrics.ASAI, 1.0 - e.saidi / 8760.0, 1e-12);
    EXPECT_NEAR(result.metrics.ENS, e.ens, 1e-9);
}

CAnalyticalResult RunAll(const GmlText& g, int method, int minimumCutSet = 0)
{
    return CAnalyticalSimulator().Run(g.Text(), minimumCutSet, method, 1000);
}

// Both methods agree wherever no load is shed, and most networks here shed none.
void ExpectIndicesByEitherMethod(const GmlText& g, const Expected& e)
{
    for (int method : {kThesis, kPractical}) {
        SCOPED_TRACE(method == kThesis ? "Thesis method" : "Practical Method");
        ExpectIndices(RunAll(g, method), e);
    }
}

}  // namespace

// Every fault trips the breaker and no isolator helps, so each load is out for the whole repair
// of each fault above it: A has 0.1 + 0.2 + 0.05 a year and 0.4 + 1.0 + 0.1 hours; B also the
// 0.3 of its fused lateral, 0.65 a year and 2.4 hours. SAIFI = (10 x 0.35 + 20 x 0.65) / 30 = 0.55,
// SAIDI = (10 x 1.5 + 20 x 2.4) / 30 = 2.1, ENS = 1.5 x 100 + 2.4 x 50 = 270.
TEST(FaultSimulation, RadialFeederWithBreakerAndFusedLateral)
{
    for (int method : {kThesis, kPractical}) {
        const CAnalyticalResult result = RunAll(RadialWithFuse(), method);
        ExpectIndices(result, {0.55, 2.1, 270.0});
        EXPECT_EQ(result.faultedFeeders, 6);
        EXPECT_EQ(result.message, "SAIFI = 0.5500\nSAIDI = 2.1000\nCAIDI = 3.8182\nASAI = 0.9998\nENS\t= 270.0000\n");
        EXPECT_TRUE(result.warnings.empty());
    }
}

// The isolator comes between A's tap and the second section: a fault on that section leaves A
// out for the switching time only (0.2 x 0.5 = 0.1 hours instead of 1.0). A: 0.35 a year, 0.6 h;
// B: 0.65 a year, 2.4 h. SAIDI = (6 + 48) / 30 = 1.8, ENS = 60 + 120 = 180.
TEST(FaultSimulation, IsolatorRestoresLoadsUpstreamAfterItsSwitchingTime)
{
    const CAnalyticalResult result = RunAll(RadialWithIsolator(), kThesis);
    ExpectIndices(result, {0.55, 1.8, 180.0});
}

// With the tie, faults on M1, M2 and L1 isolate B's part, which is fed again through the tie at
// the later of the downstream isolator's time and the reclose time (1 h): B is out 1 h for
// each, A for the whole repair of M1 and L1 and 0.5 h for M2. Faults on M3 and L2 leave B out for
// their repair and A for I2's 0.75 h.
// A: 0.8 a year, 0.4 + 0.1 + 0.1125 + 0.1 + 0.225 = 0.9375 h; B: 0.8 a year,
// 0.1 + 0.2 + 0.9 + 0.05 + 0.9 = 2.15 h; C never out. SAIFI = 24 / 60 = 0.4,
// SAIDI = (9.375 + 43) / 60, ENS = 93.75 + 107.5 = 201.25.
TEST(FaultSimulation, RecloserTieBackFeedsTheIsolatedPart)
{
    for (bool turned : {false, true}) {
        SCOPED_TRACE(turned ? "tie and M2 drawn the other way" : "as drawn");
        ExpectIndicesByEitherMethod(Tied(kBig, 1.0, turned), {0.4, 52.375 / 60, 201.25});
    }
}

// The tie's side carries only 70 kVA for C (40) and B (50). After each of the three back-feeds
// (M1, M2, L1 at 0.1, 0.2, 0.05 a year, until their repairs at 4, 5 and 2 h) one load is shed from
// 1 h for 3, 4 and 1 h:
// - "Practical Method": the flow serves C's lateral first and leaves B 30 kVA; B's shed records add
//   0.35 a year, 1.15 h and 20 x 1.15 = 23 kVAh.
// - "Thesis method": the 70 kVA go to the transferred B first and C, at the tie's live end, keeps
//   20; C's records add the same 0.35, 1.15 h and 23 kVAh.
TEST(FaultSimulation, TieCapacityForcesLoadSheddingByEitherMethod)
{
    ExpectIndices(RunAll(Tied(70, 1.0), kPractical), {(8 + 20 * 1.15) / 60, (9.375 + 20 * 3.3) / 60, 224.25});
    ExpectIndices(RunAll(Tied(70, 1.0), kThesis), {(24 + 30 * 0.35) / 60, (52.375 + 30 * 1.15) / 60, 224.25});
    // The "Minimum Cut Set" setting takes the main feeders as unlimited: nothing is shed.
    ExpectIndices(RunAll(Tied(70, 1.0), kPractical, 1), {0.4, 52.375 / 60, 201.25});
}

// A lateral with a fuse of its own takes everything below it out, not only its end node: the
// two loads below the fused lateral are both out for its repair.
TEST(FaultSimulation, FusedLateralDisconnectsEverythingBelowIt)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 10).Load(3, 2, 1, 10).Junction(4).Junction(5);
    g.Feeder(0, 4, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(4, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(4, 5, GmlText::kLateral, 3, 0.5, 2, 1, kBig, GmlText::Fuse);
    g.Feeder(5, 2, GmlText::kLateral, 4, 0, 0, 0, kBig);
    g.Feeder(2, 3, GmlText::kLateral, 5, 0, 0, 0, kBig);
    // Loads 2 and 3 out 2 h at 0.5 a year each; load 1 untouched.
    ExpectIndices(RunAll(g, kThesis), {1.0 / 3, 2.0 / 3, 20.0});
}

// Without any breaker the supply's own section clears the fault; the run says so. A fuse drawn
// between two gen sources runs from the supply to itself: regression, a fault on the unprotected
// section climbed into it, blew it and took every feeder out, and its own fault did the same. It
// feeds nobody: the load behind a breaker on a second feeder is never out.
TEST(FaultSimulation, SupplyClearsFaultsThatNoBreakerProtects)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 10, 10).Load(3, 1, 10, 10).Junction(2).Junction(4);
    g.Feeder(0, 2, GmlText::kMain, 1, 0.5, 4, 1, kBig);
    g.Feeder(2, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(0, 0, GmlText::kMain, 3, 1, 5, 1, kBig, GmlText::Fuse);
    g.Feeder(0, 4, GmlText::kMain, 4, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(4, 3, GmlText::kLateral, 5, 0, 0, 0, kBig);
    const CAnalyticalResult result = RunAll(g, kThesis);
    ExpectIndices(result, {0.25, 1.0, 20.0});
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find(": 1, 2."), std::string::npos) << result.warnings[0];
}

// A transformer section fails like a feeder section.
TEST(FaultSimulation, TransformerSectionFailsLikeAFeeder)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 4, 25).Junction(2).Junction(3);
    g.Feeder(0, 2, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(2, 3, GmlText::kMain, 2, 0.25, 8, 2, kBig, GmlText::None, 0, true);
    g.Feeder(3, 1, GmlText::kLateral, 3, 0, 0, 0, kBig);
    ExpectIndices(RunAll(g, kPractical), {0.5, 4.0, 100.0});
}

// A ring fed from J1 (J1 - J2 - Ia - Ja - M - Jb - Ib - J3 - J1) with loads at J2 and J3: a fault
// on M opens the isolators on both sides (0.5 h and 2 h), and the breaker closes again once both
// are open, feeding both loads round either side of the ring.
TEST(FaultSimulation, RingIsIsolatedOnBothSidesOfTheFault)
{
    GmlText g = TwoLoadsBehindABreaker(7);  // J1 3, J2 4, J3 5, Ja 6, Jb 7
    g.Feeder(3, 4, GmlText::kMain, 2, 0, 0, 0, kBig);
    g.Feeder(4, 6, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
    g.Feeder(6, 7, GmlText::kMain, 4, 1, 10, 1, kBig);
    g.Feeder(5, 7, GmlText::kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, 2);
    g.Feeder(5, 3, GmlText::kMain, 6, 0, 0, 0, kBig);
    g.Feeder(4, 1, GmlText::kLateral, 7, 0, 0, 0, kBig);
    g.Feeder(5, 2, GmlText::kLateral, 8, 0, 0, 0, kBig);
    ExpectIndicesByEitherMethod(g, {1.0, 2.0, 40.0});
}

// A lateral drawn in two sections without a fuse: a fault on its far section is isolated at the
// lateral's tap on the main, as it would be were the lateral one section. The load upstream of
// the tap's isolator is back after 0.5 h, the lateral's own load after the 2 h repair.
TEST(FaultSimulation, LateralInSeveralSectionsIsIsolatedAtItsTap)
{
    GmlText g = TwoLoadsBehindABreaker(6);
    g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(3, 4, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
    g.Feeder(4, 5, GmlText::kLateral, 4, 0, 0, 0, kBig);
    g.Feeder(5, 6, GmlText::kLateral, 5, 1, 2, 1, kBig);
    g.Feeder(6, 2, GmlText::kLateral, 6, 0, 0, 0, kBig);
    ExpectIndices(RunAll(g, kThesis), {1.0, 1.25, 25.0});
}

namespace {

// Supply - breaker (capacity `breakerCap`) - J3; lateral to A (1 customer, 10 kVA) at J3; isolator
// Iu (`up` h) - J4 - M (1 a year, `repair` h) - J5 - isolator Id (`down` h) - J6; lateral to B (1,
// 10 kVA) at J6. A second feeder ends at J8, tied to J6 with a reclose time of `reclose` h; J9 and
// J10 are free for a third.
GmlText IsolatorsEitherSide(double up, double down, double breakerCap, double repair = 10, double reclose = 0.25)
{
    GmlText g = TwoLoadsBehindABreaker(10, breakerCap);
    g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(3, 4, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, up);
    g.Feeder(4, 5, GmlText::kMain, 4, 1, repair, 1, kBig);
    g.Feeder(5, 6, GmlText::kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, down);
    g.Feeder(6, 2, GmlText::kLateral, 6, 0, 0, 0, kBig);
    AddNeighbourFeeder(g, 7, 7);
    g.Tie(8, 6, 0, reclose);
    return g;
}

// Supply - breaker - J3 - M (1 a year, 10 h) - J4, which splits into isolator Ia (`ia` h) to J5
// with load A and isolator Ib (`ib` h) to J6 with load B. B is tied from a feeder ending at J8
// (0 h), and unless `aTied` is false A from one ending at J10 (0.5 h); `aCap` and `bCap` are what
// those feeders carry.
GmlText TwoBranchesTied(double aCap, double bCap, double ia = 1, double ib = 3, bool aTied = true)
{
    GmlText g = TwoLoadsBehindABreaker(10);
    g.Feeder(3, 4, GmlText::kMain, 2, 1, 10, 1, kBig);
    g.Feeder(4, 5, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, ia);
    g.Feeder(4, 6, GmlText::kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, ib);
    g.Feeder(5, 1, GmlText::kLateral, 5, 0, 0, 0, kBig);
    g.Feeder(6, 2, GmlText::kLateral, 6, 0, 0, 0, kBig);
    AddNeighbourFeeder(g, 7, 7, bCap);
    AddNeighbourFeeder(g, 9, 9, aCap);
    g.Tie(8, 6, 0, 0);
    return aTied ? g.Tie(10, 5, 1, 0.5) : g;
}

}  // namespace

// When ties bring the loads cut off below a fault back, each load is out until the tie feeding it
// has closed, the isolator that cuts its part off from the fault has opened and the tie's live end
// has supply again, and no longer than the repair; a load a tie leaves short is shed from then on.
// A is the load above the fault, B the one below; one customer and 10 kVA each unless stated.
TEST(FaultSimulation, TiesBringEachDarkPartBackAsSoonAsTheyCan)
{
    struct Case {
        const char* name;
        GmlText network;
        Expected expected;
    };
    const Case cases[] = {
        // Regression: B waited for the isolator above the fault as well. A back at Iu, B at the
        // later of Id and the tie: A 2 h, B 0.5 h: SAIDI 1.25, ENS 25.
        {"Iu 2 h, Id 0.5 h", IsolatorsEitherSide(2, 0.5, kBig), {1.0, 1.25, 25.0}},
        {"Iu 0.1 h, Id 0.5 h", IsolatorsEitherSide(0.1, 0.5, kBig), {1.0, 0.3, 6.0}},
        {"Iu 2 h, Id 0.1 h: B waits for the tie", IsolatorsEitherSide(2, 0.1, kBig), {1.0, 1.125, 22.5}},
        // The breaker carries 5 kVA of A's 10: A is short only from its return at 2 h to the
        // repair, a shed record {8 h, 5 kVA, 1} adding 1 interruption, 8 h and (10 - 5) x 8 kVAh.
        {"breaker short", IsolatorsEitherSide(2, 0.5, 5), {1.5, 5.25, 65.0}},
        // Regression: the fault lasted until the slowest switch or tie had acted. A out 2 h (the
        // repair, not Iu's 3), B 0.5 h; then A 0.25 h and B 1 h (the repair, not the tie's 1.5).
        {"Iu slower than the repair", IsolatorsEitherSide(3, 0.5, kBig, 2, 0.25), {1.0, 1.25, 25.0}},
        {"tie slower than the repair", IsolatorsEitherSide(0.25, 0.5, kBig, 1, 1.5), {1.0, 0.625, 12.5}},
        // The tie's side of Tied() closes after 0.25 h, before the isolators: B is back at 0.5 h
        // (M1 and L1, the first isolator's time) and 0.75 h (M2, after both).
        {"tie before the isolators", Tied(kBig, 0.25), {0.4, (9.375 + 20 * 2.025) / 60, 93.75 + 2.025 * 50}},
        // Regression: B's back-feed waited for the first isolator found, A's. With A untied, A is
        // out the 10 h repair and B for its own isolator's time: SAIDI (10 + Ib) / 2.
        {"Ia 1 h, Ib 3 h, A untied", TwoBranchesTied(kBig, kBig, 1, 3, false), {1.0, 6.5, 130.0}},
        {"Ia 3 h, Ib 1 h, A untied", TwoBranchesTied(kBig, kBig, 3, 1, false), {1.0, 5.5, 110.0}},
        // Regression: only the first tie found closed. A back at 1 h, B at 3 h: SAIDI 2, ENS 40.
        {"two branches, two ties", TwoBranchesTied(kBig, kBig), {1.0, 2.0, 40.0}},
        // B's tie carries 5 kVA: B is short from 3 h, {7 h, 5 kVA, 1}.
        {"B's tie short", TwoBranchesTied(kBig, 5), {1.5, 5.5, 75.0}},
        // Regression: shedding started at the clock of the last tie closed (B's, 3 h). A's tie
        // closes at 1 h and leaves A short from then: {9 h, 5 kVA, 1}: SAIDI 2 + 4.5, ENS 40 + 45.
        {"A's tie short", TwoBranchesTied(5, kBig), {1.5, 6.5, 85.0}},
        // Regression: the back-feed at 0.5 h shed every load short of capacity anywhere, here C
        // (one customer) on a feeder of its own whose breaker carries 5 of its 10 kVA, though the
        // fault never reached it: C is never out.
        {"a feeder the fault never reaches",
         [] {
             GmlText g = IsolatorsEitherSide(2, 0.5, kBig);
             g.Load(11, 2, 1, 10).Junction(12);
             g.Feeder(0, 12, GmlText::kMain, 9, 0, 0, 0, 5, GmlText::Breaker);
             return g.Feeder(12, 11, GmlText::kLateral, 10, 0, 0, 0, kBig);
         }(),
         {2.0 / 3, 2.5 / 3, 25.0}},
        // Regression: the first tie found fed B, at 2 h; the one found second does at 0.5 h.
        {"slower tie found first",
         [] {
             GmlText g = IsolatorsEitherSide(0.5, 0.25, kBig, 10, 2);
             AddNeighbourFeeder(g, 9, 9);
             return g.Tie(10, 6, 1, 0.5);
         }(),
         {1.0, 0.5, 10.0}},
        // Regression: a tie within the feeder, from A's node J3, counted B back at the later of Id
        // (1 h) and the tie (0.5 h), though J3 itself is dark until Iu opens at 3 h: both out 3 h.
        {"tie from above the fault",
         [] {
             GmlText g = TwoLoadsBehindABreaker(6);
             g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
             g.Feeder(3, 4, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 3);
             g.Feeder(4, 5, GmlText::kMain, 4, 1, 10, 1, kBig);
             g.Feeder(5, 6, GmlText::kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, 1);
             g.Feeder(6, 2, GmlText::kLateral, 6, 0, 0, 0, kBig);
             return g.Tie(3, 6, 0, 0.5);
         }(),
         {1.0, 3.0, 60.0}},
        // A tie into the faulted section is passed over for the next one: A, between the fault and
        // the isolator (1 h), stays out for the repair, B below it comes back at 1 h.
        {"tie into the faulted section",
         [] {
             GmlText g = TwoLoadsBehindABreaker(7);
             g.Feeder(3, 4, GmlText::kMain, 2, 1, 10, 1, kBig);
             g.Feeder(4, 1, GmlText::kLateral, 3, 0, 0, 0, kBig);
             g.Feeder(4, 5, GmlText::kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 1);
             g.Feeder(5, 2, GmlText::kLateral, 5, 0, 0, 0, kBig);
             AddNeighbourFeeder(g, 6, 6);
             g.Tie(7, 4, 0, 0.5);
             return g.Tie(7, 5, 1, 0.5);
         }(),
         {1.0, 5.5, 110.0}},
        // Regression: with the "Thesis method" a tie drawn from the supply itself handed B nothing
        // (nothing flows into the supply). B is back at the 1 h reclose.
        {"tie from the supply",
         [] {
             GmlText g = TwoLoadsBehindABreaker(5);
             g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
             g.Feeder(3, 4, GmlText::kMain, 3, 1, 10, 1, kBig);
             g.Feeder(4, 5, GmlText::kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
             g.Feeder(5, 2, GmlText::kLateral, 5, 0, 0, 0, kBig);
             return g.Tie(0, 5, 0, 1);
         }(),
         {1.0, 5.5, 110.0}},
        // A load of 30.5 kVA (5 customers) that its tie can carry is not shed: the demand keeps its
        // fraction. Out 2 h (the reclose) of the 10 h repair, once a year.
        {"fractional demand",
         [] {
             GmlText g;
             g.Supply(0).Load(1, 0, 5, 30.5).Junction(2).Junction(3).Junction(4).Junction(5);
             g.Feeder(0, 2, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
             g.Feeder(2, 3, GmlText::kMain, 2, 1, 10, 1, kBig);
             g.Feeder(3, 4, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 1);
             g.Feeder(4, 1, GmlText::kLateral, 4, 0, 0, 0, kBig);
             g.Feeder(0, 5, GmlText::kMain, 5, 0, 0, 0, kBig, GmlText::Breaker);
             return g.Tie(5, 4, 0, 2);
         }(),
         {1.0, 2.0, 61.0}},
        // A lateral carries what the loads at and below its end demand, whatever its datasheet
        // says: B (200 kVA) behind a lateral in two sections rated 50 kVA each is back whole at
        // 0.25 h (its end's demand alone would give the first section 0 kVA and shed B).
        {"lateral in two sections",
         [] {
             GmlText g;
             g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 200);
             for (int j = 3; j <= 9; ++j)
                 g.Junction(j);
             g.Feeder(0, 3, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
             g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
             g.Feeder(3, 4, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
             g.Feeder(4, 5, GmlText::kMain, 4, 1, 10, 1, kBig);
             g.Feeder(5, 6, GmlText::kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, 0.25);
             g.Feeder(6, 9, GmlText::kLateral, 6, 0, 0, 0, 50);
             g.Feeder(9, 2, GmlText::kLateral, 7, 0, 0, 0, 50);
             AddNeighbourFeeder(g, 7, 8);
             return g.Tie(8, 6, 0, 0.25);
         }(),
         {1.0, 0.375, 55.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectIndicesByEitherMethod(c.network, c.expected);
    }
}

// One feeder, supply - breaker - J3, load A (1 customer, 10 kVA) tapped at J3, then `middle` from
// J3 to J4, the section M (1 a year, 10 h) from J4 to J5 and load B (1, 10 kVA) tapped at J5.
// What `middle` is decides who a fault on M reaches; `middleFails` gives it 0.5 a year and 4 h.
GmlText WithMiddle(GmlText::Switch middle, bool middleFails = false)
{
    GmlText g = TwoLoadsBehindABreaker(5);
    g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(3, 4, GmlText::kMain, 3, middleFails ? 0.5 : 0, middleFails ? 4 : 0, 1, kBig, middle, 0.5);
    g.Feeder(4, 5, GmlText::kMain, 4, 1, 10, 1, kBig);
    g.Feeder(5, 2, GmlText::kLateral, 5, 0, 0, 0, kBig);
    return g;
}

// Each kind of device between the two loads, with faults on M (and on the device's own section):
// - no device: the breaker clears M, both out 10 h: SAIFI 1, SAIDI 10, ENS 200.
// - a fuse blows and A never notices; a fuse cannot be closed again by hand, but nothing above it
//   went dark: B out 10 h: SAIFI 0.5, SAIDI 5, ENS 100.
// - a second breaker likewise clears M alone: the same.
// - an isolator: the breaker trips, the isolator opens at 0.5 h and the breaker closes again: A out
//   0.5 h, B 10 h: SAIFI 1, SAIDI 5.25, ENS 105.
// - the device's section failing too (0.5 a year, 4 h): no device and the isolator (whose own
//   section isolates itself from above, so A is back after 0.5 h) add both loads' outage; the
//   fuse and the breaker clear their own section, so only B is out for it:
//   none: A 0.5 x 4 + 10, B the same: SAIFI (1.5 + 1.5) / 2, SAIDI 12, ENS 240.
//   isolator: A 0.5 x 0.5 + 0.5, B 0.5 x 4 + 10: SAIFI 1.5, SAIDI (0.75 + 12) / 2, ENS 127.5.
//   fuse, breaker: A 0, B 0.5 x 4 + 10: SAIFI 1.5 / 2, SAIDI 6, ENS 120.
TEST(FaultSimulation, EachKindOfDeviceClearsOrIsolatesItsPart)
{
    struct Case {
        const char* name;
        GmlText::Switch middle;
        bool middleFails;
        Expected expected;
    };
    const Case cases[] = {
        {"no device", GmlText::None, false, {1.0, 10.0, 200.0}},
        {"fuse", GmlText::Fuse, false, {0.5, 5.0, 100.0}},
        {"breaker", GmlText::Breaker, false, {0.5, 5.0, 100.0}},
        {"isolator", GmlText::Isolator, false, {1.0, 5.25, 105.0}},
        {"no device failing", GmlText::None, true, {1.5, 12.0, 240.0}},
        {"isolator failing", GmlText::Isolator, true, {1.5, 12.75 / 2, 127.5}},
        {"fuse failing", GmlText::Fuse, true, {0.75, 6.0, 120.0}},
        {"breaker failing", GmlText::Breaker, true, {0.75, 6.0, 120.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectIndicesByEitherMethod(WithMiddle(c.middle, c.middleFails), c.expected);
    }
}

// A lateral drawn from load to load, without fuses: a fault on either section trips the breaker
// and nothing isolates it, so both loads are out for each repair (2 h and 3 h, 1 a year each):
// SAIFI 2, SAIDI 5, ENS 100. Faulting only the breaker's section, which never fails, interrupts
// nobody: CAIDI then has no value.
TEST(FaultSimulation, LateralChainWithoutFusesTakesTheFeederOut)
{
    GmlText g = TwoLoadsBehindABreaker(3);
    g.Feeder(3, 1, GmlText::kLateral, 2, 1, 2, 1, kBig);
    g.Feeder(1, 2, GmlText::kLateral, 3, 1, 3, 1, kBig);
    ExpectIndices(RunAll(g, kPractical), {2.0, 5.0, 100.0});
    EXPECT_EQ(CAnalyticalSimulator().Run(g.Text(), 0, kPractical, 1).message,
              "SAIFI = 0.0000\nSAIDI = 0.0000\nCAIDI = n/a\nASAI = 1.0000\nENS\t= 0.0000\n");
}

// A ring closed between two feeders, each with its breaker at the supply. Regression: only the
// breaker above the fault tripped, so the loads round the far side never noticed a fault that
// their own breaker feeds, and the near side waited for the far side's isolator as well.
// Both breakers trip; each closes again once the isolators on its own side cut it off from the
// fault. Ring: B1 - J3 (load A) - Ia (0.5 h) - J4 - M (1 a year, 10 h) - J5 - Ib (2 h) - J6 - J7
// (load B) - B2. A out 0.5 h, B 2 h: SAIFI 1, SAIDI 1.25, ENS 25.
TEST(FaultSimulation, RingBetweenTwoBreakersTripsBothAndRestoresEachSide)
{
    GmlText g = TwoLoadsBehindABreaker(7);
    g.Feeder(3, 4, GmlText::kMain, 2, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
    g.Feeder(4, 5, GmlText::kMain, 3, 1, 10, 1, kBig);
    g.Feeder(6, 5, GmlText::kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 2);
    g.Feeder(0, 7, GmlText::kMain, 5, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(7, 6, GmlText::kMain, 6, 0, 0, 0, kBig);
    g.Feeder(3, 1, GmlText::kLateral, 7, 0, 0, 0, kBig);
    g.Feeder(7, 2, GmlText::kLateral, 8, 0, 0, 0, kBig);
    ExpectIndicesByEitherMethod(g, {1.0, 1.25, 25.0});
}

// The same kind of ring, with the far side meeting the near one below an isolator Id (1 h) under
// the fault: B1 - J3 (load A) - Ia (0.5 h) - J4 - M (1 a year, 10 h) - J5 (load C) - Id - J6 - J8
// - J7 (load B) - B2. The far breaker feeds the fault through Id until Id opens: A out 0.5 h,
// B 1 h, and C, shut in between Ia and Id, for the 10 h repair: SAIFI 1, SAIDI 11.5 / 3, ENS 115.
// J5 and J6 are as far from the supply, so the order of their records decides which way Id
// points; the figures do not depend on it.
TEST(FaultSimulation, RingMeetingBelowAnIsolatorRestoresTheFarSideWhenItOpens)
{
    for (bool swapped : {false, true}) {
        SCOPED_TRACE(swapped ? "J6 before J5" : "J5 before J6");
        GmlText g;
        g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 10).Load(9, 2, 1, 10);
        for (int j : {3, 4, swapped ? 6 : 5, swapped ? 5 : 6, 7, 8})
            g.Junction(j);
        g.Feeder(0, 3, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
        g.Feeder(3, 4, GmlText::kMain, 2, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
        g.Feeder(4, 5, GmlText::kMain, 3, 1, 10, 1, kBig);
        g.Feeder(5, 6, GmlText::kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 1);
        AddNeighbourFeeder(g, 7, 5);
        g.Feeder(8, 6, GmlText::kMain, 7, 0, 0, 0, kBig);
        g.Feeder(3, 1, GmlText::kLateral, 8, 0, 0, 0, kBig);
        g.Feeder(7, 2, GmlText::kLateral, 9, 0, 0, 0, kBig);
        g.Feeder(5, 9, GmlText::kLateral, 10, 0, 0, 0, kBig);
        ExpectIndicesByEitherMethod(g, {1.0, 11.5 / 3, 115.0});
    }
}

// An isolator drawn on a lateral. Regression: only isolators on the main were looked for, so a
// fault below the lateral's isolator kept the whole feeder out for the repair. Now the breaker
// trips, the lateral's isolator opens at 0.5 h and the breaker closes again.
// Supply - breaker - J3; lateral to load A (1 customer, 10 kVA); from J3 the lateral isolator
// (0.5 h) to J4 and a lateral section L (1 a year, 10 h) to load B (1, 10 kVA). A fault on L
// leaves A out 0.5 h and B 10 h: SAIFI 1, SAIDI 5.25, ENS 105. The same when the isolator's own
// section is the one that fails, and with a second plain section between isolator and fault.
TEST(FaultSimulation, IsolatorOnALateralCutsItsFaultOffFromTheMain)
{
    enum Shape { Below, Own, FurtherDown };
    for (Shape shape : {Below, Own, FurtherDown}) {
        SCOPED_TRACE(shape);
        GmlText g = TwoLoadsBehindABreaker(5);
        g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
        if (shape == Own) {
            g.Feeder(3, 2, GmlText::kLateral, 3, 1, 10, 1, kBig, GmlText::Isolator, 0.5);
        } else {
            g.Feeder(3, 4, GmlText::kLateral, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
            if (shape == FurtherDown) {
                g.Feeder(4, 5, GmlText::kLateral, 4, 0, 0, 0, kBig);
                g.Feeder(5, 2, GmlText::kLateral, 5, 1, 10, 1, kBig);
            } else {
                g.Feeder(4, 2, GmlText::kLateral, 4, 1, 10, 1, kBig);
            }
        }
        ExpectIndicesByEitherMethod(g, {1.0, 5.25, 105.0});
    }
}

// A repair time that the clock, moved on from the isolator's switching time, reaches a rounding
// step short: 1.6998 + (3.8207 - 1.6998) is 4e-16 below 3.8207. Regression: every load got a
// shed record of that length, and each shed record adds the fault's rate to SAIFI, so SAIFI
// doubled. Supply - breaker - J3 (lateral to A) - isolator (1.6998 h) - J4 - M (1 a year, 3.8207 h)
// - J5 (lateral to B); one customer and 10 kVA each: A out 1.6998 h, B 3.8207 h, no shortage.
TEST(FaultSimulation, RoundingAtTheRepairGivesNoShortage)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 10).Junction(3).Junction(4).Junction(5);
    g.Feeder(0, 3, GmlText::kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(3, 1, GmlText::kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(3, 4, GmlText::kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 1.6998);
    g.Feeder(4, 5, GmlText::kMain, 4, 1, 3.8207, 1, kBig);
    g.Feeder(5, 2, GmlText::kLateral, 5, 0, 0, 0, kBig);
    ExpectIndicesByEitherMethod(g, {1.0, (1.6998 + 3.8207) / 2, 10 * (1.6998 + 3.8207)});
}
