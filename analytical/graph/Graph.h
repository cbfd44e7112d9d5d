// A directed graph with ordered in- and out-edge lists, loadable from GML through node and edge hooks.
#pragma once

#include <compare>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analytical/graph/Gml.h"

namespace korvane::graph {

// Handles of nodes and edges; a default-made handle is null.
struct Node {
    std::int32_t index = -1;
    bool IsNull() const { return index < 0; }
    friend auto operator<=>(Node, Node) = default;
};

struct Edge {
    std::int32_t index = -1;
    bool IsNull() const { return index < 0; }
    friend auto operator<=>(Edge, Edge) = default;
};

class Graph {
public:
    Graph() = default;
    virtual ~Graph() = default;
    Graph(const Graph&) = delete;
    Graph& operator=(const Graph&) = delete;

    Node NewNode();
    // Appends an edge; it comes last in the edge order and in both ends' lists.
    virtual Edge NewEdge(Node source, Node target);
    void DeleteEdge(Edge e);
    // Turns an edge round. Every edge list is kept in creation order, so the edge order and each
    // node's lists come out the same whichever way the edge was made.
    void ReverseEdge(Edge e);

    Node Source(Edge e) const { return m_edges[e.index].source; }
    Node Target(Edge e) const { return m_edges[e.index].target; }
    const std::vector<Edge>& InEdges(Node n) const { return m_nodes[n.index].in; }
    const std::vector<Edge>& OutEdges(Node n) const { return m_nodes[n.index].out; }
    bool IsAlive(Edge e) const;

    int NodeCount() const { return static_cast<int>(m_nodes.size()); }
    // Nodes are never deleted: they are the indices 0 to NodeCount() - 1 in creation order.
    Node NodeAt(int index) const { return Node{index}; }
    int EdgeCount() const { return m_liveEdges; }
    // One past the highest edge index in use; edge maps size themselves by it.
    int EdgeSlots() const { return static_cast<int>(m_edges.size()); }
    // The live edges in creation order.
    std::vector<Edge> Edges() const;
    template <typename F>
    void ForEachEdge(F&& f) const
    {
        for (std::int32_t i = 0; i < static_cast<std::int32_t>(m_edges.size()); ++i)
            if (m_edges[i].alive)
                f(Edge{i});
    }
    // Tells an edge from an earlier one that had the same index; edge maps check it.
    // 0 for an index not in use.
    std::uint32_t Serial(Edge e) const
    {
        return e.index >= 0 && e.index < static_cast<std::int32_t>(m_edges.size()) ? m_edges[e.index].serial : 0;
    }

    // Reads a GML text holding "graph [ ... ]": a node for every "node [ id ... ]" record and an
    // edge for every "edge [ source ... target ... ]" record, in record order (or the order
    // OrderRecords gives), all nodes first. Each record goes to its hook without the pairs read
    // here. The first error stops the load.
    GmlError LoadGml(std::string_view text);

protected:
    // Given the node records and the edge records in file order, may put each list in the order
    // their nodes and edges are to be made. The records are not checked yet.
    virtual void OrderRecords(std::vector<const GmlPair*>& /*nodes*/, std::vector<const GmlPair*>& /*edges*/) const {}

    // Given the node or edge made for a record, the record itself (for its line) and its other
    // pairs in file order. An error stops the load.
    virtual GmlError OnNodeRecord(Node, const GmlPair&, const GmlPairList&) { return {}; }
    virtual GmlError OnEdgeRecord(Edge, const GmlPair&, const GmlPairList&) { return {}; }

private:
    struct NodeData {
        std::vector<Edge> in;
        std::vector<Edge> out;
    };
    struct EdgeData {
        Node source;
        Node target;
        std::uint32_t serial = 0;
        bool alive = false;
    };

    static void InsertOrdered(std::vector<Edge>& list, Edge e);
    static void Remove(std::vector<Edge>& list, Edge e);

    std::vector<NodeData> m_nodes;
    std::vector<EdgeData> m_edges;
    std::uint32_t m_nextSerial = 1;
    int m_liveEdges = 0;
};

}  // namespace korvane::graph
