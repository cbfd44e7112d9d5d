// Maximum flow from one node to another by augmenting paths; deterministic for a given graph.
#pragma once

#include <functional>
#include <vector>

#include "analytical/graph/Graph.h"

namespace korvane::graph {

// Where the edges with capacity form a tree hanging from the source (every other node entered by
// one such edge, the sink by any number), paths are augmented depth first in edge-list order, in
// one pass over the tree: the first branch of a node takes all it can carry before the next gets
// any. Otherwise shortest augmenting paths are used in phases (blocking flows), which ends after at
// most as many phases as there are nodes whatever the capacities.
//
// A run costs what the flow can reach from the source, not the size of the graph: a flow leaving
// the source by a few of its edges touches only what lies behind them, and one object run again
// and again reuses its memory.
class MaxFlow {
public:
    using CapacityFunction = std::function<double(Edge)>;

    MaxFlow() = default;

    // The capacities as a function of the edge; the flow leaves the source by `starts`, out-edges
    // of the source, only.
    void SetVars(CapacityFunction capacity, Node source, Node sink, std::vector<Edge> starts);
    // False, with no flow, unless source and sink are nodes of the graph and differ, and every
    // capacity the flow can meet is finite and not negative.
    bool Run(const Graph& graph);

    // The flow through the edge in the last run; 0 for an edge that took no part.
    double GetMaxFlow(Edge e) const;

private:
    bool Valid(const Graph& graph) const;
    // The edges the flow may leave `u` by.
    const std::vector<Edge>& Leaving(const Graph& graph, Node u) const
    {
        return u == m_source ? m_starts : graph.OutEdges(u);
    }
    // Finds what the flow can reach, breadth first, noting the capacities on the way; false when a
    // capacity is not finite or negative.
    bool Reach(const Graph& graph);
    void RunTree(const Graph& graph);
    void RunPhases(const Graph& graph);
    void Forget();

    CapacityFunction m_function;
    std::vector<Edge> m_starts;
    Node m_source;
    Node m_sink;

    // Of the last run, by edge or node index. Only the entries of m_flow and m_seen it reached are
    // not 0; the others hold what some run left.
    std::vector<double> m_flow;
    std::vector<Edge> m_flowEdges;  // the edges with an entry in m_flow
    std::vector<double> m_cap;
    std::vector<char> m_seen;
    std::vector<Node> m_order;  // reached nodes (the sink apart), breadth first
    bool m_tree = true;
    std::vector<double> m_need;
    std::vector<double> m_inflow;
};

}  // namespace korvane::graph
