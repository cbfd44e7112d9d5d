#include "editor/MonteCarloRun.h"

#include "editor/RunMessages.h"
#include "montecarlo/Simulator.h"

MonteCarloThreadParams MakeMonteCarloParams(std::string title, std::string ndl, const COutputNames& names)
{
    MonteCarloThreadParams params;
    params.m_pszTempFile = names.folder / (title + ".tmp");
    params.m_strTitle = std::move(title);
    params.m_strNDL = std::move(ndl);
    params.m_pszTextFile = names.textFile;
    params.m_pszHtmlFile = names.htmlFile;
    return params;
}

RunResult CMonteCarloJob::Execute(CRunControl& control, ISimulationProgress& progress)
{
    CSimulator simulator;
    const SimulatorOutcome outcome =
        simulator.Run(m_params.m_strNDL, m_params.m_strTitle, m_params.m_pszTextFile, m_params.m_pszHtmlFile,
                      m_params.m_pszTempFile, &control, &progress);
    RunResult result;
    switch (outcome.kind) {
    case SimulatorOutcome::Kind::Completed:
        result.kind = RunResult::Kind::Completed;
        break;
    case SimulatorOutcome::Kind::Stopped:
        result.kind = RunResult::Kind::Stopped;
        break;
    case SimulatorOutcome::Kind::ParseError:
        result.kind = RunResult::Kind::Failed;
        result.message = run_text::ParseFailure(outcome.message, m_params.m_pszTextFile.string());
        break;
    case SimulatorOutcome::Kind::OutputFailure:
    case SimulatorOutcome::Kind::Failed:
        result.kind = RunResult::Kind::Failed;
        result.message = outcome.message;
        break;
    }
    if (!outcome.warning.empty())
        result.warnings.push_back(outcome.warning);
    return result;
}
