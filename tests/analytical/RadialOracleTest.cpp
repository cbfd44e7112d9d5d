// An independent reference for the analytical engine on radial networks without ties or capacity
// limits: random trees are drawn with widgets, generated to GML and run with every feeder
// faulted, and each load's outage for each fault, each load's totals and the five indices are
// compared with what radial protection gives when worked out directly on the tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "analytical/AnalyticalSimulator.h"
#include "analytical/GMLGenerator.h"
#include "editor/Mode.h"
#include "tests/Drawing.h"

using drawing::Symbol;

namespace {

using Kind = WidgetType;  // a line, circuit breaker, fuse, isolator, transformer or equipment

// Section s feeds node s + 1 from node `parent`; node 0 is the supply. A section's switching
// device sits at its supply end, so a section's own breaker or fuse clears a fault on it and its
// own isolator cuts it off from the supply.
struct Section {
    int parent = 0;
    Kind kind = Kind::Line;
    bool main = true;
    double rate = 0.0;    // faults a year a mile
    double length = 1.0;  // miles
    double repair = 0.0;  // hours
    double switchTime = 0.0;
    bool drawnBackwards = false;
    CFeederData* widget = nullptr;

    double failureRate() const { return rate * length; }
    int feederId() const { return widget->m_nFeederType == 1 ? widget->m_nMainFeederId : widget->m_nLateralFeederId; }
};

struct LoadSpec {
    int node = 0, customers = 0;
    double load = 0.0;  // kVA
};

struct Radial {
    std::vector<Section> sections;
    std::vector<LoadSpec> loads;  // in load id order

    int nodeCount() const { return static_cast<int>(sections.size()) + 1; }
    int parentOf(int node) const { return sections[static_cast<std::size_t>(node - 1)].parent; }

    // True when `node` is at or below the far end of section s.
    bool below(int node, int s) const
    {
        for (int v = node; v != 0; v = parentOf(v))
            if (v == s + 1)
                return true;
        return false;
    }

    std::string describe() const
    {
        std::ostringstream out;
        for (std::size_t s = 0; s < sections.size(); ++s) {
            const Section& x = sections[s];
            out << "  section " << s << " (feeder " << x.feederId() << "): node " << x.parent << " -> " << s + 1 << ", "
                << (x.main ? "main" : "lateral") << ' ' << WidgetTypeName(x.kind) << ", lambda " << x.failureRate() << ", repair "
                << x.repair;
            if (x.kind == Kind::Isolator)
                out << ", switching " << x.switchTime;
            out << (x.drawnBackwards ? ", drawn backwards\n" : "\n");
        }
        for (std::size_t k = 0; k < loads.size(); ++k)
            out << "  load " << k << " at node " << loads[k].node << ": " << loads[k].customers << " customers, "
                << loads[k].load << " kVA\n";
        return out.str();
    }
};

// --- The reference -------------------------------------------------------------------------

// Hours that a fault on section f keeps each node without supply.
//  - The fault is cleared by the nearest breaker or fuse at or above it; everything below that
//    device goes dark. With no such device the supply clears it, as if a breaker stood at the
//    head of the feeder leaving the supply: that whole feeder is out. The supply's other feeders
//    stay in: every feeder leaving a substation has its own breaker, so a missing one is taken
//    as one not drawn, not as a fault on the substation's bus.
//  - The nearest isolator between the fault (its own section included) and that device opens
//    after its switching time; a breaker (the supply's too) then closes again and every node it
//    fed that is not below the isolator is back. A blown fuse cannot be closed: what it fed
//    stays out until the repair. An isolator at or above the clearing device cannot help.
//    Isolators are used whether they sit on a main or on a lateral: an isolator on a lateral is
//    fitted exactly to cut that lateral's faults off.
//  - Without a tie nothing below the fault can be fed again before the repair, and the repair
//    ends every outage of the fault: no switch keeps a node out longer than the repair time.
std::vector<double> HoursOut(const Radial& net, int f)
{
    std::vector<int> path;  // f and the sections above it, nearest first
    for (int s = f;; s = net.parentOf(s + 1) - 1) {
        path.push_back(s);
        if (net.sections[static_cast<std::size_t>(s)].parent == 0)
            break;
    }
    int clearing = path.back();
    for (int s : path)
        if (const Kind k = net.sections[static_cast<std::size_t>(s)].kind; k == Kind::CircuitBreaker || k == Kind::Fuse) {
            clearing = s;
            break;
        }
    const bool recloses = net.sections[static_cast<std::size_t>(clearing)].kind != Kind::Fuse;
    int isolator = -1;
    for (int s : path) {
        if (!recloses)
            break;
        if (s == clearing)
            break;
        if (net.sections[static_cast<std::size_t>(s)].kind == Kind::Isolator) {
            isolator = s;
            break;
        }
    }
    const Section& faulted = net.sections[static_cast<std::size_t>(f)];
    std::vector<double> hours(static_cast<std::size_t>(net.nodeCount()), 0.0);  // the supply's node is never out
    for (int v = 1; v < net.nodeCount(); ++v) {
        if (!net.below(v, clearing))
            continue;
        if (isolator >= 0 && !net.below(v, isolator))
            hours[static_cast<std::size_t>(v)] =
                std::min(net.sections[static_cast<std::size_t>(isolator)].switchTime, faulted.repair);
        else
            hours[static_cast<std::size_t>(v)] = faulted.repair;
    }
    return hours;
}

struct Expected {
    std::vector<std::vector<double>> hours;  // by section, then load
    std::vector<double> rate;                // by load: interruptions a year
    std::vector<double> unavailability;      // by load: hours a year
    double SAIFI = 0, SAIDI = 0, CAIDI = 0, ASAI = 0, ENS = 0;
};

// A load is interrupted by a fault when the fault leaves it out for some time: its rate grows by
// the faulted section's failure rate, its unavailability by that rate times the hours out. The
// indices follow from their definitions over the load points (a load's real demand in kVA).
Expected Reference(const Radial& net)
{
    Expected e;
    e.rate.assign(net.loads.size(), 0.0);
    e.unavailability.assign(net.loads.size(), 0.0);
    for (int f = 0; f < static_cast<int>(net.sections.size()); ++f) {
        const std::vector<double> nodeHours = HoursOut(net, f);
        const double lambda = net.sections[static_cast<std::size_t>(f)].failureRate();
        std::vector<double> loadHours;
        for (std::size_t k = 0; k < net.loads.size(); ++k) {
            const double h = nodeHours[static_cast<std::size_t>(net.loads[k].node)];
            loadHours.push_back(h);
            if (h > 0) {
                e.rate[k] += lambda;
                e.unavailability[k] += lambda * h;
            }
        }
        e.hours.push_back(loadHours);
    }
    double customers = 0, interruptions = 0, hours = 0;
    for (std::size_t k = 0; k < net.loads.size(); ++k) {
        customers += net.loads[k].customers;
        interruptions += net.loads[k].customers * e.rate[k];
        hours += net.loads[k].customers * e.unavailability[k];
        e.ENS += net.loads[k].load * e.unavailability[k];
    }
    e.SAIFI = interruptions / customers;
    e.SAIDI = hours / customers;
    e.CAIDI = hours / interruptions;
    e.ASAI = (8760.0 * customers - hours) / (8760.0 * customers);
    return e;
}

// --- Random radial networks ----------------------------------------------------------------

Radial RandomRadial(std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&](int n) { return static_cast<int>(unit(random) * n) % n; };
    // The GML text holds four decimals.
    auto value = [&](double low, double high) { return std::round((low + (high - low) * unit(random)) * 1e4) / 1e4; };
    Radial net;
    const int sections = 2 + pick(14);
    for (int s = 0; s < sections; ++s) {
        Section x;
        // Mostly extend one of the last few nodes, so mains run long and laterals branch off.
        const int nodes = s + 1;
        x.parent = unit(random) < 0.7 ? std::max(0, nodes - 1 - pick(3)) : pick(nodes);
        const bool parentMain = x.parent == 0 || net.sections[static_cast<std::size_t>(x.parent - 1)].main;
        x.main = parentMain && unit(random) < 0.6;
        // Below each bound, the kind.
        const std::pair<double, Kind> kinds[] = {{0.4, Kind::Line},      {0.47, Kind::CircuitBreaker},
                                                 {0.62, Kind::Fuse},     {0.8, Kind::Isolator},
                                                 {0.9, Kind::Transformer}, {1.1, Kind::Equipment}};
        const double kind = unit(random);
        x.kind = s == 0 && unit(random) < 0.85
                     ? Kind::CircuitBreaker
                     : std::find_if(std::begin(kinds), std::end(kinds), [&](const auto& k) { return kind < k.first; })->second;
        x.rate = unit(random) < 0.8 ? value(0.05, 1.05) : 0.0;
        x.length = value(0.5, 3);
        // A switch that acts at once and a repair that takes no time interrupt nobody.
        x.repair = unit(random) < 0.05 ? 0.0 : value(1, 10);
        x.switchTime = unit(random) < 0.1 ? 0.0 : value(0, 3);
        x.drawnBackwards = unit(random) < 0.4;
        net.sections.push_back(x);
    }
    std::vector<bool> hasChild(static_cast<std::size_t>(net.nodeCount()), false);
    for (const Section& x : net.sections)
        hasChild[static_cast<std::size_t>(x.parent)] = true;
    if (unit(random) < 0.05)
        net.loads.push_back({0, 1 + pick(100), value(0.5, 80.5)});
    for (int v = 1; v < net.nodeCount(); ++v) {
        const int count = hasChild[static_cast<std::size_t>(v)] ? (unit(random) < 0.25 ? 1 : 0) : (unit(random) < 0.1 ? 2 : 1);
        for (int i = 0; i < count; ++i)
            net.loads.push_back({v, 1 + pick(100), value(0.5, 80.5)});
    }
    std::shuffle(net.loads.begin(), net.loads.end(), random);
    return net;
}

// Draws the tree left to right, one column a level: a node takes the row of its first child and
// each further child opens rows below, so no two sections cross or touch away from their nodes.
// Sections go into the document in a shuffled order.
void Draw(Radial& net, CKorvaneDoc& doc, std::mt19937& random)
{
    const int n = net.nodeCount();
    std::vector<std::vector<int>> children(static_cast<std::size_t>(n));
    for (int s = 0; s < static_cast<int>(net.sections.size()); ++s)
        children[static_cast<std::size_t>(net.sections[static_cast<std::size_t>(s)].parent)].push_back(s + 1);
    std::vector<int> depth(static_cast<std::size_t>(n), 0), row(static_cast<std::size_t>(n), 0);
    int nextRow = 0;
    std::function<void(int)> place = [&](int v) {
        const auto& c = children[static_cast<std::size_t>(v)];
        for (int w : c) {
            depth[static_cast<std::size_t>(w)] = depth[static_cast<std::size_t>(v)] + 1;
            place(w);
        }
        row[static_cast<std::size_t>(v)] = c.empty() ? nextRow++ : row[static_cast<std::size_t>(c.front())];
    };
    place(0);
    auto at = [&](int v) { return CPoint(100 + 100 * depth[static_cast<std::size_t>(v)], 100 + 100 * row[static_cast<std::size_t>(v)]); };

    Symbol<CGenSource>(doc, at(0));
    std::vector<int> order(net.sections.size());
    for (std::size_t s = 0; s < order.size(); ++s)
        order[s] = static_cast<int>(s);
    std::shuffle(order.begin(), order.end(), random);
    for (int s : order) {
        Section& x = net.sections[static_cast<std::size_t>(s)];
        CPoint a = at(x.parent), b = at(s + 1);
        if (x.drawnBackwards)
            std::swap(a, b);
        CWidget* widget = doc.AddWidget(NewWidget(x.kind, a, b));
        if (auto* isolator = dynamic_cast<CIsolator*>(widget))
            isolator->m_dSwitchTime = x.switchTime;
        // The transformer's own outage data are not part of the feeder-fault assessment.
        if (auto* equipment = dynamic_cast<CEquipmentBase*>(widget))
            equipment->m_dTransOutageRate = 0.7, equipment->m_dTransRepairTime = 30;
        auto* data = dynamic_cast<CFeederData*>(widget);
        data->m_nFeederType = x.main ? 1 : 2;
        data->m_dFaultRate = x.rate;
        data->m_dFeederLength = x.length;
        data->m_dRepairTime = x.repair;
        x.widget = data;
    }
    for (const LoadSpec& l : net.loads) {
        CLoadPoint* load = Symbol<CLoadPoint>(doc, at(l.node));
        load->m_nNumCustomers = l.customers;
        load->m_dLoad = l.load;
    }
}

// Within rounding; no value (CAIDI without interruptions) matches only no value.
bool Close(double actual, double expected)
{
    return std::isnan(expected) ? std::isnan(actual) : std::fabs(actual - expected) <= 1e-9 * std::max(1.0, std::fabs(expected));
}

// Compares one run with the reference; the first difference is reported with the network.
void Check(const Radial& net, const Expected& e, const CAnalyticalResult& result, const std::vector<CGMLResult>& records,
           const std::string& what)
{
    ASSERT_TRUE(result.ok) << what << result.error;
    const std::size_t loads = net.loads.size();
    const std::size_t faults = net.sections.size();
    ASSERT_EQ(result.faultedFeeders, static_cast<int>(faults)) << what;
    ASSERT_EQ(records.size(), faults * loads) << what;
    std::map<int, int> sectionOf;
    for (std::size_t s = 0; s < faults; ++s)
        sectionOf[net.sections[s].feederId()] = static_cast<int>(s);
    ASSERT_EQ(sectionOf.size(), faults) << what;
    auto record = [&](std::size_t fault, std::size_t loadId) -> const CGMLResult& {
        for (std::size_t i = fault * loads; i < (fault + 1) * loads; ++i)
            if (records[i].m_nLoadId == static_cast<int>(loadId))
                return records[i];
        ADD_FAILURE() << what << "no record of load " << loadId << " after fault " << fault + 1;
        return records[0];
    };
    for (std::size_t fault = 0; fault < faults; ++fault) {
        const int s = sectionOf[static_cast<int>(fault) + 1];
        for (std::size_t k = 0; k < loads; ++k) {
            const double before = fault == 0 ? 0.0 : record(fault - 1, k).m_dTimeNotConnected;
            const double out = record(fault, k).m_dTimeNotConnected - before;
            ASSERT_TRUE(Close(out, e.hours[static_cast<std::size_t>(s)][k]))
                << what << "fault on feeder " << fault + 1 << " (section " << s << "): load " << k << " out " << out
                << " h, expected " << e.hours[static_cast<std::size_t>(s)][k] << " h";
        }
    }
    const auto expect = [&](const std::string& name, double actual, double expected) {
        EXPECT_TRUE(Close(actual, expected)) << what << name << " " << actual << ", expected " << expected;
    };
    for (std::size_t k = 0; k < loads; ++k) {
        const CGMLResult& last = record(faults - 1, k);
        expect("load " + std::to_string(k) + " rate", last.m_dTotalOutageRate, e.rate[k]);
        expect("load " + std::to_string(k) + " unavailability", last.m_dTotalUnavailability, e.unavailability[k]);
    }
    const AReliabilityMetrics& m = result.metrics;
    for (const auto& [name, actual, expected] : {std::tuple{"SAIFI", m.SAIFI, e.SAIFI}, {"SAIDI", m.SAIDI, e.SAIDI},
                                                 {"CAIDI", m.CAIDI, e.CAIDI}, {"ASAI", m.ASAI, e.ASAI}, {"ENS", m.ENS, e.ENS}})
        expect(name, actual, expected);
}

}  // namespace

TEST(RadialOracle, EveryIndexOfRandomRadialNetworksMatchesTheReference)
{
    std::mt19937 random(20261206);
    for (int round = 0; round < 400; ++round) {
        Radial net = RandomRadial(random);
        CKorvaneDoc doc;
        Draw(net, doc, random);
        CGMLGenerator generator(&doc);
        ASSERT_TRUE(generator.Validate()) << "round " << round;
        generator.Generate();
        const Expected e = Reference(net);
        // Without ties the two load-shedding methods, and unlimited mains, change nothing.
        for (int method : {0, 1})
            for (int minimumCutSet : {0, 1}) {
                std::vector<CGMLResult> records;
                const CAnalyticalResult result = CAnalyticalSimulator().Run(generator.GetGML(), minimumCutSet, method, 1000, &records);
                const std::string what = "round " + std::to_string(round) + ", method " + std::to_string(method) +
                                         ", minimum cut set " + std::to_string(minimumCutSet) + "\n" + net.describe();
                Check(net, e, result, records, what);
                if (HasFailure())
                    return;
            }
    }
}

