#include "analytical/graph/Graph.h"

#include <algorithm>
#include <unordered_map>

namespace korvane::graph {

Node Graph::NewNode()
{
    m_nodes.emplace_back();
    return Node{static_cast<std::int32_t>(m_nodes.size() - 1)};
}

Edge Graph::NewEdge(Node source, Node target)
{
    const Edge e{static_cast<std::int32_t>(m_edges.size())};
    m_edges.push_back(EdgeData{source, target, m_nextSerial++, true});
    m_nodes[source.index].out.push_back(e);
    m_nodes[target.index].in.push_back(e);
    ++m_liveEdges;
    return e;
}

bool Graph::IsAlive(Edge e) const
{
    return e.index >= 0 && e.index < static_cast<std::int32_t>(m_edges.size()) && m_edges[e.index].alive;
}

void Graph::DeleteEdge(Edge e)
{
    if (!IsAlive(e))
        return;
    EdgeData& data = m_edges[e.index];
    Remove(m_nodes[data.source.index].out, e);
    Remove(m_nodes[data.target.index].in, e);
    data.alive = false;
    --m_liveEdges;
    // Edges made and deleted during one fault are the newest: dropping the dead tail keeps the
    // edge slots from growing fault after fault.
    while (!m_edges.empty() && !m_edges.back().alive)
        m_edges.pop_back();
}

void Graph::ReverseEdge(Edge e)
{
    if (!IsAlive(e))
        return;
    EdgeData& data = m_edges[e.index];
    Remove(m_nodes[data.source.index].out, e);
    Remove(m_nodes[data.target.index].in, e);
    std::swap(data.source, data.target);
    InsertOrdered(m_nodes[data.source.index].out, e);
    InsertOrdered(m_nodes[data.target.index].in, e);
}

std::vector<Edge> Graph::Edges() const
{
    std::vector<Edge> edges;
    edges.reserve(static_cast<std::size_t>(m_liveEdges));
    ForEachEdge([&](Edge e) { edges.push_back(e); });
    return edges;
}

void Graph::InsertOrdered(std::vector<Edge>& list, Edge e)
{
    list.insert(std::lower_bound(list.begin(), list.end(), e), e);
}

void Graph::Remove(std::vector<Edge>& list, Edge e)
{
    const auto it = std::find(list.begin(), list.end(), e);
    if (it != list.end())
        list.erase(it);
}

namespace {

// The first pair of `record`'s list with the key, or null.
const GmlPair* Find(const GmlPair& record, std::string_view key)
{
    for (const GmlPair& pair : record.list)
        if (pair.key == key)
            return &pair;
    return nullptr;
}

// The pairs of the record other than the ones given, in file order.
GmlPairList Rest(const GmlPair& record, const GmlPair* skip1, const GmlPair* skip2 = nullptr)
{
    GmlPairList rest;
    rest.reserve(record.list.size());
    for (const GmlPair& pair : record.list)
        if (&pair != skip1 && &pair != skip2)
            rest.push_back(&pair);
    return rest;
}

// A record's integer id, source or target: present, an integer, within 32 bits.
GmlError ReadId(const GmlPair& record, const GmlPair* pair, const char* key, std::int32_t& value)
{
    const std::string what = std::string("the ") + record.key + " record";
    if (pair == nullptr)
        return {record.line, what + " has no \"" + key + "\""};
    if (pair->kind != GmlPair::Kind::Int)
        return {pair->line, std::string("\"") + key + "\" must be an integer"};
    if (pair->intValue < INT32_MIN || pair->intValue > INT32_MAX)
        return {pair->line, std::string("\"") + key + "\" " + std::to_string(pair->intValue) + " is out of range"};
    value = static_cast<std::int32_t>(pair->intValue);
    return {};
}

}  // namespace

GmlError Graph::LoadGml(std::string_view text)
{
    std::vector<GmlPair> top;
    if (GmlError error = ParseGml(text, top); error.IsError())
        return error;

    const GmlPair* graph = nullptr;
    for (const GmlPair& pair : top)
        if (pair.key == "graph" && pair.kind == GmlPair::Kind::List) {
            graph = &pair;
            break;
        }
    if (graph == nullptr)
        return {0, "the text holds no \"graph [ ... ]\" list"};

    std::vector<const GmlPair*> nodeRecords;
    std::vector<const GmlPair*> edgeRecords;
    for (const char* kind : {"node", "edge"})
        for (const GmlPair& record : graph->list) {
            if (record.key != kind)
                continue;
            if (record.kind != GmlPair::Kind::List)
                return {record.line, "\"" + record.key + "\" must be followed by a bracketed record"};
            (record.key == "node" ? nodeRecords : edgeRecords).push_back(&record);
        }
    OrderRecords(nodeRecords, edgeRecords);

    std::unordered_map<std::int32_t, std::pair<Node, int>> nodesById;  // GML id -> node, line
    for (const GmlPair* nodeRecord : nodeRecords) {
        const GmlPair& record = *nodeRecord;
        const GmlPair* idPair = Find(record, "id");
        std::int32_t id = 0;
        if (GmlError error = ReadId(record, idPair, "id", id); error.IsError())
            return error;
        const Node n = NewNode();
        const auto [it, fresh] = nodesById.emplace(id, std::make_pair(n, record.line));
        if (!fresh)
            return {idPair->line, "node id " + std::to_string(id) + " is given twice (first on line " +
                                      std::to_string(it->second.second) + ")"};
        if (GmlError error = OnNodeRecord(n, record, Rest(record, idPair)); error.IsError())
            return error;
    }

    for (const GmlPair* edgeRecord : edgeRecords) {
        const GmlPair& record = *edgeRecord;
        const GmlPair* sourcePair = Find(record, "source");
        const GmlPair* targetPair = Find(record, "target");
        std::int32_t ends[2] = {0, 0};
        const GmlPair* pairs[2] = {sourcePair, targetPair};
        const char* keys[2] = {"source", "target"};
        Node nodes[2];
        for (int i = 0; i < 2; ++i) {
            if (GmlError error = ReadId(record, pairs[i], keys[i], ends[i]); error.IsError())
                return error;
            const auto it = nodesById.find(ends[i]);
            if (it == nodesById.end())
                return {pairs[i]->line, std::string("the edge's ") + keys[i] + " " + std::to_string(ends[i]) +
                                            " names no node"};
            nodes[i] = it->second.first;
        }
        const Edge e = NewEdge(nodes[0], nodes[1]);
        if (GmlError error = OnEdgeRecord(e, record, Rest(record, sourcePair, targetPair)); error.IsError())
            return error;
    }
    return {};
}

}  // namespace korvane::graph
