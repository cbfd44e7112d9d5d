// The walks of the analytical graph and the feeder-fault sequence built on them: protection,
// isolation, upstream restoration, back-feeding through a tie, maximum flow and load shedding.
#include <algorithm>

#include "analytical/ADist_Graph.h"

using korvane::graph::MaxFlow;

namespace {

bool contains(const std::vector<korvane::graph::Edge>& edges, korvane::graph::Edge e)
{
    return std::find(edges.begin(), edges.end(), e) != edges.end();
}

}  // namespace

bool ADist_Graph::isOpen(Edge e) const
{
    return feeder(e).isSwitchOpen() || contains(standInBreakers, e);
}

void ADist_Graph::disconnectDownstream(Node n)
{
    walker.Walk({n}, [&](Step s, auto take) {
        change(s.node).disconnect(elapsed);
        for (Edge o : OutEdges(s.node))
            if (usable(o) && !isOpen(o)) {
                change(o).disconnect();
                take(o, Target(o));
            }
    });
}

void ADist_Graph::connectTransferred(Node n)
{
    walker.Walk({n}, [&](Step s, auto take) {
        AComponent& c = change(s.node);
        c.connect(elapsed);
        c.setTransferred();
        for (Edge o : OutEdges(s.node))
            if (conducts(o)) {
                change(o).connect();
                take(o, Target(o));
            }
    });
}

// The loads read the graph's clock, so time moves for all of them at once. The clock is set, never
// moved by differences, so it lands on a switch's or the repair's time exactly.
void ADist_Graph::advanceTo(double t)
{
    elapsed = std::max(elapsed, t);
}

// The part below the fault is cut off from it once its own isolator is open, whether or not the
// one above has opened yet: its back-feed waits for that isolator and the tie only, so the clock
// may go back to the moment that isolator opened. Loads restored later above keep their own times.
void ADist_Graph::setClock(double t)
{
    elapsed = t;
}

double ADist_Graph::flowCapacity(Edge e) const
{
    if (!usable(e))
        return 0.0;
    const AFeeder& f = feeder(e);
    if (!f.isConnected())
        return 0.0;
    if (!carriesBackFeed(e))
        return f.getCapacity();
    return unlimitedBackFeeds ? kUnlimitedCapacity : f.getMaxCapacity();
}

bool ADist_Graph::carriesBackFeed(Edge e) const
{
    const auto i = static_cast<std::size_t>(e.index);
    return i < backFeedLateral.size() && backFeedLateral[i];
}

void ADist_Graph::markBackFeedLateral(Edge e)
{
    const auto i = static_cast<std::size_t>(e.index);
    if (i < backFeedLateral.size() && backFeedLateral[i])
        return;
    if (backFeedLateral.size() <= i)
        backFeedLateral.resize(static_cast<std::size_t>(EdgeSlots()), 0);
    backFeedLateral[i] = 1;
    backFeedLaterals.push_back(e);
    emptyLateralOnPath |= feeder(e).getMaxCapacity() == 0.0;
}

bool ADist_Graph::holdsShare(Edge e, double& capacity) const
{
    if (feeder(e).isMain()) {
        capacity = feeder(e).getCapacity();
        return true;
    }
    if (!carriesBackFeed(e))
        return false;
    capacity = unlimitedBackFeeds ? kUnlimitedCapacity : feeder(e).getMaxCapacity();
    return true;
}

// The way a closed tie's supply comes: from its live end up every closed section to the supply.
// The laterals on it carry the back-feed as well as their own loads.
void ADist_Graph::markLateralsAbove(Node live)
{
    walker.Walk({live}, [&](Step s, auto take) {
        for (Edge i : InEdges(s.node)) {
            if (!conducts(i))
                continue;
            if (feeder(i).isLateral())
                markBackFeedLateral(i);
            take(i, Source(i));
        }
    });
}

// Flow changes only in the parts that a closed tie joins to the supply: the part it feeds and every
// part that sections in service join to its live end, which shares its capacity with the back-feed.
// Every other part carries what it carried before the fault, also a part the fault cut off and its
// own devices restored as it was; none of their loads is shed for a fault that changed nothing of
// their supply, whatever they lacked before it. The parts meet only at the supply and the
// terminal, so the flow through them is the same whether the rest of the network is there or not.
const MaxFlow& ADist_Graph::computeMaxFlow()
{
    std::vector<Step> seeds;
    for (Edge p : backFeedPaths)
        for (Node n : {Source(p), Target(p)})
            if (n != supplyNode && n != sinkNode)
                seeds.emplace_back(n);
    flowLoads.clear();
    emptySectionInFlow = emptyLateralOnPath;
    std::vector<Edge> starts;
    walker.Walk(seeds, [&](Step s, auto take) {
        if (component(s.node).isLoad())
            flowLoads.push_back(s.node);
        alongEither(s.node, [&](Edge e, Node next) {
            if (!usable(e))
                return;
            const AFeeder& f = feeder(e);
            if (!f.isConnected())
                return;
            // A lateral's own capacity counts only where a back-feed passes it (noted there).
            emptySectionInFlow |= f.getCapacity() == 0.0;
            if (next != supplyNode) {
                if (next != sinkNode)
                    take(e, next);
            } else if (Source(e) == supplyNode) {
                starts.push_back(e);
            }
        });
    });
    // In the supply's own order of out-edges, which is that of their indices.
    std::sort(starts.begin(), starts.end());
    maxFlow.SetVars([this](Edge e) { return flowCapacity(e); }, supplyNode, sinkNode, std::move(starts));
    // Run fails only for a capacity that is not finite or is negative, and none is.
    maxFlow.Run(*this);
    return maxFlow;
}

ADist_Graph::Edge ADist_Graph::newTemporaryEdge(Node source, Node target, Edge original)
{
    const Edge e = NewEdge(source, target);
    setEdgeFeeder(e, feeders.Get(original));
    standsFor.Set(e, original);
    // A lateral turned round carries the back-feed to the part cut off.
    if (feeder(e).isLateral())
        markBackFeedLateral(e);
    setExcluded(original, true);
    temporaryEdges.push_back(e);
    return e;
}

ADist_Graph::PathEnd ADist_Graph::reverseUpstreamPath(Node n, Edge& openSwitch, bool reverse)
{
    walker.Begin();
    walker.Visit(n);
    Node current = n;
    for (;;) {
        // The original in-edge: ties and edges added in this fault do not count.
        Edge in;
        for (Edge i : InEdges(current))
            if (usable(i) && !isTemporary(i) && !feeder(i).isReclosing()) {
                in = i;
                break;
            }
        if (in.IsNull())
            return PathEnd::Root;
        if (in == faultedEdge)
            return PathEnd::FaultedFeeder;
        if (isOpen(in)) {
            openSwitch = in;
            return PathEnd::OpenSwitch;
        }
        const Node above = Source(in);
        if (!walker.Visit(above))
            return PathEnd::Ring;
        if (reverse)
            newTemporaryEdge(current, above, in);
        current = above;
    }
}

void ADist_Graph::undoTemporaryEdges(std::size_t keep)
{
    // Newest first, so the graph's edge slots shrink back as they grew.
    while (temporaryEdges.size() > keep) {
        const Edge made = temporaryEdges.back();
        temporaryEdges.pop_back();
        // The slot goes to the next edge made.
        if (carriesBackFeed(made))
            backFeedLateral[static_cast<std::size_t>(made.index)] = 0;
        setExcluded(standsFor.Get(made), false);
        DeleteEdge(made);
    }
}

void ADist_Graph::removeTemporaryEdges()
{
    undoTemporaryEdges(0);
    resetAll();
}

AComponent& ADist_Graph::change(Node n)
{
    const auto i = static_cast<std::size_t>(n.index);
    if (nodeChanged.size() <= i)
        nodeChanged.resize(static_cast<std::size_t>(NodeCount()), 0);
    if (!nodeChanged[i]) {
        nodeChanged[i] = 1;
        changedNodes.push_back(n);
    }
    return *components.Get(n);
}

AFeeder& ADist_Graph::change(Edge e)
{
    const Edge stoodFor = standsFor.Get(e);
    const Edge original = stoodFor.IsNull() ? e : stoodFor;
    const auto i = static_cast<std::size_t>(original.index);
    if (edgeChanged.size() <= i)
        edgeChanged.resize(i + 1, 0);
    if (!edgeChanged[i]) {
        edgeChanged[i] = 1;
        changedEdges.push_back(original);
    }
    return *feeders.Get(e);
}

void ADist_Graph::resetAll()
{
    for (Edge e : changedEdges) {
        feeders.Get(e)->reset();
        edgeChanged[static_cast<std::size_t>(e.index)] = 0;
    }
    for (Node n : changedNodes) {
        components.Get(n)->reset();
        nodeChanged[static_cast<std::size_t>(n.index)] = 0;
    }
    changedEdges.clear();
    changedNodes.clear();
    upstreamIsolated = false;
    downstreamIsolated = false;
    elapsed = 0.0;
    faultedEdge = Edge{};
    trippedEdges.clear();
    standInBreakers.clear();
    openedIsolators.clear();
    notYetOpen.clear();
    backFeedPaths.clear();
    for (Edge e : backFeedLaterals)
        backFeedLateral[static_cast<std::size_t>(e.index)] = 0;
    backFeedLaterals.clear();
    emptyLateralOnPath = false;
}

bool ADist_Graph::simulateFault(int feederId, bool thesis)
{
    const auto found = feederById.find(feederId);
    if (found == feederById.end())
        return false;
    thesisMethod = thesis;
    faultedFeederId = feederId;

    const Edge f = found->second;
    faultedEdge = f;
    const double failureRate = feeder(f).getFailureRate();
    change(f).fault();
    // A section from a node to itself feeds nobody, and nobody notices its fault.
    if (usable(f) && feeder(f).isLateral())
        islat(f);
    else if (usable(f))
        faultMainFeeder(f);

    const double repair = feeder(f).getRepairTime();
    advanceTo(repair);

    // The repair ends the fault for everybody: a switch or tie slower than the repair gains
    // nobody anything, and no outage or shortage lasts past it. Every outage started at the fault.
    // A load the fault never changed has nothing to file.
    const double late = std::max(0.0, elapsed - repair);
    std::vector<std::pair<Node, AOutageRecord>> records;
    for (Node n : changedNodes) {
        if (!component(n).isLoad())
            continue;
        AOutageRecord r = load(n).getOutageRecord(elapsed);
        r.timeNotConnected = std::min(r.timeNotConnected, repair);
        r.timeLoadShed = std::max(0.0, r.timeLoadShed - late);
        records.emplace_back(n, r);
    }
    removeTemporaryEdges();
    for (const auto& [n, r] : records)
        load(n).addFaultRecord(r, failureRate);
    if (results != nullptr)
        for (Node n : loadNodes)
            load(n).printTotals(*results);
    return true;
}

std::vector<ADist_Graph::Step> ADist_Graph::through(const std::vector<Edge>& edges, Toward toward) const
{
    std::vector<Step> steps;
    for (Edge e : edges)
        steps.emplace_back(e, toward == Toward::Supply ? Source(e) : Target(e));
    return steps;
}

std::vector<ADist_Graph::Edge> ADist_Graph::mainSections(const std::vector<Edge>& edges) const
{
    std::vector<Edge> sections;
    for (Edge e : edges)
        if (usable(e) && feeder(e).isMain())
            sections.push_back(e);
    return sections;
}

bool ADist_Graph::operateIsolators(Edge upstream, Edge downstream)
{
    restoreUpstream();
    if (upstreamIsolated)
        advanceTo(feeder(upstream).getSwitchingTime());
    if (!downstreamIsolated)
        return false;
    setClock(feeder(downstream).getSwitchingTime());
    return true;
}

void ADist_Graph::faultMainFeeder(Edge f)
{
    // On a ring the fault is also fed round the far side, and the devices there trip as well.
    std::vector<Edge> feeding{f};
    for (Edge e : feedsFromElsewhere(f))
        feeding.push_back(e);
    clearFault(feeding);
    const Edge downstream = findIsolator(mainSections(OutEdges(Target(f))), Toward::Loads);
    // Isolators above the fault, and on a ring on the far side where the ones below have not cut
    // it off already.
    feeding.resize(1);
    for (Edge e : feedsFromElsewhere(f))
        feeding.push_back(e);
    const Edge upstream = findIsolator(feeding, Toward::Supply);

    if (operateIsolators(upstream, downstream))
        backFeed({f});
}

void ADist_Graph::islat(Edge f)
{
    if (change(f).trip()) {
        // The lateral's own fuse or breaker: everything below it goes dark, the rest never notices.
        trippedEdges.push_back(f);
        disconnectDownstream(Target(f));
        return;
    }
    clearFault({f});

    // An isolator on the lateral itself, the nearest above the fault (the faulted section's own
    // first), cuts the fault off alone: the tripped device closes again once it is open.
    Edge isolator = change(f).openForIsolation() ? f : Edge{};
    // Otherwise isolate around the lateral's tap on the main, climbing a lateral drawn in several
    // sections, but never past a device that tripped.
    Node tap = Source(f);
    walker.Begin();
    walker.Visit(tap);
    while (isolator.IsNull()) {
        bool onMain = false;
        Edge up;
        // A tie into the node is no main: it is open.
        for (Edge i : InEdges(tap)) {
            if (!usable(i))
                continue;
            if (feeder(i).isMain())
                onMain = true;
            else if (feeder(i).isLateral() && up.IsNull())
                up = i;
        }
        if (onMain || up.IsNull() || isOpen(up) || !walker.Visit(Source(up)))
            break;
        if (change(up).openForIsolation())
            isolator = up;
        tap = Source(up);
    }
    if (!isolator.IsNull()) {
        openedIsolators.push_back(isolator);
        upstreamIsolated = true;
        restoreUpstream();
        advanceTo(feeder(isolator).getSwitchingTime());
        return;
    }
    // A lateral straight from the supply has no main of its own to isolate it on: the feeders
    // leaving the supply beside it are others, which its fault never reached.
    if (tap == supplyNode)
        return;
    const std::vector<Edge> below = mainSections(OutEdges(tap));
    const Edge upstream = findIsolator(mainSections(InEdges(tap)), Toward::Supply);
    const Edge downstream = findIsolator(below, Toward::Loads);

    if (operateIsolators(upstream, downstream))
        backFeed(below);
}

// Climbs from the fault (and on a ring from the sections feeding it round the far side) towards
// the supply on every path until a protective device trips; what lies below it goes dark. A path
// that reaches the top without one (no breaker drawn) is cleared by its top section, which stands
// in for the supply's breaker.
void ADist_Graph::clearFault(const std::vector<Edge>& starts)
{
    walker.Walk(
        through(starts, Toward::Supply),
        [&](Step s, auto take) {
            bool climbed = false;
            for (Edge i : InEdges(s.node))
                if (usable(i) && !isOpen(i)) {
                    take(i, Source(i));
                    climbed = true;
                }
            if (!climbed && !contains(standInBreakers, s.via)) {
                standInBreakers.push_back(s.via);
                change(s.via).disconnect();
            }
        },
        [&](Step s) {
            if (contains(trippedEdges, s.via))
                return false;
            if (change(s.via).trip()) {
                trippedEdges.push_back(s.via);
                return false;
            }
            return true;
        });
    for (Edge e : trippedEdges)
        disconnectDownstream(Target(e));
    for (Edge e : standInBreakers)
        disconnectDownstream(Target(e));
    if (!standInBreakers.empty())
        unprotectedFeeders.push_back(faultedFeederId);
}

// Depth first towards the supply, or away from it, over main feeders; on each path the first
// isolator met opens, and no path is followed past a device that tripped (nor, away from the
// supply, past a tie). Towards the supply the result is the isolator that opens last (on a radial
// feeder, the only one): only then is every path to the fault open. Away from it, the first found.
ADist_Graph::Edge ADist_Graph::findIsolator(const std::vector<Edge>& starts, Toward toward)
{
    const bool up = toward == Toward::Supply;
    Edge found;
    walker.Walk(
        through(starts, toward),
        [&](Step s, auto take) {
            for (Edge e : up ? InEdges(s.node) : OutEdges(s.node))
                if (usable(e) && feeder(e).isMain())
                    take(e, up ? Source(e) : Target(e));
        },
        [&](Step s) {
            const Edge e = s.via;
            if (change(e).openForIsolation()) {
                openedIsolators.push_back(e);
                if (found.IsNull() || (up && feeder(e).getSwitchingTime() > feeder(found).getSwitchingTime()))
                    found = e;
                (up ? upstreamIsolated : downstreamIsolated) = true;
                return false;
            }
            return !isOpen(e) && (up || !feeder(e).isReclosing());
        });
    return found;
}

// Sections that feed the part below f from outside it: on a ring, the far side of the fault.
std::vector<ADist_Graph::Edge> ADist_Graph::feedsFromElsewhere(Edge f)
{
    std::vector<Edge> feeds;
    if (Target(f) == sinkNode)
        return feeds;
    std::vector<Node> below;
    walker.Walk({Target(f)}, [&](Step s, auto take) {
        below.push_back(s.node);
        for (Edge o : OutEdges(s.node))
            if (conducts(o) && Target(o) != sinkNode)
                take(o, Target(o));
    });
    // The walk's marks still tell the part below from the rest.
    std::sort(below.begin(), below.end());
    for (Node u : below)
        for (Edge e : InEdges(u))
            if (e != f && conducts(e) && !walker.Seen(Source(e)))
                feeds.push_back(e);
    return feeds;
}

// Closes again what tripped in this fault, each device as soon as the isolators opened so far cut
// it off from the fault (on a ring, the isolators on both sides); a blown fuse stays open.
void ADist_Graph::restoreUpstream()
{
    std::vector<double> times;
    for (Edge i : openedIsolators)
        times.push_back(feeder(i).getSwitchingTime());
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    for (double t : times) {
        notYetOpen.clear();
        for (Edge i : openedIsolators)
            if (feeder(i).getSwitchingTime() > t)
                notYetOpen.push_back(i);
        for (Edge d : trippedEdges) {
            if (d == faultedEdge || !feeder(d).isSwitchOpen() || wouldReachFault(Target(d)))
                continue;
            if (change(d).operate()) {
                advanceTo(t);
                change(d).connect();
                reconnectBelow(d);
            }
        }
        for (std::size_t k = 0; k < standInBreakers.size();) {
            const Edge d = standInBreakers[k];
            if (d == faultedEdge || wouldReachFault(Target(d))) {
                ++k;
                continue;
            }
            standInBreakers.erase(standInBreakers.begin() + static_cast<std::ptrdiff_t>(k));
            advanceTo(t);
            change(d).connect();
            reconnectBelow(d);
        }
    }
    notYetOpen.clear();
}

// Whether closed sections join the node to the faulted feeder while that feeder's own switch is
// closed. Isolators in `notYetOpen` count as closed. The sections are followed either way: on a
// ring the way to the fault may run against their direction.
bool ADist_Graph::wouldReachFault(Node from)
{
    const auto waiting = [&](Edge e) { return std::find(notYetOpen.begin(), notYetOpen.end(), e) != notYetOpen.end(); };
    if (feeder(faultedEdge).isSwitchOpen() && !waiting(faultedEdge))
        return false;
    const Node a = Source(faultedEdge);
    const Node b = Target(faultedEdge);
    return walker.Walk({from}, [&](Step s, auto take) {
        if (s.node == a || s.node == b)
            return true;
        alongEither(s.node, [&](Edge e, Node next) {
            if (next != sinkNode && usable(e) && !feeder(e).isFaulted() && (!isOpen(e) || waiting(e)))
                take(e, next);
        });
        return false;
    });
}

// Supplies again what the closed device d feeds: every node that closed sections join to its
// far end, followed either way (on a ring part of it lies against the sections' direction). Only
// what was out counts as changed: through the supply the walk may pass into feeders the fault
// never reached.
void ADist_Graph::reconnectBelow(Edge d)
{
    // The walk never enters the node above d.
    const Node above = Source(d);
    walker.Walk({Target(d)}, [&](Step s, auto take) {
        if (!component(s.node).isConnected())
            change(s.node).connect(elapsed);
        alongEither(s.node, [&](Edge e, Node next) {
            if (!conducts(e))
                return;
            if (!feeder(e).isConnected())
                change(e).connect();
            if (next != sinkNode && next != above)
                take(e, next);
        });
    });
}

// Looks for normally open ties below the isolated part, depth first over main feeders and ties as
// the isolator searches go, and closes those that can feed an isolated part without reaching the
// fault: of the ties that can feed a part still dark, the one that feeds it first closes (of ties
// feeding at the same moment, the one first in edge order, the lowest reclosing feeder id), and the
// loads it leaves short are shed from that moment.
void ADist_Graph::backFeed(const std::vector<Edge>& starts)
{
    std::vector<Edge> ties;
    const auto addTie = [&](Edge t) {
        if (usable(t) && feeder(t).isSwitchOpen() && std::find(ties.begin(), ties.end(), t) == ties.end())
            ties.push_back(t);
    };
    walker.Walk(
        through(starts, Toward::Loads),
        [&](Step s, auto take) {
            for (Edge i : InEdges(s.node))
                if (feeder(i).isReclosing())
                    addTie(i);
            for (Edge o : OutEdges(s.node))
                if (usable(o) && !feeder(o).isLateral())
                    take(o, Target(o));
        },
        [&](Step s) {
            if (!feeder(s.via).isReclosing())
                return true;
            addTie(s.via);
            return false;
        });
    // Earliest first: a part fed by one tie may be the live end of the next.
    // A tie that could close only once the repair is done stays open and takes no part in the fault.
    const double repair = feeder(faultedEdge).getRepairTime();
    for (;;) {
        Edge first;
        double firstTime = 0.0;
        for (Edge tie : ties) {
            double t = 0.0;
            if (feeder(tie).isSwitchOpen() && backFeedTime(tie, t) && t < repair &&
                (first.IsNull() || t < firstTime || (t == firstTime && tie < first))) {
                first = tie;
                firstTime = t;
            }
        }
        if (first.IsNull())
            break;
        backFeedPaths.push_back(closeTie(first));
        shedLoads();
    }
}

// The end of the tie that is dark, when exactly one is, with the switch that cuts its part off from
// the fault; with `reverse` the path up to that switch is left reversed. False (and nothing left
// changed) when the tie cannot feed a dark part without reaching the fault. Whether it reaches the
// fault does not depend on the reversal: that walk follows sections either way.
bool ADist_Graph::reverseDarkSide(Edge tie, Node& dead, Edge& cutOff, bool reverse)
{
    const Node s = Source(tie);
    const Node t = Target(tie);
    if (component(s).isConnected() == component(t).isConnected())
        return false;
    dead = component(s).isConnected() ? t : s;
    const std::size_t keep = temporaryEdges.size();
    if (reverseUpstreamPath(dead, cutOff, reverse) != PathEnd::OpenSwitch || wouldReachFault(dead)) {
        undoTemporaryEdges(keep);
        return false;
    }
    return true;
}

// When the tie would feed its dark end: once the switch that cuts that part off from the fault is
// open (on a second branch below the fault, the branch's own isolator, not the first one found),
// the tie has closed and its live end has supply again.
bool ADist_Graph::backFeedTime(Edge tie, double& time)
{
    Node dead;
    Edge cutOff;
    if (!reverseDarkSide(tie, dead, cutOff, false))
        return false;
    const Node live = dead == Target(tie) ? Source(tie) : Target(tie);
    time = std::max({feeder(cutOff).getSwitchingTime(), feeder(tie).getSwitchingTime(),
                     component(live).getRestoredAt()});
    return true;
}

ADist_Graph::Edge ADist_Graph::closeTie(Edge tie)
{
    Node dead;
    Edge cutOff;
    reverseDarkSide(tie, dead, cutOff, true);
    const Node live = dead == Target(tie) ? Source(tie) : Target(tie);
    const Edge path = dead == Target(tie) ? tie : newTemporaryEdge(live, dead, tie);
    setClock(feeder(cutOff).getSwitchingTime());
    advanceTo(feeder(tie).getSwitchingTime());
    advanceTo(component(live).getRestoredAt());
    change(tie).reclose();
    connectTransferred(dead);
    if (belowLateral[static_cast<std::size_t>(live.index)])
        markLateralsAbove(live);
    std::vector<Step> laterals;
    lateralsSharingTie(live, laterals);
    walker.Walk(laterals, [&](Step s, auto take) {
        change(s.node).setTransferred();
        for (Edge o : OutEdges(s.node))
            if (usable(o) && !isOpen(o) && Target(o) != sinkNode)
                take(o, Target(o));
    });
    return path;
}

// What the network can carry now that a tie has closed: the maximum flow from the supply, shared
// out by the load-shedding method.
void ADist_Graph::shedLoads()
{
    const MaxFlow& flow = computeMaxFlow();
    std::vector<TransferRecord> transfers;
    if (thesisMethod)
        for (Edge p : backFeedPaths) {
            const std::vector<TransferRecord> part = thesisTransferList(p, flow);
            transfers.insert(transfers.end(), part.begin(), part.end());
        }
    std::vector<Step> shed;
    ls(transfers, flow, shed);
    // A fault that never happens sheds nobody whom the indices count.
    if (!shed.empty() && emptySectionInFlow && feeder(faultedEdge).getFailureRate() > 0.0)
        noteEmptySectionsAbove(shed);
}

// The first section on each way up from the loads just shed that carries nothing because it was
// left at 0 kVA; sections that carry nothing for other reasons (open, out) are not on the way.
void ADist_Graph::noteEmptySectionsAbove(const std::vector<Step>& shed)
{
    walker.Walk(shed, [&](Step s, auto take) {
        for (Edge i : InEdges(s.node)) {
            if (!conducts(i) || !feeder(i).isConnected())
                continue;
            if (flowCapacity(i) > 0.0 || feeder(i).getMaxCapacity() > 0.0)
                take(i, Source(i));
            else if (feeder(i).isMain() || feeder(i).isLateral())
                emptyFeeders.insert(feeder(i).getId());
        }
    });
}

// The "Thesis method" share of capacity: what flows into the live end of the tie goes first to
// the transferred part, depth first, then to the laterals at the live end.
std::vector<ADist_Graph::TransferRecord> ADist_Graph::thesisTransferList(Edge path, const MaxFlow& flow)
{
    std::vector<TransferRecord> list;
    if (path.IsNull() || feeder(path).isSwitchOpen())
        return list;
    // What leaves the live end equals what reaches it, and the supply itself has nothing reaching it.
    const Node live = Source(path);
    double remainingCapacity = 0.0;
    for (Edge o : OutEdges(live))
        if (usable(o))
            remainingCapacity += flow.GetMaxFlow(o);
    // A load takes its demand or what is left; below a node the main branches come first, each
    // held to its feeder's capacity while the walk is below it, then the laterals.
    std::vector<Step> starts{Target(path)};
    lateralsSharingTie(live, starts);
    std::vector<double> heldBack;
    walker.Walk(
        starts,
        [&](Step s, auto take) {
            if (component(s.node).isLoad()) {
                const ALoad& l = load(s.node);
                const double share = std::max(0.0, std::min(l.getDemand(), remainingCapacity));
                remainingCapacity -= share;
                list.push_back({share, s.node});
            }
            const auto& outs = OutEdges(s.node);
            const auto branch = [&](Edge o) { return usable(o) && !isOpen(o) && Target(o) != sinkNode; };
            for (Edge o : outs)
                if (branch(o) && feeder(o).isMain())
                    take(o, Target(o));
            for (Edge o : outs)
                if (branch(o) && feeder(o).isLateral())
                    take(o, Target(o));
        },
        [&](Step s) {
            double capacity = 0.0;
            if (!holdsShare(s.via, capacity))
                return true;
            if (walker.Seen(s.node))
                return false;
            const double limit = std::min(remainingCapacity, capacity);
            heldBack.push_back(remainingCapacity - limit);
            remainingCapacity = limit;
            return true;
        },
        [&](Step s) {
            double capacity = 0.0;
            if (!s.via.IsNull() && holdsShare(s.via, capacity)) {
                remainingCapacity += heldBack.back();
                heldBack.pop_back();
            }
        });
    return list;
}

// The laterals at the live end of a tie share its capacity with the part it feeds. The supply
// limits nothing, and the laterals leaving it may lie in any feeder of the network.
void ADist_Graph::lateralsSharingTie(Node live, std::vector<Step>& starts) const
{
    if (live != supplyNode)
        for (Edge o : OutEdges(live))
            if (usable(o) && !isOpen(o) && feeder(o).isLateral())
                starts.emplace_back(Target(o));
}

// Load shedding: a supplied load whose share of capacity falls short of its demand is shed from now
// until the repair. The share is its flow to the terminal, or with the "Thesis method" for a
// transferred load, the share the thesis walk gave it.
void ADist_Graph::ls(const std::vector<TransferRecord>& transfers, const MaxFlow& flow, std::vector<Step>& shed)
{
    // Each load's first record, by node.
    std::unordered_map<std::int32_t, const TransferRecord*> share;
    for (const TransferRecord& r : transfers)
        share.emplace(r.node.index, &r);
    for (Node n : flowLoads) {
        const auto listed = share.find(n.index);
        double capacity = 0.0;
        if (thesisMethod && load(n).isTransferred() && listed != share.end()) {
            capacity = listed->second->value;
        } else {
            for (Edge o : OutEdges(n))
                if (Target(o) == sinkNode && usable(o))
                    capacity += flow.GetMaxFlow(o);
        }
        // The load may lie where the fault changed nothing else; once short it must be filed and reset.
        if (load(n).recordLoadShed(capacity, elapsed)) {
            change(n);
            shed.emplace_back(n);
        }
    }
}
