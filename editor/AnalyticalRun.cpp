#include "editor/AnalyticalRun.h"

#include "analytical/AnalyticalSimulator.h"

RunResult CAnalyticalJob::Execute(CRunControl&, ISimulationProgress&)
{
    CAnalyticalSimulator simulator;
    CAnalyticalResult outcome = simulator.Run(m_params.m_strGML, m_params.m_bMinimumCutSet,
                                              m_params.m_nLoadSheddingMethod, m_params.m_nFaultCount);
    RunResult result;
    result.kind = outcome.ok ? RunResult::Kind::Completed : RunResult::Kind::Failed;
    result.message = outcome.ok ? std::move(outcome.message) : std::move(outcome.error);
    result.warnings = std::move(outcome.warnings);
    return result;
}
