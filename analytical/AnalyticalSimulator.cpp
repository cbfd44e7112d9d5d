#include "analytical/AnalyticalSimulator.h"

#include "analytical/ADist_Graph.h"
#include "platform/NumberFormat.h"

namespace {

// "1, 2, 3" for at most `shown` numbers, then "and N more".
std::string JoinIds(const std::vector<int>& ids)
{
    constexpr std::size_t shown = 20;
    std::string text;
    for (std::size_t i = 0; i < ids.size() && i < shown; ++i) {
        if (i > 0)
            text += ", ";
        text += std::to_string(ids[i]);
    }
    if (ids.size() > shown)
        text += " and " + std::to_string(ids.size() - shown) + " more";
    return text;
}

// What the indices owe to capacity: the loads shed after back-feeds, and the feeders left at 0 kVA
// (a new Line's capacity) above them, with the two ways out.
std::string CapacityNote(const CAnalyticalResult& result)
{
    if (result.shedLoads == 0)
        return "";
    std::string text = "Load points shed for want of capacity: " + std::to_string(result.shedLoads) + " of the " +
                       std::to_string(result.loads) + ".\n";
    if (!result.emptyFeeders.empty())
        text += "Feeders left at 0 kVA lie on the back-feed paths and carry nothing there: " +
                JoinIds(result.emptyFeeders) +
                ". Fill in their \"Max Capacity\" in the analytical datasheets, or turn on \"Minimum Cut Set\" in "
                "the analytical settings.\n";
    return text;
}

}  // namespace

CAnalyticalResult CAnalyticalSimulator::Run(const std::string& strGML, int bMinimumCutSet, int nLoadSheddingMethod,
                                            int nFaultCount, std::vector<CGMLResult>* resultRecords)
{
    CAnalyticalResult result;
    ADist_Graph graph;
    if (const auto error = graph.load(strGML); error.IsError()) {
        result.error = "Error : cannot load the network's GML text: " + error.Text();
        return result;
    }
    graph.setResultList(resultRecords);

    // Laterals carry what the loads below them demand (what their datasheets give while a back-feed
    // passes them), and a load takes no more than its demand, so the flow that reaches each load's
    // terminal edge is what that load receives.
    graph.setLateralCapacities();
    if (bMinimumCutSet)
        graph.setMainCapacities();
    graph.setTerminalCapacities();

    // Feeders 1 to nFaultCount: an id without a feeder faults nothing.
    const bool thesisMethod = nLoadSheddingMethod != 0;
    std::vector<int> beyond;
    result.feeders = graph.getFeederCount();
    for (int id : graph.getFeederIds()) {
        if (id > nFaultCount) {
            beyond.push_back(id);
            continue;
        }
        graph.simulateFault(id, thesisMethod);
        ++result.faultedFeeders;
        result.failingFeeders += graph.getFeederFailureRate(id) > 0.0;
    }

    int loadId = 0;
    double hours = 0.0;
    if (graph.findLoadOutLongerThanAYear(loadId, hours)) {
        result.error = "Error : the fault rates, lengths and repair times leave load point " + std::to_string(loadId) +
                       " without supply " + korvane::FormatSignificant(hours, 6) +
                       " hours a year, more than a year has: ASAI and ENS would mean nothing.";
        return result;
    }
    result.loads = graph.getLoadCount();
    result.shedLoads = graph.getShedLoadCount();
    result.emptyFeeders.assign(graph.getEmptyFeeders().begin(), graph.getEmptyFeeders().end());
    result.capacityNote = CapacityNote(result);
    result.metrics = graph.computeReliabilityMetrics();
    result.message = result.metrics.GetText();
    result.ok = true;

    if (const auto& ids = graph.getUnprotectedFeeders(); !ids.empty())
        result.warnings.push_back("No protective device lies between these feeders and the supply, so their "
                                  "faults were cleared at the supply: " + JoinIds(ids) + ".");
    // With nothing faulted the run says so itself.
    if (!beyond.empty() && nFaultCount > 0)
        result.warnings.push_back("Faulting feeders 1 to " + std::to_string(nFaultCount) +
                                  " (\"Number Feeders To Fault\") never reaches these feeders, so their faults are "
                                  "not in the indices: " + JoinIds(beyond) + ".");
    if (const auto ids = graph.getUnsuppliedLoads(); !ids.empty())
        result.warnings.push_back("These load points have no closed path to the supply and were counted as "
                                  "supplied (load ids): " + JoinIds(ids) + ".");
    return result;
}
