#include <gtest/gtest.h>

#include "analytical/ALoad.h"
#include "analytical/AReliabilityMetrics.h"

TEST(Loads, CountOnlyChangesOfState)
{
    ALoad load(12.7, 3, 40);
    load.disconnect(1);
    load.disconnect(3);  // already out: the first time stands
    load.connect(3);
    load.connect(4);  // already in: nothing more counts
    load.disconnect(4);
    AOutageRecord r = load.getOutageRecord(4.5);
    EXPECT_DOUBLE_EQ(r.timeNotConnected, 2.5);

    // Shedding counts only a supplied load short of its demand, from its return when that is later.
    load.recordLoadShed(5, 4.5);
    EXPECT_DOUBLE_EQ(load.getOutageRecord(5).timeLoadShed, 0.0);
    load.connect(5);
    load.recordLoadShed(12.7, 4);
    load.recordLoadShed(5, 4);
    r = load.getOutageRecord(8);
    EXPECT_DOUBLE_EQ(r.timeLoadShed, 3.0);
    EXPECT_DOUBLE_EQ(r.capacityLoadShed, 5.0);

    // A shortage of 3 h at 5 kVA in a fault of 0.2 a year: 0.2, 0.6 h and 7.7 x 0.6 kVAh a year.
    load.reset();
    load.addFaultRecord({0.0, 3.0, 5.0}, 0.2);
    EXPECT_DOUBLE_EQ(load.getTotalOutageRate(), 0.0);  // never disconnected
    EXPECT_DOUBLE_EQ(load.getShedTotals().rate, 0.2);
    EXPECT_DOUBLE_EQ(load.getShedTotals().hours, 0.6);
    EXPECT_DOUBLE_EQ(load.getShedTotals().energy, 7.7 * 0.6);
    load.addFaultRecord({2.0, 0.0, 0.0}, 0.5);
    EXPECT_DOUBLE_EQ(load.getTotalOutageRate(), 0.5);
    EXPECT_DOUBLE_EQ(load.getTotalUnavailability(), 1.0);
}

// An index whose denominator is 0 shows as "n/a": no customers, or (CAIDI) no interruptions.
TEST(ReliabilityMetrics, ComputesTheFiveIndices)
{
    struct Case {
        std::vector<AReliabilityMetrics::LoadTotals> loads;
        const char* text;
    };
    const Case cases[] = {
        {{{10, 100, 0.5, 2.0, {}}}, "SAIFI = 0.5000\nSAIDI = 2.0000\nCAIDI = 4.0000\nASAI = 0.9998\nENS\t= 200.0000\n"},
        // A shortage {1 h, at 40 kVA, 0.2 a year} adds 0.2 to SAIFI and SAIDI and 60 x 0.2 to ENS.
        {{{10, 100, 0.5, 2.0, {0.2, 0.2, 12.0}}},
         "SAIFI = 0.7000\nSAIDI = 2.2000\nCAIDI = 3.1429\nASAI = 0.9997\nENS\t= 212.0000\n"},
        {{{0, 100, 0.5, 2.0, {}}}, "SAIFI = n/a\nSAIDI = n/a\nCAIDI = n/a\nASAI = n/a\nENS\t= 200.0000\n"},
        {{{10, 100, 0.0, 0.0, {}}}, "SAIFI = 0.0000\nSAIDI = 0.0000\nCAIDI = n/a\nASAI = 1.0000\nENS\t= 0.0000\n"},
        {{}, "SAIFI = n/a\nSAIDI = n/a\nCAIDI = n/a\nASAI = n/a\nENS\t= 0.0000\n"},
    };
    for (const Case& c : cases) {
        AReliabilityMetrics m;
        m.Compute(c.loads);
        EXPECT_EQ(m.GetText(), c.text);
    }
}
