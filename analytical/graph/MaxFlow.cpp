#include "analytical/graph/MaxFlow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane::graph {

void MaxFlow::SetVars(EdgeMap<double> capacities, Node source, Node sink)
{
    m_capacities = std::move(capacities);
    m_source = source;
    m_sink = sink;
}

bool MaxFlow::Check(const Graph& graph) const
{
    const auto inGraph = [&](Node n) { return !n.IsNull() && n.index < graph.NodeCount(); };
    if (!m_capacities || !inGraph(m_source) || !inGraph(m_sink) || m_source == m_sink)
        return false;
    bool valid = true;
    graph.ForEachEdge([&](Edge e) {
        const double c = Capacity(e);
        if (!std::isfinite(c) || c < 0.0)
            valid = false;
    });
    return valid;
}

double MaxFlow::GetMaxFlow(Edge e) const
{
    const auto i = static_cast<std::size_t>(e.index);
    return e.index >= 0 && i < m_flow.size() ? m_flow[i] : 0.0;
}

bool MaxFlow::Run(const Graph& graph)
{
    m_flow.assign(static_cast<std::size_t>(graph.EdgeSlots()), 0.0);
    m_total = 0.0;
    m_treeRoute = false;
    if (!Check(graph))
        return false;
    m_cap.assign(static_cast<std::size_t>(graph.EdgeSlots()), 0.0);
    graph.ForEachEdge([&](Edge e) { m_cap[static_cast<std::size_t>(e.index)] = Capacity(e); });
    m_treeRoute = RunTree(graph);
    if (!m_treeRoute) {
        std::fill(m_flow.begin(), m_flow.end(), 0.0);
        m_total = 0.0;
        RunPhases(graph);
    }
    m_cap.clear();
    return true;
}

bool MaxFlow::RunTree(const Graph& graph)
{
    const auto n = static_cast<std::size_t>(graph.NodeCount());
    std::vector<char> seen(n, 0);
    std::vector<Node> order;
    order.push_back(m_source);
    seen[static_cast<std::size_t>(m_source.index)] = 1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (Edge e : graph.OutEdges(order[i])) {
            if (!(m_cap[static_cast<std::size_t>(e.index)] > 0.0))
                continue;
            const Node v = graph.Target(e);
            if (v == m_sink)
                continue;
            if (seen[static_cast<std::size_t>(v.index)])
                return false;
            seen[static_cast<std::size_t>(v.index)] = 1;
            order.push_back(v);
        }
    }

    // What each node could pass on towards the sink, leaves first.
    constexpr double kUnlimited = std::numeric_limits<double>::infinity();
    std::vector<double> need(n, 0.0);
    const auto needOf = [&](Node v) { return v == m_sink ? kUnlimited : need[static_cast<std::size_t>(v.index)]; };
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        double sum = 0.0;
        for (Edge e : graph.OutEdges(*it)) {
            const double c = m_cap[static_cast<std::size_t>(e.index)];
            if (c > 0.0)
                sum += std::min(c, needOf(graph.Target(e)));
        }
        need[static_cast<std::size_t>(it->index)] = sum;
    }

    // Hand the source's flow down, each node's first branches first.
    std::vector<double> inflow(n, 0.0);
    inflow[static_cast<std::size_t>(m_source.index)] = need[static_cast<std::size_t>(m_source.index)];
    for (Node u : order) {
        double left = inflow[static_cast<std::size_t>(u.index)];
        for (Edge e : graph.OutEdges(u)) {
            const double c = m_cap[static_cast<std::size_t>(e.index)];
            if (!(c > 0.0))
                continue;
            const Node v = graph.Target(e);
            const double f = std::max(0.0, std::min({c, needOf(v), left}));
            m_flow[static_cast<std::size_t>(e.index)] = f;
            left -= f;
            if (v == m_sink)
                m_total += f;
            else
                inflow[static_cast<std::size_t>(v.index)] = f;
        }
    }
    return true;
}

void MaxFlow::RunPhases(const Graph& graph)
{
    struct Arc {
        std::int32_t from;
        std::int32_t to;
        std::int32_t edge;  // -1 for a reverse arc
        double residual;
    };
    const auto n = static_cast<std::size_t>(graph.NodeCount());
    std::vector<Arc> arcs;
    std::vector<std::vector<std::int32_t>> adjacent(n);
    for (int i = 0; i < graph.NodeCount(); ++i) {
        const Node u = graph.NodeAt(i);
        for (Edge e : graph.OutEdges(u)) {
            const double c = m_cap[static_cast<std::size_t>(e.index)];
            const Node v = graph.Target(e);
            if (!(c > 0.0) || v == u)
                continue;
            const auto a = static_cast<std::int32_t>(arcs.size());
            arcs.push_back({u.index, v.index, e.index, c});
            arcs.push_back({v.index, u.index, -1, 0.0});
            adjacent[static_cast<std::size_t>(u.index)].push_back(a);
            adjacent[static_cast<std::size_t>(v.index)].push_back(a + 1);
        }
    }
    const auto s = m_source.index;
    const auto t = m_sink.index;
    std::vector<int> level(n);
    std::vector<std::size_t> next(n);
    std::vector<std::int32_t> queue;
    std::vector<std::int32_t> path;

    for (;;) {
        std::fill(level.begin(), level.end(), -1);
        level[static_cast<std::size_t>(s)] = 0;
        queue.assign(1, s);
        for (std::size_t i = 0; i < queue.size(); ++i) {
            const auto u = static_cast<std::size_t>(queue[i]);
            for (std::int32_t a : adjacent[u]) {
                const Arc& arc = arcs[static_cast<std::size_t>(a)];
                if (arc.residual > 0.0 && level[static_cast<std::size_t>(arc.to)] < 0) {
                    level[static_cast<std::size_t>(arc.to)] = level[u] + 1;
                    queue.push_back(arc.to);
                }
            }
        }
        if (level[static_cast<std::size_t>(t)] < 0)
            break;

        // One blocking flow: depth-first along the levels, never retrying an arc that led nowhere.
        std::fill(next.begin(), next.end(), 0);
        path.clear();
        std::int32_t u = s;
        for (;;) {
            if (u == t) {
                double bottleneck = std::numeric_limits<double>::infinity();
                for (std::int32_t a : path)
                    bottleneck = std::min(bottleneck, arcs[static_cast<std::size_t>(a)].residual);
                for (std::int32_t a : path) {
                    arcs[static_cast<std::size_t>(a)].residual -= bottleneck;
                    arcs[static_cast<std::size_t>(a ^ 1)].residual += bottleneck;
                }
                m_total += bottleneck;
                // Back to the tail of the first arc the path used up (its residual is now exactly 0).
                std::size_t k = 0;
                while (k < path.size() && arcs[static_cast<std::size_t>(path[k])].residual > 0.0)
                    ++k;
                u = k < path.size() ? arcs[static_cast<std::size_t>(path[k])].from : s;
                path.resize(k);
                continue;
            }
            const auto ui = static_cast<std::size_t>(u);
            bool advanced = false;
            while (next[ui] < adjacent[ui].size()) {
                const Arc& arc = arcs[static_cast<std::size_t>(adjacent[ui][next[ui]])];
                if (arc.residual > 0.0 && level[static_cast<std::size_t>(arc.to)] == level[ui] + 1) {
                    path.push_back(adjacent[ui][next[ui]]);
                    u = arc.to;
                    advanced = true;
                    break;
                }
                ++next[ui];
            }
            if (advanced)
                continue;
            if (u == s)
                break;
            u = arcs[static_cast<std::size_t>(path.back())].from;
            path.pop_back();
            ++next[static_cast<std::size_t>(u)];
        }
    }

    for (const Arc& arc : arcs)
        if (arc.edge >= 0) {
            const double capacity = m_cap[static_cast<std::size_t>(arc.edge)];
            m_flow[static_cast<std::size_t>(arc.edge)] = std::max(0.0, capacity - arc.residual);
        }
}

}  // namespace korvane::graph
