// The analytical worker's part of a run: what it is given and its outcome.
#pragma once

#include <string>

#include "editor/RunController.h"

// Everything the worker reads, copied on the UI thread before it starts.
struct AnalyticalThreadParams {
    int m_bMinimumCutSet = 0;
    int m_nLoadSheddingMethod = 1;  // 1 "Thesis method", 0 "Practical Method"
    int m_bHasTransformerOrEquipment = 0;  // the engine does not read it
    int m_nFaultCount = 0;
    std::string m_strGML;  // the engine reads the text from memory; no file is written
};

class CAnalyticalJob : public CRunJob {
public:
    explicit CAnalyticalJob(AnalyticalThreadParams params) : m_params(std::move(params)) {}
    const AnalyticalThreadParams& GetParams() const { return m_params; }

    // Completed carries the five indices as the user sees them, Failed why there are none; the
    // notes on the network follow in the same text, so the run is one box. The engine has no
    // stop: a stop waits for the faults to be done.
    RunResult Execute(CRunControl& control, ISimulationProgress& progress) override;

private:
    AnalyticalThreadParams m_params;
};
