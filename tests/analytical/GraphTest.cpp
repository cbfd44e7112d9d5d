#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analytical/graph/Gml.h"
#include "analytical/graph/Graph.h"
#include "analytical/graph/GraphMaps.h"
#include "analytical/graph/MaxFlow.h"

using namespace korvane::graph;

TEST(GmlReader, ReadsValuesOfEveryKind)
{
    std::vector<GmlPair> pairs;
    const GmlError error = ParseGml("# a comment\ngraph [ a 12 b -3.5e2 c 10000000. d \"two\nlines\" e [ ] f .25 ]", pairs);
    ASSERT_FALSE(error.IsError()) << error.Text();
    ASSERT_EQ(pairs.size(), 1u);
    const auto& list = pairs[0].list;
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].kind, GmlPair::Kind::Int);
    EXPECT_EQ(list[0].intValue, 12);
    EXPECT_EQ(list[1].kind, GmlPair::Kind::Real);
    EXPECT_EQ(list[1].realValue, -350.0);
    EXPECT_EQ(list[2].realValue, 10000000.0);
    EXPECT_EQ(list[3].text, "two\nlines");
    EXPECT_EQ(list[4].kind, GmlPair::Kind::List);
    EXPECT_EQ(list[5].line, 3);
    EXPECT_EQ(list[5].realValue, 0.25);
}

TEST(GmlReader, RefusesMalformedTextNamingTheLine)
{
    using namespace std::literals;
    struct Case {
        std::string_view text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"graph [\nnode [ id 1 ]\n"sv, 3, "the list opened on line 1 is not closed"},
        {"graph [ ]\n]"sv, 2, "']' closes no list"},
        {"graph [\n 7 ]"sv, 2, "expected a key, found '7'"},
        {"graph [\nid ]"sv, 2, "expected a value for \"id\", found ']'"},
        {"graph [\nid"sv, 2, "the key \"id\" has no value"},
        {"graph [\nid 12abc ]"sv, 2, "the value \"12abc\" of \"id\" is not a number"},
        {"graph [\nid - ]"sv, 2, "the value \"-\" of \"id\" is not a number"},
        {"graph [\nid 1e ]"sv, 2, "the value \"1e\" of \"id\" is not a number"},
        {"graph [\nid 99999999999999999999 ]"sv, 2, "the integer \"99999999999999999999\" of \"id\" is out of range"},
        {"graph [\nload 1e400 ]"sv, 2, "the number \"1e400\" of \"load\" is out of range"},
        {"graph [\nlabel \"open\n]"sv, 2, "the string that starts here is not closed"},
        {"graph [\n\x01 ]"sv, 2, "expected a key, found byte 0x01"},
        {"graph [\nid 1\0 ]"sv, 2, "the value \"1\\x00\" of \"id\" is not a number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<GmlPair> pairs;
        const GmlError error = ParseGml(c.text, pairs);
        ASSERT_TRUE(error.IsError());
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.message, c.message);
        EXPECT_TRUE(pairs.empty());
    }
    // Lists nested beyond the limit are refused, not followed down the stack.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "a [ ";
    std::vector<GmlPair> pairs;
    EXPECT_NE(ParseGml(deep, pairs).message.find("nested more than 32 deep"), std::string::npos);
}

namespace {

// Records the keys each hook was handed; a record whose first key is "bad" is refused.
class RecordingGraph : public Graph {
public:
    std::vector<std::vector<std::string>> nodeKeys;
    std::vector<std::vector<std::string>> edgeKeys;

protected:
    GmlError OnNodeRecord(Node, const GmlPair& record, const GmlPairList& pairs) override
    {
        return Record(nodeKeys, record, pairs);
    }
    GmlError OnEdgeRecord(Edge, const GmlPair& record, const GmlPairList& pairs) override
    {
        return Record(edgeKeys, record, pairs);
    }

private:
    static GmlError Record(std::vector<std::vector<std::string>>& keys, const GmlPair& record, const GmlPairList& pairs)
    {
        keys.emplace_back();
        for (const GmlPair* p : pairs)
            keys.back().push_back(p->key);
        return !pairs.empty() && pairs[0]->key == "bad" ? GmlError{record.line, "refused by the hook"} : GmlError{};
    }
};

}  // namespace

TEST(GraphLoad, HandsEachRecordToItsHookWithoutTheKeysItReads)
{
    RecordingGraph g;
    const GmlError error = g.LoadGml("graph [ directed 1 edge [ x 1 source 2 target 1 y 2 ]\n"
                                     "node [ a 1 id 1 b 2 ] node [ id 2 ] label \"net\" ]");
    ASSERT_FALSE(error.IsError()) << error.Text();
    ASSERT_EQ(g.NodeCount(), 2);
    ASSERT_EQ(g.EdgeCount(), 1);
    EXPECT_EQ(g.nodeKeys[0], (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(g.nodeKeys[1].empty());
    EXPECT_EQ(g.edgeKeys[0], (std::vector<std::string>{"x", "y"}));
    const Edge e = g.Edges()[0];
    EXPECT_EQ(g.Source(e), g.NodeAt(1));
    EXPECT_EQ(g.Target(e), g.NodeAt(0));
}

TEST(GraphLoad, RefusesRecordsItCannotPlace)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"node [ id 1 ]", "the text holds no \"graph [ ... ]\" list"},
        {"graph [ node [ ] ]", "line 1: the node record has no \"id\""},
        {"graph [ node [ id 1.5 ] ]", "line 1: \"id\" must be an integer"},
        {"graph [ node [ id 4294967296 ] ]", "line 1: \"id\" 4294967296 is out of range"},
        {"graph [ node [ id 1 ]\nnode [ id 1 ] ]", "line 2: node id 1 is given twice (first on line 1)"},
        {"graph [ node 3 ]", "line 1: \"node\" must be followed by a bracketed record"},
        {"graph [ node [ id 1 ] edge [ target 1 ] ]", "line 1: the edge record has no \"source\""},
        {"graph [ node [ id 1 ]\nedge [ source 1\ntarget 2 ] ]", "line 3: the edge's target 2 names no node"},
        {"graph [ node [ id 1 ]\nedge [ bad 1 source 1 target 1 ] ]", "line 2: refused by the hook"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingGraph g;
        const GmlError error = g.LoadGml(c.text);
        ASSERT_TRUE(error.IsError());
        EXPECT_EQ(error.Text(), c.error);
    }
}

TEST(Graph, ReversedEdgeKeepsCreationOrderInEveryList)
{
    Graph g;
    const Node a = g.NewNode();
    const Node b = g.NewNode();
    const Node c = g.NewNode();
    const Edge e0 = g.NewEdge(a, b);
    const Edge e1 = g.NewEdge(b, c);  // drawn the other way round
    const Edge e2 = g.NewEdge(a, c);
    g.ReverseEdge(e1);
    EXPECT_EQ(g.Source(e1), c);
    EXPECT_EQ(g.Target(e1), b);
    EXPECT_EQ(g.InEdges(b), (std::vector<Edge>{e0, e1}));
    EXPECT_EQ(g.OutEdges(c), (std::vector<Edge>{e1}));
    EXPECT_EQ(g.Edges(), (std::vector<Edge>{e0, e1, e2}));
}

// Deleting the newest edges frees their slots; a map entry written for a deleted edge must not
// be read back for the edge that takes its slot.
TEST(Graph, EdgeMapForgetsDeletedEdges)
{
    Graph g;
    const Node a = g.NewNode();
    const Node b = g.NewNode();
    const Edge kept = g.NewEdge(a, b);
    EdgeMap<bool> flag(g);
    for (int round = 0; round < 1000; ++round) {
        const Edge temporary = g.NewEdge(b, a);
        EXPECT_FALSE(flag.Get(temporary));
        flag.Set(temporary, true);
        g.DeleteEdge(temporary);
    }
    EXPECT_EQ(g.EdgeSlots(), 1);
    EXPECT_EQ(g.EdgeCount(), 1);
    EXPECT_EQ(g.OutEdges(b).size(), 0u);
    EXPECT_FALSE(flag.Get(kept));
}

namespace {

struct FlowNet {
    Graph g;
    std::vector<Node> nodes;
    EdgeMap<double> capacity{g};
    MaxFlow flow;  // one object for every run, as the fault simulation uses it
    explicit FlowNet(int n)
    {
        for (int i = 0; i < n; ++i)
            nodes.push_back(g.NewNode());
    }
    Edge Add(int from, int to, double c)
    {
        const Edge e = g.NewEdge(nodes[static_cast<std::size_t>(from)], nodes[static_cast<std::size_t>(to)]);
        capacity.Set(e, c);
        return e;
    }
    const MaxFlow& Run(int source, int sink, bool runs = true)
    {
        const Node s = nodes[static_cast<std::size_t>(source)];
        flow.SetVars([this](Edge e) { return capacity.Get(e); }, s, nodes[static_cast<std::size_t>(sink)], g.OutEdges(s));
        EXPECT_EQ(flow.Run(g), runs);
        return flow;
    }
};

}  // namespace

TEST(MaxFlow, TreeGivesFirstBranchesAllTheyCanCarry)
{
    // 0 -> 1 (70); 1 -> 2 (40) -> sink 4; 1 -> 3 (1e7) -> sink (50).
    FlowNet n(5);
    n.Add(0, 1, 70);
    const Edge first = n.Add(1, 2, 40);
    const Edge second = n.Add(1, 3, 1e7);
    n.Add(2, 4, 40);
    n.Add(3, 4, 50);
    const MaxFlow flow = n.Run(0, 4);
    EXPECT_DOUBLE_EQ(flow.GetMaxFlow(first), 40);
    EXPECT_DOUBLE_EQ(flow.GetMaxFlow(second), 30);
    // Catches a flow left over from the run before on an edge that no longer carries any.
    n.capacity.Set(first, 0);
    EXPECT_DOUBLE_EQ(n.Run(0, 4).GetMaxFlow(first), 0);
    EXPECT_DOUBLE_EQ(n.Run(0, 4).GetMaxFlow(second), 50);
}

TEST(MaxFlow, RefusesBadInput)
{
    FlowNet n(2);
    const Edge e = n.Add(0, 1, -1);
    n.Run(0, 0, false);
    n.Run(0, 1, false);
    n.capacity.Set(e, NAN);
    EXPECT_DOUBLE_EQ(n.Run(0, 1, false).GetMaxFlow(e), 0);
}

// On random graphs the flow is conserved at every node, no edge carries more than its capacity,
// and the value equals the capacity of the cut left by the last search (max-flow min-cut).
TEST(MaxFlow, RandomGraphsConserveFlowAndMeetTheCut)
{
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        const int nodes = 2 + static_cast<int>(random() % 12);
        FlowNet n(nodes);
        std::vector<Edge> edges;
        const int count = static_cast<int>(random() % 30);
        std::uniform_real_distribution<double> cap(0.0, 10.0);
        for (int i = 0; i < count; ++i)
            edges.push_back(n.Add(static_cast<int>(random() % nodes), static_cast<int>(random() % nodes),
                                  random() % 4 == 0 ? 0.0 : cap(random)));
        const MaxFlow flow = n.Run(0, nodes - 1);
        std::vector<double> balance(static_cast<std::size_t>(nodes), 0.0);
        for (Edge e : edges) {
            const double f = flow.GetMaxFlow(e);
            EXPECT_GE(f, 0.0);
            EXPECT_LE(f, n.capacity.Get(e) + 1e-9);
            if (n.g.Source(e) != n.g.Target(e)) {
                balance[static_cast<std::size_t>(n.g.Source(e).index)] -= f;
                balance[static_cast<std::size_t>(n.g.Target(e).index)] += f;
            }
        }
        for (int v = 1; v + 1 < nodes; ++v)
            EXPECT_NEAR(balance[static_cast<std::size_t>(v)], 0.0, 1e-9) << "round " << round << " node " << v;

        // Nodes reachable from the source in the residual graph; the edges leaving them are full.
        std::vector<char> reach(static_cast<std::size_t>(nodes), 0);
        reach[0] = 1;
        for (bool grew = true; grew;) {
            grew = false;
            for (Edge e : edges) {
                const auto s = static_cast<std::size_t>(n.g.Source(e).index);
                const auto t = static_cast<std::size_t>(n.g.Target(e).index);
                const double f = flow.GetMaxFlow(e);
                if (reach[s] && !reach[t] && f < n.capacity.Get(e) - 1e-9)
                    reach[t] = 1, grew = true;
                if (reach[t] && !reach[s] && f > 1e-9)
                    reach[s] = 1, grew = true;
            }
        }
        ASSERT_FALSE(reach[static_cast<std::size_t>(nodes - 1)]) << "round " << round;
        double cut = 0.0;
        for (Edge e : edges)
            if (reach[static_cast<std::size_t>(n.g.Source(e).index)] &&
                !reach[static_cast<std::size_t>(n.g.Target(e).index)])
                cut += n.capacity.Get(e);
        EXPECT_NEAR(cut, balance[static_cast<std::size_t>(nodes - 1)], 1e-9) << "round " << round;
    }
}

namespace {

// The maximum flow value by plain Edmonds-Karp on a capacity matrix: an independent reference.
double EdmondsKarp(std::vector<std::vector<double>> residual, int s, int t)
{
    const auto n = residual.size();
    double total = 0.0;
    for (;;) {
        std::vector<int> parent(n, -1);
        parent[static_cast<std::size_t>(s)] = s;
        std::vector<int> queue{s};
        for (std::size_t i = 0; i < queue.size() && parent[static_cast<std::size_t>(t)] < 0; ++i)
            for (std::size_t v = 0; v < n; ++v)
                if (parent[v] < 0 && residual[static_cast<std::size_t>(queue[i])][v] > 1e-12)
                    parent[v] = queue[i], queue.push_back(static_cast<int>(v));
        if (parent[static_cast<std::size_t>(t)] < 0)
            return total;
        double bottleneck = 1e300;
        for (int v = t; v != s; v = parent[static_cast<std::size_t>(v)])
            bottleneck = std::min(bottleneck, residual[static_cast<std::size_t>(parent[static_cast<std::size_t>(v)])][static_cast<std::size_t>(v)]);
        for (int v = t; v != s; v = parent[static_cast<std::size_t>(v)]) {
            const auto u = static_cast<std::size_t>(parent[static_cast<std::size_t>(v)]);
            residual[u][static_cast<std::size_t>(v)] -= bottleneck;
            residual[static_cast<std::size_t>(v)][u] += bottleneck;
        }
        total += bottleneck;
    }
}

}  // namespace

// Regression: with the reverse residual not updated, no flow was ever cancelled and the flow could
// stop short of the maximum (the back-feed capacities rest on it); the random graphs above never
// need a cancel. In the 7-node case the shortest path 0-1-4-6 takes the edge 4-6 that node 3's
// only path needs, and the second unit must turn 1-4 back: 1 instead of 2.
TEST(MaxFlow, MatchesAnIndependentReferenceWhereFlowMustBeCancelled)
{
    struct Arc {
        int from, to;
        double capacity;
    };
    const std::vector<Arc> sevenNodes = {{0, 1, 1}, {0, 3, 1}, {1, 4, 1}, {1, 2, 1}, {2, 5, 1}, {5, 6, 1}, {3, 4, 1}, {4, 6, 1}};
    std::vector<std::pair<int, std::vector<Arc>>> graphs = {{7, sevenNodes}};
    std::mt19937 random(23);
    // Layered: the source, a left and a right layer, the sink. Every path is as short as every
    // other, so a flow that cannot be cancelled stops at the first blocking one, as a greedy
    // matching does; a few edges anywhere else make the graphs general.
    for (int round = 0; round < 200; ++round) {
        const int left = 2 + static_cast<int>(random() % 3);
        const int right = 2 + static_cast<int>(random() % 3);
        const int sink = left + right + 1;
        const auto capacity = [&random] { return static_cast<double>(1 + random() % 2); };
        std::vector<Arc> arcs;
        for (int u = 1; u <= left; ++u) {
            arcs.push_back({0, u, capacity()});
            for (int v = left + 1; v < sink; ++v)
                if (random() % 2 == 0)
                    arcs.push_back({u, v, capacity()});
        }
        for (int v = left + 1; v < sink; ++v)
            arcs.push_back({v, sink, capacity()});
        for (int extra = static_cast<int>(random() % 3); extra > 0; --extra)
            arcs.push_back({static_cast<int>(random() % (sink + 1)), static_cast<int>(random() % (sink + 1)), capacity()});
        graphs.emplace_back(sink + 1, arcs);
    }
    for (std::size_t k = 0; k < graphs.size(); ++k) {
        const int nodes = graphs[k].first;
        FlowNet n(nodes);
        std::vector<std::vector<double>> matrix(static_cast<std::size_t>(nodes), std::vector<double>(static_cast<std::size_t>(nodes)));
        std::vector<Edge> intoSink;
        for (const Arc& a : graphs[k].second) {
            const Edge e = n.Add(a.from, a.to, a.capacity);
            matrix[static_cast<std::size_t>(a.from)][static_cast<std::size_t>(a.to)] += a.capacity;
            if (a.to == nodes - 1)
                intoSink.push_back(e);
        }
        const MaxFlow& flow = n.Run(0, nodes - 1);
        double value = 0.0;
        for (Edge e : intoSink)
            value += flow.GetMaxFlow(e);
        EXPECT_NEAR(value, EdmondsKarp(matrix, 0, nodes - 1), 1e-9) << "graph " << k;
    }
}
