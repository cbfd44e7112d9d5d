// Fault simulations on small networks whose indices are worked out by hand in the comments.
#include <gtest/gtest.h>

#include "analytical/AnalyticalSimulator.h"
#include "tests/analytical/GmlText.h"

namespace {

constexpr double kBig = 10000000.0;
constexpr int kThesis = 1;
constexpr int kPractical = 0;
constexpr int kMain = GmlText::kMain;
constexpr int kLateral = GmlText::kLateral;

// The start most of the small networks share: load A (node 1) and load B (node 2), one customer
// and 10 kVA each, junctions J3 up to `lastJunction`, and the breaker section (main 1) from the
// supply to J3.
GmlText TwoLoadsBehindABreaker(int lastJunction, double breakerCapacity = kBig)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 10);
    for (int j = 3; j <= lastJunction; ++j)
        g.Junction(j);
    g.Feeder(0, 3, kMain, 1, 0, 0, 0, breakerCapacity, GmlText::Breaker);
    return g;
}

// A second feeder that never fails, for ties to start from: its breaker section (main `id`) from the
// supply to `first`, then main `id + 1` of `capacity` kVA on to `first + 1`.
void AddNeighbourFeeder(GmlText& g, int first, int id, double capacity = kBig)
{
    g.Feeder(0, first, kMain, id, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(first, first + 1, kMain, id + 1, 0, 0, 0, capacity);
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
    g.Feeder(0, 4, kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(4, 5, kMain, 2, 0.1, 4, 1, kBig);
    g.Feeder(5, 6, kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
    g.Feeder(turned ? 7 : 6, turned ? 6 : 7, kMain, 4, 0.2, 5, 1, kBig);
    g.Feeder(7, 8, kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, 0.75);
    g.Feeder(8, 9, kMain, 6, 0.15, 6, 1, kBig);
    g.Feeder(5, 1, kLateral, 7, 0.05, 2, 1, kBig);
    g.Feeder(9, 2, kLateral, 8, 0.3, 3, 1, kBig);
    AddNeighbourFeeder(g, 10, 9, n1);
    g.Feeder(11, 3, kLateral, 11, 0, 0, 0, kBig);
    return g.Tie(turned ? 9 : 11, turned ? 11 : 9, 0, reclose);
}

// Supply - breaker (capacity `breakerCap`) - J3; lateral to A (1 customer, 10 kVA) at J3; isolator
// Iu (`up` h) - J4 - M (1 a year, `repair` h) - J5 - isolator Id (`down` h) - J6; lateral to B (1,
// 10 kVA) at J6. Junctions up to `lastJunction`.
GmlText FaultBetweenIsolators(int lastJunction, double up, double down, double breakerCap = kBig, double repair = 10)
{
    GmlText g = TwoLoadsBehindABreaker(lastJunction, breakerCap);
    g.Feeder(3, 1, kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(3, 4, kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, up);
    g.Feeder(4, 5, kMain, 4, 1, repair, 1, kBig);
    g.Feeder(5, 6, kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, down);
    g.Feeder(6, 2, kLateral, 6, 0, 0, 0, kBig);
    return g;
}

// FaultBetweenIsolators with a second feeder that ends at J8, tied to J6 with a reclose time of
// `reclose` h; J9 and J10 are free for a third.
GmlText IsolatorsEitherSide(double up, double down, double breakerCap, double repair = 10, double reclose = 0.25)
{
    GmlText g = FaultBetweenIsolators(10, up, down, breakerCap, repair);
    AddNeighbourFeeder(g, 7, 7);
    return g.Tie(8, 6, 0, reclose);
}

// Supply - breaker - J3 - M (1 a year, 10 h) - J4, which splits into isolator Ia (`ia` h) to J5
// with load A and isolator Ib (`ib` h) to J6 with load B. B is tied from a feeder ending at J8
// (0 h), and unless `aTied` is false A from one ending at J10 (0.5 h); `aCap` and `bCap` are what
// those feeders carry.
GmlText TwoBranchesTied(double aCap, double bCap, double ia = 1, double ib = 3, bool aTied = true)
{
    GmlText g = TwoLoadsBehindABreaker(10);
    g.Feeder(3, 4, kMain, 2, 1, 10, 1, kBig);
    g.Feeder(4, 5, kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, ia);
    g.Feeder(4, 6, kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, ib);
    g.Feeder(5, 1, kLateral, 5, 0, 0, 0, kBig);
    g.Feeder(6, 2, kLateral, 6, 0, 0, 0, kBig);
    AddNeighbourFeeder(g, 7, 7, bCap);
    AddNeighbourFeeder(g, 9, 9, aCap);
    g.Tie(8, 6, 0, 0);
    return aTied ? g.Tie(10, 5, 1, 0.5) : g;
}

// One feeder, supply - breaker - J3, load A tapped at J3, then `middle` from J3 to J4 (an
// isolator's switching time `time` h), the section M (1 a year, `repair` h) from J4 to J5 and load
// B tapped at J5. What `middle` is decides who a fault on M reaches; `middleFails` gives it 0.5 a
// year and 4 h.
GmlText WithMiddle(GmlText::Switch middle, bool middleFails = false, double time = 0.5, double repair = 10)
{
    GmlText g = TwoLoadsBehindABreaker(5);
    g.Feeder(3, 1, kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(3, 4, kMain, 3, middleFails ? 0.5 : 0, middleFails ? 4 : 0, 1, kBig, middle, time);
    g.Feeder(4, 5, kMain, 4, 1, repair, 1, kBig);
    return g.Feeder(5, 2, kLateral, 5, 0, 0, 0, kBig);
}

struct Expected {
    double saifi, saidi, ens;
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

// IsolatorsEitherSide(2, 0.5, kBig) with a second tie to J6 closing after 0.25 h as well, which
// carries 5 kVA: it comes from a neighbour carrying that much (J9, J10) or, with `alike`, from J8
// beside the first, a tie of 5 kVA. The ties' ids are given; the weak tie's record comes first
// unless `strongFirst`.
GmlText TiesAtOneMoment(int strongId, int weakId, bool alike = false, bool strongFirst = false)
{
    GmlText g = FaultBetweenIsolators(10, 2, 0.5);
    AddNeighbourFeeder(g, 7, 7);
    AddNeighbourFeeder(g, 9, 9, 5);
    if (strongFirst)
        g.Tie(8, 6, strongId, 0.25);
    if (alike)
        g.Tie(8, 6, weakId, 0.25, 5);
    else
        g.Tie(10, 6, weakId, 0.25);
    return strongFirst ? g : g.Tie(8, 6, strongId, 0.25);
}

// Ring: B1 - J3 (load A) - Ia (0.5 h) - J4 - M (1 a year, 10 h) - J5 (load C) - Id (1 h) - J6 - J8
// - J7 (load B) - B2. J5 and J6 are as far from the supply, so the order of their records
// (`swapped`) decides which way Id points; the figures do not depend on it.
GmlText RingMeetingBelowAnIsolator(bool swapped)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 10).Load(9, 2, 1, 10);
    for (int j : {3, 4, swapped ? 6 : 5, swapped ? 5 : 6, 7, 8})
        g.Junction(j);
    g.Feeder(0, 3, kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(3, 4, kMain, 2, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
    g.Feeder(4, 5, kMain, 3, 1, 10, 1, kBig);
    g.Feeder(5, 6, kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 1);
    AddNeighbourFeeder(g, 7, 5);
    g.Feeder(8, 6, kMain, 7, 0, 0, 0, kBig);
    g.Feeder(3, 1, kLateral, 8, 0, 0, 0, kBig);
    g.Feeder(7, 2, kLateral, 9, 0, 0, 0, kBig);
    return g.Feeder(5, 9, kLateral, 10, 0, 0, 0, kBig);
}

// Supply - breaker - J4 - M - J5, where B (node 1) is tapped - isolator - J6, where A (node 2) is
// tapped; feeder 2 is tied to J5, feeder 3 to J6. M fails (0.2 a year, 8 h; with `halves`, in two
// sections of 0.1 meeting at J7), B takes 200 kVA for 5 customers, A 30 kVA for 20, and the
// isolator opens after 3 h. With `lateralFault`, B's lateral fails instead (0.2 a year, 5 h), A and
// B take 100 kVA for 10 customers each and the isolator opens after 2 h.
GmlText TieAtTheFault(double reclose, bool lateralFault, bool halves = false)
{
    const double onLateral = lateralFault ? 0.2 : 0.0;
    const double onMain = 0.2 - onLateral;
    GmlText g;
    g.Supply(0).Junction(4).Junction(5).Junction(6);
    g.Load(1, 0, lateralFault ? 10 : 5, lateralFault ? 100 : 200);
    g.Load(2, 1, lateralFault ? 10 : 20, lateralFault ? 100 : 30);
    g.Feeder(0, 4, kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    if (halves)
        g.Junction(7).Feeder(4, 7, kMain, 2, 0.1, 8, 1, kBig).Feeder(7, 5, kMain, 3, 0.1, 8, 1, kBig);
    else
        g.Feeder(4, 5, kMain, 2, onMain, 8, 1, kBig);
    g.Feeder(5, 1, kLateral, 4, onLateral, 5, 1, kBig);
    g.Feeder(5, 6, kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, lateralFault ? 2 : 3);
    g.Feeder(6, 2, kLateral, 6, 0, 0, 0, kBig);
    // Feeder 2 (breaker 7 - K8 - main 8 of 150 kVA - K9) feeds C (node 3: 200 kVA, 10 customers),
    // short 50 kVA before any fault; unless `reclose` is below 0, a normally open tie joins J5 to K9
    // after `reclose` h. Feeder 3 (breaker 10 - K10 - main 11 - K11) ties to J6 after 1 h.
    g.Load(3, 2, 10, 200);
    for (int k = 8; k <= 11; ++k)
        g.Junction(k);
    AddNeighbourFeeder(g, 8, 7, 150);
    g.Feeder(9, 3, kLateral, 9, 0, 0, 0, kBig);
    AddNeighbourFeeder(g, 10, 10);
    g.Tie(11, 6, 1, 1);
    if (reclose >= 0)
        g.Tie(5, 9, 0, reclose);
    return g;
}

}  // namespace

// Networks that shed no load, or where both methods shed alike, give their indices by either
// method, with no warning. A and B are the loads of TwoLoadsBehindABreaker unless stated. Radial
// networks without ties are worked out by the radial reference (RadialOracleTest); here are the
// ties and rings it cannot work out, and the devices between two loads for reading.
TEST(FaultSimulation, HandWorkedNetworksGiveTheirIndicesByEitherMethod)
{
    struct Case {
        const char* name;
        GmlText network;
        Expected expected;
    };
    const Case cases[] = {
        // Faults on M1, M2 and L1 isolate B's part, fed again through the tie at the later of the
        // downstream isolator's time and the reclose time (1 h): B is out 1 h for each, A for the
        // whole repair of M1 and L1 and 0.5 h for M2. Faults on M3 and L2 leave B out for their
        // repair and A for I2's 0.75 h. A: 0.8 a year, 0.4 + 0.1 + 0.1125 + 0.1 + 0.225 = 0.9375 h;
        // B: 0.8 a year, 0.1 + 0.2 + 0.9 + 0.05 + 0.9 = 2.15 h; C never out. SAIFI = 24 / 60,
        // SAIDI = (9.375 + 43) / 60, ENS = 93.75 + 107.5.
        {"recloser tie", Tied(kBig, 1.0), {0.4, 52.375 / 60, 201.25}},
        {"recloser tie and M2 drawn the other way", Tied(kBig, 1.0, true), {0.4, 52.375 / 60, 201.25}},
        // A ring fed from J1 (J1 - J2 - Ia - Ja - M - Jb - Ib - J3 - J1) with loads at J2 and J3: a
        // fault on M opens the isolators on both sides (0.5 h and 2 h), and the breaker closes again
        // once both are open, feeding both loads round either side of the ring.
        {"ring isolated on both sides",
         [] {
             GmlText g = TwoLoadsBehindABreaker(7);  // J1 3, J2 4, J3 5, Ja 6, Jb 7
             g.Feeder(3, 4, kMain, 2, 0, 0, 0, kBig);
             g.Feeder(4, 6, kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
             g.Feeder(6, 7, kMain, 4, 1, 10, 1, kBig);
             g.Feeder(5, 7, kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, 2);
             g.Feeder(5, 3, kMain, 6, 0, 0, 0, kBig);
             g.Feeder(4, 1, kLateral, 7, 0, 0, 0, kBig);
             return g.Feeder(5, 2, kLateral, 8, 0, 0, 0, kBig);
         }(),
         {1.0, 2.0, 40.0}},
        // When ties bring the loads cut off below a fault back, each load is out until the tie
        // feeding it has closed, the isolator that cuts its part off from the fault has opened and
        // the tie's live end has supply again, and no longer than the repair; a load a tie leaves
        // short is shed from then on. A is the load above the fault, B the one below.
        // Regression: B waited for the isolator above the fault as well. A back at Iu, B at the
        // later of Id and the tie: A 2 h, B 0.5 h: SAIDI 1.25, ENS 25.
        {"Iu 2 h, Id 0.5 h", IsolatorsEitherSide(2, 0.5, kBig), {1.0, 1.25, 25.0}},
        {"Iu 0.1 h, Id 0.5 h", IsolatorsEitherSide(0.1, 0.5, kBig), {1.0, 0.3, 6.0}},
        {"Iu 2 h, Id 0.1 h: B waits for the tie", IsolatorsEitherSide(2, 0.1, kBig), {1.0, 1.125, 22.5}},
        // The breaker carries 5 kVA of A's 10, before the fault as after: once back at 2 h A is fed
        // as it was, and no back-feed shares its way. Regression: the tie feeding B from elsewhere
        // got A shed from 2 h to the repair, {8 h, 5 kVA, 1}: 1.5, 5.25, 65.
        {"breaker short", IsolatorsEitherSide(2, 0.5, 5), {1.0, 1.25, 25.0}},
        // A's way does carry a back-feed when the tie starts at A's node J3: at 3 h, once Iu has
        // opened, the 15 kVA breaker feeds A and B, 20 kVA, and one of them is short 5 kVA to the
        // repair, {7 h, 5 kVA, 1}: both out 3 h, SAIFI 1.5, SAIDI (6 + 7) / 2, ENS 60 + 35.
        {"breaker short for the tie from above the fault", FaultBetweenIsolators(6, 3, 1, 15).Tie(3, 6, 0, 0.5),
         {1.5, 6.5, 95.0}},
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
             g.Feeder(0, 12, kMain, 9, 0, 0, 0, 5, GmlText::Breaker);
             return g.Feeder(12, 11, kLateral, 10, 0, 0, 0, kBig);
         }(),
         {2.0 / 3, 2.5 / 3, 25.0}},
        // Catches a load the fault never reached, left short by a back-feed, going unfiled. The
        // neighbour's 15 kVA section J7 - J8 feeds the tie's branch (B) before the lateral to D at
        // J8: D is short 5 kVA from 0.5 h to the repair, {9.5 h, 5 kVA, 1}. A out 2 h, B 0.5 h:
        // SAIDI (2 + 0.5 + 9.5) / 3, ENS 20 + 5 + 47.5.
        {"a neighbour's load left short",
         [] {
             GmlText g = FaultBetweenIsolators(10, 2, 0.5);
             g.Load(11, 2, 1, 10);
             AddNeighbourFeeder(g, 7, 7, 15);
             g.Feeder(8, 9, kMain, 9, 0, 0, 0, kBig);
             g.Feeder(8, 11, kLateral, 10, 0, 0, 0, kBig);
             return g.Tie(9, 6, 0, 0.25);
         }(),
         {1.0, 4.0, 72.5}},
        // Regression: the first tie found fed B, at 2 h; the one found second does at 0.5 h.
        {"slower tie found first",
         [] {
             GmlText g = IsolatorsEitherSide(0.5, 0.25, kBig, 10, 2);
             AddNeighbourFeeder(g, 9, 9);
             return g.Tie(10, 6, 1, 0.5);
         }(),
         {1.0, 0.5, 10.0}},
        // Two ties that would feed B at the same moment (0.5 h), one carrying 5 kVA: the one of the
        // lower id closes, wherever its record stands. With the strong tie, as "Iu 2 h, Id 0.5 h";
        // with the weak one, B is short from its return at 0.5 h to the repair: {9.5 h, 5 kVA, 1}:
        // SAIDI (2 + 0.5 + 9.5) / 2, ENS 20 + 5 + 47.5. Ties alike but for their capacity go by
        // their values, whatever the order of their records: here the weak one.
        {"ties at one moment, the strong one's id lower", TiesAtOneMoment(0, 1), {1.0, 1.25, 25.0}},
        {"ties at one moment, the weak one's id lower", TiesAtOneMoment(1, 0), {1.5, 6.0, 72.5}},
        {"ties alike at one moment", TiesAtOneMoment(0, 0, true), {1.5, 6.0, 72.5}},
        {"ties alike at one moment, the strong one's record first", TiesAtOneMoment(0, 0, true, true),
         {1.5, 6.0, 72.5}},
        // Regression: a tie within the feeder, from A's node J3, counted B back at the later of Id
        // (1 h) and the tie (0.5 h), though J3 itself is dark until Iu opens at 3 h: both out 3 h.
        {"tie from above the fault", FaultBetweenIsolators(6, 3, 1).Tie(3, 6, 0, 0.5), {1.0, 3.0, 60.0}},
        // Catches the tie from J3 counted back at Id's 1 h, ahead of a neighbour's tie at 2 h,
        // though J3 is dark until 3 h. The neighbour's tie feeds B at 2 h: A out 3 h, B 2 h.
        {"tie from above the fault beside a neighbour's", IsolatorsEitherSide(3, 1, kBig, 10, 2).Tie(3, 6, 1, 0.5),
         {1.0, 2.5, 50.0}},
        // A tie into the faulted section is passed over for the next one: A, between the fault and
        // the isolator (1 h), stays out for the repair, B below it comes back at 1 h.
        {"tie into the faulted section",
         [] {
             GmlText g = TwoLoadsBehindABreaker(7);
             g.Feeder(3, 4, kMain, 2, 1, 10, 1, kBig);
             g.Feeder(4, 1, kLateral, 3, 0, 0, 0, kBig);
             g.Feeder(4, 5, kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 1);
             g.Feeder(5, 2, kLateral, 5, 0, 0, 0, kBig);
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
             g.Feeder(3, 1, kLateral, 2, 0, 0, 0, kBig);
             g.Feeder(3, 4, kMain, 3, 1, 10, 1, kBig);
             g.Feeder(4, 5, kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
             g.Feeder(5, 2, kLateral, 5, 0, 0, 0, kBig);
             return g.Tie(0, 5, 0, 1);
         }(),
         {1.0, 5.5, 110.0}},
        // A load of 30.5 kVA (5 customers) that its tie can carry is not shed: the demand keeps its
        // fraction. Out 2 h (the reclose) of the 10 h repair, once a year.
        {"fractional demand",
         [] {
             GmlText g;
             g.Supply(0).Load(1, 0, 5, 30.5).Junction(2).Junction(3).Junction(4).Junction(5);
             g.Feeder(0, 2, kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
             g.Feeder(2, 3, kMain, 2, 1, 10, 1, kBig);
             g.Feeder(3, 4, kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 1);
             g.Feeder(4, 1, kLateral, 4, 0, 0, 0, kBig);
             g.Feeder(0, 5, kMain, 5, 0, 0, 0, kBig, GmlText::Breaker);
             return g.Tie(5, 4, 0, 2);
         }(),
         {1.0, 2.0, 61.0}},
        // A lateral that only feeds the loads at and below its end carries what they demand,
        // whatever its datasheet says: B (200 kVA) behind a lateral in two sections rated 50 kVA
        // each is back whole at 0.25 h (its end's demand alone would give the first section 0 kVA
        // and shed B).
        {"lateral in two sections",
         [] {
             GmlText g;
             g.Supply(0).Load(1, 0, 1, 10).Load(2, 1, 1, 200);
             for (int j = 3; j <= 9; ++j)
                 g.Junction(j);
             g.Feeder(0, 3, kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
             g.Feeder(3, 1, kLateral, 2, 0, 0, 0, kBig);
             g.Feeder(3, 4, kMain, 3, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
             g.Feeder(4, 5, kMain, 4, 1, 10, 1, kBig);
             g.Feeder(5, 6, kMain, 5, 0, 0, 0, kBig, GmlText::Isolator, 0.25);
             g.Feeder(6, 9, kLateral, 6, 0, 0, 0, 50);
             g.Feeder(9, 2, kLateral, 7, 0, 0, 0, 50);
             AddNeighbourFeeder(g, 7, 8);
             return g.Tie(8, 6, 0, 0.25);
         }(),
         {1.0, 0.375, 55.0}},
        // A tie that stays open takes no part in a fault, though its far side is short before any:
        // B is out the 8 h repair, A until the isolator opens at 3 h and feeder 3 takes it back,
        // C never: SAIFI 0.2 x 25 / 35, SAIDI 0.2 x (40 + 60) / 35, ENS 0.2 x (1600 + 90); the
        // same without the tie, with a tie that would close after the repair, or M in two halves.
        // Regression: a tie at the faulted section's end drew feeder 2 into the flow once feeder
        // 3's tie closed, and C was shed from 3 h: 0.2000, 0.8571, 388 (halves: 0.1714, 0.7143, 363).
        {"tie at the faulted section's end", TieAtTheFault(1, false), {5.0 / 35, 20.0 / 35, 338.0}},
        {"no tie at the faulted section's end", TieAtTheFault(-1, false), {5.0 / 35, 20.0 / 35, 338.0}},
        {"tie at the faulted section's end closing after the repair", TieAtTheFault(1e6, false),
         {5.0 / 35, 20.0 / 35, 338.0}},
        {"tie at the end of the second half", TieAtTheFault(1, false, true), {5.0 / 35, 20.0 / 35, 338.0}},
        // The same at a faulted lateral's tap: B out the 5 h repair, A 2 h: SAIFI 0.2 x 20 / 30,
        // SAIDI 0.2 x (50 + 20) / 30, ENS 0.2 x (500 + 200). Regression: 0.2000, 0.6667, 170.
        {"tie at the faulted lateral's tap", TieAtTheFault(1, true), {4.0 / 30, 14.0 / 30, 140.0}},
        {"no tie at the faulted lateral's tap", TieAtTheFault(-1, true), {4.0 / 30, 14.0 / 30, 140.0}},
        // Each kind of device between A and B, with faults on M (and on the device's own section):
        // - no device: the breaker clears M, both out 10 h.
        // - a fuse blows and A never notices; a fuse cannot be closed again by hand, but nothing
        //   above it went dark: B out 10 h. A second breaker likewise clears M alone.
        // - an isolator: the breaker trips, the isolator opens at 0.5 h and the breaker closes
        //   again: A out 0.5 h, B 10 h.
        // - the device's section failing too (0.5 a year, 4 h): no device and the isolator (whose
        //   own section isolates itself from above, so A is back after 0.5 h) add both loads'
        //   outage; the fuse and the breaker clear their own section, so only B is out for it:
        //   none: A 0.5 x 4 + 10, B the same; isolator: A 0.5 x 0.5 + 0.5, B 0.5 x 4 + 10;
        //   fuse, breaker: A 0, B 0.5 x 4 + 10.
        {"no device", WithMiddle(GmlText::None), {1.0, 10.0, 200.0}},
        {"fuse", WithMiddle(GmlText::Fuse), {0.5, 5.0, 100.0}},
        {"breaker", WithMiddle(GmlText::Breaker), {0.5, 5.0, 100.0}},
        {"isolator", WithMiddle(GmlText::Isolator), {1.0, 5.25, 105.0}},
        {"no device failing", WithMiddle(GmlText::None, true), {1.5, 12.0, 240.0}},
        {"isolator failing", WithMiddle(GmlText::Isolator, true), {1.5, 12.75 / 2, 127.5}},
        {"fuse failing", WithMiddle(GmlText::Fuse, true), {0.75, 6.0, 120.0}},
        {"breaker failing", WithMiddle(GmlText::Breaker, true), {0.75, 6.0, 120.0}},
        // A repair time that the clock, moved on from the isolator's switching time, reaches a
        // rounding step short: 1.6998 + (3.8207 - 1.6998) is 4e-16 below 3.8207. Regression: every
        // load got a shed record of that length, and each shed record adds the fault's rate to
        // SAIFI, so SAIFI doubled. A out 1.6998 h, B 3.8207 h, no shortage.
        {"rounding at the repair", WithMiddle(GmlText::Isolator, false, 1.6998, 3.8207),
         {1.0, (1.6998 + 3.8207) / 2, 10 * (1.6998 + 3.8207)}},
        // A ring closed between two feeders, each with its breaker at the supply. Regression: only
        // the breaker above the fault tripped, so the loads round the far side never noticed a
        // fault that their own breaker feeds, and the near side waited for the far side's isolator
        // as well. Both breakers trip; each closes again once the isolators on its own side cut it
        // off from the fault. Ring: B1 - J3 (load A) - Ia (0.5 h) - J4 - M (1 a year, 10 h) - J5 -
        // Ib (2 h) - J6 - J7 (load B) - B2. A out 0.5 h, B 2 h.
        {"ring between two breakers",
         [] {
             GmlText g = TwoLoadsBehindABreaker(7);
             g.Feeder(3, 4, kMain, 2, 0, 0, 0, kBig, GmlText::Isolator, 0.5);
             g.Feeder(4, 5, kMain, 3, 1, 10, 1, kBig);
             g.Feeder(6, 5, kMain, 4, 0, 0, 0, kBig, GmlText::Isolator, 2);
             g.Feeder(0, 7, kMain, 5, 0, 0, 0, kBig, GmlText::Breaker);
             g.Feeder(7, 6, kMain, 6, 0, 0, 0, kBig);
             g.Feeder(3, 1, kLateral, 7, 0, 0, 0, kBig);
             return g.Feeder(7, 2, kLateral, 8, 0, 0, 0, kBig);
         }(),
         {1.0, 1.25, 25.0}},
        // The same kind of ring, the far side meeting the near one below an isolator Id (1 h) under
        // the fault. The far breaker feeds the fault through Id until Id opens: A out 0.5 h, B 1 h,
        // and C, shut in between Ia and Id, for the 10 h repair.
        {"ring meeting below an isolator", RingMeetingBelowAnIsolator(false), {1.0, 11.5 / 3, 115.0}},
        {"ring meeting below an isolator, J6 first", RingMeetingBelowAnIsolator(true), {1.0, 11.5 / 3, 115.0}},
    };
    for (const Case& c : cases) {
        for (int method : {kThesis, kPractical}) {
            SCOPED_TRACE(std::string(c.name) + (method == kThesis ? ", Thesis method" : ", Practical Method"));
            const CAnalyticalResult result = RunAll(c.network, method);
            ExpectIndices(result, c.expected);
            EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
        }
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

// 250 kVA reach the tie's live end J4, where two laterals take 100 kVA each (A1, A2, one customer
// each); the tie (1 h) takes P (two customers, 100 kVA) back once its isolator opens at 2 h, until
// the 10 h repair. The "Thesis method" gives P its 100 kVA first, then shares the 150 kVA left
// among the laterals at J4 in turn: A2 is short 50 kVA for 8 h. (Giving every lateral the whole
// 150, each would seem whole: SAIFI 0.5, SAIDI 1.0, counting the same capacity twice.) The
// "Practical Method" follows the maximum flow, which serves the laterals first and leaves P short.
TEST(FaultSimulation, ThesisMethodSharesWhatIsLeftAtTheLiveEndAmongItsLaterals)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 100).Load(2, 1, 1, 100).Load(3, 2, 2, 100);
    for (int j = 4; j <= 8; ++j)
        g.Junction(j);
    g.Feeder(0, 4, kMain, 1, 0, 0, 0, 250, GmlText::Breaker);
    g.Feeder(4, 1, kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(4, 2, kLateral, 3, 0, 0, 0, kBig);
    g.Feeder(0, 5, kMain, 4, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(5, 6, kMain, 5, 1, 10, 1, kBig);
    g.Feeder(6, 7, kMain, 6, 0, 0, 0, kBig, GmlText::Isolator, 2);
    g.Feeder(7, 3, kLateral, 7, 0, 0, 0, kBig);
    g.Tie(4, 7, 0, 1);
    ExpectIndices(RunAll(g, kThesis), {0.75, 3.0, 200.0 + 50 * 8});
    ExpectIndices(RunAll(g, kPractical), {1.0, 5.0, 200.0 + 50 * 8});
}

namespace {

// Load X (node 1, one customer, 50 kVA) at the end of a fused lateral of `lateralCapacity` kVA
// tapped at J4 of a feeder that never fails (breaker 1, main 2); load B (node 2, one customer, 100
// kVA) on a second feeder: breaker 4, M (1 a year, 10 h) from J5 to J6, isolator (1 h) to J7 and
// a lateral to B. A normally open tie (0.5 h) runs to J7 from X's node, or with `fromMain` from J4.
GmlText TieBelowALateral(double lateralCapacity, bool fromMain = false)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 50).Load(2, 1, 1, 100);
    for (int j = 3; j <= 7; ++j)
        g.Junction(j);
    g.Feeder(0, 3, kMain, 1, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(3, 4, kMain, 2, 0, 0, 0, kBig);
    g.Feeder(4, 1, kLateral, 3, 0, 0, 0, lateralCapacity, GmlText::Fuse);
    g.Feeder(0, 5, kMain, 4, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(5, 6, kMain, 5, 1, 10, 1, kBig);
    g.Feeder(6, 7, kMain, 6, 0, 0, 0, kBig, GmlText::Isolator, 1);
    g.Feeder(7, 2, kLateral, 7, 0, 0, 0, kBig);
    return g.Tie(fromMain ? 4 : 1, 7, 0, 0.5);
}

}  // namespace

// What a lateral carried before the fault never limits a back-feed through it; the capacity its
// datasheet gives does. In TieBelowALateral B is out until the tie closes after the isolator's
// 1 h: SAIFI 0.5, SAIDI 0.5, ENS 100. Regression: the lateral was held to X's 50 kVA, so B was
// shed for the 9 h left (Practical Method: 1.0, 5.0, 1000), or with the "Thesis method" X as well
// (1.5, 9.5).
TEST(FaultSimulation, BackFeedsThroughLateralsAreLimitedByTheirGivenCapacityOnly)
{
    struct Case {
        const char* name;
        GmlText network;
        int minimumCutSet;
        Expected expected;
    };
    const Case cases[] = {
        {"tie below the lateral", TieBelowALateral(kBig), 0, {0.5, 0.5, 100.0}},
        {"tie from the main", TieBelowALateral(kBig, true), 0, {0.5, 0.5, 100.0}},
        // 120 kVA for 150: the tie's branch takes its 100 first and X, which never lost supply,
        // is short 30 kVA from 1 h to the repair: {9 h, 20 kVA, 1}.
        {"lateral of 120 kVA", TieBelowALateral(120), 0, {1.0, 5.0, 100.0 + 30 * 9}},
        // Left at 0 kVA it carries nothing once the tie closes: X and B are both short from 1 h.
        {"lateral of 0 kVA", TieBelowALateral(0), 0, {1.5, 9.5, 100.0 + (50 + 100) * 9}},
        {"lateral of 0 kVA, \"Minimum Cut Set\"", TieBelowALateral(0), 1, {0.5, 0.5, 100.0}},
    };
    for (const Case& c : cases) {
        for (int method : {kThesis, kPractical}) {
            SCOPED_TRACE(std::string(c.name) + (method == kThesis ? ", Thesis method" : ", Practical Method"));
            ExpectIndices(RunAll(c.network, method, c.minimumCutSet), c.expected);
        }
    }
}

// Without any breaker the supply's own section clears the fault; the run says so. A fuse drawn
// between two gen sources runs from the supply to itself: regression, a fault on the unprotected
// section climbed into it, blew it and took every feeder out, and its own fault did the same. It
// feeds nobody: the load behind a breaker on a second feeder is never out.
TEST(FaultSimulation, SupplyClearsFaultsThatNoBreakerProtects)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 10, 10).Load(3, 1, 10, 10).Junction(2).Junction(4);
    g.Feeder(0, 2, kMain, 1, 0.5, 4, 1, kBig);
    g.Feeder(2, 1, kLateral, 2, 0, 0, 0, kBig);
    g.Feeder(0, 0, kMain, 3, 1, 5, 1, kBig, GmlText::Fuse);
    g.Feeder(0, 4, kMain, 4, 0, 0, 0, kBig, GmlText::Breaker);
    g.Feeder(4, 3, kLateral, 5, 0, 0, 0, kBig);
    const CAnalyticalResult result = RunAll(g, kThesis);
    ExpectIndices(result, {0.25, 1.0, 20.0});
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find(": 1, 2."), std::string::npos) << result.warnings[0];
}
