// Values kept by node or by edge; an entry never written reads as the value type's default.
#pragma once

#include <cstdint>
#include <vector>

#include "analytical/graph/Graph.h"

namespace korvane::graph {

template <typename T>
class NodeMap {
public:
    T Get(Node n) const
    {
        const auto i = static_cast<std::size_t>(n.index);
        return i < m_values.size() ? m_values[i] : T{};
    }
    void Set(Node n, T value)
    {
        const auto i = static_cast<std::size_t>(n.index);
        if (i >= m_values.size())
            m_values.resize(i + 1, T{});
        m_values[i] = std::move(value);
    }

private:
    std::vector<T> m_values;
};

// Edge indices are reused once an edge is deleted, so each entry remembers the serial of the edge
// it was written for and reads as the default for any later edge of the same index.
template <typename T>
class EdgeMap {
public:
    explicit EdgeMap(const Graph& graph) : m_graph(&graph) {}

    T Get(Edge e) const
    {
        const auto i = static_cast<std::size_t>(e.index);
        if (i >= m_values.size() || m_serials[i] != m_graph->Serial(e))
            return T{};
        return m_values[i];
    }
    void Set(Edge e, T value)
    {
        const auto i = static_cast<std::size_t>(e.index);
        if (i >= m_values.size()) {
            m_values.resize(i + 1, T{});
            m_serials.resize(i + 1, 0);
        }
        m_values[i] = std::move(value);
        m_serials[i] = m_graph->Serial(e);
    }

private:
    const Graph* m_graph;
    std::vector<T> m_values;
    std::vector<std::uint32_t> m_serials;
};

}  // namespace korvane::graph
