// The analytical engine's network: a directed graph of node components and feeder edges, loaded
// from GML, with the walks and the feeder-fault simulation built on them.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analytical/AComponent.h"
#include "analytical/AFeeder.h"
#include "analytical/ALoad.h"
#include "analytical/AReliabilityMetrics.h"
#include "analytical/GMLResult.h"
#include "analytical/graph/Graph.h"
#include "analytical/graph/GraphMaps.h"
#include "analytical/graph/MaxFlow.h"
#include "analytical/graph/Walker.h"

class ADist_Graph : public korvane::graph::Graph {
public:
    using Node = korvane::graph::Node;
    using Edge = korvane::graph::Edge;
    using GmlError = korvane::graph::GmlError;
    using Step = korvane::graph::Walker::Step;

    // A share of the capacity handed to a load by the "Thesis method" walk.
    struct TransferRecord {
        double value = 0.0;  // kVA
        Node node;
    };

    ADist_Graph();
    ~ADist_Graph() override;

    // Loads the GML text, then checks that it holds exactly one supply and one terminal and turns
    // every section to point away from the supply. The graph must be empty before.
    GmlError load(std::string_view gml);

    AFeeder* getEdgeFeeder(Edge e) const { return feeders.Get(e); }

    // Main and lateral feeders other than the terminal edges and the links: the feeders a run can
    // fault.
    int getFeederCount() const { return static_cast<int>(feederIds.size()); }
    // Their ids, from the lowest; any distinct positive numbers.
    const std::vector<int>& getFeederIds() const { return feederIds; }
    // Faults a year of the main or lateral feeder with the id (its fault rate a mile times its
    // length); 0 when there is no such feeder.
    double getFeederFailureRate(int feederId) const;

    // Main and reclosing feeders get a capacity of 10000000 kVA, and so do laterals while a
    // back-feed passes them (the "Minimum Cut Set" setting): capacity then limits nothing.
    void setMainCapacities();
    // A lateral feeder that feeds only the loads at and below its end carries what they demand,
    // whatever its datasheet says: drawn lines are rated 0 kVA unless the user says otherwise, and
    // the run does not judge the network as it stands before a fault. While a back-feed passes it
    // (a closed tie's live end lies below it, or it is turned round to feed a part cut off), it
    // carries what its datasheet gives, as main feeders always do: what it carried before the
    // fault never limits a back-feed.
    void setLateralCapacities();
    // The edge from a load to the terminal carries at most the load's demand, so the maximum flow
    // shares capacity out by demand.
    void setTerminalCapacities();

    // Plays one permanent fault on the main or lateral feeder with the id and files every load
    // point's outage. False (and nothing filed) when no such feeder exists. A fault costs what it
    // and its restoration reach: what nothing in it touched is neither reset nor filed again.
    bool simulateFault(int feederId, bool thesisMethod);
    AReliabilityMetrics computeReliabilityMetrics() const;

    // After each fault every load point appends its running totals here when given.
    void setResultList(std::vector<CGMLResult>* list) { results = list; }
    // Ids of the feeders whose faults met no protective device on the way to the supply.
    const std::vector<int>& getUnprotectedFeeders() const { return unprotectedFeeders; }
    // Load points that some fault of a rate above 0 left short of capacity.
    int getShedLoadCount() const;
    int getLoadCount() const { return static_cast<int>(loadNodes.size()); }
    // Ids of the main and lateral feeders left at 0 kVA that lay above loads shed in such a fault:
    // they carried nothing of a back-feed.
    const std::set<int>& getEmptyFeeders() const { return emptyFeeders; }
    // The first load point whose outages add up to more hours a year than a year has (their rates
    // and times make ASAI and ENS meaningless); false when there is none.
    bool findLoadOutLongerThanAYear(int& loadId, double& hours) const;
    // Load points that no path of closed sections joins to the supply.
    std::vector<int> getUnsuppliedLoads() const;

protected:
    void OrderRecords(std::vector<const korvane::graph::GmlPair*>& nodes,
                      std::vector<const korvane::graph::GmlPair*>& edges) const override;
    GmlError OnNodeRecord(Node n, const korvane::graph::GmlPair& record,
                          const korvane::graph::GmlPairList& pairs) override;
    GmlError OnEdgeRecord(Edge e, const korvane::graph::GmlPair& record,
                          const korvane::graph::GmlPairList& pairs) override;

private:
    static constexpr double kUnlimitedCapacity = 10000000.0;

    void setEdgeFeeder(Edge e, AFeeder* feeder) { feeders.Set(e, feeder); }
    void setExcluded(Edge e, bool value) { excluded.Set(e, value); }
    bool isTemporary(Edge e) const { return !standsFor.Get(e).IsNull(); }
    // A section from a node to itself (a device between two gen sources, which share the supply)
    // carries nothing and protects nothing.
    bool usable(Edge e) const { return !excluded.Get(e) && feeders.Get(e) != nullptr && Source(e) != Target(e); }
    // A switch that is open, or the supply's section standing in for a missing breaker.
    bool isOpen(Edge e) const;
    const AComponent& component(Node n) const { return *components.Get(n); }
    // The load point at a node that holds one (isLoad()).
    ALoad& load(Node n) const { return static_cast<ALoad&>(*components.Get(n)); }
    const AFeeder& feeder(Edge e) const { return *feeders.Get(e); }
    // The component or feeder, noted as changed in this fault so that the reset reaches it.
    AComponent& change(Node n);
    AFeeder& change(Edge e);

    void orientFromSupply();
    void findNodesBelowLaterals();
    GmlError indexFeeders();
    Edge newTemporaryEdge(Node source, Node target, Edge original);
    // Climbs the original in-edges from n up to an open switch, reversing them with `reverse`.
    // Returns why it stopped, and the open switch's edge in `openSwitch`.
    enum class PathEnd { OpenSwitch, FaultedFeeder, Root, Ring };
    PathEnd reverseUpstreamPath(Node n, Edge& openSwitch, bool reverse);
    void removeTemporaryEdges();
    // Returns every feeder and node changed since the last reset to the state it was read in.
    void resetAll();

    // A closed section that has not failed: power passes it.
    bool conducts(Edge e) const { return usable(e) && !isOpen(e) && !feeder(e).isFaulted(); }
    // Calls f(edge, the node at its other end) for u's out-edges, then its in-edges: for the walks
    // that follow sections either way (on a ring part of what they reach lies against them).
    template <class F>
    void alongEither(Node u, F f) const
    {
        for (Edge o : OutEdges(u))
            f(o, Target(o));
        for (Edge i : InEdges(u))
            f(i, Source(i));
    }

    // The walks, all through `walker`, so none loops on a ring.
    void disconnectDownstream(Node n);
    void connectTransferred(Node n);
    // What a section in service can carry: nothing when it is out.
    double flowCapacity(Edge e) const;
    // A lateral that a back-feed passes in this fault (see setLateralCapacities).
    bool carriesBackFeed(Edge e) const;
    void markBackFeedLateral(Edge lateral);
    // What holds back a share of the "Thesis method": a main feeder's capacity, or a lateral's
    // when a back-feed passes it; false when nothing does.
    bool holdsShare(Edge e, double& capacity) const;
    void markLateralsAbove(Node live);
    // The maximum flow from the supply through the parts the ties closed in this fault feed or draw
    // on; the loads those parts hold are the ones that may be shed.
    const korvane::graph::MaxFlow& computeMaxFlow();

    // The fault sequence.
    void faultMainFeeder(Edge f);
    void islat(Edge f);
    void clearFault(const std::vector<Edge>& starts);
    std::vector<Edge> feedsFromElsewhere(Edge f);
    enum class Toward { Supply, Loads };
    // Walk starts that come through each edge to its end toward the supply or the loads.
    std::vector<Step> through(const std::vector<Edge>& edges, Toward toward) const;
    Edge findIsolator(const std::vector<Edge>& starts, Toward toward);
    // The usable main sections of `edges`: neither laterals nor ties, which stay open.
    std::vector<Edge> mainSections(const std::vector<Edge>& edges) const;
    void restoreUpstream();
    // Once the isolators around the fault are found: restores the part above (after the upstream
    // isolator's time, when one opens); true when the downstream isolator cuts the part below off,
    // with the clock set to its time for the back-feed.
    bool operateIsolators(Edge upstream, Edge downstream);
    bool wouldReachFault(Node from);
    void reconnectBelow(Edge d);
    void backFeed(const std::vector<Edge>& starts);
    bool reverseDarkSide(Edge tie, Node& dead, Edge& cutOff, bool reverse);
    bool backFeedTime(Edge tie, double& time);
    Edge closeTie(Edge tie);
    void shedLoads();
    void advanceTo(double t);
    void setClock(double t);
    // Appends the laterals at the live end of a tie to `starts`.
    void lateralsSharingTie(Node live, std::vector<Step>& starts) const;
    std::vector<TransferRecord> thesisTransferList(Edge path, const korvane::graph::MaxFlow& flow);
    // Appends the loads it sheds to `shed`.
    void ls(const std::vector<TransferRecord>& transfers, const korvane::graph::MaxFlow& flow, std::vector<Step>& shed);
    void noteEmptySectionsAbove(const std::vector<Step>& shed);
    void undoTemporaryEdges(std::size_t keep);

    korvane::graph::NodeMap<AComponent*> components;
    korvane::graph::EdgeMap<AFeeder*> feeders;
    korvane::graph::EdgeMap<bool> excluded;
    // For a temporary edge, the edge read from the text that it stands for.
    korvane::graph::EdgeMap<Edge> standsFor;
    korvane::graph::MaxFlow maxFlow;
    bool upstreamIsolated = false;
    bool downstreamIsolated = false;
    double elapsed = 0.0;
    bool thesisMethod = false;
    bool unlimitedBackFeeds = false;
    int faultedFeederId = 0;

    std::vector<std::unique_ptr<AComponent>> ownedComponents;
    std::vector<std::unique_ptr<AFeeder>> ownedFeeders;
    std::vector<Node> loadNodes;
    Node supplyNode;
    Node sinkNode;
    std::unordered_map<int, Edge> feederById;
    std::vector<int> idLines;  // while loading: by edge index, the line of a feeder's id
    std::vector<int> feederIds;
    // By node index: a lateral lies above the node as the sections were read, so a tie whose live
    // end it is may pass laterals on its way.
    std::vector<char> belowLateral;

    // State of the current fault.
    Edge faultedEdge;
    std::vector<Edge> trippedEdges;
    std::vector<Edge> standInBreakers;
    // Isolators opened in this fault, and while restoring, those that count as not yet open.
    std::vector<Edge> openedIsolators;
    std::vector<Edge> notYetOpen;
    // The edges through which ties feed isolated parts in this fault, one a part.
    std::vector<Edge> backFeedPaths;
    // The laterals that back-feeds pass in this fault (above the live ends of the ties closed, or
    // turned round as temporary edges), with a mark by edge index.
    std::vector<Edge> backFeedLaterals;
    std::vector<char> backFeedLateral;
    // What this fault has changed: nodes, and the edges read from the text (a temporary edge
    // counts as the one it stands for), each once, with a mark by index.
    std::vector<Node> changedNodes;
    std::vector<Edge> changedEdges;
    std::vector<char> nodeChanged;
    std::vector<char> edgeChanged;
    // The loads of the parts the last maximum flow ran through, and whether a section there may
    // carry nothing for being left at 0 kVA.
    std::vector<Node> flowLoads;
    bool emptySectionInFlow = false;
    // A lateral left at 0 kVA carries a back-feed in this fault.
    bool emptyLateralOnPath = false;
    // Temporary edges, newest last.
    std::vector<Edge> temporaryEdges;
    std::vector<int> unprotectedFeeders;
    std::set<int> emptyFeeders;

    // Marks and stack of the walks; a query walks too.
    mutable korvane::graph::Walker walker{*this};
    std::vector<CGMLResult>* results = nullptr;
};
