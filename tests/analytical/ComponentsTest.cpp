#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analytical/ADist_Graph.h"
#include "analytical/AFeeder.h"
#include "analytical/ALoad.h"
#include "analytical/AReliabilityMetrics.h"
#include "tests/analytical/GmlText.h"

TEST(Switches, AnswerFaultsIsolationAndRecloseByKind)
{
    struct Row {
        const char* name;
        std::unique_ptr<ASwitch> sw;
        bool trips, operates, isolates, recloses;
        double time;
    };
    Row rows[] = {
        {"breaker", std::make_unique<ABreaker>(), true, true, false, false, 0.0},
        {"fuse", std::make_unique<AFuse>(), true, false, false, false, 0.0},
        {"isolator", std::make_unique<AIsolator>(0.5), false, true, true, false, 0.5},
        {"no switch", std::make_unique<ANoSwitch>(), false, false, false, false, 0.0},
        {"recloser", std::make_unique<ARecloser>(2.0), false, true, false, true, 2.0},
    };
    for (Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.sw->isOpen(), r.recloses);  // only a recloser is made open
        EXPECT_EQ(r.sw->getSwitchingTime(), r.time);
        EXPECT_EQ(r.sw->tripOnFault(), r.trips);
        EXPECT_EQ(r.sw->openForIsolation(), r.isolates);
        EXPECT_EQ(r.sw->reclose(), r.recloses);
        EXPECT_EQ(r.sw->operate(), r.operates);
    }
}

TEST(Feeders, ResetReturnsThemToTheStateTheyWereReadIn)
{
    AMainF breaker(100, 2, std::make_unique<ABreaker>(), 1, 0.25, 3);
    EXPECT_DOUBLE_EQ(breaker.getFailureRate(), 0.5);
    breaker.fault();
    EXPECT_TRUE(breaker.trip());
    EXPECT_TRUE(breaker.isSwitchOpen());
    EXPECT_TRUE(breaker.operate());  // a tripped breaker closes again
    EXPECT_FALSE(breaker.isSwitchOpen());
    breaker.reset();
    EXPECT_TRUE(breaker.isConnected());
    EXPECT_FALSE(breaker.isFaulted());

    ALateralFeeder fuse(100, 1, std::make_unique<AFuse>(), 2, 0, 0);
    EXPECT_TRUE(fuse.trip());
    EXPECT_FALSE(fuse.operate());  // a blown fuse stays open until reset
    EXPECT_TRUE(fuse.isSwitchOpen());
    fuse.reset();
    EXPECT_FALSE(fuse.isSwitchOpen());

    AReclfeeder tie(1e7, std::make_unique<ARecloser>(1), 0);
    EXPECT_FALSE(tie.isConnected());
    EXPECT_TRUE(tie.reclose());
    EXPECT_TRUE(tie.isConnected());
    EXPECT_FALSE(tie.isSwitchOpen());
    tie.reset();
    EXPECT_FALSE(tie.isConnected());
    EXPECT_TRUE(tie.isSwitchOpen());
    EXPECT_EQ(tie.getFailureRate(), 0.0);
}

TEST(Loads, CountOnlyChangesOfState)
{
    ALoad load(12.7, 3, 40);
    EXPECT_DOUBLE_EQ(load.getDemand(), 12.7);
    load.disconnect(1);
    load.disconnect(3);  // already out: the first time stands
    load.connect(3);
    load.connect(4);  // already in: nothing more counts
    load.disconnect(4);
    AOutageRecord r = load.getOutageRecord(4.5);
    EXPECT_DOUBLE_EQ(r.timeNotConnected, 2.5);
    EXPECT_EQ(r.id, 3);

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
    load.addFaultRecord({0.0, 3.0, 5.0, 3}, 0.2);
    EXPECT_DOUBLE_EQ(load.getTotalOutageRate(), 0.0);  // never disconnected
    EXPECT_DOUBLE_EQ(load.getShedTotals().rate, 0.2);
    EXPECT_DOUBLE_EQ(load.getShedTotals().hours, 0.6);
    EXPECT_DOUBLE_EQ(load.getShedTotals().energy, 7.7 * 0.6);
    load.addFaultRecord({2.0, 0.0, 0.0, 3}, 0.5);
    EXPECT_DOUBLE_EQ(load.getTotalOutageRate(), 0.5);
    EXPECT_DOUBLE_EQ(load.getTotalUnavailability(), 1.0);
}

TEST(ReliabilityMetrics, ComputesTheFiveIndices)
{
    AReliabilityMetrics m;
    m.Compute({{10, 100, 0.5, 2.0, {}}});
    EXPECT_EQ(m.GetText(), "SAIFI = 0.5000\nSAIDI = 2.0000\nCAIDI = 4.0000\nASAI = 0.9998\nENS\t= 200.0000\n");
    // A shortage {1 h, at 40 kVA, 0.2 a year} adds 0.2 to SAIFI and SAIDI and 60 x 0.2 to ENS.
    m.Compute({{10, 100, 0.5, 2.0, {0.2, 0.2, 12.0}}});
    EXPECT_DOUBLE_EQ(m.SAIFI, 0.7);
    EXPECT_DOUBLE_EQ(m.SAIDI, 2.2);
    EXPECT_DOUBLE_EQ(m.ENS, 212.0);
    m.Compute({});
    EXPECT_EQ(m.GetText(), "SAIFI = n/a\nSAIDI = n/a\nCAIDI = n/a\nASAI = n/a\nENS\t= 0.0000\n");
}

// Path reversal from a node two sections below the supply adds two edges pointing up and takes the
// two it replaces out of service; removing the temporary edges puts everything back.
TEST(DistGraph, ReversesAndRestoresAnUpstreamPath)
{
    GmlText g;
    g.Supply(0).Junction(1).Junction(2);
    g.Feeder(0, 1, GmlText::kMain, 1, 0, 0, 0, 1e7);
    g.Feeder(1, 2, GmlText::kMain, 2, 0, 0, 0, 1e7);
    ADist_Graph graph;
    ASSERT_FALSE(graph.load(g.Text()).IsError());
    const auto edges = graph.Edges();
    EXPECT_EQ(graph.reverseUpstreamPath(graph.NodeAt(2)), ADist_Graph::PathEnd::Root);
    ASSERT_EQ(graph.EdgeCount(), 4);
    EXPECT_TRUE(graph.isExcluded(edges[0]));
    EXPECT_TRUE(graph.isExcluded(edges[1]));
    const auto after = graph.Edges();
    EXPECT_EQ(graph.Source(after[2]), graph.NodeAt(2));
    EXPECT_EQ(graph.Target(after[3]), graph.NodeAt(0));
    EXPECT_TRUE(graph.isTemporary(after[3]));
    EXPECT_EQ(graph.getEdgeFeeder(after[3]), graph.getEdgeFeeder(edges[0]));
    graph.removeTemporaryEdges();
    EXPECT_EQ(graph.Edges(), edges);
    EXPECT_FALSE(graph.isExcluded(edges[0]));
    EXPECT_FALSE(graph.isExcluded(edges[1]));
}

TEST(DistGraph, CapacityPreparationsFollowTheFeederKinds)
{
    GmlText g;
    g.Supply(0).Load(1, 0, 1, 30.5).Load(2, 1, 1, 12).Junction(3).Junction(4);
    g.Feeder(0, 3, GmlText::kMain, 1, 0, 0, 0, 5);
    g.Feeder(3, 4, GmlText::kLateral, 2, 0, 0, 0, 5, GmlText::Fuse);
    g.Feeder(4, 1, GmlText::kLateral, 3, 0, 0, 0, 5);
    g.Feeder(1, 2, GmlText::kLateral, 4, 0, 0, 0, 5);
    g.Tie(3, 2, 0, 1);
    ADist_Graph graph;
    ASSERT_FALSE(graph.load(g.Text()).IsError());
    graph.setLateralCapacities();
    graph.setTerminalCapacities();
    const auto e = graph.Edges();
    EXPECT_DOUBLE_EQ(graph.getEdgeFeeder(e[0])->getCapacity(), 5);      // main: as read
    EXPECT_DOUBLE_EQ(graph.getEdgeFeeder(e[1])->getCapacity(), 42.5);   // both loads below the fuse
    EXPECT_DOUBLE_EQ(graph.getEdgeFeeder(e[3])->getCapacity(), 12);     // the load at its end
    EXPECT_DOUBLE_EQ(graph.getEdgeFeeder(e[5])->getCapacity(), 30.5);   // terminal edge: the demand
    graph.setMainCapacities();
    EXPECT_DOUBLE_EQ(graph.getEdgeFeeder(e[0])->getCapacity(), 1e7);
    EXPECT_DOUBLE_EQ(graph.getEdgeFeeder(e[4])->getCapacity(), 1e7);    // the tie

    ADist_Graph empty;
    empty.setMainCapacities();
    empty.setLateralCapacities();
    EXPECT_EQ(empty.EdgeCount(), 0);
}
