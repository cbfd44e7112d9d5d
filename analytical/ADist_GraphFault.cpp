// The walks of the analytical graph and the feeder-fault sequence built on them: protection,
// isolation, upstream restoration, back-feeding through a tie, maximum flow and load shedding.
#include <algorithm>

#include "analytical/ADist_Graph.h"

using korvane::graph::MaxFlow;

bool ADist_Graph::isOpen(Edge e) const
{
    return feeder(e).isSwitchOpen() ||
           std::find(standInBreakers.begin(), standInBreakers.end(), e) != standInBreakers.end();
}

// Depth first along out-edges, each node once. `enter(u)` runs as the walk arrives at u and ends
// the whole walk by returning true; `follow(o)` says whether the walk goes on through o.
template <class Enter, class Follow>
bool ADist_Graph::walkDownstream(std::vector<Node> stack, Enter enter, Follow follow)
{
    newWalk();
    while (!stack.empty()) {
        const Node u = stack.back();
        stack.pop_back();
        if (!visit(u))
            continue;
        if (enter(u))
            return true;
        for (Edge o : OutEdges(u))
            if (follow(o))
                stack.push_back(Target(o));
    }
    return false;
}

void ADist_Graph::disconnectDownstream(Node n)
{
    walkDownstream(
        {n},
        [&](Node u) {
            change(u).disconnect(elapsed);
            return false;
        },
        [&](Edge o) {
            if (!usable(o) || isOpen(o))
                return false;
            change(o).disconnect();
            return true;
        });
}

void ADist_Graph::connectTransferred(Node n)
{
    walkDownstream(
        {n},
        [&](Node u) {
            AComponent& c = change(u);
            c.connect(elapsed);
            c.setTransferred();
            return false;
        },
        [&](Edge o) {
            if (!conducts(o))
                return false;
            change(o).connect();
            return true;
        });
}

// The loads read the graph's clock, so time moves for all of them at once.
void ADist_Graph::advanceTime(double dt)
{
    elapsed += dt;
}

void ADist_Graph::advanceTo(double t)
{
    if (t > elapsed)
        advanceTime(t - elapsed);
}

// The part below the fault is cut off from it once its own isolator is open, whether or not the
// one above has opened yet: its back-feed waits for that isolator and the tie only, so the clock
// may go back to the moment that isolator opened. Loads restored later above keep their own times.
void ADist_Graph::setClock(double t)
{
    advanceTime(t - elapsed);
}

double ADist_Graph::flowCapacity(Edge e) const
{
    return usable(e) && feeder(e).isConnected() ? feeder(e).getCapacity() : 0.0;
}

// Flow can change only in the parts that sections in service join to something this fault changed;
// every other part carries what it carried before the fault, and none of its loads is shed for a
// fault it never noticed. The parts meet only at the supply and the terminal, so the flow through
// them is the same whether the rest of the network is there or not.
const MaxFlow& ADist_Graph::computeMaxFlow()
{
    newWalk();
    std::vector<Node> stack;
    const auto seed = [&](Node n) {
        if (n != supplyNode && n != sinkNode && visit(n))
            stack.push_back(n);
    };
    for (Node n : changedNodes)
        seed(n);
    for (Edge e : changedEdges) {
        seed(Source(e));
        seed(Target(e));
    }
    for (const auto& [made, original] : temporaryEdges) {
        seed(Source(made));
        seed(Target(made));
    }
    flowLoads.clear();
    std::vector<Edge> starts;
    const auto step = [&](Edge e, Node next) {
        if (!usable(e) || !feeder(e).isConnected())
            return;
        if (next != supplyNode)
            seed(next);
        else if (Source(e) == supplyNode)
            starts.push_back(e);
    };
    while (!stack.empty()) {
        const Node u = stack.back();
        stack.pop_back();
        if (component(u).isLoad())
            flowLoads.push_back(u);
        for (Edge o : OutEdges(u))
            step(o, Target(o));
        for (Edge i : InEdges(u))
            step(i, Source(i));
    }
    // In the supply's own order of out-edges, which is that of their indices.
    std::sort(starts.begin(), starts.end());
    maxFlow.SetVars([this](Edge e) { return flowCapacity(e); }, supplyNode, sinkNode, std::move(starts));
    // Run checks its input first and fails for no other reason.
    if (!maxFlow.Run(*this) && diagnostics)
        *diagnostics << "\nInitialisation Error\n";
    return maxFlow;
}

ADist_Graph::Edge ADist_Graph::newTemporaryEdge(Node source, Node target, Edge original)
{
    const Edge e = NewEdge(source, target);
    setEdgeFeeder(e, feeders.Get(original));
    setTemporary(e, true);
    setExcluded(original, true);
    temporaryEdges.emplace_back(e, original);
    return e;
}

ADist_Graph::PathEnd ADist_Graph::reverseUpstreamPath(Node n, Edge* openSwitch)
{
    newWalk();
    visit(n);
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
            if (openSwitch != nullptr)
                *openSwitch = in;
            return PathEnd::OpenSwitch;
        }
        const Node above = Source(in);
        if (!visit(above))
            return PathEnd::Ring;
        newTemporaryEdge(current, above, in);
        current = above;
    }
}

void ADist_Graph::undoTemporaryEdges(std::size_t keep)
{
    // Newest first, so the graph's edge slots shrink back as they grew.
    while (temporaryEdges.size() > keep) {
        const auto [made, original] = temporaryEdges.back();
        temporaryEdges.pop_back();
        setExcluded(original, false);
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
    Edge original = e;
    if (isTemporary(e))
        for (const auto& [made, stoodFor] : temporaryEdges)
            if (made == e)
                original = stoodFor;
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
        AComponent& c = *components.Get(n);
        c.reset();
        c.clearFaultState();
        nodeChanged[static_cast<std::size_t>(n.index)] = 0;
    }
    changedEdges.clear();
    changedNodes.clear();
    upstreamIsolated = false;
    downstreamIsolated = false;
    reclosingPathFound = false;
    elapsed = 0.0;
    remainingCapacity = 0.0;
    faultedEdge = Edge{};
    trippedEdges.clear();
    standInBreakers.clear();
    openedIsolators.clear();
    notYetOpen.clear();
    backFeedPaths.clear();
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
    // The clock may stop a rounding step short of the repair; that makes nothing late, and must not
    // give every load a shortage of that length. A load the fault never changed has nothing to file.
    const double late = std::max(0.0, elapsed - repair);
    std::vector<std::pair<Node, AOutageRecord>> records;
    for (Node n : changedNodes) {
        if (!component(n).isLoad())
            continue;
        AOutageRecord r = component(n).getOutageRecord(elapsed);
        r.timeNotConnected = std::min(r.timeNotConnected, repair);
        r.timeLoadShed = std::max(0.0, r.timeLoadShed - late);
        records.emplace_back(n, r);
    }
    removeTemporaryEdges();
    for (const auto& [n, r] : records)
        components.Get(n)->addFaultRecord(r, failureRate);
    if (diagnostics != nullptr || results != nullptr)
        for (Node n : loadNodes)
            component(n).printTotals(diagnostics, results);
    return true;
}

std::vector<ADist_Graph::Edge> ADist_Graph::mainSections(const std::vector<Edge>& edges) const
{
    std::vector<Edge> sections;
    for (Edge e : edges)
        if (usable(e) && !feeder(e).isLateral())
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

ADist_Graph::Edge ADist_Graph::faultMainFeeder(Edge f)
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

    if (!operateIsolators(upstream, downstream))
        return {};
    return backFeed({f});
}

ADist_Graph::Edge ADist_Graph::islat(Edge f)
{
    if (change(f).trip()) {
        // The lateral's own fuse or breaker: everything below it goes dark, the rest never notices.
        trippedEdges.push_back(f);
        disconnectDownstream(Target(f));
        return {};
    }
    clearFault({f});

    // An isolator on the lateral itself, the nearest above the fault (the faulted section's own
    // first), cuts the fault off alone: the tripped device closes again once it is open.
    Edge isolator = change(f).openForIsolation() ? f : Edge{};
    // Otherwise isolate around the lateral's tap on the main, climbing a lateral drawn in several
    // sections, but never past a device that tripped.
    Node tap = Source(f);
    newWalk();
    visit(tap);
    while (isolator.IsNull()) {
        bool onMain = false;
        Edge up;
        for (Edge i : InEdges(tap)) {
            if (!usable(i))
                continue;
            if (!feeder(i).isLateral())
                onMain = true;
            else if (up.IsNull())
                up = i;
        }
        if (onMain || up.IsNull() || isOpen(up) || !visit(Source(up)))
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
        return {};
    }
    // A lateral straight from the supply has no main of its own to isolate it on: the feeders
    // leaving the supply beside it are others, which its fault never reached.
    if (tap == supplyNode)
        return {};
    const std::vector<Edge> below = mainSections(OutEdges(tap));
    const Edge upstream = findIsolator(mainSections(InEdges(tap)), Toward::Supply);
    const Edge downstream = findIsolator(below, Toward::Loads);

    if (!operateIsolators(upstream, downstream))
        return {};
    if (diagnostics)
        *diagnostics << "After Isolate in islat\n";
    const Edge path = backFeed(below);
    if (diagnostics)
        *diagnostics << "After close Nearest recloser in islat\n";
    return path;
}

// Climbs from the fault (and on a ring from the sections feeding it round the far side) towards
// the supply on every path until a protective device trips; what lies below it goes dark. A path
// that reaches the top without one (no breaker drawn) is cleared by its top section, which stands
// in for the supply's breaker.
void ADist_Graph::clearFault(const std::vector<Edge>& starts)
{
    newWalk();
    std::vector<Edge> stack(starts.rbegin(), starts.rend());
    while (!stack.empty()) {
        const Edge e = stack.back();
        stack.pop_back();
        if (std::find(trippedEdges.begin(), trippedEdges.end(), e) != trippedEdges.end())
            continue;
        if (change(e).trip()) {
            trippedEdges.push_back(e);
            continue;
        }
        const Node u = Source(e);
        if (!visit(u))
            continue;
        const auto& ins = InEdges(u);
        bool climbed = false;
        for (auto it = ins.rbegin(); it != ins.rend(); ++it)
            if (usable(*it) && !isOpen(*it)) {
                stack.push_back(*it);
                climbed = true;
            }
        if (!climbed && std::find(standInBreakers.begin(), standInBreakers.end(), e) == standInBreakers.end()) {
            standInBreakers.push_back(e);
            change(e).disconnect();
        }
    }
    for (Edge e : trippedEdges)
        disconnectDownstream(Target(e));
    for (Edge e : standInBreakers)
        disconnectDownstream(Target(e));
    if (!standInBreakers.empty()) {
        unprotectedFeeders.push_back(faultedFeederId);
        if (diagnostics)
            *diagnostics << "No protective device above feeder " << faultedFeederId
                         << ": its top section clears the fault\n";
    }
}

// Depth first towards the supply, or away from it, over main feeders; on each path the first
// isolator met opens, and no path is followed past a device that tripped (nor, away from the
// supply, past a tie). Towards the supply the result is the isolator that opens last (on a radial
// feeder, the only one): only then is every path to the fault open. Away from it, the first found.
ADist_Graph::Edge ADist_Graph::findIsolator(const std::vector<Edge>& starts, Toward toward)
{
    const bool up = toward == Toward::Supply;
    Edge found;
    newWalk();
    std::vector<Edge> stack(starts.rbegin(), starts.rend());
    while (!stack.empty()) {
        const Edge e = stack.back();
        stack.pop_back();
        if (change(e).openForIsolation()) {
            openedIsolators.push_back(e);
            if (found.IsNull() || (up && feeder(e).getSwitchingTime() > feeder(found).getSwitchingTime()))
                found = e;
            (up ? upstreamIsolated : downstreamIsolated) = true;
            continue;
        }
        if (isOpen(e) || (!up && feeder(e).isReclosing()))
            continue;
        const Node next = up ? Source(e) : Target(e);
        if (!visit(next))
            continue;
        const auto& edges = up ? InEdges(next) : OutEdges(next);
        for (auto it = edges.rbegin(); it != edges.rend(); ++it)
            if (usable(*it) && feeder(*it).isMain())
                stack.push_back(*it);
    }
    return found;
}

// Sections that feed the part below f from outside it: on a ring, the far side of the fault.
std::vector<ADist_Graph::Edge> ADist_Graph::feedsFromElsewhere(Edge f)
{
    std::vector<Edge> feeds;
    if (Target(f) == sinkNode)
        return feeds;
    std::vector<Node> below;
    walkDownstream(
        {Target(f)},
        [&](Node u) {
            below.push_back(u);
            return false;
        },
        [&](Edge o) { return conducts(o) && Target(o) != sinkNode; });
    // The walk's marks still tell the part below from the rest.
    std::sort(below.begin(), below.end());
    for (Node u : below)
        for (Edge e : InEdges(u))
            if (e != f && conducts(e) && !seen(Source(e)))
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
    newWalk();
    std::vector<Node> stack{from};
    const auto step = [&](Edge e, Node next) {
        if (next != sinkNode && usable(e) && !feeder(e).isFaulted() && (!isOpen(e) || waiting(e)))
            stack.push_back(next);
    };
    while (!stack.empty()) {
        const Node u = stack.back();
        stack.pop_back();
        if (!visit(u))
            continue;
        if (u == a || u == b)
            return true;
        for (Edge o : OutEdges(u))
            step(o, Target(o));
        for (Edge i : InEdges(u))
            step(i, Source(i));
    }
    return false;
}

// Supplies again what the closed device d feeds: every node that closed sections join to its
// far end, followed either way (on a ring part of it lies against the sections' direction). Only
// what was out counts as changed: through the supply the walk may pass into feeders the fault
// never reached.
void ADist_Graph::reconnectBelow(Edge d)
{
    newWalk();
    visit(Source(d));
    std::vector<Node> stack{Target(d)};
    const auto step = [&](Edge e, Node next) {
        if (!conducts(e))
            return;
        if (!feeder(e).isConnected())
            change(e).connect();
        if (next != sinkNode)
            stack.push_back(next);
    };
    while (!stack.empty()) {
        const Node u = stack.back();
        stack.pop_back();
        if (!visit(u))
            continue;
        if (!component(u).isConnected())
            change(u).connect(elapsed);
        for (Edge o : OutEdges(u))
            step(o, Target(o));
        for (Edge i : InEdges(u))
            step(i, Source(i));
    }
}

// Looks for normally open ties below the isolated part, depth first over main feeders and ties as
// the isolator searches go, and closes those that can feed an isolated part without reaching the
// fault: of the ties that can feed a part still dark, the one that feeds it first closes, and the
// loads it leaves short are shed from that moment. Returns the first edge that then points from
// the live end of a tie to the dead one.
ADist_Graph::Edge ADist_Graph::backFeed(const std::vector<Edge>& starts)
{
    std::vector<Edge> ties;
    const auto addTie = [&](Edge t) {
        if (usable(t) && feeder(t).isSwitchOpen() && std::find(ties.begin(), ties.end(), t) == ties.end())
            ties.push_back(t);
    };
    newWalk();
    std::vector<Edge> stack(starts.rbegin(), starts.rend());
    while (!stack.empty()) {
        const Edge e = stack.back();
        stack.pop_back();
        if (feeder(e).isReclosing()) {
            addTie(e);
            continue;
        }
        const Node v = Target(e);
        if (!visit(v))
            continue;
        for (Edge i : InEdges(v))
            if (feeder(i).isReclosing())
                addTie(i);
        const auto& outs = OutEdges(v);
        for (auto it = outs.rbegin(); it != outs.rend(); ++it)
            if (usable(*it) && !feeder(*it).isLateral())
                stack.push_back(*it);
    }
    // Earliest first: a part fed by one tie may be the live end of the next.
    for (;;) {
        Edge first;
        double firstTime = 0.0;
        for (Edge tie : ties) {
            double t = 0.0;
            if (feeder(tie).isSwitchOpen() && backFeedTime(tie, t) && (first.IsNull() || t < firstTime)) {
                first = tie;
                firstTime = t;
            }
        }
        if (first.IsNull())
            break;
        backFeedPaths.push_back(closeTie(first));
        shedLoads();
    }
    return backFeedPaths.empty() ? Edge{} : backFeedPaths.front();
}

// The end of the tie that is dark, when exactly one is, with the switch that cuts its part off from
// the fault; the path up to that switch is left reversed. False (and nothing left changed) when the
// tie cannot feed a dark part without reaching the fault.
bool ADist_Graph::reverseDarkSide(Edge tie, Node& dead, Edge& cutOff)
{
    const Node s = Source(tie);
    const Node t = Target(tie);
    if (component(s).isConnected() == component(t).isConnected())
        return false;
    dead = component(s).isConnected() ? t : s;
    const std::size_t keep = temporaryEdges.size();
    if (reverseUpstreamPath(dead, &cutOff) != PathEnd::OpenSwitch || wouldReachFault(dead)) {
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
    const std::size_t keep = temporaryEdges.size();
    Node dead;
    Edge cutOff;
    if (!reverseDarkSide(tie, dead, cutOff))
        return false;
    undoTemporaryEdges(keep);
    const Node live = dead == Target(tie) ? Source(tie) : Target(tie);
    time = std::max({feeder(cutOff).getSwitchingTime(), feeder(tie).getSwitchingTime(),
                     component(live).getRestoredAt()});
    return true;
}

ADist_Graph::Edge ADist_Graph::closeTie(Edge tie)
{
    Node dead;
    Edge cutOff;
    reverseDarkSide(tie, dead, cutOff);
    const Node live = dead == Target(tie) ? Source(tie) : Target(tie);
    const Edge path = dead == Target(tie) ? tie : newTemporaryEdge(live, dead, tie);
    setClock(feeder(cutOff).getSwitchingTime());
    advanceTo(feeder(tie).getSwitchingTime());
    advanceTo(component(live).getRestoredAt());
    change(tie).reclose();
    connectTransferred(dead);
    walkDownstream(
        lateralsSharingTie(live),
        [&](Node u) {
            change(u).setTransferred();
            return false;
        },
        [&](Edge o) { return usable(o) && !isOpen(o) && Target(o) != sinkNode; });
    reclosingPathFound = true;
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
    ls(transfers, flow);
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
    remainingCapacity = 0.0;
    for (Edge o : OutEdges(live))
        if (usable(o))
            remainingCapacity += flow.GetMaxFlow(o);
    newWalk();
    thesisCapacityWalk(Target(path), list);
    for (Node lateral : lateralsSharingTie(live))
        thesisCapacityWalk(lateral, list);
    return list;
}

// The laterals at the live end of a tie share its capacity with the part it feeds. The supply
// limits nothing, and the laterals leaving it may lie in any feeder of the network.
std::vector<ADist_Graph::Node> ADist_Graph::lateralsSharingTie(Node live) const
{
    std::vector<Node> laterals;
    if (live != supplyNode)
        for (Edge o : OutEdges(live))
            if (usable(o) && !isOpen(o) && feeder(o).isLateral())
                laterals.push_back(Target(o));
    return laterals;
}

// Hands `remainingCapacity` to the loads below n: a load takes its demand or what is left; below
// a node the main branches come first, each held to its feeder's capacity, then the laterals.
// The caller starts the walk's marks.
void ADist_Graph::thesisCapacityWalk(Node n, std::vector<TransferRecord>& list)
{
    struct Frame {
        Node node;
        int stage = 0;  // 0 arriving, 1 main branches, 2 laterals
        std::size_t next = 0;
        double aside = 0.0;
        bool restore = false;
    };
    std::vector<Frame> stack{Frame{n}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.restore) {
            remainingCapacity += f.aside;
            f.restore = false;
        }
        if (f.stage == 0) {
            if (!visit(f.node)) {
                stack.pop_back();
                continue;
            }
            const AComponent& c = component(f.node);
            if (c.isLoad()) {
                const double share = std::max(0.0, std::min(c.getDemand(), remainingCapacity));
                remainingCapacity -= share;
                list.push_back({share, c.getId(), f.node});
            }
            f.stage = 1;
        }
        const auto& outs = OutEdges(f.node);
        Node child;
        while (f.next < outs.size() && child.IsNull()) {
            const Edge o = outs[f.next++];
            if (!usable(o) || isOpen(o) || Target(o) == sinkNode)
                continue;
            if (f.stage == 1 && feeder(o).isMain()) {
                const double limit = std::min(remainingCapacity, feeder(o).getCapacity());
                f.aside = remainingCapacity - limit;
                f.restore = true;
                remainingCapacity = limit;
                child = Target(o);
            } else if (f.stage == 2 && feeder(o).isLateral()) {
                child = Target(o);
            }
        }
        if (!child.IsNull()) {
            stack.push_back(Frame{child});
            continue;
        }
        if (f.stage == 1) {
            f.stage = 2;
            f.next = 0;
            continue;
        }
        stack.pop_back();
    }
}

// Load shedding: a supplied load whose share of capacity falls short of its demand is shed from now
// until the repair. The share is its flow to the terminal, or with the "Thesis method" for a
// transferred load, the share the thesis walk gave it.
void ADist_Graph::ls(const std::vector<TransferRecord>& transfers, const MaxFlow& flow)
{
    // Each load's first record, by node.
    std::unordered_map<std::int32_t, const TransferRecord*> share;
    for (const TransferRecord& r : transfers)
        share.emplace(r.node.index, &r);
    for (Node n : flowLoads) {
        const auto listed = share.find(n.index);
        double capacity = 0.0;
        if (thesisMethod && component(n).isTransferred() && listed != share.end()) {
            capacity = listed->second->value;
        } else {
            for (Edge o : OutEdges(n))
                if (Target(o) == sinkNode && usable(o))
                    capacity += flow.GetMaxFlow(o);
        }
        change(n).recordLoadShed(capacity, elapsed);
    }
}
