// The Monte Carlo model of a network (nodes, and an edge per simulated element), its builders,
// the year loop that simulates it and the reports of its results.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "montecarlo/DistributionWeibull.h"
#include "montecarlo/Estimate.h"
#include "montecarlo/LoadDemand.h"
#include "montecarlo/PatternCache.h"
#include "montecarlo/Random.h"

class COutput;
class CRunControl;
class ISimulationProgress;

// One end of an edge as seen from a node: fromHere when the node is the edge's from-node.
struct SimLink {
    unsigned edge = 0;
    bool fromHere = false;
};

struct SimNode {
    std::vector<SimLink> adjacency;
    bool supplyRoot = false;  // node 0 during a run
    bool sink = false;        // node 1 during a run
};

enum SimEdgeType : int {
    kSupplyEdge = 0,
    kLoadEdge = 1,
    kBreakerEdge = 2,  // breakers, fuses, a source's switch and a recloser's two sides
    kIsolatorEdge = 3,
    kEquipmentEdge = 4,
    kLineEdge = 5,
    kRecloserEdge = 6,
};

enum SimEdgeState : int {
    kWorking = 0,
    kFailed = 1,    // isolation running
    kIsolated = 2,  // repair running
};

struct SimEdge {
    // What the year loop touches in every quantum comes first, in one cache line.
    int type = kSupplyEdge;
    int state = kWorking;
    // 64-bit, so "never" (a rate of 0, a perfect conductor) cannot come round.
    std::uint64_t failureCountdown = 0;
    std::uint64_t isolationCountdown = 0;
    std::uint64_t repairCountdown = 0;
    std::uint64_t recloseCountdown = 0;
    // Load edges.
    bool supplied = true;  // fully supplied in the previous quantum
    std::uint64_t interruptionsThisYear = 0;
    std::uint64_t interruptedQuantaThisYear = 0;
    std::uint64_t runningInterruptionQuanta = 0;
    double energyNotSuppliedThisYear = 0.0;  // demand x quanta

    unsigned from = 0;
    unsigned to = 0;
    double capacity = -1.0;  // -1.0: unlimited, replaced when the run starts
    unsigned customers = 0;
    unsigned priority = 1;
    // In quanta, fed by the model's one generator.
    CDistributionWeibull failure;
    CDistributionWeibull isolation;
    CDistributionWeibull repair;
    CDistributionWeibull reclose;
    std::string name;  // load edges
    // Load edges: the demand of quantum i of the year is loadCurve[(i x size) / quanta per year],
    // the profile stretched or thinned over the year and already scaled.
    std::vector<double> loadCurve;
};

// The results of a load point, kept apart from its edge so that the edges the year loop walks
// lie close together.
struct SimLoadEstimates {
    CEstimate frequency;          // interruptions per year
    CEstimate interruptedYear;    // 1 for a year with an interruption, else 0
    CEstimate unavailability;     // hours per year
    CEstimate outageDuration;     // hours per interruption
    CEstimate energyNotSupplied;  // per year
    // The years whose samples the four yearly estimates hold; the years after it, up to the
    // model's count, were quiet (every sample 0) and are added when next they are needed.
    std::uint64_t yearsSampled = 0;
};

// One end of an edge as the year loop's searches walk it: the adjacency of all nodes in one array,
// each node's arcs in the order its edges were built.
struct SimArc {
    unsigned edge = 0;
    unsigned far = 0;  // the node at the other end
    int type = kSupplyEdge;
    bool fromHere = false;
};

class CSimulation {
public:
    enum class StopReason {
        Converged,  // every tested relative error fell below the accuracy
        YearMax,    // the most years were simulated
        Stopped,    // the owner asked to stop; nothing was reported
    };

    // How the year loop walks through a year. Both give the same results to the last bit.
    enum class Stepping {
        // Takes every run of quanta in which nothing can change in one step.
        Production,
        // Every quantum on its own, exactly as the model defines the year: the yardstick that the
        // tests and benchmarks hold the production stepping against.
        Reference,
    };

    CSimulation() = default;
    // Edges keep a pointer to the model's generator, so the model stays where it was built.
    CSimulation(const CSimulation&) = delete;
    CSimulation& operator=(const CSimulation&) = delete;

    // Prepares an empty model: nodes 0 (supply root) and 1 (common sink), no edges, the generator
    // at its start, production stepping. Warnings, errors and reports go to `output` and progress
    // to `progress`; either may be null. Neither is owned.
    void Init(COutput* output = nullptr, ISimulationProgress* progress = nullptr);

    void SetSystem(unsigned quantsPerDay, unsigned yearMin, unsigned yearMax, unsigned yearStep, double accuracy);
    void SetStepping(Stepping stepping) { m_stepping = stepping; }

    // The builders. Node numbers are model node indices; the model grows to hold any of them.
    // The returned edge is valid until the next edge is added.
    SimEdge& AddEdge(int type, unsigned from, unsigned to);
    void AddSupply(unsigned from, unsigned to, double capacity);
    // What AddLoad made of a load; when it refused one, nothing was built and the caller reports it.
    using LoadResult = CLoadDemand::Result;

    // The load's curve as CLoadDemand scales it (-1.0: an average or peak not given), with a trace
    // warning when the average or peak cannot be reached; refused when it cannot be scaled or the
    // loads' peaks together would pass CLoadDemand::kMaxDemand.
    [[nodiscard]] LoadResult AddLoad(const std::string& name, unsigned from, unsigned to, unsigned customers,
                                     const std::vector<double>& profile, double average, double peak);
    void AddBreaker(unsigned from, unsigned to, double capacity);
    void AddIsolator(unsigned from, unsigned to, double capacity);
    // Failures per year, isolation and repair hours, each with its Weibull shape.
    void AddEquipment(unsigned from, unsigned to, double capacity, double failureRate, double failureShape,
                      double isolationHours, double isolationShape, double repairHours, double repairShape);
    void AddLine(unsigned from, unsigned to, double capacity, double failureRate, double failureShape,
                 double isolationHours, double isolationShape, double repairHours, double repairShape);
    void AddRecloser(unsigned from, unsigned to, double capacity, double recloseHours, double recloseShape);

    // Simulates the built model year after year until it converges, reaches the most years or
    // is stopped through `control` (may be null), then writes the final report, whose links
    // point into the HTML report at `htmlPath`.
    StopReason Run(CRunControl* control, const std::string& htmlPath);

    // Releases the model.
    void Free();

    static constexpr unsigned kNoPart = ~0u;
    static constexpr unsigned kNoNode = ~0u;

    // Read access for the parser's tests, the reports and the benchmarks.
    unsigned GetQuantsPerDay() const { return m_quantsPerDay; }
    unsigned GetYearMin() const { return m_yearMin; }
    unsigned GetYearMax() const { return m_yearMax; }
    unsigned GetYearStep() const { return m_yearStep; }
    double GetAccuracy() const { return m_accuracy; }
    std::size_t GetNodeCount() const { return m_nodes.size(); }
    std::size_t GetEdgeCount() const { return m_edges.size(); }
    const SimNode& GetNode(std::size_t i) const { return m_nodes[i]; }
    const SimEdge& GetEdge(std::size_t i) const { return m_edges[i]; }
    // The results of load edge `edge`, from the start of a run.
    const SimLoadEstimates& GetLoadEstimates(std::size_t edge) const { return m_loadEstimates[m_loadOrdinal[edge]]; }
    double GetCurrentCapacity(std::size_t edge) const { return m_current[edge]; }
    double GetFlow(std::size_t edge) const { return m_flow[edge]; }
    double GetLoadCurveValue(std::size_t edge, std::uint64_t quantum) const;
    bool HasVaryingLoads() const { return m_varyingLoad; }
    unsigned GetYearsSimulated() const { return m_yearsSimulated; }
    // Where the generator stands: two runs that drew the same numbers end at the same state.
    std::uint32_t GetRandomState() const { return m_random.GetState(); }
    const CEstimate& GetSAIFI() const { return m_saifi; }
    const CEstimate& GetSAIDI() const { return m_saidi; }
    const CEstimate& GetCAIDI() const { return m_caidi; }
    const CEstimate& GetENS() const { return m_ens; }

    // The final report into the trace (level 2) and the HTML report.
    void WriteReport(unsigned years, std::uint64_t elapsedMs, const std::string& htmlPath);

private:
    void AddFailingEdge(int type, unsigned from, unsigned to, double capacity, double failureRate,
                        double failureShape, double isolationHours, double isolationShape, double repairHours,
                        double repairShape);
    double HoursToScale(double hours) const;
    // Takes a view, so trace lines made of literals cost no allocation inside a year.
    void Log(unsigned level, std::string_view text);

    // The year loop (SimulationYearLoop.cpp).
    void Prepare();
    void PrepareDemandSteps();
    StopReason MainLoop(CRunControl* control, const std::string& htmlPath);
    void SimulateYear();
    void SimulateQuantum(std::uint64_t t);
    void SetDemands(std::uint64_t t);
    void RecordSupply();
    // A load supplied again: its outage duration is recorded.
    void EndInterruption(unsigned load);
    void SortYearLoads();
    void AddYearlySamples(const std::vector<unsigned>& loads);
    // A load's yearly samples, the year counted among all years sampled; loads by their place among
    // the loads.
    struct YearSample {
        unsigned load;
        std::uint64_t year;
        double interruptions;
        double hours;
        double energy;
    };
    struct OutageSample {
        unsigned load;
        double hours;
    };
    // The production stepping logs its loads' samples and adds them a load at a time.
    static constexpr std::size_t kLoggedYearsPerLoad = 16;
    void AddYearSample(const YearSample& sample);
    template <typename Sample>
    void GroupByLoad(std::vector<Sample>& log, std::vector<Sample>& scratch);
    void FlushSampleLog();
    void FlushQuietYears(SimLoadEstimates& load, std::uint64_t upTo);
    void FlushAllQuietYears();
    bool Converged() const;

    // The network in one quantum (SimulationNetwork.cpp).
    // Moves every element's cycle on by one quantum; true when the network must be evaluated.
    bool StepElements();
    // The state of an equipment or line edge in this quantum (other edges always work).
    int NextEdgeState(SimEdge& edge)
    {
        if (edge.failureCountdown == 0 && edge.isolationCountdown == 0 && edge.repairCountdown == 0)
            DrawElementCycle(edge);
        if (edge.failureCountdown != 0) {
            --edge.failureCountdown;
            return kWorking;
        }
        if (edge.isolationCountdown != 0) {
            --edge.isolationCountdown;
            return kFailed;
        }
        --edge.repairCountdown;
        return kIsolated;
    }
    void DrawElementCycle(SimEdge& edge);
    // The countdown of the element's present state: the quanta it stays in it after this one.
    static std::uint64_t& ActiveCountdown(SimEdge& edge)
    {
        switch (edge.state) {
        case kWorking: return edge.failureCountdown;
        case kFailed: return edge.isolationCountdown;
        default: return edge.repairCountdown;
        }
    }
    std::uint64_t DrawQuanta(CDistributionWeibull& distribution);
    // A drawn time in whole quanta, at least 1; "never" for anything beyond 2^64.
    static std::uint64_t WholeQuanta(double sample);
    void EvaluateNetwork();
    // True when the search reached the supply root: no switch clears the fault.
    bool Isolate(unsigned failedEdge, bool withIsolators);
    void StepRecloser(unsigned recloser, bool bypassed);
    // Opens (capacity 0) or closes a switch.
    void SetSwitch(unsigned edge, double capacity);
    // Bit i of the words: whether switch i is closed. A switch is open (0) or carries its
    // capacity, so this says what its present capacity is.
    void StoreSwitchStates(std::uint64_t* words) const;
    bool RecloserBypassed(unsigned recloser);
    bool SearchBypass(unsigned recloser);
    void UpdateFlows();
    // The maximum flow over the edges (all with null) to the loads, from the root. For a part the
    // root is the attachment it hangs on, which offers only the part's own arcs (`rootArcs`) and
    // limits nothing; null: every arc of the root.
    void ComputeFlows(const std::vector<unsigned>* edges, const std::vector<unsigned>& loads, unsigned root,
                      const std::vector<unsigned>* rootArcs);
    // Augmenting paths from `root`, whose reachable capacity is `atRoot`, leaving it through
    // `rootArcs` (null: all its arcs).
    void AugmentFlows(unsigned root, double atRoot, const std::vector<unsigned>* rootArcs);
    unsigned NextStamp();

    // The production stepping (SimulationParts.cpp): a year taken from event to event, each
    // evaluating only the parts of the network where something changed.
    struct SimPart;
    void PrepareParts();
    bool SplitIntoParts(bool withHub);
    void PrepareEvents();
    static std::size_t SwitchWords(const SimPart& part);
    void SimulateYearByEvents();
    void SimulateEventQuantum(std::uint64_t g, bool yearStart);
    std::uint64_t NextEventQuantum(std::uint64_t g, std::uint64_t end);
    void RepeatEvaluations(std::uint64_t quanta);
    bool StepElement(unsigned e, std::uint64_t g);
    void SetDemandsByEvents(std::uint64_t t, std::uint64_t g);
    void Touch(unsigned part, bool switches);
    void EvaluatePart(unsigned index);
    void LabelRegions(unsigned index);
    // The hash of the part's key: its switch states, with `demands` its loads' demands too.
    std::uint64_t HashKey(SimPart& part, bool demands);
    // The entry of the part's present switch pattern, made (nothing known) when it has none.
    std::uint64_t* FindPattern(SimPart& part);
    static std::size_t PatternWords(const SimPart& part);
    // True when the recloser closed.
    bool StepRecloserByEvents(unsigned ordinal, unsigned fromRegion, unsigned toRegion);
    std::uint64_t BypassedCountdown(unsigned ordinal) const;
    void UpdatePartFlows(unsigned index, std::uint64_t g);
    void FindReach(unsigned index);
    bool SupplyReached(const SimPart& part);
    void UpdateSupply(const SimPart& part, std::uint64_t g);
    void ChangeSupply(unsigned load, bool supplied, std::uint64_t g);
    void SettleLoad(unsigned load, std::uint64_t upTo);
    void SettleCountdowns();

    COutput* m_output = nullptr;
    ISimulationProgress* m_progress = nullptr;
    Stepping m_stepping = Stepping::Production;

    unsigned m_quantsPerDay = 0;
    unsigned m_yearMin = 0;
    unsigned m_yearMax = 0;
    unsigned m_yearStep = 0;
    double m_accuracy = 0.0;

    std::vector<SimNode> m_nodes;
    std::vector<SimEdge> m_edges;
    // What each edge can carry in the present quantum (0: open; a load's present demand), what
    // the maximum flow may put through it, and what it puts through.
    std::vector<double> m_current;
    std::vector<double> m_flowCapacity;
    std::vector<double> m_flow;

    CRandom m_random;
    bool m_varyingLoad = false;
    CLoadDemand m_demand;  // the loads' peaks summed

    CEstimate m_saifi;
    CEstimate m_saidi;
    CEstimate m_caidi;
    CEstimate m_ens;

    std::size_t m_recloserCacheCapacity = 1;
    std::size_t m_flowCacheCapacity = 5;
    CPatternCache<std::uint64_t, std::uint8_t> m_recloserCache;
    CPatternCache<std::uint64_t, double> m_flowCache;

    // Prepared by Run; nothing below grows during a year.
    std::uint64_t m_quantaPerYear = 0;
    std::vector<unsigned> m_failing;    // equipment and line edges, in edge order
    std::vector<unsigned> m_loads;      // load edges, in edge order
    std::vector<unsigned> m_reclosers;  // recloser edges, in edge order
    // Breakers, isolators and reclosers: the only edges other than loads whose present capacity
    // ever changes, so their states and the loads' demands make up the caches' patterns. Each
    // evaluation starts from the switches' reset capacities (0 for reclosers).
    std::vector<unsigned> m_switches;
    std::vector<double> m_switchReset;
    std::vector<unsigned> m_switchOf;  // per edge: its index among the switches
    std::size_t m_switchWords = 0;
    std::vector<std::uint64_t> m_switchBits;  // closed switches, kept with their capacities
    std::vector<std::uint64_t> m_switchResetBits;
    std::vector<std::uint64_t> m_flowKey;     // switch states, then the demands' bits
    std::vector<std::uint64_t> m_recloserKey; // the recloser, then switch states
    // The elements out in the present quantum, in edge order.
    std::vector<unsigned> m_failedEdges;
    std::vector<unsigned> m_isolatedEdges;
    std::vector<unsigned> m_arcStart;  // node n's arcs are m_arcs[m_arcStart[n], m_arcStart[n + 1])
    std::vector<SimArc> m_arcs;
    // The quanta of the year, in order, in which some load's demand differs from the quantum before,
    // and the curves of the loads whose demand ever changes.
    std::vector<std::uint64_t> m_demandSteps;
    struct DemandCurve {
        unsigned edge;
        const double* values;
        std::uint64_t size;
    };
    std::vector<DemandCurve> m_demandCurves;
    std::size_t m_nextDemandStep = 0;
    // Scratch of the searches and the maximum flow; a node is visited or labelled when its
    // stamp equals the search's.
    std::vector<unsigned> m_stamp;
    unsigned m_currentStamp = 0;
    std::vector<unsigned> m_queue;
    std::vector<unsigned> m_predecessor;  // the arc that reached the node
    std::vector<unsigned> m_cameFrom;     // and the node it came from
    std::vector<double> m_reachable;

    std::uint64_t m_isolateFailuresPerEvaluation = 0;
    // "_Isolate failed" lines owed to the trace; written at the end of the year.
    std::uint64_t m_isolateFailuresThisYear = 0;

    // The production stepping. The parts are the pieces of the network that exchange no flow
    // but through the hub: node 0 and what edges that never open and never limit a flow join to
    // it. Each part hangs on one hub node (its attachment) or none.
    struct SimPart {
        unsigned attach = 0;
        // Its own arcs at the attachment, in arc order: a bus that many parts hang on is walked
        // only where the part touches it.
        std::vector<unsigned> attachArcs;
        std::vector<unsigned> nodes;
        std::vector<unsigned> edges;      // edge order
        std::vector<unsigned> switches;   // edge order
        std::vector<double> reset;        // their capacities at the start of an evaluation
        std::vector<std::uint64_t> resetKey;
        std::vector<unsigned> reclosers;  // ordinals among the reclosers, in order
        std::vector<unsigned> loads;
        std::vector<unsigned> failed;     // out in the present quantum, in edge order
        std::vector<unsigned> isolated;
        std::uint64_t isolateFailures = 0;  // at each evaluation
        bool switchesTouched = false;       // evaluate its switches again
        bool flowsTouched = false;          // and its flows
        bool switchesChanged = false;       // at this evaluation
        // Which loads closed edges join to the attachment (a bit each, in load order) and the
        // smallest capacity on their ways, as the switches now stand.
        std::vector<std::uint64_t> reached;
        double smallest = 0.0;
        // Its switch states (kept by SetSwitch) and with varying loads its demands, one bit (or
        // double) each: what the regions its reclosers see, which loads are reached and the
        // loads' flows depend on, remembered by pattern. A switch pattern's entry holds what is
        // known of it (kRegionsKnown, kReachKnown), the smallest capacity, each recloser's two
        // regions and the reached loads' bits.
        std::vector<std::uint64_t> key;
        CPatternCache<std::uint64_t, std::uint64_t> patterns;
        CPatternCache<std::uint64_t, double> flows;  // the loads' flows, where a capacity binds
        // The present switch pattern's entry, from the evaluation until the flows are updated, so
        // that both take it from one look-up; null when a recloser closed in between.
        std::uint64_t* pattern = nullptr;
        // What an evaluation with one element out gives, for each failing element (by its place
        // among the part's) failed and isolated, then with none out, soloWords each: the
        // protection's switch states and whether it failed, and that switch pattern's entry.
        std::vector<std::uint64_t> solo;
        std::size_t soloWords = 0;
    };
    bool m_byEvents = false;  // false for a network the parts cannot describe: every quantum is simulated
    std::vector<SimPart> m_parts;
    std::vector<unsigned> m_partOfEdge;  // kNoPart for the hub's edges
    std::vector<unsigned> m_partOfNode;
    std::vector<unsigned> m_switchInPart;  // per switch edge: its place among its part's switches
    std::vector<unsigned> m_failingInPart;  // per failing edge: its place among its part's
    std::vector<unsigned> m_hubLoads;    // always fully supplied
    std::vector<unsigned> m_touched;     // parts, in the order they were touched
    std::uint64_t m_yearStart = 0;       // quanta since the run began
    // Elements: when each is next due to change state or draw (quantum, edge), and the quantum
    // whose step its countdowns stand at.
    std::vector<std::pair<std::uint64_t, unsigned>> m_due;
    std::vector<std::uint64_t> m_steppedAt;
    std::uint64_t m_outCount = 0;
    // Reclosers, by ordinal: closed, counting down to close at an evaluation, or bypassed and so
    // drawing at every evaluation. A bypassed recloser's countdown is worked out only when it is
    // needed, from the generator's state before the last evaluation's draws and its rank among the
    // bypassed reclosers (a Fenwick tree over the ordinals).
    enum RecloserMode : std::uint8_t { kClosedRecloser, kCountingRecloser, kBypassedRecloser };
    std::vector<std::uint8_t> m_recloserMode;
    std::vector<std::uint64_t> m_closingEvaluation;
    std::vector<unsigned> m_ordinalOf;  // per edge: its ordinal among the reclosers
    std::vector<std::pair<std::uint64_t, unsigned>> m_closing;  // (evaluation, ordinal), may be stale
    std::vector<unsigned> m_bypassTree;
    std::vector<std::pair<unsigned, bool>> m_bypassChanges;
    std::uint64_t m_bypassedCount = 0;
    std::uint32_t m_drawBase = 1;
    std::uint64_t m_evaluations = 0;
    // Regions of closed edges in a part, their labels joined as reclosers close.
    std::vector<unsigned> m_region;
    std::vector<unsigned> m_regionParent;
    std::vector<char> m_supplied;  // per load: its supplied flag, packed
    // Per load: the first quantum of its interruption not yet counted into its tallies.
    std::vector<std::uint64_t> m_tallyFrom;
    // The loads with an interruption in the present year, unsorted, each once (m_listed); the loads
    // interrupted now, each at its place in m_unsuppliedAt.
    std::vector<unsigned> m_yearLoads;
    std::vector<char> m_listed;
    std::vector<unsigned> m_unsupplied;
    std::vector<unsigned> m_unsuppliedAt;

    // Samples not yet in their loads' estimates (FlushSampleLog), and the loads' places in m_loads.
    std::vector<YearSample> m_yearLog;
    std::vector<YearSample> m_yearScratch;
    std::vector<OutageSample> m_outageLog;
    std::vector<OutageSample> m_outageScratch;
    std::vector<unsigned> m_loadOrdinal;
    std::vector<unsigned> m_loadStart;
    std::vector<SimLoadEstimates> m_loadEstimates;  // in load order

    unsigned m_yearsSimulated = 0;
    std::uint64_t m_yearsSampled = 0;  // years whose samples the estimates hold or owe
    std::uint64_t m_customers = 0;     // of all loads
};
