// Maximum flow from one node to another by augmenting paths; deterministic for a given graph.
#pragma once

#include <optional>
#include <vector>

#include "analytical/graph/Graph.h"
#include "analytical/graph/GraphMaps.h"

namespace korvane::graph {

// Where the edges with capacity form a tree hanging from the source (every other node entered by
// one such edge, the sink by any number), paths are augmented depth first in edge-list order, in
// one pass over the tree: the first branch of a node takes all it can carry before the next gets
// any. Otherwise shortest augmenting paths are used in phases (blocking flows), which ends after at
// most as many phases as there are nodes whatever the capacities.
class MaxFlow {
public:
    MaxFlow() = default;

    void SetVars(EdgeMap<double> capacities, Node source, Node sink);
    // True when source and sink are nodes of the graph and differ, and every capacity is finite
    // and not negative.
    bool Check(const Graph& graph) const;
    bool Run(const Graph& graph);

    double GetMaxFlow() const { return m_total; }
    // The flow through the edge in the last run; 0 for an edge that took no part.
    double GetMaxFlow(Edge e) const;
    // Whether the last run took the one-pass tree route (for tests).
    bool UsedTreeRoute() const { return m_treeRoute; }

private:
    bool RunTree(const Graph& graph);
    void RunPhases(const Graph& graph);
    double Capacity(Edge e) const { return m_capacities ? m_capacities->Get(e) : 0.0; }

    std::optional<EdgeMap<double>> m_capacities;
    std::vector<double> m_cap;   // the capacities by edge index for one run; 0 where no edge is
    Node m_source;
    Node m_sink;
    std::vector<double> m_flow;  // by edge index
    double m_total = 0.0;
    bool m_treeRoute = false;
};

}  // namespace korvane::graph
