// One analytical assessment of a network: its GML text in, the five indices (or why there are
// none) out. It shows nothing; the shell shows the result.
#pragma once

#include <string>
#include <vector>

#include "analytical/AReliabilityMetrics.h"
#include "analytical/GMLResult.h"

struct CAnalyticalResult {
    bool ok = false;
    std::string error;  // when not ok: what stopped the run, for the user
    AReliabilityMetrics metrics;
    std::string message;                // the five indices as the user sees them
    std::vector<std::string> warnings;  // doubts about the network that did not stop the run
    int feeders = 0;  // the feeders the text gives an id a run can fault
    int faultedFeeders = 0;
    int failingFeeders = 0;  // of those faulted, the ones with a failure rate above 0
    int loads = 0;
    int shedLoads = 0;  // loads that a fault of those left short of capacity after a back-feed
    // Main and lateral feeders left at 0 kVA that lay above loads so shed.
    std::vector<int> emptyFeeders;
    // Those two for the user, and how to mend the second; empty when nothing was shed.
    std::string capacityNote;
};

class CAnalyticalSimulator {
public:
    virtual ~CAnalyticalSimulator() = default;

    // Faults feeders 1 to nFaultCount (the ids the text gives a feeder; a feeder of a higher id is
    // named in a warning) with the "Thesis method" (nLoadSheddingMethod 1) or the "Practical
    // Method" (0) of load shedding; with bMinimumCutSet, main feeders, ties and laterals that carry
    // a back-feed are taken as unlimited. When given, resultRecords receives every load point's
    // running totals after every fault.
    CAnalyticalResult Run(const std::string& strGML, int bMinimumCutSet, int nLoadSheddingMethod, int nFaultCount,
                          std::vector<CGMLResult>* resultRecords = nullptr);
};
