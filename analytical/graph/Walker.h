// Depth-first walks over a graph, each node entered once, with visited marks and a stack reused
// from walk to walk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <type_traits>
#include <vector>

#include "analytical/graph/Graph.h"

namespace korvane::graph {

class Walker {
    struct NoHook {};

public:
    // How a walk comes to a node: through the edge `via`, or from nowhere at a start.
    struct Step {
        Step(Node n) : node(n) {}
        Step(Edge e, Node n) : via(e), node(n) {}
        Edge via;
        Node node;
    };

    explicit Walker(const Graph& graph) : m_graph(&graph) {}

    // Starts a new set of marks: every node unseen, at once.
    void Begin()
    {
        if (m_marks.size() != static_cast<std::size_t>(m_graph->NodeCount()))
            m_marks.assign(static_cast<std::size_t>(m_graph->NodeCount()), 0);
        if (++m_walk == 0) {
            std::fill(m_marks.begin(), m_marks.end(), 0);
            m_walk = 1;
        }
    }
    // Marks the node seen; false when it already was.
    bool Visit(Node n)
    {
        std::uint32_t& mark = m_marks[static_cast<std::size_t>(n.index)];
        if (mark == m_walk)
            return false;
        mark = m_walk;
        return true;
    }
    bool Seen(Node n) const { return m_marks[static_cast<std::size_t>(n.index)] == m_walk; }

    // Depth first from the starts, the first start first, in the order a recursive walk takes:
    // everything reached through one step is done before the next step from the same node.
    // - enter(step, take) runs when the walk enters a node for the first time. It calls
    //   take(edge, next) for each edge the walk is to go on through, in order, and may end the
    //   whole walk by returning true (Walk then returns true).
    // - arrive(step), when given, runs as the walk comes to a node through an edge (a start
    //   through an edge included), before the node's mark is looked at; false turns the walk back.
    // - leave(step), when given, runs once everything reached from an entered node is done.
    // One walk at a time: the hooks must not start another.
    template <class Enter, class Arrive = NoHook, class Leave = NoHook>
    bool Walk(const std::vector<Step>& starts, Enter enter, Arrive arrive = {}, Leave leave = {})
    {
        return Run(starts.rbegin(), starts.rend(), enter, arrive, leave);
    }
    template <class Enter, class Arrive = NoHook, class Leave = NoHook>
    bool Walk(std::initializer_list<Step> starts, Enter enter, Arrive arrive = {}, Leave leave = {})
    {
        return Run(std::rbegin(starts), std::rend(starts), enter, arrive, leave);
    }

private:
    struct Entry {
        Step step;
        bool leaving;
    };

    template <class It, class Enter, class Arrive, class Leave>
    bool Run(It first, It last, Enter& enter, Arrive& arrive, Leave& leave)
    {
        Begin();
        m_stack.clear();
        for (; first != last; ++first)
            m_stack.push_back({*first, false});
        const auto take = [this](Edge e, Node next) {
            // Without an arrive hook a node seen now stays seen: no need to come to it again.
            if constexpr (std::is_same_v<Arrive, NoHook>) {
                if (Seen(next))
                    return;
            }
            m_stack.push_back({Step(e, next), false});
        };
        while (!m_stack.empty()) {
            const Entry entry = m_stack.back();
            m_stack.pop_back();
            const Step& step = entry.step;
            if constexpr (!std::is_same_v<Leave, NoHook>) {
                if (entry.leaving) {
                    leave(step);
                    continue;
                }
            }
            if constexpr (!std::is_same_v<Arrive, NoHook>) {
                if (!step.via.IsNull() && !arrive(step))
                    continue;
            }
            if (!Visit(step.node))
                continue;
            if constexpr (!std::is_same_v<Leave, NoHook>)
                m_stack.push_back({step, true});
            const std::size_t taken = m_stack.size();
            if constexpr (std::is_same_v<decltype(enter(step, take)), bool>) {
                if (enter(step, take))
                    return true;
            } else {
                enter(step, take);
            }
            // Taken in order, so popped in order.
            std::reverse(m_stack.begin() + static_cast<std::ptrdiff_t>(taken), m_stack.end());
        }
        return false;
    }

    const Graph* m_graph;
    std::vector<std::uint32_t> m_marks;
    std::uint32_t m_walk = 0;
    std::vector<Entry> m_stack;
};

}  // namespace korvane::graph
