#include "analytical/graph/MaxFlow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane::graph {

namespace {

constexpr double kUnlimited = std::numeric_limits<double>::infinity();

bool Usable(double c)
{
    return std::isfinite(c) && c >= 0.0;
}

template <typename T>
void GrowTo(std::vector<T>& values, int size)
{
    if (values.size() < static_cast<std::size_t>(size))
        values.resize(static_cast<std::size_t>(size), T{});
}

}  // namespace

void MaxFlow::SetVars(CapacityFunction capacity, Node source, Node sink, std::vector<Edge> starts)
{
    m_function = std::move(capacity);
    m_starts = std::move(starts);
    m_source = source;
    m_sink = sink;
}

bool MaxFlow::Valid(const Graph& graph) const
{
    const auto inGraph = [&](Node n) { return !n.IsNull() && n.index < graph.NodeCount(); };
    return m_function && inGraph(m_source) && inGraph(m_sink) && m_source != m_sink;
}

double MaxFlow::GetMaxFlow(Edge e) const
{
    const auto i = static_cast<std::size_t>(e.index);
    return e.index >= 0 && i < m_flow.size() ? m_flow[i] : 0.0;
}

// Capacities, needs and inflows are written before a run reads them; only the flow, which anyone
// may read for any edge, and the marks must be cleared.
void MaxFlow::Forget()
{
    for (Edge e : m_flowEdges)
        m_flow[static_cast<std::size_t>(e.index)] = 0.0;
    m_flowEdges.clear();
    for (Node u : m_order)
        m_seen[static_cast<std::size_t>(u.index)] = 0;
    m_order.clear();
}

bool MaxFlow::Run(const Graph& graph)
{
    Forget();
    if (!Valid(graph))
        return false;
    GrowTo(m_flow, graph.EdgeSlots());
    GrowTo(m_cap, graph.EdgeSlots());
    GrowTo(m_seen, graph.NodeCount());
    GrowTo(m_need, graph.NodeCount());
    GrowTo(m_inflow, graph.NodeCount());
    if (!Reach(graph))
        return false;
    if (m_tree)
        RunTree(graph);
    else
        RunPhases(graph);
    return true;
}

bool MaxFlow::Reach(const Graph& graph)
{
    m_tree = true;
    m_order.push_back(m_source);
    m_seen[static_cast<std::size_t>(m_source.index)] = 1;
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        for (Edge e : Leaving(graph, m_order[i])) {
            const double c = m_function(e);
            if (!Usable(c))
                return false;
            m_cap[static_cast<std::size_t>(e.index)] = c;
            m_flowEdges.push_back(e);
            const Node v = graph.Target(e);
            if (!(c > 0.0) || v == m_sink)
                continue;
            if (m_seen[static_cast<std::size_t>(v.index)]) {
                m_tree = false;
                continue;
            }
            m_seen[static_cast<std::size_t>(v.index)] = 1;
            m_order.push_back(v);
        }
    }
    return true;
}

void MaxFlow::RunTree(const Graph& graph)
{
    // What each node could pass on towards the sink, leaves first.
    const auto needOf = [&](Node v) { return v == m_sink ? kUnlimited : m_need[static_cast<std::size_t>(v.index)]; };
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        double sum = 0.0;
        for (Edge e : Leaving(graph, *it)) {
            const double c = m_cap[static_cast<std::size_t>(e.index)];
            if (c > 0.0)
                sum += std::min(c, needOf(graph.Target(e)));
        }
        m_need[static_cast<std::size_t>(it->index)] = sum;
    }

    // Hand the source's flow down, each node's first branches first.
    m_inflow[static_cast<std::size_t>(m_source.index)] = m_need[static_cast<std::size_t>(m_source.index)];
    for (Node u : m_order) {
        double left = m_inflow[static_cast<std::size_t>(u.index)];
        for (Edge e : Leaving(graph, u)) {
            const double c = m_cap[static_cast<std::size_t>(e.index)];
            if (!(c > 0.0))
                continue;
            const Node v = graph.Target(e);
            const double f = std::max(0.0, std::min({c, needOf(v), left}));
            m_flow[static_cast<std::size_t>(e.index)] = f;
            left -= f;
            if (v != m_sink)
                m_inflow[static_cast<std::size_t>(v.index)] = f;
        }
    }
}

void MaxFlow::RunPhases(const Graph& graph)
{
    struct Arc {
        std::int32_t from;  // local node numbers
        std::int32_t to;
        std::int32_t edge;  // -1 for a reverse arc
        double residual;
    };
    // The reached nodes in the graph's node order, then the sink, numbered locally: the arcs come
    // out in the same order as over the whole graph.
    std::vector<Node> nodes = m_order;
    std::sort(nodes.begin(), nodes.end());
    nodes.push_back(m_sink);
    const auto local = [&](Node v) {
        return static_cast<std::int32_t>(v == m_sink ? nodes.size() - 1
                                                     : std::lower_bound(nodes.begin(), nodes.end() - 1, v) - nodes.begin());
    };
    const std::size_t n = nodes.size();
    std::vector<Arc> arcs;
    std::vector<std::vector<std::int32_t>> adjacent(n);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Node u = nodes[i];
        for (Edge e : Leaving(graph, u)) {
            const double c = m_cap[static_cast<std::size_t>(e.index)];
            const Node v = graph.Target(e);
            if (!(c > 0.0) || v == u)
                continue;
            const auto a = static_cast<std::int32_t>(arcs.size());
            const std::int32_t to = local(v);
            arcs.push_back({static_cast<std::int32_t>(i), to, e.index, c});
            arcs.push_back({to, static_cast<std::int32_t>(i), -1, 0.0});
            adjacent[i].push_back(a);
            adjacent[static_cast<std::size_t>(to)].push_back(a + 1);
        }
    }
    const std::int32_t s = local(m_source);
    const std::int32_t t = local(m_sink);
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
                double bottleneck = kUnlimited;
                for (std::int32_t a : path)
                    bottleneck = std::min(bottleneck, arcs[static_cast<std::size_t>(a)].residual);
                for (std::int32_t a : path) {
                    arcs[static_cast<std::size_t>(a)].residual -= bottleneck;
                    arcs[static_cast<std::size_t>(a ^ 1)].residual += bottleneck;
                }
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
