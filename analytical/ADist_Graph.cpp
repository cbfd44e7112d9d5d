#include "analytical/ADist_Graph.h"

#include <algorithm>
#include <array>
#include <limits>

using korvane::graph::GmlCursor;
using korvane::graph::GmlPair;
using korvane::graph::GmlPairList;

namespace {

// The integers under the keys, from one pass over the record: the first pair with each key, when
// that is an integer; `otherwise` for the rest. Every key the load orders by stands near the front.
template <std::size_t N>
std::array<std::int64_t, N> IntsOf(const GmlPair& record, const std::array<std::string_view, N>& keys,
                                   std::int64_t otherwise)
{
    std::array<std::int64_t, N> values;
    values.fill(otherwise);
    std::array<bool, N> seen{};
    std::size_t left = N;
    for (const GmlPair& pair : record.list) {
        for (std::size_t k = 0; k < N; ++k) {
            if (seen[k] || pair.key != keys[k])
                continue;
            seen[k] = true;
            --left;
            if (pair.kind == GmlPair::Kind::Int)
                values[k] = pair.intValue;
            break;
        }
        if (left == 0)
            break;
    }
    return values;
}

// A total order on pairs, for records that agree on every key the load orders them by.
int ComparePairs(const GmlPair& a, const GmlPair& b)
{
    if (const int c = a.key.compare(b.key))
        return c;
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    const auto three = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (a.kind) {
    case GmlPair::Kind::Int: return three(a.intValue, b.intValue);
    case GmlPair::Kind::Real: return three(a.realValue, b.realValue);
    case GmlPair::Kind::String: return a.text.compare(b.text);
    case GmlPair::Kind::List: break;
    }
    for (std::size_t i = 0; i < a.list.size() && i < b.list.size(); ++i)
        if (const int c = ComparePairs(a.list[i], b.list[i]))
            return c;
    return three(a.list.size(), b.list.size());
}

}  // namespace

ADist_Graph::ADist_Graph() : feeders(*this), excluded(*this), standsFor(*this) {}

ADist_Graph::~ADist_Graph() = default;

korvane::graph::GmlError ADist_Graph::load(std::string_view gml)
{
    if (GmlError error = LoadGml(gml); error.IsError())
        return error;
    if (supplyNode.IsNull())
        return {0, "the network has no supply: no node has \"component_id 2\" (is a Gen Source drawn?)"};
    if (sinkNode.IsNull())
        return {0, "the network has no terminal node: no node has \"component_id 4\""};
    orientFromSupply();
    findNodesBelowLaterals();
    return indexFeeders();
}

// Every choice the engine makes follows the order of nodes and edges (which branch a maximum flow
// feeds first, which way a ring's sections point, which tie closes first), so that order must come
// from what the records say, not from where they stand: nodes by id; edges by feeder id, the drawn
// feeders first, then the ties, the edges into the terminal and the rest (the links). That is the
// order in which the generator writes them, ties apart. Records equal in all of that go by their
// other values: only records equal in everything keep their file order, and which of those comes
// first changes nothing.
void ADist_Graph::OrderRecords(std::vector<const GmlPair*>& nodes, std::vector<const GmlPair*>& edges) const
{
    constexpr std::int64_t kNoId = std::numeric_limits<std::int64_t>::min();
    struct Keyed {
        std::int64_t key[4];
        const GmlPair* record;
    };
    const auto order = [](std::vector<Keyed>& keyed, std::vector<const GmlPair*>& records) {
        std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            if (!std::equal(std::begin(a.key), std::end(a.key), std::begin(b.key)))
                return std::lexicographical_compare(std::begin(a.key), std::end(a.key), std::begin(b.key),
                                                    std::end(b.key));
            return ComparePairs(*a.record, *b.record) < 0;
        });
        for (std::size_t i = 0; i < keyed.size(); ++i)
            records[i] = keyed[i].record;
    };

    std::vector<Keyed> keyed;
    keyed.reserve(nodes.size());
    std::vector<std::int64_t> terminals;
    for (const GmlPair* record : nodes) {
        const auto [id, code] = IntsOf<2>(*record, {"id", "component_id"}, kNoId);
        keyed.push_back({{id, 0, 0, 0}, record});
        if (code == 4)
            terminals.push_back(id);
    }
    order(keyed, nodes);
    std::sort(terminals.begin(), terminals.end());

    keyed.clear();
    keyed.reserve(edges.size());
    for (const GmlPair* record : edges) {
        const auto [source, target, type] = IntsOf<3>(*record, {"source", "target", "feeder_type_id"}, kNoId);
        // The feeder's id follows its type, whatever the key the reader will want there.
        std::int64_t id = kNoId;
        for (auto pair = record->list.begin(); pair != record->list.end(); ++pair)
            if (pair->key == "feeder_type_id") {
                if (++pair != record->list.end() && pair->kind == GmlPair::Kind::Int)
                    id = pair->intValue;
                break;
            }
        const bool feeder = type == 1 || type == 2;
        if (type == 3)
            keyed.push_back({{1, id, source, target}, record});
        else if (feeder && std::binary_search(terminals.begin(), terminals.end(), target))
            keyed.push_back({{2, id, source, target}, record});
        else if (feeder && id >= 1)
            keyed.push_back({{0, id, source, target}, record});
        else
            keyed.push_back({{3, target, source, id}, record});
    }
    order(keyed, edges);
}

korvane::graph::GmlError ADist_Graph::OnNodeRecord(Node n, const GmlPair& record, const GmlPairList& pairs)
{
    if (pairs.empty() || pairs.front()->key != "component_id")
        return {pairs.empty() ? record.line : pairs.front()->line,
                "the node record must go on with \"component_id\" after its \"id\""};
    GmlCursor in(pairs, record.line);
    const int code = in.Int("component_id");
    const int codeLine = in.LastLine();
    std::unique_ptr<AComponent> component;
    switch (code) {
    case 1: {
        const int loadId = in.Int("load_id");
        const int customers = in.Int("num_customers");
        const int customersLine = in.LastLine();
        const double demand = in.Real("load");
        if (in.Error().IsError())
            return in.Error();
        if (customers < 0)
            return {customersLine, "\"num_customers\" must not be negative"};
        component = std::make_unique<ALoad>(demand, loadId, customers);
        loadNodes.push_back(n);
        break;
    }
    case 2:
        if (!supplyNode.IsNull())
            return {codeLine, "a second supply node (\"component_id 2\"); a network has one"};
        component = std::make_unique<ASource>(ASource::kSupplyId);
        supplyNode = n;
        break;
    case 3:
        component = std::make_unique<ALineConnection>();
        break;
    case 4:
        if (!sinkNode.IsNull())
            return {codeLine, "a second terminal node (\"component_id 4\"); a network has one"};
        component = std::make_unique<ASource>(ASource::kTerminalId);
        sinkNode = n;
        break;
    default:
        if (in.Error().IsError())
            return in.Error();
        return {codeLine, "unknown \"component_id\" " + std::to_string(code) + " (expected 1 to 4)"};
    }
    if (in.Error().IsError())
        return in.Error();
    components.Set(n, component.get());
    ownedComponents.push_back(std::move(component));
    return {};
}

korvane::graph::GmlError ADist_Graph::OnEdgeRecord(Edge e, const GmlPair& record, const GmlPairList& pairs)
{
    if (pairs.empty() || pairs.front()->key != "feeder_type_id")
        return {pairs.empty() ? record.line : pairs.front()->line,
                "the edge record must go on with \"feeder_type_id\" after its \"source\" and \"target\""};
    GmlCursor in(pairs, record.line);
    const int type = in.Int("feeder_type_id");
    const int typeLine = in.LastLine();
    if (in.Error().IsError())
        return in.Error();
    if (type < 1 || type > 3)
        return {typeLine, "unknown \"feeder_type_id\" " + std::to_string(type) + " (expected 1 to 3)"};

    int id = 0;
    double faultRate = 0.0;
    double repairTime = 0.0;
    if (type == 3) {
        id = in.Int("recl_feeder_id");
    } else {
        id = in.Int(type == 1 ? "main_feeder_id" : "lat_feeder_id");
        idLines.resize(static_cast<std::size_t>(e.index) + 1, 0);
        idLines[static_cast<std::size_t>(e.index)] = in.LastLine();
        faultRate = in.Real("fault_rate");
        repairTime = in.Real("repair_time");
    }
    const double length = in.Real("length");
    const double capacity = in.Real("max_cap");
    const int switchCode = in.Int("switch_id");
    const int switchLine = in.LastLine();
    if (in.Error().IsError())
        return in.Error();

    std::unique_ptr<ASwitch> sw;
    if (type == 3) {
        if (switchCode != 4)
            return {switchLine, "a reclosing feeder needs \"switch_id 4\" (a recloser), not " +
                                    std::to_string(switchCode)};
        sw = std::make_unique<ARecloser>(in.Real("recl_time"));
    } else {
        switch (switchCode) {
        case 0: sw = std::make_unique<ANoSwitch>(); break;
        case 1: sw = std::make_unique<AFuse>(); break;
        case 2: sw = std::make_unique<AIsolator>(in.Real("switch_time")); break;
        case 3: sw = std::make_unique<ABreaker>(); break;
        case 4:
            return {switchLine, "a recloser (\"switch_id 4\") belongs on a reclosing feeder (\"feeder_type_id 3\")"};
        default:
            return {switchLine, "unknown \"switch_id\" " + std::to_string(switchCode) + " (expected 0 to 4)"};
        }
    }

    const int transformerCode = in.Int("trans_id");
    const int transformerLine = in.LastLine();
    if (in.Error().IsError())
        return in.Error();
    if (transformerCode == 1) {
        // A transformer's own outage data take no part in the feeder-fault assessment; they are
        // read to be checked.
        in.Real("trans_outage_rate");
        in.Real("trans_repair_time");
        if (in.Error().IsError())
            return in.Error();
    } else if (transformerCode != 0) {
        return {transformerLine, "unknown \"trans_id\" " + std::to_string(transformerCode) + " (expected 0 or 1)"};
    }

    std::unique_ptr<AFeeder> made;
    if (type == 1)
        made = std::make_unique<AMainF>(capacity, length, std::move(sw), id, faultRate, repairTime);
    else if (type == 2)
        made = std::make_unique<ALateralFeeder>(capacity, length, std::move(sw), id, faultRate, repairTime);
    else
        made = std::make_unique<AReclfeeder>(capacity, std::move(sw), id);
    setEdgeFeeder(e, made.get());
    ownedFeeders.push_back(std::move(made));
    return {};
}

// Breadth first from the supply over every section but the ties; each section then points from
// the node nearer the supply (by hops; the lower node number on a tie) to the other. Sections in
// parts the supply does not reach keep their drawn direction. Edges at the terminal point into it.
void ADist_Graph::orientFromSupply()
{
    std::vector<int> depth(static_cast<std::size_t>(NodeCount()), -1);
    std::vector<Node> queue{supplyNode};
    depth[static_cast<std::size_t>(supplyNode.index)] = 0;
    std::vector<Edge> incident;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const Node u = queue[i];
        incident = InEdges(u);
        incident.insert(incident.end(), OutEdges(u).begin(), OutEdges(u).end());
        std::sort(incident.begin(), incident.end());
        for (Edge e : incident) {
            if (feeder(e).isReclosing())
                continue;
            const Node v = Source(e) == u ? Target(e) : Source(e);
            if (v == sinkNode || depth[static_cast<std::size_t>(v.index)] >= 0)
                continue;
            depth[static_cast<std::size_t>(v.index)] = depth[static_cast<std::size_t>(u.index)] + 1;
            queue.push_back(v);
        }
    }

    std::vector<Edge> turn;
    ForEachEdge([&](Edge e) {
        const Node s = Source(e);
        const Node t = Target(e);
        if (s == sinkNode || t == sinkNode) {
            if (s == sinkNode && t != sinkNode)
                turn.push_back(e);
            return;
        }
        if (feeder(e).isReclosing())
            return;
        const int ds = depth[static_cast<std::size_t>(s.index)];
        const int dt = depth[static_cast<std::size_t>(t.index)];
        if (ds < 0 || dt < 0)
            return;
        if (dt < ds || (dt == ds && t.index < s.index))
            turn.push_back(e);
    });
    for (Edge e : turn)
        ReverseEdge(e);
}

// Everything the sections lead to from a lateral's end, whichever way round the sections stand on
// a ring. A part that a fault cuts off and a tie feeds lies below nothing new: the ways a back-feed
// comes down are ways the sections already lead.
void ADist_Graph::findNodesBelowLaterals()
{
    std::vector<Step> starts;
    ForEachEdge([&](Edge e) {
        if (feeder(e).isLateral() && Target(e) != sinkNode)
            starts.emplace_back(Target(e));
    });
    belowLateral.assign(static_cast<std::size_t>(NodeCount()), 0);
    walker.Walk(starts, [&](Step s, auto take) {
        belowLateral[static_cast<std::size_t>(s.node.index)] = 1;
        for (Edge o : OutEdges(s.node))
            if (!feeder(o).isReclosing() && Target(o) != sinkNode)
                take(o, Target(o));
    });
}

// The drawn feeders are the ones a run faults by id; a hand-written text may number them as it
// likes, as long as each id is positive and given once. Id 0 is the links': no run faults it, so a
// feeder that can fail cannot have it, as it cannot share an id.
korvane::graph::GmlError ADist_Graph::indexFeeders()
{
    GmlError error;
    ForEachEdge([&](Edge e) {
        const AFeeder& f = feeder(e);
        // Terminal edges are not drawn feeders.
        if (error.IsError() || !(f.isMain() || f.isLateral()) || Target(e) == sinkNode)
            return;
        const int id = f.getId();
        const int line = idLines[static_cast<std::size_t>(e.index)];
        // The links that join further symbols on a node never fail.
        if (id == 0) {
            if (f.getFailureRate() > 0.0)
                error = {line,
                         "feeder id 0 belongs to links that never fail; a feeder that can fail needs a positive id"};
            return;
        }
        if (id < 0) {
            error = {line, "feeder id " + std::to_string(id) + " is negative; a feeder's id is positive"};
            return;
        }
        const auto [it, fresh] = feederById.emplace(id, e);
        if (!fresh)
            error = {line, "feeder id " + std::to_string(id) + " is given twice (first on line " +
                               std::to_string(idLines[static_cast<std::size_t>(it->second.index)]) + ")"};
        else
            feederIds.push_back(id);
    });
    std::sort(feederIds.begin(), feederIds.end());
    idLines = {};
    return error;
}

double ADist_Graph::getFeederFailureRate(int feederId) const
{
    const auto found = feederById.find(feederId);
    return found == feederById.end() ? 0.0 : feeder(found->second).getFailureRate();
}

void ADist_Graph::setMainCapacities()
{
    unlimitedBackFeeds = true;
    ForEachEdge([&](Edge e) {
        if (feeder(e).isMain() || feeder(e).isReclosing())
            feeders.Get(e)->setCapacity(kUnlimitedCapacity);
    });
}

void ADist_Graph::setLateralCapacities()
{
    // Demand at and below every node, summed leaves first over the sections (ties and the
    // terminal left out). On a ring a node adds to both nodes above it; any share is as good there.
    std::vector<double> below(static_cast<std::size_t>(NodeCount()), 0.0);
    const auto feedsBelow = [&](Edge o) { return !feeder(o).isReclosing() && Target(o) != sinkNode; };
    std::vector<Step> roots;
    if (!supplyNode.IsNull())
        roots.emplace_back(supplyNode);
    for (int i = 0; i < NodeCount(); ++i)
        roots.emplace_back(NodeAt(i));
    walker.Walk(
        roots,
        [&](Step s, auto take) {
            for (Edge o : OutEdges(s.node))
                if (feedsBelow(o))
                    take(o, Target(o));
        },
        {},
        [&](Step s) {
            double sum = component(s.node).getDemand();
            for (Edge o : OutEdges(s.node))
                if (feedsBelow(o))
                    sum += below[static_cast<std::size_t>(Target(o).index)];
            below[static_cast<std::size_t>(s.node.index)] = sum;
        });
    ForEachEdge([&](Edge e) {
        if (feeder(e).isLateral() && Target(e) != sinkNode)
            feeders.Get(e)->setCapacity(below[static_cast<std::size_t>(Target(e).index)]);
    });
}

void ADist_Graph::setTerminalCapacities()
{
    for (Node n : loadNodes)
        for (Edge o : OutEdges(n))
            if (Target(o) == sinkNode)
                feeders.Get(o)->setCapacity(component(n).getDemand());
}

AReliabilityMetrics ADist_Graph::computeReliabilityMetrics() const
{
    std::vector<AReliabilityMetrics::LoadTotals> loads;
    loads.reserve(loadNodes.size());
    for (Node n : loadNodes) {
        const ALoad& l = load(n);
        loads.push_back({l.getCustomers(), l.getDemand(), l.getTotalOutageRate(), l.getTotalUnavailability(),
                         l.getShedTotals()});
    }
    AReliabilityMetrics metrics;
    metrics.Compute(loads);
    return metrics;
}

int ADist_Graph::getShedLoadCount() const
{
    return static_cast<int>(std::count_if(loadNodes.begin(), loadNodes.end(),
                                          [&](Node n) { return load(n).getShedTotals().rate > 0.0; }));
}

bool ADist_Graph::findLoadOutLongerThanAYear(int& loadId, double& hours) const
{
    for (Node n : loadNodes) {
        const ALoad& l = load(n);
        hours = l.getTotalUnavailability() + l.getShedTotals().hours;
        if (!(hours <= AReliabilityMetrics::kHoursPerYear)) {
            loadId = l.getId();
            return true;
        }
    }
    return false;
}

std::vector<int> ADist_Graph::getUnsuppliedLoads() const
{
    walker.Walk({supplyNode}, [&](Step s, auto take) {
        for (Edge o : OutEdges(s.node))
            if (!feeder(o).isReclosing())
                take(o, Target(o));
    });
    std::vector<int> ids;
    for (Node n : loadNodes)
        if (!walker.Seen(n))
            ids.push_back(component(n).getId());
    return ids;
}
