#include "editor/AnalyticalRun.h"

#include "analytical/AnalyticalSimulator.h"

namespace {

// Why a run whose faulted sections all fail 0 times a year has no indices worth showing.
std::string WhyNoSectionFails(int faultCount, int feeders, int faulted)
{
    if (faultCount < 1)
        return "No section was faulted: \"Number Feeders To Fault\" in the analytical settings is " +
               std::to_string(faultCount) + ", so there are no indices to show.";
    if (feeders == 0)
        return "The network has no feeder section to fault, so there are no indices to show.";
    if (faulted == 0)
        return "No section was faulted: none of the " + std::to_string(feeders) + " feeders has an id from 1 to " +
               std::to_string(faultCount) + " (\"Number Feeders To Fault\"), so there are no indices to show.";
    return "None of the " + std::to_string(faulted) +
           " sections faulted can fail: a fault rate counts per mile of length, and no section has both a "
           "\"Length\" and a \"Fault rate\" above 0 in its analytical datasheet. There are no indices to show.";
}

// One box for the whole run: what it found first, then each doubt about the network below it.
std::string WithNotes(std::string text, const std::vector<std::string>& notes)
{
    for (const std::string& note : notes) {
        if (!text.empty() && text.back() != '\n')
            text += '\n';
        text += "\n" + note + "\n";
    }
    return text;
}

}  // namespace

RunResult CAnalyticalJob::Execute(CRunControl&, ISimulationProgress&)
{
    CAnalyticalSimulator simulator;
    CAnalyticalResult outcome = simulator.Run(m_params.m_strGML, m_params.m_bMinimumCutSet,
                                              m_params.m_nLoadSheddingMethod, m_params.m_nFaultCount);
    RunResult result;
    if (!outcome.ok) {
        result.kind = RunResult::Kind::Failed;
        result.message = std::move(outcome.error);
    } else if (outcome.failingFeeders == 0) {
        // The indices would be zeros that say nothing about the network.
        result.kind = RunResult::Kind::Failed;
        result.message = WhyNoSectionFails(m_params.m_nFaultCount, outcome.feeders, outcome.faultedFeeders);
    } else {
        result.kind = RunResult::Kind::Completed;
        result.message = outcome.message + "\nSections that can fail: " + std::to_string(outcome.failingFeeders) +
                         " of the " + std::to_string(outcome.faultedFeeders) + " faulted.\n" + outcome.capacityNote;
    }
    result.message = WithNotes(std::move(result.message), outcome.warnings);
    return result;
}
